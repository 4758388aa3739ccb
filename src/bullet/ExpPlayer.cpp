#include "bullet/ExpPlayer.h"

namespace {

const float kEffectTilt = 0.785f;
const float kRingAngle = 1.57f;

} // namespace

// The ring's first draw would only warm a cache this device does not have: nothing is drawn here.
int CExpPlayer::Load(IDirect3DDevice7*)
{
    SetExpBombStyle1(&m_Explosion);
    m_Effect.SetOuterColor(1.0f, 1.0f, 1.0f);
    m_Effect.SetInnerColor(0.0f, 0.0f, 0.0f);
    m_Effect.SetParam(10.0f);
    m_Effect.SetFade(-0.03f);
    AddEffect(&m_Effect);
    D3DMATRIX mTilt;
    RVMMatRotationX(&mTilt, kEffectTilt);
    m_Effect.SetMatrix(mTilt);
    m_Ring.SetEmit(&CExpDamageEx::EmitRing);
    m_Effect.Reset();
    m_Effect.Stop();
    return 1;
}

void CExpPlayer::Start(float x, float y)
{
    Stop();
    m_fX = x;
    m_fY = y;
    m_fZ = 0.0f;
    m_Explosion.SetPosition(x, -y);
    m_Explosion.Start(0);
    m_Effect.SetPosition(x, -y);
    m_Effect.Reset();
    m_Ring.SetPoint(x, -y, 0.0f);
    m_Ring.SetAngle(kRingAngle);
    m_Ring.Start();
}

void CExpPlayer::Update()
{
    m_Effect.Update();
}

void CExpPlayer::Stop()
{
    m_Effect.Stop();
    m_Ring.Stop();
}

int CExpPlayer::Render(IDirect3DDevice7* lpDevice)
{
    const BOOL bEffect = RenderEffect(lpDevice, &m_Effect);
    const int bRing = m_Ring.Render(lpDevice);
    return bEffect && bRing ? 1 : 0;
}
