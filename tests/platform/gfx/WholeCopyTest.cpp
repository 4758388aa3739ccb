// A blit of one whole surface onto the primary hands the buffer over instead of copying it: both
// must still behave as two surfaces, each seeing only its own writes, through every kind of write, and the
// host must keep showing each frame as it was presented while the next one is drawn.
#include <vector>

#include "GfxFixture.h"
#include "platform/host/HostHeadless.h"

namespace {

class WholeCopyTest : public GfxTest {
protected:
    void SetUp() override
    {
        m_Host.SetQuiet(true);
        SetHost(&m_Host);
        GfxTest::SetUp();
        m_pPrimary = MakePrimary(m_pDD);
        ASSERT_NE(m_pPrimary, nullptr);
        m_pPicture = MakeSurface(m_pDD, 50, 40);
        ASSERT_NE(m_pPicture, nullptr);
    }
    void TearDown() override
    {
        for (IDirectDrawSurface7* p : {m_pPrimary, m_pPicture}) {
            if (p) {
                p->Release();
            }
        }
        GfxTest::TearDown();
        SetHost(nullptr);
    }

    // Under one lock: the primary moves to a buffer of its own at every lock while the host keeps
    // its frame.
    static std::vector<uint16_t> Pixels(IDirectDrawSurface7* p)
    {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        std::vector<uint16_t> out;
        if (p->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) {
            return out;
        }
        for (int y = 0; y < 480; y++) {
            const uint16_t* pRow = reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) +
                                                                     (size_t)y * desc.lPitch);
            out.insert(out.end(), pRow, pRow + 640);
        }
        p->Unlock(nullptr);
        return out;
    }

    // Frame n on the back buffer the way the frame loop draws one: a clear, a band of picture, a
    // few quads.
    void DrawFrame(int n)
    {
        m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, RGB_MAKE(n * 40 & 255, 0, 90), 1.0f, 0);
        FillAll(m_pPicture, (DWORD)(0x1111 * (n % 7 + 1)));
        RECT rcBand = {0, 100 + n * 3, 640, 300 + n * 5};
        m_pBack->Blt(&rcBand, m_pPicture, nullptr, DDBLT_WAIT, nullptr);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, n % 2);
        DrawQuad(30.0f + n * 20, 40, 200.0f + n * 20, 90, 10.0f, RGB_MAKE(255, n * 30 & 255, 0));
        DrawQuad(300, 250.0f + n, 420, 460, 100.0f, RGB_MAKE(0, 255, n * 50 & 255));
    }

    CHostHeadless m_Host;
    IDirectDrawSurface7* m_pPrimary = nullptr;
    IDirectDrawSurface7* m_pPicture = nullptr;
};

} // namespace

TEST_F(WholeCopyTest, EitherSideWrittenLaterLeavesTheOtherAsItWas)
{
    DrawFrame(1);
    const std::vector<uint16_t> frame = Pixels(m_pBack);
    ASSERT_EQ(m_pPrimary->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixels(m_pPrimary), frame);

    // The source written by a clear and a draw, a fill, a blit, a lock and a device context.
    DrawFrame(2);
    FillAll(m_pBack, 0x0101);
    EXPECT_EQ(Pixels(m_pPrimary), frame);
    ASSERT_EQ(m_pPrimary->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    RECT rc = {5, 5, 55, 45};
    ASSERT_EQ(m_pBack->Blt(&rc, m_pPicture, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixel(m_pPrimary, 10, 10), 0x0101);
    ASSERT_EQ(m_pPrimary->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    Row16(m_pBack, 0)[0] = 0x2222;
    EXPECT_EQ(Pixel(m_pPrimary, 0, 0), 0x0101);
    ASSERT_EQ(m_pPrimary->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    HDC hDC = nullptr;
    ASSERT_EQ(m_pBack->GetDC(&hDC), DD_OK);
    static_cast<uint16_t*>(DDGetSurfaceDC(hDC)->lpBits)[1] = 0x3333;
    ASSERT_EQ(m_pBack->ReleaseDC(hDC), DD_OK);
    EXPECT_EQ(Pixel(m_pPrimary, 1, 0), 0x0101);
    EXPECT_EQ(Pixel(m_pBack, 1, 0), 0x3333);

    // The destination written: the source keeps its pixels.
    const std::vector<uint16_t> back = Pixels(m_pBack);
    ASSERT_EQ(m_pPrimary->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    FillAll(m_pPrimary, 0x4444);
    ASSERT_EQ(m_pPrimary->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(m_pPrimary->Blt(&rc, m_pPicture, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixels(m_pBack), back);
    EXPECT_EQ(Pixel(m_pPrimary, 5, 5), Pixel(m_pPicture, 0, 0));

    // A buffer handed on twice: the one the destination gives up is still a third surface's.
    IDirectDrawSurface7* pThird = MakeSurface(m_pDD, 640, 480);
    FillAll(pThird, 0x5555);
    ASSERT_EQ(m_pPrimary->Blt(nullptr, pThird, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(m_pPrimary->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    DrawFrame(3);
    EXPECT_EQ(Pixels(pThird), std::vector<uint16_t>(640 * 480, 0x5555));
    pThird->Release();
}

TEST_F(WholeCopyTest, TheHostKeepsEachPresentedFrameWhileTheNextIsDrawn)
{
    std::vector<uint16_t> shown;
    for (int n = 0; n < 8; n++) {
        DrawFrame(n);
        // Until it is presented, the host still shows the frame before.
        if (n > 0) {
            EXPECT_EQ(m_Host.GetLastFrame(), shown) << "frame " << n;
        }
        shown = Pixels(m_pBack);
        ASSERT_EQ(m_pPrimary->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
        // Read at once, or kept by the host until the next frame is presented.
        if (n % 3 == 1) {
            EXPECT_EQ(m_Host.GetLastFrame(), shown) << "frame " << n;
        }
    }
    EXPECT_EQ(Pixels(m_pPrimary), shown);
    // A partial write of the primary leaves the back buffer alone.
    DrawFrame(3);
    const std::vector<uint16_t> back = Pixels(m_pBack);
    ASSERT_EQ(m_pPrimary->Blt(nullptr, m_pBack, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    RECT rc = {0, 0, 50, 40};
    ASSERT_EQ(m_pPrimary->Blt(&rc, m_pPicture, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixels(m_pBack), back);
    EXPECT_EQ(Pixel(m_pPrimary, 0, 0), Pixel(m_pPicture, 0, 0));
}
