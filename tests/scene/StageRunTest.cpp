// Stage 1 of the test course played through the whole program on the headless host with a
// scripted key track: she lands, climbs the hill, shoots the crates, jumps onto the block and onto
// a platform and drops through it. The same run is then recorded, saved as a replay and played back
// tick by tick, with enemy fire sent at her from the right edge, explosions, her hit effects and
// the passers-by's star circles running; and again with hits, items and the options, and with the
// constructive bonus earned.
#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "bullet/EBBigBullet.h"
#include "bullet/EBCharge.h"
#include "bullet/EBFamiliar.h"
#include "bullet/EBHoming.h"
#include "bullet/EBLaserEx.h"
#include "bullet/EBMissile.h"
#include "bullet/EBNormal.h"
#include "bullet/EBRoundEx.h"
#include "bullet/EBVulcanEx.h"
#include "bullet/ExpBombScroll.h"
#include "bullet/ExpStarCir.h"
#include "bullet/SubtractiveRandom.h"
#include "enemy/EnemyC.h"
#include "enemy/EnemyJ.h"
#include "enemy/EnemyL.h"
#include "enemy/EnemyF91.h"
#include "enemy/EnemyLabel.h"
#include "enemy/EnemyMM.h"
#include "enemy/EnemyZZ.h"
#include "enemy/EnemyM.h"
#include "enemy/EnemyP.h"
#include "engine/KeyRecorder.h"
#include "engine/Param.h"
#include "engine/WinMain.h"
#include "platform/win/Win.h"
#include "player/FakeEffects.h"
#include "player/Item.h"
#include "player/OptionIcon.h"
#include "enemy/EnemyNM.h"
#include "enemy/EnemyZM.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "TestCourse.h"
#include "scene/TickSample.h"
#include "StandInBoss.h"
#include "stage/ObjectLabel.h"
#include "stage/PeopleLabel.h"
#include "stage/Stage.h"

namespace {

// Her position on the ground (the ground row's top is 448; bodies stand 5 px above a top) and on
// anything one cell higher.
const float kGroundY = 443.0f;
const float kStepY = 379.0f;
const float kRideX = 121.0f;  // where her ride-in from the left ends

// Z shoots the two crates of the second screen, X jumps onto the block behind them and later
// onto the first platform, Down + X drops through it.
const KEYEVENT kTrack[] = {
    {250, 'Z', true}, {330, 'Z', false}, {404, 'X', true}, {425, 'X', false}, {468, 'X', true},
    {490, 'X', false}, {494, VK_DOWN, true}, {495, 'X', true}, {505, 'X', false}, {505, VK_DOWN, false},
};
const int kTrackEnd = 560;

// Enemy fire for the run as enemies will send it: shots and big bullets from the right edge at
// fixed ticks, some into her gun's line while she shoots, and her hit effects started at fixed ticks
// besides those the hits start.
struct FIREEVENT {
    int nTick;
    bool bBig;
    float fRow;  // screen row
};
// On the flat ground her gun's bullets meet shots at rows near 383 and 412.
const FIREEVENT kFire[] = {
    {120, true, 300.0f},  {200, false, 330.0f}, {215, false, 360.0f}, {230, false, 393.0f}, {250, false, 360.0f},
    {270, false, 383.0f}, {275, false, 412.0f}, {285, false, 383.0f}, {290, false, 412.0f}, {300, false, 383.0f},
    {305, false, 412.0f}, {400, true, 360.0f},  {430, false, 420.0f},
};
const int kHitEffectTicks[] = {150, 380};

float GrowToFull(int nFrame)
{
    return nFrame < 10 ? (float)nFrame / 10.0f : 1.0f;
}

// The heavier weapons over the top of the screen, where they keep clear of her: a charge and a
// timed laser, a missile volley, a homing missile, a vulcan burst, a ring of big bullets and a
// familiar that enters, fires its missiles and bursts.
class CTestWeapons {
public:
    // The explosion styles their loads would give: a pool element otherwise keeps the style of
    // whoever used it last, which differs from one run of the process to the next.
    CTestWeapons()
    {
        for (CEBMissile& m : m_Missiles)
            m.m_nExplosionStyle = m.m_Explosion.m_nStyle = 2;
        m_Homing.m_nExplosionStyle = m_Homing.m_Explosion.m_nStyle = 2;
        for (CExpBombScrollRef& e : m_Familiar.m_Explosions)
            e.m_nStyle = 2;
    }
    ~CTestWeapons() { StopAll(); }
    void StopAll()
    {
        m_Charge.Stop();
        m_Laser.Stop();
        for (CEBMissile& m : m_Missiles)
            m.Stop();
        m_Homing.Stop();
        m_Vulcan.Stop();
        m_Ring.Stop();
        m_Familiar.Stop();
    }
    void Tick(int t)
    {
        switch (t) {
        case 140:
            m_Charge.SetPosition(D3DVECTOR{{560.0f}, {-120.0f}, {0.0f}});
            m_Charge.m_dwDuration = 800;
            m_Charge.Fire();
            break;
        case 180:
            m_Laser.Load(nullptr);
            m_Laser.m_fGrowth = 40.0f;
            m_Laser.m_fScaleStart = 0.2f;
            m_Laser.m_nDirection = -1;
            m_Laser.m_dwHoldTime = 1000;
            m_Laser.m_bTimed = 1;
            m_Laser.SetPosition(D3DVECTOR{{560.0f}, {-120.0f}, {0.0f}});
            m_Laser.Fire();
            break;
        case 200:
            for (int i = 0; i < 4; i++) {
                ACCINFO horz{}, vert{};
                horz.Set(5.0f, -0.3f, -100.0f, 5.0f, 1);
                vert.Set(2.2f * (float)(i - 2) + 1.1f, 0.0f, -10.0f, 10.0f, 1);
                m_Missiles[i].SetAccInfo(horz, vert);
                m_Missiles[i].SetPosition(D3DVECTOR{{600.0f}, {-180.0f}, {0.0f}});
                m_Missiles[i].Fire();
            }
            break;
        case 230: {
            m_Homing.SetPosition(D3DVECTOR{{620.0f}, {-60.0f}, {0.0f}});
            m_Homing.m_fLaunchHeading = 3.14159f;
            const D3DVECTOR target{{200.0f}, {-140.0f}, {0.0f}};
            m_Homing.Fire(&target);
            break;
        }
        case 260:
            m_Vulcan.m_nWidth = 32;
            m_Vulcan.m_nHeight = 8;
            m_Vulcan.SetMuzzlePoint(620.0f, -90.0f, 0.0f);
            m_Vulcan.Fire(0);
            break;
        case 290:
        {
            // Upwards only, away from her.
            const float kUp[3] = {0.5f, 1.57f, 2.64f};
            m_Ring.SetDirections(3, kUp, nullptr);
            m_Ring.SetPosition(480.0f, -150.0f, 0.0f);
            m_Ring.Fire();
            break;
        }
        case 330:
            m_Ring.StopShooting();
            m_Familiar.m_nWidth = 64;
            m_Familiar.m_nHeight = 48;
            m_Familiar.Launch(60.0f);
            m_Familiar.SetOrigin(100.0f, 60.0f, 0.0f);
            break;
        case 360:
            m_Familiar.Retreat();
            break;
        case 440:
            m_Familiar.Explode();
            break;
        default:
            break;
        }
    }

