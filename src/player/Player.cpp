#include "player/Player.h"

#include <cstdio>
#include <cstring>

#include "engine/AppTimer.h"
#include "engine/BmpIndex.h"
#include "engine/FPSChar.h"
#include "engine/Log.h"
#include "engine/Param.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "player/OptionIcon.h"

D3DVECTOR GUNPOS[PLAYER_POSES][GUNPOS_POINTS] = {};
int g_bPlayerReplaying = 0;

namespace {

const char* const kGunPosKeys[PLAYER_POSES] = {"GUNPOS_JUMP", "GUNPOS_FLAT", "GUNPOS_UP", "GUNPOS_DOWN"};
const char* const kDamageKeys[PLAYER_POSES] = {"DAMAGE_JUMP", "DAMAGE_FLAT", "DAMAGE_UP", "DAMAGE_DOWN"};
const int kDamageDefaults[4] = {100, 120, 32, 24};
const float kPopAbove = 140.0f;

const float kEnterSpeed = 13.0f;
// Before her first shot tick after a load the interval is this; the first tick at level or up aim
// sets SHOT_BLANK.
const DWORD kLoadShotInterval = 100;

void ClearAcc(ACCINFO* pAcc)
{
    pAcc->Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
    pAcc->nReached = 0;
}

} // namespace

CPlayer::CPlayer()
    : m_dwState(PLAYER_STATE_FLAT | PLAYER_STATE_AIM_LEVEL), m_fSpeed(2.0f), m_fJump(16.0f), m_fGravity(1.6333333f),
      m_dwShotInterval(66), m_dwShotBlank(66), m_dwSinkTime(50), m_fSinkAmount(2.0f), m_dwGlimTime(1000),
      m_dwDamageBlink(20), m_dwShieldBlink(10), m_dwFrameTime(50)
{
    memset(m_Anim, 0, sizeof(m_Anim));
    memset(m_pAnim, 0, sizeof(m_pAnim));
    ClearAcc(&m_MissSpeed);
    ClearAcc(&m_AerialDrift);
    for (int p = 0; p < PLAYER_POSES; p++) {
        for (int i = 0; i < 4; i++)
            m_nDamageBox[p][i] = kDamageDefaults[i];
    }
}

CPlayer::~CPlayer()
{
    Release();
}

void CPlayer::Release()
{
    m_PBullet.Reset();
    for (auto& anims : m_Anim) {
        for (auto& ring : anims) {
            for (ANIMDESC& frame : ring) {
                SafeRelease(frame.lpImage);
                SafeRelease(frame.lpFlash);
                frame.pNext = nullptr;
            }
        }
    }
    memset(m_pAnim, 0, sizeof(m_pAnim));
    for (auto& bike : m_lpBike) {
        SafeRelease(bike[0]);
        SafeRelease(bike[1]);
    }
    m_MissImage.Release();
    m_PBullet.Release();
    StopWeapons();
    m_SWeapon2.Release();
    m_SWeapon3.Release();
    m_SWeapon4.Release();
    m_bShieldLoaded = 0;
    m_BackFire.Release();
    m_LandSmoke.Release();
    m_Cockpit.Release();
    m_LvUpPop.Release();
    m_DamagedPop.Release();
    m_bLvUpLoaded = m_bDamagedLoaded = 0;
    if (m_pEffects)
        m_pEffects->ReleaseMiss();
    m_bLoaded = 0;
}

// ---- Loading ------------------------------------------------------------------------------------

