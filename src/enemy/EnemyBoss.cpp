#include "enemy/EnemyBoss.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/Param.h"
#include "engine/SurfaceUtil.h"
#include "engine/SyncValue.h"
#include "enemy/EnemyLabel.h"
#include "player/BossCockpit.h"
#include "stage/CrushableSet.h"
#include "stage/Stage.h"

namespace {

const float kTicksPerMs = 0.06024096f;
const float kTickMs = 16.6f;
const float kDefaultHitRatio = 0.5f;
const float kScreenHeight = 480.0f;
const float kScreenMiddle = 320.0f;
const int kExplosionStyle = 2;

// A pass's time goes into the accumulator only in 16-ms steps: the frame clock's 16, 17, 17.
void AddToAccumulator(int* pnAcc, DWORD dwDelta)
{
    *pnAcc += (int)(dwDelta & 15);
}

} // namespace

// ---- The body -----------------------------------------------------------------------------------------

CEnemyPartBoss::CEnemyPartBoss()
{
    m_AccX.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
    m_AccY.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
    m_Fall.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
}

CEnemyPartBoss::~CEnemyPartBoss()
{
    m_ExpBoss.Stop();
}

CBmpIndex* CEnemyPartBoss::GetIndex()
{
    return m_pKind ? &m_pKind->m_Index : nullptr;
}

void CEnemyPartBoss::SelectBodyImage(int n)
{
    if (n < 0 || n >= BOSS_IMAGE_NUM)
        return;
    m_nImage = n;
    m_nBlock = n;
    if (m_pKind) {
        m_nWidth = m_pKind->m_nWidths[n];
        m_nHeight = m_pKind->m_nHeights[n];
    }
}

void CEnemyPartBoss::PlaceAtStart()
{
    m_vPos = D3DVECTOR{{BOSS_START_X}, {BOSS_START_Y}, {0.0f}};
    m_AccX.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
    m_AccY.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
    SelectBodyImage(0);
    m_nTick = 0;
}

void CEnemyPartBoss::Place(CEnemyLabel*)
{
    PlaceAtStart();
    StopWeapons();
}

int CEnemyPartBoss::RunTickLoop()
{
    const DWORD dwNow = CEnemy::Now();
    const DWORD d = dwNow - m_dwLastUpdate;
    m_dwLastUpdate = dwNow;
    int n = (int)((float)d * kTicksPerMs);
    AddToAccumulator(&m_nTickAcc, d);
    if ((float)m_nTickAcc >= kTickMs) {
        n += 1;
        m_nTickAcc = (int)((float)m_nTickAcc - kTickMs);
    }
    if (n == 0)
        n = 1;
    SyncReplayValue(&n);
    // A replay file is input like any other: a count out of reason would hang or skip the fight.
    if (n < 1 || n > BOSS_REPLAY_TICKS_MAX)
        n = 1;
    return n;
}

void CEnemyPartBoss::RunState(int nState, CEnemyLabel* pLabel)
{
    if (nState == STATE_EXIT) {
        UpdateExit(pLabel);
        return;
    }
    const int n = RunTickLoop();
    for (int i = 0; i < n; i++) {
        m_nTick++;
        OnTick(nState, pLabel);
        // A phase check inside the ticks hands the rest of the pass to the exit.
        if (m_nState != nState)
            return;
    }
    OnPassEnd(nState, pLabel);
}

int CEnemyPartBoss::CheckPhase(CEnemyLabel* pLabel)
{
    const int nThird = m_nMaxLife / 3;
    int nNext;
    if (m_nState == STATE_PHASE0 && m_nLife < 2 * nThird)
        nNext = STATE_PHASE1;
    else if (m_nState == STATE_PHASE1 && m_nLife < nThird)
        nNext = STATE_PHASE2;
    else
        return 0;
    m_nNextState = nNext;
    m_nState = STATE_EXIT;
    OnPhaseQueued(nNext);
    StartExit(pLabel);
    return 1;
}