    CEBCharge m_Charge;
    CEBLaserEx m_Laser;
    CEBMissile m_Missiles[4];
    CEBHoming m_Homing;
    CEBVulcanEx m_Vulcan;
    CEBRoundEx m_Ring;
    CEBFamiliar m_Familiar;
};

class CTestEmitter {
public:
    ~CTestEmitter() { StopAll(); }
    void StopAll()
    {
        for (CEBNormal& shot : m_Shots)
            shot.Stop();
        for (CEBBigBullet& big : m_Bigs)
            big.Stop();
        m_Weapons.StopAll();
    }
    // Called once per stage tick, after the tick ran.
    void Tick(CGame& game, int t)
    {
        for (const FIREEVENT& e : kFire) {
            if (e.nTick == t)
                Fire(e);
        }
        m_Weapons.Tick(t);
        // She places and steps them herself every tick.
        IPlayerEffects* pEffects = game.GetPlayer().GetEffects();
        for (int nTick : kHitEffectTicks) {
            if (nTick == t)
                pEffects->StartDamage();
        }
    }

    CEBNormal m_Shots[12];
    CEBBigBullet m_Bigs[2];
    CTestWeapons m_Weapons;

private:
    void Fire(const FIREEVENT& e)
    {
        if (e.bBig) {
            for (CEBBigBullet& big : m_Bigs) {
                if (!big.IsIdle())
                    continue;
                big.Load(nullptr);
                big.SetPosition(D3DVECTOR{{660.0f}, {-e.fRow}, {0.0f}});
                big.SetAngle(3.14159265f);
                ACCINFO speed;
                speed.Set(4.0f, 0.0f, 0.0f, 0.0f, 0);
                big.SetSpeedInfo(&speed);
                big.SetCurve(GrowToFull);
                big.Fire();
                return;
            }
        }
        for (CEBNormal& shot : m_Shots) {
            if (!shot.IsIdle())
                continue;
            shot.SetGraphic(nullptr, 0);
            shot.SetPosition(D3DVECTOR{{650.0f}, {-e.fRow}, {0.0f}});
            shot.SetAngle(3.14159265f);
            shot.SetSpeed(CEBNormal::GetDefaultSpeed());
            shot.Fire();
            return;
        }
    }
};

// The letter of the kinds of the later stages; '?' for the others.
char KindLetter(CEnemy* pKind)
{
    const std::pair<bool, char> kKinds[] = {
        {dynamic_cast<CEnemyC*>(pKind) != nullptr, 'C'}, {dynamic_cast<CEnemyH*>(pKind) != nullptr, 'H'},
        {dynamic_cast<CEnemyJ*>(pKind) != nullptr, 'J'}, {dynamic_cast<CEnemyL*>(pKind) != nullptr, 'L'},
        {dynamic_cast<CEnemyM*>(pKind) != nullptr, 'M'}, {dynamic_cast<CEnemyN*>(pKind) != nullptr, 'N'},
        {dynamic_cast<CEnemyP*>(pKind) != nullptr, 'P'}};
    for (const auto& kind : kKinds) {
        if (kind.first)
            return kind.second;
    }
    return '?';
}

// The enemy parts alive in play, each once.
void CollectLiveParts(CStage& stage, std::set<CEnemyPart*>* pOut)
{
    for (int nLayer = 0; nLayer < 7; nLayer++) {
        for (CObjectLabel* pObject : stage.GetLayerList(nLayer)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            for (int f = 0; pLabel && f < ENEMY_FAMILY_NUM; f++) {
                for (int i = 0; i < pLabel->m_Parts[f].nCount; i++) {
                    if (!pLabel->m_Parts[f].At(i)->m_bDead)
                        pOut->insert(pLabel->m_Parts[f].At(i));
                }
            }
        }
    }
}

// The name of the main-layer object just under her.
std::string Underfoot(CGame& game)
{
    D3DVECTOR p;
    game.GetPlayer().GetPosition(&p);
    p.y += 6.0f;
    CObjectLabel* pLabel = game.GetStage().GetMainLabelAt(p);
    return pLabel ? pLabel->GetName() : "";
}

// The points a pixel apart across every solid main-layer cell drawn on screen, on level with the
// middle of its row, that the terrain lookup does not give to the cell drawn there. The lookup's
// flag for looking through a speed change stays as the tick left it.
int CountGroundNotFound(CStage& stage)
{
    const int bCorrected = stage.m_bXSpeedCorrected;
    int nMissed = 0;
    for (CObjectLabel* pCell : stage.GetLayerList(STAGE_MAIN_LAYER)) {
        if (pCell->IsFinished() || (pCell->GetAttribute() & OBJATTR_NOTOUCH))
            continue;
        HITQUAD q;
        pCell->GetQuad(&q);
        int nColumn = 0, nRow = 0;
        pCell->GetCell(&nColumn, &nRow);
        for (float x = std::max(q.v[0].x, 0.0f); x < q.v[2].x && x <= 640.0f; x += 1.0f) {
            const D3DVECTOR p{{x}, {64.0f * (float)nRow + 32.0f}, {0.0f}};
            CObjectLabel* pFound = stage.GetMainLabelAtEx(p);
            nMissed += !pFound || pFound->WhichX(x) != 0;
        }
    }
    stage.m_bXSpeedCorrected = bCorrected;
    return nMissed;
}

class StageRun : public CProgramRun {
protected:
    // Plays the key track from the stage's first tick; fnEach sees every stage tick.
    void PlayTrack(const std::function<void(CObservedGame&, int)>& fnEach)
    {
        m_Game.m_OnRender = [this, fnEach](CObservedGame& game) {
            if (game.GetState() != CGame::STATE_STAGE || !game.m_bNoting)
                return;
            if (!m_nBase)
                m_nBase = m_Host.GetFrameTicks();
            const int t = static_cast<int>(m_Host.GetFrameTicks() - m_nBase);
            PlayKeys(m_pTrack, m_nTrackLength, t);
            fnEach(game, t);
            if (t == m_nTrackEnd)
                CloseSoon();
        };
    }

    // Records the key track with enemy fire, saves it as a replay, and plays the replay in a fresh
    // program; fnEvents runs at every stage tick of both. Every played tick must be the recorded one.
    void RecordAndPlayBack(const std::function<void(CObservedGame&, int)>& fnEvents);

    // Runs with a sub-weapon: the Param.txt keys given to both programs, and Shift held from the
    // tick given (in the recording) for two ticks.
    void RecordWithWeapon(int nWeapon, int nFireTick);

