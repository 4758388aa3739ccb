// The cut-scene player update by update on a software device, with scripts written by the tests:
// when a shot moves on (the idle rule), waiting for the player, Ctrl's fast-forward, skipping on a
// held key, empty and unreadable scripts, moves and special effects that end exactly where they
// must, QUAKE, and what the player draws in which order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/WinMain.h"
#include "platform/win/Win.h"
#include "scene/CutSceneFixture.h"

namespace {

#define A "\x82\xA0"
#define I "\x82\xA2"
#define U "\x82\xA4"

const uint32_t kBackColor = 0x204080, kCharColor = 0xC04020;

class Opening : public CCutSceneFixture {
protected:
    void SetUp() override
    {
        CCutSceneFixture::SetUp();
        WritePicture("back.bmp", 640, 480, kBackColor);
        WritePicture("back2.bmp", 640, 480, 0x406020);
        WritePicture("chara.bmp", 100, 200, kCharColor, 2);
        WritePicture("a.bmp", 40, 40, 0xFFFFFF);
        WritePicture("b.bmp", 40, 40, 0xFFFF00);
        WritePicture("c.bmp", 40, 40, 0x00FFFF);
        WritePicture("d.bmp", 40, 40, 0xFF00FF);
    }
    void TearDown() override
    {
        m_Player.Unload();
        for (int vk : {VK_CONTROL, int('Z'), VK_RETURN}) {
            m_Host.ReleaseKey(vk);
        }
        CInputState::Reset();
        CCutSceneFixture::TearDown();
    }

    // Loads and starts a script of the lines.
    void Play(const std::vector<std::string>& lines)
    {
        WriteScript(lines);
        ASSERT_EQ(m_Player.Load(g_lpD3DDevice, ".\\Scene\\"), 1);
        m_Player.Start();
    }
    // A key held from the next update on, then let go.
    void Press(int vk)
    {
        m_Host.PressKey(vk);
        Tick(m_Player);
        m_Host.ReleaseKey(vk);
    }
    int Shot() { return m_Player.GetScript().GetShot(); }
    POINT Pos(const char* pszName) { return m_Player.GetScript().GetPicturePos(pszName); }
    int Visible(const char* pszName) { return m_Player.GetScript().FindPicture(pszName)->bVisible; }

    COpening m_Player;
};

} // namespace

// ---- Going from shot to shot ------------------------------------------------------------------------

TEST_F(Opening, TheSceneComesInFromWhiteOnTheFirstBackgroundAndShotsMoveOnWhenAllIsAtRest)
{
    Play({"#BEGIN_SHOT", "#CMD 0,IMAGE_BACK,back.bmp,0,0", "#CMD 200,IMAGE_CHAR,chara.bmp,300,100,2", "#END_SHOT",
          "#BEGIN_SHOT", "#CMD 0,IMAGE_HIDE,chara.bmp", "#END_SHOT"});
    EXPECT_TRUE(Visible("back.bmp"));
    EXPECT_EQ(m_Player.GetFader().m_nKind, CFadePlane::KIND_IN_WHITE);
    EXPECT_FALSE(m_Player.GetFader().IsDone());
    // Shot 0 is over at the first update that finds its last command run and the fade finished.
    int nTicks = 0;
    while (Shot() == 0 && nTicks < 100) {
        const bool bAtRest = m_Player.GetFader().IsDone() && !m_Player.GetScript().HasPending();
        Tick(m_Player);
        EXPECT_EQ(Shot() == 1, bAtRest) << nTicks;
        nTicks++;
    }
    EXPECT_GT(nTicks, 30);
    EXPECT_EQ(Shot(), 1);
    EXPECT_TRUE(m_Player.GetFader().IsDone());
    EXPECT_TRUE(Visible("chara.bmp"));
    EXPECT_EQ(m_Player.GetScript().FindPicture("chara.bmp")->z, 2);
    EXPECT_FALSE(m_Player.IsFinished());
    Tick(m_Player, 2);
    EXPECT_FALSE(Visible("chara.bmp"));
    EXPECT_TRUE(m_Player.IsAllDone());
    EXPECT_TRUE(m_Player.IsFinished());
    EXPECT_FALSE(m_Player.IsSkipped());
}

