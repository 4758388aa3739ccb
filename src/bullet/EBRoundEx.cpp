#include "bullet/EBRoundEx.h"

#include <algorithm>
#include <cmath>

#include "engine/AppTimer.h"

namespace {

const float kFullTurn = 6.28f;
const float kDefaultAngles[6] = {0.0f, 1.0466667f, 2.0933335f, 3.14f, 4.186667f, 5.2333336f};

} // namespace

CEBRoundEx::CEBRoundEx()
{
    m_Turn = ACCINFO{};
    SetDirections(6, kDefaultAngles, nullptr);
    ACCINFO speed{};
    speed.Set(2.0f, 0.5f, 0.0f, 0.0f, 0);
    SetSpeedInfo(speed);
    m_bIdle = 1;
}

CEBRoundEx::~CEBRoundEx()
{
    Release();
}

int CEBRoundEx::LoadShots(IDirect3DDevice7* lpDevice)
{
    int nResult = 1;
    for (CEBBigBullet& shot : m_Shots)
        nResult &= shot.Load(lpDevice);
    return nResult;
}

void CEBRoundEx::Release()
{
    Stop();
    for (CEBBigBullet& shot : m_Shots)
        shot.Release();
    m_Sprite.Release();
}

int CEBRoundEx::Load(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpPicture)
{
    if (!lpPicture || !m_Sprite.Create(lpDevice, lpPicture, nullptr))
        return 0;
    for (CEBBigBullet& shot : m_Shots)
        shot.SetSprite(lpDevice, &m_Sprite);
    return 1;
}

void CEBRoundEx::SetDirections(int nCount, const float* pAngles, const float* pOffsetsY)
{
    m_nCount = std::clamp(nCount, 0, EBROUND_DIRECTIONS);
    for (int i = 0; i < m_nCount; i++) {
        m_fAngles[i] = pAngles ? pAngles[i] : 0.0f;
        m_fOffsetsY[i] = pOffsetsY ? pOffsetsY[i] : 0.0f;
    }
}

void CEBRoundEx::SetSpeedInfo(const ACCINFO& speed)
{
    for (CEBBigBullet& shot : m_Shots)
        shot.SetSpeedInfo(&speed);
}

void CEBRoundEx::SetCurve(CEBBigBullet::PFNCURVE pfnCurve)
{
    for (CEBBigBullet& shot : m_Shots)
        shot.SetCurve(pfnCurve);
}

// Shot after shot of the 54 in turn, whether or not the one taken is still flying.
void CEBRoundEx::Shoot(int nDirection)
{
    CEBBigBullet& shot = m_Shots[m_nNextShot];
    shot.SetAngle(m_fAngles[nDirection] - m_fTurnAngle);
    shot.SetPosition(D3DVECTOR{{m_vPos.x}, {m_vPos.y + m_fOffsetsY[nDirection]}, {m_vPos.z}});
    shot.Fire();
    m_nNextShot = (m_nNextShot + 1) % EBROUND_SHOTS;
}

int CEBRoundEx::EmitAll()
{
    for (int i = 0; i < m_nCount; i++)
        Shoot(i);
    return m_nCount;
}

// Only the eight-direction order is fixed; a direction beyond the count is not shot.
int CEBRoundEx::EmitInterleaved()
{
    const int k = m_nStepCounter;
    const int nDirection = k / 4 + 2 * (k % 4);
    if (nDirection >= m_nCount)
        return 0;
    Shoot(nDirection);
    return 1;
}

int CEBRoundEx::Fire()
{
    Stop();
    m_nNextShot = 0;
    m_bEmitting = 1;
    m_Turn.Restart();
    m_fTurnAngle = 0.0f;
    m_nStepCounter = 0;
    m_dwInterval = 0;
    m_dwLastStep = CAppTimer::GetElapsed(0);
    return JoinRegistries(nullptr);
}

void CEBRoundEx::Stop()
{
    for (CEBBigBullet& shot : m_Shots)
        shot.Stop();
    LeaveRegistries(nullptr);
}

void CEBRoundEx::Move()
{
    if (m_bIdle)
        return;
    // Without directions there is no step to take (nor a count to wrap the step counter by).
    if (m_bEmitting && m_nCount > 0) {
        const DWORD dwNow = CAppTimer::GetElapsed(0);
        if (dwNow - m_dwLastStep > m_dwInterval) {
            (this->*m_pfnStep)();
            m_nStepCounter = (m_nStepCounter + 1) % m_nCount;
            m_dwInterval = m_dwStepInterval;
            m_dwLastStep = dwNow;
        }
    }
    if (m_bEmitting) {
        m_fTurnAngle = std::fmod(m_fTurnAngle + m_Turn.fValue, kFullTurn);
        if (m_fTurnAngle < 0.0f)
            m_fTurnAngle += kFullTurn;
        m_Turn.Step();
    }
    // Emitting or not, nothing left flying ends it. Its owner fires it after the frame's moves, so
    // its first volley always comes before it is asked this.
    for (CEBBigBullet& shot : m_Shots) {
        if (!shot.IsIdle())
            return;
    }
    Stop();
}