    uint32_t m_nBase = 0;
    const KEYEVENT* m_pTrack = kTrack;
    size_t m_nTrackLength = std::size(kTrack);
    std::vector<std::pair<std::string, std::string>> m_Params;
    // A change to the data copy after the parameters.
    std::function<void()> m_fnEditData;
    int m_nTrackEnd = kTrackEnd;
    // The stage the run starts on, and the ticks its replay must play at least (0: all but the
    // closing one).
    int m_nStage = 1;
    int m_nLeastPlayed = 0;
    // The stage's map cut down to its start and the boss's arena.
    bool m_bBossFirst = false;
    // Stage 1 cut short to a stand-in boss.
    bool m_bBossRun = false;
    std::vector<TICKSAMPLE> m_Recorded;
    int m_nShotTicks = 0;
    int m_nBurstTicks = 0;
    int m_nEnemyTicks = 0;
    // The ticks each heavier weapon was in flight: laser, missiles, homing, vulcan, ring, familiar.
    int m_nWeaponTicks[6] = {};
    int m_nFamiliarMissiles = 0;
    bool m_bFamiliarDone = false;
};

TEST_F(StageRun, SheLandsClimbsShootsJumpsOntoTheBlockAndDropsThroughAPlatform)
{
    MakeStageData();
    UseTestCourse();
    std::map<int, TICKSAMPLE> at;
    std::map<int, std::string> under;
    std::set<CObjectLabel*> crushed;
    bool bAlwaysPlaying = true;
    float fMinXBeforeBlock = 1000.0f;
    PlayTrack([&](CObservedGame& game, int t) {
        at[t] = Sample(game);
        under[t] = Underfoot(game);
        if (t == 26 || t == 516)
            WriteLook(m_Host, "landing-smoke-" + std::to_string(t));
        bAlwaysPlaying = bAlwaysPlaying && game.GetStage().GetState() == STAGE_STATE_PLAY;
        if (t >= 20 && t < 400)
            fMinXBeforeBlock = std::min(fMinXBeforeBlock, at[t].x);
        // A crushed crate leaves the stage once its explosion has burnt out.
        if (t <= 340) {
            for (CObjectLabel* pLabel : game.GetStage().GetLayerList(3)) {
                if (!strcmp(pLabel->GetName(), "K1") && pLabel->m_nDurability <= 0)
                    crushed.insert(pLabel);
            }
        }
    });
    ASSERT_EQ(Run(200000), 0);
    ASSERT_GE(at.size(), static_cast<size_t>(kTrackEnd));
    EXPECT_TRUE(bAlwaysPlaying);

    // She rides in from the left until she first lands, then stands on the ground.
    EXPECT_LT(at[0].x, 0.0f);
    EXPECT_TRUE(at[0].dwState & PLAYER_STATE_ENTERING);
    EXPECT_EQ(at[20].x, kRideX);
    EXPECT_EQ(at[20].y, kGroundY);
    EXPECT_EQ(at[20].dwState & (PLAYER_STATE_ENTERING | PLAYER_STATE_SLOPES | PLAYER_STATE_JUMP), PLAYER_STATE_FLAT);

    // The hill of the first screen: up a third of the scroll per tick, along its top, down again.
    EXPECT_TRUE(at[180].dwState & PLAYER_STATE_UP);
    EXPECT_NEAR(at[170].y - at[180].y, 10.0f * 4.0f / 3.0f, 0.01f);
    EXPECT_EQ(at[220].y, kStepY);
    EXPECT_TRUE(at[220].dwState & PLAYER_STATE_FLAT);
    EXPECT_TRUE(at[260].dwState & PLAYER_STATE_DOWN);
    EXPECT_EQ(at[300].y, kGroundY);

    // Both crates in her line of fire are shot to pieces before they reach her: nothing pushes her.
    EXPECT_EQ(crushed.size(), 2u);
    EXPECT_EQ(fMinXBeforeBlock, kRideX);

    // The jump at 404 carries her onto the block; she rides it to its end and falls to the ground.
    EXPECT_TRUE(at[410].dwState & PLAYER_STATE_JUMP);
    EXPECT_LT(at[413].y, kStepY);
    EXPECT_EQ(at[420].y, kStepY);
    EXPECT_EQ(under[420], "G2");
    EXPECT_EQ(at[441].y, kGroundY);

    // Onto the platform, and through it with Down + X.
    EXPECT_EQ(at[485].y, kStepY);
    EXPECT_EQ(under[485], "R1");
    EXPECT_TRUE(at[497].dwState & PLAYER_STATE_JUMP);
    EXPECT_GT(at[497].y, kStepY);
    EXPECT_EQ(at[503].y, kGroundY);
    EXPECT_NE(under[503], "R1");
    EXPECT_EQ(at[520].x, kRideX);
}

TEST_F(StageRun, ARecordedRunPlayedBackFromItsReplayFileRepeatsEveryTick)
{
    RecordAndPlayBack([](CObservedGame&, int) {});
    EXPECT_GT(m_nShotTicks, 100);
    EXPECT_GT(m_nBurstTicks, 20);
    EXPECT_GT(m_nEnemyTicks, 200);
    for (int i = 0; i < 6; i++)
        EXPECT_GT(m_nWeaponTicks[i], 5) << i;
    // The familiar sent all its missiles, burst and finished within the run.
    EXPECT_EQ(m_nFamiliarMissiles, EBFAMILIAR_MISSILES);
    EXPECT_TRUE(m_bFamiliarDone);
    // Shots and enemies got through her gun's fire and hit her, in both runs alike.
    int nLeastLife = 100;
    for (const TICKSAMPLE& s : m_Recorded)
        nLeastLife = std::min(nLeastLife, s.nLife);
    EXPECT_EQ(nLeastLife, 70);
}

// A gun of the test's own whose every shot meets: it wears a boss down, or shoots
// an enemy down, at fixed ticks of both runs.
class CBossDamage : public IPlayerBullet {
public:
    int GetPower() override { return m_nPower; }
    int HitByEnemyPart(CStage*, CCrushable*) override { return 1; }
    int m_nPower = 0;
};

// Stage 2 meets the kinds C, H, J, L, M, N and P within the run, on its first three screens: every
// tick it plays back is the recorded one, with them in play. Its replay runs out 95 ticks early (the
// opening chat), so only the ticks it plays are compared.
TEST_F(StageRun, ARunOnTheStageWithTheOtherKindsRepeatsEveryTick)
{
    m_nStage = 2;
    // The track never jumps, so the stair of stage 2's second screen pushes her off the screen:
    // the game over that follows ends the playback (as a replay's game over does) while the
    // recording runs on.
    m_nLeastPlayed = 430;
    // By the kind's letter, the ticks with a live part and the first of them; in the recording.
    std::map<char, int> live, first;
    // The laser gunships shot down while they fire, in both runs, and their beams still out after.
    int nLancersDown = 0, nBeamsLeft = 0;
    std::vector<CEBLaserEx*> downed;
    RecordAndPlayBack([&](CObservedGame& game, int t) {
        for (CEBLaserEx* pBeam : downed)
            nBeamsLeft += !pBeam->IsIdle();
        downed.clear();
        for (CObjectLabel* pObject : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            auto* pKind = pLabel && !pLabel->IsFinished() ? dynamic_cast<CEnemyL*>(pLabel->m_pEnemy) : nullptr;
            CEnemyPartL* pPart = pKind ? pKind->GetUnitL(pLabel) : nullptr;
            if (pPart && !pPart->m_bDead && !pPart->m_Laser.IsIdle()) {
                CBossDamage gun;
                gun.m_nPower = pPart->m_nLife;
                pPart->HitByPlayerBullet(&game.GetStage(), &gun);
                nLancersDown++;
                downed.push_back(&pPart->m_Laser);
            }
        }
        if (game.GetPlayer().GetState() & PLAYER_STATE_PLAYBACK)
            return;
        if (t % 10 == 0)
            WriteLook(m_Host, "stage2-" + std::to_string(t));
        for (CObjectLabel* pObject : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            if (!pLabel || pLabel->IsFinished())
                continue;
            int nLive = 0;
            for (int f = 0; f < ENEMY_FAMILY_NUM; f++) {
                const ENEMYPARTS& parts = pLabel->m_Parts[f];
                for (int i = 0; i < parts.nCount; i++)
                    nLive += !parts.At(i)->m_bDead;
            }
            const char cKind = KindLetter(pLabel->m_pEnemy);
            live[cKind] += nLive > 0;
            if (nLive && !first.count(cKind))
                first[cKind] = t;
        }
    });
    // Each comes in well within the ticks played back and stays a while; the crawler keeps to the
    // ground, in her line of fire, and falls sooner.
    for (char cKind : {'C', 'H', 'J', 'L', 'M', 'N', 'P'}) {
        ASSERT_TRUE(first.count(cKind)) << cKind;
        EXPECT_LT(first[cKind], 300) << cKind;
        EXPECT_GT(live[cKind], cKind == 'P' ? 50 : 100) << cKind;
    }
    EXPECT_EQ(m_Recorded[0].nExp, 32);
    // In both runs a gunship went down while firing and took its beam with it in its next update.
    EXPECT_GE(nLancersDown, 2);
    EXPECT_EQ(nLancersDown % 2, 0);
    EXPECT_EQ(nBeamsLeft, 0);
}

// The boss's ticks come from the replay in playback: a fight against the stand-in boss repeats
// every tick.
TEST_F(StageRun, ARunIntoABossFightRepeatsEveryTick)
{
    m_bBossRun = true;
    InstallStandInBoss();
    int nBossTicks = 0;
    float fBossX = 0.0f;
    RecordAndPlayBack([&](CObservedGame& game, int) {
        if (!game.GetStage().IsBossBattle())
            return;
        nBossTicks++;
        for (CObjectLabel* pObject : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            if (pLabel && dynamic_cast<CStandInBoss*>(pLabel->m_pEnemy))
                fBossX = static_cast<CStandInBoss*>(pLabel->m_pEnemy)->GetBody(pLabel)->m_vPos.x;
        }
    });
    RemoveStandInBoss();
    // Some ninety ticks of the fight in each of the two runs.
    EXPECT_GT(nBossTicks, 2 * 90);
    EXPECT_LT(fBossX, 940.0f);
}

// Stage 2 cut down to the arena of its boss: Z.M.Zorva swoops, fires and swings its sabers at her
// while she shoots it, and every tick plays back as recorded.
TEST_F(StageRun, AFightWithBossZMRepeatsEveryTick)
{
    m_nStage = 2;
    m_bBossFirst = true;
    int nBossTicks = 0, nHitTicks = 0, nSwingTicks = 0, nLife = 0;
    RecordAndPlayBack([&](CObservedGame& game, int) {
        for (CObjectLabel* pObject : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            if (!pLabel || !dynamic_cast<CEnemyZM*>(pLabel->m_pEnemy) || pLabel->IsFinished())
                continue;
            CEnemyPartZM* pBody = pLabel->GetParts<CEnemyPartZM>(ENEMY_FAMILY_ZM);
            nBossTicks++;
            nHitTicks += pBody->m_Flash.IsFlashing() ? 1 : 0;
            nSwingTicks += pBody->m_Saber.IsIdle() ? 0 : 1;
            nLife = pBody->m_nLife;
        }
    });
    // Counted in both runs alike: the fight took most of the track, her gun hit it and it swung.
    EXPECT_GT(nBossTicks, 2 * 250);
    EXPECT_GT(nHitTicks, 2 * 10);
    EXPECT_GT(nSwingTicks, 0);
    EXPECT_LT(nLife, 1200);
}

// Stage 2 cut down to the arena of its boss, with the road sped up by one on its second screen,
// shortly before the arena's road loops back for the first time: the cells in view when it speeds
// up sit a pixel off the columns the map gives for their places until they have scrolled by, and
// each loop leaves a seam that runs across the screen. Every tick, in both runs, the terrain finds
// all the ground that is drawn, and every tick plays back as recorded.
TEST_F(StageRun, ARunAcrossASpeedUpAndTheArenaLoopFindsTheGroundDrawnAndRepeatsEveryTick)
{
    m_nStage = 2;
    m_bBossFirst = true;
    m_fnEditData = [] { CTempFolder::Put(StagePath(2), ReadDataFile(StagePath(2)) + "#002XXX:XSPEED=6\r\n"); };
    int nMissed = 0, nOldCellTicks = 0, nSeamTicks = 0, nLoops = 0;
    // The cells on screen when the road sped up, until each scrolls off (the arena's come again).
    std::set<CObjectLabel*> drawnBefore;
    bool bSpedUp = false;
    float fLastSeam = 0.0f;
    RecordAndPlayBack([&](CObservedGame& game, int t) {
        CStage& stage = game.GetStage();
        if (t == 0)
            bSpedUp = false;
        if (!bSpedUp && stage.GetStep(STAGE_MAIN_LAYER) == 6.0f) {
            bSpedUp = true;
            drawnBefore.insert(stage.GetLayerList(STAGE_MAIN_LAYER).begin(), stage.GetLayerList(STAGE_MAIN_LAYER).end());
        }
        for (auto it = drawnBefore.begin(); it != drawnBefore.end();)
            it = (*it)->IsFinished() ? drawnBefore.erase(it) : std::next(it);
        nOldCellTicks += !drawnBefore.empty();
        const float fSeam = stage.m_fSeam[STAGE_MAIN_LAYER];
        nLoops += fSeam > fLastSeam;
        nSeamTicks += fSeam > 0.0f;
        fLastSeam = fSeam;
        nMissed += CountGroundNotFound(stage);
    });
    // Both runs: the cells drawn before the speed-up rode on screen for a hundred ticks, past the
    // first loop; the road looped twice.
    EXPECT_GT(nOldCellTicks, 2 * 100);
    EXPECT_EQ(nLoops, 2 * 2);
    EXPECT_GT(nSeamTicks, 2 * 200);
    EXPECT_EQ(nMissed, 0);
}

CEnemyPartZZ* FindZZ(CStage& stage)
{
    for (CObjectLabel* pObject : stage.GetLayerList(STAGE_ENEMY_LAYER)) {
        auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
        if (auto* pKind = pLabel ? dynamic_cast<CEnemyZZ*>(pLabel->m_pEnemy) : nullptr)
            return static_cast<CEnemyPartZZ*>(pKind->GetBody(pLabel));
    }
    return nullptr;
}

// Stage 3 on the shortest ride to boss ZZ: hit below two thirds in its first phase and below a
// third in its second, it fights into its full attack, and every tick of the fight plays back.
TEST_F(StageRun, AFightWithZZThroughItsThreePhasesRepeatsEveryTick)
{
    m_nStage = 3;
    m_nTrackEnd = 1250;
    m_Params = {{"ENEMY_ZZ.M.Zorva", "300, 0, 0, 50000, 1"}};
    m_fnEditData = [] { ShortenToBoss(3); };
    int nTicks[4] = {};
    RecordAndPlayBack([&](CObservedGame& game, int t) {
        CEnemyPartZZ* pBody = FindZZ(game.GetStage());
        if (!pBody || pBody->m_bDead)
            return;
        if (t == 150 || t == 600) {
            CBossDamage gun;
            gun.m_nPower = t == 150 ? 110 : 100;
            pBody->HitByPlayerBullet(&game.GetStage(), &gun);
        }
        nTicks[pBody->m_nState]++;
    });
    // Both runs: the first phase's pass, the second's up to its recoil, and the full attack's start.
    EXPECT_EQ(nTicks[0], 2 * 319);
    EXPECT_GT(nTicks[1], 2 * 286);
    EXPECT_GT(nTicks[2], 2 * 100);
}

// What enemies do to her besides their fire, done by the test at the same stage ticks of both runs:
// hits, and items thrown her way; with all three options on, which the replay file carries.
TEST_F(StageRun, ARunWithHitsItemsAndTheOptionsSetRepeatsEveryTick)
{
    for (int& flag : g_nOptionFlags)
        flag = 1;
    static CItemGunRef s_Refs[8];
    int nRef = 0;
    int nOptionsSeen = 0;
    RecordAndPlayBack([&](CObservedGame& game, int t) {
        CPlayer& p = game.GetPlayer();
        if (t == 0) {
            nRef = 0;
            nOptionsSeen += g_nOptionFlags[0] && g_nOptionFlags[1] && g_nOptionFlags[2];
        }
        D3DVECTOR v;
        p.GetPosition(&v);
        if (t == 60 || t == 200) {
            for (int i = 0; i < 4; i++) {
                CItemGun* pItem = s_Refs[nRef++ % 8].Alloc();
                ASSERT_NE(pItem, nullptr);
                pItem->SetKind(t == 60 ? 2 : 5 + i);
                pItem->SetPosition(D3DVECTOR{v.x + 40.0f * (float)i, v.y - 150.0f, 0.0f});
                pItem->Start(3.0f, -0.5f * (float)i);
            }
        }
        if (t == 100 || t == 300 || t == 301)
            p.Damage(5);
    });
    // Both runs had the options: the second took them from the replay file.
    EXPECT_EQ(nOptionsSeen, 2);
    // The crystals raised her level; the hits cost half and no level, the second within the blink
    // nothing; the money and the passers-by paid.
    EXPECT_EQ(m_Recorded[99].nExp, 32);
    EXPECT_EQ(m_Recorded[99].nLevel, 5);
    EXPECT_EQ(m_Recorded[100].nLife, m_Recorded[99].nLife - 5);
    EXPECT_EQ(m_Recorded[100].nLevel, 5);
    EXPECT_EQ(m_Recorded[301].nLife, m_Recorded[300].nLife);
    EXPECT_GT(m_Recorded[kTrackEnd].nScore, m_Recorded[200].nScore);
}

// The CONSTRUCTIVE bonus of the first screens counts while she keeps right of the middle: the
// points go through the key record.
TEST_F(StageRun, ARunThatEarnsTheConstructiveBonusRepeatsEveryTick)
{
    RecordAndPlayBack([](CObservedGame& game, int t) {
        if (t == 60) {
            D3DVECTOR v;
            game.GetPlayer().GetPosition(&v);
            game.GetPlayer().SetPosition(D3DVECTOR{400.0f, v.y, 0.0f});
        }
    });
    EXPECT_EQ(m_Recorded[60].nScore, 0);
    EXPECT_GE(m_Recorded[120].nScore, 1000);
}

// She lifts off near the right edge and drifts past the flight box, which draws her back in; then
// the stage is won, and during the clear delay she is pushed off the left edge and hurt past her
// life, during the tally dropped below the fall line: the stage holds her, and every tick plays
// back as recorded.
TEST_F(StageRun, AFlightFromTheEdgeAndAWonStageThatHoldsHerRepeatEveryTick)
{
    const int kLift = 30, kWon = 300, kShove = 320, kDrop = 400;
    float fFarthest = 0.0f;
    int nTallyTicks = 0;
    RecordAndPlayBack([&](CObservedGame& game, int t) {
        CPlayer& p = game.GetPlayer();
        CStage& stage = game.GetStage();
        D3DVECTOR v;
        p.GetPosition(&v);
        nTallyTicks += !game.GetStageClear().IsHidden();
        if (t == kLift) {
            p.SetPosition(D3DVECTOR{605.0f, v.y, 0.0f});
            p.StartAerialMode();
        }
        if (t > kLift && t < kWon)
            fFarthest = std::max(fFarthest, v.x);
        if (t == kWon) {
            stage.EndBossBattle();
            stage.RequestStageClear();
        }
        if (t == kShove || t == kDrop) {
            p.SetPosition(t == kShove ? D3DVECTOR{-50.0f, v.y, 0.0f} : D3DVECTOR{v.x, STAGE_FALL_OUT_Y + 60.0f, 0.0f});
            p.Damage(100);
        }
    });
    EXPECT_GT(fFarthest, 620.0f);
    EXPECT_TRUE(m_Recorded[kWon - 1].dwState & PLAYER_STATE_AERIAL_FREE);
    EXPECT_LE(m_Recorded[kWon - 1].x, 608.0f);
    EXPECT_EQ(m_Recorded[kShove + 1].x, 0.0f);
    EXPECT_LE(m_Recorded[kDrop + 1].y, STAGE_FALL_OUT_Y);
    for (const TICKSAMPLE& sample : m_Recorded)
        ASSERT_EQ(sample.nStageState, STAGE_STATE_PLAY);
    // The tally showed from the drop to the end of the track, in both runs.
    EXPECT_GT(nTallyTicks, 2 * (kTrackEnd - kDrop));
}

// A sub-weapon fired in the run: the replay fires it on the same tick and it flies, hits and ends
// alike. The missiles and the rain meet the enemy fire and the crates of the second screen.
TEST_F(StageRun, ARunThatFiresHawkWindRepeatsEveryTick)
{
    RecordWithWeapon(SUBWEAPON_HAWK_WIND, 200);
    EXPECT_NE(m_Recorded[199].nWeaponHash, m_Recorded[201].nWeaponHash);
}

TEST_F(StageRun, ARunThatFiresFireStormRepeatsEveryTick)
{
    RecordWithWeapon(SUBWEAPON_FIRE_STORM, 230);
    EXPECT_NE(m_Recorded[229].nWeaponHash, m_Recorded[231].nWeaponHash);
}

TEST_F(StageRun, ARunThatFiresTheGroundWiperRepeatsEveryTick)
{
    RecordWithWeapon(SUBWEAPON_GROUND_WIPER, 150);
    EXPECT_NE(m_Recorded[149].nWeaponHash, m_Recorded[151].nWeaponHash);
}

// The shield fires by itself when a hit finds it charged: the enemy fire of the run hits her.
TEST_F(StageRun, ARunWhoseShieldTakesAHitRepeatsEveryTick)
{
    m_Params = {{"INIT_SUB_WEAPON", "0"}, {"ION_SHIELD_CHARGE_TIME", "1"}};
    RecordAndPlayBack([](CObservedGame& game, int t) {
        if (t == 100)
            game.GetPlayer().Damage(5);
    });
    EXPECT_EQ(m_Recorded[100].nLife, 100);
    EXPECT_TRUE(m_Recorded[100].dwState & PLAYER_STATE_SHIELD_BLINK);
}

// A run with a pause and a miss: the crates nobody shoots push her off the screen, the game-over
// screen comes, and the replay is saved when its menu opens. Played back, every tick outside the
// pause repeats, and the playback's game-over screen, which offers no choice, ends the replay once
// its fade to black is done, while the record still holds more.
// Stage 5 cut down to the arena of its boss: N.M.Zorva glides in, spreads its circle of pods, dashes
// to her height, fires its laser with its recoil and orders the pods' beams while she shoots it,
// leaves and comes back for its second phase, and every tick plays back as recorded.
TEST_F(StageRun, AFightWithBossNMRepeatsEveryTick)
{
    m_nStage = 5;
    m_bBossFirst = true;
    m_nTrackEnd = 800;
    int nBossTicks = 0, nHitTicks = 0, nCircleTicks = 0, nBeamTicks = 0, nLaserTicks = 0, nLife = 0;
    int nSecondPhaseTicks = 0;
    RecordAndPlayBack([&](CObservedGame& game, int) {
        for (CObjectLabel* pObject : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            if (!pLabel || !dynamic_cast<CEnemyNM*>(pLabel->m_pEnemy) || pLabel->IsFinished())
                continue;
            CEnemyPartNM* pBody = pLabel->GetParts<CEnemyPartNM>(ENEMY_FAMILY_NM);
            // Worn below two thirds early: the first laser's recoil sends it out, and it comes back
            // in for its second phase within the run.
            if (pBody->m_nState == 0 && pBody->m_nTick == 200) {
                CBossDamage gun;
                gun.m_nPower = pBody->m_nLife - 2 * (pBody->m_nMaxLife / 3) + 1;
                pBody->HitByPlayerBullet(&game.GetStage(), &gun);
            }
            nSecondPhaseTicks += pBody->m_nState == 1;
            nBossTicks++;
            nHitTicks += pBody->m_Flash.IsFlashing() ? 1 : 0;
            nCircleTicks += pBody->m_Funnel1.IsIdle() ? 0 : 1;
            for (FunnelUnit1& unit : pBody->m_Funnel1.m_Units)
                nBeamTicks += unit.Beam.IsIdle() ? 0 : 1;
            nLaserTicks += pBody->m_Laser.IsIdle() ? 0 : 1;
            nLife = pBody->m_nLife;
        }
    });
    // Counted in both runs alike: the fight took the whole track, her gun hit it, the circle flew,
    // its beams and the laser fired, and it came back for its second phase.
    EXPECT_GT(nBossTicks, 2 * 500);
    EXPECT_GT(nHitTicks, 2 * 10);
    EXPECT_GT(nCircleTicks, 2 * 250);
    EXPECT_GT(nBeamTicks, 0);
    EXPECT_GT(nLaserTicks, 0);
    EXPECT_LT(nLife, 1000);
    EXPECT_GT(nSecondPhaseTicks, 2 * 50);
}

TEST_F(StageRun, APauseAndTheGameOverScreenKeepThePlaybackInStepAndTheGameOverEndsIt)
{
    MakeStageData();
    UseTestCourse();
    std::filesystem::create_directory("Replay");
    std::vector<TICKSAMPLE> recorded;
    int nPaused = 0;
    bool bSaved = false;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() != CGame::STATE_STAGE || !game.m_bNoting)
            return;
        if (!m_nBase)
            m_nBase = m_Host.GetFrameTicks();
        const int t = static_cast<int>(m_Host.GetFrameTicks() - m_nBase);
        if (t == 100 || t == 142)
            m_Host.PressKey(VK_TAB);
        if (t == 101 || t == 143)
            m_Host.ReleaseKey(VK_TAB);
        if (game.GetStage().GetState() == STAGE_STATE_PAUSE) {
            nPaused++;
            return;
        }
        recorded.push_back(Sample(game));
        if (!bSaved && game.GetGameOver().GetState() == CGameOver::STATE_MENU) {
            CKeyRecorder* pRec = CKeyRecorder::GetInstance();
            pRec->CloseTrack();
            ASSERT_EQ(pRec->SaveReplay("Replay02.dat", game.GetStage().GetScore()), 1);
            bSaved = true;
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(200000), 0);
    ASSERT_TRUE(bSaved);
    EXPECT_GE(nPaused, 40);

