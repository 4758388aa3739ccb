// Boss Z.M.Zorva tick by tick on the frame clock, one full cycle of each phase: the swoops' aimed
// shots and the saber lunges of the first, the dashes, lasers with their recoil and the charges of
// the second, the danger beacons, shield charges and two-sided swings of the last; where each is
// fired from, the phase checks at their ticks, and the double damage of the charge.
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "EnemyFixture.h"
#include "enemy/EnemyZM.h"
#include "platform/host/Png565.h"

namespace {

#define ZM_FOLDER ".\\GameData\\Stage02\\"

// One thing the boss set off: what, at which tick of its state, from where.
struct ZMEVENT {
    std::string what;
    int nState;
    int nTick;
    float x, y;    // where the weapon was placed (y up for shots and sabers)
    float bx, by;  // the body at that moment
    int nValue;    // direction, facing or index
};

class BossZM : public CEnemyTest {
protected:
    void SetUp() override
    {
        CEnemyTest::SetUp();
        m_pKind = new CEnemyZM;
        m_Kinds.emplace_back(m_pKind);
        ASSERT_EQ(m_pKind->Load(g_lpD3DDevice, ZM_FOLDER), 1);
        auto pLabel = std::make_unique<CEnemyLabel>();
        pLabel->m_pEnemy = m_pKind;
        pLabel->SetObject(m_pKind);
        pLabel->SetCell(20, 4);
        pLabel->CreateParts(0);
        pLabel->Setup(g_lpD3DDevice, ZM_FOLDER);
        pLabel->SetOffsetY(m_fViewOffset);
        pLabel->SetTarget(&m_vTarget);
        m_pLabel = pLabel.get();
        m_Labels.push_back(std::move(pLabel));
        m_pBody = static_cast<CEnemyPartZM*>(m_pKind->GetBody(m_pLabel));
        ASSERT_NE(m_pBody, nullptr);
    }

    // One update, noting every weapon that went off in it.
    void Tick()
    {
        CEnemyPartZM& b = *m_pBody;
        bool bShot[ZM_HISPEED_NUM];
        for (int i = 0; i < ZM_HISPEED_NUM; i++)
            bShot[i] = b.m_HiSpeed[i].IsIdle();
        const bool bSaber = b.m_Saber.IsIdle(), bThrown = b.m_MoveSaber[0].IsIdle(), bLaser = b.m_Laser.IsIdle();
        const bool bShield = b.m_Shield.IsFinished(), bBeacon = b.m_Beacon[0].IsFinished();
        const bool bDashing = !b.m_Adjust.nReached;
        Step(m_pLabel);
        m_nUpdates++;
        auto note = [&](const char* pszWhat, float x, float y, int nValue) {
            m_Events.push_back(ZMEVENT{pszWhat, b.m_nState, b.m_nTick, x, y, b.m_vPos.x, b.m_vPos.y, nValue});
        };
        for (int i = 0; i < ZM_HISPEED_NUM; i++)
            if (bShot[i] && !b.m_HiSpeed[i].IsIdle())
                note("shot", b.m_HiSpeed[i].m_vShotPos.x, b.m_HiSpeed[i].m_vShotPos.y, i);
        if (bSaber && !b.m_Saber.IsIdle())
            note("saber", b.m_Saber.m_vCenter.x, b.m_Saber.m_vCenter.y, b.m_Saber.m_nDirection);
        if (bThrown && !b.m_MoveSaber[0].IsIdle())
            note("thrown", b.m_MoveSaber[0].m_vPos.x, b.m_MoveSaber[0].m_vPos.y, (int)b.m_MoveSaber[0].m_fAngle);
        if (bLaser && !b.m_Laser.IsIdle())
            note("laser", b.m_Laser.m_vOrigin.x, b.m_Laser.m_vOrigin.y, b.m_Laser.m_nDirection);
        if (bShield && !b.m_Shield.IsFinished())
            note("shield", b.m_vPos.x, b.m_vPos.y, b.m_Shield.m_nFacing);
        if (bBeacon && !b.m_Beacon[0].IsFinished())
            note("beacon", (float)b.m_Beacon[1].GetDrawX(), (float)(b.m_Beacon[0].GetDrawY() - 16), b.m_Beacon[0].GetDrawX());
        if (bDashing && b.m_Adjust.nReached)
            note("dashed", b.m_vPos.x, b.m_vPos.y, 0);
    }
    void Run(int n)
    {
        for (int i = 0; i < n; i++)
            Tick();
    }
    // Updates until the body is in the state (at most nMax); the updates taken.
    int RunToState(int nState, int nMax)
    {
        for (int n = 1; n <= nMax; n++) {
            Tick();
            if (m_pBody->m_nState == nState)
                return n;
        }
        return nMax + 1;
    }
    std::vector<ZMEVENT> Events(const char* pszWhat, int nState) const
    {
        std::vector<ZMEVENT> out;
        for (const ZMEVENT& e : m_Events)
            if (e.what == pszWhat && e.nState == nState)
                out.push_back(e);
        return out;
    }
    static std::vector<int> Ticks(const std::vector<ZMEVENT>& events)
    {
        std::vector<int> out;
        for (const ZMEVENT& e : events)
            out.push_back(e.nTick);
        return out;
    }
    int Third() const { return m_pBody->m_nMaxLife / 3; }

