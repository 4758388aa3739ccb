#include "bullet/EBLaserEx.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/DebugPrim.h"
#include "engine/RenderState.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "platform/d3d/D3DX.h"
#include "stage/StagePlayer.h"

namespace {

const char* const kPicturePaths[EBLASER_COLOR_NUM] = {".\\GameData\\System\\EnemyLaserB128.bmp",
                                                       ".\\GameData\\System\\EnemyLaserG128.bmp",
                                                       ".\\GameData\\System\\EnemyLaserR128.bmp"};
const int kHeadColumns = 64;
const int kBodyLeft = 124, kBodyRight = 156;
const float kStepPixels = 5.0f;
const float kFlare = 0.45f;
const float kHitLowering = 16.0f;
const float kBandGap = 30.0f;
const float kBandLength = 100.0f;
const float kBandHalf[3] = {80.0f, 90.0f, 110.0f};
const int kDebugLayerBit = 0x80;
const DWORD kDebugColor = 0xFFFF4040;

IDirectDrawSurface7* s_lpTextures[EBLASER_COLOR_NUM][CEBLaserEx::TEX_KINDS];

void SetVertex(D3DLVERTEX& v, float x, float y, float u, float tv)
{
    v.x = x;
    v.y = y;
    v.z = 0.0f;
    v.dwReserved = 0;
    v.color = 0xFFFFFFFF;
    v.specular = 1;
    v.tu = u;
    v.tv = tv;
}

} // namespace

// ---- Shared textures ------------------------------------------------------------------------------

int CEBLaserEx::LoadShared(IDirect3DDevice7* lpDevice)
{
    ReleaseShared();
    int nResult = 1;
    for (int c = 0; c < EBLASER_COLOR_NUM; c++) {
        IDirectDrawSurface7* lpPicture = LoadBitmapSurface(lpDevice, kPicturePaths[c], MEM_SYSTEM);
        if (!lpPicture) {
            nResult = 0;
            continue;
        }
        int w = 0, h = 0;
        GetSurfaceSize(lpPicture, &w, &h);
        const RECT rcParts[TEX_KINDS] = {
            {0, 0, kHeadColumns, h}, {w - kHeadColumns, 0, w, h}, {kBodyLeft, 0, kBodyRight, h}};
        for (int k = 0; k < TEX_KINDS; k++) {
            s_lpTextures[c][k] = CreateTextureFromSurface(lpDevice, lpPicture, &rcParts[k], 0);
            if (!s_lpTextures[c][k])
                nResult = 0;
        }
        lpPicture->Release();
    }
    return nResult;
}

void CEBLaserEx::ReleaseShared()
{
    for (auto& textures : s_lpTextures) {
        for (IDirectDrawSurface7*& lpTexture : textures)
            SafeRelease(lpTexture);
    }
}

IDirectDrawSurface7* CEBLaserEx::GetTexture(int nColor, int nKind)
{
    if (nColor < 0 || nColor >= EBLASER_COLOR_NUM || nKind < 0 || nKind >= TEX_KINDS)
        return nullptr;
    return s_lpTextures[nColor][nKind];
}

// ---- The beam -------------------------------------------------------------------------------------

CEBLaserEx::CEBLaserEx()
{
    m_Narrowing = ACCINFO{};
    for (D3DLVERTEX& v : m_Head)
        SetVertex(v, 0.0f, 0.0f, 0.0f, 0.0f);
    for (D3DLVERTEX& v : m_Body)
        SetVertex(v, 0.0f, 0.0f, 0.0f, 0.0f);
    m_bIdle = 1;
}

CEBLaserEx::~CEBLaserEx()
{
    Release();
    Stop();
}

void CEBLaserEx::SetPosition(const D3DVECTOR& v)
{
    m_vOrigin = v;
    m_fEndY = v.y;
}

int CEBLaserEx::Load(IDirect3DDevice7* lpDevice)
{
    m_fHeadLength = 64.0f;
    m_fWidth = 128.0f;
    return Preload(lpDevice);
}

// The textures are ready once made; drawing the still unbuilt (zero-area) vertices only proves the
// device takes them.
int CEBLaserEx::Preload(IDirect3DDevice7* lpDevice)
{
    if (!lpDevice)
        return 0;
    D3DLVERTEX quad[4];
    for (D3DLVERTEX& v : quad)
        SetVertex(v, 0.0f, 0.0f, 0.0f, 0.0f);
    for (int c = 0; c < EBLASER_COLOR_NUM; c++) {
        lpDevice->SetTexture(0, s_lpTextures[c][TEX_HEAD_RIGHT]);
        if (FAILED(lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, quad, 4, 0)))
            return 0;
        lpDevice->SetTexture(0, s_lpTextures[c][TEX_BODY]);
        if (FAILED(lpDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_LVERTEX, quad, 4, 0)))
            return 0;
    }
    lpDevice->SetTexture(0, nullptr);
    return 1;
}

void CEBLaserEx::GetQuad(D3DVECTOR* pOut)
{
    for (int i = 0; i < 4; i++)
        pOut[i] = D3DVECTOR{};
}