void CEnemyPartBoss::StartExit(CEnemyLabel*)
{
    const float a = m_vPos.x <= kScreenMiddle ? -BOSS_EXIT_ACCELERATION : BOSS_EXIT_ACCELERATION;
    m_AccX.Set(0.0f, a, 0.0f, 0.0f, 0);
    m_OffScreen = OFFSCREENTIMER{0, 0, 1};
}

void CEnemyPartBoss::UpdateExit(CEnemyLabel* pLabel)
{
    if (!UpdateAccMoveX(&m_vPos.x, (float)m_nWidth, &m_AccX, &m_OffScreen))
        return;
    Place(pLabel);
    m_nState = m_nNextState;
}

int CEnemyPartBoss::HitByPlayerBullet(CStage* pStage, CCrushable* pAttacker)
{
    if (pStage)
        m_pStage = pStage;
    if (m_bDead) {
        if (m_ExpBoss.IsFinished())
            CheckFallen(pStage);
        return 0;
    }
    const int nResult = CEnemyPart::HitByPlayerBullet(pStage, pAttacker);
    if (!nResult)
        return 0;
    if (pStage)
        pStage->SetBossLife(m_nLife);
    if (m_nLife <= 0) {
        FinishWeapons(pStage);
        if (pStage)
            pStage->EndBossBattle();
    }
    return nResult;
}

void CEnemyPartBoss::CheckFallen(CStage* pStage)
{
    if (m_bClearRequested || !pStage || !(m_vPos.y > kScreenHeight + (float)m_nHeight))
        return;
    m_bClearRequested = 1;
    pStage->RequestStageClear();
    CCrushableSet::Unregister(this);
}

void CEnemyPartBoss::Explode()
{
    m_ExpBoss.SetPoint(m_vPos.x, -m_vPos.y, 0.0f);
    m_ExpBoss.Start();
    m_Fall.Set(0.0f, BOSS_FALL_ACCELERATION, 0.0f, 0.0f, 0);
    m_dwFallDelay = 0;
    m_bFallFirst = 1;
}

int CEnemyPartBoss::Die()
{
    if (!m_bDead)
        return 0;
    if (m_ExpBoss.m_nState == CExpBoss::STATE_FADING && m_pKind) {
        SelectBodyImage(m_nImage);
        m_lpRemembered = m_pKind->m_Pictures[m_nImage].GetImage(GetImageKind() & ~CDSurfaceEx::IMAGE_FLASH);
    }
    if (!m_ExpBoss.IsFinished())
        return 1;
    const DWORD dwNow = CEnemy::Now();
    if (m_bFallFirst) {
        m_bFallFirst = 0;
        m_dwFallStart = dwNow;
    }
    if (dwNow - m_dwFallStart >= m_dwFallDelay) {
        m_vPos.y += m_Fall.fValue;
        m_Fall.fValue += BOSS_FALL_ACCELERATION;
        if (m_vPos.y > kScreenHeight + (float)m_nHeight) {
            Hide();
            // Without any player bullet in the hit registry the dead-body test would never come.
            CheckFallen(m_pStage);
        }
    }
    return 1;
}

// ---- The kind -----------------------------------------------------------------------------------------

CEnemyBoss::CEnemyBoss(const BOSSINFO& info) : CEnemy(-1), m_Info(info)
{
    m_nFamily = info.nFamily;
    snprintf(m_szParamKey, sizeof(m_szParamKey), "ENEMY_%s", info.pszName ? info.pszName : "");
    m_Recoil.nState = ACCBOUNCE::STATE_DONE;
    m_Recoil.pAcc = nullptr;
    m_Recoil.fRest = -1.0f;
}

CEnemyBoss::~CEnemyBoss()
{
    CEnemyBoss::Release();
}

