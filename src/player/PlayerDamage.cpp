// What changes the heroine's standing: hits, the blink that shields her after one, the level a hit
// costs, the miss, the aerial mode a stage event starts, experience, life and score.
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Geometry.h"
#include "engine/Param.h"
#include "engine/Sound.h"
#include "engine/Util.h"
#include "player/OptionIcon.h"
#include "player/Player.h"
#include "stage/Neighbours.h"

namespace {

const int kHitDamage = 5;
const float kMissRise = -15.0f;
const float kMissFall = 0.9f;
const float kLaunchSpeed = 16.0f;
const float kDriftStart = 3.0f;
const float kDriftStep = -0.09f;
const float kHoverY = 100.0f;

const char kMissVoice[] = ".\\GameData\\System\\CvZorvaMiss.wav";
const char kMissSound[] = ".\\GameData\\System\\PlayerDamage2.wav";
const char kHitSound[] = ".\\GameData\\System\\PlayerDamage1.wav";
const char kLevelUpVoice[] = ".\\GameData\\System\\CvLevelUp.wav";
const char kPowerUp[] = ".\\GameData\\System\\PowerUp.wav";
const char* const kHitVoices[3] = {".\\GameData\\System\\CvZorvaDamage1.wav", ".\\GameData\\System\\CvZorvaDamage2.wav",
                                   ".\\GameData\\System\\CvZorvaDamage3.wav"};
const int kVoiceCount = 9;

int SignOf(float f)
{
    return f > 0.0f ? 1 : (f < 0.0f ? -1 : 0);
}

// Both tests of a hit: the rectangles overlap, then the quads do.
int IsBoxHit(const D3DVECTOR* pQuadA, const D3DVECTOR* pQuadB)
{
    RECT rcA, rcB;
    GetQuadRect(&rcA, pQuadA);
    GetQuadRect(&rcB, pQuadB);
    return IsRectOverlap(rcA, rcB) && IsQuadOverlap(pQuadA, pQuadB);
}

} // namespace

// ---- Hits ---------------------------------------------------------------------------------------

int CPlayer::Collide(CStage* pStage, CCrushable* pOther)
{
    return pOther ? pOther->HitByPlayer(pStage, this) : 0;
}

// A shot that is out of play has no box (all its corners are zero) and never hits.
int CPlayer::HitByEnemyBullet(CStage*, CCrushable* pOther)
{
    if (!pOther || pOther->m_nCategory != CRUSH_ENEMY_BULLET)
        return 0;
    D3DVECTOR quadShot[4], quadSelf[4];
    static_cast<IEnemyBullet*>(pOther)->GetHitQuad(quadShot);
    RECT rcShot;
    GetQuadRect(&rcShot, quadShot);
    if (rcShot.left == rcShot.right || rcShot.top == rcShot.bottom)
        return 0;
    GetDamageQuad(quadSelf);
    if (!IsBoxHit(quadShot, quadSelf))
        return 0;
    Damage(kHitDamage);
    return 1;
}

int CPlayer::HitByEnemyPart(CStage*, CCrushable* pOther)
{
    IEnemyPart* pPart = pOther ? pOther->GetEnemyPart() : nullptr;
    if (!pPart || pPart->IsDead())
        return 0;
    D3DVECTOR quadPart[4], quadSelf[4];
    pPart->GetHitQuad(quadPart);
    GetDamageQuad(quadSelf);
    if (!IsBoxHit(quadPart, quadSelf))
        return 0;
    Damage(kHitDamage);
    return 1;
}

// ---- The damage box -----------------------------------------------------------------------------

const int* CPlayer::DamageBox() const
{
    return m_nDamageBox[GetPose()];
}

D3DVECTOR* CPlayer::GetDamageCenter(D3DVECTOR* pOut)
{
    const int* pBox = DamageBox();
    pOut->x = m_vPos.x + (float)(pBox[0] - 100);
    pOut->y = m_vPos.y + (float)(pBox[1] - 160);
    pOut->z = 0.0f;
    return pOut;
}

void CPlayer::GetDamageQuad(D3DVECTOR* pOut)
{
    if (m_dwState & PLAYER_STATE_MISS) {
        for (int i = 0; i < 4; i++)
            pOut[i] = D3DVECTOR{};
        return;
    }
    D3DVECTOR c;
    GetDamageCenter(&c);
    const int* pBox = DamageBox();
    const float l = (float)FloatToInt(c.x - (float)pBox[2] / 2.0f), t = (float)FloatToInt(c.y - (float)pBox[3] / 2.0f);
    const float r = (float)FloatToInt(c.x + (float)pBox[2] / 2.0f), b = (float)FloatToInt(c.y + (float)pBox[3] / 2.0f);
    pOut[0] = D3DVECTOR{l, t, 0.0f};
    pOut[1] = D3DVECTOR{r, t, 0.0f};
    pOut[2] = D3DVECTOR{r, b, 0.0f};
    pOut[3] = D3DVECTOR{l, b, 0.0f};
}