TEST_F(Opening, AShotMovesOnOnlyOnceItsMessageIsTyped)
{
    Play({"#BEGIN_SHOT", "#CMD 0,MSG,40,300," A I U "\\s" A, "#END_SHOT", "#BEGIN_SHOT", "#END_SHOT"});
    int nTyping = 0;
    while (Shot() == 0 && nTyping < 500) {
        const CScriptMsgWin& win = m_Player.GetMsgWin();
        if (nTyping > 1) {
            EXPECT_FALSE(win.IsHidden());
        }
        nTyping++;
        Tick(m_Player);
    }
    EXPECT_EQ(Shot(), 1);
    // The window's 13 updates of unfolding, its growth, three characters, the half-second pause
    // and the last character: at least 13 + 6 + 30 updates.
    EXPECT_GT(nTyping, 49);
    EXPECT_LT(nTyping, 100);
    // Moving on hides the window.
    EXPECT_TRUE(m_Player.GetMsgWin().IsHidden());
}

TEST_F(Opening, AShotThatWaitsShowsThePromptAndOnlyCtrlMovesItOn)
{
    m_Host.PressKey(VK_CONTROL);  // held at the start: that is no press
    Play({"#BEGIN_SHOT", "#CMD 0,MSG,40,300," A I, "#END_SHOT WAIT_KEY", "#BEGIN_SHOT",
          "#CMD 0,IMAGE_BACK,back2.bmp,0,0", "#END_SHOT WAIT_KEY"});
    Tick(m_Player, 300);
    m_Host.ReleaseKey(VK_CONTROL);
    Tick(m_Player, 300);
    EXPECT_EQ(Shot(), 0);
    EXPECT_EQ(m_Player.GetMsgWin().GetState(), CScriptMsgWin::STATE_PROMPT);
    EXPECT_FALSE(m_Player.IsFinished());
    Press(VK_CONTROL);
    EXPECT_EQ(Shot(), 1);
    Tick(m_Player, 10);
    EXPECT_EQ(Shot(), 1);
    EXPECT_FALSE(m_Player.IsFinished());
    // The last shot waits too, and Ctrl ends the scene from there.
    Press(VK_CONTROL);
    EXPECT_TRUE(m_Player.IsAllDone());
    EXPECT_TRUE(m_Player.IsFinished());
}

TEST_F(Opening, FastForwardRunsTheRestOfTheShotAtOnceButNoVoiceOrQuake)
{
    Play({"#BEGIN_SHOT", "#CMD 0,IMAGE_BACK,back.bmp,0,0", "#CMD 100,MSG,40,300," A I U A I U,
          "#CMD 3000,QUAKE", "#CMD 4000,IMAGE_MOVX,back.bmp,100,5", "#CMD 5000,IMAGE_CHAR,chara.bmp,10,20",
          "#CMD 5000,WHITE_OUT", "#CMD 5000,BLACK_IN,back2.bmp,0,0", "#END_SHOT WAIT_KEY", "#BEGIN_SHOT",
          "#CMD 0,MSG,0,0," A, "#END_SHOT WAIT_KEY"});
    Tick(m_Player, 10);
    ASSERT_TRUE(m_Player.GetScript().HasPending());
    Press(VK_CONTROL);
    // The commands at the shot's largest time ran too.
    EXPECT_TRUE(Visible("chara.bmp"));
    EXPECT_TRUE(Visible("back2.bmp"));
    EXPECT_EQ(Pos("back.bmp").x, 100);
    EXPECT_FALSE(m_Player.IsQuaking());
    EXPECT_TRUE(m_Player.GetFader().IsDone());
    EXPECT_EQ(m_Player.GetFader().m_nKind, CFadePlane::KIND_IN_BLACK);
    EXPECT_EQ(Shot(), 1);
    // The next shot's message types as usual; fast-forward types it at once with the prompt.
    Tick(m_Player, 3);
    ASSERT_FALSE(m_Player.GetMsgWin().IsHidden());
    EXPECT_NE(m_Player.GetMsgWin().GetState(), CScriptMsgWin::STATE_PROMPT);
    Press(VK_CONTROL);
    EXPECT_TRUE(m_Player.GetMsgWin().GetMessage()->IsFinished());
    EXPECT_EQ(m_Player.GetMsgWin().GetState(), CScriptMsgWin::STATE_PROMPT);
    EXPECT_TRUE(m_Player.IsFinished());
}

