#include "enemy/EnemyF91.h"

#include <algorithm>
#include <cmath>

#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "engine/WinMain.h"
#include "enemy/EnemyLabel.h"
#include "stage/Stage.h"

namespace {

const BOSSINFO kF91Info = {F91_BOSS_NUMBER,
                           ENEMY_FAMILY_F91,
                           "M.ZorvaF91",
                           "BossF91Index.txt",
                           {"F91a.bmp", "F91b.bmp", "F91d.bmp", "F91e.bmp"},
                           "F91carbon.bmp",
                           "BOSS_HRR_F91"};

const char* const kThrownRegions[F91_THROWN] = {"F91_MSaber1.bmp", "F91_MSaber2.bmp"};
const float kThrownAngles[F91_THROWN] = {2.6166668f, 3.6633334f};
const ACCINFO kThrownSpeed = {5.0f, 5.0f, 1.7f, 0.0f, 0.0f, 0, 0, 0, 0};
const ACCINFO kCleared = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0, 0, 0, 0};
const float kHiSpeedAngles[4] = {2.3561945f, 2.8797932f, -2.8797932f, -2.3561945f};
const float kMissileSpeed = 19.0f;
const float kLaserMuzzleX = 160.0f;
const float kLaserMuzzleY = 45.0f;
const float kVulcanAngle = 3.14f;
const float kDashTop = 5.0f;
const float kDashMin = -0.5f;
const float kParked = 640000.0f;
const int kVolleyTicks[] = {150, 240, 330, 420, 510, 600, 690, 780};

// Images: 0 plain, 1 firing, 2 saber lunge, 3 the laser afterimage.
enum { IMAGE_PLAIN = 0, IMAGE_FIRING = 1, IMAGE_LUNGE = 2, IMAGE_LASER = 3 };

} // namespace

// ---- Afterimages -------------------------------------------------------------------------------------

void F91AFTERIMAGE::Converge(float x, float y, float z)
{
    nState = CONVERGING;
    vPoint[0] = D3DVECTOR{{x + 100.0f}, {y}, {z}};
    X[0].Set(-5.0f, 0.125f, -5.0f, 0.0f, 1);
    vPoint[1] = D3DVECTOR{{x - 100.0f}, {y}, {z}};
    X[1].Set(5.0f, -0.125f, 0.0f, 5.0f, 1);
    StampBlink();
}

void F91AFTERIMAGE::Scatter(float x, float y, float z)
{
    nState = SCATTERING;
    vPoint[0] = vPoint[1] = D3DVECTOR{{x}, {y}, {z}};
    X[0].Set(5.0f, -0.125f, 0.0f, 5.0f, 1);
    X[1].Set(-5.0f, 0.125f, -5.0f, 0.0f, 1);
    StampBlink();
}

void F91AFTERIMAGE::Step()
{
    for (int i = 0; i < 2; i++) {
        vPoint[i].x += X[i].fValue;
        X[i].Step();
    }
    if (X[0].nReached && X[1].nReached)
        nState = NONE;
    Blink();
}

void F91AFTERIMAGE::Blink()
{
    if (bBlinkLock)
        return;
    const DWORD dwNow = CEnemy::Now();
    if (dwNow - dwBlinkTime > dwBlinkPeriod) {
        bBlink = !bBlink;
        dwBlinkTime = dwNow;
    }
}

// ---- The body: moves and weapons ----------------------------------------------------------------------

CEnemyPartF91::CEnemyPartF91()
{
    m_After.dwBlinkPeriod = 1;
    m_Bounce.nState = ACCBOUNCE::STATE_DONE;
    m_Bounce.fRest = -1.0f;
}

CEnemyF91* CEnemyPartF91::GetF91Kind()
{
    return static_cast<CEnemyF91*>(m_pKind);
}

void CEnemyPartF91::TeleportIn(float h)
{
    m_vPos.x = (float)(m_nWidth / 2 + 321);
    m_vPos.y = std::clamp(h, 100.0f, 420.0f);
    m_AccX = kCleared;
    m_After.Converge(m_vPos.x, m_vPos.y, m_vPos.z);
}

