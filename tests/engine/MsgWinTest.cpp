// The message window: its slide, its markup scanned character by character, its typing pace and
// its closing.
#include <gtest/gtest.h>

#include "rvm/rvm_stl.h"
#include "engine/MsgWin.h"
#include "engine/WidgetFixture.h"

namespace {

class MsgWinTest : public CWidgetFixture {
protected:
    void SetUp() override
    {
        CWidgetFixture::SetUp();
        ASSERT_TRUE(WriteBmp("Window.bmp", 200, 60, 0x202040));
    }
    void Create(const char* pszText, int bCloseOnVoiceEnd = 0, const char* pszVoice = "")
    {
        MSGINFO msg;
        msg.strText = pszText;
        msg.strVoice = pszVoice;
        msg.bCloseOnVoiceEnd = bCloseOnVoiceEnd;
        ASSERT_EQ(m_Win.CreateFromFile(g_lpD3DDevice, "Window.bmp", msg), 1);
    }
    // Opens the window and runs it to the end of its slide.
    void OpenAndArrive()
    {
        m_Win.Open();
        for (int i = 0; i < 200 && m_Win.GetState() == CMsgWin::STATE_SLIDE_IN; i++) {
            m_Win.Update();
        }
        ASSERT_EQ(m_Win.GetState(), CMsgWin::STATE_TEXT);
    }
    // Ticks until the text position moves (or the window starts closing).
    int TicksToNextSegment()
    {
        const int nPos = m_Win.GetTextPos();
        for (int i = 1; i < 100; i++) {
            Tick();
            m_Win.Update();
            if (m_Win.GetTextPos() != nPos || m_Win.GetState() != CMsgWin::STATE_TEXT) {
                return i;
            }
        }
        return -1;
    }
    bool HasWhiteBetween(int y0, int y1)
    {
        DDSURFACEDESC2 ddsd = {};
        ddsd.dwSize = sizeof(ddsd);
        IDirectDrawSurface7* lp = m_Win.GetPicture();
        if (FAILED(lp->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr))) {
            return false;
        }
        bool bFound = false;
        for (int y = y0; y < y1 && !bFound; y++) {
            const WORD* pRow = (const WORD*)((const BYTE*)ddsd.lpSurface + y * ddsd.lPitch);
            for (int x = 0; x < 200 && !bFound; x++) {
                bFound = pRow[x] == 0xFFFF;
            }
        }
        lp->Unlock(nullptr);
        return bFound;
    }

    CMsgWin m_Win;
};

} // namespace

TEST(MsgWinMarkup, MarksAreFoundOnlyAtCharacterStarts)
{
    // "ソ" is 0x83 0x5C in code page 932: its trail byte is a backslash.
    const rvm::string text = "\x83\x5Cs\\s\x95\x5Cn\\n";
    EXPECT_EQ(CMsgWin::FindMark(text, 0, (int)text.size(), 's'), 3);
    EXPECT_EQ(CMsgWin::FindMark(text, 5, (int)text.size(), 'n'), 8);
    EXPECT_EQ(CMsgWin::FindMark(text, 0, 3, 's'), -1);
    EXPECT_EQ(CMsgWin::FindMark("AB\\", 0, 3, 's'), -1);
}

TEST_F(MsgWinTest, SlidesInFastThenBrakesOntoItsTarget)
{
    Create("A");
    m_Win.Open();
    EXPECT_EQ(m_Win.m_fX, -100.0f);
    EXPECT_EQ(m_Win.m_fY, 240.0f);
    float fLast = m_Win.m_fX;
    int nFast = 0;
    while (m_Win.m_fX <= 0.0f) {
        m_Win.Update();
        EXPECT_EQ(m_Win.m_fX - fLast, 30.0f);
        fLast = m_Win.m_fX;
        nFast++;
    }
    EXPECT_EQ(nFast, 4);
    EXPECT_FLOAT_EQ(m_Win.GetSlideSpeed().fValue, -28.7f);
    while (m_Win.GetState() == CMsgWin::STATE_SLIDE_IN) {
        m_Win.Update();
        ASSERT_LE(m_Win.m_fX, 320.0f + 30.0f);
    }
    EXPECT_EQ(m_Win.m_fX, 320.0f);
}

