#include "enemy/EnemyZM.h"

#include <algorithm>
#include <cmath>

#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "engine/WinMain.h"
#include "enemy/EnemyLabel.h"

namespace {

const float kStartX = 940.0f;
const float kStartY = 256.0f;
const float kMuzzleX = 160.0f;
const float kMuzzleY = -38.0f;
const float kSaberX = -40.0f;
const float kSaberY = 20.0f;
const float kShieldX = 30.0f;
const float kShotX = -30.0f;
const float kShotY = -70.0f;
const float kGunX = 99.0f;
const float kGunY = 64.0f;
const float kSwoopAngle = 0.8726646f;
const float kSwoopSpeed = 8.0f;
const float kGlideRestX = 450.0f;
const float kDashTop = 120.0f;
const float kDashBottom = 455.0f;
const float kDashSpeed = 5.0f;
const float kDashUp = -1.57f;
const float kDashDown = 1.57f;
const float kChargeLeftRest = 70.0f;
const float kChargeRightRest = 560.0f;
const float kPhase1RestX = 560.0f;
const float kShieldChargeSpeed = 20.0f;
const float kPhase2Glide = 0.11363637f;
const float kLeaveAcceleration = 0.5f;
const float kBeaconRightX = 544.0f;
const float kBeaconLeftX = 97.0f;
const float kLungeStep = 20.0f;
const float kLungeReach = 40.0f;
const float kLaserGrowth = 40.0f;
const DWORD kLaserHoldMs = 500;
const float kLaserScale = 0.4f;
const DWORD kShieldLifetimeMs = 2000;
const int kFirstSubMachineTick = 190;
const int kChargeTickCounter = 350;

// A distance this short gives no braking to steer by: the value stops at once.
const float kShortestBrake = 1.0f;

void Clear(ACCINFO& a)
{
    a.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
}

void ClearReached(ACCINFO& a)
{
    Clear(a);
    a.nReached = 1;
}

// A motion that brakes from its value to rest over the distance; the value's own sign tells the
// direction. A distance of nothing stops it where it is.
void BrakeOver(ACCINFO& a, float fDistance)
{
    const float v = a.fValue;
    if (fDistance < kShortestBrake) {
        a.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
        a.nReached = 1;
        return;
    }
    const float fStep = -(v * v) / (2.0f * fDistance) * (v < 0.0f ? -1.0f : 1.0f);
    a.Set(v, fStep, std::min(v, 0.0f), std::max(v, 0.0f), 1);
}

const char* const kImages[BOSS_IMAGE_NUM] = {"ZM_MSZ006a.bmp", "ZM_MSZ006b.bmp", "ZM_MSZ006c.bmp", "ZM_MSZ006d.bmp"};

} // namespace

const BOSSINFO CEnemyZM::s_Info = {
    1, ENEMY_FAMILY_ZM, "Z.M.Zorva", "BossMSZ006Index.txt",
    {kImages[0], kImages[1], kImages[2], kImages[3]}, "ZM_MSZ006carbon.bmp", "BOSS_HRR_ZM"};

// ---- The body ---------------------------------------------------------------------------------------

CEnemyPartZM::CEnemyPartZM()
{
    Clear(m_AccLunge);
}

CEnemyPartZM::~CEnemyPartZM()
{
    CEnemyPartZM::StopWeapons();
}

void CEnemyPartZM::SetFacingRight(BOOL bRight)
{
    m_bFacingRight = bRight ? 1 : 0;
    if (bRight)
        m_dwDrawFlags |= 1u;
    else
        m_dwDrawFlags &= ~1u;
}

void CEnemyPartZM::Place(CEnemyLabel*)
{
    m_vPos = D3DVECTOR{{kStartX}, {kStartY}, {0.0f}};
    m_AccX.Set(-5.0f, 1.0f / 36.0f, -5.0f, 0.0f, 1);
    m_AccY.Set(-1.5f, 1.0f / 54.0f, -1.5f, 1.5f, 1);
    Clear(m_AccLunge);
    SelectBodyImage(0);
    m_nTick = 0;
    m_bFacingRight = 0;
    m_dwDrawFlags &= ~1u;
    m_bSubActive = 0;
    m_Shield.Stop();
    m_Laser.Stop();
    m_Beacon[0].Stop();
    m_Beacon[1].Stop();
}