void CEnemyPartF91::TeleportInAt(CEnemyLabel* pLabel, float fOffset)
{
    D3DVECTOR t;
    pLabel->GetTargetPos(&t);
    TeleportIn(t.y + fOffset - (m_fViewOffset - 16.0f));
}

void CEnemyPartF91::TeleportOut()
{
    m_AccX = kCleared;
    m_After.Scatter(m_vPos.x, m_vPos.y, m_vPos.z);
    m_vPos = D3DVECTOR{{kParked}, {0.0f}, {0.0f}};
}

void CEnemyPartF91::StandAfterimage(int nState)
{
    m_After.vPoint[0] = m_vPos;
    m_Slide.Set(2.0f, -0.1f, 0.0f, 2.0f, 1);
    m_After.nState = nState;
    // The standing afterimage is the one that fires, so it shows even after a lock hid the last one.
    m_After.bBlink = 0;
    m_After.bBlinkLock = 0;
    m_After.StampBlink();
}

void CEnemyPartF91::DashToPlayer(CEnemyLabel* pLabel)
{
    D3DVECTOR t;
    pLabel->GetTargetPos(&t);
    float fTarget = std::clamp(t.y - (m_fViewOffset - 16.0f + 25.0f), 100.0f, 420.0f);
    fTarget = std::clamp(fTarget, m_vPos.y - 130.0f, m_vPos.y + 130.0f);
    const float dx = (float)(int)m_vPos.x - m_vPos.x, dy = (float)(int)fTarget - m_vPos.y;
    m_fDashAngle = std::atan2(dy, dx);
    const float r = std::sqrt(dx * dx + dy * dy);
    const float v = std::min(kDashTop, r);
    // Already at her height: no dash, and no division by a zero distance.
    if (!(r > 0.0f)) {
        m_Adjust.Set(0.0f, 0.0f, kDashMin, 0.0f, 1);
        m_Adjust.nReached = 1;
        return;
    }
    m_Adjust.Set(0.0f, v * v / r, kDashMin, v, 1, 1, 0);
}

void CEnemyPartF91::FireMissile(CEnemyLabel* pLabel, int k)
{
    D3DVECTOR t;
    pLabel->GetTargetPos(&t);
    const float ox = m_vPos.x + 40.0f, oy = m_vPos.y - 8.5f + m_fViewOffset;
    CEBMissile& missile = m_Missiles[k];
    ACCINFO speed = kCleared;
    speed.SetConstant(kMissileSpeed);
    missile.SetAngleSpeed(std::atan2(t.y - 16.0f - oy, t.x - ox), speed);
    missile.SetPosition(D3DVECTOR{{ox}, {-(m_vPos.y - 8.5f)}, {0.0f}});
    m_fLeanAngle = std::atan2(-(t.y - 16.0f - oy), -(t.x - ox));
    missile.m_fViewOffset = pLabel->GetOffsetY();
    missile.SetPlayerScroll((int)pLabel->GetPlayerScroll());
    missile.Fire();
}

void CEnemyPartF91::FireHiSpeed(CEnemyLabel* pLabel, int i)
{
    CEBHiSpeed& shot = m_HiSpeed[i];
    shot.SetAngle(kHiSpeedAngles[i % 4]);
    shot.SetPosition(D3DVECTOR{{m_vPos.x}, {-(m_vPos.y + m_fViewOffset)}, {0.0f}});
    shot.SetPlayerScroll((int)pLabel->GetPlayerScroll());
    shot.Fire();
}

void CEnemyPartF91::FireVulcan(ACCINFO* pRecoil)
{
    m_Vulcan.m_fAngle = kVulcanAngle;
    m_Vulcan.Fire(1);
    m_Bounce.Attach(pRecoil);
    m_Bounce.Start();
}

void CEnemyPartF91::FireLaser(const D3DVECTOR& p, int d)
{
    const float dx = d >= 0 ? kLaserMuzzleX : -kLaserMuzzleX;
    m_Laser.SetPosition(D3DVECTOR{{p.x + dx}, {-(p.y - kLaserMuzzleY)}, {p.z}});
    m_Laser.m_nDirection = d >= 0 ? 1 : -1;
    m_Laser.Fire();
    PlaySoundFile(F91_LASER_WAVE);
    m_Bounce.Attach(&m_Slide);
    m_Bounce.Start();
}

