// Boss ZZ tick by tick on the frame clock, from the stage-3 folder: every weapon it fires is noted
// with the phase and tick of the body and where it left from, and one full cycle of each phase is
// compared with its schedule; how its recoil gates the second phase's end, what its homing waves
// are launched with, how its words rise, and what its death leaves flying.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "EnemyFixture.h"
#include "enemy/EnemyZZ.h"

#define ZZ_TEST_FOLDER ".\\GameData\\Stage03\\"

namespace {

// One firing: which weapon (or move), the body's phase, tick and place after the update, where it
// left from (y up for shots, screen rows for the words) and its angle where it has one.
struct ZZEVENT {
    std::string strWhat;
    int nState;
    int nTick;
    float x, y;
    float bx, by;
    float fAngle;
};

bool operator<(const ZZEVENT& a, const ZZEVENT& b)
{
    return a.nTick != b.nTick ? a.nTick < b.nTick : a.strWhat < b.strWhat;
}

// What a weapon looked like before the body's update, to tell a firing from a flight.
struct ZZSEEN {
    BOOL bHoming[ZZ_HOMINGS];
    DWORD dwHomingFire[ZZ_HOMINGS];
    BOOL bMissile[ZZ_MISSILES];
    BOOL bShot[ZZ_HISPEEDS];
    DWORD dwVulcanFire[ZZ_VULCANS];
    BOOL bVulcan[ZZ_VULCANS];
    BOOL bCharge, bLaser;
    int bText[ZZ_TEXTS];
    int nDashReached;
    float fDashStep, fDashMax;
    BOOL bRecoil;
    int nState, nTick;
};

class BossZZ : public CEnemyTest {
protected:
    void SetUp() override
    {
        CEnemyTest::SetUp();
        m_fViewOffset = 12.0f;
        auto pKind = std::make_unique<CEnemyZZ>();
        ASSERT_EQ(pKind->Load(g_lpD3DDevice, ZZ_TEST_FOLDER), 1);
        m_pKind = pKind.get();
        m_Kinds.push_back(std::move(pKind));
        m_pLabel = PlaceBoss();
        m_pBody = static_cast<CEnemyPartZZ*>(m_pKind->GetBody(m_pLabel));
        ASSERT_NE(m_pBody, nullptr);
    }

    CEnemyLabel* PlaceBoss()
    {
        auto pLabel = std::make_unique<CEnemyLabel>();
        pLabel->m_pEnemy = m_pKind;
        pLabel->SetObject(m_pKind);
        pLabel->SetCell(20, 4);
        pLabel->CreateParts(0);
        pLabel->Setup(g_lpD3DDevice, ZZ_TEST_FOLDER);
        pLabel->SetOffsetY(m_fViewOffset);
        pLabel->SetTarget(&m_vTarget);
        CEnemyLabel* p = pLabel.get();
        m_Labels.push_back(std::move(pLabel));
        return p;
    }

    ZZSEEN Look() const
    {
        ZZSEEN s = {};
        const CEnemyPartZZ& b = *m_pBody;
        for (int i = 0; i < ZZ_HOMINGS; i++) {
            s.bHoming[i] = !b.m_Homings[i].m_bIdle;
            s.dwHomingFire[i] = b.m_Homings[i].m_dwFireTime;
        }
        for (int i = 0; i < ZZ_MISSILES; i++)
            s.bMissile[i] = !b.m_Missiles[i].m_bIdle;
        for (int i = 0; i < ZZ_HISPEEDS; i++)
            s.bShot[i] = !b.m_HiSpeed[i].m_Shots[0].m_bIdle;
        for (int i = 0; i < ZZ_VULCANS; i++) {
            s.dwVulcanFire[i] = b.m_Vulcans[i].m_dwFireTime;
            s.bVulcan[i] = !b.m_Vulcans[i].m_bIdle;
        }
        s.bCharge = !b.m_Charge.m_bIdle;
        s.bLaser = !b.m_Laser.m_bIdle;
        for (int i = 0; i < ZZ_TEXTS; i++)
            s.bText[i] = !b.m_Texts[i].IsStopped();
        s.nDashReached = b.m_Adjust.nReached;
        s.fDashStep = b.m_Adjust.fStep;
        s.fDashMax = b.m_Adjust.fMax;
        s.bRecoil = m_pKind->m_Recoil.pAcc != nullptr;
        s.nState = b.m_nState;
        s.nTick = b.m_nTick;
        return s;
    }