int CEnemyPartZM::LoadWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel*)
{
    CBmpIndex* pIndex = GetIndex();
    m_Saber.Load(lpDevice);
    for (CEBMoveSaber& m : m_MoveSaber) {
        m.Load(lpDevice);
        m.m_Speed.Set(5.0f, 1.7f, 0.0f, 0.0f, 0);
    }
    m_SaberLight.Load(lpDevice, pIndex, "ZM_Saber1.bmp", "ZM_Saber2.bmp");
    for (CEBHiSpeed& s : m_HiSpeed)
        s.Setup(lpDevice, 0);
    m_Laser.Load(lpDevice);
    m_Laser.m_fGrowth = kLaserGrowth;
    m_Laser.m_dwHoldTime = kLaserHoldMs;
    m_Laser.m_fScale = m_Laser.m_fScaleStart = kLaserScale;
    m_Beacon[0].Load(lpDevice, 0);
    m_Beacon[1].Load(lpDevice, 0);
    IDirectDrawSurface7* lpFrames[2] = {nullptr, nullptr};
    if (pIndex) {
        lpFrames[0] = pIndex->CreateSurfaceByDevice(lpDevice, "MSZ006Shield1.bmp", nullptr, MEM_SYSTEM);
        lpFrames[1] = pIndex->CreateSurfaceByDevice(lpDevice, "MSZ006Shield2.bmp", nullptr, MEM_SYSTEM);
    }
    if (lpFrames[0] && lpFrames[1])
        m_Shield.Create(lpDevice, lpFrames[0], lpFrames[1]);
    SafeRelease(lpFrames[0]);
    SafeRelease(lpFrames[1]);
    m_Shield.m_fScale = 1.0f;
    m_Shield.SetLifetime(kShieldLifetimeMs);
    m_Gun.Release();
    m_nGunWidth = m_nGunHeight = 0;
    IDirectDrawSurface7* lpGun = pIndex ? pIndex->CreateSurfaceByDevice(lpDevice, "ZM_Gun.bmp", nullptr, MEM_SYSTEM)
                                        : nullptr;
    if (lpGun && m_Gun.Create(lpDevice, lpGun, nullptr, MEM_SYSTEM)) {
        m_Gun.SetColorKeyGreen();
        m_Gun.GetSize(&m_nGunWidth, &m_nGunHeight);
    }
    SafeRelease(lpGun);
    return 1;
}

void CEnemyPartZM::StopWeapons()
{
    m_ExpBoss.Stop();
    for (CEBHiSpeed& s : m_HiSpeed)
        s.Stop();
    m_Laser.Stop();
    m_Saber.Stop();
    for (CEBMoveSaber& m : m_MoveSaber)
        m.Stop();
    m_SaberLight.Stop();
    m_Shield.Stop();
}

void CEnemyPartZM::FinishWeapons(CStage*)
{
    m_Shield.Stop();
    m_Laser.Stop();
}

void CEnemyPartZM::FilterDamage(int* pnDamage)
{
    if (m_nImage == 3)
        *pnDamage *= 2;
}

void CEnemyPartZM::PositionWeapons(CEnemyLabel* pLabel)
{
    m_fLabelOffset = pLabel->GetOffsetY();
    m_SaberLight.Update();
}

// ---- The moves --------------------------------------------------------------------------------------

void CEnemyPartZM::FireHiSpeed(int i, CEnemyLabel* pLabel)
{
    D3DVECTOR vTarget;
    pLabel->GetTargetPos(&vTarget);
    const float ox = m_vPos.x + kShotX, oy = m_vPos.y + kShotY + pLabel->GetOffsetY();
    CEBHiSpeed& shot = m_HiSpeed[i];
    shot.SetAngle(std::atan2(-(vTarget.y - oy), vTarget.x - ox));
    shot.SetPosition(D3DVECTOR{{ox}, {-oy}, {0.0f}});
    shot.Fire();
}

