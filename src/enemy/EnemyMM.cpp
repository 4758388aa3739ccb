#include "enemy/EnemyMM.h"

#include <algorithm>
#include <cmath>

#include "engine/Param.h"
#include "engine/SurfaceUtil.h"
#include "enemy/EnemyLabel.h"

namespace {

const BOSSINFO kMMInfo = {
    0,
    ENEMY_FAMILY_MM,
    "M.Zorva",
    "BossRX78Index.txt",
    // Image 0 in phase 1, 1 in phase 0, 2 in phase 2, 3 while the hammer head is thrown.
    {"BossRX78b.bmp", "BossRX78e.bmp", "BossRX78c.bmp", "BossRX78d.bmp"},
    "BossRX78f.bmp",
    "BOSS_HRR_MM",
};

enum { IMAGE_VOLLEYS = 0, IMAGE_MINES = 1, IMAGE_HAMMER = 2, IMAGE_THROWN = 3 };

const float kGlideSpeed = -5.0f;
const float kEntryBrake = 0.027777778f;  // 1/36: at rest 180 ticks after the start
const float kBobSpeed = 1.5f;
const float kBobStep = 0.018518519f;     // 1/54
const float kMinesRow = 192.0f;
const float kVolleyRestX = 500.0f;
const float kHammerRestX = 400.0f;
const float kStraightLeft = 3.14f;
const float kMineTargets[MM_MINE_LAUNCHES] = {500.0f, 400.0f, 300.0f, 200.0f};

// Where the weapons sit on the body (screen pixels from its centre).
const float kGunDx = -30.0f, kGunDy = -70.0f;
const float kVulcanDx = -150.0f, kVulcanDy = -20.0f;
const float kHandDx = 55.0f, kHandDy = -120.0f;
const float kThrowDx = -150.0f, kThrowDy = -4.0f;

const float kHammerSwingTop = 1.2f;
const float kHammerThrowSpeed = 40.0f;

// Ticks of the phase-0 cycle (171-300).
const int kMinesGlideEnd = 170;
const int kMinesCycleEnd = 300;
const int kMinesCycleRestart = 170;
// Ticks of the phase-1 cycle (111-410).
const int kVolleySteerStart = 171;
const int kVolleySteerEnd = 289;
const int kVulcanTick = 310;
const int kVolleyCycleEnd = 410;
const int kVolleyCycleRestart = 110;
// Ticks of the phase-2 cycle (111-370).
const int kHammerSteerStart = 121;
const int kHammerSteerEnd = 249;
const int kSwingTick = 130;
const int kThrowTick = 270;
const int kHammerCycleEnd = 370;
const int kHammerCycleRestart = 110;

// Uniform braking from |kGlideSpeed| to rest over the distance (never less than a pixel).
float BrakeOver(float fDistance)
{
    return 25.0f / (2.0f * std::max(std::fabs(fDistance), 1.0f));
}

} // namespace

// ---- The body -----------------------------------------------------------------------------------------

CEnemyPartMM::CEnemyPartMM() = default;

ACCBOUNCE& CEnemyPartMM::Recoil()
{
    return m_pKind->m_Recoil;
}

void CEnemyPartMM::Place(CEnemyLabel*)
{
    m_vPos = D3DVECTOR{{BOSS_START_X}, {BOSS_START_Y}, {0.0f}};
    m_AccX.Set(kGlideSpeed, kEntryBrake, kGlideSpeed, 0.0f, 1);
    m_AccY.Set(-kBobSpeed, kBobStep, -kBobSpeed, kBobSpeed, 1);
    SelectBodyImage(0);
    m_nTick = 0;
    m_Hammer.Stop();
    m_Steer.dwPeriod = MM_STEER_PERIOD;
    m_Steer.bBusy = 0;
}

void CEnemyPartMM::PositionWeapons(CEnemyLabel*)
{
    m_Hammer.SetPosition(D3DVECTOR{{m_vPos.x + kHandDx}, {-(m_vPos.y + kHandDy)}, {m_vPos.z}});
}

