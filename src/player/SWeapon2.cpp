#include "player/SWeapon2.h"

#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Param.h"
#include "engine/RenderState.h"
#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "platform/d3d/D3DX.h"
#include "stage/ObjectLabel.h"

namespace {

const float kFanStep = 0.5233334f;
const float kLevelReach = 50.0f;
const float kHalfBox = 32.0f;
const float kTrailSpacing = 40.0f;
const float kTrailHalf[HAWK_TRAILS] = {40.0f, 38.0f, 36.0f};
const char* const kVoices[3] = {".\\GameData\\System\\CvHawkWind1.wav", ".\\GameData\\System\\CvHawkWind2.wav",
                                ".\\GameData\\System\\CvHawkWind3.wav"};
const char kLaunchSound[] = ".\\GameData\\System\\HawkWind.wav";

D3DMATRIX RotationZ(float fAngle)
{
    D3DXMATRIX m;
    D3DXMatrixRotationZ(&m, fAngle);
    return m;
}

} // namespace

CSWeapon2::CSWeapon2()
{
    for (MISSILE& m : m_Missiles)
        m = MISSILE{};
}

CSWeapon2::~CSWeapon2()
{
    Release();
}

void CSWeapon2::Release()
{
    for (MISSILE& m : m_Missiles) {
        for (TRAIL& t : m.Trail)
            t.Puff.Stop();
    }
    SafeRelease(m_lpStar);
}

int CSWeapon2::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    m_lpStar = CreateTextureFromFile(lpDevice, STAR_TEXTURE_PATH, nullptr);
    for (MISSILE& m : m_Missiles) {
        for (int k = 0; k < HAWK_TRAILS; k++) {
            CSmokeSW& puff = m.Trail[k].Puff;
            puff.SetTexture(m_lpStar);
            puff.SetHalfSize(kTrailHalf[k]);
            const float fGrey = (float)(HAWK_TRAILS - k) / 6.0f + 0.5f;
            puff.SetStartColor(fGrey, fGrey, fGrey);
            puff.SetColorStep(0.0f);
            puff.SetColorJitter(0);
        }
    }
    m_fMissileSpeed = GetParamFloat("MISSILE_SPEED", 0, m_fMissileSpeed);
    m_fMissileAcc = GetParamFloat("MISSILE_ACC", 0, m_fMissileAcc);
    m_dwAccTime = (DWORD)GetParamInt("ACC_TIME", 0, (int)m_dwAccTime);
    m_dwHomingTime = (DWORD)GetParamInt("HOMING_TIME", 0, (int)m_dwHomingTime);
    m_nDamage = GetParamInt("MISSILE_DAMAGE", 0, m_nDamage);
    return 1;
}

void CSWeapon2::ResetMissiles()
{
    for (int i = 0; i < HAWK_MISSILES; i++) {
        MISSILE& m = m_Missiles[i];
        for (TRAIL& t : m.Trail) {
            t.Puff.Stop();
            t.vPos = m_vOrigin;
        }
        m.bHit = 0;
        m.fDistance = 0.0f;
        m.fSpacing = kTrailSpacing;
        m.fAngle = (float)i * kFanStep;
        m.fSpeed = m_fMissileSpeed;
        m.fAcc = m_fMissileAcc;
        for (STAMP& s : m.Stamps)
            s = STAMP{m_vOrigin, m.fAngle};
        m.nHead = 0;
    }
}

void CSWeapon2::Start(int nVoice)
{
    Stop();
    ResetMissiles();
    m_dwLaunch = CAppTimer::GetElapsed(0);
    for (MISSILE& m : m_Missiles)
        m.nState = 0;
    m_nPhase = 0;
    m_vLaunch = m_vOrigin;
    CCrushableSet::Register(this);
    if (nVoice >= 0 && nVoice <= 8)
        PlaySoundFile(kVoices[nVoice % 3]);
    PlaySoundFile(kLaunchSound);
    m_bFinished = 0;
}

void CSWeapon2::Stop()
{
    CCrushableSet::Unregister(this);
    m_bFinished = 1;
}

// Record 1 follows two stamps behind the newest, record 2 four.
void CSWeapon2::PlaceTrails(MISSILE& m)
{
    STAMP& s = m.Stamps[m.nHead];
    s.vPos = m.Trail[0].vPos;
    s.fAngle = m.fAngle;
    m.Trail[0].Puff.SetMatrix(RotationZ(m.fAngle));
    m.nHead = (m.nHead + 1) % STAMP_NUM;
    const int nNewest = m.nHead - 1;
    for (int k = 1; k < HAWK_TRAILS; k++) {
        const STAMP& old = m.Stamps[(nNewest - 2 * k + 2 * STAMP_NUM) % STAMP_NUM];
        m.Trail[k].vPos = old.vPos;
        m.Trail[k].Puff.SetMatrix(RotationZ(old.fAngle));
    }
}