void CEnemyPartZM::SwingSaber(int nDirection, float ox, float oy, CEnemyLabel* pLabel)
{
    CEBMoveSaber& thrown = m_MoveSaber[0];
    float x = m_vPos.x + ox;
    if (nDirection >= 1) {
        m_AccLunge.Set(0.0f, -kLungeStep, -kLungeReach, 0.0f, 1);
        thrown.m_fAngle = 3.14f;
    } else {
        m_AccLunge.Set(0.0f, kLungeStep, 0.0f, kLungeReach, 1);
        thrown.m_fAngle = 0.0f;
        x += 80.0f;
    }
    const D3DVECTOR v{{x}, {-(m_vPos.y + oy)}, {0.0f}};
    thrown.SetPosition(v);
    m_Saber.SetPosition(v);
    m_Saber.SetBlade(nDirection >= 1 ? 0.01f : 2.97f, 1.0f, 1.0f, 1.0f);
    m_Saber.m_nDirection = nDirection;
    m_Saber.Fire();
    thrown.m_fViewOffset = pLabel->GetOffsetY();
    thrown.m_vScale = D3DVECTOR{{1.7f}, {1.0f}, {1.0f}};
    thrown.Fire();
    SelectBodyImage(2);
}

void CEnemyPartZM::StepLunge(BOOL bTwoSided)
{
    if (m_AccLunge.nReached)
        return;
    m_vPos.x += m_AccLunge.fValue;
    float ox = kSaberX;
    if (bTwoSided && !(m_AccLunge.fValue < 0.0f))
        ox = -kSaberX;
    m_AccLunge.Step();
    const D3DVECTOR v{{m_vPos.x + ox}, {-(m_vPos.y + kSaberY)}, {0.0f}};
    m_Saber.SetPosition(v);
    m_MoveSaber[0].SetPosition(v);
}

void CEnemyPartZM::DashTo(float x, float y)
{
    const float dx = x - m_vPos.x, dy = y - m_vPos.y;
    const float r = std::sqrt(dx * dx + dy * dy);
    m_fDashAngle = std::atan2(dy, dx);
    // Already there: a dash over no distance would have no speed to take.
    if (r < 0.5f) {
        ClearReached(m_Adjust);
        return;
    }
    SetDashSpeed(r, kDashSpeed, -0.5f);
}

void CEnemyPartZM::FireLaser(int nDirection)
{
    if (nDirection >= 0) {
        m_Laser.SetPosition(D3DVECTOR{{m_vPos.x + kMuzzleX}, {-(m_vPos.y + kMuzzleY)}, {0.0f}});
        m_Laser.m_nDirection = 1;
    } else {
        m_Laser.SetPosition(D3DVECTOR{{m_vPos.x - kMuzzleX}, {-(m_vPos.y + kMuzzleY)}, {0.0f}});
        m_Laser.m_nDirection = -1;
    }
    m_Laser.Fire();
    PlaySoundFile(ZM_FIRE_WAVE);
    if (m_pKind) {
        m_pKind->m_Recoil.Attach(&m_AccY);
        m_pKind->m_Recoil.Start();
    }
    m_fRecoilX = m_vPos.x;
}

// The recoil carries the body away from the beam and back, never past where it fired.
void CEnemyPartZM::StepRecoil()
{
    if (m_AccY.nReached)
        return;
    const BOOL bRight = IsFacingRight();
    m_vPos.x += bRight ? -m_AccY.fValue : m_AccY.fValue;
    if (bRight ? m_vPos.x > m_fRecoilX : m_vPos.x < m_fRecoilX) {
        m_vPos.x = m_fRecoilX;
        m_AccY.nReached = 1;
        if (m_pKind)
            m_pKind->m_Recoil.Detach();
        return;
    }
    m_AccY.Step();
}

