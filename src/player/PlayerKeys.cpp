// The heroine's keys: movement, the two aim machines, the gun, the double tap, the jump and the key
// record. Every key test reads the frame's key code, live or replayed, through the key map.
#include <cmath>
#include <cstdio>

#include "engine/AppTimer.h"
#include "engine/FPSChar.h"
#include "engine/PCMManagerTask.h"
#include "engine/Param.h"
#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "platform/win/Win.h"
#include "player/Player.h"

namespace {

const float kAimStep = 0.2617994f;
const float kAimMax = 0.7853982f;
const float kAimBackLimit = 0.001f;
// The shot leans with the slope by 18.4 degrees; the bike's own slope rotation is atan2(1/3, 1).
const float kSlopeShot = 0.3211405823669566f;
const float kDropSpeed = -5.0f;
const float kRiseCap = 5.0f;

const float kPointMin = 0.017453292f;
const float kPointMid = 0.3926991f;
const float kPointMax = 0.7679449f;

const float kFlightMinLength = 0.01f;
const float kFlightLeft = 32.0f, kFlightRight = 608.0f, kFlightTop = 64.0f, kFlightBottom = 544.0f;
const float kEdgeMargin = 32.0f;

const char* const kJumpVoice = ".\\GameData\\System\\CvZorvaJump.wav";

// Which way the flight box lies from v on one axis: +1 below fLo, -1 above fHi, 0 inside.
float TowardBox(float v, float fLo, float fHi)
{
    return v < fLo ? 1.0f : (v > fHi ? -1.0f : 0.0f);
}

// A move on one axis stops at the box's edge, and one from outside never goes further out.
float ClipToBox(float v, float d, float fLo, float fHi)
{
    const float fMin = v < fLo ? v : fLo;
    const float fMax = v > fHi ? v : fHi;
    if (v + d < fMin)
        return fMin - v;
    if (v + d > fMax)
        return fMax - v;
    return d;
}

} // namespace

int CPlayer::IsKey(int nVirtKey) const
{
    return CKeyRecorder::IsKeyDown(m_nKeyCode, nVirtKey);
}

int CPlayer::IsDropDown()
{
    return IsKey('X') && IsKey(VK_DOWN) ? 1 : 0;
}

void CPlayer::UpdateKeys(DWORD s)
{
    m_nShot = 0;
    if (s & PLAYER_STATE_PLAYBACK) {
        KEYRECINFO info;
        m_nKeyCode = CKeyRecorder::GetInstance()->GetPlayRecord(&info) ? (info.code & 0xFFFF) : 0;
    } else {
        m_nKeyCode = CKeyRecorder::GetMappedInput();
    }
    if (!(s & (PLAYER_STATE_AERIAL_WAIT | PLAYER_STATE_AERIAL_HOVER))) {
        UpdateMovement(s);
        if (IsKey('Z'))
            Shoot(s);
        UpdateDoubleTap();
        if (IsKey(VK_SHIFT) || IsKey('C'))
            FireSubWeapon(1);
        if (IsKey('X')) {
            if (!m_bJumpLatch) {
                Jump();
                m_bJumpLatch = 1;
            }
        } else {
            m_bJumpLatch = 0;
            if ((s & PLAYER_STATE_JUMP) && !(s & PLAYER_STATE_SLOPES) && !(s & PLAYER_STATE_AERIAL))
                CapRise();
        }
    }
    if (IsDebugKey())
        UpdateDebugKeys();
    RecordFrameKeys();
}

// D, A, S and F fire a sub-weapon at once and select it; Enter restarts her, E hurts her.
void CPlayer::UpdateDebugKeys()
{
    static const int kKeys[4] = {'D', 'A', 'S', 'F'};
    static const int kWeapons[4] = {SUBWEAPON_FIRE_STORM, SUBWEAPON_ION_SHIELD, SUBWEAPON_HAWK_WIND,
                                    SUBWEAPON_GROUND_WIPER};
    for (int i = 0; i < 4; i++) {
        if (!IsKey(kKeys[i]))
            continue;
        m_nSubWeapon = kWeapons[i];
        m_Cockpit.SelectSubWeapon(kWeapons[i]);
        FireWeapon(kWeapons[i]);
    }
    if (IsKey(VK_RETURN))
        Start(0, 0);
    if (IsKey('E'))
        Damage(100);
}