    // Noted with the tick that ran: one per update, counted on from the one before it (a counter
    // reset at the end of a cycle shows only after its tick).
    void Note(const char* pszWhat, int i, float x, float y, float fAngle = 0.0f)
    {
        const bool bRan = m_nStateBefore < 3;
        m_Events.push_back({std::string(pszWhat) + std::to_string(i), bRan ? m_nStateBefore : m_pBody->m_nState,
                            bRan ? m_nTickBefore + 1 : m_pBody->m_nTick, x, y, m_pBody->m_vPos.x, m_pBody->m_vPos.y,
                            fAngle});
    }

    // The firings of the update just run, in a fixed order.
    void NoteFirings(const ZZSEEN& before)
    {
        const CEnemyPartZZ& b = *m_pBody;
        m_nStateBefore = before.nState;
        m_nTickBefore = before.nTick;
        for (int i = 0; i < ZZ_HOMINGS; i++) {
            if (!b.m_Homings[i].m_bIdle && (!before.bHoming[i] || b.m_Homings[i].m_dwFireTime != before.dwHomingFire[i]))
                Note("homing", i, b.m_Homings[i].m_vPos.x, b.m_Homings[i].m_vPos.y);
        }
        for (int i = 0; i < ZZ_MISSILES; i++) {
            if (!before.bMissile[i] && !b.m_Missiles[i].m_bIdle)
                Note("missile", i, b.m_Missiles[i].m_vPos.x, b.m_Missiles[i].m_vPos.y);
        }
        for (int i = 0; i < ZZ_HISPEEDS; i++) {
            if (!before.bShot[i] && !b.m_HiSpeed[i].m_Shots[0].m_bIdle)
                Note("shot", i, b.m_HiSpeed[i].m_vShotPos.x, b.m_HiSpeed[i].m_vShotPos.y, b.m_HiSpeed[i].m_fAngle);
        }
        for (int i = 0; i < ZZ_VULCANS; i++) {
            if (b.m_Vulcans[i].m_dwFireTime != before.dwVulcanFire[i] || (!before.bVulcan[i] && !b.m_Vulcans[i].m_bIdle))
                Note("vulcan", i, b.m_Vulcans[i].m_vMuzzle.x, b.m_Vulcans[i].m_vMuzzle.y, b.m_Vulcans[i].m_fAngle);
        }
        if (!before.bCharge && !b.m_Charge.m_bIdle)
            Note("charge", 0, b.m_Charge.m_vPos.x, b.m_Charge.m_vPos.y);
        if (before.bCharge && b.m_Charge.m_bIdle)
            Note("chargeoff", 0, 0.0f, 0.0f);
        if (!before.bLaser && !b.m_Laser.m_bIdle)
            Note("laser", 0, b.m_Laser.m_vOrigin.x, b.m_Laser.m_vOrigin.y);
        for (int i = 0; i < ZZ_TEXTS; i++) {
            if (!before.bText[i] && !b.m_Texts[i].IsStopped())
                Note("text", i, b.m_Texts[i].m_fX, b.m_Texts[i].m_fY);
            if (before.bText[i] && b.m_Texts[i].IsStopped())
                Note("textoff", i, 0.0f, 0.0f);
        }
        const bool bNewDash = before.nDashReached || before.fDashMax != b.m_Adjust.fMax ||
                              std::fabs(before.fDashStep) != std::fabs(b.m_Adjust.fStep);
        if (!b.m_Adjust.nReached && b.m_Adjust.fMax > 0.0f && bNewDash)
            Note("dash", 0, b.m_vPos.x, b.m_vPos.y);
        if (!before.bRecoil && m_pKind->m_Recoil.pAcc)
            Note("recoil", 0, b.m_vPos.x, b.m_vPos.y);
    }