    CHostHeadless host;
    CObservedGame game(host);
    SetParam("STAGE_INIT_STATE", "0");
    std::vector<TICKSAMPLE> played;
    bool bStarted = false;
    int nLeaveAt = -1;
    int bMoreAtLeave = 0;
    int bFinishedAtLeave = 0;
    game.m_OnRender = [&](CObservedGame& g) {
        if (!bStarted) {
            bStarted = true;
            // What the caution screen loads for every later scene, as before any replay is chosen.
            g.LoadAll(g_lpD3DDevice);
            ASSERT_EQ(g.StartReplay(g_lpD3DDevice, ".\\Replay\\", "Replay02.dat"), 1);
            return;
        }
        if (g.GetState() == CGame::STATE_TITLE)
            CloseSoonOn(host, g);
        const bool bStage = g.GetState() == CGame::STATE_STAGE || g.GetState() == CGame::STATE_STAGE_FADE;
        if (!bStage || nLeaveAt >= 0)
            return;
        // The scene has begun to leave in the same pass.
        if (g.GetStage().GetState() == STAGE_STATE_LEAVE) {
            nLeaveAt = static_cast<int>(played.size());
            bMoreAtLeave = CKeyRecorder::GetInstance()->HasMorePlayData();
            bFinishedAtLeave = g.GetGameOver().IsFinished();
            return;
        }
        played.push_back(Sample(g));
    };
    ASSERT_EQ(RunOn(host, game, 200000), 0);
    ASSERT_GT(nLeaveAt, 0);
    EXPECT_TRUE(bMoreAtLeave);
    EXPECT_TRUE(bFinishedAtLeave);
    ASSERT_LT(static_cast<size_t>(nLeaveAt), recorded.size());
    for (int i = 0; i < nLeaveAt; i++) {
        ASSERT_TRUE(played[i] == recorded[i]) << "tick " << i << ": recorded (" << recorded[i].x << ", " << recorded[i].y
                                              << ") played (" << played[i].x << ", " << played[i].y << ")";
    }
    // The miss and the whole shutter and fade sequence were played back.
    EXPECT_EQ(played.back().nStageState, STAGE_STATE_GAMEOVER);
    const std::vector<int> states = game.States();
    EXPECT_EQ(std::vector<int>(states.end() - 3, states.end()),
              (std::vector<int>{CGame::STATE_STAGE, CGame::STATE_STAGE_FADE, CGame::STATE_TITLE}));
}