void CPlayer::GetDamageRect(RECT* pOut)
{
    D3DVECTOR quad[4];
    GetDamageQuad(quad);
    GetQuadRect(pOut, quad);
}

// ---- Damage and the miss ------------------------------------------------------------------------

void CPlayer::LoseLevel()
{
    const int nOld = m_Cockpit.GetPendingLevel();
    const int nProgress = m_nExp - CCockpit::LevelStart(nOld);
    m_Cockpit.LevelDown();
    const int nNew = m_Cockpit.GetPendingLevel();
    m_nExp = CCockpit::LevelStart(nNew);
    if (nOld == LEVEL_MIN || nOld == LEVEL_MAX)
        m_nGunLevel = nNew;
    else
        AddExp(nProgress, 0, 1);
}

void CPlayer::Damage(int nDamage)
{
    // A won stage stays won: what is still flying when the boss falls costs nothing.
    if (m_bOut || m_bStageFinished || (m_dwState & PLAYER_STATE_BLINKS))
        return;
    const int bHalf = IsOptionOn(OPTION_HALF_DAMAGE);
    // The level goes before the shield has its say: a shielded hit still costs it.
    if (!bHalf)
        LoseLevel();
    if (m_nSubWeapon == SUBWEAPON_ION_SHIELD) {
        FireSubWeapon(0);
        if (m_dwState & PLAYER_STATE_SHIELD_BLINK)
            return;
    }
    m_nLife -= bHalf ? nDamage : 2 * nDamage;
    m_Cockpit.SetLife(m_nLife < 0 ? 0 : (m_nLife > LIFE_MAX ? LIFE_MAX : m_nLife));
    if (m_pEffects)
        m_pEffects->StartDamage();
    if (m_bDamagedLoaded)
        ShowPop(m_DamagedPop, &m_dwDamagedShown, &m_bDamagedLeft);

    if (m_nLife < 1) {
        // With PLAY_OUT 0 she cannot die: play goes on below zero.
        if (GetParamInt("PLAY_OUT", 0, 1) == 0)
            return;
        PlaySoundFile(kMissVoice);
        PlaySoundFile(kMissSound);
        Miss();
        m_Cockpit.ShowDamageFace(1);
        return;
    }
    PlaySoundFile(kHitVoices[m_nVoice % 3]);
    m_nVoice = (m_nVoice + 1) % kVoiceCount;
    PlaySoundFile(kHitSound);
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    m_dwBlinkInterval = m_dwDamageBlink;
    m_dwBlinkToggle = dwNow;
    m_dwBlinkStart = dwNow;
    m_dwState |= PLAYER_STATE_DAMAGE_BLINK;
    m_Cockpit.ShowDamageFace(0);
}

// Whatever puts her out (no life left, a fall, the edge of the view) runs the same sequence once:
// her picture flies up from where she was and falls away, and the miss explosion starts there.
void CPlayer::Miss()
{
    if (!(m_dwState & PLAYER_STATE_MISS))
        StartMissSequence();
    m_bOut = 1;
    m_dwState |= PLAYER_STATE_MISS;
}

void CPlayer::StartMissSequence()
{
    m_BackFire.Stop();
    m_vMissPos = m_vPos;
    m_vMissStart = m_vPos;
    m_MissSpeed.Set(kMissRise, kMissFall, 0.0f, 0.0f, 0);
    if (m_pEffects)
        m_pEffects->StartMiss(m_vPos.x, m_vPos.y);
}

void CPlayer::UpdateMiss()
{
    m_vMissPos.y += m_MissSpeed.fValue;
    m_MissSpeed.fValue += m_MissSpeed.fStep;
}

// ---- The aerial mode ----------------------------------------------------------------------------

void CPlayer::StartAerialMode()
{
    if (m_dwState & PLAYER_STATE_AERIAL)
        return;
    m_dwAerialStamp = CAppTimer::GetElapsed(0);
    m_bLaunched = 0;
    if (m_dwState & PLAYER_STATE_JUMP)
        CapRise();
    m_dwState |= PLAYER_STATE_AERIAL_WAIT;
}