CELLMASK* CEBLaserEx::GetRect(CELLMASK* pOut)
{
    *pOut = CELLMASK{};
    return pOut;
}

int CEBLaserEx::Fire()
{
    m_nCount = 0;
    m_nColor = 0;
    m_nState = STATE_GROWING;
    m_fEndX = m_vOrigin.x + (float)m_nDirection * m_fHeadLength;
    m_fEndY = m_vOrigin.y;
    m_fScale = m_fScaleStart;
    BuildVertices();
    m_Narrowing = ACCINFO{};
    m_Narrowing.fValue = m_Narrowing.fStart = 0.2f;
    m_dwStateTime = CAppTimer::GetElapsed(0);
    m_dwColorPeriod = EBLASER_COLOR_MS;
    return JoinRegistries(this);
}

void CEBLaserEx::Stop()
{
    LeaveRegistries(this);
}

void CEBLaserEx::Move()
{
    if (m_bIdle)
        return;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_nState == STATE_GROWING) {
        m_fEndX += (float)m_nDirection * m_fGrowth;
        if (m_bTimed) {
            if (dwNow - m_dwStateTime > m_dwHoldTime) {
                // Without width there is nothing to narrow (and no rate to narrow it by).
                if (m_fScale <= 0.0f) {
                    Stop();
                    return;
                }
                m_Narrowing.Set(0.1f, -0.01f / (2.0f * m_fScale), 0.0f, 0.1f, 1);
                m_nState = STATE_NARROWING;
            }
        } else if (m_nDirection >= 1 ? m_fEndX > 640.0f : m_fEndX < 0.0f) {
            m_dwStateTime = dwNow;
            m_nState = STATE_HOLDING;
        }
    }
    if (m_nState == STATE_NARROWING) {
        m_fScale -= m_Narrowing.fValue;
        if (m_fScale <= 0.0f) {
            Stop();
            return;
        }
        m_Narrowing.Step();
    }
    if (m_nState == STATE_HOLDING && dwNow - m_dwStateTime > m_dwHoldTime)
        m_nState = STATE_NARROWING;
    if (dwNow - m_dwColorTime > m_dwColorPeriod) {
        m_nColor = (m_nColor + 1) % EBLASER_COLOR_NUM;
        m_dwColorTime = dwNow;
    }
    BuildVertices();
}

float CEBLaserEx::HalfWidth(int k) const
{
    return kFlare * std::log((float)(4 * k + 1)) * (m_fScale * m_fWidth) * 0.5f;
}

// Pairs every 5 px from the head's length beyond the origin to the end, the last pair at the end
// itself; the whole strip, end pair included, stays within the vertex array.
void CEBLaserEx::BuildVertices()
{
    const bool bRight = m_nDirection >= 1;
    const float fDir = (float)m_nDirection;
    const float x0 = m_vOrigin.x + fDir * m_fHeadLength;
    const float y0 = m_vOrigin.y;
    int n = 0, k = 0;
    float h = 0.0f;
    for (;; k++) {
        const float x = x0 + fDir * kStepPixels * (float)k;
        if ((bRight ? x > m_fEndX : x < m_fEndX) || n + 2 > EBLASER_MAX_VERTEX_NUM - 2)
            break;
        h = HalfWidth(k);
        const float u = (float)((k & 1) ^ (bRight ? 0 : 1));
        SetVertex(m_Body[n], x, y0 + h, u, 0.0f);
        SetVertex(m_Body[n + 1], x, y0 - h, u, 1.0f);
        n += 2;
    }
    if (n + 2 <= EBLASER_MAX_VERTEX_NUM) {
        const float u = (float)((k & 1) ^ (bRight ? 0 : 1));
        SetVertex(m_Body[n], m_fEndX, m_fEndY + h, u, 0.0f);
        SetVertex(m_Body[n + 1], m_fEndX, m_fEndY - h, u, 1.0f);
        n += 2;
    }
    m_nCount = n;
    const float fTip = m_fEndX + fDir * m_fHeadLength;
    const float L = m_fHeadLength / 64.0f;
    const float uBase = bRight ? 0.0f : L, uTip = bRight ? L : 0.0f;
    SetVertex(m_Head[0], m_fEndX, m_fEndY + h, uBase, 0.0f);
    SetVertex(m_Head[1], fTip, m_fEndY + h, uTip, 0.0f);
    SetVertex(m_Head[2], fTip, m_fEndY - h, uTip, 1.0f);
    SetVertex(m_Head[3], m_fEndX, m_fEndY - h, uBase, 1.0f);
}