// Retrying a stage, or going on to the next, starts a new run of the stage in the same process: it
// must start as clean as the first. The track ridden twice in one process, each on a fresh host
// and game, gives the same tick samples and the same frames from the first tick to the last.
TEST_F(StageRun, TwoRunsOfTheTrackInOneProcessAreTheSameTickForTick)
{
    MakeStageData();
    UseTestCourse();
    struct RUNNOTES {
        std::vector<TICKSAMPLE> samples;
        std::vector<uint64_t> frames;
    };
    static CFakeEffects s_Effects;  // the game may reach it until the fixture ends
    auto ride = [](CHostHeadless& host, CObservedGame& game, RUNNOTES* pNotes) {
        game.m_bWaitForLoads = true;
        uint32_t nBase = 0;
        game.m_OnRender = [&host, pNotes, &nBase](CObservedGame& g) {
            if (g.GetState() != CGame::STATE_STAGE || !g.m_bNoting)
                return;
            if (!nBase) {
                nBase = host.GetFrameTicks();
                // Her hit effects take the wall time for their looks: stand-ins that draw nothing.
                g.GetPlayer().SetEffects(&s_Effects);
            }
            const int t = static_cast<int>(host.GetFrameTicks() - nBase);
            for (const KEYEVENT& e : kTrack) {
                if (e.nTick == t && e.bDown)
                    host.PressKey(e.nKey);
                else if (e.nTick == t)
                    host.ReleaseKey(e.nKey);
            }
            pNotes->samples.push_back(Sample(g));
            pNotes->frames.push_back(HashFrame(host.GetLastFrame()));
            if (t >= 330 && t <= 333) WriteLook(host, "dbg-" + std::to_string((long)pNotes % 1000) + "-" + std::to_string(t));
            if (t == kTrackEnd)
                CloseSoonOn(host, g);
        };
        ASSERT_EQ(RunOn(host, game, 200000), 0);
        for (const KEYEVENT& e : kTrack)
            host.ReleaseKey(e.nKey);
    };
    RUNNOTES first, second;
    ride(m_Host, m_Game, &first);
    CHostHeadless host;
    CObservedGame game(host);
    ride(host, game, &second);
    ASSERT_EQ(first.samples.size(), static_cast<size_t>(kTrackEnd + 1));
    ASSERT_EQ(second.samples.size(), first.samples.size());
    for (size_t i = 0; i < first.samples.size(); i++) {
        const TICKSAMPLE& a = first.samples[i];
        const TICKSAMPLE& b = second.samples[i];
        ASSERT_TRUE(a == b) << "tick " << i << std::hex << ": labels " << a.nLabelHash << "/" << b.nLabelHash
                            << " shots " << a.nShotHash << "/" << b.nShotHash << " explosions " << a.nExplosionHash
                            << "/" << b.nExplosionHash << " items " << a.nItemHash << "/" << b.nItemHash
                            << " enemies " << a.nEnemyHash << "/" << b.nEnemyHash;
        ASSERT_EQ(first.frames[i], second.frames[i]) << "tick " << i;
    }
}