    // One stage update, the boss's firings noted between its update and the shots' moves.
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
            CShowableSet::UpdateAll();
            m_pLabel->SetTarget(&m_vTarget);
            m_pLabel->SetOffsetY(m_fViewOffset);
            const ZZSEEN before = Look();
            m_pLabel->Update();
            NoteFirings(before);
            MoveEnemyBullets();
            CScrollableSet::SetScrollPos(0.0f);
            CScrollableSet::SetScrollSpeed(m_fViewOffset);
            CScrollableSet::Tick();
        }
    }

    // Ticks until the body is in the state (at most nMax); the ticks taken.
    int TickUntilState(int nState, int nMax)
    {
        for (int n = 1; n <= nMax; n++) {
            Tick();
            if (m_pBody->m_nState == nState)
                return n;
        }
        return 0;
    }

    // Ticks until the body's tick counter shows the tick in the state.
    void TickUntil(int nState, int nTick)
    {
        for (int n = 0; n < 5000; n++) {
            if (m_pBody->m_nState == nState && m_pBody->m_nTick == nTick)
                return;
            Tick();
        }
        FAIL() << "never reached tick " << nTick << " of state " << nState;
    }

    // Ticks through the end of a pass: the tick that sets the counter back to nResetTo.
    void TickToPassEnd(int nState, int nResetTo)
    {
        for (int n = 0; n < 5000; n++) {
            const int nBefore = m_pBody->m_nTick;
            Tick();
            if (m_pBody->m_nState == nState && m_pBody->m_nTick == nResetTo && nBefore > nResetTo)
                return;
        }
        FAIL() << "no pass of state " << nState << " ended";
    }

    // Into the phase by the life thresholds: hit down below the next one before its check.
    void EnterPhase(int nState)
    {
        const int nThird = m_pBody->m_nMaxLife / 3;
        m_pBody->m_nLife = 2 * nThird - 1;
        ASSERT_GT(TickUntilState(1, 2000), 0);
        if (nState == 2) {
            m_pBody->m_nLife = nThird - 1;
            ASSERT_GT(TickUntilState(2, 2000), 0);
        }
        m_Events.clear();
    }

    // The events between two ticks of the body's counter in the state, keyed by the tick.
    std::vector<ZZEVENT> Between(int nState, int nFirst, int nLast) const
    {
        std::vector<ZZEVENT> out;
        for (const ZZEVENT& e : m_Events) {
            if (e.nState == nState && e.nTick >= nFirst && e.nTick <= nLast)
                out.push_back(e);
        }
        return out;
    }

    static std::vector<std::pair<int, std::string>> Schedule(const std::vector<ZZEVENT>& events)
    {
        std::vector<std::pair<int, std::string>> out;
        for (const ZZEVENT& e : events)
            out.push_back({e.nTick, e.strWhat});
        std::sort(out.begin(), out.end());
        return out;
    }

    const ZZEVENT* Find(const std::string& strWhat, int nTick) const
    {
        for (const ZZEVENT& e : m_Events) {
            if (e.strWhat == strWhat && e.nTick == nTick)
                return &e;
        }
        return nullptr;
    }

    float Top() const { return m_fViewOffset + 16.0f; }
    D3DVECTOR Target() const { return D3DVECTOR{{m_vTarget.x}, {m_vTarget.y + m_fViewOffset}, {m_vTarget.z}}; }

    CEnemyZZ* m_pKind = nullptr;
    CEnemyLabel* m_pLabel = nullptr;
    CEnemyPartZZ* m_pBody = nullptr;
    std::vector<ZZEVENT> m_Events;
    int m_nStateBefore = 0;
    int m_nTickBefore = 0;
};

using SCHEDULE = std::vector<std::pair<int, std::string>>;

} // namespace