void CPlayer::RecordFrameKeys()
{
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    if (!(m_dwState & PLAYER_STATE_PLAYBACK)) {
        pRec->RecordKeys(m_nKeyCode, m_nShot, m_Cockpit.GetScore(), GetFPSChar().GetNumber());
        return;
    }
    KEYRECINFO info;
    if (pRec->GetPlayRecord(&info))
        snprintf(g_szFPSExtra, sizeof(g_szFPSExtra), "%02d", info.extra % 100);
}

// ---- Movement -----------------------------------------------------------------------------------

void CPlayer::UpdateMovement(DWORD s)
{
    if (s & PLAYER_STATE_AERIAL_FREE) {
        UpdateFreeFlight();
        return;
    }
    UpdateUpAim();
    UpdateDownAim();
    D3DVECTOR move{};
    if (IsKey(VK_LEFT)) {
        D3DVECTOR left{-m_fSpeed, 0.0f, 0.0f};
        ClipMove(&left);
        move.x += left.x;
        move.y += left.y;
    }
    if (IsKey(VK_RIGHT)) {
        D3DVECTOR right{m_fSpeed, 0.0f, 0.0f};
        ClipMove(&right);
        move.x += right.x;
        move.y += right.y;
    }
    m_vA.x += move.x;
    m_vA.y += move.y;
}

// The slope turns the move; then its horizontal part stops 32 px from either screen edge.
void CPlayer::ClipMove(D3DVECTOR* pMove)
{
    if (!(m_dwState & PLAYER_STATE_JUMP) && (m_dwState & (PLAYER_STATE_UP | PLAYER_STATE_DOWN))) {
        const float a = (m_dwState & PLAYER_STATE_UP) ? atan2f(-1.0f / 3.0f, 1.0f) : atan2f(1.0f / 3.0f, 1.0f);
        const float dx = pMove->x;
        pMove->x = dx * cosf(a);
        pMove->y = dx * sinf(a);
    }
    const float x = m_vPos.x;
    if (pMove->x < 0.0f) {
        const float fRoom = x - kEdgeMargin;
        pMove->x = fRoom < 0.0f ? 0.0f : (-pMove->x > fRoom ? -fRoom : pMove->x);
    } else if (pMove->x > 0.0f) {
        const float fRoom = (float)SCREEN_WIDTH - (x + kEdgeMargin);
        pMove->x = fRoom < 0.0f ? 0.0f : (pMove->x > fRoom ? fRoom : pMove->x);
    }
}

void CPlayer::UpdateFreeFlight()
{
    m_fVSpeed = 0.0f;
    float dx = 0.0f, dy = 0.0f;
    if (IsKey(VK_UP))
        dy -= m_fSpeed;
    if (IsKey(VK_DOWN))
        dy += m_fSpeed;
    if (IsKey(VK_LEFT))
        dx -= m_fSpeed;
    if (IsKey(VK_RIGHT))
        dx += m_fSpeed;
    // The launch's drift can carry her past the box's edge: there the box draws her back in on that
    // axis, whatever the keys say, or the keys of that axis could never move her again.
    const float x = m_vPos.x, y = m_vPos.y;
    const float fPullX = TowardBox(x, kFlightLeft, kFlightRight);
    const float fPullY = TowardBox(y, kFlightTop, kFlightBottom);
    if (fPullX != 0.0f)
        dx = fPullX * fabsf(m_fSpeed);
    if (fPullY != 0.0f)
        dy = fPullY * fabsf(m_fSpeed);
    const float fLength = sqrtf(dx * dx + dy * dy);
    if (fLength < kFlightMinLength)
        return;
    const float fScale = fabsf(m_fSpeed) / fLength;
    dx = ClipToBox(x, dx * fScale, kFlightLeft, kFlightRight);
    dy = ClipToBox(y, dy * fScale, kFlightTop, kFlightBottom);
    m_vA.x += dx;
    m_fVSpeed = -dy;
}

// ---- Aim ----------------------------------------------------------------------------------------

