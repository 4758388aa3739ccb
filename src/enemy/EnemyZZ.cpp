#include "enemy/EnemyZZ.h"

#include <algorithm>
#include <cmath>

#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "enemy/EnemyLabel.h"
#include "stage/Stage.h"

// k: horizontal {value, start, step, min, max, reached, clamp, bounce max, bounce min}, vertical.
const ZZMISSILEPATH g_ZZMissilePaths[ZZ_GROUP_SIZE] = {
    {{10.0f, 10.0f, -0.8f, -1000.0f, 10.0f, 0, 1, 0, 0}, {9.9f, 9.9f, -0.4f, 0.0f, 9.9f, 0, 1, 0, 0}},
    {{10.0f, 10.0f, -0.8f, -1000.0f, 10.0f, 0, 1, 0, 0}, {4.32f, 4.32f, -0.2f, 0.0f, 4.32f, 0, 1, 0, 0}},
    {{10.0f, 10.0f, -0.8f, -1000.0f, 10.0f, 0, 1, 0, 0}, {-9.9f, -9.9f, 0.4f, -9.9f, 0.0f, 0, 1, 0, 0}},
    {{10.0f, 10.0f, -0.8f, -1000.0f, 10.0f, 0, 1, 0, 0}, {-4.32f, -4.32f, 0.2f, -4.32f, 0.0f, 0, 1, 0, 0}},
};

const float g_fZZHomingAnglesA[ZZ_HOMINGS] = {0.5236f, -0.5236f, 0.5236f, -0.5236f, 0.5236f, -0.5236f,
                                              0.5236f, -0.5236f, 0.0f,    0.0f,     0.0f,    0.0f};
const float g_fZZHomingAnglesB[ZZ_HOMINGS] = {0.5236f, -0.5236f, 0.6109f, -0.6109f, 0.6981f, -0.6981f,
                                              0.7854f, -0.7854f, 0.8727f, -0.8727f, 0.9599f, -0.9599f};

const ZZHOMINGPAIR g_ZZHomingPairs[ZZ_HOMING_PAIRS] = {
    {5.0f, 0.1f, 5.0f, 3000}, {3.8f, 0.2f, 5.2f, 2800},  {2.6f, 0.3f, 5.4f, 2600},
    {1.0f, 0.4f, 5.6f, 2400}, {1.0f, 0.45f, 5.6f, 2200}, {1.0f, 0.5f, 5.6f, 2000},
};

const ZZPOINT g_ZZDashTargets[ZZ_DASH_TARGETS] = {{400, 370}, {400, 180}, {540, 380}, {480, 250}};

namespace {

const char* const kHomingRegions[2] = {"Tsuibi1.bmp", "Tsuibi2.bmp"};
const char* const kMissileRegions[2] = {"Taiku1.bmp", "Taiku2.bmp"};
const char* const kTextRegions[ZZ_TEXTS] = {"Nekketsu.bmp", "Koun.bmp"};

const BOSSINFO kInfo = {
    ZZ_BOSS_NUMBER,
    ENEMY_FAMILY_ZZ,
    "ZZ.M.Zorva",
    "BossMSZ010Index.txt",
    {"MSZ006b.bmp", "MSZ006c.bmp", nullptr, nullptr},
    "MSZ006carbon.bmp",
    "BOSS_HRR_ZZ",
};

const float kEntrySpeed = -5.0f;
const float kEntryStep = 1.0f / 36.0f;
const float kBobY = 192.0f;
const float kBobSpeed = 1.5f;
const float kBobStep = 1.0f / 54.0f;
const float kHoldX = 500.0f;
const float kDashTop = 6.0f;
const float kDashBackSpeed = -0.8f;
const float kDegree = 0.017453292f;
const float kFirstHomingSpeed = 5.0f;
const float kFirstHomingStep = 0.1f;
const float kFirstHomingTurn = 0.0872665f;
const int kFirstHomingLifetime = 2000;
const float kTextAngle = -1.57f;
const float kTextSpeed = 8.0f;
const float kTextStep = -0.4571429f;
const float kLaserGrowth = 40.0f;
const DWORD kLaserHoldMs = 1500;
const DWORD kChargeMs = 3000;
const float kVulcanAngle = 3.14f;

} // namespace