void CEnemyPartF91::ThrowSabers(CEnemyLabel* pLabel)
{
    m_Saber.Fire();
    for (CEBBigBullet& thrown : m_Thrown) {
        thrown.m_fViewOffset = pLabel->GetOffsetY();
        thrown.SetPosition(D3DVECTOR{{m_vPos.x - 40.0f}, {-(m_vPos.y + 20.0f)}, {m_vPos.z}});
        thrown.Fire();
    }
}

void CEnemyPartF91::UpdateBounce()
{
    m_Bounce.Update();
    if (m_Bounce.pAcc && m_Bounce.nState == ACCBOUNCE::STATE_DONE)
        m_Bounce.Detach();
}

// ---- The body: what the shared boss code asks of it ------------------------------------------------------

// Weapons still out when it comes back in fly on: only the spawn's stop ends them.
void CEnemyPartF91::Place(CEnemyLabel*)
{
    PlaceAtStart();
    m_AccX.Set(-5.0f, 1.0f / 36.0f, -5.0f, 0.0f, 1);
    m_Adjust.Set(-3.0f, 0.046875f, -3.0f, 3.0f, 1);
    m_Lunge = kCleared;
    m_After.bBlink = 0;
    m_After.dwBlinkPeriod = 1;
    m_After.StampBlink();
    m_bThrow = 0;
    m_fLean = 0.0f;
}

void CEnemyPartF91::OnSpawn(CEnemyLabel*)
{
    m_After.nState = F91AFTERIMAGE::NONE;
    m_SaberLight.Start();
}

int CEnemyPartF91::LoadWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel*)
{
    CEnemyF91* pKind = GetF91Kind();
    CBmpIndex* pIndex = GetIndex();
    m_Vulcan.Load(lpDevice, 1);
    for (CEBHiSpeed& shot : m_HiSpeed)
        shot.Setup(lpDevice, CEBHiSpeed::MODE_SINGLE);
    m_Saber.Load(lpDevice);
    for (int b = 0; b < F91_THROWN; b++) {
        CEBBigBullet& thrown = m_Thrown[b];
        if (pKind && pIndex && !pKind->m_ThrownSprites[b].GetTexture()) {
            IDirectDrawSurface7* lpRegion = pIndex->CreateSurfaceByDevice(lpDevice, kThrownRegions[b], nullptr, 1);
            if (lpRegion)
                pKind->m_ThrownSprites[b].Create(lpDevice, lpRegion, nullptr);
            SafeRelease(lpRegion);
        }
        if (pKind)
            thrown.SetSprite(lpDevice, &pKind->m_ThrownSprites[b]);
        thrown.SetSpeedInfo(&kThrownSpeed);
        thrown.SetAngle(kThrownAngles[b]);
    }
    if (pIndex)
        m_SaberLight.Load(lpDevice, pIndex, "F91_Saber1.bmp", "F91_Saber2.bmp");
    m_Laser.Load(lpDevice);
    m_Laser.m_fGrowth = 40.0f;
    m_Laser.m_fScale = m_Laser.m_fScaleStart = 0.4f;
    m_Laser.m_dwHoldTime = 500;
    if (pKind && pIndex) {
        for (CDSurfaceEx& picture : pKind->m_MissilePictures) {
            if (picture.GetSurface())
                continue;
            IDirectDrawSurface7* lpRegion = pIndex->CreateSurfaceByDevice(lpDevice, "F91_Canon.bmp", nullptr, 1);
            if (lpRegion)
                picture.Create(lpDevice, lpRegion, nullptr, 1);
            SafeRelease(lpRegion);
        }
        for (CEBMissile& missile : m_Missiles)
            missile.SetSurfaces(lpDevice, pKind->m_MissilePictures);
    }
    return 1;
}

void CEnemyPartF91::StopWeapons()
{
    for (CEBHiSpeed& shot : m_HiSpeed)
        shot.Stop();
    m_Saber.Stop();
    for (CEBBigBullet& thrown : m_Thrown)
        thrown.Stop();
    m_SaberLight.Stop();
    m_Laser.Stop();
    for (CEBMissile& missile : m_Missiles)
        missile.Stop();
}

