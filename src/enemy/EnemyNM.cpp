#include "enemy/EnemyNM.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/DebugOut.h"
#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "enemy/EnemyLabel.h"
#include "stage/Stage.h"

namespace {

const BOSSINFO kInfo = {4,
                        ENEMY_FAMILY_NM,
                        "N.M.Zorva",
                        "BossRX93Index.txt",
                        {"NM_RX93a.bmp", "NM_RX93b.bmp", nullptr, nullptr},
                        "NM_RX93carbon.bmp",
                        "BOSS_HRR_NM"};

const char* const kFunnelRegions[EBFUNNEL_FRAMES] = {"NM_Funnel1.bmp", "NM_Funnel2.bmp", "NM_Funnel3.bmp"};
const char* const kTriangleRegions[EBFUNNELTRI_FRAMES] = {"NM_Triangle1.bmp", "NM_Triangle2.bmp"};

const float kHomingAngles[ENEMYNM_HOMINGS] = {0.5236f, -0.5236f, 0.5236f, -0.5236f, 0.5236f, -0.5236f};
const float kHomingTurn = 0.0872665f;
const int kHomingTime = 2000;
const float kHomingSpacing = 60.0f;

const float kRingA[6] = {0.0f, 1.0466667f, 2.0933333f, 3.14f, 4.1866665f, 5.2333333f};
const float kRingB[8] = {1.8833333f, 2.1975f, 2.5116667f, 2.8258333f, 3.4541667f, 3.7683333f, 4.0825f, 4.3966665f};
const float kRingBOffsets[8] = {70.0f, 50.0f, 30.0f, 10.0f, -10.0f, -30.0f, -50.0f, -70.0f};
const float kRingC[4] = {2.3546019f, 2.8782008f, 3.4017994f, 3.9253983f};

const float kStartY = 256.0f;
const float kRestX = 500.0f;
const float kOrbitRadius = 20.0f;
const float kTurn = 6.28f;
const float kDashTop = 6.0f;
const float kDashLeast = -0.8f;
const float kNoDistance = 1.0f;

// The ring's speed by shot age: slow at first, then away.
float RingCurve1(int n)
{
    return std::pow((float)n * 0.035714287f, 5.0f) + 1.0f;
}

float RingCurve2(int n)
{
    return std::pow((float)n * 0.04347826f, 4.0f) + 1.0f;
}

ACCINFO Record(float fValue, float fStep, float fMin, float fMax, int bClamp, int bBounceMax = 0, int bBounceMin = 0)
{
    ACCINFO a;
    a.Set(fValue, fStep, fMin, fMax, bClamp, bBounceMax, bBounceMin);
    return a;
}

ACCINFO Cleared()
{
    return Record(0.0f, 0.0f, 0.0f, 0.0f, 0);
}

float SignOf(float f)
{
    return f > 0.0f ? 1.0f : (f < 0.0f ? -1.0f : 0.0f);
}

bool InRange(int n, int nFrom, int nTo)
{
    return n >= nFrom && n <= nTo;
}

} // namespace

// ---- The body --------------------------------------------------------------------------------------------

CEnemyPartNM::CEnemyPartNM() = default;

CEnemyPartNM::~CEnemyPartNM()
{
    CEnemyPartNM::StopWeapons();
}

ACCBOUNCE& CEnemyPartNM::Recoil()
{
    return m_pKind->m_Recoil;
}

// Weapons still out when it comes back in fly on: only the spawn's stop ends them.
void CEnemyPartNM::Place(CEnemyLabel*)
{
    PlaceAtStart();
    m_AccX = Record(-5.0f, 1.0f / 36.0f, -5.0f, 0.0f, 1);
    m_Adjust.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
}

