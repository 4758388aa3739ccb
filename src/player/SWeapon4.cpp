#include "player/SWeapon4.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Param.h"
#include "engine/RenderState.h"
#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "engine/Util.h"
#include "platform/d3d/D3DX.h"
#include "player/HudDraw.h"
#include "player/WeaponDraw.h"
#include "stage/ObjectLabel.h"

namespace {

const float kColumnStep = 34.0f;
const float kStampRise = 40.0f;
const float kStampScale = 1.7f;
const float kSweepSpacing = 110.0f;
const char kLandSound[] = ".\\GameData\\System\\GroundWiper.wav";
const char kVoice[] = ".\\GameData\\System\\CvGroundWiper.wav";

} // namespace

// ---- The call-in picture ------------------------------------------------------------------------

int CStaffRoll::Load(IDirect3DDevice7* lpDevice, const IMGKEY& first, const IMGKEY& second)
{
    Release();
    m_First.LoadFromIndex(lpDevice, first, nullptr, MEM_SYSTEM);
    m_First.SetColorKeyGreen();
    m_First.GetSize(&m_nWidth, &m_nHeight);
    if (!second.IsNULL()) {
        m_Second.LoadFromIndex(lpDevice, second, nullptr, MEM_SYSTEM);
        m_Second.SetColorKeyGreen();
    }
    return 1;
}

void CStaffRoll::Release()
{
    m_First.Release();
    m_Second.Release();
    m_nWidth = m_nHeight = 0;
}

void CStaffRoll::Start()
{
    m_nState = STATE_ENTER;
    m_vPos = m_vStart;
    m_fSpeed = -60.0f;
    m_vPos.x = -480.0f;
    m_dwBlinkTime = m_dwFrameTime = CAppTimer::GetElapsed(0);
    m_nFrame = 0;
    m_bFinished = 0;
}

void CStaffRoll::Update()
{
    if (m_bFinished)
        return;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    switch (m_nState) {
    case STATE_ENTER:
        m_vPos.x -= m_fSpeed;
        if (m_vPos.x > m_vTarget.x - 320.0f) {
            m_fSpeed += 2.0f;
            if (m_fSpeed > -1.0f)
                m_fSpeed = -1.0f;
        }
        if (m_vPos.x >= m_vTarget.x) {
            m_vPos.x = m_vTarget.x;
            m_fSpeed = 0.0f;
            m_nState = STATE_WAIT;
            m_dwWaitStart = dwNow;
        }
        break;
    case STATE_WAIT:
        if (dwNow - m_dwWaitStart > m_dwWait)
            m_nState = STATE_LEAVE;
        break;
    case STATE_LEAVE:
        m_fSpeed -= 1.2f;
        m_vPos.x -= m_fSpeed;
        if (m_vPos.x >= 690.0f) {
            m_nState = STATE_IDLE;
            m_bFinished = 1;
        }
        break;
    default:
        break;
    }
    if (dwNow - m_dwBlinkTime > 30) {
        m_bBlink = !m_bBlink;
        m_dwBlinkTime = dwNow;
    }
    if (dwNow - m_dwFrameTime > m_dwFramePeriod) {
        m_nFrame = (m_nFrame + 1) % m_nFrameCount;
        m_dwFrameTime = dwNow;
    }
}

int CStaffRoll::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bFinished || !lpSurface)
        return 1;
    IDirectDrawSurface7* lpPicture = m_nFrame == 0 ? m_Second.GetSurface() : m_First.GetSurface();
    if (!lpPicture)
        lpPicture = m_First.GetSurface();
    return BltKeyedCell(lpSurface, lpPicture, nullptr, FloatToInt(m_vPos.x), FloatToInt(m_vPos.y));
}

// ---- The weapon ---------------------------------------------------------------------------------

CSWeapon4::~CSWeapon4()
{
    Release();
}

void CSWeapon4::Release()
{
    for (SWEEP& sweep : m_Sweeps) {
        for (CSmokeSW& stamp : sweep.Stamps)
            stamp.Stop();
    }
    m_CallIn.Release();
    m_Shot.Release();
    SafeRelease(m_lpTexture);
}