// ---- The body -------------------------------------------------------------------------------------

CEnemyZZ* CEnemyPartZZ::Kind()
{
    return static_cast<CEnemyZZ*>(m_pKind);
}

ACCBOUNCE& CEnemyPartZZ::Recoil()
{
    return m_pKind->m_Recoil;
}

int CEnemyPartZZ::LoadWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel*)
{
    CEnemyZZ* pKind = Kind();
    for (CEBVulcanEx& vulcan : m_Vulcans)
        vulcan.Load(lpDevice, 1);
    // Without their own frames the missiles keep the shared pictures.
    const int bFrames = pKind->LoadMissilePictures(lpDevice);
    for (CEBHoming& homing : m_Homings) {
        if (bFrames)
            homing.SetSprites(lpDevice, pKind->m_HomingFrames);
        else
            homing.Load(lpDevice);
    }
    for (CEBMissile& missile : m_Missiles) {
        if (!bFrames || !missile.SetSurfaces(lpDevice, pKind->m_MissileFrames))
            missile.Load(lpDevice);
    }
    for (CEBHiSpeed& shot : m_HiSpeed)
        shot.Setup(lpDevice, 1);
    m_Laser.Load(lpDevice);
    m_Laser.m_nDirection = -1;
    m_Laser.m_fGrowth = kLaserGrowth;
    m_Laser.m_dwHoldTime = kLaserHoldMs;
    m_Laser.m_fScale = 1.0f;
    m_Laser.m_fScaleStart = 1.0f;
    m_Charge.m_dwDuration = kChargeMs;
    m_Charge.m_bEnded = 1;
    CBmpIndex* pIndex = GetIndex();
    for (int i = 0; i < ZZ_TEXTS; i++) {
        IDirectDrawSurface7* lpText = pIndex ? pIndex->CreateSurfaceByDevice(lpDevice, kTextRegions[i], nullptr, 0) : nullptr;
        m_Texts[i].SetSurfaces(lpDevice, lpText, nullptr);
        m_Texts[i].m_fAngle = kTextAngle;
        m_Texts[i].m_Speed.Set(kTextSpeed, kTextStep, 0.0f, kTextSpeed, 1);
    }
    return 1;
}

void CEnemyPartZZ::StopWeapons()
{
    for (CEBHoming& homing : m_Homings)
        homing.Stop();
    for (CEBMissile& missile : m_Missiles)
        missile.Stop();
    for (CEBHiSpeed& shot : m_HiSpeed)
        shot.Stop();
    m_Laser.Stop();
    for (CTextSurface& text : m_Texts)
        text.Stop();
    m_Charge.Stop();
}

void CEnemyPartZZ::FinishWeapons(CStage* pStage)
{
    m_Charge.Stop();
    m_Laser.Stop();
    for (CTextSurface& text : m_Texts)
        text.Stop();
    // Its block's value is paid by now; from here on it is worth the stage's bonus.
    if (pStage)
        m_Param.nScore = CStage::GetStageBonus(pStage->GetStageData().m_nStageNo);
}

// Only the charge and the laser end at a re-entry: missiles already out fly on.
void CEnemyPartZZ::Place(CEnemyLabel*)
{
    m_vPos = D3DVECTOR{{BOSS_START_X}, {BOSS_START_Y}, {0.0f}};
    m_AccX.Set(kEntrySpeed, kEntryStep, kEntrySpeed, 0.0f, 1);
    m_Adjust.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
    SelectBodyImage(0);
    m_nTick = 0;
    m_Charge.Stop();
    m_Laser.Stop();
}

void CEnemyPartZZ::GlideTo(float fTargetX, float fSpeed)
{
    const float d = std::fabs(fTargetX - m_vPos.x);
    if (d < 1.0f) {
        m_AccX.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
        m_AccX.nReached = 1;
        return;
    }
    m_AccX.Set(-fSpeed, fSpeed * fSpeed / (2.0f * d), -fSpeed, 0.0f, 1);
}

void CEnemyPartZZ::DashTo(int x, int y)
{
    StartDash((float)x - m_vPos.x, (float)y - m_vPos.y, kDashTop, kDashBackSpeed, 0);
}