void CEnemyBoss::Release()
{
    CEnemy::Release();
    m_Index.Clear();
}

int CEnemyBoss::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    Release();
    snprintf(m_szFolder, sizeof(m_szFolder), "%s", pszFolder ? pszFolder : "");
    if (m_Info.pszIndexFile && m_Index.LoadIndex(lpDevice, m_szFolder, m_Info.pszIndexFile)) {
        for (int i = 0; i < BOSS_IMAGE_NUM; i++) {
            if (!m_Info.pszImages[i])
                continue;
            IDirectDrawSurface7* lpRegion = m_Index.CreateSurfaceByDevice(lpDevice, m_Info.pszImages[i], nullptr, 1);
            if (lpRegion && m_Pictures[i].Create(lpDevice, lpRegion, nullptr, 1)) {
                m_Pictures[i].SetColorKeyGreen();
                m_Pictures[i].GetSize(&m_nWidths[i], &m_nHeights[i]);
            }
            SafeRelease(lpRegion);
        }
    }
    m_Index.Clear();
    m_Block = ENEMYPARAM{};
    m_Block.nLife = CBossCockpit::GetBossLife(m_Info.nBoss);
    m_Block.nScore = GetParamIntOrMax(m_szParamKey, 3);
    return 1;
}

int CEnemyBoss::CreateParts(int, CEnemyLabel* pLabel)
{
    if (!CreateBody(pLabel))
        return 0;
    if (CEnemyPartBoss* pBody = GetBody(pLabel))
        pBody->m_pKind = this;
    return 1;
}

CEnemyPartBoss* CEnemyBoss::GetBody(CEnemyLabel* pLabel)
{
    return pLabel ? static_cast<CEnemyPartBoss*>(GetPart(pLabel, 0)) : nullptr;
}

int CEnemyBoss::SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszFolder)
{
    CEnemyPartBoss* pBody = GetBody(pLabel);
    if (!pBody)
        return 0;
    // The index is read again from the folder the caller names (the stage sets its labels up before
    // it loads their kinds, so the kind may not know its folder yet), else from the folder the body
    // images came from.
    int bIndex = 0;
    if (m_Info.pszIndexFile && pszFolder && *pszFolder)
        bIndex = m_Index.LoadIndex(lpDevice, pszFolder, m_Info.pszIndexFile);
    if (m_Info.pszIndexFile && !bIndex && m_szFolder[0])
        bIndex = m_Index.LoadIndex(lpDevice, m_szFolder, m_Info.pszIndexFile);
    pBody->LoadEffects(lpDevice);
    for (CExpBombScrollRef& ref : pBody->m_Explosions)
        ref.m_nStyle = kExplosionStyle;
    pBody->m_ExpBoss.Load(lpDevice);
    const int nResult = pBody->LoadWeapons(lpDevice, pLabel);
    if (bIndex && m_Info.pszOwnImage) {
        IDirectDrawSurface7* lpRegion = m_Index.CreateSurfaceByDevice(lpDevice, m_Info.pszOwnImage, nullptr, 1);
        if (lpRegion && pBody->m_OwnImage.Create(lpDevice, lpRegion, nullptr, 1))
            pBody->m_OwnImage.SetColorKeyGreen();
        SafeRelease(lpRegion);
    }
    const char* pszKey = m_Info.pszHitRatioKey ? m_Info.pszHitRatioKey : "";
    pBody->m_fScaleX = GetParamFloat(pszKey, 0, kDefaultHitRatio);
    pBody->m_fScaleY = GetParamFloat(pszKey, 1, kDefaultHitRatio);
    return nResult;
}