// Tuning comes straight from Param.txt; a key that is missing keeps the value of construction.
void CPlayer::LoadParams()
{
    m_fSpeed = GetParamFloat("SPEED", 0, m_fSpeed);
    m_fJump = IsOptionOn(OPTION_HIGH_JUMP) ? GetParamFloat("JUMP", 1, 24.0f) : GetParamFloat("JUMP", 0, 16.0f);
    if (ParamExists("GRAVITY"))
        m_fGravity = GetParamFloat("GRAVITY", 0, 0.0f) * 0.1f;
    m_fSinkAmount = GetParamFloat("LAND_SINK", 0, m_fSinkAmount);
    m_dwSinkTime = (DWORD)GetParamInt("LAND_SINK", 1, (int)m_dwSinkTime);
    m_dwFrameTime = (DWORD)GetParamInt("FRAME_TIME", 0, (int)m_dwFrameTime);
    m_dwShotBlank = (DWORD)GetParamInt("SHOT_BLANK", 0, (int)m_dwShotBlank);
    m_dwShotInterval = kLoadShotInterval;
    m_PBullet.m_fSpeed = GetParamFloat("SHOT_SPEED", 0, m_PBullet.m_fSpeed);
    m_dwGlimTime = (DWORD)GetParamInt("GLIM_TIME", 0, (int)m_dwGlimTime);
    m_dwShieldBlink = (DWORD)GetParamInt("GLIM_BLANK", 0, (int)m_dwShieldBlink);
    m_dwDamageBlink = (DWORD)GetParamInt("GLIM_BLANK", 1, (int)m_dwDamageBlink);
    for (int p = 0; p < PLAYER_POSES; p++) {
        for (int i = 0; i < GUNPOS_POINTS; i++) {
            GUNPOS[p][i].x = (float)GetParamInt(kGunPosKeys[p], (unsigned)(i * 2), 0);
            GUNPOS[p][i].y = (float)GetParamInt(kGunPosKeys[p], (unsigned)(i * 2 + 1), 0);
            GUNPOS[p][i].z = 0.0f;
        }
        for (int i = 0; i < 4; i++)
            m_nDamageBox[p][i] = GetParamInt(kDamageKeys[p], (unsigned)i, kDamageDefaults[i]);
    }
}

namespace {

// A region of the heroine's sheet and its red-blended copy; 0 when either fails.
int LoadPair(IDirect3DDevice7* lpDevice, CBmpIndex& index, const char* pszName, IDirectDrawSurface7** ppImage,
             IDirectDrawSurface7** ppFlash)
{
    *ppImage = index.CreateSurfaceByDevice(lpDevice, pszName, nullptr, MEM_VIDEO);
    if (!*ppImage)
        return 0;
    SetColorKeyGreen(*ppImage);
    *ppFlash = CreateBlendedCopyRed(lpDevice, *ppImage);
    return *ppFlash ? 1 : 0;
}

} // namespace

int CPlayer::LoadPictures(IDirect3DDevice7* lpDevice)
{
    CBmpIndex index;
    if (!index.LoadIndex(lpDevice, PLAYER_INDEX_DIR, PLAYER_INDEX_FILE))
        return 0;
    int bOk = 1;
    char szName[32];
    for (int d = 0; d < PLAYER_BIKES; d++) {
        snprintf(szName, sizeof(szName), "Bike%d.bmp", d + 1);
        bOk &= LoadPair(lpDevice, index, szName, &m_lpBike[d][0], &m_lpBike[d][1]);
    }
    GetSurfaceSize(m_lpBike[0][0], &m_nBikeWidth, &m_nBikeHeight);
    for (int p = 0; p < PLAYER_POSES; p++) {
        for (int a = 0; a < PLAYER_AIMS; a++) {
            ANIMDESC* ring = m_Anim[p][a];
            for (int f = 0; f < PLAYER_ANIM_FRAMES; f++) {
                snprintf(szName, sizeof(szName), "Zorva%d%d%d.bmp", p + 1, a + 1, f + 1);
                bOk &= LoadPair(lpDevice, index, szName, &ring[f].lpImage, &ring[f].lpFlash);
                ring[f].pNext = &ring[(f + 1) % PLAYER_ANIM_FRAMES];
            }
            m_pAnim[p][a] = &ring[0];
        }
    }
    GetSurfaceSize(m_Anim[0][0][0].lpImage, &m_nWidth, &m_nHeight);
    bOk &= m_MissImage.Attach(index.CreateSurfaceByDevice(lpDevice, "zorva999.bmp", nullptr, MEM_VIDEO));
    m_MissImage.SetColorKeyGreen();
    return bOk;
}

int CPlayer::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    LoadParams();
    int bOk = LoadPictures(lpDevice);
    bOk &= m_Cockpit.Load(lpDevice);
    bOk &= LoadPops(lpDevice);
    bOk &= m_PBullet.Load(lpDevice);
    bOk &= LoadWeapons(lpDevice);
    bOk &= m_BackFire.Load(lpDevice);
    if (m_pEffects)
        bOk &= m_pEffects->LoadMiss(lpDevice);
    bOk &= m_LandSmoke.Load(lpDevice);
    m_LandSmoke.SetScale(1.0f);
    m_LandSmoke.SetCount(10.0f);
    m_LandSmoke.SetDrift(-0.02f, -0.1f);
    m_LandSmoke.SetSpread(100.0f);
    m_LandSmoke.SetRotation(1.0466667f);
    m_bLoaded = bOk;
    return bOk;
}

