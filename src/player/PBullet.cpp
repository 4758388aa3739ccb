#include "player/PBullet.h"

#include <bit>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/DSurface.h"
#include "engine/Log.h"
#include "engine/PCMManagerTask.h"
#include "engine/Param.h"
#include "engine/RenderState.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "platform/d3d/D3DX.h"
#include "stage/ObjectLabel.h"

IDirectDrawSurface7* CPBullet::s_lpVulcan[PBULLET_KINDS][PBULLET_LEVELS] = {};
IDirectDrawSurface7* CPBullet::s_lpMuzzle[PBULLET_KINDS][PBULLET_MUZZLE_FRAMES] = {};
int CPBullet::s_bLoaded = 0;

namespace {

// Hit boxes are tested 16 px below where the pictures are drawn, as the enemies' own boxes are.
const float kHitLowering = 16.0f;
const DWORD kMuzzleHideMs = 51;

void FreeSlotData(PBULLETSLOT* pSlot)
{
    *pSlot = PBULLETSLOT{};
    pSlot->bInactive = 1;
}

} // namespace

CPBullet::CPBullet() : IPlayerBullet()
{
    for (PBULLETSLOT& slot : m_Slots)
        FreeSlotData(&slot);
    MakeQuadVertices(0.0f, 0.0f, m_BulletQuad);
    MakeQuadVertices((float)PBULLET_MUZZLE_SIZE, (float)PBULLET_MUZZLE_SIZE, m_MuzzleQuad);
}

CPBullet::~CPBullet()
{
    Release();
}

// ---- Shared pictures ----------------------------------------------------------------------------

int CPBullet::LoadImages(IDirect3DDevice7* lpDevice)
{
    ReleaseImages();
    IDirectDrawSurface7* lpVulcan = LoadBitmapSurface(lpDevice, VULCAN_IMAGE_PATH, MEM_SYSTEM);
    IDirectDrawSurface7* lpFire = LoadBitmapSurface(lpDevice, GUNFIRE_IMAGE_PATH, MEM_SYSTEM);
    int bOk = lpVulcan && lpFire;
    for (int k = 0; k < PBULLET_KINDS && bOk; k++) {
        for (int l = 0; l < PBULLET_LEVELS; l++) {
            RECT rc = {PBULLET_CELL_WIDTH * l, PBULLET_CELL_HEIGHT * k, PBULLET_CELL_WIDTH * (l + 1),
                       PBULLET_CELL_HEIGHT * (k + 1)};
            s_lpVulcan[k][l] = CreateSurfaceCopyByDevice(lpDevice, lpVulcan, &rc, MEM_SYSTEM);
            bOk = bOk && s_lpVulcan[k][l];
        }
        for (int f = 0; f < PBULLET_MUZZLE_FRAMES; f++) {
            RECT rc = {PBULLET_MUZZLE_SIZE * f, PBULLET_MUZZLE_SIZE * k, PBULLET_MUZZLE_SIZE * (f + 1),
                       PBULLET_MUZZLE_SIZE * (k + 1)};
            s_lpMuzzle[k][f] = CreateTextureFromSurface(lpDevice, lpFire, &rc, 0);
            bOk = bOk && s_lpMuzzle[k][f];
        }
    }
    SafeRelease(lpVulcan);
    SafeRelease(lpFire);
    s_bLoaded = 1;
    return bOk ? 1 : 0;
}

void CPBullet::ReleaseImages()
{
    for (auto& kind : s_lpVulcan)
        for (IDirectDrawSurface7*& lp : kind)
            SafeRelease(lp);
    for (auto& kind : s_lpMuzzle)
        for (IDirectDrawSurface7*& lp : kind)
            SafeRelease(lp);
    s_bLoaded = 0;
}