TEST_F(StageRun, EnemyFireIsShotDownByHerGunAndEveryExplosionAndStarCircleBurnsOut)
{
    MakeStageData();
    UseTestCourse();
    // The passers-by carry nothing here: the score is the shots' alone.
    STAGEHOOKS hooks = CStage::GetHooks();
    hooks.CreateItem = nullptr;
    CStage::SetHooks(hooks);
    CTestEmitter fire;
    const int nStartPoint = 0;
    int nPoolBegun = 0, nPoolRunning = 0;
    // Per star circle: the ticks it ran, and whether it was seen stopped afterwards.
    std::map<CExpStarCir*, std::pair<int, bool>> circles;
    int nPointAtEnd = -1, nEnemyPoints = 0, nKilled = 0;
    std::set<CEnemyPart*> flown;
    std::set<CObjectLabel*> crushed, crushedGone;
    PlayTrack([&](CObservedGame& game, int t) {
        fire.Tick(game, t);
        int nRunning = 0;
        for (int i = 0; i < EXPBOMB_POOL_SIZE; i++)
            nRunning += !GetExpBombScrollPool()[i].m_bIdle;
        if (nRunning > nPoolRunning)
            nPoolBegun += nRunning - nPoolRunning;
        nPoolRunning = nRunning;
        std::set<CObjectLabel*> listed;
        for (int nLayer = 0; nLayer < 7; nLayer++) {
            for (CObjectLabel* pLabel : game.GetStage().GetLayerList(nLayer)) {
                listed.insert(pLabel);
                if (pLabel->m_bCrushed)
                    crushed.insert(pLabel);
                auto* pPeople = dynamic_cast<CPeopleLabel*>(pLabel);
                auto* pCircle = pPeople ? dynamic_cast<CExpStarCir*>(pPeople->m_pStarCir) : nullptr;
                if (pCircle && !pCircle->IsStopped())
                    circles[pCircle].first++;
                else if (pCircle && circles.count(pCircle))
                    circles[pCircle].second = true;
            }
        }
        for (CObjectLabel* pLabel : crushed) {
            if (!listed.count(pLabel))
                crushedGone.insert(pLabel);
        }
        if (t % 10 == 0)
            WriteLook(m_Host, "stage1-fire-" + std::to_string(t));
        CollectLiveParts(game.GetStage(), &flown);
        if (t == kTrackEnd) {
            nPointAtEnd = game.GetStage().GetScore();
            // Each life taken off an enemy is 10 points, and a destroyed one adds its score value.
            for (CEnemyPart* pPart : flown) {
                nEnemyPoints += 10 * (pPart->m_Param.nLife - std::max(pPart->m_nLife, 0));
                if (pPart->m_nLife <= 0) {
                    nEnemyPoints += pPart->m_Param.nScore;
                    nKilled++;
                }
            }
        }
    });
    ASSERT_EQ(Run(200000), 0);
    fire.StopAll();
    // Each shot of 4 points taken down by one bullet of her gun (power 4 or more) is 40 points.
    // Her gun meets the enemies in her line of fire.
    EXPECT_GE(nKilled, 1);
    const int nShotPoints = nPointAtEnd - nEnemyPoints;
    EXPECT_GT(nShotPoints, nStartPoint);
    EXPECT_EQ(nShotPoints % 40, 0);
    EXPECT_GE(nPoolBegun, nShotPoints / 40 + nKilled);
    EXPECT_EQ(nPoolRunning, 0);
    // The crates' explosions burn out and the crates leave the stage.
    EXPECT_GE(crushed.size(), 2u);
    EXPECT_EQ(crushedGone, crushed);
    // The passers-by she rides into burst their star circles: each shows from the tick she hits
    // it through its twentieth update.
    EXPECT_GE(circles.size(), 1u);
    for (const auto& circle : circles) {
        EXPECT_EQ(circle.second.first, 21);
        EXPECT_TRUE(circle.second.second);
    }
}

} // namespace