void CEnemyPartZM::PlaceDangerBeacons(CEnemyLabel* pLabel)
{
    D3DVECTOR vTarget;
    pLabel->GetTargetPos(&vTarget);
    const float y = std::clamp(vTarget.y - pLabel->GetOffsetY(), 80.0f, 400.0f);
    m_Beacon[0].SetPoint(kBeaconRightX, (float)(int)y);
    m_Beacon[1].SetPoint(kBeaconLeftX, (float)(int)y);
    m_Beacon[0].Start(1);
    m_Beacon[1].Start(0);
    m_vPos.y = y + 16.0f;
}

void CEnemyPartZM::StartShieldCharge(int bFromRight)
{
    SelectBodyImage(3);
    if (bFromRight) {
        m_vPos.x = kStartX;
        m_AccX.Set(-kShieldChargeSpeed, 0.0f, 0.0f, 0.0f, 0);
    } else {
        m_vPos.x = -300.0f;
        m_AccX.Set(kShieldChargeSpeed, 0.0f, 0.0f, 0.0f, 0);
    }
    m_AccY.nReached = 1;
    SetFacingRight(!bFromRight);
    m_Shield.m_nFacing = bFromRight ? 1 : -1;
    m_Shield.Start();
}

void CEnemyPartZM::SetReentryHeight(CEnemyLabel* pLabel)
{
    D3DVECTOR vTarget;
    pLabel->GetTargetPos(&vTarget);
    m_vPos.y = std::clamp(vTarget.y - 40.0f - (pLabel->GetOffsetY() - 16.0f), 100.0f, 420.0f);
}

void CEnemyPartZM::Swoop(float y, float fSpeedY)
{
    const float s = kSwoopSpeed * std::sin(kSwoopAngle);
    m_vPos.x = 750.0f;
    m_vPos.y = y;
    m_AccX.Set(-s, s * s * 0.002f, 0.0f, 0.0f, 0);
    m_AccY.Set(fSpeedY, 0.0f, 0.0f, 0.0f, 0);
    Clear(m_AccLunge);
    SelectBodyImage(0);
}

// In again from the right at the player's height, gliding to rest at x = 450.
void CEnemyPartZM::Glide()
{
    m_vPos.x = 640.0f + (float)m_nWidth;
}

void CEnemyPartZM::Wait(int nTicks, int nNext)
{
    m_nSub = SUB_WAIT;
    m_nSubNext = nNext;
    m_nWaitLength = nTicks;
}

// ---- The phases -------------------------------------------------------------------------------------

void CEnemyPartZM::OnTick(int nState, CEnemyLabel* pLabel)
{
    switch (nState) {
    case STATE_PHASE0: TickPhase0(pLabel); break;
    case STATE_PHASE1: TickPhase1(pLabel); break;
    case STATE_PHASE2: TickPhase2(pLabel); break;
    default: break;
    }
}

void CEnemyPartZM::TickPhase0(CEnemyLabel* pLabel)
{
    const float fSwoopLow = 2000.0f / (std::tan(kSwoopAngle) * 8.0f);
    const float fSwoopSpeedY = kSwoopSpeed * std::cos(kSwoopAngle);
    for (CEBHiSpeed& s : m_HiSpeed)
        s.SetPlayerScroll((int)pLabel->GetPlayerScroll());
    if (!m_AccX.nReached)
        m_vPos.x += m_AccX.fValue;
    if (!m_AccY.nReached)
        m_vPos.y += m_AccY.fValue;
    m_AccX.Step();
    m_AccY.Step();
    if (m_AccX.nReached) {
        m_AccX.fStep = -m_AccX.fStep;
        m_AccX.nReached = 0;
    }
    StepLunge(0);
    m_Saber.SetPosition(D3DVECTOR{{m_vPos.x + kSaberX}, {-(m_vPos.y + kSaberY)}, {m_Saber.m_vCenter.z}});

    switch (m_nTick) {
    case 1:
        SelectBodyImage(0);
        break;
    case 3:
        Swoop(240.0f - fSwoopLow - 148.0f, fSwoopSpeedY);
        break;
    case 63: FireHiSpeed(0, pLabel); break;
    case 79: FireHiSpeed(1, pLabel); break;
    case 95: FireHiSpeed(2, pLabel); break;
    case 111: FireHiSpeed(3, pLabel); break;
    case 242:
    case 482:
    case 722:
        CheckPhase(pLabel);
        break;
    case 243:
    case 723:
        Glide();
        SetReentryHeight(pLabel);
        Clear(m_AccX);
        Clear(m_AccY);
        m_AccLunge.Set(-12.0f, 144.0f / (2.0f * (m_vPos.x - kGlideRestX)), -12.0f, 0.0f, 1);
        break;
    case 323:
    case 803:
        SwingSaber(1, kSaberX, kSaberY, pLabel);
        break;
    case 383:
    case 863:
        m_AccLunge.Set(0.0f, kLeaveAcceleration, 0.0f, 0.0f, 0);
        break;
    case 483:
        Swoop(fSwoopLow + 496.0f, -fSwoopSpeedY);
        break;
    case 523: FireHiSpeed(0, pLabel); break;
    case 539: FireHiSpeed(1, pLabel); break;
    case 555: FireHiSpeed(2, pLabel); break;
    case 571: FireHiSpeed(3, pLabel); break;
    case 963:
        m_nTick = 2;
        CheckPhase(pLabel);
        break;
    default:
        break;
    }
}