void CEnemyPartZZ::DashToPlayerHeight(CEnemyLabel* pLabel)
{
    D3DVECTOR p;
    pLabel->GetTargetPos(&p);
    float y = std::clamp(p.y - (pLabel->GetOffsetY() - 16.0f), 100.0f, 420.0f);
    y = std::clamp(y, m_vPos.y - 130.0f, m_vPos.y + 130.0f);
    DashTo((int)m_vPos.x, (int)(y - 4.0f));
}

void CEnemyPartZZ::SetHomingAngles(const float* pAngles)
{
    for (int i = 0; i < ZZ_HOMINGS; i++)
        m_Homings[i].m_fLaunchHeading = pAngles[i];
}

void CEnemyPartZZ::FireHomingPair(CEnemyLabel* pLabel, int nPair)
{
    D3DVECTOR p;
    pLabel->GetTargetPos(&p);
    const float fTop = pLabel->GetOffsetY() + 16.0f;
    const D3DVECTOR target{{p.x}, {fTop - p.y}, {p.z}};
    for (int i = 0; i < 2; i++) {
        CEBHoming& homing = m_Homings[nPair * 2 + i];
        homing.SetPosition(D3DVECTOR{{m_vPos.x}, {fTop - (m_vPos.y + 60.0f * (float)i)}, {m_vPos.z}});
        homing.Fire(&target);
    }
}

void CEnemyPartZZ::FireMissile(CEnemyLabel* pLabel, int nGroup, int nIndex)
{
    CEBMissile& missile = m_Missiles[nGroup * ZZ_GROUP_SIZE + nIndex];
    missile.SetAccInfo(g_ZZMissilePaths[nIndex].Horz, g_ZZMissilePaths[nIndex].Vert);
    missile.SetPosition(D3DVECTOR{{m_vPos.x}, {-(m_vPos.y - 8.5f)}, {0.0f}});
    missile.SetPlayerScroll((int)pLabel->GetPlayerScroll());
    missile.Fire();
}

void CEnemyPartZZ::FireAimedShot(CEnemyLabel* pLabel, int i)
{
    D3DVECTOR p;
    pLabel->GetTargetPos(&p);
    const float ox = m_vPos.x - 30.0f, oy = m_vPos.y - 80.0f + pLabel->GetOffsetY();
    m_HiSpeed[i].SetAngle(std::atan2(-(p.y + 10.0f - oy), p.x - ox));
    m_HiSpeed[i].SetPosition(D3DVECTOR{{ox}, {-oy}, {0.0f}});
    m_HiSpeed[i].Fire();
}

void CEnemyPartZZ::PlaceVulcans()
{
    m_Vulcans[0].SetMuzzlePoint(m_vPos.x - 140.0f, -(m_vPos.y + 7.0f), m_vPos.z);
    m_Vulcans[1].SetMuzzlePoint(m_vPos.x - 150.0f, -(m_vPos.y - 24.0f), m_vPos.z);
}

void CEnemyPartZZ::FireVulcans()
{
    for (CEBVulcanEx& vulcan : m_Vulcans)
        vulcan.m_fAngle = kVulcanAngle;
    m_Vulcans[0].Fire(0);
    m_Vulcans[1].Fire(1);
}

void CEnemyPartZZ::StartRecoil()
{
    FireVulcans();
    if (m_nState == STATE_PHASE1)
        m_fRememberedX = m_vPos.x;
    Recoil().Attach(&m_AccX);
    Recoil().Start();
}

void CEnemyPartZZ::OnTick(int nState, CEnemyLabel* pLabel)
{
    switch (nState) {
    case STATE_PHASE0:
        TickBob(pLabel);
        break;
    case STATE_PHASE1:
        TickDash(pLabel);
        break;
    case STATE_PHASE2:
        TickFullAttack(pLabel);
        break;
    default:
        break;
    }
}

