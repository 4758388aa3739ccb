#include "player/SWeapon3.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Param.h"
#include "engine/RenderState.h"
#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "stage/ObjectLabel.h"

namespace {

const float kBallAngle = 1.0466667f;
const float kSparkleScale[FIRE_SPARKLES] = {1.0f, 0.8f, 0.6f};
const float kSparkleLight[FIRE_SPARKLES] = {1.0f, 0.9f, 0.8f};
const float kFlameAngle[FIRE_FLAMES] = {0.628f, 0.0f, 2.0933334f, 3.14f};
const float kFlameReach[FIRE_FLAMES] = {90.0f, 20.0f, 50.0f, 110.0f};
const float kFlameGrey = 0.7f;
const D3DCOLOR kSpinColor = 0xFFB2B2B2;
const float kHitLowering = 16.0f;
const char kVoice[] = ".\\GameData\\System\\CvFireStorm1.wav";
const char kLaunchSound[] = ".\\GameData\\System\\FireStorm1.wav";
const char kRowSound[] = ".\\GameData\\System\\FireStorm2.wav";

IDirectDrawSurface7* LoadTexture(IDirect3DDevice7* lpDevice, const char* pszPath, int* pSize)
{
    IDirectDrawSurface7* lpPicture = LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM);
    if (!lpPicture)
        return nullptr;
    GetSurfaceSize(lpPicture, &pSize[0], &pSize[1]);
    IDirectDrawSurface7* lpTexture = CreateTextureFromSurface(lpDevice, lpPicture, nullptr, 0);
    SafeRelease(lpPicture);
    return lpTexture;
}

} // namespace

// ---- A drop -------------------------------------------------------------------------------------

void CSWeapon3::FIRERAINPART::GetBox(float* pBox) const
{
    const float hw = (float)nHitWidth / 2.0f, hh = (float)nHitHeight / 2.0f;
    pBox[0] = vPos.x - hw;
    pBox[1] = -vPos.y - hh;
    pBox[2] = vPos.x + hw;
    pBox[3] = hh - vPos.y;
}

// Its left-middle or right-middle point inside the other's rectangle.
int CSWeapon3::FIRERAINPART::TestTarget(const WEAPONTARGET& target) const
{
    if (bWaiting || bHit)
        return 0;
    float b[4];
    GetBox(b);
    if (!IsCellMaskOverlap(BoxCellMask(b[0], b[1], b[2], b[3]), target.mask))
        return 0;
    const float fMid = (b[1] + b[3]) / 2.0f;
    return IsPointInRect(target.rc, b[0], fMid) || IsPointInRect(target.rc, b[2], fMid);
}

// ---- The weapon ---------------------------------------------------------------------------------

CSWeapon3::CSWeapon3()
{
    for (D3DVECTOR& v : m_Stamps)
        v = D3DVECTOR{};
    for (FLAME& f : m_Flames)
        f = FLAME{};
}

CSWeapon3::~CSWeapon3()
{
    Release();
}

void CSWeapon3::Release()
{
    SafeRelease(m_lpSparkle);
    SafeRelease(m_lpFlame);
    SafeRelease(m_lpDrop);
}

int CSWeapon3::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    m_fBallSpeed = GetParamFloat("FIRE_BALL_SPEED", 0, m_fBallSpeed);
    m_fCloudSpeed = GetParamFloat("CLOUD_START_SPEED", 0, m_fCloudSpeed);
    m_fCloudSpeedStep = GetParamFloat("CLOUD_START_SPEED", 1, m_fCloudSpeedStep);
    m_fRainSpeed = GetParamFloat("FIRE_RAIN_SPEED", 0, m_fRainSpeed);
    m_nCloudHeight = GetParamInt("CLOUD_HEIGHT", 0, m_nCloudHeight);
    m_dwRainTime = (DWORD)GetParamInt("FIRE_RAIN_TIME", 0, (int)m_dwRainTime);
    m_dwRainBlank = (DWORD)GetParamInt("FIRE_RAIN_BLANK", 0, (int)m_dwRainBlank);
    m_nDamage = GetParamInt("FIRE_STORM_DAMAGE", 0, m_nDamage);
    m_lpSparkle = LoadTexture(lpDevice, FIRE_SPARKLE_PATH, m_nSparkleSize);
    m_lpFlame = LoadTexture(lpDevice, FIRE_FLAME_PATH, m_nFlameSize);
    m_lpDrop = LoadTexture(lpDevice, FIRE_DROP_PATH, m_nDropSize);
    for (FLAME& f : m_Flames)
        MakeQuadVertices((float)m_nFlameSize[0], (float)m_nFlameSize[1], f.Quad);
    for (RAINROW& row : m_Rows) {
        for (FIRERAINPART& drop : row.Drops) {
            MakeQuadVertices((float)m_nDropSize[0], (float)m_nDropSize[1], drop.Quad);
            drop.nHitWidth = m_nDropSize[0];
            drop.nHitHeight = m_nDropSize[1];
        }
    }
    return 1;
}