void CEnemyPartF91::FinishWeapons(CStage*)
{
    m_Saber.Stop();
    for (CEBBigBullet& thrown : m_Thrown)
        thrown.Stop();
    m_SaberLight.Stop();
    m_Laser.Stop();
}

void CEnemyPartF91::OnPhaseQueued(int)
{
    m_Bounce.Detach();
}

void CEnemyPartF91::StartExit(CEnemyLabel*)
{
    TeleportOut();
}

void CEnemyPartF91::PositionWeapons(CEnemyLabel*)
{
    m_SaberLight.Update();
}

void CEnemyPartF91::RunState(int nState, CEnemyLabel* pLabel)
{
    if (nState != STATE_EXIT) {
        CEnemyPartBoss::RunState(nState, pLabel);
        return;
    }
    if (m_After.nState == F91AFTERIMAGE::SCATTERING)
        m_After.Step();
    if (m_After.nState == F91AFTERIMAGE::NONE) {
        Place(pLabel);
        m_nState = m_nNextState;
    }
}

int CEnemyPartF91::HitByPlayerBullet(CStage* pStage, CCrushable* pAttacker)
{
    // Only a live body teleports: the dead one still takes the test that ends the stage.
    if (!m_bDead && m_After.IsMoving())
        return 0;
    return CEnemyPartBoss::HitByPlayerBullet(pStage, pAttacker);
}

void CEnemyPartF91::FilterDamage(int* pnDamage)
{
    if (m_nState == STATE_PHASE1 && !m_After.IsMoving())
        *pnDamage *= 2;
}

void CEnemyPartF91::OnTick(int nState, CEnemyLabel* pLabel)
{
    switch (nState) {
    case STATE_PHASE0:
        Tick0(pLabel);
        break;
    case STATE_PHASE1:
        Tick1(pLabel);
        break;
    case STATE_PHASE2:
        Tick2(pLabel);
        break;
    default:
        break;
    }
}

void CEnemyPartF91::OnPassEnd(int nState, CEnemyLabel*)
{
    if (nState == STATE_PHASE1)
        UpdateBounce();
}

// ---- Phase 0: dash and missile fan --------------------------------------------------------------------

void CEnemyPartF91::Tick0(CEnemyLabel* pLabel)
{
    SelectBodyImage(IMAGE_PLAIN);
    const int t = m_nTick;
    if (t == 1) {
        m_Adjust.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
        m_Adjust.nReached = 1;
        m_bVolley = 0;
        m_fLean = 0.0f;
        TeleportIn(256.0f);
    }
    if (!m_Adjust.nReached) {
        AdvanceDash();
    } else if (t >= 60 && !m_bVolley) {
        m_bVolley = 1;
        m_nVolleyBase = t;
    }
    if (m_After.nState == F91AFTERIMAGE::CONVERGING)
        m_After.Step();
    if (t == 70) {
        DashToPlayer(pLabel);
        m_bVolley = 0;
    }
    if (m_bVolley) {
        const int d = t - m_nVolleyBase - 30;
        if (d >= 0 && d % 7 == 0 && d / 7 < F91_MISSILES) {
            FireMissile(pLabel, d / 7);
            m_nLastMissile = t;
            m_fLean = 5.0f;
        }
        if (t == m_nVolleyBase + 139)
            m_nTick = 60;
    }
    if (CheckPhase(pLabel))
        return;
    if (t == m_nLastMissile + 5)
        m_fLean = 0.0f;
}

// ---- Phase 1: vulcan and saber ------------------------------------------------------------------------

void CEnemyPartF91::Move1(CEnemyLabel* pLabel)
{
    if (m_After.IsMoving()) {
        m_After.Step();
        return;
    }
    if (m_nTick >= 122) {
        if (!m_AccX.nReached)
            m_vPos.x += m_AccX.fValue;
        m_AccX.Step();
    }
    if (!m_Lunge.nReached) {
        m_vPos.x += m_Lunge.fValue;
    } else if (m_bThrow) {
        ThrowSabers(pLabel);
        m_bThrow = 0;
    }
    m_Lunge.Step();
}