namespace {

// One of the shared pictures; null (and the message) before they are loaded, null out of range.
IDirectDrawSurface7* PickImage(int bLoaded, IDirectDrawSurface7* const* pTable, int nCount, int nKind, int nIndex,
                               const char* pszMissing)
{
    if (!bLoaded) {
        DebugPrintf(pszMissing, nKind, nIndex);
        return nullptr;
    }
    if (nKind < 0 || nKind >= PBULLET_KINDS || nIndex < 0 || nIndex >= nCount)
        return nullptr;
    return pTable[nKind * nCount + nIndex];
}

} // namespace

IDirectDrawSurface7* CPBullet::GetVulcanImage(int nKind, int nLevel)
{
    return PickImage(s_bLoaded, &s_lpVulcan[0][0], PBULLET_LEVELS, nKind, nLevel,
                     "ERROR 30 : マシンガン画像の準備ができていません [kind=%d level=%d]\n");
}

IDirectDrawSurface7* CPBullet::GetMuzzleImage(int nKind, int nFrame)
{
    return PickImage(s_bLoaded, &s_lpMuzzle[0][0], PBULLET_MUZZLE_FRAMES, nKind, nFrame,
                     "ERROR 29 : 銃口画像の準備ができていません [kind=%d frame=%d]\n");
}

// ---- The set ------------------------------------------------------------------------------------

int CPBullet::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    m_fHitRatioY = GetParamFloat("SHOT_HRR_Y", 0, 0.8f);
    IDirectDrawSurface7* lpCell = GetVulcanImage(0, 0);
    if (!lpCell)
        return 0;
    int w = 0, h = 0;
    GetSurfaceSize(lpCell, &w, &h);
    m_fWidth = (float)w;
    m_fHeight = (float)h;
    m_lpPicture = CreateTextureFromSurface(lpDevice, lpCell, nullptr, 0);
    MakeQuadVertices(m_fWidth, m_fHeight, m_BulletQuad);
    MakeQuadVertices((float)PBULLET_MUZZLE_SIZE, (float)PBULLET_MUZZLE_SIZE, m_MuzzleQuad);
    if (m_nLevel >= PBULLET_LEVEL_MIN && m_nLevel <= PBULLET_LEVEL_MAX)
        SetLevel(m_nLevel);
    Register();
    return m_lpPicture ? 1 : 0;
}

void CPBullet::Release()
{
    SafeRelease(m_lpPicture);
    CCrushableSet::Unregister(this);
}

void CPBullet::Register()
{
    CCrushableSet::Register(this);
    CScrollableSet::Register(this);
}

void CPBullet::Reset()
{
    for (PBULLETSLOT& slot : m_Slots)
        FreeSlotData(&slot);
    m_dwActive = 0;
    m_bMuzzleHidden = 1;
    m_nMuzzleFrame = 0;
}

void CPBullet::SetLevel(int nLevel)
{
    m_nLevel = nLevel;
    if (nLevel < PBULLET_LEVEL_MIN || nLevel > PBULLET_LEVEL_MAX || !m_lpPicture)
        return;
    IDirectDrawSurface7* lpCell = GetVulcanImage(m_nKind, nLevel - PBULLET_LEVEL_MIN);
    if (lpCell)
        CopySurfacePixels(m_lpPicture, 0, 0, lpCell, 0, 0, (int)m_fWidth, (int)m_fHeight);
}

int CPBullet::GetPower()
{
    return m_bDoublePower ? m_nLevel * 2 : m_nLevel;
}

int CPBullet::CountFlying() const
{
    return std::popcount(m_dwActive);
}