void CPlayer::UpdateAerial()
{
    const DWORD st = m_dwState;
    if (!(st & PLAYER_STATE_AERIAL))
        return;
    m_nAimPose = PLAYER_AIM_LEVEL;
    if (m_bLaunched) {
        m_dwState = (m_dwState & ~PLAYER_STATE_UPAIM_BITS) | PLAYER_STATE_AIM_LEVEL | PLAYER_STATE_EMBEDDED;
        m_bJumpLatch = 1;
    }
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (st & PLAYER_STATE_AERIAL_WAIT) {
        if (m_bLaunched) {
            UpdateLaunched();
        } else if (dwNow - m_dwAerialStamp > m_dwAerialWait) {
            m_fVSpeed = kLaunchSpeed;
            m_dwState = (m_dwState & ~PLAYER_STATE_SLOPES) | PLAYER_STATE_JUMP;
            m_AerialDrift.Set(kDriftStart, kDriftStep, 0.0f, kDriftStart, 1);
            m_bLaunched = 1;
        }
    } else if (st & PLAYER_STATE_AERIAL_HOVER) {
        if (dwNow - m_dwAerialStamp > m_dwAerialHover) {
            m_fVSpeed = 0.0f;
            m_dwState = (m_dwState & ~PLAYER_STATE_AERIAL) | PLAYER_STATE_AERIAL_FREE;
        }
    }
}

// The rise runs out by one gravity step a tick while the drift carries her forward; at its top she
// hovers, or, above the view, comes back down to the hover height first.
void CPlayer::UpdateLaunched()
{
    const float fBefore = m_fVSpeed;
    m_fVSpeed -= (float)SignOf(m_fVSpeed) * m_fGravity;
    m_vA.x += m_AerialDrift.fValue;
    m_AerialDrift.Step();
    if (m_fVSpeed != 0.0f && SignOf(m_fVSpeed) == SignOf(fBefore))
        return;
    if (m_vPos.y < 0.0f) {
        m_fVSpeed = -sqrtf(2.0f * (kHoverY - m_vPos.y) * m_fGravity);
        return;
    }
    m_fVSpeed = 0.0f;
    m_dwAerialStamp = CAppTimer::GetElapsed(0);
    m_dwState = (m_dwState & ~PLAYER_STATE_AERIAL) | PLAYER_STATE_AERIAL_HOVER;
}

// ---- Experience, life and score -----------------------------------------------------------------

int CPlayer::LevelOfExp(int nExp)
{
    return CCockpit::LevelOfExp(nExp);
}

void CPlayer::AddExp(int nExp, int bAnimate, int bSound)
{
    m_nExp += nExp;
    const int bLevelUp = m_Cockpit.SetExp(m_nExp, bAnimate);
    m_nGunLevel = m_Cockpit.GetPendingLevel();
    if (!bLevelUp || !bSound || !m_bLvUpLoaded)
        return;
    ShowPop(m_LvUpPop, &m_dwLvUpShown, &m_bLvUpLeft);
    PlaySoundFile(kLevelUpVoice);
    PlaySoundFile(kPowerUp);
}

// Rounded to whole points: a 10 % capsule is 10 life, although 0.1 does not hold exactly in a float.
void CPlayer::AddLife(float fRatio)
{
    m_nLife += (int)floorf(fRatio * 100.0f + 0.5f);
    if (m_nLife > LIFE_MAX)
        m_nLife = LIFE_MAX;
    m_Cockpit.SetLife(m_nLife < 0 ? 0 : m_nLife);
}

float CPlayer::GetLifeRatio()
{
    if (m_nLife < 0)
        return 0.0f;
    if (m_nLife > LIFE_MAX)
        return 1.0f;
    return (float)m_nLife / 100.0f;
}

// The score saturates: no run of points may turn it negative.
void CPlayer::AddPoint(int nPoint, int nMode)
{
    const long long n = (long long)m_nPoint + nPoint;
    m_nPoint = n > 2147483647LL ? 2147483647 : (n < 0 ? 0 : (int)n);
    m_Cockpit.AddScore(nPoint, nMode);
}

void CPlayer::SetPoint(int nShown, int nPoint)
{
    m_nPoint = nPoint;
    m_Cockpit.SetScore(nShown, nPoint);
}

int CPlayer::GetGunBaseLevel()
{
    const int nPower = m_PBullet.GetPower();
    return (m_PBullet.m_bDoublePower ? nPower / 2 : nPower) - 3;
}