void StageRun::RecordWithWeapon(int nWeapon, int nFireTick)
{
    static const char* const kChargeKeys[4] = {"ION_SHIELD_CHARGE_TIME", "HAWK_WIND_CHARGE_TIME",
                                               "FIRE_STORM_CHARGE_TIME", "GROUND_WIPER_CHARGE_TIME"};
    m_Params = {{"INIT_SUB_WEAPON", std::to_string(nWeapon)}, {kChargeKeys[nWeapon], "1"}};
    RecordAndPlayBack([&](CObservedGame& game, int t) {
        if (game.GetPlayer().GetState() & PLAYER_STATE_PLAYBACK)
            return;
        if (t == nFireTick)
            m_Host.PressKey(VK_SHIFT);
        if (t == nFireTick + 2)
            m_Host.ReleaseKey(VK_SHIFT);
    });
}

// A fight with the first boss on stage 1 laid out short, her gun held up and firing: its mines,
// its exit and return, its volleys and vulcan and her hits on it repeat tick for tick, its ticks
// coming from the record in the playback.
const KEYEVENT kBossFight[] = {{10, 'Z', true}, {10, VK_UP, true}};

TEST_F(StageRun, AFightWithTheFirstBossRepeatsEveryTick)
{
    m_fnEditData = [] { ShortenStageOne(); };
    m_pTrack = kBossFight;
    m_nTrackLength = std::size(kBossFight);
    m_nTrackEnd = 1000;
    int nMineTicks = 0, nVolleyTicks = 0, nLeastLife = INT_MAX;
    std::set<int> phases;
    RecordAndPlayBack([&](CObservedGame& game, int) {
        for (CObjectLabel* pObject : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            CEnemyPartMM* pBoss = pLabel ? pLabel->GetParts<CEnemyPartMM>(ENEMY_FAMILY_MM) : nullptr;
            if (!pBoss || pLabel->IsFinished())
                continue;
            phases.insert(pBoss->m_nState);
            nLeastLife = std::min(nLeastLife, pBoss->m_nLife);
            nMineTicks += !pBoss->m_Mines[0].m_bIdle;
            nVolleyTicks += !pBoss->m_HiSpeed[0].IsIdle();
        }
    });
    EXPECT_EQ(phases, (std::set<int>{0, 1, CEnemyPartBoss::STATE_EXIT}));
    EXPECT_GT(nMineTicks, 100);
    EXPECT_GT(nVolleyTicks, 20);
    EXPECT_LT(nLeastLife, 400);
}