void CSWeapon2::StepMissile(MISSILE& m, DWORD)
{
    D3DVECTOR& p = m.Trail[0].vPos;
    p.x += cosf(m.fAngle) * m.fSpeed;
    p.y += sinf(m.fAngle) * m.fSpeed;
    m.fDistance += m.fSpeed;
    if (m.nState == 0) {
        PlaceTrails(m);
        m.fDistance += m.fSpeed;
        m.fSpeed += m.fAcc;
        return;
    }
    if (m.nState == 1) {
        const bool bLevelX = p.x > m_vTarget.x - kLevelReach && p.x <= m_vTarget.x + kLevelReach;
        const bool bLevelY = p.y > m_vTarget.y - kLevelReach && p.y <= m_vTarget.y + kLevelReach;
        if (bLevelX || bLevelY)
            m.nState = 2;
        m.fAngle = atan2f(m_vTarget.y - p.y, m_vTarget.x - p.x);
    }
    PlaceTrails(m);
}

void CSWeapon2::Update()
{
    if (m_bFinished)
        return;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    const DWORD t = dwNow - m_dwLaunch;
    if (t > m_dwAccTime && m_nPhase == 0) {
        m_nPhase = 1;
        for (MISSILE& m : m_Missiles)
            m.nState = 1;
        CCrushableSet::FindTarget(&m_vTarget, m_vLaunch.x);
        m_vTarget.y = -m_vTarget.y;
    }
    if (t > m_dwHomingTime && m_nPhase == 1) {
        m_nPhase = 2;
        for (MISSILE& m : m_Missiles)
            m.nState = 2;
    }
    for (MISSILE& m : m_Missiles) {
        StepMissile(m, dwNow);
        for (int k = 0; k < HAWK_TRAILS; k++) {
            TRAIL& trail = m.Trail[k];
            if ((float)k * m.fSpacing <= m.fDistance && trail.Puff.IsFinished()) {
                trail.Puff.SetPosition(m_vLaunch.x, m_vLaunch.y, m_vLaunch.z);
                trail.Puff.Reset();
            }
            trail.Puff.Update();
            trail.Puff.SetPosition(trail.vPos.x, trail.vPos.y, 0.0f);
        }
    }
}

int CSWeapon2::Draw(IDirect3DDevice7* lpDevice)
{
    if (m_bFinished || !lpDevice)
        return 1;
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    for (MISSILE& m : m_Missiles) {
        if (m.bHit)
            continue;
        for (TRAIL& t : m.Trail)
            t.Puff.Draw(lpDevice);
    }
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return 1;
}

void CSWeapon2::GetMissileBox(int i, float* pBox) const
{
    const D3DVECTOR& p = m_Missiles[i].Trail[0].vPos;
    pBox[0] = p.x - kHalfBox;
    pBox[1] = -p.y - kHalfBox;
    pBox[2] = p.x + kHalfBox;
    pBox[3] = kHalfBox - p.y;
}

// The first missile whose box shares a cell with the other and has a corner inside its rectangle
// is spent; one missile per test.
int CSWeapon2::TestHit(CCrushable* pOther, int nFamily)
{
    WEAPONTARGET target;
    if (m_bFinished || !GetWeaponTarget(pOther, nFamily, &target))
        return 0;
    for (int i = 0; i < HAWK_MISSILES; i++) {
        MISSILE& m = m_Missiles[i];
        if (m.bHit)
            continue;
        float b[4];
        GetMissileBox(i, b);
        if (!IsCellMaskOverlap(BoxCellMask(b[0], b[1], b[2], b[3]), target.mask))
            continue;
        const float px[4] = {b[2], b[2], b[0], b[0]}, py[4] = {b[1], b[3], b[1], b[3]};
        for (int k = 0; k < 4; k++) {
            if (!IsPointInRect(target.rc, px[k], py[k]))
                continue;
            m.bHit = 1;
            for (TRAIL& t : m.Trail)
                t.Puff.Stop();
            return 1;
        }
    }
    return 0;
}

int CSWeapon2::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByPlayerBullet(pStage, this) : 0;
}

int CSWeapon2::HitByEnemyBullet(CStage*, CCrushable* pBullet)
{
    return TestHit(pBullet, CRUSH_ENEMY_BULLET);
}

int CSWeapon2::HitByEnemyPart(CStage*, CCrushable* pPart)
{
    return TestHit(pPart, CRUSH_ENEMY_PART);
}

int CSWeapon2::HitByLabel(CStage* pStage, CCrushable* pLabel)
{
    if (!TestHit(pLabel, CRUSH_LABEL))
        return 0;
    return pLabel->GetObjectLabel()->HitByPlayerBullet(pStage, this);
}
