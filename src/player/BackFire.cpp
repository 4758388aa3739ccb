#include "player/BackFire.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Param.h"
#include "engine/RenderState.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextureUtil.h"
#include "player/WeaponDraw.h"

namespace {

// The landing smoke's slowest puffs at a spread of 100, in px per update: fast enough that the
// smoke leaves the bike's outline before it fades.
const float kSpreadSpeed = 3.0f;

const char* const kOffsetKeys[BACKFIRE_POSES] = {"BACKFIRE_UP", "BACKFIRE_FLAT", "BACKFIRE_DOWN", "BACKFIRE_JUMP"};
const float kOffsetDefaults[BACKFIRE_POSES][2] = {{-84.0f, -4.0f}, {-89.0f, 25.0f}, {-83.0f, 56.0f}, {-30.0f, -15.0f}};
// Frames of the sheet per pose: left, top, right, bottom of frame 0 and frame 1.
const RECT kFrames[BACKFIRE_POSES][2] = {
    {{0, 0, 100, 80}, {100, 0, 200, 80}},
    {{0, 80, 100, 160}, {100, 80, 200, 160}},
    {{0, 160, 100, 240}, {100, 160, 200, 240}},
    {{200, 0, 320, 120}, {200, 120, 320, 240}},
};

// A w x h quad hanging from its top-left corner (y up), half a pixel off for texel alignment.
void MakeCornerQuad(float w, float h, D3DLVERTEX* pQuad)
{
    MakeQuadVertices(w, h, pQuad);
    for (int i = 0; i < 4; i++) {
        pQuad[i].x += w / 2.0f - 0.5f;
        pQuad[i].y += -h / 2.0f - 0.5f;
    }
}

} // namespace

CBackFire::CBackFire()
{
    MakeCornerQuad(100.0f, 80.0f, m_Quad[0]);
    MakeCornerQuad(120.0f, 120.0f, m_Quad[1]);
    for (int p = 0; p < BACKFIRE_POSES; p++)
        m_vOffset[p] = D3DVECTOR{kOffsetDefaults[p][0], -kOffsetDefaults[p][1], 0.0f};
}

void CBackFire::Release()
{
    for (auto& pose : m_lpTexture) {
        SafeRelease(pose[0]);
        SafeRelease(pose[1]);
    }
}

int CBackFire::Load(IDirect3DDevice7* lpDevice)
{
    for (int p = 0; p < BACKFIRE_POSES; p++) {
        m_vOffset[p].x = GetParamFloat(kOffsetKeys[p], 0, kOffsetDefaults[p][0]);
        m_vOffset[p].y = -GetParamFloat(kOffsetKeys[p], 1, kOffsetDefaults[p][1]);
    }
    Release();
    IDirectDrawSurface7* lpSheet = LoadBitmapSurface(lpDevice, BACKFIRE_PATH, MEM_SYSTEM);
    if (!lpSheet)
        return 0;
    int bOk = 1;
    for (int p = 0; p < BACKFIRE_POSES; p++) {
        for (int f = 0; f < 2; f++) {
            m_lpTexture[p][f] = CreateTextureFromSurface(lpDevice, lpSheet, &kFrames[p][f], 0);
            bOk &= m_lpTexture[p][f] != nullptr;
        }
    }
    SafeRelease(lpSheet);
    return bOk;
}

void CBackFire::Start()
{
    m_dwFrameTime = 30;
    m_nFrame = 0;
    m_dwStamp = CAppTimer::GetElapsed(0);
    m_bStopped = 0;
}

void CBackFire::Update()
{
    if (m_bStopped)
        return;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwStamp > m_dwFrameTime) {
        m_nFrame ^= 1;
        m_dwStamp = dwNow;
    }
}

int CBackFire::DrawPose(IDirect3DDevice7* lpDevice, int nPose)
{
    const D3DVECTOR& off = m_vOffset[nPose];
    const D3DMATRIX m =
        ScaleRotateMove(1.0f, 1.0f, 0.0f, m_vOrigin.x + off.x, m_vOrigin.y + off.y - 3.0f, m_vOrigin.z);
    return DrawWeaponFan(lpDevice, m_lpTexture[nPose][m_nFrame], m_Quad[nPose == POSE_JUMP ? 1 : 0], m);
}

