// The danger beacons, the boss warning and the chat list: where a beacon stands and how long, the
// warning's three calls a second apart and its bands that go with its window, and the chat list's
// rules for windows added twice, too many windows and windows that have all closed.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/BmpIndex.h"
#include "engine/ShowableSet.h"
#include "player/Beacon.h"
#include "player/Chat.h"
#include "player/ScreenFixture.h"

namespace {

const char kWarning[] = ".\\GameData\\System\\Warning.wav";
const char kChat[] = ".\\GameData\\System\\Chat.wav";

class BeaconTest : public CScreenFixture {
protected:
    void Step(CBeacon& beacon)
    {
        Tick();
        beacon.Update();
    }
};

TEST_F(BeaconTest, ADangerBeaconStandsSixteenPixelsBelowItsPointAndFollowsTheView)
{
    CBeacon beacon;
    ASSERT_EQ(beacon.Load(g_lpD3DDevice, 0), 1);
    EXPECT_EQ(beacon.GetHeight(), 56);
    EXPECT_TRUE(beacon.IsFinished());
    beacon.SetPoint(300.0f, 200.0f);
    beacon.Start(0);
    EXPECT_GE(beacon.m_nIndex, 0);  // in the scroll registry
    for (int i = 0; i < 12; i++)
        Step(beacon);  // popped in and resting at full size
    CScrollableSet::SetScrollSpeed(0.0f);
    EXPECT_EQ(beacon.GetDrawY(), 216);
    FillBack(0x001F);
    ASSERT_EQ(beacon.Draw(g_lpDDSBack), 1);
    // The 72 x 56 picture centred on (300, 216).
    EXPECT_EQ(CountBack(0, 0, 640, 188, 0x001F), 640 * 188);
    EXPECT_LT(CountBack(264, 188, 336, 244, 0x001F), 72 * 56);
    EXPECT_EQ(CountBack(0, 244, 640, 480, 0x001F), 640 * 236);
    CScrollableSet::SetScrollSpeed(-12.0f);
    EXPECT_EQ(beacon.GetDrawY(), 204);
    beacon.Stop();
    EXPECT_EQ(beacon.m_nIndex, -1);
    EXPECT_TRUE(beacon.IsFinished());
    // The stage stops its beacons at every start: the next stage's first frame of the beacon does
    // not stand where the view of an earlier stage left it, so a replay shows it where the
    // recording did.
    beacon.Start(0);
    EXPECT_EQ(beacon.GetDrawY(), 216);
    beacon.Stop();
}

TEST_F(BeaconTest, ADangerBeaconPopsOutAfterHalfASecondWithTheChatSoundOnlyWhenAsked)
{
    CBeacon beacon;
    ASSERT_EQ(beacon.Load(g_lpD3DDevice, 0), 1);
    ClearSounds();
    beacon.Start(1);
    EXPECT_EQ(WasPlayed(kChat), m_bSound ? 1 : -1);
    const DWORD dwStart = Now();
    while (beacon.GetPicture().GetMode() == CPopSurface::MODE_POP)
        Step(beacon);
    EXPECT_GT(Now() - dwStart, 500u);
    EXPECT_LE(Now() - dwStart, 517u);
    int n = 0;
    while (!beacon.IsFinished() && n < 20) {
        Step(beacon);
        n++;
    }
    EXPECT_EQ(n, 3);  // flattened in four updates, the first with the switch
    ClearSounds();
    beacon.Start(0);
    EXPECT_EQ(WasPlayed(kChat), m_bSound ? 0 : -1);
}

TEST_F(BeaconTest, TheBossWarningCallsThreeTimesASecondApartAndItsBandsGoWithItsWindow)
{
    CBeacon warning;
    ASSERT_EQ(warning.Load(g_lpD3DDevice, 1), 1);
    EXPECT_TRUE(warning.IsFinished());
    ClearSounds();
    warning.Start(0);
    EXPECT_EQ(WasPlayed(kWarning), m_bSound ? 1 : -1);
    EXPECT_FALSE(warning.IsFinished());
    std::vector<DWORD> calls = {Now()};
    int nUpdates = 0;
    while (!warning.IsFinished() && nUpdates < 1000) {
        ClearSounds();
        Step(warning);
        nUpdates++;
        if (WasPlayed(kWarning) == 1)
            calls.push_back(Now());
        const CMsgWin& win = warning.GetWindow();
        if (win.GetState() == CMsgWin::STATE_CLOSING && !win.IsClosed()) {
            EXPECT_TRUE(warning.GetBand(0).GetFlags() & CMenuItem::FLAG_CLOSING);
        }
    }
    ASSERT_TRUE(warning.IsFinished());
    EXPECT_EQ(warning.GetWarningCount(), 2);
    if (m_bSound) {
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_GT(calls[1] - calls[0], 1000u);
        EXPECT_LE(calls[1] - calls[0], 1017u);
        EXPECT_GT(calls[2] - calls[1], 1000u);
    }
    EXPECT_TRUE(warning.GetBand(0).IsHidden() && warning.GetBand(1).IsHidden());
}

TEST_F(BeaconTest, TheWarningBandsScrollOppositeWays)
{
    CBeacon warning;
    ASSERT_EQ(warning.Load(g_lpD3DDevice, 1), 1);
    warning.Start(0);
    const float a = warning.GetBand(0).GetOffset(), b = warning.GetBand(1).GetOffset();
    Step(warning);
    EXPECT_EQ(warning.GetBand(0).GetOffset(), a - 3.0f + (a - 3.0f < 0.0f ? (float)warning.GetBand(0).GetWidth() : 0.0f));
    EXPECT_EQ(warning.GetBand(1).GetOffset(), b + 3.0f);
    // The band is the piece repeated until it spans the screen.
    EXPECT_GE(warning.GetBand(0).GetWidth(), 640);
    EXPECT_EQ(warning.GetBand(0).GetWidth() % 160, 0);
}

TEST_F(BeaconTest, AWarningWhoseBandPieceHasNoWidthFailsToLoadInsteadOfHanging)
{
    CBmpIndex* pBoss = CBmpIndexSet::GetInstance().Find("BossIndex.txt");
    ASSERT_NE(pBoss, nullptr);
    const RECT rc = pBoss->GetRegion("BossWarning2.bmp");
    pBoss->AddRegion("BossWarning2.bmp", RECT{rc.left, rc.top, rc.left, rc.bottom});
    CBeacon warning;
    EXPECT_EQ(warning.Load(g_lpD3DDevice, 1), 0);
    EXPECT_TRUE(warning.IsFinished());
    pBoss->AddRegion("BossWarning2.bmp", rc);
    EXPECT_EQ(warning.Load(g_lpD3DDevice, 1), 1);
}

class ChatTest : public CScreenFixture {
protected:
    void SetUp() override
    {
        CScreenFixture::SetUp();
        for (auto& pWin : m_Win) {
            pWin = std::make_unique<CMsgWin>();
            MSGINFO msg;
            msg.strText = "AB\\sCD";
            ASSERT_EQ(pWin->Create(g_lpD3DDevice, IMGKEY{"BossIndex.txt", "BossWarning1.bmp"}, msg), 1);
        }
    }
    void Step()
    {
        Tick();
        m_Chat.Update();
    }