void CEnemyPartZM::TickPhase1(CEnemyLabel* pLabel)
{
    if (m_nTick == 1) {
        const float fDistance = std::fabs(kPhase1RestX - m_vPos.x);
        if (fDistance < kShortestBrake)
            ClearReached(m_AccX);
        else
            m_AccX.Set(-5.0f, 25.0f / (2.0f * fDistance), -5.0f, 0.0f, 1);
        ClearReached(m_Adjust);
        ClearReached(m_AccY);
        SelectBodyImage(1);
        SetFacingRight(0);
        m_bSubActive = 0;
        m_bFirstPass = 1;
        m_nSub = SUB_IDLE;
        if (m_pKind)
            m_pKind->m_Recoil.Detach();
    }
    StepRecoil();
    m_vPos.x += m_AccX.fValue;
    m_AccX.Step();
    StepDash();
    if (m_nTick == kFirstSubMachineTick) {
        m_bSubActive = 1;
        m_nSub = SUB_CHOOSE_DOWN;
        m_bFirstPass = 1;
    }
    if (m_bSubActive && m_Adjust.nReached)
        StepSubMachine(pLabel);
    else if (!m_bSubActive && m_nSub == SUB_CHARGE && m_Adjust.nReached)
        StepCharge(pLabel);
    const float fMuzzleX = IsFacingRight() ? kMuzzleX : -kMuzzleX;
    m_Laser.SetPosition(D3DVECTOR{{m_vPos.x + fMuzzleX}, {-(m_vPos.y + kMuzzleY)}, {0.0f}});
    if (m_pKind)
        m_pKind->m_Recoil.Update();
}

void CEnemyPartZM::StepSubMachine(CEnemyLabel* pLabel)
{
    D3DVECTOR vTarget;
    pLabel->GetTargetPos(&vTarget);
    const float fTarget = vTarget.y - (pLabel->GetOffsetY() - 16.0f);
    switch (m_nSub) {
    case SUB_CHOOSE_DOWN:
        if (fTarget > m_vPos.y && fTarget < kDashBottom) {
            m_fTargetY = fTarget;
            m_nSub = SUB_DASH_DOWN;
        } else {
            m_nSub = SUB_DASH_BOTTOM;
        }
        break;
    case SUB_CHOOSE_UP:
        if (fTarget < m_vPos.y && fTarget > kDashTop) {
            m_fTargetY = fTarget;
            m_nSub = SUB_DASH_UP;
        } else {
            m_nSub = SUB_DASH_TOP;
        }
        break;
    case SUB_DASH_DOWN:
        DashTo(m_vPos.x, m_fTargetY);
        m_fDashAngle = kDashDown;
        Wait(30, SUB_FIRE_LOW);
        break;
    case SUB_DASH_UP:
        DashTo(m_vPos.x, m_fTargetY);
        m_fDashAngle = kDashUp;
        Wait(30, SUB_FIRE_HIGH);
        break;
    case SUB_DASH_BOTTOM:
        DashTo(m_vPos.x, kDashBottom);
        m_fDashAngle = kDashDown;
        if (m_bFirstPass) {
            m_bFirstPass = 0;
            m_nSub = SUB_CHOOSE_UP;
        } else {
            m_nSub = SUB_CHARGE;
        }
        break;
    case SUB_DASH_TOP:
        DashTo(m_vPos.x, kDashTop);
        m_fDashAngle = kDashUp;
        m_nSub = IsFacingRight() ? SUB_CHARGE : SUB_CHOOSE_DOWN;
        break;
    case SUB_FIRE_LOW:
        FireLaser(-1);
        Wait(100, SUB_DASH_BOTTOM);
        break;
    case SUB_FIRE_HIGH:
        FireLaser(IsFacingRight() ? 1 : -1);
        Wait(100, SUB_DASH_TOP);
        break;
    case SUB_CHARGE:
        m_nTick = kChargeTickCounter;
        m_nChargeBase = kChargeTickCounter + 1;
        m_bSubActive = 0;
        break;
    case SUB_WAIT:
        m_nWaitStart = m_nTick;
        m_nSub = SUB_WAITING;
        break;
    case SUB_WAITING:
        if (m_nTick - m_nWaitStart > m_nWaitLength)
            m_nSub = m_nSubNext;
        break;
    default:
        break;
    }
}