TEST_F(MsgWinTest, TypesASegmentEveryHalfSecondAndClosesInFourUpdates)
{
    Create("AB\\sCD");
    OpenAndArrive();
    m_Win.Update();
    EXPECT_EQ(m_Win.GetTextPos(), 4);
    EXPECT_EQ(m_Win.GetTextX(), 14);
    EXPECT_TRUE(HasWhiteBetween(25, 41));
    EXPECT_EQ(TicksToNextSegment(), 31);  // the first tick past 500 ms of frame time
    EXPECT_EQ(m_Win.GetTextX(), 28);
    EXPECT_EQ(m_Win.GetState(), CMsgWin::STATE_CLOSING);
    for (int i = 0; i < 3; i++) {
        m_Win.Update();
        EXPECT_EQ(m_Win.IsClosed(), 0);
    }
    m_Win.Update();
    EXPECT_EQ(m_Win.IsClosed(), 1);
}

TEST_F(MsgWinTest, ALineBreakStartsTheNextLineSixteenPixelsDown)
{
    Create("A\\nB");
    OpenAndArrive();
    EXPECT_FALSE(HasWhiteBetween(0, 60));
    m_Win.Update();
    EXPECT_EQ(m_Win.GetTextY(), 16);
    EXPECT_EQ(m_Win.GetTextX(), 7);
    EXPECT_TRUE(HasWhiteBetween(25, 39));
    EXPECT_TRUE(HasWhiteBetween(41, 55));
}

TEST_F(MsgWinTest, ATwoByteCharacterEndingInABackslashIsNotASeparator)
{
    // "ソ" then "s": one segment of three bytes, no separator in it.
    Create("\x83\x5Cs");
    OpenAndArrive();
    m_Win.Update();
    EXPECT_EQ(m_Win.GetTextPos(), 3);
    EXPECT_EQ(m_Win.GetTextX(), (int)(3 * 14 * 0.5f));
}

TEST_F(MsgWinTest, AWindowWhoseVoiceHasEndedClosesWithTextLeft)
{
    Create("AB\\sCD\\sEF", 1, "./GameData/Voice.wav");  // no sound here: the voice is over at once
    OpenAndArrive();
    m_Win.Update();
    EXPECT_EQ(m_Win.GetTextPos(), 4);
    EXPECT_EQ(m_Win.GetState(), CMsgWin::STATE_CLOSING);
}

TEST_F(MsgWinTest, WithoutTheCloseAnimationItClosesAtOnceAndOpenWipesTheText)
{
    Create("AB");
    m_Win.m_bAnimateClose = 0;
    OpenAndArrive();
    m_Win.Update();
    EXPECT_EQ(m_Win.IsClosed(), 1);
    EXPECT_TRUE(HasWhiteBetween(25, 41));
    m_Win.Open();
    EXPECT_FALSE(HasWhiteBetween(0, 60));
}

TEST_F(MsgWinTest, ClosingSqueezesTheWholePictureAboutItsCentre)
{
    Create("AB");
    OpenAndArrive();
    m_Win.Update();
    m_Win.Update();  // scale 0.75: 45 rows
    FillBack(0);
    ASSERT_EQ(m_Win.Draw(g_lpDDSBack), 1);
    EXPECT_NE(BackPixel(320, 240 - 22), 0);
    EXPECT_EQ(BackPixel(320, 240 - 23), 0);
    EXPECT_NE(BackPixel(320, 240 + 22), 0);
    EXPECT_EQ(BackPixel(320, 240 + 23), 0);
}