void CEnemyBoss::Spawn(CEnemyLabel* pLabel)
{
    CEnemyPartBoss* pBody = GetBody(pLabel);
    if (!pBody)
        return;
    Stop(pLabel);
    // A body still falling from an earlier fight lets it go.
    pBody->Hide();
    pBody->Place(pLabel);
    pBody->m_nLife = m_Block.nLife;
    pBody->m_nMaxLife = m_Block.nLife;
    pBody->m_Param = m_Block;
    pBody->m_pLastBurst = nullptr;
    pBody->m_nState = CEnemyPartBoss::STATE_PHASE0;
    pBody->m_nNextState = CEnemyPartBoss::STATE_PHASE0;
    pBody->m_bDead = 0;
    pBody->m_bClearRequested = 0;
    CCrushableSet::Register(pBody);
    pBody->m_nTickAcc = 0;
    pBody->m_dwLastUpdate = Now();
    pLabel->m_bFinished = 0;
    pBody->OnSpawn(pLabel);
}

void CEnemyBoss::Update(CEnemyLabel* pLabel)
{
    CEnemyPartBoss* pBody = GetBody(pLabel);
    if (!pBody || pLabel->IsFinished() || pBody->m_bDead)
        return;
    pBody->UpdateFlash();
    pBody->SetViewOffset(pLabel->GetOffsetY());
    const DWORD dwNow = Now();
    AddToAccumulator(&pBody->m_nTickAcc, dwNow - pBody->m_dwLastUpdate);
    pBody->m_dwLastUpdate = dwNow;
    if ((float)pBody->m_nTickAcc > kTickMs)
        pBody->m_nTickAcc = (int)((float)pBody->m_nTickAcc - kTickMs);
    pBody->PositionWeapons(pLabel);
    pBody->RunState(pBody->m_nState, pLabel);
    if (pBody->m_nLife <= 0) {
        pBody->m_bDead = 1;
        CCrushableSet::Unregister(pBody);
        pBody->ReleaseExplosions();
        Stop(pLabel);
    }
}

void CEnemyBoss::Stop(CEnemyLabel* pLabel)
{
    CEnemyPartBoss* pBody = GetBody(pLabel);
    if (!pBody)
        return;
    CCrushableSet::Unregister(pBody);
    pBody->ReleaseExplosions();
    pBody->m_ExpBoss.Stop();
    pBody->StopWeapons();
    pLabel->m_bFinished = 1;
}

void CEnemyBoss::OnTimeOut(CEnemyLabel* pLabel)
{
    CEnemyPartBoss* pBody = GetBody(pLabel);
    if (!pBody)
        return;
    Stop(pLabel);
    pBody->Kill();
    // The dead body still takes the player bullets' test that ends the stage.
    CCrushableSet::Register(pBody);
}

int CEnemyBoss::Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float)
{
    CEnemyPartBoss* pBody = GetBody(pLabel);
    if (!pBody || pLabel->IsFinished() || pBody->m_bDead || !lpTarget)
        return 1;
    DrawPart(lpTarget, pBody);
    return 1;
}

void CEnemyPartBoss::AdvanceDash()
{
    m_vPos.x += std::cos(m_fDashAngle) * m_Adjust.fValue;
    m_vPos.y += std::sin(m_fDashAngle) * m_Adjust.fValue;
    m_Adjust.Step();
}

void CEnemyPartBoss::StepDash()
{
    if (m_Adjust.nReached)
        return;
    AdvanceDash();
}

void CEnemyPartBoss::SetDashSpeed(float r, float fTop, float fLeast)
{
    const float v = std::min(fTop, r);
    m_Adjust.Set(0.0f, v * v / r, fLeast, v, 1, 1, 0);
}

void CEnemyPartBoss::StartDash(float dx, float dy, float fTop, float fLeast, int nRestClamp)
{
    const float r = std::sqrt(dx * dx + dy * dy);
    if (r < 0.5f) {
        m_Adjust.Set(0.0f, 0.0f, 0.0f, 0.0f, nRestClamp);
        m_Adjust.nReached = 1;
        return;
    }
    m_fDashAngle = std::atan2(dy, dx);
    SetDashSpeed(r, fTop, fLeast);
}