int CSWeapon4::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    m_nDamage = GetParamInt("GROUND_WIPER_DAMAGE", 0, m_nDamage);
    m_CallIn.Load(lpDevice, IMGKEY{"SystemIndex.txt", "GroundWiperCall1.bmp"},
                  IMGKEY{"SystemIndex.txt", "GroundWiperCall2.bmp"});
    IDirectDrawSurface7* lpShot = GetVulcanImage(2, 4);
    const int bShot = lpShot && m_Shot.Create(lpDevice, lpShot, nullptr);
    IDirectDrawSurface7* lpPicture = LoadBitmapSurface(lpDevice, GROUND_WIPER_PATH, MEM_SYSTEM);
    if (lpPicture) {
        GetSurfaceSize(lpPicture, &m_nTexWidth, &m_nTexHeight);
        m_lpTexture = CreateTextureFromSurface(lpDevice, lpPicture, nullptr, 0);
        SafeRelease(lpPicture);
    }
    for (SWEEP& sweep : m_Sweeps) {
        for (CSmokeSW& stamp : sweep.Stamps) {
            stamp.SetTexture(m_lpTexture);
            stamp.SetHalfSize(45.0f);
            stamp.SetColorJitter(0);
            stamp.SetStartColor(1.0f, 1.0f, 1.0f);
            stamp.SetEndColor(0.1f, 0.1f, 0.1f);
        }
    }
    return bShot ? 1 : 0;
}

void CSWeapon4::Start()
{
    Stop();
    for (SWEEP& sweep : m_Sweeps)
        sweep.bFinished = 1;
    m_CallIn.m_vStart = D3DVECTOR{840.0f, 90.0f, 0.0f};
    m_CallIn.m_vTarget = D3DVECTOR{320.0f - (float)m_CallIn.GetWidth() / 2.0f, 120.0f, 0.0f};
    m_CallIn.Start();
    m_nState = STATE_CALL_IN;
    CCrushableSet::Register(this);
    m_bFinished = 0;
}

void CSWeapon4::Stop()
{
    for (SWEEP& sweep : m_Sweeps) {
        for (CSmokeSW& stamp : sweep.Stamps)
            stamp.Stop();
    }
    m_bShotIdle = 1;
    CCrushableSet::Unregister(this);
    m_bFinished = 1;
}

void CSWeapon4::LaunchShot(const D3DVECTOR& vPoint)
{
    m_vShot = D3DVECTOR{vPoint.x - cosf(m_fShotAngle) * m_fTravel, vPoint.y + sinf(m_fShotAngle) * m_fTravel, vPoint.z};
    m_vShotTarget = vPoint;
    m_fShotAngle = 1.0466667f;
    m_fShotSpeed = 80.0f;
    m_fTravelLeft = m_fTravel;
    m_bShotIdle = 0;
}

// A column rises where the shot lands; its stamps fade the faster the higher they stand.
void CSWeapon4::Land()
{
    SWEEP& sweep = m_Sweeps[m_nSweepIndex];
    sweep.vPoint = m_vShotTarget;
    for (int k = 0; k < WIPER_STAMPS; k++) {
        sweep.Stamps[k].SetColorStep(std::max(-0.008f * (float)(k + 1), -0.032f));
        sweep.bStarted[k] = 0;
    }
    sweep.dwStart = CAppTimer::GetElapsed(0);
    sweep.bFinished = 0;
    m_nSweepIndex = (m_nSweepIndex + 1) % WIPER_SWEEPS;
    m_nSweepCount++;
    PlaySoundFile(kLandSound);
    if (m_nSweepCount == 1)
        PlaySoundFile(kVoice);
}

void CSWeapon4::MoveShot()
{
    if (m_bShotIdle)
        return;
    m_vShot.x += cosf(m_fShotAngle) * m_fShotSpeed;
    m_vShot.y -= sinf(m_fShotAngle) * m_fShotSpeed;
    m_fTravelLeft -= m_fShotSpeed;
    if (m_fTravelLeft >= 0.0f)
        return;
    m_vShot = m_vShotTarget;
    m_bShotIdle = 1;
    if (m_nSweepCount < WIPER_COLUMNS)
        Land();
}

void CSWeapon4::UpdateSweep(int nSweep, DWORD dwNow)
{
    SWEEP& sweep = m_Sweeps[nSweep];
    const DWORD t = dwNow - sweep.dwStart;
    for (int k = 0; k < WIPER_STAMPS && t >= m_dwStampInterval * (DWORD)k; k++) {
        if (sweep.bStarted[k] || !sweep.Stamps[k].IsFinished())
            continue;
        sweep.Stamps[k].Reset();
        sweep.Stamps[k].SetQuadSize(m_nTexWidth, m_nTexHeight);
        sweep.bStarted[k] = 1;
    }
    int nDone = 0;
    for (int k = 0; k < WIPER_STAMPS; k++) {
        sweep.Stamps[k].Update();
        nDone += sweep.bStarted[k] && sweep.Stamps[k].IsFinished();
    }
    if (nDone < WIPER_STAMPS)
        return;
    sweep.bFinished = 1;
    if (nSweep == WIPER_COLUMNS - 1 && m_nSweepIndex >= WIPER_COLUMNS)
        Stop();
}

