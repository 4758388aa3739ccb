// The stage-clear tally on the frame clock: its timed switches, the slide-in that stops on the
// layout's places, the rows that count up by their per-update steps, the total and the voice, and
// the percent and seconds drawn in the tally's own figures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/BmpIndex.h"
#include "player/ScreenFixture.h"
#include "player/StageClear.h"
#include "support/BmpPixels.h"

namespace {

class StageClearTest : public CScreenFixture {
protected:
    void SetUp() override
    {
        CScreenFixture::SetUp();
        ASSERT_EQ(m_Tally.Load(g_lpD3DDevice), 1);
    }
    void Step()
    {
        Tick();
        m_Tally.Update();
    }
    // Runs the tally to its end; the states it passed through, each once, in order.
    std::vector<int> RunToEnd(int nMax = 3000)
    {
        std::vector<int> states = {m_Tally.GetState()};
        for (int i = 0; i < nMax && m_Tally.GetState() != CStageClear::STATE_DONE; i++) {
            Step();
            if (m_Tally.GetState() != states.back())
                states.push_back(m_Tally.GetState());
        }
        return states;
    }
    int RunTotal(int nLife, int nTime, int nTarget)
    {
        m_Tally.SetResults(nLife, nTime, nTarget);
        m_Tally.Start();
        RunToEnd();
        EXPECT_EQ(m_Tally.GetState(), CStageClear::STATE_DONE);
        return m_Tally.GetTotal();
    }