void CEnemyPartF91::Tick1(CEnemyLabel* pLabel)
{
    const int t = m_nTick;
    if (t == 121 || t == 351) {
        m_Lunge = kCleared;
        m_bThrow = 0;
        m_Bounce.Detach();
        TeleportInAt(pLabel, -3.0f);
        SelectBodyImage(IMAGE_FIRING);
    }
    Move1(pLabel);
    switch (t) {
    case 180:
    case 410:
        FireVulcan(&m_AccX);
        SelectBodyImage(IMAGE_FIRING);
        break;
    case 250:
    case 480:
    case 700:
        TeleportOut();
        break;
    case 569:
    case 759:
        if (CheckPhase(pLabel))
            return;
        break;
    case 570:
        TeleportInAt(pLabel, -40.0f);
        SelectBodyImage(IMAGE_PLAIN);
        break;
    case 630:
        m_Saber.SetBlade(0.01f, 1.0f, 1.0f, 1.0f);
        m_bThrow = 1;
        m_Lunge.Set(0.0f, -20.0f, -40.0f, 0.0f, 1);
        SelectBodyImage(IMAGE_LUNGE);
        break;
    default:
        break;
    }
    if (t == 760)
        m_nTick = 60;
    m_Saber.SetPosition(D3DVECTOR{{m_vPos.x - 40.0f}, {-(m_vPos.y + 20.0f)}, {m_vPos.z}});
    m_Vulcan.SetMuzzlePoint(m_vPos.x - 135.0f, -(m_vPos.y - 22.0f), m_vPos.z);
}

// ---- Phase 2: bob, volleys, standing afterimage -------------------------------------------------------------

void CEnemyPartF91::Move2()
{
    if (m_After.IsMoving()) {
        m_After.Step();
        return;
    }
    if (!m_AccX.nReached)
        m_vPos.x += m_AccX.fValue;
    m_AccX.Step();
    if (m_nTick >= 110) {
        m_vPos.y += m_Adjust.fValue;
        m_Adjust.Step();
        if (m_Adjust.nReached) {
            m_Adjust.fStep = -m_Adjust.fStep;
            m_Adjust.nReached = 0;
        }
    }
}

void CEnemyPartF91::Standing2()
{
    const int t = m_nTick;
    D3DVECTOR& p = m_After.vPoint[0];
    if (!m_Slide.nReached)
        p.x += m_Slide.fValue;
    m_Slide.Step();
    switch (t) {
    case 320:
    case 500:
        FireVulcan(&m_Slide);
        break;
    case 680:
        FireLaser(p, -1);
        break;
    case 360:
    case 540:
        m_After.nState = F91AFTERIMAGE::NONE;
        m_Bounce.Detach();
        m_After.bBlink = 1;
        m_After.bBlinkLock = 1;
        break;
    default:
        break;
    }
    if (t >= 720)
        m_Bounce.Detach();
    if (t == 750) {
        m_After.nState = F91AFTERIMAGE::NONE;
        m_After.bBlink = 1;
        m_After.bBlinkLock = 1;
    }
    m_Vulcan.SetMuzzlePoint(p.x - 135.0f, -(p.y - 22.0f), p.z);
    m_After.Blink();
}

void CEnemyPartF91::Volleys2(CEnemyLabel* pLabel)
{
    // Shots 0-3 at each volley tick, 4-7 ten ticks later, 8-11 twenty ticks later.
    for (int nVolley : kVolleyTicks) {
        for (int g = 0; g < 3; g++) {
            if (m_nTick != nVolley + 10 * g)
                continue;
            for (int i = 4 * g; i < 4 * g + 4; i++)
                FireHiSpeed(pLabel, i);
        }
    }
}

void CEnemyPartF91::Tick2(CEnemyLabel* pLabel)
{
    const int t = m_nTick;
    if (t == 1) {
        m_AccX.Set(-5.0f, 25.0f / (2.0f * std::fabs(480.0f - m_vPos.x)), -5.0f, 0.0f, 1);
        m_Bounce.Detach();
        m_Slide.nReached = 1;
        m_StandY.nReached = 1;
        TeleportIn(256.0f);
        SelectBodyImage(IMAGE_PLAIN);
    }
    Move2();
    if (t == 260 || t == 440)
        StandAfterimage(F91AFTERIMAGE::STANDING);
    else if (t == 620)
        StandAfterimage(F91AFTERIMAGE::STANDING_LASER);
    if (m_After.nState == F91AFTERIMAGE::STANDING || m_After.nState == F91AFTERIMAGE::STANDING_LASER)
        Standing2();
    Volleys2(pLabel);
    if (t == 830)
        m_nTick = 110;
    const D3DVECTOR& p = m_After.vPoint[0];
    m_Laser.SetPosition(D3DVECTOR{{p.x - 23.0f}, {-(p.y - 85.0f)}, {0.0f}});
    UpdateBounce();
}