void CSWeapon3::Start(int bVoice)
{
    Stop();
    m_nState = STATE_BALL;
    SetUpBall();
    if (bVoice) {
        PlaySoundFile(kVoice);
        PlaySoundFile(kLaunchSound);
    }
    m_bFinished = 0;
}

void CSWeapon3::Stop()
{
    CCrushableSet::Unregister(this);
    m_bFinished = 1;
}

// 60 degrees up from below the cloud line, down from above it.
void CSWeapon3::SetUpBall()
{
    const float fLine = (float)(m_nCloudHeight - 480);
    const float vy = sinf(kBallAngle) * m_fBallSpeed;
    m_vVelocity = D3DVECTOR{cosf(kBallAngle) * m_fBallSpeed, m_vOrigin.y < fLine ? vy : -vy, 0.0f};
    m_vOffset = D3DVECTOR{};
    for (D3DVECTOR& v : m_Stamps)
        v = D3DVECTOR{};
    m_nHead = 0;
    for (int i = 0; i < FIRE_SPARKLES; i++) {
        MakeQuadVertices((float)m_nSparkleSize[0] * kSparkleScale[i], (float)m_nSparkleSize[1] * kSparkleScale[i],
                         m_Sparkle[i]);
        SetFanColor(m_Sparkle[i], ColorOf(kSparkleLight[i], kSparkleLight[i], kSparkleLight[i]));
    }
}

void CSWeapon3::SetUpCloud()
{
    for (int i = 0; i < FIRE_FLAMES; i++) {
        FLAME& f = m_Flames[i];
        f.vPos = m_vCloud;
        f.vVel = D3DVECTOR{cosf(kFlameAngle[i]) * m_fCloudSpeed, sinf(kFlameAngle[i]) * m_fCloudSpeed, 0.0f};
        f.fTarget = kFlameReach[i];
        f.fTravelled = 0.0f;
        std::fill(f.fColor, f.fColor + 3, kFlameGrey);
        f.fAlpha = 0.0f;
        f.fSpin = 0.0f;
    }
}

void CSWeapon3::SetUpRain()
{
    for (RAINROW& row : m_Rows)
        row.bFinished = 1;
    m_nNextRow = 0;
    CCrushableSet::Register(this);
    m_dwRowTimer = m_dwRainStart = CAppTimer::GetElapsed(0);
}

void CSWeapon3::SpawnRow()
{
    RAINROW& row = m_Rows[m_nNextRow];
    row.bFinished = 0;
    row.dwStart = CAppTimer::GetElapsed(0);
    for (int j = 0; j < FIRE_DROPS; j++) {
        FIRERAINPART& drop = row.Drops[j];
        drop.vStart = drop.vPos = D3DVECTOR{m_vCloud.x - 80.0f + 32.0f * (float)j, m_vCloud.y - 100.0f, 0.0f};
        drop.dwDelay = 20 * (DWORD)j;
        drop.bWaiting = 1;
        drop.bHit = 0;
    }
    m_nNextRow = (m_nNextRow + 1) % FIRE_ROWS;
    PlaySoundFile(kRowSound);
}

D3DVECTOR CSWeapon3::GetBallPosition() const
{
    return D3DVECTOR{m_vOrigin.x + m_vOffset.x, m_vOrigin.y + m_vOffset.y, m_vOrigin.z + m_vOffset.z};
}

void CSWeapon3::UpdateBall()
{
    m_vOffset.x += m_vVelocity.x;
    m_vOffset.y += m_vVelocity.y;
    m_vOffset.z += m_vVelocity.z;
    m_Stamps[m_nHead] = m_vOffset;
    m_nHead = (m_nHead + 1) % MAX_STAMP_NUM;
    const float fLine = (float)(m_nCloudHeight - 480);
    const float y = m_vOrigin.y + m_vOffset.y;
    const bool bReached = m_vVelocity.y > 0.0f ? y > fLine : (m_vVelocity.y < 0.0f ? y < fLine : true);
    if (!bReached)
        return;
    m_vCloud = D3DVECTOR{m_vOrigin.x + m_vOffset.x, fLine, 0.0f};
    SetUpCloud();
    m_nState = STATE_CLOUD;
}