    // The region's top-left corner on the system sheet.
    static POINT Corner(const char* pszRegion)
    {
        const RECT rc = CBmpIndexSet::GetInstance().Find("SystemIndex.txt")->GetRegion(pszRegion);
        return POINT{rc.left, rc.top};
    }
    // Whether the three figure cells at (x, y) show szFigures ("%03d", a blank for a cell left
    // empty) over the picture at (xPicture, y), drawn on a back buffer of wFill.
    ::testing::AssertionResult ShowsFigures(const char* szFigures, int x, const char* pszPicture, int xPicture, int y,
                                            WORD wFill)
    {
        const CBmpPixels sheet("GameData/System/SystemSheet.bmp");
        const POINT picture = Corner(pszPicture);
        const POINT figures = Corner("StageClearNumbers.bmp");
        for (int i = 0; i < 3; i++) {
            const int nCell = szFigures[i] == '0' ? 9 : szFigures[i] - '1';
            for (int dy = 0; dy < CStageClear::DIGIT_HEIGHT; dy++) {
                for (int dx = 0; dx < CStageClear::DIGIT_WIDTH; dx++) {
                    const int px = x + i * CStageClear::DIGIT_WIDTH + dx, py = y + dy;
                    WORD wExpected = sheet.Rgb565(picture.x + px - xPicture, picture.y + dy);
                    if (wExpected == 0x07E0)
                        wExpected = wFill;
                    if (szFigures[i] != ' ') {
                        const WORD wFigure = sheet.Rgb565(figures.x + nCell * CStageClear::DIGIT_WIDTH + dx, figures.y + dy);
                        if (wFigure != 0x07E0)
                            wExpected = wFigure;
                    }
                    if (BackPixel(px, py) != wExpected)
                        return ::testing::AssertionFailure() << "cell " << i << " of \"" << szFigures << "\" at (" << px
                                                             << ", " << py << ")";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    CStageClear m_Tally;
};

TEST_F(StageClearTest, TheStatesFollowEachOtherAfterTheirPauses)
{
    m_Tally.SetResults(50, 20, 100000);
    EXPECT_TRUE(m_Tally.IsHidden());
    m_Tally.Start();
    EXPECT_FALSE(m_Tally.IsHidden());
    EXPECT_EQ(WasPlayed(".\\GameData\\System\\StageClear.wav"), m_bSound ? 1 : -1);
    // Each wait ends at the first update more than its delay after it began.
    const int kState[] = {CStageClear::STATE_SLIDE_IN, CStageClear::STATE_TALLY, CStageClear::STATE_TOTAL,
                          CStageClear::STATE_DONE};
    const DWORD kDelay[] = {2000, 1000, 500, 500};
    for (int k = 0; k < 4; k++) {
        int n = 0;
        while (m_Tally.GetState() != CStageClear::STATE_WAIT && n++ < 2000)
            Step();
        ASSERT_EQ(m_Tally.GetPendingState(), kState[k]);
        const DWORD dwStart = Now();
        DWORD dwLast = dwStart;
        while (m_Tally.GetState() == CStageClear::STATE_WAIT) {
            dwLast = Now();
            Step();
        }
        EXPECT_EQ(m_Tally.GetState(), kState[k]);
        EXPECT_GT(Now() - dwStart, kDelay[k]) << k;
        EXPECT_LE(dwLast - dwStart, kDelay[k]) << k;
    }
    EXPECT_EQ(m_Tally.GetTotal(), 50 * 2000 + 20 * 1000 + 100000);
}

TEST_F(StageClearTest, EveryPictureAndRowComesToRestOnItsPlace)
{
    m_Tally.SetResults(10, 1, 1);
    m_Tally.Start();
    EXPECT_EQ(m_Tally.GetTitleMotion().x, 320.0f);
    EXPECT_EQ(m_Tally.GetTitleMotion().y, 240.0f);
    EXPECT_EQ(m_Tally.GetSlide(CStageClear::SLIDE_LIFE).x, 640.0f);
    EXPECT_EQ(m_Tally.GetSlide(CStageClear::SLIDE_ZORVA).x, -320.0f);
    EXPECT_EQ(m_Tally.GetRowMotion(CStageClear::ROW_TOTAL).x, 1180.0f);
    while (m_Tally.GetState() != CStageClear::STATE_SLIDE_IN)
        Step();
    // 50 px in the first update, a little less in each after.
    const float x0 = m_Tally.GetSlide(CStageClear::SLIDE_LIFE).x;
    Step();
    EXPECT_EQ(m_Tally.GetSlide(CStageClear::SLIDE_LIFE).x, x0 - 50.0f);
    const float x1 = m_Tally.GetSlide(CStageClear::SLIDE_LIFE).x;
    Step();
    EXPECT_LT(x1 - m_Tally.GetSlide(CStageClear::SLIDE_LIFE).x, 50.0f);
    while (m_Tally.GetState() == CStageClear::STATE_SLIDE_IN)
        Step();
    const float kPlaceX[STAGECLEAR_SLIDES] = {280.0f, 40.0f, 40.0f, 40.0f, 17.0f, 40.0f};
    for (int i = 0; i < STAGECLEAR_SLIDES; i++) {
        EXPECT_EQ(m_Tally.GetSlide(i).x, kPlaceX[i]) << i;
    }
    for (int i = 0; i < STAGECLEAR_ROWS; i++) {
        EXPECT_EQ(m_Tally.GetRowMotion(i).x, 183.0f) << i;
    }
    // The title's top-left corner on (65, 90): its centre for a 264 x 52 picture.
    EXPECT_EQ(m_Tally.GetTitleMotion().x, 65.0f + 132.0f);
    EXPECT_EQ(m_Tally.GetTitleMotion().y, 90.0f + 26.0f);
}

TEST_F(StageClearTest, RowsCountUpByTheirStepsAndTheTotalIsTheirSum)
{
    m_Tally.SetResults(3, 2, 200000);
    m_Tally.Start();
    while (m_Tally.GetState() != CStageClear::STATE_TALLY)
        Step();
    EXPECT_EQ(m_Tally.GetRowCount(CStageClear::ROW_LIFE), 3);
    EXPECT_EQ(m_Tally.GetRowCount(CStageClear::ROW_TIME), 2);
    EXPECT_EQ(m_Tally.GetRowCount(CStageClear::ROW_TARGET), 200000);
    Step();
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_LIFE), 2000);
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_TIME), 1000);
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_TARGET), 200000);  // the target in one step
    Step();
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_LIFE), 4000);
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_TIME), 2000);
    Step();
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_LIFE), 6000);
    EXPECT_EQ(m_Tally.GetRowCount(CStageClear::ROW_LIFE), 0);
    EXPECT_EQ(m_Tally.GetRowValue(CStageClear::ROW_TOTAL), 0);
    RunToEnd();
    EXPECT_EQ(m_Tally.GetTotal(), 6000 + 2000 + 200000);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(m_Tally.GetRowCount(i), -1) << i;
    }
}

TEST_F(StageClearTest, BonusesFollowTheLifeTimeAndTargetRules)
{
    EXPECT_EQ(RunTotal(100, 0, 0), 300000);
    EXPECT_EQ(RunTotal(99, 0, 0), 198000);
    EXPECT_EQ(RunTotal(1, 180, 500000), 2000 + 180000 + 500000);
    EXPECT_EQ(RunTotal(100, 42, 300000), 300000 + 42000 + 300000);
}