// Hop back, charge across, brake at the far side and turn round.
void CEnemyPartZM::StepCharge(CEnemyLabel* pLabel)
{
    const int t = m_nTick - m_nChargeBase;
    // The side it charges from; it turns round at the brake.
    const BOOL bRight = t <= 50 ? IsFacingRight() : !IsFacingRight();
    switch (t) {
    case 0:
        if (bRight)
            m_AccX.Set(-12.0f, 1.44f, -12.0f, 0.0f, 1);
        else
            m_AccX.Set(12.0f, -1.44f, 0.0f, 12.0f, 1);
        break;
    case 10:
        if (bRight)
            m_AccX.Set(3.0f, 0.35f, 0.0f, 0.0f, 0);
        else
            m_AccX.Set(-3.0f, -0.35f, 0.0f, 0.0f, 0);
        SelectBodyImage(3);
        break;
    case 50:
        BrakeOver(m_AccX, std::fabs(m_vPos.x - (bRight ? kChargeRightRest : kChargeLeftRest)));
        m_fDashAngle = bRight ? 0.0f : 3.14f;
        SelectBodyImage(1);
        SetFacingRight(!bRight);
        m_Laser.m_nDirection = bRight ? -1 : 1;
        break;
    case 75:
        m_bSubActive = 1;
        m_bFirstPass = 1;
        m_nSub = bRight ? SUB_CHOOSE_UP : SUB_CHOOSE_DOWN;
        CheckPhase(pLabel);
        break;
    default:
        break;
    }
}

void CEnemyPartZM::TickPhase2(CEnemyLabel* pLabel)
{
    if (m_nTick == 1) {
        m_AccX.Set(-10.0f, kPhase2Glide, -10.0f, 0.0f, 1);
        ClearReached(m_AccLunge);
        m_Beacon[0].Stop();
        m_Beacon[1].Stop();
    }
    m_vPos.x += m_AccX.fValue;
    m_AccX.Step();
    StepLunge(1);
    const float fShieldX = m_bFacingRight ? kShieldX : -kShieldX;
    m_Shield.m_vPos = D3DVECTOR{{m_vPos.x + fShieldX}, {16.0f - (m_vPos.y + pLabel->GetOffsetY())}, {0.0f}};
    m_Shield.Update();
    m_Beacon[0].Update();
    m_Beacon[1].Update();

    switch (m_nTick) {
    case 130:
    case 910:
        Clear(m_AccX);
        SwingSaber(m_nTick == 130 ? 1 : -1, kSaberX, kSaberY, pLabel);
        break;
    case 210:
        m_AccX.Set(m_AccX.fValue, kLeaveAcceleration, 0.0f, 0.0f, 0);
        SetFacingRight(0);
        break;
    case 274:
    case 769:
    case 1074:
    case 1569:
        CheckPhase(pLabel);
        break;
    case 275:
    case 425:
    case 575:
    case 1075:
    case 1225:
    case 1375:
        PlaceDangerBeacons(pLabel);
        break;
    case 360:
    case 660:
    case 1310:
        StartShieldCharge(1);
        break;
    case 510:
    case 1160:
    case 1460:
        StartShieldCharge(0);
        break;
    case 770:
        SelectBodyImage(0);
        m_vPos.x = -300.0f;
        SetReentryHeight(pLabel);
        m_AccX.Set(10.0f, -kPhase2Glide, 0.0f, 10.0f, 1);
        SetFacingRight(1);
        m_Shield.Stop();
        break;
    case 1010:
        m_AccX.Set(m_AccX.fValue, -kLeaveAcceleration, 0.0f, 0.0f, 0);
        SetFacingRight(1);
        break;
    case 1570:
        m_nTick = 0;
        m_vPos.x = kStartX;
        SetReentryHeight(pLabel);
        SelectBodyImage(0);
        m_AccX.Set(-10.0f, kPhase2Glide, -10.0f, 0.0f, 1);
        SetFacingRight(0);
        m_Shield.Stop();
        break;
    default:
        break;
    }
}