// Up held raises the aim (turning gradually while Z fires); released, it comes back to level.
void CPlayer::UpdateUpAim()
{
    const int bShot = IsKey('Z');
    DWORD& st = m_dwState;
    const DWORD aim = st & PLAYER_STATE_UPAIM_BITS;
    DWORD next = aim;
    if (IsKey(VK_UP)) {
        if (aim == PLAYER_STATE_AIM_LEVEL || aim == PLAYER_STATE_TURNING_BACK)
            next = bShot ? PLAYER_STATE_TURNING_UP : PLAYER_STATE_AIM_UP;
        else if (aim == PLAYER_STATE_TURNING_UP && !bShot)
            next = PLAYER_STATE_AIM_UP;
        m_nAimPose = PLAYER_AIM_UP;
    } else if (aim != PLAYER_STATE_AIM_LEVEL) {
        if (aim == PLAYER_STATE_AIM_UP || aim == PLAYER_STATE_TURNING_UP)
            next = bShot ? PLAYER_STATE_TURNING_BACK : PLAYER_STATE_AIM_LEVEL;
        else if (aim == PLAYER_STATE_TURNING_BACK && !bShot)
            next = PLAYER_STATE_AIM_LEVEL;
        m_nAimPose = PLAYER_AIM_LEVEL;
    }
    st = (st & ~PLAYER_STATE_UPAIM_BITS) | next;
}

void CPlayer::UpdateDownAim()
{
    const int bShot = IsKey('Z');
    DWORD& st = m_dwState;
    // She starts with no downward bit at all: that is level too.
    const DWORD aim = st & PLAYER_STATE_DOWNAIM_BITS;
    const bool bLevel = aim == 0 || aim == PLAYER_STATE_DAIM_LEVEL;
    DWORD next = aim;
    if (IsKey(VK_DOWN)) {
        if (bLevel || aim == PLAYER_STATE_TURNING_DBACK)
            next = bShot ? PLAYER_STATE_TURNING_DOWN : PLAYER_STATE_AIM_DOWN;
        else if (aim == PLAYER_STATE_TURNING_DOWN && !bShot)
            next = PLAYER_STATE_AIM_DOWN;
        m_nAimPose = PLAYER_AIM_DOWN;
    } else if (!bLevel) {
        if (aim == PLAYER_STATE_AIM_DOWN || aim == PLAYER_STATE_TURNING_DOWN)
            next = bShot ? PLAYER_STATE_TURNING_DBACK : PLAYER_STATE_DAIM_LEVEL;
        else if (aim == PLAYER_STATE_TURNING_DBACK && !bShot)
            next = PLAYER_STATE_DAIM_LEVEL;
        m_nAimPose = PLAYER_AIM_LEVEL;
    }
    st = (st & ~PLAYER_STATE_DOWNAIM_BITS) | next;
}

// One shot's step of the aim angle; a turn that reaches its end settles the machine.
void CPlayer::AdvanceAim()
{
    DWORD& st = m_dwState;
    const DWORD up = st & PLAYER_STATE_UPAIM_BITS;
    const DWORD down = st & PLAYER_STATE_DOWNAIM_BITS;
    if (up == PLAYER_STATE_TURNING_UP) {
        m_fAimAngle += kAimStep;
        if (m_fAimAngle >= kAimMax) {
            m_fAimAngle = kAimMax;
            st = (st & ~PLAYER_STATE_UPAIM_BITS) | PLAYER_STATE_AIM_UP;
        }
    } else if (up == PLAYER_STATE_AIM_UP) {
        m_fAimAngle = kAimMax;
    } else if (up == PLAYER_STATE_TURNING_BACK) {
        m_fAimAngle -= kAimStep;
        if (m_fAimAngle <= kAimBackLimit) {
            m_fAimAngle = 0.0f;
            st = (st & ~PLAYER_STATE_UPAIM_BITS) | PLAYER_STATE_AIM_LEVEL;
        }
    } else if (down == PLAYER_STATE_TURNING_DOWN) {
        m_fAimAngle -= kAimStep;
        if (m_fAimAngle <= -kAimMax) {
            m_fAimAngle = -kAimMax;
            st = (st & ~PLAYER_STATE_DOWNAIM_BITS) | PLAYER_STATE_AIM_DOWN;
        }
    } else if (down == PLAYER_STATE_AIM_DOWN) {
        m_fAimAngle = -kAimMax;
    } else if (down == PLAYER_STATE_TURNING_DBACK) {
        m_fAimAngle += kAimStep;
        if (m_fAimAngle >= -kAimBackLimit) {
            m_fAimAngle = 0.0f;
            st = (st & ~PLAYER_STATE_DOWNAIM_BITS) | PLAYER_STATE_DAIM_LEVEL;
        }
    } else {
        m_fAimAngle = 0.0f;
    }
}