TEST_F(StageClearTest, GetTotalBeforeTheEndGivesTheTotalSoFar)
{
    m_Tally.SetResults(20, 0, 0);
    m_Tally.Start();
    EXPECT_EQ(m_Tally.GetTotal(), 0);
    while (m_Tally.GetState() != CStageClear::STATE_TOTAL)
        Step();
    EXPECT_EQ(m_Tally.GetTotal(), 40000);
}

TEST_F(StageClearTest, TheVoiceComesOnceMoreThanFiveAndAHalfSecondsAfterTheStart)
{
    m_Tally.SetResults(1, 0, 0);
    m_Tally.Start();
    const DWORD dwStart = Now();
    const char kVoice[] = ".\\GameData\\System\\CvStageClear.wav";
    int nPlays = 0;
    DWORD dwAt = 0;
    for (int i = 0; i < 600; i++) {
        ClearSounds();
        Step();
        if (WasPlayed(kVoice) == 1) {
            nPlays++;
            dwAt = Now() - dwStart;
        }
        if (i == 400) {
            EXPECT_TRUE(m_Tally.IsVoiceDone());
        }
    }
    if (m_bSound) {
        EXPECT_EQ(nPlays, 1);
        EXPECT_GT(dwAt, 5500u);
        EXPECT_LE(dwAt, 5500u + 17u);
    }
    // Done long before: the voice does not wait for the tally.
    EXPECT_EQ(m_Tally.GetState(), CStageClear::STATE_DONE);
}

TEST_F(StageClearTest, HiddenItNeitherCountsNorDraws)
{
    m_Tally.SetResults(50, 10, 1000);
    m_Tally.Start();
    m_Tally.Hide();
    for (int i = 0; i < 500; i++)
        Step();
    EXPECT_EQ(m_Tally.GetState(), CStageClear::STATE_TITLE);
    FillBack(0x001F);
    ASSERT_EQ(m_Tally.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(CountBack(0, 0, 640, 480, 0x001F), 640 * 480);
}

// The percent 147 px and the seconds 158 px into their pictures, in 16 x 29 cells ordered 1 to 9
// then 0; leading zeros are left blank, the last figure and inner zeros are drawn.
TEST_F(StageClearTest, ThePercentAndTheSecondsStandOnTheirPicturesWithoutLeadingZeros)
{
    const WORD wFill = 0x001F;
    struct CASE {
        int nLife, nTime;
        const char* pszLife;
        const char* pszTime;
    };
    const CASE kCases[] = {{5, 42, "  5", " 42"}, {100, 0, "100", "  0"}, {70, 105, " 70", "105"}};
    for (const CASE& c : kCases) {
        m_Tally.SetResults(c.nLife, c.nTime, 0);
        m_Tally.Start();
        RunToEnd();
        FillBack(wFill);
        ASSERT_EQ(m_Tally.Draw(g_lpDDSBack), 1);
        EXPECT_TRUE(ShowsFigures(c.pszLife, 40 + 147, "LifeBonus.bmp", 40, 162, wFill));
        EXPECT_TRUE(ShowsFigures(c.pszTime, 40 + 158, "TimeBonus.bmp", 40, 235, wFill));
    }
}

// The last stage shows its own picture at the heroine's place; the title covers its left end.
TEST_F(StageClearTest, TheExtraPictureStandsInForTheHeroinesOnTheLastStage)
{
    const WORD wFill = 0x001F;
    for (int bLast = 0; bLast < 2; bLast++) {
        const char* pszPicture = bLast ? "StageClearExtra.bmp" : "StageClearZorva.bmp";
        int w = 0, h = 0;
        CBmpIndexSet::GetInstance().Find("SystemIndex.txt")->GetRegionSize(pszPicture, &w, &h);
        m_Tally.SetLastStage(bLast);
        m_Tally.SetResults(50, 5, 500000);
        m_Tally.Start();
        // Its own width off the left edge.
        EXPECT_EQ(m_Tally.GetSlide(CStageClear::SLIDE_ZORVA).x, (float)-w);
        RunToEnd();
        FillBack(wFill);
        ASSERT_EQ(m_Tally.Draw(g_lpDDSBack), 1);
        const CBmpPixels sheet("GameData/System/SystemSheet.bmp");
        const POINT corner = Corner(pszPicture);
        int nWrong = 0;
        for (int y = 0; y < h; y++) {
            for (int x = 330 - 280; x < w && 280 + x < 640; x++) {
                const WORD wSource = sheet.Rgb565(corner.x + x, corner.y + y);
                nWrong += BackPixel(280 + x, 60 + y) != (wSource == 0x07E0 ? wFill : wSource);
            }
        }
        EXPECT_EQ(nWrong, 0) << pszPicture;
    }
}

} // namespace