int CEBLaserEx::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle)
        return 1;
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    D3DXMATRIX mIn, mTurn, mOut, mTmp, mLocal, mWorld;
    D3DXMatrixTranslation(&mIn, -m_vOrigin.x, -m_vOrigin.y, -m_vOrigin.z);
    D3DXMatrixRotationZ(&mTurn, m_fAngle);
    D3DXMatrixTranslation(&mOut, m_vOrigin.x, m_vOrigin.y, m_vOrigin.z);
    D3DXMatrixMultiply(&mTmp, &mIn, &mTurn);
    D3DXMatrixMultiply(&mLocal, &mTmp, &mOut);
    D3DXMatrixMultiply(&mWorld, &mLocal, &mSaved);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    int nResult = 1;
    lpDevice->SetTexture(0, s_lpTextures[m_nColor][m_nDirection < 1 ? TEX_HEAD_LEFT : TEX_HEAD_RIGHT]);
    if (FAILED(lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, m_Head, 4, 0)))
        nResult = 0;
    lpDevice->SetTexture(0, s_lpTextures[m_nColor][TEX_BODY]);
    if (m_nCount >= 3 && FAILED(lpDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_LVERTEX, m_Body, m_nCount, 0)))
        nResult = 0;
    lpDevice->SetTexture(0, nullptr);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    return nResult;
}

float CEBLaserEx::GetBeamRow() const
{
    return -m_vOrigin.y + m_fViewOffset + kHitLowering;
}

// Three bands from the head's length and 30 px beyond the origin to the head's far end: 100 px of
// half height 80, 100 px of 90, the rest 110 (times the width scale), tested far band first.
int CEBLaserEx::HitsBox(float fLeft, float fTop, float fRight, float fBottom)
{
    const float fDir = m_nDirection >= 1 ? 1.0f : -1.0f;
    const float fStart = m_vOrigin.x + fDir * (m_fHeadLength + kBandGap);
    const float fFar = m_fEndX + fDir * m_fHeadLength;
    const float fRow = GetBeamRow();
    for (int i = 2; i >= 0; i--) {
        const float a = fStart + fDir * kBandLength * (float)i;
        float b = i == 2 ? fFar : fStart + fDir * kBandLength * (float)(i + 1);
        b = fDir > 0.0f ? std::min(b, fFar) : std::max(b, fFar);
        if (fDir * (b - a) < 0.0f)
            continue;
        const float fLo = std::min(a, b), fHi = std::max(a, b);
        const float fHalf = kBandHalf[i] * m_fScale;
        const D3DVECTOR band[4] = {{{fLo}, {fRow - fHalf}, {0.0f}},
                                   {{fHi}, {fRow - fHalf}, {0.0f}},
                                   {{fHi}, {fRow + fHalf}, {0.0f}},
                                   {{fLo}, {fRow + fHalf}, {0.0f}}};
        CDebugPrim::GetInstance()->AddQuad(kDebugLayerBit, band, kDebugColor, 1.0f);
        if (fHi < fLeft || fLo > fRight)
            continue;
        if (fTop < fRow + fHalf && fBottom >= fRow - fHalf)
            return 1;
    }
    return 0;
}

int CEBLaserEx::HitByPlayer(CStage*, CCrushable* pPlayer)
{
    if (m_bIdle || !pPlayer || pPlayer->m_nCategory != CRUSH_PLAYER)
        return 0;
    IStagePlayer* pHer = static_cast<IStagePlayer*>(pPlayer);
    RECT rc;
    pHer->GetDamageRect(&rc);
    // A heroine who is out of play has no box.
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return 0;
    if (!HitsBox((float)rc.left, (float)rc.top + m_fViewOffset, (float)rc.right, (float)rc.bottom + m_fViewOffset))
        return 0;
    pHer->Damage(EBLASER_DAMAGE);
    return 1;
}

// ---- The turned beam ------------------------------------------------------------------------------

// Measured along the beam's axis from the origin and across it, so no slope is ever divided by.
int CEBLaserDx::HitsPoint(float x, float fRow)
{
    const float fDir = m_nDirection >= 1 ? 1.0f : -1.0f;
    const float ax = fDir * std::cos(m_fAngle), ay = -fDir * std::sin(m_fAngle);
    const float dx = x - m_vOrigin.x, dy = fRow - GetBeamRow();
    const float fAlong = dx * ax + dy * ay;
    const float fAcross = std::fabs(dx * ay - dy * ax);
    const float fLength = std::fabs(m_fEndX - m_vOrigin.x);
    CDebugPrim::GetInstance()->AddPoint(kDebugLayerBit, D3DVECTOR{{x}, {fRow}, {0.0f}}, kDebugColor, 4.0f);
    return fAlong >= 0.0f && fAlong <= fLength && fAcross <= m_fScale * m_fWidth * 0.5f;
}

int CEBLaserDx::HitByPlayer(CStage*, CCrushable* pPlayer)
{
    if (m_bIdle || !pPlayer || pPlayer->m_nCategory != CRUSH_PLAYER)
        return 0;
    IStagePlayer* pHer = static_cast<IStagePlayer*>(pPlayer);
    RECT rc;
    pHer->GetDamageRect(&rc);
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return 0;
    const float cx = ((float)rc.left + (float)rc.right) * 0.5f;
    const float cy = ((float)rc.top + (float)rc.bottom) * 0.5f + m_fViewOffset;
    if (!HitsPoint(cx, cy))
        return 0;
    pHer->Damage(EBLASER_DAMAGE);
    return 1;
}