// State 0: glides in, bobs and launches homing pairs; the cycle is ticks 171-320.
void CEnemyPartZZ::TickBob(CEnemyLabel* pLabel)
{
    SelectBodyImage(1);
    if (m_nTick == 1) {
        m_vPos.y = kBobY;
        m_AccY.Set(-kBobSpeed, kBobStep, -kBobSpeed, kBobSpeed, 1);
        SetHomingAngles(g_fZZHomingAnglesA);
        for (CEBHoming& homing : m_Homings) {
            ACCINFO speed;
            speed.Set(kFirstHomingSpeed, kFirstHomingStep, 0.0f, 0.0f, 0);
            homing.SetAccInfo(speed);
            homing.m_fTurnRate = kFirstHomingTurn;
            homing.m_nLifetimeSetting = kFirstHomingLifetime;
        }
    }
    m_vPos.x += m_AccX.fValue;
    m_AccX.Step();
    if (m_nTick >= 170 && m_AccX.nReached) {
        m_AccY.Step();
        m_vPos.y += m_AccY.fValue;
    }
    if (m_AccY.nReached) {
        m_AccY.fStep = -m_AccY.fStep;
        m_AccY.nReached = 0;
    }
    switch (m_nTick) {
    case 180:
        FireHomingPair(pLabel, 0);
        break;
    case 250:
        FireHomingPair(pLabel, 1);
        break;
    case 320:
        m_nTick = 170;
        CheckPhase(pLabel);
        break;
    default:
        break;
    }
}

BOOL CEnemyPartZZ::EndRecoil(CEnemyLabel* pLabel)
{
    if (!Recoil().pAcc || !(m_vPos.x < m_fRememberedX))
        return 0;
    m_vPos.x = m_fRememberedX;
    Recoil().Detach();
    m_AccX.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
    return CheckPhase(pLabel);
}

// State 1: dash to her height, missile fans, the twin gun and its recoil; the cycle is ticks
// 111-326, and its phase check comes only when the recoil brings the body back.
void CEnemyPartZZ::TickDash(CEnemyLabel* pLabel)
{
    if (m_nTick == 1) {
        GlideTo(kHoldX, -kEntrySpeed);
        m_Adjust.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
        m_Adjust.nReached = 1;
        SelectBodyImage(0);
        Recoil().Detach();
    }
    StepDash();
    m_vPos.x += m_AccX.fValue;
    m_AccX.Step();
    if (EndRecoil(pLabel))
        return;
    switch (m_nTick) {
    case 170:
        DashToPlayerHeight(pLabel);
        break;
    case 250:
        FireMissile(pLabel, 0, 0);
        FireMissile(pLabel, 0, 2);
        break;
    case 255:
        FireMissile(pLabel, 0, 1);
        FireMissile(pLabel, 0, 3);
        break;
    case 262:
        FireMissile(pLabel, 1, 0);
        FireMissile(pLabel, 1, 2);
        break;
    case 267:
        FireMissile(pLabel, 1, 1);
        FireMissile(pLabel, 1, 3);
        break;
    case 286:
        StartRecoil();
        break;
    case 326:
        m_nTick = 110;
        break;
    default:
        break;
    }
    PlaceVulcans();
    Recoil().Update();
}