int CEnemyPartNM::LoadWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel*)
{
    CEnemyNM* pKind = static_cast<CEnemyNM*>(m_pKind);
    if (!pKind)
        return 0;
    const int bPictures = pKind->LoadWeaponPictures(lpDevice);
    int nResult = 1;
    if (!m_Laser.Load(lpDevice))
        DebugOut("NM: the laser did not load\n");
    SetLaser(200);
    m_Laser.m_fGrowth = 40.0f;
    m_Laser.m_fScale = m_Laser.m_fScaleStart = 0.2f;
    m_Laser.m_nDirection = -1;
    if (!m_Ring.Load(lpDevice, pKind->m_lpForce))
        DebugOut("NM: the ring did not load\n");
    for (CEBHoming& homing : m_Homing)
        homing.SetSprites(lpDevice, pKind->m_Homing);
    // Without their pictures the pods and the familiars stay idle: the fight goes on without them.
    if (!bPictures || !m_Funnel1.Load(lpDevice, pKind->m_Funnel, pKind->m_FunnelFlash) ||
        !m_Funnel2.Load(lpDevice, pKind->m_Funnel, pKind->m_FunnelFlash) ||
        !m_Tri.SetSprites(lpDevice, pKind->m_Triangle, pKind->m_TriangleFlash))
        nResult = 0;
    for (CEBFamiliar& familiar : m_Familiars) {
        if (!familiar.Load(lpDevice, pKind->m_lpFamiliar, pKind->m_Canon))
            nResult = 0;
    }
    if (!nResult)
        DebugOut("NM: a remote weapon did not load\n");
    return nResult;
}

void CEnemyPartNM::StopWeapons()
{
    m_ExpBoss.Stop();
    CEnemyPartNM::FinishWeapons(nullptr);
    if (m_pKind)
        Recoil().Detach();
}

void CEnemyPartNM::FinishWeapons(CStage*)
{
    m_Ring.Stop();
    m_Funnel1.Stop();
    m_Funnel2.Stop();
    m_Tri.Stop();
    for (CEBHoming& homing : m_Homing)
        homing.Stop();
    for (CEBFamiliar& familiar : m_Familiars)
        familiar.Stop();
    m_Laser.Stop();
}

void CEnemyPartNM::OnPhaseQueued(int nNext)
{
    if (nNext == STATE_PHASE1)
        m_Funnel1.StopBeams();
    else if (nNext == STATE_PHASE2)
        m_Funnel2.StopBeams();
}

void CEnemyPartNM::OnTick(int nState, CEnemyLabel* pLabel)
{
    switch (nState) {
    case STATE_PHASE0:
        TickPhase0(pLabel);
        break;
    case STATE_PHASE1:
        TickPhase1(pLabel);
        break;
    case STATE_PHASE2:
        TickPhase2(pLabel);
        break;
    default:
        break;
    }
}

// ---- Shared moves ----------------------------------------------------------------------------------------

void CEnemyPartNM::SetLaser(DWORD dwHold)
{
    m_Laser.m_dwHoldTime = dwHold;
    m_Laser.m_bTimed = 1;
}

void CEnemyPartNM::SetUpHoming()
{
    for (int i = 0; i < ENEMYNM_HOMINGS; i++) {
        CEBHoming& homing = m_Homing[i];
        homing.m_fLaunchHeading = kHomingAngles[i];
        homing.SetAccInfo(Record(5.0f, 0.1f, 0.0f, 0.0f, 0));
        homing.m_fTurnRate = kHomingTurn;
        homing.m_nLifetimeSetting = kHomingTime;
    }
}

// Two missiles 60 px apart, both at the heroine.
void CEnemyPartNM::FireHomingPair(CEnemyLabel* pLabel, int a, int b)
{
    D3DVECTOR vHer;
    pLabel->GetTargetPos(&vHer);
    const float fOffset = pLabel->GetOffsetY();
    const D3DVECTOR vTarget{{vHer.x}, {fOffset + 16.0f - vHer.y}, {vHer.z}};
    const int nPair[2] = {a, b};
    for (int i = 0; i < 2; i++) {
        CEBHoming& homing = m_Homing[nPair[i]];
        homing.SetPosition(D3DVECTOR{{m_vPos.x}, {fOffset + 16.0f - (m_vPos.y + kHomingSpacing * (float)i)}, {m_vPos.z}});
        homing.SetPlayerScroll((int)pLabel->GetPlayerScroll());
        homing.Fire(&vTarget);
    }
}

void CEnemyPartNM::FireLaserWithRecoil(int nWait)
{
    m_Laser.Fire();
    PlaySoundFile(ENEMYNM_BEAM_WAVE);
    m_fRememberedX = m_vPos.x;
    m_bLaserFired = 1;
    Recoil().Attach(&m_AccX);
    Recoil().Start();
    Recoil().nWait = nWait;
}