TEST_F(Opening, HoldingZEnterOrAJoystickButtonEndsTheScene)
{
    const std::vector<std::string> script = {"#BEGIN_SHOT", "#CMD 0,IMAGE_BACK,back.bmp,0,0", "#END_SHOT WAIT_KEY"};
    for (int vk : {int('Z'), VK_RETURN}) {
        Play(script);
        Tick(m_Player, 5);
        EXPECT_FALSE(m_Player.IsFinished());
        m_Host.PressKey(vk);
        m_Player.PollKeys();
        EXPECT_TRUE(m_Player.IsFinished()) << vk;
        EXPECT_TRUE(m_Player.IsSkipped());
        m_Host.ReleaseKey(vk);
    }
    m_Host.SetJoystick(0, HOSTJOYSTATE{32768, 32768, 0});
    CInputState::Init();
    Play(script);
    Tick(m_Player, 5);
    EXPECT_FALSE(m_Player.IsFinished());
    m_Host.SetJoystick(0, HOSTJOYSTATE{32768, 32768, 4});
    m_Player.PollKeys();
    EXPECT_TRUE(m_Player.IsFinished());
}

TEST_F(Opening, EmptyAndUnreadableScriptsFinishAtOnce)
{
    EXPECT_EQ(m_Player.Load(g_lpD3DDevice, ".\\Missing\\"), 0);
    const rvm::vector<rvm::string>& reports = m_Player.GetScript().GetReports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), "ERROR 34 : スクリプトの読み込みに失敗しました [.\\Missing\\Script.txt]\n");
    m_Player.Start();
    m_Player.PollKeys();
    EXPECT_TRUE(m_Player.IsFinished());
    FillBack(0x1234);
    m_Player.Draw(g_lpDDSBack, g_lpD3DDevice);
    EXPECT_EQ(BackPixel(320, 240), 0x1234);

    Play({"// nothing but a comment"});
    EXPECT_FALSE(m_Player.IsFinished());
    m_Player.PollKeys();
    EXPECT_TRUE(m_Player.IsFinished());

    Play({"#BEGIN_SHOT", "#END_SHOT", "#BEGIN_SHOT", "#END_SHOT"});
    Tick(m_Player, 2);
    EXPECT_TRUE(m_Player.IsFinished());
}

// ---- Moves and special effects ----------------------------------------------------------------------

TEST_F(Opening, HorizontalMovesComeToRestExactlyTheirDistanceAway)
{
    Play({"#BEGIN_SHOT", "#CMD 0,IMAGE_CHAR,a.bmp,100,0", "#CMD 0,IMAGE_CHAR,b.bmp,300,0",
          "#CMD 0,IMAGE_CHAR,c.bmp,200,0", "#CMD 0,IMAGE_CHAR,d.bmp,50,0", "#CMD 0,IMAGE_MOVX,a.bmp,100,7",
          "#CMD 0,IMAGE_MOVX,b.bmp,57.5,-3", "#CMD 0,IMAGE_MOVX,c.bmp,0,5", "#CMD 0,IMAGE_MOVX,d.bmp,80,0",
          "#CMD 0,IMAGE_MOVX,none.bmp,80,1", "#END_SHOT WAIT_KEY"});
    Tick(m_Player, 2);
    EXPECT_TRUE(m_Player.IsMoving());
    EXPECT_GT(Pos("a.bmp").x, 100);
    // A glide goes right at the size of its speed, whatever its sign.
    EXPECT_GT(Pos("b.bmp").x, 300);
    const int nTicks = TickUntil(m_Player, [&] { return !m_Player.IsMoving(); });
    ASSERT_GE(nTicks, 0);
    EXPECT_EQ(Pos("a.bmp").x, 200);
    EXPECT_EQ(Pos("b.bmp").x, 357);
    EXPECT_EQ(Pos("c.bmp").x, 200);
    EXPECT_EQ(Pos("d.bmp").x, 50);
    EXPECT_EQ(Pos("a.bmp").y, 0);
}