void CSWeapon4::Update()
{
    if (m_bFinished)
        return;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_nState == STATE_CALL_IN) {
        m_CallIn.Update();
        if (m_CallIn.IsFinished()) {
            m_nSweepCount = 0;
            m_nSweepIndex = 0;
            LaunchShot(m_vStartPoint);
            m_nState = STATE_SWEEP;
        }
    } else if (m_nSweepCount < WIPER_COLUMNS) {
        if (m_bShotIdle) {
            const D3DVECTOR v = {m_vStartPoint.x + kSweepSpacing * (float)m_nSweepIndex, m_vStartPoint.y,
                                 m_vStartPoint.z};
            LaunchShot(v);
        }
        MoveShot();
    }
    for (int i = 0; i < WIPER_SWEEPS && !m_bFinished; i++) {
        if (!m_Sweeps[i].bFinished)
            UpdateSweep(i, dwNow);
    }
}

int CSWeapon4::DrawCallIn(IDirectDrawSurface7* lpSurface)
{
    if (m_bFinished || m_nState != STATE_CALL_IN)
        return 1;
    return m_CallIn.Draw(lpSurface);
}

int CSWeapon4::Draw(IDirect3DDevice7* lpDevice)
{
    if (m_bFinished || !lpDevice)
        return 1;
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    if (m_nState == STATE_SWEEP && !m_bShotIdle && m_Shot.GetTexture()) {
        const D3DMATRIX m = ScaleRotateMove(1.0f, 1.0f, -1.0466667f, m_vShot.x, m_vShot.y, m_vShot.z);
        m_Shot.Draw(lpDevice, &m);
        CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    }
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    for (SWEEP& sweep : m_Sweeps) {
        if (sweep.bFinished)
            continue;
        for (int k = 0; k < WIPER_STAMPS; k++) {
            const D3DMATRIX mLocal = ScaleRotateMove(kStampScale, kStampScale, 0.0f, sweep.vPoint.x,
                                                     sweep.vPoint.y + kStampRise * (float)k, sweep.vPoint.z);
            D3DXMATRIX mWorld;
            D3DXMatrixMultiply(&mWorld, &mLocal, &mSaved);
            lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
            sweep.Stamps[k].Draw(lpDevice);
        }
    }
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return 1;
}

// ---- Hits ---------------------------------------------------------------------------------------

int CSWeapon4::CountStarted(const SWEEP& sweep) const
{
    int n = 0;
    while (n < WIPER_STAMPS && sweep.bStarted[n])
        n++;
    return n;
}

float CSWeapon4::GetColumnTop(const SWEEP& sweep) const
{
    return -sweep.vPoint.y - kColumnStep * (float)CountStarted(sweep);
}

// A column reaches 60 px to each side and from the ground up to its top; whatever reaches below
// the top within that is hit. The first column that hits ends the test.
int CSWeapon4::TestHit(CCrushable* pOther, int nFamily)
{
    WEAPONTARGET target;
    if (m_bFinished || !GetWeaponTarget(pOther, nFamily, &target))
        return 0;
    const float fHalf = (float)(int)m_fColumnWidth / 2.0f;
    for (const SWEEP& sweep : m_Sweeps) {
        if (sweep.bFinished)
            continue;
        const float x = sweep.vPoint.x;
        if (target.quad[0].x <= x + fHalf && x - fHalf <= target.quad[2].x && target.quad[2].y > GetColumnTop(sweep))
            return 1;
    }
    return 0;
}

int CSWeapon4::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByPlayerBullet(pStage, this) : 0;
}

int CSWeapon4::HitByEnemyBullet(CStage*, CCrushable* pBullet)
{
    return TestHit(pBullet, CRUSH_ENEMY_BULLET);
}

int CSWeapon4::HitByEnemyPart(CStage*, CCrushable* pPart)
{
    return TestHit(pPart, CRUSH_ENEMY_PART);
}

int CSWeapon4::HitByLabel(CStage* pStage, CCrushable* pLabel)
{
    if (!TestHit(pLabel, CRUSH_LABEL))
        return 0;
    return pLabel->GetObjectLabel()->HitByPlayerBullet(pStage, this);
}