int CPlayer::LoadPops(IDirect3DDevice7* lpDevice)
{
    m_bLvUpLoaded = m_LvUpPop.LoadImage(lpDevice, IMGKEY{"SystemIndex.txt", "LvUp.bmp"});
    m_bDamagedLoaded = m_DamagedPop.LoadImage(lpDevice, IMGKEY{"SystemIndex.txt", "Damaged.bmp"});
    return m_bLvUpLoaded && m_bDamagedLoaded;
}

// ---- Start --------------------------------------------------------------------------------------

void CPlayer::Start(int bPlayback, int bResetScore)
{
    m_PBullet.Reset();
    m_BackFire.Stop();
    m_LandSmoke.Stop();
    CSmokeSW::SeedLooks(1);
    if (m_pEffects) {
        m_pEffects->StopMiss();
        m_pEffects->StopDamage();
    }
    CCrushableSet::Unregister(this);
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    m_dwState = PLAYER_STATE_ENTERING | PLAYER_STATE_EMBEDDED | PLAYER_STATE_AIM_LEVEL | PLAYER_STATE_FLAT;
    m_vPos = D3DVECTOR{-100.0f, 200.0f, 0.0f};
    m_vA = m_vB = m_vC = D3DVECTOR{};
    m_fVSpeed = 0.0f;
    m_fSink = 0.0f;
    ClearAcc(&m_AerialDrift);
    m_bLaunched = 1;
    m_nLife = 100;
    if (bResetScore) {
        m_nPoint = 0;
        m_nExp = 0;
    }
    m_nAimPose = PLAYER_AIM_LEVEL;
    m_fAimAngle = 0.0f;
    m_bOut = 0;
    m_bStageFinished = 0;
    m_bVisible = 1;
    m_nVoice = 0;
    m_dwAnimStamp = dwNow;
    m_PBullet.m_bDoublePower = IsOptionOn(OPTION_DOUBLE_POWER);
    m_LvUpPop.Stop();
    m_DamagedPop.Stop();
    m_bLvUpLeft = m_bDamagedLeft = 1;
    m_dwPopDelay = 1000;
    m_nHawkVoice = 0;
    m_nTapPhase = 0;
    m_dwTapWindow = 200;
    StopWeapons();
    m_BackFire.SetOrigin(m_vPos.x - 100.0f, -(m_vPos.y - 160.0f), m_vPos.z);
    m_BackFire.Start();
    StartKeyRecord(bPlayback);
    m_Cockpit.Reset();
    // The score carries on from the stage before, and the counter shows it from the first frame.
    m_Cockpit.ShowScore(m_nPoint);
    m_Cockpit.SetLife(m_nLife);
    m_Cockpit.SetExp(m_nExp, 0);
    m_nGunLevel = m_Cockpit.GetPendingLevel();
    m_PBullet.SetLevel(m_nGunLevel);
    m_Cockpit.SelectSubWeapon(m_nSubWeapon);
    m_PBullet.Register();
    CCrushableSet::Register(this);
}

void CPlayer::StartKeyRecord(int bPlayback)
{
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    pRec->StopRec();
    pRec->StopPlay();
    m_nKeyCode = 0;
    m_nShot = 0;
    int nFirstCode = 0;
    if (!bPlayback) {
        m_dwState &= ~PLAYER_STATE_PLAYBACK;
        pRec->StartRec();
        DebugPrintf("StartRec() : (%f %f)\n", m_vPos.x, m_vPos.y);
        pRec->SetPlayerValue(m_nSubWeapon);
        pRec->SetTrackStart(m_nPoint, m_nExp);
        nFirstCode = CKeyRecorder::GetMappedInput();
    } else {
        m_dwState |= PLAYER_STATE_PLAYBACK;
        pRec->StartPlay();
        DebugPrintf("StartPlay() : (%f %f)\n", m_vPos.x, m_vPos.y);
        // Only positions the playback: the frame code stays 0 until her keys are first read, as it
        // does while recording, or the terrain would see a drop-through key during the ride-in
        // that the recorded run never saw.
        nFirstCode = pRec->GetPlayKeyCode();
        // A sub-weapon a file made up would pick no weapon and no charge period: the shield then.
        const int nWeapon = pRec->GetPlayerValue();
        m_nSubWeapon = nWeapon >= SUBWEAPON_ION_SHIELD && nWeapon <= SUBWEAPON_GROUND_WIPER ? nWeapon
                                                                                            : SUBWEAPON_ION_SHIELD;
    }
    g_bPlayerReplaying = bPlayback ? 1 : 0;
    g_bFPSExtra = bPlayback ? 1 : 0;
    // A jump held over from before the start must be released first; the recorded first code is
    // what the live input was when recording started, so a replay latches alike.
    m_bJumpLatch = CKeyRecorder::IsKeyDown(nFirstCode, 'X');
}