int CEnemyPartMM::LoadWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel*)
{
    m_Vulcan.Load(lpDevice, 1);
    for (CEBHiSpeed& shot : m_HiSpeed)
        shot.Setup(lpDevice, CEBHiSpeed::MODE_SINGLE);
    CBmpIndex* pIndex = GetIndex();
    IDirectDrawSurface7* lpMine = pIndex ? pIndex->CreateSurfaceByDevice(lpDevice, EBMINE_FILE, nullptr, 1) : nullptr;
    for (CEBMine& mine : m_Mines)
        mine.Load(lpDevice, lpMine);
    SafeRelease(lpMine);
    IDirectDrawSurface7* lpHead = pIndex ? pIndex->CreateSurfaceByDevice(lpDevice, EBHAMMER_HEAD_FILE, nullptr, 1) : nullptr;
    IDirectDrawSurface7* lpChain = pIndex ? pIndex->CreateSurfaceByDevice(lpDevice, EBHAMMER_CHAIN_FILE, nullptr, 1) : nullptr;
    m_Hammer.Load(lpDevice, lpHead, lpChain);
    SafeRelease(lpHead);
    SafeRelease(lpChain);
    m_Hammer.m_SwingPreset.Set(0.0f, 0.01f, 0.0f, kHammerSwingTop, 1);
    m_Hammer.m_fThrowSpeed = kHammerThrowSpeed;
    m_nLevel = GetParamInt("BOSS_LEVEL_MM", 0, 0);
    return 1;
}

void CEnemyPartMM::StopWeapons()
{
    m_ExpBoss.Stop();
    m_Vulcan.Stop();
    for (CEBHiSpeed& shot : m_HiSpeed)
        shot.Stop();
    for (CEBMine& mine : m_Mines)
        mine.Stop();
    m_Hammer.Stop();
}

void CEnemyPartMM::FinishWeapons(CStage*)
{
    m_Hammer.Explode();
}

// With all eight still out, the launch is skipped.
void CEnemyPartMM::LaunchMine(int i)
{
    for (CEBMine& mine : m_Mines) {
        if (!mine.IsIdle())
            continue;
        mine.SetPosition(D3DVECTOR{{m_vPos.x}, {-m_vPos.y}, {m_vPos.z}});
        mine.SetTargetX(kMineTargets[i]);
        mine.Fire();
        return;
    }
}

void CEnemyPartMM::FireHiSpeed(int i, CEnemyLabel* pLabel)
{
    const float ox = m_vPos.x + kGunDx, oy = m_vPos.y + kGunDy + pLabel->GetOffsetY();
    float fAngle = kStraightLeft;
    if (m_nLevel != 0) {
        D3DVECTOR vPlayer;
        pLabel->GetTargetPos(&vPlayer);
        fAngle = std::atan2(-(vPlayer.y - oy), vPlayer.x - ox);
    }
    CEBHiSpeed& shot = m_HiSpeed[i];
    shot.SetAngle(fAngle);
    shot.SetPosition(D3DVECTOR{{ox}, {-oy}, {0.0f}});
    shot.Fire();
    RestampSteering();
}

void CEnemyPartMM::FireVulcan()
{
    m_Vulcan.m_fAngle = kStraightLeft;
    m_Vulcan.Fire(1);
}

void CEnemyPartMM::RestampSteering()
{
    m_Steer.dwStamp = CEnemy::Now();
}

void CEnemyPartMM::FollowSteering()
{
    SteerAccAdjust(m_fSteerValue, m_vPos.y, &m_Steer, &m_Adjust);
    m_vPos.y += m_Adjust.fValue;
    m_Adjust.Step();
}

void CEnemyPartMM::GlideTo(float fRestX)
{
    m_AccX.Set(kGlideSpeed, BrakeOver(fRestX - m_vPos.x), kGlideSpeed, 0.0f, 1);
}

void CEnemyPartMM::OnTick(int nState, CEnemyLabel* pLabel)
{
    switch (nState) {
    case STATE_PHASE0:
        TickMines(pLabel);
        break;
    case STATE_PHASE1:
        TickVolleys(pLabel);
        break;
    case STATE_PHASE2:
        TickHammer(pLabel);
        break;
    default:
        break;
    }
}

// Phase 0: the glide in, the bob, four mines a cycle.
void CEnemyPartMM::TickMines(CEnemyLabel* pLabel)
{
    SelectBodyImage(IMAGE_MINES);
    if (m_nTick == 1) {
        m_vPos.y = kMinesRow;
        m_AccY.Set(-kBobSpeed, kBobStep, -kBobSpeed, kBobSpeed, 1);
    }
    m_vPos.x += m_AccX.fValue;
    m_AccX.Step();
    if (m_nTick >= kMinesGlideEnd && m_AccX.nReached) {
        m_AccY.Step();
        m_vPos.y += m_AccY.fValue;
    }
    if (m_AccY.nReached) {
        m_AccY.fStep = -m_AccY.fStep;
        m_AccY.nReached = 0;
    }
    switch (m_nTick) {
    case 180:
        LaunchMine(0);
        break;
    case 210:
        LaunchMine(1);
        break;
    case 240:
        LaunchMine(2);
        break;
    case 270:
        LaunchMine(3);
        break;
    case kMinesCycleEnd:
        m_nTick = kMinesCycleRestart;
        CheckPhase(pLabel);
        break;
    default:
        break;
    }
}