int CEnemyPartNM::EndRecoil(CEnemyLabel* pLabel, BOOL bMarkReached)
{
    if (!Recoil().pAcc || !(m_vPos.x < m_fRememberedX))
        return 0;
    m_vPos.x = m_fRememberedX;
    Recoil().Detach();
    m_AccX = Cleared();
    if (bMarkReached)
        m_AccX.nReached = 1;
    return CheckPhase(pLabel);
}

void CEnemyPartNM::DashToPlayerHeight(CEnemyLabel* pLabel)
{
    D3DVECTOR vHer;
    pLabel->GetTargetPos(&vHer);
    float fTarget = std::clamp(vHer.y - (pLabel->GetOffsetY() - 16.0f), 100.0f, 420.0f);
    fTarget = std::clamp(fTarget, m_vPos.y - 130.0f, m_vPos.y + 130.0f) - 1.0f;
    StartDash(0.0f, fTarget - m_vPos.y, kDashTop, kDashLeast, 1);
}

void CEnemyPartNM::GlideTo(float fTo, float fSpeed)
{
    const float d = std::fabs(fTo - m_vPos.x);
    if (d < kNoDistance) {
        m_AccX = Cleared();
        m_AccX.nReached = 1;
        return;
    }
    m_AccX = Record(fSpeed, (fSpeed * fSpeed) / (2.0f * d), fSpeed, 0.0f, 1);
}

void CEnemyPartNM::MoveTo(float fTo, BOOL bLeft)
{
    const float d = std::fabs(m_vPos.x - fTo);
    if (d < kNoDistance) {
        m_AccX = Cleared();
        m_AccX.nReached = 1;
        return;
    }
    const float v = std::min(6.0f, d);
    if (bLeft)
        m_AccX = Record(0.0f, -v * v / d, -v, 0.8f, 1, 0, 1);
    else
        m_AccX = Record(0.0f, v * v / d, -0.8f, v, 1, 1, 0);
}

void CEnemyPartNM::PositionLaser()
{
    m_Laser.SetPosition(D3DVECTOR{{m_vPos.x - 65.0f}, {-(m_vPos.y - 19.0f)}, {m_vPos.z}});
}

void CEnemyPartNM::DrawLaserOverPod()
{
    if (m_Laser.GetIndex() < 0 || m_Tri.GetIndex() < 0 || m_Laser.GetIndex() > m_Tri.GetIndex())
        return;
    // Swapped in place: a removal and a new add could lose a slot to a full registry.
    if (!IEBulletRender::SwapRender(&m_Laser, &m_Tri))
        DebugOut("登録に失敗しました\n");
}

void CEnemyPartNM::StartOrbit(float fAngularSpeed, BOOL bNewCentre)
{
    m_fOrbitAngle = 0.0f;
    m_fOrbitRadius = 0.0f;
    m_Adjust.Set(0.05f, 0.0f, 0.0f, 0.0f, 0);
    m_AccY = Record(fAngularSpeed, 0.0f, 0.0f, 0.0f, 0);
    if (bNewCentre)
        m_vOrbitCentre = m_vPos;
}

// ---- State 0: the three-pod circle, the laser and the triangular pod -------------------------------------

void CEnemyPartNM::TickPhase0(CEnemyLabel* pLabel)
{
    const int t = m_nTick;
    if (t == 1) {
        m_vPos.y = kStartY;
        GlideTo(kRestX, -5.0f);
        m_Adjust.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
        m_Adjust.nReached = 1;
        SetLaser(200);
        Recoil().Detach();
    }
    StepDash();
    m_vPos.x += m_AccX.fValue;
    m_AccX.Step();
    if (EndRecoil(pLabel, 0))
        return;
    switch (t) {
    case 171:
        m_bTriLaunched = 0;
        Recoil().Detach();
        m_Funnel1.Fire();
        break;
    case 241:
    case 491:
    case 741:
        DashToPlayerHeight(pLabel);
        break;
    case 341:
    case 591:
    case 841:
        FireLaserWithRecoil(500);
        break;
    case 371:
    case 621:
    case 871:
        m_Funnel1.FireBeams();
        break;
    case 961:
        m_Funnel1.Recall();
        break;
    case 1081:
        m_nTick = 170;
        break;
    default:
        if (InRange(t, 962, 1080) && m_Funnel1.IsIdle() && m_Tri.IsIdle() && !m_bTriLaunched) {
            m_Tri.m_vPos = D3DVECTOR{{m_vPos.x}, {-(m_vPos.y - 35.0f)}, {0.0f}};
            m_Tri.Fire();
            m_bTriLaunched = 1;
        }
        break;
    }
    PositionLaser();
    if (!Recoil().pAcc)
        m_Funnel1.m_vPos = D3DVECTOR{{m_vPos.x}, {-(m_vPos.y - 35.0f)}, {0.0f}};
    Recoil().Update();
}