void CPBullet::Fire()
{
    for (int i = 0; i < PBULLET_SLOTS; i++) {
        PBULLETSLOT& slot = m_Slots[i];
        if (!slot.bInactive)
            continue;
        slot.bInactive = 0;
        slot.vPos.x = m_vMuzzle.x + m_vDrift.x;
        slot.vPos.y = m_vMuzzle.y + m_vDrift.y - 3.0f;
        slot.vPos.z = m_vMuzzle.z + m_vDrift.z;
        slot.vPrev = slot.vPos;
        slot.vOffset = D3DVECTOR{};
        slot.fAngle = m_fShotAngle;
        slot.fVelX = cosf(m_fShotAngle) * m_fSpeed;
        slot.fVelY = sinf(m_fShotAngle) * m_fSpeed;
        m_dwActive |= 1u << i;
        g_PCMManagerTask.Play(SHOT_SOUND_PATH);
        break;
    }
    m_vFlash = m_vMuzzle;
    m_fMuzzleAngle = m_fShotAngle;
    m_nMuzzleFrame = 0;
    m_bMuzzleHidden = 0;
    m_dwLastFire = CAppTimer::GetElapsed(0);
}

void CPBullet::FreeSlot(int nSlot)
{
    FreeSlotData(&m_Slots[nSlot]);
    m_dwActive &= ~(1u << nSlot);
}

// Bullets keep view positions: one leaves once its centre is 50 px past the right edge or above the
// top, where no part of its picture shows.
void CPBullet::Update()
{
    for (int i = 0; i < PBULLET_SLOTS; i++) {
        PBULLETSLOT& slot = m_Slots[i];
        if (slot.bInactive)
            continue;
        slot.vPrev = slot.vPos;
        slot.vPos.x += slot.fVelX;
        slot.vPos.y += slot.fVelY;
        if (slot.vPos.x - 50.0f > (float)SCREEN_WIDTH || slot.vPos.y - 50.0f > 0.0f)
            FreeSlot(i);
    }
    const DWORD dwSince = CAppTimer::GetElapsed(0) - m_dwLastFire;
    if (dwSince > m_dwMuzzleTime)
        m_nMuzzleFrame = 1;
    if (dwSince >= kMuzzleHideMs)
        m_bMuzzleHidden = 1;
}

// ---- Drawing ------------------------------------------------------------------------------------

void CPBullet::DrawQuad(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpTexture, const D3DLVERTEX* pQuad, float x,
                        float y, float fAngle)
{
    D3DXMATRIX mRot, mMove, mLocal, mWorld;
    D3DXMatrixRotationZ(&mRot, fAngle);
    D3DXMatrixTranslation(&mMove, x, y, 0.0f);
    D3DXMatrixMultiply(&mLocal, &mRot, &mMove);
    D3DMATRIX mSaved;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
    D3DXMatrixMultiply(&mWorld, &mLocal, &mSaved);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    lpDevice->SetTexture(0, lpTexture);
    lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, const_cast<D3DLVERTEX*>(pQuad), 4, 0);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mSaved);
}

int CPBullet::Render(IDirect3DDevice7* lpDevice)
{
    if (!lpDevice)
        return 0;
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    for (int i = 0; i < PBULLET_SLOTS && m_lpPicture; i++) {
        const PBULLETSLOT& slot = m_Slots[i];
        if (!slot.bInactive)
            DrawQuad(lpDevice, m_lpPicture, m_BulletQuad, slot.vPos.x, slot.vPos.y, slot.fAngle);
    }
    if (!m_bMuzzleHidden) {
        IDirectDrawSurface7* lpFlash = s_bLoaded ? GetMuzzleImage(m_nKind, m_nMuzzleFrame) : nullptr;
        if (lpFlash)
            DrawQuad(lpDevice, lpFlash, m_MuzzleQuad, m_vMuzzle.x, m_vMuzzle.y, m_fMuzzleAngle);
    }
    lpDevice->SetTexture(0, nullptr);
    return 1;
}

// ---- Hits ---------------------------------------------------------------------------------------