void StageRun::RecordAndPlayBack(const std::function<void(CObservedGame&, int)>& fnEvents)
{
    MakeStageData();
    for (const auto& param : m_Params)
        SetParam(param.first, param.second);
    if (m_nStage <= 2)
        UseTestCourse(m_nStage);
    if (m_bBossRun)
        MakeShortBossStage();
    if (m_nStage != 1) {
        SetParam("INIT_STAGE_NUM", std::to_string(m_nStage));
        ClearParams();
    }
    if (m_bBossFirst)
        MoveBossToStart(m_nStage);
    if (m_fnEditData)
        m_fnEditData();
    std::filesystem::create_directory("Replay");
    std::vector<TICKSAMPLE>& recorded = m_Recorded;
    CTestEmitter fire;
    PlayTrack([&](CObservedGame& game, int t) {
        fnEvents(game, t);
        recorded.push_back(Sample(game));
        fire.Tick(game, t);
        const CTestWeapons& w = fire.m_Weapons;
        const bool bLive[6] = {!w.m_Laser.m_bIdle, !w.m_Missiles[0].m_bIdle, !w.m_Homing.m_bIdle,
                               !w.m_Vulcan.m_bIdle, !w.m_Ring.m_bIdle, !w.m_Familiar.m_bIdle};
        for (int i = 0; i < 6; i++)
            m_nWeaponTicks[i] += bLive[i] ? 1 : 0;
        m_nFamiliarMissiles = w.m_Familiar.m_nMissile;
        m_bFamiliarDone = w.m_Familiar.m_bIdle != 0;
        m_nShotTicks += IEBulletRender::GetRegistry().GetCount() > 0;
        m_nBurstTicks += CScrollableSet::Count() > 1;  // her gun is always there
        std::set<CEnemyPart*> live;
        CollectLiveParts(game.GetStage(), &live);
        m_nEnemyTicks += !live.empty();
        if (t == m_nTrackEnd) {
            CKeyRecorder* pRec = CKeyRecorder::GetInstance();
            pRec->CloseTrack();
            ASSERT_EQ(pRec->SaveReplay("Replay01.dat", game.GetStage().GetScore()), 1);
        }
    });
    ASSERT_EQ(Run(200000), 0);
    fire.StopAll();
    ASSERT_EQ(recorded.size(), static_cast<size_t>(m_nTrackEnd + 1));
    for (size_t i = 0; i < m_nTrackLength; i++)
        m_Host.ReleaseKey(m_pTrack[i].nKey);
    for (int& flag : g_nOptionFlags)
        flag = 0;

    // A fresh program that starts the saved replay instead of the debug start.
    CHostHeadless host;
    CObservedGame game(host);
    // The new game hands the stage the library's own makers.
    if (m_bBossRun)
        InstallStandInBoss();
    SetParam("STAGE_INIT_STATE", "0");
    std::vector<TICKSAMPLE> played;
    CTestEmitter playedFire;
    bool bStarted = false;
    bool bAllPlayback = true;
    game.m_OnRender = [&](CObservedGame& g) {
        if (!bStarted) {
            bStarted = true;
            // What the caution screen loads for every later scene, as before any replay is chosen.
            g.LoadAll(g_lpD3DDevice);
            ASSERT_EQ(g.StartReplay(g_lpD3DDevice, ".\\Replay\\", "Replay01.dat"), 1);
            return;
        }
        if (!g.m_bNoting)
            return;
        if (g.GetState() != CGame::STATE_STAGE) {
            // The replay ran out: the stage is being left.
            if (!played.empty())
                CloseSoonOn(host, g);
            return;
        }
        const int t = static_cast<int>(played.size());
        fnEvents(g, t);
        played.push_back(Sample(g));
        playedFire.Tick(g, t);
        // The hit effects take the time for their looks: here they get another one every tick.
        GetLookRandom().Srand(0xC0FFEEu + 7919u * (uint32_t)t);
        bAllPlayback = bAllPlayback && (g.GetPlayer().GetState() & PLAYER_STATE_PLAYBACK);
        if (played.size() == recorded.size())
            CloseSoonOn(host, g);
    };
    // The replay starts on the stage the title holds, as the replay menu leaves it.
    game.GetTitle().Reset(m_nStage, 0);
    ASSERT_EQ(RunOn(host, game, 200000), 0);
    playedFire.StopAll();
    for (int& flag : g_nOptionFlags)
        flag = 0;
    // The closing record ends the replay on its last tick, when the stage starts to leave.
    ASSERT_GE(played.size(), m_nLeastPlayed ? (size_t)m_nLeastPlayed : recorded.size() - 1);
    for (size_t i = 0; i < played.size(); i++) {
        const TICKSAMPLE& r = recorded[i];
        const TICKSAMPLE& q = played[i];
        ASSERT_TRUE(q == r) << "tick " << i << ": recorded (" << r.x << ", " << r.y << ", " << std::hex << r.dwState
                            << ", shots " << r.nShotHash << ", explosions " << r.nExplosionHash << ", enemies "
                            << r.nEnemyHash << std::dec
                            << ", life " << r.nLife << ", exp " << r.nExp << ", score " << r.nScore << ") played ("
                            << q.x << ", " << q.y << ", " << std::hex << q.dwState << ", shots " << q.nShotHash
                            << ", explosions " << q.nExplosionHash << ", enemies " << q.nEnemyHash << std::dec << ", life " << q.nLife << ", exp "
                            << q.nExp << ", score " << q.nScore << ")";
    }
    // The heroine of the second run was played back, not steered.
    EXPECT_TRUE(bAllPlayback);
}

// Stage 4 cut to its boss: F91 teleports in, dashes to her height and fires its missile fan while
// her gun hits it, teleports out and back for its second phase, and every tick of the fight, its
// afterimages included, plays back as recorded.
TEST_F(StageRun, AFightWithBossF91RepeatsEveryTick)
{
    m_nStage = 4;
    m_fnEditData = [] { UseBossStage(4, "M.ZorvaF91"); };
    std::vector<std::vector<float>> runs[2];
    int nRun = -1;
    const CGame* pLast = nullptr;
    bool bWounded[2] = {};
    RecordAndPlayBack([&](CObservedGame& game, int) {
        if (&game != pLast) {
            pLast = &game;
            nRun++;
        }
        for (CObjectLabel* pObject : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            auto* pKind = pLabel ? dynamic_cast<CEnemyF91*>(pLabel->m_pEnemy) : nullptr;
            if (!pKind || pLabel->IsFinished() || nRun > 1)
                continue;
            CEnemyPartF91& b = *pKind->GetF91Body(pLabel);
            // Worn below two thirds once its fan of missiles is out: it teleports out and comes back
            // in for its second phase within the run.
            if (!bWounded[nRun] && b.m_nState == 0 && !b.m_Missiles[7].IsIdle() &&
                b.m_After.nState == F91AFTERIMAGE::NONE) {
                CBossDamage gun;
                gun.m_nPower = b.m_nLife - 2 * (b.m_nMaxLife / 3) + 1;
                b.HitByPlayerBullet(&game.GetStage(), &gun);
                bWounded[nRun] = true;
            }
            runs[nRun].push_back({(float)b.m_nState, (float)b.m_nTick, (float)b.m_After.nState, (float)b.m_After.bBlink,
                                  b.m_After.vPoint[0].x, b.m_After.vPoint[1].x, b.m_vPos.y, b.m_fLean,
                                  (float)!b.m_Missiles[7].IsIdle()});
        }
    });
    ASSERT_EQ(nRun, 1);
    ASSERT_GT(runs[0].size(), 300u);
    // The playback ends a tick early, on the closing record.
    ASSERT_GE(runs[1].size() + 1, runs[0].size());
    bool bConverged = false, bMissile = false, bSecondPhase = false;
    for (size_t i = 0; i < runs[1].size(); i++) {
        ASSERT_EQ(runs[1][i], runs[0][i]) << "boss tick " << i;
        bConverged = bConverged || runs[0][i][2] == static_cast<float>(F91AFTERIMAGE::CONVERGING);
        bMissile = bMissile || runs[0][i][8] != 0.0f;
        bSecondPhase = bSecondPhase || runs[0][i][0] == 1.0f;
    }
    EXPECT_TRUE(bConverged);
    EXPECT_TRUE(bMissile);
    EXPECT_TRUE(bSecondPhase);
}