TEST_F(Opening, ALaterMoveOfAPictureReplacesItsEarlierOne)
{
    Play({"#BEGIN_SHOT", "#CMD 0,IMAGE_CHAR,a.bmp,0,0", "#CMD 0,IMAGE_MOVX,a.bmp,300,4",
          "#CMD 200,IMAGE_MOVX,a.bmp,50,2", "#END_SHOT WAIT_KEY"});
    ASSERT_GE(TickUntil(m_Player, [&] { return !m_Player.GetScript().HasPending(); }), 0);
    // The second move started in this update and took its first step of 2 at once.
    const int nFrom = Pos("a.bmp").x - 2;
    ASSERT_GT(nFrom, 0);
    ASSERT_GE(TickUntil(m_Player, [&] { return !m_Player.IsMoving(); }), 0);
    EXPECT_EQ(Pos("a.bmp").x, nFrom + 50);
}

TEST_F(Opening, SpecialZeroSwaysLeftAndRightWhileItFallsAndEndsBelowTheScreen)
{
    Play({"#BEGIN_SHOT", "#CMD 0,IMAGE_CHAR,a.bmp,300,0", "#CMD 0,SPECIAL,0,a.bmp,2,6,0.1", "#END_SHOT WAIT_KEY"});
    std::vector<int> xs;
    int nTicks = 0;
    do {
        Tick(m_Player);
        xs.push_back(Pos("a.bmp").x);
    } while (m_Player.GetSpecial() == 0 && ++nTicks < 2000);
    EXPECT_EQ(m_Player.GetSpecial(), COpening::SPECIAL_IDLE);
    EXPECT_GE(Pos("a.bmp").y, 481);
    // Left to -2 per update, back right to +2, then left without bound.
    const int nMin = *std::min_element(xs.begin(), xs.begin() + 10);
    EXPECT_LT(nMin, 300);
    EXPECT_GT(*std::max_element(xs.begin(), xs.begin() + 40), nMin);
    EXPECT_LT(xs.back(), nMin);
    for (size_t i = 1; i < 6; i++) {
        EXPECT_LE(xs[i], xs[i - 1]);  // the first sway goes left
    }
    // With no fall at all the picture still goes, off the left-hand side.
    Play({"#BEGIN_SHOT", "#CMD 0,IMAGE_CHAR,b.bmp,300,200", "#CMD 0,SPECIAL,0,b.bmp,2,0,0", "#END_SHOT WAIT_KEY"});
    ASSERT_GE(TickUntil(m_Player, [&] { return m_Player.GetScript().HasPending() == 0 && m_Player.IsSpecialIdle(); }),
              0);
    EXPECT_LE(Pos("b.bmp").x, -40);
    EXPECT_EQ(Pos("b.bmp").y, 200);
}