void CPBullet::GetSlotQuad(int nSlot, D3DVECTOR* pQuad) const
{
    const PBULLETSLOT& slot = m_Slots[nSlot];
    const float cx = slot.vPos.x + slot.vOffset.x;
    const float cy = -(slot.vPos.y + slot.vOffset.y);
    const float hw = m_fWidth / 2.0f;
    const float hh = m_fHeight * m_fHitRatioY / 2.0f;
    pQuad[0] = D3DVECTOR{cx - hw, cy - hh, 0.0f};
    pQuad[1] = D3DVECTOR{cx + hw, cy - hh, 0.0f};
    pQuad[2] = D3DVECTOR{cx + hw, cy + hh, 0.0f};
    pQuad[3] = D3DVECTOR{cx - hw, cy + hh, 0.0f};
}

RECT CPBullet::GetSlotRect(int nSlot) const
{
    D3DVECTOR quad[4];
    GetSlotQuad(nSlot, quad);
    RECT rc;
    GetQuadRect(&rc, quad);
    return rc;
}

int CPBullet::FindHit(const RECT* prcOther, const CELLMASK* pMaskOther, const D3DVECTOR* pQuadOther) const
{
    for (DWORD dwMask = m_dwActive; dwMask; dwMask &= dwMask - 1) {
        const int i = std::countr_zero(dwMask);
        const RECT rc = GetSlotRect(i);
        if (prcOther && !IsRectOverlap(rc, *prcOther))
            continue;
        if (pMaskOther) {
            CELLMASK mask;
            GetRectCellMask(&mask, rc);
            if (!IsCellMaskOverlap(mask, *pMaskOther))
                continue;
        }
        D3DVECTOR quad[4];
        GetSlotQuad(i, quad);
        const float cx = (quad[0].x + quad[2].x) / 2.0f;
        const float cy = (quad[0].y + quad[2].y) / 2.0f;
        const float px[5] = {quad[0].x, quad[1].x, quad[2].x, quad[3].x, cx};
        const float py[5] = {quad[0].y, quad[1].y, quad[2].y, quad[3].y, cy};
        for (int k = 0; k < 5; k++) {
            if (IsPointInQuad(pQuadOther, px[k], py[k] + kHitLowering))
                return i;
        }
    }
    return -1;
}

int CPBullet::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByPlayerBullet(pStage, this) : 0;
}

// The first bullet whose box meets the quad is spent; 1 then.
int CPBullet::SpendOnQuad(const D3DVECTOR* pQuad)
{
    RECT rc;
    GetQuadRect(&rc, pQuad);
    const int nSlot = FindHit(&rc, nullptr, pQuad);
    if (nSlot < 0)
        return 0;
    FreeSlot(nSlot);
    return 1;
}

int CPBullet::HitByEnemyPart(CStage*, CCrushable* pOther)
{
    IEnemyPart* pPart = pOther ? pOther->GetEnemyPart() : nullptr;
    if (!pPart)
        return 0;
    D3DVECTOR quad[4];
    pPart->GetHitQuad(quad);
    return SpendOnQuad(quad);
}

int CPBullet::HitByEnemyBullet(CStage*, CCrushable* pOther)
{
    if (!pOther || pOther->m_nCategory != CRUSH_ENEMY_BULLET)
        return 0;
    D3DVECTOR quad[4];
    static_cast<IEnemyBullet*>(pOther)->GetHitQuad(quad);
    return SpendOnQuad(quad);
}

int CPBullet::HitByLabel(CStage* pStage, CCrushable* pOther)
{
    CObjectLabel* pLabel = pOther ? pOther->GetObjectLabel() : nullptr;
    if (!pLabel)
        return 0;
    CELLMASK mask;
    HITQUAD quad;
    pLabel->GetHitCellMask(&mask);
    pLabel->GetHitQuad(&quad);
    const int nSlot = FindHit(nullptr, &mask, quad.v);
    if (nSlot < 0)
        return 0;
    const int nResult = pLabel->HitByPlayerBullet(pStage, this);
    if (nResult)
        FreeSlot(nSlot);
    return nResult;
}
