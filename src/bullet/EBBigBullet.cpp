#include "bullet/EBBigBullet.h"

#include <cmath>

#include "engine/Param.h"
#include "engine/RenderState.h"
#include "platform/d3d/D3DX.h"

namespace {

const float kHitLowering = 16.0f;

float s_fBigSpeed = 6.5f;

} // namespace

CSprite& CEBBigBullet::GetSharedSprite()
{
    static CSprite s_Sprite;
    return s_Sprite;
}

int CEBBigBullet::LoadShared(IDirect3DDevice7* lpDevice)
{
    s_fBigSpeed = GetParamFloat("ENEMY_BULLET_SPEED", 2, 6.5f);
    return GetSharedSprite().CreateFromFile(lpDevice, EBBIGBULLET_PICTURE_PATH, nullptr);
}

void CEBBigBullet::ReleaseShared()
{
    GetSharedSprite().Release();
}

float CEBBigBullet::GetDefaultSpeed()
{
    return s_fBigSpeed;
}

float CEBBigBullet::DefaultCurve(int)
{
    return 1.0f;
}

CEBBigBullet::CEBBigBullet()
{
    m_Speed = ACCINFO{};
    m_Speed.fValue = s_fBigSpeed;
    m_Speed.fStart = s_fBigSpeed;
    m_bIdle = 1;
}

CEBBigBullet::~CEBBigBullet()
{
    Stop();
    Release();
}

// The picture is ready as soon as it is made: there is no first draw to wait for.
int CEBBigBullet::Load(IDirect3DDevice7*)
{
    if (!GetSharedSprite().GetTexture())
        return 0;
    GetSharedSprite().GetSize(&m_nWidth, &m_nHeight);
    return 1;
}

void CEBBigBullet::SetSprite(IDirect3DDevice7*, CSprite* pSprite)
{
    if (!pSprite)
        return;
    pSprite->GetSize(&m_nWidth, &m_nHeight);
    m_pSprite = pSprite;
    m_bExternalSprite = 1;
}

int CEBBigBullet::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByEnemyBullet(pStage, this) : 0;
}

void CEBBigBullet::GetQuad(D3DVECTOR* pOut)
{
    float fHw = (float)(m_nWidth / 2), fHh = (float)(m_nHeight / 2);
    if (m_bExternalSprite) {
        fHw *= 0.5f;
        fHh *= 0.5f;
    }
    MakeTruncQuad(pOut, m_vPos.x, m_vPos.y, fHw, fHh);
}

void CEBBigBullet::GetHitQuad(D3DVECTOR* pOut)
{
    if (m_bExternalSprite)
        GetQuad(pOut);
    else
        CEBulletPart::GetHitQuad(pOut);
    for (int i = 0; i < 4; i++)
        pOut[i].y += m_fViewOffset + kHitLowering;
}

int CEBBigBullet::Fire()
{
    Stop();
    m_Speed.fValue = m_Speed.fStart;
    m_Speed.nReached = 0;
    m_nFrameCount = 0;
    return JoinRegistries(this);
}

void CEBBigBullet::Stop()
{
    LeaveRegistries(this);
}

void CEBBigBullet::Move()
{
    if (m_bIdle)
        return;
    m_vPos.x += std::cos(m_fAngle) * m_Speed.fValue;
    m_vPos.y += std::sin(m_fAngle) * m_Speed.fValue;
    m_Speed.Step();
    m_nFrameCount++;
    const float w = (float)m_nWidth, h = (float)m_nHeight;
    const float fRow = -m_vPos.y;
    if (!(-w <= m_vPos.x && m_vPos.x <= w + 640.0f && -h <= fRow && fRow <= h + 480.0f))
        Stop();
}

int CEBBigBullet::Render3D(IDirect3DDevice7* lpDevice)
{
    if (m_bIdle)
        return 1;
    const float fScale = m_pfnCurve ? m_pfnCurve(m_nFrameCount) : 1.0f;
    D3DXMATRIX mMove, mScale, mLocal;
    D3DXMatrixTranslation(&mMove, m_vPos.x, m_vPos.y, m_vPos.z);
    D3DXMatrixScaling(&mScale, fScale, fScale, 1.0f);
    D3DXMatrixMultiply(&mLocal, &mScale, &mMove);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    DWORD dwZ = 0;
    lpDevice->GetRenderState(D3DRENDERSTATE_ZENABLE, &dwZ);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    CSprite* pSprite = m_bExternalSprite && m_pSprite ? m_pSprite : &GetSharedSprite();
    pSprite->Draw(lpDevice, &mLocal);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, dwZ);
    return 1;
}