TEST_F(BossZZ, FirstPhaseGlidesInBobsAndLaunchesAHomingPairAt180And250OfEveryCycle)
{
    m_pLabel->Spawn();
    EXPECT_EQ(m_pBody->m_vPos.x, 940.0f);
    EXPECT_EQ(m_pBody->m_nState, 0);
    EXPECT_EQ(m_pBody->m_nLife, 1500);
    EXPECT_EQ(m_pBody->m_dwDrawFlags & 1u, 0u);
    // Two passes of its schedule: the first from tick 1, then the cycle 171-320 again.
    TickToPassEnd(0, 170);
    Tick();
    EXPECT_EQ(m_pBody->m_nTick, 171);
    TickToPassEnd(0, 170);
    EXPECT_EQ(m_pBody->m_nImage, 1);
    EXPECT_EQ(m_pBody->m_nWidth, m_pKind->m_nWidths[1]);
    const SCHEDULE expected = {{180, "homing0"}, {180, "homing1"}, {250, "homing2"}, {250, "homing3"}};
    SCHEDULE twice = expected;
    twice.insert(twice.end(), expected.begin(), expected.end());
    std::sort(twice.begin(), twice.end());
    EXPECT_EQ(Schedule(m_Events), twice);
    // Each pair leaves from the body and 60 px below it, aimed at her.
    for (const ZZEVENT& e : m_Events) {
        const int i = e.strWhat.back() - '0';
        EXPECT_EQ(e.x, e.bx) << e.strWhat;
        EXPECT_EQ(e.y, Top() - (e.by + 60.0f * (float)(i % 2))) << e.strWhat;
    }
    for (int i = 0; i < 4; i++) {
        const CEBHoming& h = m_pBody->m_Homings[i];
        EXPECT_EQ(h.m_fLaunchHeading, g_fZZHomingAnglesA[i]);
        EXPECT_EQ(h.m_fTurnRate, 0.0872665f);
        EXPECT_EQ(h.m_nLifetimeSetting, 2000);
        EXPECT_EQ(h.m_Speed.fStart, 5.0f);
        EXPECT_EQ(h.m_Speed.fStep, 0.1f);
        EXPECT_EQ(h.m_vTarget.x, m_vTarget.x);
        EXPECT_EQ(h.m_vTarget.y, Top() - (m_vTarget.y + m_fViewOffset));
    }
    // The glide ended at rest, and the bob keeps within 1.5 px per tick about the row 192.
    EXPECT_TRUE(m_pBody->m_AccX.nReached);
    EXPECT_NEAR(m_pBody->m_vPos.x, 940.0f - 450.0f, 5.0f);
    EXPECT_NEAR(m_pBody->m_vPos.y, 192.0f, 60.0f);
    EXPECT_EQ(m_pBody->m_nState, 0);
}

TEST_F(BossZZ, FirstPhaseAtExactlyTwoThirdsStaysAndOneBelowLeavesAtTheCycleEndAndComesBack)
{
    m_pLabel->Spawn();
    const int nThird = m_pBody->m_nMaxLife / 3;
    m_pBody->m_nLife = 2 * nThird;
    TickToPassEnd(0, 170);
    Tick();
    EXPECT_EQ(m_pBody->m_nState, 0);
    EXPECT_EQ(m_pBody->m_nTick, 171);
    m_pBody->m_nLife = 2 * nThird - 1;
    TickUntil(0, 319);
    Tick();
    // Right of the middle it leaves to the right.
    EXPECT_EQ(m_pBody->m_nState, 3);
    EXPECT_EQ(m_pBody->m_nNextState, 1);
    EXPECT_EQ(m_pBody->m_AccX.fStep, 0.5f);
    const int n = TickUntilState(1, 400);
    ASSERT_GT(n, 60);
    EXPECT_EQ(m_pBody->m_vPos.x, 940.0f);
    EXPECT_EQ(m_pBody->m_vPos.y, 256.0f);
}