// Phase 1: in to x = 500, two volleys of four, the vulcan and its recoil.
void CEnemyPartMM::TickVolleys(CEnemyLabel* pLabel)
{
    SelectBodyImage(IMAGE_VOLLEYS);
    if (m_nTick == 1) {
        GlideTo(kVolleyRestX);
        Recoil().Detach();
    }
    if (m_nTick == kVolleySteerStart) {
        RestampSteering();
        m_fRememberedX = m_vPos.x;
    }
    if (m_nTick >= kVolleySteerStart && m_nTick <= kVolleySteerEnd)
        FollowSteering();
    m_vPos.x += m_AccX.fValue;
    m_AccX.Step();
    if (m_vPos.x < kVolleyRestX) {
        m_vPos.x = kVolleyRestX;
        Recoil().Detach();
    }
    for (CEBHiSpeed& shot : m_HiSpeed)
        shot.SetPlayerScroll((int)pLabel->GetPlayerScroll());
    switch (m_nTick) {
    case 180:
    case 250:
        FireHiSpeed(0, pLabel);
        break;
    case 186:
    case 256:
        FireHiSpeed(1, pLabel);
        break;
    case 192:
    case 262:
        FireHiSpeed(2, pLabel);
        break;
    case 198:
    case 268:
        FireHiSpeed(3, pLabel);
        break;
    case kVulcanTick:
        FireVulcan();
        RestampSteering();
        Recoil().Attach(&m_AccX);
        Recoil().Start();
        break;
    default:
        break;
    }
    m_Vulcan.SetMuzzlePoint(m_vPos.x + kVulcanDx, -(m_vPos.y + kVulcanDy), m_vPos.z);
    D3DVECTOR vPlayer;
    pLabel->GetTargetPos(&vPlayer);
    m_fSteerValue = vPlayer.y - (pLabel->GetOffsetY() - 16.0f) - 5.0f;
    // While attached the recoil steps the x record a second time.
    Recoil().Update();
    if (m_nTick == kVolleyCycleEnd) {
        m_nTick = kVolleyCycleRestart;
        CheckPhase(pLabel);
    }
}

// Phase 2: in to x = 400 with the hammer in hand, the swing, the throw.
void CEnemyPartMM::TickHammer(CEnemyLabel* pLabel)
{
    SelectBodyImage(IMAGE_HAMMER);
    D3DVECTOR vPlayer;
    pLabel->GetTargetPos(&vPlayer);
    const float fSteer = vPlayer.y - (pLabel->GetOffsetY() + 16.0f);
    if (m_nTick == 1) {
        GlideTo(kHammerRestX);
        m_Hammer.StartHold();
        m_Adjust = CAccAdjust();
        m_fSteerValue = fSteer;
    }
    if (m_nTick >= kHammerSteerStart && m_nTick <= kHammerSteerEnd)
        FollowSteering();
    m_vPos.x += m_AccX.fValue;
    m_AccX.Step();
    switch (m_nTick) {
    case kSwingTick:
        RestampSteering();
        m_Hammer.StartSwing();
        m_AccX.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
        break;
    case kThrowTick:
        m_Hammer.StartThrow();
        m_Adjust = CAccAdjust();
        m_fSteerValue = fSteer;
        m_fRememberedX = m_vPos.x;
        break;
    default:
        break;
    }
    if (m_nTick > kThrowTick && m_Hammer.GetState() != CEBHammer::STATE_THROWN)
        m_vPos.x = m_fRememberedX;
    m_fSteerValue = fSteer;
    if (m_nTick == kHammerCycleEnd) {
        m_nTick = kHammerCycleRestart;
        CheckPhase(pLabel);
    }
}

// While the head is out the wider picture shows, placed so that the body stays where it was, and
// the chain runs from the outstretched hand.
void CEnemyPartMM::OnPassEnd(int nState, CEnemyLabel*)
{
    if (nState != STATE_PHASE2 || m_Hammer.GetState() != CEBHammer::STATE_THROWN)
        return;
    SelectBodyImage(IMAGE_THROWN);
    const int nHammerW = m_pKind ? m_pKind->m_nWidths[IMAGE_HAMMER] : m_nWidth;
    m_vPos.x = m_fRememberedX - (float)((nHammerW - m_nWidth) / 2);
    m_Hammer.SetPosition(D3DVECTOR{{m_vPos.x + kThrowDx}, {-(m_vPos.y + kThrowDy)}, {m_vPos.z}});
}

// ---- The kind -----------------------------------------------------------------------------------------

CEnemyMM::CEnemyMM() : CEnemyBoss(kMMInfo) {}

int CEnemyMM::CreateBody(CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartMM>(ENEMY_FAMILY_MM, 1);
}