// In the air the level flame burns under the jump's big one.
int CBackFire::Draw(IDirect3DDevice7* lpDevice)
{
    if (m_bStopped || !lpDevice)
        return 1;
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    int bOk = 1;
    if (m_nPose == POSE_JUMP)
        bOk &= DrawPose(lpDevice, POSE_UP);
    return bOk & DrawPose(lpDevice, m_nPose);
}

// ---- Landing smoke ------------------------------------------------------------------------------

int CLandSmokeSW::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    int w = 0, h = 0;
    IDirectDrawSurface7* lpPicture = LoadBitmapSurface(lpDevice, LANDSMOKE_PATH, MEM_SYSTEM);
    if (!lpPicture)
        return 0;
    GetSurfaceSize(lpPicture, &w, &h);
    m_fTextureHalf = (float)w / 2.0f;
    m_lpTexture = CreateTextureFromSurface(lpDevice, lpPicture, nullptr, 0);
    SafeRelease(lpPicture);
    for (CSmokeSW& puff : m_Puffs) {
        puff.SetTexture(m_lpTexture);
        puff.SetColorJitter(0);
        puff.SetStartColor(0.7f, 0.7f, 0.68f);
        puff.SetColorStep(-0.025f);
        puff.SetQuadSize(w, h);
    }
    return m_lpTexture ? 1 : 0;
}

void CLandSmokeSW::Release()
{
    Stop();
    SafeRelease(m_lpTexture);
}

// The puffs leave backwards (to the left, the way the ground goes by) over a fan of the rotation,
// as fast as the spread says, and then drift.
void CLandSmokeSW::Start()
{
    const int n = std::clamp(m_nCount, 1, LANDSMOKE_PUFFS);
    for (int i = 0; i < LANDSMOKE_PUFFS; i++) {
        CSmokeSW& puff = m_Puffs[i];
        if (i >= n) {
            puff.Stop();
            continue;
        }
        const float a = 3.14f - m_fRotation * (float)i / (float)std::max(1, n - 1);
        const float fSpeed = m_fSpread / 100.0f * kSpreadSpeed * (1.0f + 0.5f * (float)(i % 3));
        m_fVel[i][0] = cosf(a) * fSpeed;
        m_fVel[i][1] = sinf(a) * fSpeed;
        puff.SetHalfSize(m_fTextureHalf * m_fScale);
        puff.Reset();
        puff.SetPosition(m_vPos.x, m_vPos.y, 0.0f);
    }
    m_bStopped = 0;
}

void CLandSmokeSW::Stop()
{
    for (CSmokeSW& puff : m_Puffs)
        puff.Stop();
    m_bStopped = 1;
}

void CLandSmokeSW::Update()
{
    if (m_bStopped)
        return;
    for (int i = 0; i < LANDSMOKE_PUFFS; i++) {
        CSmokeSW& puff = m_Puffs[i];
        if (puff.IsFinished())
            continue;
        m_fVel[i][0] += m_fDrift[0];
        m_fVel[i][1] += m_fDrift[1];
        const D3DVECTOR& p = puff.GetPosition();
        puff.SetPosition(p.x + m_fVel[i][0], p.y + m_fVel[i][1], 0.0f);
        puff.Update();
    }
    if (!CountShown())
        m_bStopped = 1;
}

int CLandSmokeSW::CountShown() const
{
    int n = 0;
    for (const CSmokeSW& puff : m_Puffs)
        n += !puff.IsFinished();
    return n;
}

int CLandSmokeSW::Draw(IDirect3DDevice7* lpDevice)
{
    if (m_bStopped || !lpDevice)
        return 1;
    for (CSmokeSW& puff : m_Puffs)
        puff.Draw(lpDevice);
    return 1;
}