int CPlayer::SelectGunPoint(DWORD dwState, float fAngle)
{
    const DWORD up = dwState & PLAYER_STATE_UPAIM_BITS;
    const DWORD down = dwState & PLAYER_STATE_DOWNAIM_BITS;
    if (up == PLAYER_STATE_AIM_UP)
        return 3;
    if (down == PLAYER_STATE_AIM_DOWN)
        return 6;
    const bool bTurning = up == PLAYER_STATE_TURNING_UP || up == PLAYER_STATE_TURNING_BACK ||
                          down == PLAYER_STATE_TURNING_DOWN || down == PLAYER_STATE_TURNING_DBACK;
    if (!bTurning)
        return 0;
    if (fAngle >= kPointMin && fAngle < kPointMid)
        return 1;
    if (fAngle >= kPointMid && fAngle <= kPointMax)
        return 2;
    if (fAngle > -kPointMid && fAngle <= -kPointMin)
        return 4;
    if (fAngle >= -kPointMax && fAngle <= -kPointMid)
        return 5;
    if (fAngle > kPointMax)
        return 3;
    if (fAngle < -kPointMax)
        return 6;
    return 0;
}

// ---- Gun, sub-weapon and jump -------------------------------------------------------------------

void CPlayer::Shoot(DWORD)
{
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_dwState & PLAYER_STATE_PLAYBACK) {
        KEYRECINFO info;
        if (!CKeyRecorder::GetInstance()->GetPlayRecord(&info) || info.shot == 0)
            return;
    } else if (dwNow - m_dwLastShot < m_dwShotInterval) {
        return;
    }
    AdvanceAim();
    const DWORD st = m_dwState;
    float fAngle = m_fAimAngle;
    if (!(st & PLAYER_STATE_JUMP)) {
        if (st & PLAYER_STATE_UP)
            fAngle += kSlopeShot;
        else if (st & PLAYER_STATE_DOWN)
            fAngle -= kSlopeShot;
    }
    const D3DVECTOR& point = GUNPOS[GetPose()][SelectGunPoint(st, m_fAimAngle)];
    m_PBullet.m_fShotAngle = fAngle;
    m_PBullet.SetMuzzle(D3DVECTOR{m_vPos.x - 100.0f + point.x, -(m_vPos.y - 160.0f + point.y), 0.0f});
    float fDrift = 0.0f;
    if ((st & PLAYER_STATE_UPAIM_BITS) != PLAYER_STATE_AIM_LEVEL)
        fDrift = (st & PLAYER_STATE_UP) ? 2.0f : (st & PLAYER_STATE_DOWN) ? 0.6f : 1.0f;
    else if (st & (PLAYER_STATE_AIM_DOWN | PLAYER_STATE_TURNING_DOWN | PLAYER_STATE_TURNING_DBACK))
        fDrift = (st & PLAYER_STATE_DOWN) ? -1.8f : -1.0f;
    m_PBullet.m_vDrift = D3DVECTOR{0.0f, fDrift, 0.0f};
    m_PBullet.Fire();
    m_nShot = 1;
    m_dwLastShot = dwNow;
}

// Z up, down, up and down again with at most 200 ms between the changes fires the sub-weapon.
void CPlayer::UpdateDoubleTap()
{
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    const int bZ = IsKey('Z');
    switch (m_nTapPhase) {
    case 0:
    case 1:
        if (!bZ) {
            m_nTapPhase = 2;
            m_dwTapStamp = dwNow;
        }
        break;
    case 2:
        if (bZ) {
            m_nTapPhase = 3;
            m_dwTapStamp = dwNow;
        }
        break;
    case 3:
        if (!bZ) {
            m_nTapPhase = 4;
            m_dwTapStamp = dwNow;
        } else if (dwNow - m_dwTapStamp > m_dwTapWindow) {
            m_nTapPhase = 0;
        }
        break;
    case 4:
        if (bZ)
            m_nTapPhase = 5;
        else if (dwNow - m_dwTapStamp > m_dwTapWindow)
            m_nTapPhase = 0;
        break;
    default:
        FireSubWeapon(1);
        m_nTapPhase = 0;
        break;
    }
}