// State 2: everything at once; the first pass is ticks 1-1220, then the cycle 111-1220 repeats.
void CEnemyPartZZ::TickFullAttack(CEnemyLabel* pLabel)
{
    if (m_nTick == 1) {
        SelectBodyImage(0);
        SetFacing(1);
        Recoil().Detach();
    }
    if (!m_AccX.nReached) {
        m_vPos.x += m_AccX.fValue;
        // The recoil's return stops where the body fired (or where it last dashed to).
        if (Recoil().pAcc && !Recoil().IsLimitHit() && m_vPos.x < m_fRememberedX) {
            m_vPos.x = m_fRememberedX;
            Recoil().Detach();
            m_AccX.nReached = 1;
        }
        m_AccX.Step();
    }
    if (m_nTick >= 2)
        StepDash();
    m_Charge.SetPosition(D3DVECTOR{{m_vPos.x - 40.0f}, {-(m_vPos.y - 90.0f)}, {m_vPos.z}});
    switch (m_nTick) {
    case 190:
        m_fRememberedX = m_vPos.x;
        FireAimedShot(pLabel, 0);
        break;
    case 196:
    case 436:
        FireAimedShot(pLabel, 1);
        break;
    case 202:
    case 442:
        FireAimedShot(pLabel, 2);
        break;
    case 208:
    case 448:
        FireAimedShot(pLabel, 3);
        break;
    case 430:
        FireAimedShot(pLabel, 0);
        break;
    case 250:
    case 490:
        StartRecoil();
        break;
    case 340:
        DashTo(g_ZZDashTargets[0].x, g_ZZDashTargets[0].y);
        m_fRememberedX = (float)g_ZZDashTargets[0].x;
        break;
    case 580:
        DashTo(g_ZZDashTargets[1].x, g_ZZDashTargets[1].y);
        m_fRememberedX = (float)g_ZZDashTargets[1].x;
        break;
    case 750:
        DashTo(g_ZZDashTargets[2].x, g_ZZDashTargets[2].y);
        m_fRememberedX = (float)g_ZZDashTargets[2].x;
        break;
    case 690:
        SetHomingAngles(g_fZZHomingAnglesB);
        for (int p = 0; p < ZZ_HOMING_PAIRS; p++) {
            const ZZHOMINGPAIR& pair = g_ZZHomingPairs[p];
            for (int i = 0; i < 2; i++) {
                CEBHoming& homing = m_Homings[p * 2 + i];
                ACCINFO speed;
                speed.Set(pair.fSpeed, pair.fAcceleration, 0.0f, 0.0f, 0);
                homing.SetAccInfo(speed);
                homing.m_fTurnRate = pair.fTurnDegrees * kDegree;
                homing.m_nLifetimeSetting = pair.nLifetimeMs;
            }
        }
        FireHomingPair(pLabel, 0);
        break;
    case 700:
    case 710:
    case 720:
    case 730:
    case 740:
        FireHomingPair(pLabel, (m_nTick - 690) / 10);
        break;
    case 880:
        m_Charge.Fire();
        break;
    case 920:
    case 980: {
        CTextSurface& text = m_Texts[m_nTick == 920 ? 0 : 1];
        text.SetStartPos(m_vPos.x - 70.0f, m_vPos.y - 90.0f, m_vPos.z);
        text.Start();
        break;
    }
    case 950:
        m_Texts[0].Stop();
        break;
    case 1010:
        m_Texts[1].Stop();
        break;
    case 1040:
        m_Charge.Stop();
        m_Laser.SetPosition(D3DVECTOR{{m_vPos.x + 30.0f}, {-(m_vPos.y - 90.0f)}, {m_vPos.z}});
        m_Laser.Fire();
        PlaySoundFile(ZZ_LAUNCHER_WAVE);
        break;
    case 1220:
        DashTo(g_ZZDashTargets[3].x, g_ZZDashTargets[3].y);
        m_fRememberedX = (float)g_ZZDashTargets[3].x;
        m_nTick = 110;
        SelectBodyImage(0);
        break;
    default:
        break;
    }
    PlaceVulcans();
    Recoil().Update();
}

// ---- The kind -------------------------------------------------------------------------------------

CEnemyZZ::CEnemyZZ() : CEnemyBoss(kInfo) {}

// The missiles' frames outlive a reload of the body pictures: the stage sets the boss's weapons up
// (and they point at the frames) before it loads the kind.
CEnemyZZ::~CEnemyZZ()
{
    for (CSprite& sprite : m_HomingFrames)
        sprite.Release();
    for (CDSurfaceEx& frame : m_MissileFrames)
        frame.Release();
}

int CEnemyZZ::CreateBody(CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartZZ>(ENEMY_FAMILY_ZZ, 1);
}



int CEnemyZZ::LoadMissilePictures(IDirect3DDevice7* lpDevice)
{
    int bAll = 1;
    for (int i = 0; i < 2; i++) {
        m_HomingFrames[i].Release();
        IDirectDrawSurface7* lpRegion = m_Index.CreateSurfaceByDevice(lpDevice, kHomingRegions[i], nullptr, 1);
        bAll = lpRegion && m_HomingFrames[i].Create(lpDevice, lpRegion, nullptr, 0) && bAll;
        SafeRelease(lpRegion);
        m_MissileFrames[i].Release();
        lpRegion = m_Index.CreateSurfaceByDevice(lpDevice, kMissileRegions[i], nullptr, 1);
        if (lpRegion && m_MissileFrames[i].Create(lpDevice, lpRegion, nullptr, 1))
            m_MissileFrames[i].SetColorKeyGreen();
        else
            bAll = 0;
        SafeRelease(lpRegion);
    }
    return bAll;
}