TEST_F(BossZZ, SecondPhaseDashesFansMissilesFiresTheTwinGunAndChecksOnlyWhenTheRecoilBringsItBack)
{
    m_pLabel->Spawn();
    EnterPhase(1);
    // The first pass: ticks 1-326, then the cycle 111-326 once more.
    TickToPassEnd(1, 110);
    Tick();
    EXPECT_EQ(m_pBody->m_nTick, 111);
    const std::vector<ZZEVENT> first = Between(1, 1, 326);
    const SCHEDULE expected = {
        {170, "dash0"},     {250, "missile0"}, {250, "missile2"}, {255, "missile1"}, {255, "missile3"},
        {262, "missile4"},  {262, "missile6"}, {267, "missile5"}, {267, "missile7"}, {286, "recoil0"},
        {286, "vulcan0"},   {286, "vulcan1"},
    };
    EXPECT_EQ(Schedule(first), expected);
    // Her height (432 with the view offset) is 420 after the clamp to 100-420, 386 within 130 px of
    // the body's 256; the dash goes 4 px above that, straight down (and brakes a little past it).
    const ZZEVENT* pDash = Find("dash0", 170);
    ASSERT_NE(pDash, nullptr);
    EXPECT_EQ(pDash->by, 256.0f);
    EXPECT_NEAR(m_pBody->m_vPos.y, 382.0f, 6.0f);
    EXPECT_NEAR(m_pBody->m_fDashAngle, 1.5708f, 0.01f);
    const ZZEVENT* pRecoil = Find("recoil0", 286);
    ASSERT_NE(pRecoil, nullptr);
    const float fFiredX = pRecoil->bx;
    EXPECT_EQ(m_pBody->m_fRememberedX, fFiredX);
    // The vulcans' muzzles, straight left.
    for (int i = 0; i < 2; i++) {
        const ZZEVENT* pV = Find("vulcan" + std::to_string(i), 286);
        ASSERT_NE(pV, nullptr);
        EXPECT_EQ(pV->x, pV->bx - (i ? 150.0f : 140.0f));
        EXPECT_EQ(pV->y, -(pV->by + (i ? -24.0f : 7.0f)));
        EXPECT_EQ(pV->fAngle, 3.14f);
    }
    // Missiles from 8.5 px above the body with the records of their index.
    for (const ZZEVENT& e : first) {
        if (e.strWhat.rfind("missile", 0) != 0)
            continue;
        const int m = std::stoi(e.strWhat.substr(7));
        const CEBMissile& missile = m_pBody->m_Missiles[m];
        EXPECT_EQ(missile.m_Horz.fStart, 10.0f);
        EXPECT_EQ(missile.m_Horz.fMin, -1000.0f);
        EXPECT_EQ(missile.m_Vert.fStart, g_ZZMissilePaths[m % 4].Vert.fStart) << m;
        EXPECT_EQ(missile.m_Vert.fStep, g_ZZMissilePaths[m % 4].Vert.fStep) << m;
    }
    for (const ZZEVENT& e : first) {
        if (e.strWhat.rfind("missile", 0) == 0) {
            EXPECT_EQ(e.x, e.bx);
            EXPECT_EQ(e.y, -(e.by - 8.5f));
        }
    }

    // The kick carries it right of where it fired; back there, the check sends it off (below a
    // third), not at the cycle's end.
    EXPECT_GT(m_pBody->m_vPos.x, fFiredX);
    m_pBody->m_nLife = m_pBody->m_nMaxLife / 3 - 1;
    int nLeft = 0;
    for (int n = 1; n < 200 && !nLeft; n++) {
        Tick();
        if (m_pBody->m_nState == 3)
            nLeft = m_pBody->m_nTick;
        else
            EXPECT_GE(m_pBody->m_vPos.x, fFiredX);
    }
    ASSERT_GT(nLeft, 111);
    EXPECT_LT(nLeft, 170);
    EXPECT_EQ(m_pBody->m_nNextState, 2);
    // Its one exit tick has moved it by nothing yet: the phase check left it where it fired.
    EXPECT_EQ(m_pBody->m_vPos.x, fFiredX);
    EXPECT_EQ(m_pKind->m_Recoil.pAcc, nullptr);
}