    CEnemyZM* m_pKind = nullptr;
    CEnemyLabel* m_pLabel = nullptr;
    CEnemyPartZM* m_pBody = nullptr;
    std::vector<ZMEVENT> m_Events;
    int m_nUpdates = 0;
};

TEST_F(BossZM, TheFirstPhaseSwoopsFiresAimedShotsLungesWithTheSaberAndChecksItsPhaseAtItsTicks)
{
    m_vTarget = D3DVECTOR{{121.0f}, {420.0f}, {0.0f}};
    m_pLabel->Spawn();
    const CEnemyPartZM& b = *m_pBody;
    ASSERT_EQ(b.m_nMaxLife, 1200);
    EXPECT_EQ(b.m_vPos.x, 940.0f);
    EXPECT_EQ(b.m_vPos.y, 256.0f);
    EXPECT_EQ(b.m_AccX.fValue, -5.0f);
    EXPECT_EQ(b.m_AccY.fValue, -1.5f);
    EXPECT_FALSE(b.m_SaberLight.m_bStopped);
    Run(3);
    // The swoop from above starts at (750, 240 - d - 148), d = 2000 / (8 tan 50 degrees).
    const float d = 2000.0f / (std::tan(0.8726646f) * 8.0f);
    EXPECT_FLOAT_EQ(b.m_vPos.x, 750.0f);
    EXPECT_FLOAT_EQ(b.m_vPos.y, 240.0f - d - 148.0f);
    EXPECT_NEAR(b.m_vPos.y, -117.8f, 0.05f);
    Run(960);  // to tick 963, which sends the counter back to 2
    EXPECT_EQ(b.m_nTick, 2);
    Run(61);   // the second cycle's first shot
    const std::vector<ZMEVENT> shots = Events("shot", 0);
    EXPECT_EQ(Ticks(shots), (std::vector<int>{63, 79, 95, 111, 523, 539, 555, 571, 63}));
    for (size_t k = 0; k < shots.size(); k++) {
        const ZMEVENT& e = shots[k];
        EXPECT_EQ(e.nValue, (int)(k % 4)) << k;
        // From 30 left of and 70 above the body's centre, aimed at her.
        EXPECT_FLOAT_EQ(e.x, e.bx - 30.0f) << k;
        EXPECT_FLOAT_EQ(e.y, -(e.by - 70.0f)) << k;
        const float fAim = std::atan2(-(420.0f - (e.by - 70.0f)), 121.0f - (e.bx - 30.0f));
        EXPECT_FLOAT_EQ(b.m_HiSpeed[e.nValue].m_fAngle, k < 8 ? b.m_HiSpeed[e.nValue].m_fAngle : fAim);
    }
    // The first volley flies down-left from above the screen, the second up-left from below it.
    EXPECT_LT(shots[0].by, 0.0f + 240.0f);
    EXPECT_GT(shots[4].by, shots[0].by);
    // Sixty ticks after the swoop began, the closed form of its motion.
    const float s = 8.0f * std::sin(0.8726646f);
    EXPECT_NEAR(shots[0].bx, 750.0f - 60.0f * s + s * s * 0.002f * 1770.0f, 0.05f);
    EXPECT_NEAR(shots[0].by, 240.0f - d - 148.0f + 60.0f * 8.0f * std::cos(0.8726646f), 0.05f);

    const std::vector<ZMEVENT> swings = Events("saber", 0), throws = Events("thrown", 0);
    EXPECT_EQ(Ticks(swings), (std::vector<int>{323, 803}));
    EXPECT_EQ(Ticks(throws), (std::vector<int>{323, 803}));
    for (size_t k = 0; k < swings.size(); k++) {
        // Beside the body, facing left, after gliding in to rest near x 450.
        EXPECT_NEAR(swings[k].bx, 450.0f, 7.0f) << k;
        EXPECT_FLOAT_EQ(swings[k].x, swings[k].bx - 40.0f) << k;
        EXPECT_FLOAT_EQ(swings[k].y, -(swings[k].by + 20.0f)) << k;
        EXPECT_EQ(swings[k].nValue, 1) << k;
        // The thrown one leaves from the blade; its first 5 px come in the next update.
        EXPECT_NEAR(throws[k].x, swings[k].x, 0.01f) << k;
        EXPECT_EQ(throws[k].nValue, 3) << k;  // 3.14: thrown to the left
        // At the player's height (less 40, within 100..420).
        EXPECT_FLOAT_EQ(swings[k].by, 380.0f + 16.0f) << k;
    }
    EXPECT_TRUE(Events("laser", 0).empty());
    EXPECT_TRUE(Events("shield", 0).empty());
    EXPECT_EQ(b.m_nState, 0);

    // Exactly two thirds left stays in the first phase; one less leaves at the next check (tick 242).
    m_pBody->m_nLife = 2 * Third();
    Run(170);  // tick 233
    EXPECT_EQ(b.m_nState, 0);
    m_pBody->m_nLife = 2 * Third() - 1;
    for (int t = b.m_nTick; t < 241; t++) {
        Tick();
        ASSERT_EQ(b.m_nState, 0) << b.m_nTick;
    }
    Tick();
    EXPECT_EQ(b.m_nState, 3);
    EXPECT_EQ(b.m_nNextState, 1);
}

TEST_F(BossZM, TheSecondPhaseDashesFiresItsLaserWithRecoilAndChargesBothWays)
{
    m_vTarget = D3DVECTOR{{121.0f}, {300.0f}, {0.0f}};  // her row is 316 for the dashes
    m_pLabel->Spawn();
    CEnemyPartZM& b = *m_pBody;
    b.m_nLife = 2 * Third() - 1;
    ASSERT_LE(RunToState(1, 2000), 2000);
    EXPECT_EQ(b.m_nTick, 0);
    EXPECT_EQ(b.m_vPos.x, 940.0f);
    m_Events.clear();
    Tick();
    EXPECT_EQ(b.m_nImage, 1);
    EXPECT_FALSE(b.IsFacingRight());
    // It brakes to rest at 560 and waits there for the sub-machine at tick 190.
    Run(188);
    EXPECT_NEAR(b.m_vPos.x, 560.0f, 5.0f);
    EXPECT_FALSE(b.m_bSubActive);
    Tick();
    EXPECT_EQ(b.m_nTick, 190);
    EXPECT_TRUE(b.m_bSubActive);

    // Through both charges: the phase is checked after each, at b + 75 = 426.
    float fFiredX = 0.0f;
    BOOL bFiredRight = 0;
    int nCharges = 0;
    for (int n = 0; n < 3000 && nCharges < 2; n++) {
        const int nTickBefore = b.m_nTick;
        const bool bCharging = !b.m_bSubActive && b.m_nSub == CEnemyPartZM::SUB_CHARGE;
        Tick();
        ASSERT_TRUE(std::isfinite(b.m_vPos.x) && std::isfinite(b.m_vPos.y));
        if (!m_Events.empty() && m_Events.back().what == "laser" && m_Events.back().nTick == b.m_nTick) {
            fFiredX = b.m_fRecoilX;
            bFiredRight = b.IsFacingRight();
        }
        // The recoil never carries the body past where it fired.
        if (b.m_pKind->m_Recoil.pAcc) {
            if (bFiredRight) {
                ASSERT_LE(b.m_vPos.x, fFiredX) << b.m_nTick;
            } else {
                ASSERT_GE(b.m_vPos.x, fFiredX) << b.m_nTick;
            }
        }
        if (!bCharging)
            continue;
        if (nTickBefore == 425 && b.m_nTick == 426)
            nCharges++;
        if (b.m_nTick == 361) {
            EXPECT_EQ(b.m_nImage, 3);
        }
        if (b.m_nTick == 401) {
            EXPECT_EQ(b.m_nImage, 1);
            // Facing left it charged to the left edge and turned right, and the other way after.
            EXPECT_EQ(b.IsFacingRight(), nCharges == 0 ? 1 : 0);
        }
    }
    ASSERT_EQ(nCharges, 2);
    EXPECT_EQ(b.m_nState, 1);
    // Three lasers to the left before the first charge, then one to the right from the left edge.
    const std::vector<ZMEVENT> lasers = Events("laser", 1);
    ASSERT_EQ(lasers.size(), 4u);
    const int nDirections[4] = {-1, -1, -1, 1};
    for (int k = 0; k < 4; k++) {
        EXPECT_EQ(lasers[k].nValue, nDirections[k]) << k;
        // From the muzzle, 160 to that side and 38 above the centre.
        EXPECT_FLOAT_EQ(lasers[k].x, lasers[k].bx + 160.0f * (float)nDirections[k]) << k;
        EXPECT_FLOAT_EQ(lasers[k].y, -(lasers[k].by - 38.0f)) << k;
    }
    // Each laser goes off 32 ticks after the dash before it ended, at her height.
    const ZMEVENT* pDash = nullptr;
    int nChecked = 0;
    for (const ZMEVENT& e : m_Events) {
        if (e.what == "dashed")
            pDash = &e;
        if (e.what != "laser")
            continue;
        ASSERT_NE(pDash, nullptr);
        EXPECT_EQ(e.nTick - pDash->nTick, 32);
        EXPECT_NEAR(e.by, 316.0f, 5.0f);
        nChecked++;
    }
    EXPECT_EQ(nChecked, 4);
    // The charges rest at 70 and 560.
    EXPECT_NEAR(b.m_vPos.x, 560.0f, 20.0f);
    EXPECT_TRUE(Events("shot", 1).empty());

    // Below a third, the check after the next charge leaves for the last phase.
    b.m_nLife = Third() - 1;
    ASSERT_LE(RunToState(3, 3000), 3000);
    EXPECT_EQ(b.m_nTick, 426);
    EXPECT_EQ(b.m_nNextState, 2);
}

TEST_F(BossZM, TheLastPhaseMarksEachChargeWithBeaconsChargesBehindItsShieldAndSwingsFromBothSides)
{
    m_vTarget = D3DVECTOR{{121.0f}, {300.0f}, {0.0f}};
    m_pLabel->Spawn();
    CEnemyPartZM& b = *m_pBody;
    b.m_nLife = Third() - 1;
    ASSERT_LE(RunToState(2, 6000), 6000);
    m_Events.clear();
    std::vector<std::pair<int, float>> heights;
    float fLastY = b.m_vPos.y;
    for (int n = 0; n < 1570; n++) {
        Tick();
        if (b.m_vPos.y != fLastY)
            heights.push_back({b.m_nTick, b.m_vPos.y});
        fLastY = b.m_vPos.y;
        if (b.m_nTick == 400) {
            EXPECT_EQ(b.m_nImage, 3);
        }
    }
    EXPECT_EQ(b.m_nTick, 0);
    EXPECT_EQ(b.m_nState, 2);
    const std::vector<ZMEVENT> beacons = Events("beacon", 2);
    EXPECT_EQ(Ticks(beacons), (std::vector<int>{275, 425, 575, 1075, 1225, 1375}));
    for (const ZMEVENT& e : beacons) {
        // (544, y) and (97, y), y her row within 80..400; the body goes to y + 16.
        EXPECT_EQ(e.nValue, 544);
        EXPECT_EQ(e.x, 97.0f);
        EXPECT_EQ(e.y, 300.0f);
        EXPECT_EQ(e.by, 316.0f);
    }
    // Its height changes only at the beacons and the two re-entries.
    for (const std::pair<int, float>& h : heights) {
        const bool bAllowed = h.first == 770 || h.first == 0 || h.first == 275 || h.first == 425 ||
                              h.first == 575 || h.first == 1075 || h.first == 1225 || h.first == 1375;
        EXPECT_TRUE(bAllowed) << h.first;
    }
    const std::vector<ZMEVENT> shields = Events("shield", 2);
    EXPECT_EQ(Ticks(shields), (std::vector<int>{360, 510, 660, 1160, 1310, 1460}));
    const int nFromRight[6] = {1, 0, 1, 0, 1, 0};
    for (size_t k = 0; k < shields.size(); k++) {
        EXPECT_EQ(shields[k].bx, nFromRight[k] ? 940.0f : -300.0f) << k;
        EXPECT_EQ(shields[k].nValue, nFromRight[k] ? 1 : -1) << k;
    }
    const std::vector<ZMEVENT> swings = Events("saber", 2), throws = Events("thrown", 2);
    EXPECT_EQ(Ticks(swings), (std::vector<int>{130, 910}));
    ASSERT_EQ(swings.size(), 2u);
    ASSERT_EQ(throws.size(), 2u);
    // From the right it lunges left with the saber 40 to its left; from the left the other way.
    EXPECT_EQ(swings[0].nValue, 1);
    EXPECT_FLOAT_EQ(swings[0].x, swings[0].bx - 40.0f);
    EXPECT_NEAR(swings[0].bx, 500.0f, 6.0f);  // 440 px of braking, in whole ticks
    EXPECT_EQ(throws[0].nValue, 3);
    EXPECT_EQ(swings[1].nValue, -1);
    EXPECT_FLOAT_EQ(swings[1].x, swings[1].bx + 40.0f);
    EXPECT_NEAR(swings[1].bx, 140.0f, 6.0f);
    EXPECT_EQ(throws[1].nValue, 0);
    EXPECT_TRUE(Events("laser", 2).empty());
    EXPECT_TRUE(Events("shot", 2).empty());
}

TEST_F(BossZM, TheChargeTakesDoubleDamageAndScoreAndTheDeathStopsShieldAndLaser)
{
    m_vTarget = D3DVECTOR{{121.0f}, {300.0f}, {0.0f}};
    m_pLabel->Spawn();
    CEnemyPartZM& b = *m_pBody;
    CTestGun gun(5);
    const int nLife = b.m_nLife;
    EXPECT_EQ(b.HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(b.m_nLife, nLife - 5);
    b.SelectBodyImage(3);
    const int nScore = m_Stage.GetScore();
    EXPECT_EQ(b.HitByPlayerBullet(&m_Stage, &gun), 1);
    EXPECT_EQ(b.m_nLife, nLife - 15);
    EXPECT_EQ(m_Stage.GetScore() - nScore, 100);
    // A shield charge is running when the last hit lands.
    b.StartShieldCharge(1);
    b.FireLaser(-1);
    ASSERT_FALSE(b.m_Shield.IsFinished());
    ASSERT_FALSE(b.m_Laser.IsIdle());
    b.m_nLife = 10;
    CTestGun big(20);
    EXPECT_EQ(b.HitByPlayerBullet(&m_Stage, &big), 1);
    EXPECT_TRUE(b.m_Shield.IsFinished());
    EXPECT_TRUE(b.m_Laser.IsIdle());
    EXPECT_TRUE(b.m_bDead);
    // A dash to where it already is starts nothing and moves nothing.
    b.m_vPos = D3DVECTOR{{300.0f}, {455.0f}, {0.0f}};
    b.DashTo(300.0f, 455.0f);
    EXPECT_EQ(b.m_Adjust.nReached, 1);
    b.StepDash();
    EXPECT_EQ(b.m_vPos.y, 455.0f);
}

} // namespace

namespace {

// Pictures of each phase, drawn as the stage draws the boss (2D, shots, 3D), for looking at when
// ZORVA_LOOK_DIR names a folder.
class BossZMLook : public BossZM {
protected:
    void DrawFrame(const char* pszName)
    {
        g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x203040, 1.0f, 0);
        m_pLabel->Draw2D(g_lpDDSBack);
        DrawEnemyBullets2D(g_lpDDSBack);
        ASSERT_EQ(g_lpD3DDevice->BeginScene(), D3D_OK);
        DrawEnemyBullets3D(g_lpD3DDevice);
        m_pLabel->Draw3D(g_lpD3DDevice);
        g_lpD3DDevice->EndScene();
        const char* pszDir = std::getenv("ZORVA_LOOK_DIR");
        if (!pszDir)
            return;
        std::vector<uint16_t> pixels(640 * 480);
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++)
                pixels[y * 640 + x] = BackPixel(x, y);
        WritePng565((std::string(pszDir) + "/" + pszName).c_str(), pixels.data(), 640 * 2, 640, 480);
    }
    // Runs until the state and tick, at most nMax updates; false when it never came.
    bool RunTo(int nState, int nTick, int nMax)
    {
        for (int n = 0; n < nMax; n++) {
            if (m_pBody->m_nState == nState && m_pBody->m_nTick == nTick)
                return true;
            Tick();
        }
        return false;
    }
};