// ---- Per tick -----------------------------------------------------------------------------------

int CPlayer::GetPose() const
{
    if (m_dwState & PLAYER_STATE_JUMP)
        return PLAYER_POSE_JUMP;
    if (m_dwState & PLAYER_STATE_UP)
        return PLAYER_POSE_UP;
    if (m_dwState & PLAYER_STATE_DOWN)
        return PLAYER_POSE_DOWN;
    return PLAYER_POSE_FLAT;
}

void CPlayer::Update()
{
    m_vA = D3DVECTOR{};
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwAnimStamp > m_dwFrameTime) {
        const int nPose = HeroinePose(GetPose());
        ANIMDESC*& pFrame = m_pAnim[nPose][m_nAimPose];
        pFrame = (pFrame && pFrame->pNext) ? pFrame->pNext : &m_Anim[nPose][m_nAimPose][0];
        m_dwAnimStamp = dwNow;
    }

    const DWORD s = m_dwState;
    if (s & PLAYER_STATE_MISS) {
        UpdateMiss();
    } else if (s & PLAYER_STATE_ENTERING) {
        m_vA = D3DVECTOR{kEnterSpeed, 0.0f, 0.0f};
    } else {
        UpdateKeys(s);
    }

    if (s & PLAYER_STATE_LANDED) {
        m_dwState &= ~PLAYER_STATE_LANDED;
        m_dwState |= s & PLAYER_STATE_BLINKS;
    }
    m_fSink = (dwNow - m_dwLandStamp < m_dwSinkTime) ? m_fSinkAmount : 0.0f;
    if (!(s & PLAYER_STATE_NO_GRAVITY) || ((s & PLAYER_STATE_AERIAL) && !m_bLaunched))
        m_fVSpeed -= m_fGravity;
    UpdateAerial();
    m_vB = D3DVECTOR{0.0f, -m_fVSpeed, 0.0f};
    if (s & (PLAYER_STATE_AIM_LEVEL | PLAYER_STATE_AIM_UP))
        m_dwShotInterval = m_dwShotBlank;
    UpdateBlink(dwNow);
    m_Cockpit.Update();
    m_PBullet.Update();
    UpdateWeapons();
    UpdateEffects();
    m_LandSmoke.Update();
    UpdatePops(dwNow);
    const int nPose = GetPose();
    m_BackFire.SetPose(nPose == PLAYER_POSE_JUMP ? CBackFire::POSE_JUMP
                       : nPose == PLAYER_POSE_UP ? CBackFire::POSE_UP
                       : nPose == PLAYER_POSE_DOWN ? CBackFire::POSE_DOWN
                                                   : CBackFire::POSE_FLAT);
    m_BackFire.Update();
}

// The stars take her point each tick before they move; the fountain takes its angle and point.
void CPlayer::UpdateEffects()
{
    if (!m_pEffects)
        return;
    m_pEffects->PlaceDamage(m_vPos.x + 40.0f, -(m_vPos.y - 60.0f), 0.0f);
    m_pEffects->UpdateDamage();
    m_pEffects->PlaceDamageFlash(3.14f, m_vPos.x + 60.0f, -(m_vPos.y - 100.0f), 0.0f);
    m_pEffects->UpdateMiss();
}

void CPlayer::ShowPop(CPopSurface& pop, DWORD* pdwShown, int* pbLeft)
{
    pop.m_fX = m_vPos.x;
    pop.m_fY = m_vPos.y - kPopAbove;
    pop.Start();
    *pdwShown = CAppTimer::GetElapsed(0);
    *pbLeft = 0;
}