// ---- The kind -------------------------------------------------------------------------------------------

CEnemyF91::CEnemyF91() : CEnemyBoss(kF91Info) {}

// The thrown sabers' sprites and the missile pictures are the bodies' weapons: they stay through a
// reload of the body images and go with the kind.
CEnemyF91::~CEnemyF91() = default;

int CEnemyF91::CreateBody(CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartF91>(ENEMY_FAMILY_F91, 1);
}

void CEnemyF91::DrawImage(IDirectDrawSurface7* lpTarget, CEnemyPartF91& b, int nImage, int x, int y)
{
    const int w = m_nWidths[nImage], h = m_nHeights[nImage];
    if (x + w <= -1 || x >= 640 || y + h <= -1 || y >= 480)
        return;
    IDirectDrawSurface7* lpImage = m_Pictures[nImage].GetImage(b.GetImageKind());
    if (!lpImage)
        return;
    RECT rcSrc, rcDst;
    GetClippedBltRects(x, y, w, h, &rcSrc, &rcDst);
    BltOk(lpTarget, &rcDst, lpImage, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

void CEnemyF91::DrawAfterimage(IDirectDrawSurface7* lpTarget, CEnemyPartF91& b, int nImage, const D3DVECTOR& p)
{
    const int x = (int)(p.x - (float)(b.m_nWidth / 2));
    const int y = (int)(p.y - (float)(b.m_nHeight / 2) - 16.0f + b.m_fViewOffset);
    DrawImage(lpTarget, b, nImage, x, y);
}

int CEnemyF91::Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float)
{
    CEnemyPartF91* pBody = GetF91Body(pLabel);
    if (!pBody || pLabel->IsFinished() || !lpTarget)
        return 1;
    CEnemyPartF91& b = *pBody;
    const int nAfter = b.m_After.nState;
    if (!b.m_After.IsMoving()) {
        if (b.m_bDead)
            return 1;
        D3DVECTOR d;
        b.GetDrawPos(&d);
        const float dx = b.m_fLean * std::cos(b.m_fLeanAngle), dy = b.m_fLean * std::sin(b.m_fLeanAngle);
        DrawImage(lpTarget, b, b.m_nImage, (int)(d.x + dx), (int)(d.y + dy));
        b.SelectImage(m_Pictures[b.m_nImage]);
    }
    if (b.m_After.bBlink)
        return 1;
    if (b.m_After.IsMoving()) {
        DrawAfterimage(lpTarget, b, b.m_nImage, b.m_After.vPoint[0]);
        DrawAfterimage(lpTarget, b, b.m_nImage, b.m_After.vPoint[1]);
    } else if (nAfter == F91AFTERIMAGE::STANDING) {
        DrawAfterimage(lpTarget, b, 1, b.m_After.vPoint[0]);
    } else if (nAfter == F91AFTERIMAGE::STANDING_LASER) {
        DrawAfterimage(lpTarget, b, 3, b.m_After.vPoint[0]);
    }
    return 1;
}

int CEnemyF91::DrawExtra(int, CEnemyLabel* pLabel)
{
    CEnemyPartF91* pBody = GetF91Body(pLabel);
    if (!pBody || pLabel->IsFinished())
        return 1;
    if (pBody->m_nImage == IMAGE_LUNGE && pBody->m_nLife >= 1 && g_lpD3DDevice) {
        D3DVECTOR d;
        pBody->GetDrawPos(&d);
        pBody->m_SaberLight.Render(g_lpD3DDevice, (int)d.x, (int)d.y, pBody->m_nWidth, pBody->m_nHeight,
                                   (int)(pBody->m_dwDrawFlags & 1));
    }
    return 1;
}