// ---- State 1: the four-pod round, homing missiles, the ring and the laser -------------------------------

void CEnemyPartNM::TickPhase1(CEnemyLabel* pLabel)
{
    const int t = m_nTick;
    if (t == 1) {
        m_vPos.y = kStartY;
        m_AccY = Record(-1.5f, 1.0f / 54.0f, -1.5f, 1.5f, 1);
        SetUpHoming();
        SetLaser(200);
        m_Ring.SetCurve(RingCurve1);
        m_Ring.m_Turn = Cleared();
        // Not held between 0 and 0: a shot pinned at speed 0 would never leave, and the ring's curve
        // grows its picture without end until the screen is white.
        m_Ring.SetSpeedInfo(Record(2.0f, 1.0f, 0.0f, 0.0f, 0));
        m_Ring.SetStep(&CEBRoundEx::EmitAll);
        m_Ring.m_dwStepInterval = 50;
        m_Ring.SetDirections(4, kRingC, nullptr);
    }
    if (t == 170) {
        m_Adjust.Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
        m_Adjust.nReached = 1;
        Recoil().Detach();
    }
    m_vPos.x += m_AccX.fValue;
    m_AccX.Step();
    if (EndRecoil(pLabel, 1))
        return;
    const BOOL bFiring = InRange(t, 360, 549);
    if (t >= 170 && m_AccX.nReached && !bFiring) {
        m_AccY.Step();
        m_vPos.y += m_AccY.fValue;
        if (m_AccY.nReached) {
            m_AccY.fStep = -m_AccY.fStep;
            m_AccY.nReached = 0;
        }
    }
    SelectBodyImage(bFiring ? 1 : 0);
    switch (t) {
    case 150:
        m_Funnel2.m_vPos = D3DVECTOR{{m_vPos.x}, {-240.0f}, {m_vPos.z}};
        m_Funnel2.Fire();
        break;
    case 180:
        FireHomingPair(pLabel, 0, 1);
        break;
    case 250:
        FireHomingPair(pLabel, 2, 3);
        break;
    case 320:
        FireHomingPair(pLabel, 4, 5);
        break;
    case 380:
        m_Ring.Fire();
        break;
    case 440:
        m_Ring.StopShooting();
        break;
    case 460:
        FireLaserWithRecoil(500);
        break;
    case 590:
        m_nTick = 169;
        if (CheckPhase(pLabel))
            return;
        break;
    default:
        break;
    }
    PositionLaser();
    m_Ring.SetPosition(m_vPos.x, -(m_vPos.y - 20.0f), 0.0f);
    Recoil().Update();
}

// ---- State 2: familiars, fans of shots, the long laser and the orbit ------------------------------------

// The glide, the recoil's end, the orbit and its radius.
void CEnemyPartNM::StepPhase2Motion()
{
    if (!m_AccX.nReached)
        m_vPos.x += m_AccX.fValue;
    if (Recoil().pAcc && !Recoil().IsLimitHit() && m_vPos.x < m_fRememberedX) {
        m_vPos.x = m_fRememberedX;
        Recoil().Detach();
        m_AccX.nReached = 1;
    }
    m_AccX.Step();
    if (!m_AccY.nReached) {
        m_vPos.x = m_vOrbitCentre.x + std::cos(m_fOrbitAngle) * m_fOrbitRadius;
        m_vPos.y = m_vOrbitCentre.y + std::sin(m_fOrbitAngle) * m_fOrbitRadius;
        m_fOrbitAngle += m_AccY.fValue;
        if (m_fOrbitAngle >= kTurn)
            m_fOrbitAngle -= kTurn;
        if (m_fOrbitAngle < 0.0f)
            m_fOrbitAngle += kTurn;
        m_AccY.Step();
    }
    if (!m_Adjust.nReached) {
        m_fOrbitRadius = std::clamp(m_fOrbitRadius + m_Adjust.fValue, 0.0f, kOrbitRadius);
        m_Adjust.Step();
        // Out to 20 px, then back in.
        if (m_fOrbitRadius >= kOrbitRadius)
            m_Adjust.Set(-m_Adjust.fValue, 0.0f, 0.0f, 0.0f, 0);
    }
}