// The flames fade in, spin and spread, speeding up sideways over the first half of their way and
// slowing over the second.
void CSWeapon3::UpdateFlames()
{
    for (int i = 0; i < FIRE_FLAMES; i++) {
        FLAME& f = m_Flames[i];
        f.fAlpha = std::min(f.fAlpha + 0.075f, 1.0f);
        f.fSpin += (i % 2 == 0) ? 0.1f : -0.1f;
        if (f.fSpin >= 6.28f || f.fSpin <= -6.28f)
            f.fSpin = 0.0f;
        SetFanColor(f.Quad, f.fSpin != 0.0f ? kSpinColor : 0xFFFFFFFF);
        if (f.fTravelled >= f.fTarget)
            continue;
        f.vPos.x += f.vVel.x;
        f.vPos.y += f.vVel.y;
        f.vPos.z += f.vVel.z;
        const float fSign = f.vVel.x > 0.0f ? 1.0f : (f.vVel.x < 0.0f ? -1.0f : 0.0f);
        if (f.fTravelled < f.fTarget / 2.0f) {
            f.vVel.x += fSign * m_fCloudSpeedStep;
        } else {
            const float fSlower = std::fabs(f.vVel.x) - m_fCloudSpeedStep;
            f.vVel.x = fSlower > 0.0f ? fSign * fSlower : 0.0f;
        }
        f.fTravelled += Vec2Length(f.vVel.x, f.vVel.y);
    }
}

// Each row falls as a slanted line: drop k stays 30 k above drop 0 and leaves the cloud when the
// line reaches it.
void CSWeapon3::UpdateRows(DWORD dwNow)
{
    for (RAINROW& row : m_Rows) {
        if (row.bFinished)
            continue;
        FIRERAINPART& first = row.Drops[0];
        if (dwNow - row.dwStart > first.dwDelay)
            first.vPos.y -= m_fRainSpeed;
        if (first.vPos.y < -960.0f)
            row.bFinished = 1;
        first.bWaiting = 0;
        for (int k = 1; k < FIRE_DROPS; k++) {
            FIRERAINPART& drop = row.Drops[k];
            const float y = first.vPos.y + 30.0f * (float)k;
            if (y <= drop.vStart.y) {
                drop.vPos.y = y;
                drop.bWaiting = 0;
            } else {
                drop.vPos.y = drop.vStart.y;
            }
        }
    }
}

void CSWeapon3::FadeFlames()
{
    for (FLAME& f : m_Flames)
        f.fAlpha = std::max(f.fAlpha - 0.175f, 0.0f);
}

void CSWeapon3::Update()
{
    if (m_bFinished)
        return;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    switch (m_nState) {
    case STATE_BALL:
        UpdateBall();
        break;
    case STATE_CLOUD:
        UpdateFlames();
        SetUpRain();
        m_nState = STATE_RAIN;
        break;
    case STATE_RAIN:
        UpdateFlames();
        UpdateRows(dwNow);
        if (dwNow - m_dwRowTimer > m_dwRainBlank) {
            SpawnRow();
            m_dwRowTimer = dwNow;
        }
        if (dwNow - m_dwRainStart >= m_dwRainTime)
            m_nState = STATE_FADE;
        break;
    default: {
        UpdateRows(dwNow);
        FadeFlames();
        bool bDone = true;
        for (const FLAME& f : m_Flames)
            bDone = bDone && f.fAlpha == 0.0f;
        for (const RAINROW& row : m_Rows)
            bDone = bDone && row.bFinished;
        if (bDone)
            Stop();
        break;
    }
    }
}

// ---- Drawing ------------------------------------------------------------------------------------

int CSWeapon3::DrawSparkles(IDirect3DDevice7* lpDevice)
{
    int bOk = 1;
    for (int i = 0; i < FIRE_SPARKLES; i++) {
        const D3DVECTOR& v = i == 0 ? m_vOffset : m_Stamps[(m_nHead - 1 - i + 2 * MAX_STAMP_NUM) % MAX_STAMP_NUM];
        const D3DMATRIX m =
            ScaleRotateMove(1.0f, 1.0f, 0.0f, m_vOrigin.x + v.x, m_vOrigin.y + v.y, m_vOrigin.z + v.z);
        bOk &= DrawWeaponFan(lpDevice, m_lpSparkle, m_Sparkle[i], m);
    }
    return bOk;
}