    CChat m_Chat;
    std::unique_ptr<CMsgWin> m_Win[2];
};

TEST_F(ChatTest, AnAddedWindowOpensAtTheChatsPlaceWithTheChatSound)
{
    ClearSounds();
    m_Chat.SetEntry(m_Win[0].get(), 7);
    m_Chat.Add(m_Win[0].get());
    m_Chat.Show();
    EXPECT_EQ(WasPlayed(kChat), m_bSound ? 1 : -1);
    EXPECT_EQ(m_Chat.GetCount(), 1);
    EXPECT_EQ(m_Chat.GetValue(0), 7);
    EXPECT_EQ(m_Win[0]->m_fTargetX, 145.0f);
    EXPECT_EQ(m_Win[0]->m_fTargetY, 125.0f);
    EXPECT_FALSE(m_Win[0]->IsClosed());
    EXPECT_EQ(m_Win[0]->m_bAnimateClose, 0);
    // The same window again changes nothing.
    ClearSounds();
    m_Chat.Add(m_Win[0].get());
    EXPECT_EQ(m_Chat.GetCount(), 1);
    EXPECT_EQ(WasPlayed(kChat), m_bSound ? 0 : -1);
    // Once it speaks alone it closes with its squeeze.
    while (m_Win[0]->GetState() != CMsgWin::STATE_TEXT)
        Step();
    EXPECT_EQ(m_Win[0]->m_bAnimateClose, 1);
}

TEST_F(ChatTest, TheListEmptiesAndHidesItselfOnceEveryWindowHasClosed)
{
    m_Chat.Add(m_Win[0].get());
    m_Chat.Add(m_Win[1].get());
    m_Chat.Show();
    EXPECT_EQ(m_Chat.GetCount(), 2);
    // Two speaking at once: neither keeps its squeeze.
    int n = 0;
    while (m_Chat.GetCount() > 0 && n < 1000) {
        Step();
        n++;
        if (!m_Win[0]->IsClosed() && !m_Win[1]->IsClosed() && m_Win[0]->GetState() == CMsgWin::STATE_TEXT &&
            m_Win[1]->GetState() == CMsgWin::STATE_TEXT) {
            EXPECT_EQ(m_Win[0]->m_bAnimateClose, 0);
        }
    }
    EXPECT_EQ(m_Chat.GetCount(), 0);
    EXPECT_TRUE(m_Chat.IsHidden());
    EXPECT_TRUE(m_Win[0]->IsClosed() && m_Win[1]->IsClosed());
    // A closed window may be added again.
    m_Chat.Add(m_Win[0].get());
    EXPECT_EQ(m_Chat.GetCount(), 1);
}

TEST_F(ChatTest, AFullListTakesNoMoreWindows)
{
    std::vector<std::unique_ptr<CMsgWin>> wins;
    for (int i = 0; i < CHAT_WINDOW_MAX + 1; i++)
        wins.push_back(std::make_unique<CMsgWin>());
    for (auto& p : wins)
        m_Chat.Add(p.get());
    EXPECT_EQ(m_Chat.GetCount(), CHAT_WINDOW_MAX);
    EXPECT_EQ(m_Chat.Find(wins.back().get()), -1);
    m_Chat.Clear();
    EXPECT_EQ(m_Chat.GetCount(), 0);
    EXPECT_TRUE(m_Chat.IsHidden());
}

TEST_F(ChatTest, AHiddenChatNeitherRunsNorDrawsItsWindows)
{
    m_Chat.Add(m_Win[0].get());
    const float x = m_Win[0]->m_fX;
    Step();
    EXPECT_EQ(m_Win[0]->m_fX, x);
    FillBack(0x001F);
    ASSERT_EQ(m_Chat.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(CountBack(0, 0, 640, 480, 0x001F), 640 * 480);
    m_Chat.Show();
    Step();
    EXPECT_GT(m_Win[0]->m_fX, x);
}

} // namespace
