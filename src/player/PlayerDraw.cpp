// The heroine's pictures: bike and rider in the 2D pass, her weapons in the 3D pass.
#include "engine/AppTimer.h"
#include "engine/Log.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "engine/WinMain.h"
#include "player/HudDraw.h"
#include "player/Player.h"

namespace {

// The bike is drawn with its reference point 95 px from its left and 80 px from its top; the rider
// sits 20 px right of and 30 px above the bike.
const float kBikeLeft = 95.0f, kBikeTop = 80.0f;
const int kRiderX = 20, kRiderY = -30;

int BltKeyed(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSrc, int x, int y)
{
    return BltKeyedCell(lpDest, lpSrc, nullptr, x, y);
}

} // namespace

int CPlayer::HeroinePose(int nPose)
{
    static const int kRider[PLAYER_POSES] = {3, 1, 0, 2};  // JUMP, FLAT, UP, DOWN
    return kRider[nPose];
}

int CPlayer::BikePose(int nPose)
{
    static const int kBike[PLAYER_POSES] = {0, 1, 0, 2};
    return kBike[nPose];
}

// The rows are the terrain's, which the stage's labels are drawn in without the camera offset.
int CPlayer::Draw(IDirectDrawSurface7* lpSurface, float)
{
    if (!lpSurface) {
        RaiseRuntimeAssert("lpSurface", __FILE__, __LINE__);
        return 0;
    }
    if (m_dwState & PLAYER_STATE_MISS) {
        int w = 0, h = 0;
        m_MissImage.GetSize(&w, &h);
        return BltKeyed(lpSurface, m_MissImage.GetSurface(), FloatToInt(m_vMissPos.x - (float)w / 2.0f),
                        FloatToInt(m_vMissPos.y - (float)h / 2.0f));
    }
    const int nPose = GetPose();
    const int bVisible = CAppTimer::IsPaused(0) ? 1 : m_bVisible;
    const int nCopy = bVisible ? 0 : 1;
    const int x = FloatToInt(m_vPos.x - kBikeLeft);
    const int y = FloatToInt(m_vPos.y - kBikeTop + m_fSink);
    int bOk = BltKeyed(lpSurface, m_lpBike[BikePose(nPose)][nCopy], x, y);
    const ANIMDESC* pFrame = m_pAnim[HeroinePose(nPose)][m_nAimPose];
    if (pFrame)
        bOk &= BltKeyed(lpSurface, bVisible ? pFrame->lpImage : pFrame->lpFlash, x + kRiderX, y + kRiderY);
    bOk &= m_LvUpPop.Draw(lpSurface);
    bOk &= m_DamagedPop.Draw(lpSurface);
    bOk &= m_SWeapon4.DrawCallIn(lpSurface);
    return bOk;
}

// Inside the stage's 3D scene of the main layer.
int CPlayer::DrawEffects(IDirectDrawSurface7*)
{
    if (!g_lpD3DDevice)
        return 1;
    int bOk = m_LandSmoke.Draw(g_lpD3DDevice);
    if (m_pEffects)
        bOk &= m_pEffects->RenderMiss(g_lpD3DDevice);
    bOk &= m_BackFire.Draw(g_lpD3DDevice);
    return bOk;
}

int CPlayer::RenderWeapons(IDirect3DDevice7* lpDevice)
{
    if (!lpDevice) {
        RaiseRuntimeAssert("lpDevice", __FILE__, __LINE__);
        return 0;
    }
    if (m_dwState & PLAYER_STATE_MISS)
        return 1;
    int bOk = m_PBullet.Render(lpDevice);
    bOk &= m_SWeapon3.Draw(lpDevice);
    bOk &= m_SWeapon1b.Draw(lpDevice);
    bOk &= m_SWeapon2.Draw(lpDevice);
    bOk &= m_SWeapon4.Draw(lpDevice);
    if (m_pEffects)
        bOk &= m_pEffects->RenderDamage(lpDevice);
    return bOk;
}

int CPlayer::DrawCockpit(IDirectDrawSurface7* lpSurface)
{
    return m_Cockpit.Draw(lpSurface);
}