TEST_F(BossZZ, SecondPhaseCycleRepeatsItsScheduleWhileLifeStaysAboveAThird)
{
    m_pLabel->Spawn();
    EnterPhase(1);
    TickToPassEnd(1, 110);
    m_Events.clear();
    TickToPassEnd(1, 110);
    const SCHEDULE expected = {
        {170, "dash0"},     {250, "missile0"}, {250, "missile2"}, {255, "missile1"}, {255, "missile3"},
        {262, "missile4"},  {262, "missile6"}, {267, "missile5"}, {267, "missile7"}, {286, "recoil0"},
        {286, "vulcan0"},   {286, "vulcan1"},
    };
    EXPECT_EQ(Schedule(Between(1, 111, 326)), expected);
    EXPECT_EQ(m_pBody->m_nState, 1);
    // The third missile group never flies.
    for (int m = 8; m < ZZ_MISSILES; m++)
        EXPECT_TRUE(m_pBody->m_Missiles[m].m_bIdle);
}

TEST_F(BossZZ, LastPhaseRunsItsFullAttackCycleAndRepeatsItFrom111)
{
    m_pLabel->Spawn();
    EnterPhase(2);
    EXPECT_EQ(m_pBody->m_dwDrawFlags & 1u, 0u);
    TickToPassEnd(2, 110);
    Tick();
    EXPECT_EQ(m_pBody->m_nTick, 111);
    const SCHEDULE cycle = {
        {190, "shot0"},      {196, "shot1"},      {202, "shot2"},      {208, "shot3"},     {250, "recoil0"},
        {250, "vulcan0"},    {250, "vulcan1"},    {340, "dash0"},      {430, "shot0"},     {436, "shot1"},
        {442, "shot2"},      {448, "shot3"},      {490, "recoil0"},    {490, "vulcan0"},   {490, "vulcan1"},
        {580, "dash0"},      {690, "homing0"},    {690, "homing1"},    {700, "homing2"},   {700, "homing3"},
        {710, "homing4"},    {710, "homing5"},    {720, "homing6"},    {720, "homing7"},   {730, "homing8"},
        {730, "homing9"},    {740, "homing10"},   {740, "homing11"},   {750, "dash0"},     {880, "charge0"},
        {920, "text0"},      {950, "textoff0"},   {980, "text1"},      {1010, "textoff1"}, {1040, "chargeoff0"},
        {1040, "laser0"},    {1220, "dash0"},
    };
    SCHEDULE sorted = cycle;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Schedule(Between(2, 1, 1220)), sorted);

    // Aimed shots from 30 px left of and 80 px above the body, at 10 px above her.
    const D3DVECTOR p = Target();
    for (const ZZEVENT& e : Between(2, 1, 1220)) {
        if (e.strWhat.rfind("shot", 0) != 0)
            continue;
        const float ox = e.bx - 30.0f, oy = e.by - 80.0f + m_fViewOffset;
        EXPECT_EQ(e.x, ox);
        EXPECT_EQ(e.y, -oy);
        EXPECT_EQ(e.fAngle, std::atan2(-(p.y + 10.0f - oy), p.x - ox));
    }
    // The dashes of the cycle end at their points (within the brake's slight overshoot): the
    // charge glows at the third's, 40 px left and 90 px above the body.
    const ZZEVENT* pCharge = Find("charge0", 880);
    ASSERT_NE(pCharge, nullptr);
    EXPECT_NEAR(pCharge->bx, 540.0f, 2.0f);
    EXPECT_NEAR(pCharge->by, 380.0f, 2.0f);
    EXPECT_EQ(pCharge->x, pCharge->bx - 40.0f);
    EXPECT_EQ(pCharge->y, -(pCharge->by - 90.0f));
    const ZZEVENT* pText = Find("text0", 920);
    ASSERT_NE(pText, nullptr);
    EXPECT_EQ(pText->x, pText->bx - 70.0f);
    EXPECT_EQ(pText->y, pText->by - 90.0f);
    const ZZEVENT* pLaser = Find("laser0", 1040);
    ASSERT_NE(pLaser, nullptr);
    EXPECT_EQ(pLaser->x, pLaser->bx + 30.0f);
    EXPECT_EQ(pLaser->y, -(pLaser->by - 90.0f));
    for (int i = 0; i < ZZ_HOMINGS; i++) {
        const ZZEVENT* pHoming = Find("homing" + std::to_string(i), 690 + 10 * (i / 2));
        ASSERT_NE(pHoming, nullptr) << i;
        EXPECT_EQ(pHoming->y, Top() - (pHoming->by + 60.0f * (float)(i % 2)));
    }
    EXPECT_EQ(m_pBody->m_Laser.m_nDirection, -1);
    EXPECT_EQ(m_pBody->m_Laser.m_dwHoldTime, 1500u);
    // The six homing pairs: spreading launch headings, slower, shorter-lived and turning harder.
    for (int i = 0; i < ZZ_HOMINGS; i++) {
        const CEBHoming& h = m_pBody->m_Homings[i];
        const ZZHOMINGPAIR& pair = g_ZZHomingPairs[i / 2];
        EXPECT_EQ(h.m_fLaunchHeading, g_fZZHomingAnglesB[i]);
        EXPECT_EQ(h.m_Speed.fStart, pair.fSpeed);
        EXPECT_EQ(h.m_Speed.fStep, pair.fAcceleration);
        EXPECT_EQ(h.m_nLifetimeSetting, pair.nLifetimeMs);
        EXPECT_FLOAT_EQ(h.m_fTurnRate, pair.fTurnDegrees * 0.017453292f);
    }
    EXPECT_EQ(g_fZZHomingAnglesB[11], -0.9599f);
    EXPECT_EQ(m_pBody->m_fRememberedX, 480.0f);

    // The next cycle keeps the same ticks from 111 on.
    m_Events.clear();
    TickToPassEnd(2, 110);
    std::vector<ZZEVENT> again = Between(2, 111, 1220);
    EXPECT_EQ(Schedule(again), sorted);
    EXPECT_EQ(m_pBody->m_nState, 2);
}