TEST_F(Opening, SpecialOneGlidesTwoPicturesToRestAtTheirDistances)
{
    Play({"#BEGIN_SHOT", "#CMD 0,IMAGE_CHAR,a.bmp,100,0", "#CMD 0,IMAGE_CHAR,b.bmp,500,50",
          "#CMD 10,SPECIAL,1,a.bmp,4,100,b.bmp,-2,50", "#END_SHOT WAIT_KEY"});
    Tick(m_Player, 2);
    EXPECT_EQ(m_Player.GetSpecial(), COpening::SPECIAL_TWO);
    ASSERT_GE(TickUntil(m_Player, [&] { return m_Player.IsSpecialIdle(); }), 0);
    EXPECT_EQ(Pos("a.bmp").x, 200);
    EXPECT_EQ(Pos("b.bmp").x, 550);
    EXPECT_EQ(Pos("b.bmp").y, 50);
}

TEST_F(Opening, SpecialTwoRunsItsFirstPictureAtConstantSpeedForTheLimitAndCapsTheOthers)
{
    // The constant speed keeps its sign (a band may drift left); the glides go right.
    Play({"#BEGIN_SHOT", "#CMD 0,IMAGE_CHAR,a.bmp,500,0", "#CMD 0,IMAGE_CHAR,b.bmp,0,0", "#CMD 0,IMAGE_CHAR,c.bmp,0,0",
          "#CMD 10,SPECIAL,2,a.bmp,-3,b.bmp,5,1000,c.bmp,-2,40", "#END_SHOT WAIT_KEY"});
    Tick(m_Player, 1);
    std::vector<int> xs;
    for (int i = 0; i < 10; i++) {
        Tick(m_Player);
        xs.push_back(Pos("a.bmp").x);
    }
    for (size_t i = 1; i < xs.size(); i++) {
        EXPECT_EQ(xs[i] - xs[i - 1], -3);
    }
    ASSERT_GE(TickUntil(m_Player, [&] { return m_Player.IsSpecialIdle(); }), 0);
    EXPECT_EQ(Pos("a.bmp").x, 500 - 480);
    EXPECT_EQ(Pos("b.bmp").x, 480);
    EXPECT_EQ(Pos("c.bmp").x, 40);
}

TEST_F(Opening, ASpecialWithoutItsParametersIsReportedAndStartsNothing)
{
    Play({"#BEGIN_SHOT", "#CMD 0,SPECIAL,0,a.bmp,1", "#CMD 0,SPECIAL,3,a.bmp", "#CMD 0,SPECIAL", "#END_SHOT"});
    Tick(m_Player, 2);
    EXPECT_TRUE(m_Player.IsSpecialIdle());
    const rvm::vector<rvm::string> expected = {"ERROR 35 : SPECIALのパラメータが不正です [0(3個)]\n",
                                               "ERROR 35 : SPECIALのパラメータが不正です [3(2個)]\n",
                                               "ERROR 35 : SPECIALのパラメータが不正です [(0個)]\n"};
    EXPECT_EQ(m_Player.GetScript().GetReports(), expected);
}

// ---- QUAKE, fades and drawing -----------------------------------------------------------------------

TEST_F(Opening, TheQuakeTableHoldsThirtyShakesOfTwentyToThirtyPixelsInAlternateHalves)
{
    Play({"#BEGIN_SHOT", "#CMD 0,QUAKE", "#END_SHOT WAIT_KEY"});
    const int(*table)[2] = m_Player.GetQuakeTable();
    for (int i = 0; i < QUAKE_TABLE_SIZE; i++) {
        const int dx = table[i][0], dy = table[i][1];
        EXPECT_LE(std::abs(dx), 30);
        EXPECT_LE(std::abs(dy), 30);
        const double r = std::sqrt(static_cast<double>(dx * dx + dy * dy));
        EXPECT_GE(r, 18.5) << i;  // 20 before the integer parts are taken
        EXPECT_LE(r, 30.0) << i;
        EXPECT_TRUE(i % 2 ? dy <= 0 : dy >= 0) << i;
    }
    // One entry after more than 50 ms each (four updates): the whole table in 120 updates.
    Tick(m_Player);
    ASSERT_TRUE(m_Player.IsQuaking());
    std::vector<POINT> seen;
    int nTicks = 0;
    while (m_Player.IsQuaking() && nTicks < 1000) {
        const POINT p = m_Player.GetQuakeOffset();
        if (seen.empty() || seen.back().x != p.x || seen.back().y != p.y) {
            seen.push_back(p);
        }
        Tick(m_Player);
        nTicks++;
    }
    EXPECT_NEAR(nTicks, 120, 4);
    EXPECT_EQ(m_Player.GetQuakeOffset().x, 0);
    ASSERT_GE(seen.size(), 20u);
    EXPECT_EQ(seen[0].x, table[0][0]);
    EXPECT_EQ(seen[0].y, table[0][1]);
}