void CEnemyPartNM::TickPhase2(CEnemyLabel* pLabel)
{
    const int t = m_nTick;
    if (t == 1) {
        m_vPos.y = kStartY;
        SelectBodyImage(0);
        SetUpHoming();
        GlideTo(kRestX, -8.0f);
        m_vOrbitCentre = D3DVECTOR{};
        m_fOrbitAngle = 0.0f;
        m_fOrbitRadius = 0.0f;
        m_Adjust.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
        m_AccY = Cleared();
        m_AccY.nReached = 1;
        SetLaser(1000);
        Recoil().Detach();
        m_Ring.SetCurve(RingCurve2);
    }
    StepPhase2Motion();
    switch (t) {
    case 171:
    case 1841:
        m_Familiars[0].Launch(m_vPos.y - 180.0f);
        m_Familiars[1].Launch(m_vPos.y + 90.0f);
        m_Tri.m_vPos = D3DVECTOR{{m_vPos.x}, {-(m_vPos.y - 27.0f)}, {0.0f}};
        m_Tri.Launch();
        break;
    case 231:
    case 1901:
        FireHomingPair(pLabel, 0, 1);
        break;
    case 351:
    case 2021:
        FireHomingPair(pLabel, 2, 3);
        break;
    case 471:
    case 2141:
        FireHomingPair(pLabel, 4, 5);
        break;
    case 291:
    case 411:
    case 531:
    case 1961:
    case 2081:
    case 2201:
        for (CEBFamiliar& familiar : m_Familiars)
            familiar.Retreat();
        break;
    case 651:
    case 2321:
        for (CEBFamiliar& familiar : m_Familiars)
            familiar.Explode();
        break;
    case 711:
    case 2381:
        FireLaserWithRecoil(1000);
        DrawLaserOverPod();
        m_Tri.SetActive(0);
        m_Ring.SetDirections(8, kRingB, kRingBOffsets);
        m_Ring.SetSpeedInfo(Record(2.0f, 1.0f, 0.0f, 0.0f, 0));
        m_Ring.m_Turn = Cleared();
        m_Ring.SetStep(&CEBRoundEx::EmitInterleaved);
        m_Ring.m_dwStepInterval = 10;
        m_Ring.Fire();
        break;
    case 821:
    case 2521:
        m_bLaserFired = 0;
        Recoil().Detach();
        MoveTo(350.0f, 1);
        break;
    case 941:
    case 2641:
        SelectBodyImage(1);
        m_Ring.SetDirections(6, kRingA, nullptr);
        m_Ring.SetSpeedInfo(Record(2.0f, 1.0f, 0.0f, 0.0f, 0));
        m_Ring.SetStep(&CEBRoundEx::EmitAll);
        m_Ring.m_dwStepInterval = 50;
        m_Ring.Fire();
        break;
    case 1001:
        StartOrbit(0.06f, 1);
        break;
    case 2701:
        StartOrbit(-0.06f, 0);
        break;
    case 1721:
    case 3421:
        m_Ring.StopShooting();
        m_AccY.nReached = 1;
        break;
    case 1781:
    case 3481:
        SelectBodyImage(0);
        Recoil().Detach();
        MoveTo(kRestX, 0);
        break;
    case 3541:
        m_nTick = 170;
        break;
    default:
        if ((InRange(t, 712, 820) || InRange(t, 2382, 2520)) && m_Laser.IsIdle() && m_bLaserFired) {
            m_Ring.StopShooting();
            m_Tri.Withdraw();
            m_bLaserFired = 0;
        }
        break;
    }
    // The ring turns with the orbit.
    const float fTurn = m_fOrbitRadius * 0.05f * 0.0325f * SignOf(m_AccY.fValue);
    m_Ring.m_Turn = Record(fTurn, 0.0f, 0.0f, 0.0f, 0);
    PositionLaser();
    if (InRange(t, 941, 1721) || InRange(t, 2641, 3421))
        m_Ring.SetPosition(m_vPos.x, -(m_vPos.y - 20.0f), 0.0f);
    else
        m_Ring.SetPosition(m_vPos.x - 200.0f, -(m_vPos.y - 21.0f), 0.0f);
    D3DVECTOR vHer;
    pLabel->GetTargetPos(&vHer);
    for (CEBFamiliar& familiar : m_Familiars)
        familiar.SetOrigin(vHer.x, vHer.y, vHer.z);
    Recoil().Update();
}