int CPlayer::IsSubWeaponCharged() const
{
    return m_Cockpit.IsCharged();
}

void CPlayer::FireSubWeapon(int bManual)
{
    // The Ion Shield fires only by itself, when she is hit.
    if (bManual && m_nSubWeapon == SUBWEAPON_ION_SHIELD)
        return;
    if (!IsSubWeaponCharged())
        return;
    FireWeapon(m_nSubWeapon);
    m_Cockpit.RestartCharge();
}

// Each weapon leaves from her point in the 3D pass's y-up space; the Ground Wiper comes down from
// the left of the screen wherever she is. The charge is spent even when the shield is not loaded.
void CPlayer::FireWeapon(int nWeapon)
{
    switch (nWeapon) {
    case SUBWEAPON_ION_SHIELD:
        if (m_bShieldLoaded && m_SWeapon1b.IsFinished())
            StartShield();
        break;
    case SUBWEAPON_HAWK_WIND:
        m_SWeapon2.m_vOrigin = D3DVECTOR{m_vPos.x, 100.0f - m_vPos.y, 0.0f};
        m_SWeapon2.Start(m_nHawkVoice);
        m_nHawkVoice = (m_nHawkVoice + 1) % 9;
        break;
    case SUBWEAPON_FIRE_STORM:
        m_SWeapon3.m_vOrigin = D3DVECTOR{m_vPos.x, 100.0f - m_vPos.y, 0.0f};
        m_SWeapon3.Start();
        break;
    case SUBWEAPON_GROUND_WIPER:
        m_SWeapon4.m_vStartPoint = D3DVECTOR{45.0f, -400.0f, 0.0f};
        m_SWeapon4.Start();
        break;
    default:
        break;
    }
}

// The shield shows and the shield blink keeps hits off her for its length.
void CPlayer::StartShield()
{
    m_SWeapon1b.Start();
    if (!(m_dwState & PLAYER_STATE_SHIELD_BLINK)) {
        const DWORD dwNow = CAppTimer::GetElapsed(0);
        m_dwBlinkInterval = m_dwShieldBlink;
        m_dwBlinkToggle = dwNow;
        m_dwBlinkStart = dwNow;
        m_dwState |= PLAYER_STATE_SHIELD_BLINK;
    }
    PlaySoundFile(ION_SHIELD_SOUND_PATH);
}

int CPlayer::LoadWeapons(IDirect3DDevice7* lpDevice)
{
    int bOk = m_SWeapon3.Load(lpDevice);
    m_bShieldLoaded = m_SWeapon1b.Load(lpDevice);
    bOk &= m_bShieldLoaded;
    bOk &= m_SWeapon2.Load(lpDevice);
    bOk &= m_SWeapon4.Load(lpDevice);
    return bOk;
}

void CPlayer::StopWeapons()
{
    m_SWeapon3.Stop();
    m_SWeapon1b.Stop();
    m_SWeapon2.Stop();
    m_SWeapon4.Stop();
}

// The shield rides 20 px ahead of her middle.
void CPlayer::UpdateWeapons()
{
    m_SWeapon3.Update();
    m_SWeapon1b.m_vPos = D3DVECTOR{m_vPos.x + 20.0f, 50.0f - m_vPos.y, 0.0f};
    m_SWeapon1b.Update();
    m_SWeapon2.Update();
    m_SWeapon4.Update();
}

void CPlayer::Jump()
{
    if (m_dwState & PLAYER_STATE_JUMP)
        return;
    if (IsKey(VK_DOWN)) {
        m_fVSpeed = kDropSpeed;
    } else {
        m_fVSpeed = m_fJump;
        m_dwState &= ~PLAYER_STATE_SLOPES;
        g_PCMManagerTask.Play(kJumpVoice);
    }
    m_dwState |= PLAYER_STATE_JUMP;
}

void CPlayer::CapRise()
{
    if (m_fVSpeed > kRiseCap)
        m_fVSpeed = kRiseCap;
}
