// The primary hands its frames to the headless host, which keeps the primary's buffer instead of
// copying it: the frame the host holds must still be exactly the one last presented.
#include "GfxFixture.h"

#include "platform/host/HostHeadless.h"

namespace {

class PresentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Host.SetQuiet(true);
        SetHost(&m_Host);
        void* pv = nullptr;
        ASSERT_EQ(DirectDrawCreateEx(nullptr, &pv, IID_IDirectDraw7, nullptr), DD_OK);
        m_pDD = static_cast<IDirectDraw7*>(pv);
        m_pPrimary = MakePrimary(m_pDD);
        ASSERT_NE(m_pPrimary, nullptr);
        m_pBack = MakeSurface(m_pDD, 640, 480);
        ASSERT_NE(m_pBack, nullptr);
    }
    void TearDown() override
    {
        if (m_pPrimary)
            m_pPrimary->Release();
        m_pBack->Release();
        EXPECT_EQ(m_pDD->Release(), 0u);
        SetHost(nullptr);
    }

    // Draws frame n on the back buffer and presents it the way the frame loop does.
    std::vector<uint16_t> PresentFrame(int n)
    {
        std::vector<uint16_t> frame(640 * 480);
        for (int y = 0; y < 480; y++) {
            uint16_t* pRow = Row16(m_pBack, y);
            for (int x = 0; x < 640; x++) {
                pRow[x] = static_cast<uint16_t>(x * 7 + y * 31 + n * 1009);
                frame[static_cast<size_t>(y) * 640 + x] = pRow[x];
            }
        }
        EXPECT_EQ(m_pPrimary->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
        return frame;
    }

    CHostHeadless m_Host;
    IDirectDraw7* m_pDD = nullptr;
    IDirectDrawSurface7* m_pPrimary = nullptr;
    IDirectDrawSurface7* m_pBack = nullptr;
};

} // namespace

TEST_F(PresentTest, EveryPresentShowsItsFrameWhetherOrNotTheLastOneWasRead)
{
    const std::vector<uint16_t> first = PresentFrame(1);
    EXPECT_EQ(m_Host.GetPresentCount(), 1);
    EXPECT_EQ(m_Host.GetLastFrame(), first);
    PresentFrame(2);  // never read
    const std::vector<uint16_t> third = PresentFrame(3);
    EXPECT_EQ(m_Host.GetPresentCount(), 3);
    EXPECT_EQ(m_Host.GetLastFrameWidth(), 640);
    EXPECT_EQ(m_Host.GetLastFrameHeight(), 480);
    EXPECT_EQ(m_Host.GetLastFrame(), third);
    // A frame handed over as plain pixels replaces a kept one.
    const uint16_t pixels[2] = {0x1234, 0x5678};
    ASSERT_TRUE(m_Host.Present(pixels, 4, 2, 1));
    EXPECT_EQ(m_Host.GetLastFrame(), (std::vector<uint16_t>{0x1234, 0x5678}));
}

TEST_F(PresentTest, WritesUnderALockOrADeviceContextWaitForTheirPresent)
{
    const std::vector<uint16_t> first = PresentFrame(1);
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(m_pPrimary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    static_cast<uint16_t*>(desc.lpSurface)[5] = 0xFFFF;
    EXPECT_EQ(m_Host.GetLastFrame(), first);
    ASSERT_EQ(m_pPrimary->Unlock(nullptr), DD_OK);
    EXPECT_EQ(m_Host.GetPresentCount(), 2);
    std::vector<uint16_t> locked = first;
    locked[5] = 0xFFFF;
    EXPECT_EQ(m_Host.GetLastFrame(), locked);

    // The same through a device context, on a frame the host has not read yet.
    const std::vector<uint16_t> second = PresentFrame(2);
    HDC hDC = nullptr;
    ASSERT_EQ(m_pPrimary->GetDC(&hDC), DD_OK);
    Row16(m_pBack, 0);  // the back buffer may be touched meanwhile
    static_cast<uint16_t*>(reinterpret_cast<DDSURFACEDC*>(hDC)->lpBits)[7] = 0;
    EXPECT_EQ(m_Host.GetLastFrame(), second);
    ASSERT_EQ(m_pPrimary->ReleaseDC(hDC), DD_OK);
    std::vector<uint16_t> drawn = second;
    drawn[7] = 0;
    EXPECT_EQ(m_Host.GetLastFrame(), drawn);
}

TEST_F(PresentTest, TheLastFrameOutlivesThePrimary)
{
    const std::vector<uint16_t> frame = PresentFrame(4);
    m_pPrimary->Release();
    m_pPrimary = nullptr;
    EXPECT_EQ(m_Host.GetLastFrame(), frame);
}