TEST_F(Opening, LoadingACutSceneLeavesTheGamesRandomNumbersAlone)
{
    WriteScript({"#BEGIN_SHOT", "#CMD 0,QUAKE", "#END_SHOT"});
    CrtSrand(12345);
    std::vector<int> plain;
    for (int i = 0; i < 8; i++) {
        plain.push_back(CrtRand());
    }
    CrtSrand(12345);
    ASSERT_EQ(m_Player.Load(g_lpD3DDevice, ".\\Scene\\"), 1);
    std::vector<int> after;
    for (int i = 0; i < 8; i++) {
        after.push_back(CrtRand());
    }
    EXPECT_EQ(after, plain);
}

TEST_F(Opening, AFadeToWhiteOrBlackTakesTheMessageWindowWithIt)
{
    Play({"#BEGIN_SHOT", "#CMD 0,IMAGE_BACK,back.bmp,0,0", "#CMD 600,MSG,40,300," A, "#CMD 600,BLACK_OUT",
          "#END_SHOT WAIT_KEY"});
    ASSERT_GE(TickUntil(m_Player, [&] { return !m_Player.GetScript().HasPending(); }), 0);
    EXPECT_FALSE(m_Player.GetMsgWin().IsHidden());
    ASSERT_GE(TickUntil(m_Player, [&] { return m_Player.GetFader().IsDone(); }), 0);
    EXPECT_TRUE(m_Player.GetMsgWin().IsHidden());
}

TEST_F(Opening, BackgroundsTheFadeCharactersAndTheMessageAreDrawnInThatOrder)
{
    Play({"#BEGIN_SHOT", "#CMD 0,IMAGE_BACK,back.bmp,0,0", "#CMD 0,IMAGE_CHAR,chara.bmp,300,100,1",
          "#CMD 0,IMAGE_CHAR,a.bmp,310,110,2", "#END_SHOT WAIT_KEY"});
    Tick(m_Player, 5);
    auto draw = [&] {
        FillBack(0);
        g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        m_Player.Draw(g_lpDDSBack, g_lpD3DDevice);
    };
    // Fading in from white: the background lies under the fade, the characters over it.
    draw();
    const WORD wBack = BackPixel(10, 10);
    EXPECT_NE(wBack, To565(kBackColor));
    EXPECT_GT(wBack >> 11, To565(kBackColor) >> 11);
    EXPECT_EQ(BackPixel(350, 250), To565(kCharColor));
    EXPECT_EQ(BackPixel(320, 120), To565(0xFFFFFF));  // higher z over lower
    EXPECT_EQ(BackPixel(301, 101), wBack);  // the key of the character's border
    ASSERT_GE(TickUntil(m_Player, [&] { return m_Player.GetFader().IsDone(); }), 0);
    draw();
    EXPECT_EQ(BackPixel(10, 10), To565(kBackColor));
    m_Player.Stop();
    draw();
    EXPECT_EQ(BackPixel(10, 10), 0);
}

TEST_F(Opening, MusicOfAFolderIsLookedUpInThePackNamedAfterIt)
{
    EXPECT_EQ(COpening::GetMusicPack(".\\GameData\\Ending\\"), ".\\GameData\\Ending.dat");
    EXPECT_EQ(COpening::GetMusicPack(".\\GameData\\Opening\\"), ".\\GameData\\Opening.dat");
}