// The pictures ride above her; each bursts away once after its delay and rises on its own.
void CPlayer::UpdatePops(DWORD dwNow)
{
    struct POP {
        CPopSurface& pop;
        DWORD dwShown;
        int& bLeft;
    } pops[2] = {{m_LvUpPop, m_dwLvUpShown, m_bLvUpLeft}, {m_DamagedPop, m_dwDamagedShown, m_bDamagedLeft}};
    for (POP& p : pops) {
        if (!p.bLeft) {
            p.pop.m_fX = m_vPos.x;
            p.pop.m_fY = m_vPos.y - kPopAbove;
        }
        p.pop.Update();
        if (!p.bLeft && dwNow - p.dwShown > m_dwPopDelay) {
            p.pop.StartBurst();
            p.bLeft = 1;
        }
    }
}

void CPlayer::UpdateBlink(DWORD dwNow)
{
    if (!(m_dwState & PLAYER_STATE_BLINKS)) {
        m_bVisible = 1;
        return;
    }
    if (dwNow - m_dwBlinkToggle > m_dwBlinkInterval) {
        m_bVisible = !m_bVisible;
        m_dwBlinkToggle = dwNow;
    }
    if (dwNow - m_dwBlinkStart > m_dwGlimTime)
        m_dwState &= ~PLAYER_STATE_BLINKS;
}

// ---- Terrain side -------------------------------------------------------------------------------

D3DVECTOR* CPlayer::GetPosition(D3DVECTOR* pOut)
{
    *pOut = m_vPos;
    return pOut;
}

void CPlayer::Move()
{
    if (m_dwState & PLAYER_STATE_MISS)
        return;
    m_vPos.x += m_vC.x;
    m_vPos.y += m_vC.y;
    m_vPos.z += m_vC.z;
    m_BackFire.SetOrigin(m_vPos.x - 100.0f, -(m_vPos.y - 160.0f), m_vPos.z);
}

void CPlayer::SetGroundY(float y)
{
    m_vPos.y = y;
    m_fGroundY = y;
    m_fVSpeed = 0.0f;
}

void CPlayer::Land(float y)
{
    SetGroundY(y);
    if ((m_dwState & PLAYER_STATE_JUMP) && !(m_dwState & PLAYER_STATE_SLOPES) && m_nLife > 0) {
        m_LandSmoke.SetPosition(m_vPos.x, -(m_vPos.y - 20.0f));
        m_LandSmoke.Start();
        m_dwLandStamp = CAppTimer::GetElapsed(0);
    }
    m_dwState &= ~(PLAYER_STATE_ENTERING | PLAYER_STATE_JUMP);
    m_dwState |= PLAYER_STATE_LANDED;
}

RECT CPlayer::GetBoundRect()
{
    if (m_dwState & PLAYER_STATE_MISS)
        return RECT{0, 0, 0, 0};
    const LONG x = FloatToInt(m_vPos.x - 95.0f);
    const LONG y = FloatToInt(m_vPos.y - 80.0f);
    return RECT{x, y, x + m_nBikeWidth - 30, y + m_nBikeHeight};
}

void CPlayer::LeaveStage()
{
    CCrushableSet::Unregister(this);
    CCrushableSet::Unregister(&m_PBullet);
    CScrollableSet::Unregister(&m_PBullet);
    StopWeapons();
}

void CPlayer::SetGunLevel(int nLevel)
{
    m_nGunLevel = nLevel;
    if (m_PBullet.GetLevel() != nLevel)
        m_PBullet.SetLevel(nLevel);
}

void CPlayer::UpdateKeyRecord()
{
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    pRec->NextFrame();
    pRec->GetPlayKeyCode();
    if (!(m_dwState & PLAYER_STATE_PLAYBACK)) {
        SetGunLevel(m_nGunLevel);
        pRec->RecordBonus(m_nGunLevel);
        return;
    }
    KEYRECINFO info;
    if (!pRec->GetPlayRecord(&info)) {
        // Past the last record the replay is over; the scene ends it, the gun keeps its level.
        DebugPrintf("fail to get key record.\n");
        return;
    }
    if (info.frame > pRec->GetFrame())
        RaiseRuntimeAssert("info.frame <= frame", __FILE__, __LINE__);
    // Only a level the gun has: a damaged file's other values keep the gun as it is.
    if (info.bonus >= PBULLET_LEVEL_MIN && info.bonus <= PBULLET_LEVEL_MAX && m_PBullet.GetLevel() != info.bonus)
        m_PBullet.SetLevel(info.bonus);
}
