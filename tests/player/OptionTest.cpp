// The play options (their icons, and what they change of damage, jump and power) and the
// CONSTRUCTIVE bonus counted on the frame clock, recorded and played back.
#include <gtest/gtest.h>

#include <memory>

#include "engine/AppTimer.h"
#include "engine/KeyRecorder.h"
#include "engine/WinMain.h"
#include "player/Constructive.h"
#include "player/OptionIcon.h"
#include "player/PlayerFixture.h"
#include "stage/Stage.h"

namespace {

using OptionRun = CPlayerFixture;

// A tally that is only ever shown or hidden.
class Tally : public IStageClear {
public:
    int Load(IDirect3DDevice7*) override { return 1; }
    void Start() override { m_bHidden = 0; }
    void Update() override {}
    void Hide() override { m_bHidden = 1; }
    int Draw(IDirectDrawSurface7*) override { return 1; }
    int IsHidden() override { return m_bHidden; }
    int GetState() override { return 0; }
    int GetTotal() override { return 0; }
    void SetLastStage(int) override {}
    void SetResults(int, int, int) override {}
    int m_bHidden = 1;
};

class ConstructiveRun : public CPlayerFixture {
protected:
    void SetUp() override
    {
        CPlayerFixture::SetUp();
        m_pStage = std::make_unique<CStage>(*m_pPlayer);
        StartStanding(400.0f);
        ASSERT_EQ(m_Bonus.Load(g_lpD3DDevice), 1);
        m_Bonus.Start();
    }
    // n ticks of the bonus on the frame clock; the points it added.
    int Run(int n)
    {
        const int nBefore = m_pPlayer->GetPoint();
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
            m_Bonus.Update();
            m_Bonus.UpdateBonus(*m_pPlayer, *m_pStage);
            CKeyRecorder::GetInstance()->NextFrame();
            CKeyRecorder::GetInstance()->GetPlayKeyCode();
        }
        return m_pPlayer->GetPoint() - nBefore;
    }
    void MoveTo(float x)
    {
        D3DVECTOR v;
        m_pPlayer->GetPosition(&v);
        v.x = x;
        m_pPlayer->SetPosition(v);
    }

    void TearDown() override
    {
        m_pStage.reset();
        CPlayerFixture::TearDown();
    }

    std::unique_ptr<CStage> m_pStage;
    CConstructive m_Bonus;
};

} // namespace

TEST(OptionIcons, PackedFromTheLeftInTheirOrderAndMovedAsideInAReplay)
{
    const int all[3] = {1, 1, 1};
    int x[3];
    COptionIcon::GetIconPlaces(47, 0, all, x);
    EXPECT_EQ(x[0], 47);
    EXPECT_EQ(x[1], 71);
    EXPECT_EQ(x[2], 95);
    COptionIcon::GetIconPlaces(47, 1, all, x);
    EXPECT_EQ(x[0], 79);
    EXPECT_EQ(x[1], 103);
    EXPECT_EQ(x[2], 127);
    // High jump alone (the second flag of the replay order) takes the first place.
    const int jump[3] = {0, 1, 0};
    COptionIcon::GetIconPlaces(47, 0, jump, x);
    EXPECT_EQ(x[0], -1);
    EXPECT_EQ(x[1], -1);
    EXPECT_EQ(x[2], 47);
    const int none[3] = {0, 0, 0};
    COptionIcon::GetIconPlaces(47, 0, none, x);
    EXPECT_EQ(x[0] + x[1] + x[2], -3);
}

TEST_F(OptionRun, TheIconsAreDrawnAtTheFootOfTheView)
{
    ASSERT_EQ(COptionIcon::Load(g_lpD3DDevice), 1);
    g_nOptionFlags[OPTION_HALF_DAMAGE] = 1;
    g_nOptionFlags[OPTION_DOUBLE_POWER] = 1;
    FillBack(0);
    ASSERT_EQ(COptionIcon::Draw(g_lpDDSBack), 1);
    EXPECT_NE(BackPixel(47 + 12, 451 + 12), 0);
    EXPECT_NE(BackPixel(71 + 12, 451 + 12), 0);
    EXPECT_EQ(BackPixel(95 + 12, 451 + 12), 0);
    COptionIcon::Release();
}

TEST_F(OptionRun, TheOptionsChangeDamageJumpAndPower)
{
    for (int& flag : g_nOptionFlags)
        flag = 1;
    m_pPlayer->Load(g_lpD3DDevice);
    StartStanding();
    CPlayer& p = *m_pPlayer;
    p.Damage(5);
    EXPECT_EQ(p.GetLife(), 95);
    Ticks(61);
    Press('X');
    Tick();
    EXPECT_FLOAT_EQ(p.GetVerticalSpeed(), 24.0f - 1.6333333f);
    EXPECT_EQ(p.GetGun().GetPower(), 8);
    EXPECT_EQ(p.GetGunBaseLevel(), 1);
}

TEST(ConstructivePoints, FiftyForEachFiftyMsStepCompleted)
{
    EXPECT_EQ(CConstructive::StepPoints(49, 0), 0);
    EXPECT_EQ(CConstructive::StepPoints(50, 0), 50);
    EXPECT_EQ(CConstructive::StepPoints(66, 16), 50);
    EXPECT_EQ(CConstructive::StepPoints(99, 50), 0);
    EXPECT_EQ(CConstructive::StepPoints(1000, 0), 1000);
}

TEST_F(ConstructiveRun, OneSecondRightOfTheMiddleIsAThousandPoints)
{
    // Sixty ticks of the frame clock make a second.
    EXPECT_EQ(Run(60), 1000);
    EXPECT_EQ(m_Bonus.IsSignOn(), 1);
    MoveTo(300.0f);
    EXPECT_EQ(Run(60), 0);
    EXPECT_EQ(m_Bonus.IsSignOn(), 0);
    MoveTo(400.0f);
    EXPECT_EQ(Run(60), 1000);
}

TEST_F(ConstructiveRun, NothingWhileTheTallyShowsOrAfterItPopsOut)
{
    Tally tally;
    STAGESCREENS screens;
    screens.pStageClear = &tally;
    m_pStage->SetScreens(screens);
    tally.Start();
    EXPECT_EQ(Run(60), 0);
    tally.Hide();
    EXPECT_EQ(Run(60), 1000);
    m_pStage->SetState(STAGE_STATE_PAUSE);
    EXPECT_EQ(Run(60), 0);
    m_pStage->SetState(STAGE_STATE_PLAY);
    m_Bonus.PopOut();
    EXPECT_EQ(Run(60), 0);
    EXPECT_EQ(m_Bonus.IsHidden(), 1);
}

TEST_F(ConstructiveRun, AReplayAddsWhatTheRecordHoldsTickForTick)
{
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    std::vector<int> recorded, played;
    m_pPlayer->Start(0, 1);
    MoveTo(400.0f);
    m_Bonus.Start();
    for (int i = 0; i < 45; i++)
        recorded.push_back(Run(1));
    pRec->CloseTrack();
    int nSum = 0;
    for (int n : recorded)
        nSum += n;
    EXPECT_EQ(nSum, 750);
    // Played back on a clock that runs twice as fast: the points are still the recorded ones.
    m_pPlayer->Start(1, 1);
    MoveTo(400.0f);
    m_Bonus.Start();
    for (int i = 0; i < 45; i++) {
        CAppTimer::FrameTick();
        played.push_back(Run(1));
    }
    EXPECT_EQ(played, recorded);
}