TEST_F(BossZZ, EachWordStartsLeftOfAndAboveTheBodyRisesAbout70PxAndStops30TicksLater)
{
    m_pLabel->Spawn();
    EnterPhase(2);
    TickUntil(2, 920);
    const CTextSurface& word = m_pBody->m_Texts[0];
    ASSERT_FALSE(word.IsStopped());
    const float x0 = m_pBody->m_vPos.x - 70.0f, y0 = m_pBody->m_vPos.y - 90.0f;
    EXPECT_EQ(word.m_fX, x0);
    EXPECT_EQ(word.m_fY, y0);
    float fTop = y0;
    for (int n = 1; n <= 30; n++) {
        Tick();
        if (!word.IsStopped())
            fTop = word.m_fY;
        EXPECT_EQ(word.IsStopped(), n == 30) << n;
    }
    // 8 px a tick braking to rest: about 8 * 8 / (2 * 0.457) and the half steps.
    EXPECT_NEAR(y0 - fTop, 74.0f, 1.0f);
    EXPECT_NEAR(word.m_fX, x0, 0.1f);
}

TEST_F(BossZZ, KilledDuringTheChargeItStopsChargeLaserAndWordsButNotTheVulcansInFlight)
{
    m_pLabel->Spawn();
    EnterPhase(2);
    TickUntil(2, 925);
    ASSERT_FALSE(m_pBody->m_Charge.m_bIdle);
    ASSERT_FALSE(m_pBody->m_Texts[0].IsStopped());
    m_pBody->FireVulcans();
    m_Stage.GetStageData().m_nStageNo = 3;
    const int nScore = m_Stage.GetScore();
    CTestGun gun(m_pBody->m_nLife);
    EXPECT_EQ(m_pBody->HitByPlayerBullet(&m_Stage, &gun), 1);
    // Its block's score value is paid; the stage's bonus becomes its score value after.
    EXPECT_EQ(m_Stage.GetScore(), nScore + 10 * gun.m_nPower + m_pKind->m_Block.nScore);
    EXPECT_EQ(m_pBody->m_Param.nScore, CStage::GetStageBonus(3));
    EXPECT_TRUE(m_pBody->m_Charge.m_bIdle);
    EXPECT_TRUE(m_pBody->m_Laser.m_bIdle);
    EXPECT_TRUE(m_pBody->m_Texts[0].IsStopped());
    EXPECT_FALSE(m_pBody->m_Vulcans[0].m_bIdle);
    EXPECT_FALSE(m_pBody->m_Vulcans[1].m_bIdle);
    EXPECT_TRUE(m_pBody->m_bDead);
    EXPECT_EQ(m_pBody->m_nLife, 0);
}