// ---- Drawing ----------------------------------------------------------------------------------------

void CEnemyPartZM::DrawGun(IDirectDrawSurface7* lpSurface)
{
    if (!lpSurface || !m_Gun.GetSurface())
        return;
    D3DVECTOR d;
    GetDrawPos(&d);
    const int x = IsFacingRight() ? (int)d.x + m_nGunWidth - (int)kGunX : (int)d.x - (int)kGunX;
    const int y = (int)d.y + (int)kGunY;
    if (x + m_nGunWidth <= -1 || x >= 640 || y + m_nGunHeight <= -1 || y >= 480)
        return;
    IDirectDrawSurface7* lpImage = m_Gun.GetImage(GetImageKind());
    if (!lpImage)
        return;
    RECT rcSrc, rcDst;
    GetClippedBltRects(x, y, m_nGunWidth, m_nGunHeight, &rcSrc, &rcDst);
    BltOk(lpSurface, &rcDst, lpImage, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

BOOL CEnemyPartZM::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_nImage == 1 && m_ExpBoss.m_nState != CExpBoss::STATE_FADING)
        DrawGun(lpSurface);
    return CEnemyPartBoss::Draw(lpSurface);
}

int CEnemyPartZM::DrawExtra(IDirect3DDevice7* lpDevice)
{
    if (!lpDevice)
        return 1;
    m_Shield.Draw(lpDevice);
    if (m_nImage == 2 && m_nLife >= 1) {
        D3DVECTOR d;
        GetDrawPos(&d);
        m_SaberLight.Render(lpDevice, (int)d.x, (int)d.y, m_nWidth, m_nHeight, IsFacingRight());
    }
    return 1;
}

// ---- The kind ---------------------------------------------------------------------------------------

CEnemyZM::CEnemyZM() : CEnemyBoss(s_Info) {}

int CEnemyZM::CreateBody(CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartZM>(ENEMY_FAMILY_ZM, 1);
}


int CEnemyZM::Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float fOffsetY)
{
    CEnemyPartZM* pBody = static_cast<CEnemyPartZM*>(GetBody(pLabel));
    if (!pBody || pLabel->IsFinished() || !lpTarget)
        return 1;
    pBody->m_Beacon[0].Draw(lpTarget);
    pBody->m_Beacon[1].Draw(lpTarget);
    if (pBody->m_bDead)
        return 1;
    if (pBody->m_nImage == 1)
        pBody->DrawGun(lpTarget);
    return CEnemyBoss::Draw(lpTarget, pLabel, fOffsetY);
}

int CEnemyZM::DrawExtra(int, CEnemyLabel* pLabel)
{
    CEnemyPartZM* pBody = static_cast<CEnemyPartZM*>(GetBody(pLabel));
    if (!pBody || pLabel->IsFinished())
        return 1;
    return pBody->DrawExtra(g_lpD3DDevice);
}