int CSWeapon3::Draw(IDirect3DDevice7* lpDevice)
{
    if (m_bFinished || !lpDevice)
        return 1;
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    if (m_nState == STATE_BALL)
        return DrawSparkles(lpDevice);
    int bOk = 1;
    if (m_nState != STATE_CLOUD) {
        for (const RAINROW& row : m_Rows) {
            if (row.bFinished)
                continue;
            for (const FIRERAINPART& drop : row.Drops) {
                if (drop.bWaiting || drop.bHit)
                    continue;
                const D3DMATRIX m = ScaleRotateMove(1.0f, 1.0f, 0.0f, drop.vPos.x, drop.vPos.y, drop.vPos.z);
                bOk &= DrawWeaponFan(lpDevice, m_lpDrop, drop.Quad, m);
            }
        }
    }
    for (const FLAME& f : m_Flames) {
        const float s = 1.2f * f.fAlpha;
        if (s <= 0.0f)
            continue;
        const D3DMATRIX m = ScaleRotateMove(s, s, f.fSpin, f.vPos.x, f.vPos.y, f.vPos.z);
        bOk &= DrawWeaponFan(lpDevice, m_lpFlame, f.Quad, m);
    }
    return bOk;
}

// ---- Hits ---------------------------------------------------------------------------------------

void CSWeapon3::GetCloudBox(float* pBox) const
{
    pBox[0] = 640.0f;
    pBox[1] = 480.0f;
    pBox[2] = -1.0f;
    pBox[3] = -1.0f;
    for (const FLAME& f : m_Flames) {
        const float hw = 0.55f * f.fAlpha * (float)m_nFlameSize[0];
        const float hh = 0.5f * f.fAlpha * (float)m_nFlameSize[1];
        const float y = -f.vPos.y + kHitLowering;
        pBox[0] = std::min(pBox[0], f.vPos.x - hw);
        pBox[1] = std::min(pBox[1], y - hh);
        pBox[2] = std::max(pBox[2], f.vPos.x + hw);
        pBox[3] = std::max(pBox[3], y + hh);
    }
}

int CSWeapon3::TestHit(CCrushable* pOther, int nFamily, FIRERAINPART** ppDrop)
{
    *ppDrop = nullptr;
    WEAPONTARGET target;
    if (m_bFinished || m_nState == STATE_BALL || !GetWeaponTarget(pOther, nFamily, &target))
        return 0;
    float b[4];
    GetCloudBox(b);
    if (b[2] >= b[0] && IsCellMaskOverlap(BoxCellMask(b[0], b[1], b[2], b[3]), target.mask)) {
        const D3DVECTOR box[4] = {{b[0], b[1], 0.0f}, {b[2], b[1], 0.0f}, {b[2], b[3], 0.0f}, {b[0], b[3], 0.0f}};
        if (IsQuadOverlap(box, target.quad))
            return 1;
    }
    for (RAINROW& row : m_Rows) {
        // A row stopped mid-fall keeps its drops where they were.
        if (row.bFinished)
            continue;
        for (FIRERAINPART& drop : row.Drops) {
            const int bHit = nFamily == CRUSH_LABEL          ? drop.TestLabel(target)
                             : nFamily == CRUSH_ENEMY_BULLET ? drop.TestEnemyBullet(target)
                                                             : drop.TestEnemyPart(target);
            if (bHit) {
                *ppDrop = &drop;
                return 1;
            }
        }
    }
    return 0;
}

int CSWeapon3::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByPlayerBullet(pStage, this) : 0;
}

int CSWeapon3::HitByEnemyBullet(CStage*, CCrushable* pBullet)
{
    FIRERAINPART* pDrop;
    return TestHit(pBullet, CRUSH_ENEMY_BULLET, &pDrop);
}

int CSWeapon3::HitByEnemyPart(CStage*, CCrushable* pPart)
{
    FIRERAINPART* pDrop;
    return TestHit(pPart, CRUSH_ENEMY_PART, &pDrop);
}

int CSWeapon3::HitByLabel(CStage* pStage, CCrushable* pLabel)
{
    FIRERAINPART* pDrop;
    if (!TestHit(pLabel, CRUSH_LABEL, &pDrop))
        return 0;
    if (pDrop)
        pDrop->bHit = 1;
    pLabel->GetObjectLabel()->HitByPlayerBullet(pStage, this);
    return 1;
}