TEST_F(BossZZ, ADashToWhereItStandsStartsNothingAndLeavesTheBodyWhereItIs)
{
    m_pLabel->Spawn();
    m_pBody->m_vPos.x = 400.0f;
    m_pBody->m_vPos.y = 370.0f;
    m_pBody->DashTo(400, 370);
    EXPECT_TRUE(m_pBody->m_Adjust.nReached);
    for (int i = 0; i < 10; i++)
        m_pBody->StepDash();
    EXPECT_EQ(m_pBody->m_vPos.x, 400.0f);
    EXPECT_EQ(m_pBody->m_vPos.y, 370.0f);
    // A real dash reaches its point and backs off a little at the end.
    m_pBody->DashTo(480, 250);
    int n = 0;
    while (!m_pBody->m_Adjust.nReached && n < 200) {
        m_pBody->StepDash();
        n++;
    }
    EXPECT_LT(n, 200);
    EXPECT_NEAR(m_pBody->m_vPos.x, 480.0f, 5.0f);
    EXPECT_NEAR(m_pBody->m_vPos.y, 250.0f, 5.0f);
}

TEST_F(BossZZ, ItsSheetGivesBothPosesTheBurntHullBothMissilesFramesAndTheWords)
{
    EXPECT_GE(m_pKind->m_nWidths[0], 300);
    EXPECT_EQ(m_pKind->m_nWidths[0], m_pKind->m_nWidths[1]);
    EXPECT_EQ(m_pKind->m_nHeights[0], m_pKind->m_nHeights[1]);
    int w = 0, h = 0;
    m_pBody->m_OwnImage.GetSize(&w, &h);
    EXPECT_EQ(w, m_pKind->m_nWidths[0]);
    for (const CSprite& s : m_pKind->m_HomingFrames) {
        s.GetSize(&w, &h);
        EXPECT_GT(w, 0);
    }
    for (const CDSurfaceEx& s : m_pKind->m_MissileFrames) {
        s.GetSize(&w, &h);
        EXPECT_GT(w, 0);
    }
    EXPECT_GT(m_pBody->m_Texts[0].GetWidth(), 40);
    EXPECT_GT(m_pBody->m_Texts[1].GetWidth(), 40);
    EXPECT_FLOAT_EQ(m_pBody->m_fScaleX, 0.5f);
}

// The stage sets a boss label up before it loads the kind: the weapons' pictures still come from
// the stage's folder and stay through the kind's load.
TEST_F(BossZZ, SetUpBeforeItsKindLoadsItsWeaponsStillGetTheirPictures)
{
    auto pKind = std::make_unique<CEnemyZZ>();
    auto pLabel = std::make_unique<CEnemyLabel>();
    pLabel->m_pEnemy = pKind.get();
    pLabel->SetObject(pKind.get());
    pLabel->CreateParts(0);
    pLabel->Setup(g_lpD3DDevice, ZZ_TEST_FOLDER);
    ASSERT_EQ(pKind->Load(g_lpD3DDevice, ZZ_TEST_FOLDER), 1);
    auto* pBody = static_cast<CEnemyPartZZ*>(pKind->GetBody(pLabel.get()));
    ASSERT_NE(pBody, nullptr);
    EXPECT_GT(pBody->m_Texts[0].GetWidth(), 40);
    EXPECT_TRUE(pBody->m_Homings[0].m_bExternal);
    EXPECT_NE(pBody->m_Homings[0].m_pPair[1].GetTexture(), nullptr);
    EXPECT_NE(pBody->m_Missiles[0].m_pPair[0].GetImage(0), nullptr);
    int w = 0, h = 0;
    pBody->m_OwnImage.GetSize(&w, &h);
    EXPECT_EQ(w, pKind->m_nWidths[0]);
    pLabel.reset();
}