// ---- The kind --------------------------------------------------------------------------------------------

CEnemyNM::CEnemyNM() : CEnemyBoss(kInfo) {}

// The weapons' pictures outlive a reload of the body images: the stage sets the weapons up before it
// loads the kinds.
CEnemyNM::~CEnemyNM()
{
    ReleaseWeaponPictures();
}

int CEnemyNM::CreateBody(CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartNM>(ENEMY_FAMILY_NM, 1);
}

// The stage sets its labels up before it loads its kinds: until the body images are loaded, the
// folder the label names is the one the weapons' pictures come from.
int CEnemyNM::SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszFolder)
{
    if (!m_szFolder[0] && pszFolder)
        snprintf(m_szFolder, sizeof(m_szFolder), "%s", pszFolder);
    return CEnemyBoss::SetupWeapons(lpDevice, pLabel, pszFolder);
}

void CEnemyNM::ReleaseWeaponPictures()
{
    for (CSprite& sprite : m_Homing)
        sprite.Release();
    for (int i = 0; i < EBFUNNEL_FRAMES; i++) {
        m_Funnel[i].Release();
        m_FunnelFlash[i].Release();
    }
    for (int i = 0; i < EBFUNNELTRI_FRAMES; i++) {
        m_Triangle[i].Release();
        m_TriangleFlash[i].Release();
    }
    for (CDSurfaceEx& canon : m_Canon)
        canon.Release();
    SafeRelease(m_lpFamiliar);
    SafeRelease(m_lpForce);
}

int CEnemyNM::LoadSprite(IDirect3DDevice7* lpDevice, const char* pszRegion, CSprite* pSprite, CSprite* pFlash)
{
    IDirectDrawSurface7* lpRegion = m_Index.CreateSurfaceByDevice(lpDevice, pszRegion, nullptr, 1);
    if (!lpRegion)
        return 0;
    int nResult = pSprite->Create(lpDevice, lpRegion, nullptr);
    if (nResult && pFlash)
        nResult = pSprite->CreateFromSurfaceKeyed(lpDevice, lpRegion, pFlash);
    lpRegion->Release();
    return nResult;
}

int CEnemyNM::LoadWeaponPictures(IDirect3DDevice7* lpDevice)
{
    ReleaseWeaponPictures();
    int nResult = 1;
    nResult &= LoadSprite(lpDevice, "Tsuibi1.bmp", &m_Homing[0], nullptr);
    nResult &= LoadSprite(lpDevice, "Tsuibi2.bmp", &m_Homing[1], nullptr);
    for (int i = 0; i < EBFUNNEL_FRAMES; i++)
        nResult &= LoadSprite(lpDevice, kFunnelRegions[i], &m_Funnel[i], &m_FunnelFlash[i]);
    for (int i = 0; i < EBFUNNELTRI_FRAMES; i++)
        nResult &= LoadSprite(lpDevice, kTriangleRegions[i], &m_Triangle[i], &m_TriangleFlash[i]);
    for (CDSurfaceEx& canon : m_Canon) {
        IDirectDrawSurface7* lpRegion = m_Index.CreateSurfaceByDevice(lpDevice, "NM_Canon.bmp", nullptr, 1);
        if (lpRegion && canon.Create(lpDevice, lpRegion, nullptr, 1))
            canon.SetColorKeyGreen();
        else
            nResult = 0;
        SafeRelease(lpRegion);
    }
    m_lpFamiliar = m_Index.CreateSurfaceByDevice(lpDevice, "NM_Familiar.bmp", nullptr, 1);
    m_lpForce = m_Index.CreateSurfaceByDevice(lpDevice, "NM_Force.bmp", nullptr, 1);
    if (!m_lpFamiliar || !m_lpForce)
        nResult = 0;
    return nResult;
}
