// The heroine's pictures: bike and rider in the 2D pass, her weapons in the 3D pass.
#include "engine/AppTimer.h"
#include "engine/Log.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "player/Player.h"

namespace {

// The bike is drawn with its reference point 95 px from its left and 80 px from its top; the rider
// sits 20 px right of and 30 px above the bike.
const float kBikeLeft = 95.0f, kBikeTop = 80.0f;
const int kRiderX = 20, kRiderY = -30;

int BltKeyed(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSrc, int x, int y)
{
    if (!lpSrc)
        return 1;
    int w = 0, h = 0;
    GetSurfaceSize(lpSrc, &w, &h);
    RECT rcSrc, rcDest;
    GetClippedBltRects(x, y, w, h, &rcSrc, &rcDest);
    if (rcDest.right <= rcDest.left || rcDest.bottom <= rcDest.top)
        return 1;
    return lpDest->Blt(&rcDest, lpSrc, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr) == DD_OK ? 1 : 0;
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
    return bOk;
}

// The landing smoke, the miss explosion and the exhaust flame draw here once they exist.
int CPlayer::DrawEffects(IDirectDrawSurface7*)
{
    return 1;
}

int CPlayer::RenderWeapons(IDirect3DDevice7* lpDevice)
{
    if (!lpDevice) {
        RaiseRuntimeAssert("lpDevice", __FILE__, __LINE__);
        return 0;
    }
    if (m_dwState & PLAYER_STATE_MISS)
        return 1;
    // Fire Storm, Ion Shield, Hawk Wind, Ground Wiper and the hit effects follow the gun once they
    // exist.
    return m_PBullet.Render(lpDevice);
}

// The cockpit draws here once it exists.
int CPlayer::DrawCockpit(IDirectDrawSurface7*)
{
    return 1;
}