TEST_F(BossZMLook, EachPhaseAsItIsDrawn)
{
    m_vTarget = D3DVECTOR{{121.0f}, {300.0f}, {0.0f}};
    m_pLabel->Spawn();
    CEnemyPartZM& b = *m_pBody;
    ASSERT_GT(b.m_nGunWidth, 0);
    ASSERT_TRUE(RunTo(0, 100, 200));
    DrawFrame("zm-0-swoop-shots.png");
    ASSERT_TRUE(RunTo(0, 326, 400));
    EXPECT_EQ(b.m_nImage, 2);
    DrawFrame("zm-0-saber.png");
    b.m_nLife = 2 * Third() - 1;
    ASSERT_LE(RunToState(1, 2000), 2000);
    const size_t nBefore = m_Events.size();
    for (int n = 0; n < 2000 && Events("laser", 1).empty(); n++)
        Tick();
    ASSERT_GT(m_Events.size(), nBefore);
    Run(3);
    EXPECT_EQ(b.m_nImage, 1);
    DrawFrame("zm-1-laser.png");
    for (int n = 0; n < 3000 && !(b.m_nImage == 3 && b.m_nTick == 380); n++)
        Tick();
    DrawFrame("zm-1-charge.png");
    b.m_nLife = Third() - 1;
    ASSERT_LE(RunToState(2, 6000), 6000);
    ASSERT_TRUE(RunTo(2, 290, 400));
    DrawFrame("zm-2-beacons.png");
    ASSERT_TRUE(RunTo(2, 395, 200));
    EXPECT_EQ(b.m_nImage, 3);
    DrawFrame("zm-2-shield-charge.png");
    ASSERT_TRUE(RunTo(2, 913, 600));
    EXPECT_TRUE(b.IsFacingRight());
    EXPECT_EQ(b.m_nImage, 2);
    DrawFrame("zm-2-saber-from-left.png");
}

} // namespace
