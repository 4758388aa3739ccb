// What enemies, bosses, weapons and stage events ask of the stage: score, the boss fight, the
// stage clear with its bonuses and timing, beacons, chat and the play modes.
#include "engine/KeyRecorder.h"
#include "engine/Param.h"
#include "stage/ObjectLabel.h"
#include "stage/Stage.h"

namespace {

const int kFullLifeBonus = 300000;
const int kLifeBonusPerPercent = 2000;
const int kTimeBonusPerSecond = 1000;
const int kStageBonusUnit = 100000;
const int kLastStages = 5;

// The heroine is as good as dead: no clear, no results.
bool IsLifeGone(float fRatio)
{
    return fRatio > -0.01f && fRatio < 0.01f;
}

} // namespace

void CStage::AddScore(int nPoint, int nMode)
{
    m_Player.AddPoint(nPoint, nMode);
}

void CStage::SetScore(int nShown, int nPoint)
{
    m_Player.SetPoint(nShown, nPoint);
}

int CStage::GetScore()
{
    return m_Player.GetPoint();
}

void CStage::SetBossName(int nBoss)
{
    if (m_Screens.pBossCockpit)
        m_Screens.pBossCockpit->SetBoss(nBoss);
}

void CStage::SetBossLifeMax(int nLife)
{
    if (m_Screens.pBossCockpit)
        m_Screens.pBossCockpit->SetLifeMax(nLife);
}

void CStage::SetBossLife(int nLife)
{
    if (m_Screens.pBossCockpit)
        m_Screens.pBossCockpit->SetLife(nLife);
}

void CStage::StartBossBattle(CObjectLabel* pBoss)
{
    if (m_Screens.pBossCockpit)
        m_Screens.pBossCockpit->Start();
    m_nLastCountDown = -1;
    m_pBoss = pBoss;
}

int CStage::IsBossHudHidden()
{
    return m_Screens.pBossCockpit ? m_Screens.pBossCockpit->IsHidden() : 1;
}

void CStage::EndBossBattle()
{
    ComputeClearResults();
    if (m_Screens.pBossCockpit)
        m_Screens.pBossCockpit->Hide();
    m_pBoss = nullptr;
    m_Player.SetStageFinished(1);
}

void CStage::RequestStageClear()
{
    if (IsLifeGone(m_Player.GetLifeRatio()))
        return;
    m_ClearDelay.Arm(STAGE_CLEAR_DELAY);
    if (m_Screens.pStageClear)
        m_Screens.pStageClear->Hide();
}

int CStage::GetStageBonus(int nStage)
{
    return (nStage >= 1 && nStage <= kLastStages) ? nStage * kStageBonusUnit : 0;
}

void CStage::GetClearBonus(int* pnLife, int* pnTime, int* pnTarget)
{
    const int p = (int)(m_Player.GetLifeRatio() * 100.0f);
    const int t = m_Screens.pBossCockpit ? m_Screens.pBossCockpit->GetSecondsLeft() : 0;
    if (pnLife)
        *pnLife = p == 100 ? kFullLifeBonus : p * kLifeBonusPerPercent;
    if (pnTime)
        *pnTime = (t > 0 ? t : 0) * kTimeBonusPerSecond;
    if (pnTarget)
        *pnTarget = t != 0 ? GetStageBonus(m_StageData.m_nStageNo) : 0;
}

void CStage::ComputeClearResults()
{
    const float r = m_Player.GetLifeRatio();
    if (IsLifeGone(r))
        return;
    m_nLifePercent = (int)(r * 100.0f);
    const int t = m_Screens.pBossCockpit ? m_Screens.pBossCockpit->GetSecondsLeft() : 0;
    m_nTimeLeft = t > 0 ? t : 0;
    m_nTargetBonus = t != 0 ? GetStageBonus(m_StageData.m_nStageNo) : 0;
    const int bLast = m_StageData.m_nStageNo == GetParamInt("MAX_STAGE_NUM", 0, kLastStages) && t >= 1 && t <= 10;
    if (IStageClear* pTally = m_Screens.pStageClear) {
        pTally->SetLastStage(bLast);
        pTally->SetResults(m_nLifePercent, m_nTimeLeft, m_nTargetBonus);
    }
}

int CStage::IsClearIdle()
{
    return m_Screens.pStageClear && !m_Screens.pStageClear->IsHidden();
}

void CStage::AddClearTotal(int nTotal)
{
    AddScore(nTotal, 1);
    m_bClearAdded = 1;
    m_LeaveDelay.Arm(STAGE_LEAVE_DELAY);
}

void CStage::UpdateClear()
{
    IStageClear* pTally = m_Screens.pStageClear;
    if ((!pTally || pTally->IsHidden()) && !m_ClearDelay.bStopped && m_ClearDelay.IsOver()) {
        m_ClearDelay.Stop();
        m_bClearAdded = 0;
        // Without a tally the clear counts as done at once, with nothing to add.
        if (pTally)
            pTally->Start();
        else
            AddClearTotal(0);
    }
    if (pTally) {
        pTally->Update();
        if (pTally->GetState() == STAGECLEAR_STATE_DONE && !m_bClearAdded)
            AddClearTotal(pTally->GetTotal());
    }
    if (m_bClearAdded && !m_LeaveDelay.bStopped && m_LeaveDelay.IsOver()) {
        m_LeaveDelay.Stop();
        m_nState = STAGE_STATE_CLEARED;
    }
}

void CStage::StartBossWarning()
{
    if (IBeacon* pWarning = m_Screens.pBeacon[STAGE_BOSS_BEACON])
        pWarning->Start(0);
}

void CStage::StartDanger(int x, int y, int n, int bChat)
{
    if (n <= 0)
        return;
    const int h = m_Screens.pBeacon[0] ? m_Screens.pBeacon[0]->GetHeight() : 0;
    // Wide, so that any count or height a stage file gives cannot overflow.
    long long y0 = (long long)y - (long long)(h / 2) * (n - 1);
    int nStarted = 0;
    for (int i = 0; i < STAGE_DANGER_BEACONS && nStarted < n; i++) {
        IBeacon* pBeacon = m_Screens.pBeacon[i];
        if (!pBeacon || !pBeacon->IsFinished())
            continue;
        pBeacon->SetPoint((float)x, (float)y0);
        pBeacon->Start(nStarted == 0 ? bChat : 0);
        nStarted++;
        y0 += h;
    }
}

void CStage::AddChat(CMsgWin* pWin)
{
    AddChat(pWin, 0);
}

void CStage::AddChat(CMsgWin* pWin, int nValue)
{
    IChat* pChat = m_Screens.pChat;
    if (!pChat)
        return;
    pChat->SetEntry(pWin, nValue);
    pChat->Add(pWin);
    pChat->Show();
}

void CStage::SetConstructive(int bOn)
{
    IConstructive* pCounter = m_Screens.pConstructive;
    if (!pCounter)
        return;
    if (bOn && !g_nOptionFlags[0])
        pCounter->Start();
    else
        pCounter->PopOut();
}

void CStage::StartAerialMode()
{
    m_Player.StartAerialMode();
}

int CStage::IsBossBattle()
{
    return !IsBossHudHidden();
}

void CStage::StartBoss(CObjectLabel* pLabel, int nBossNumber)
{
    AddLabel(STAGE_ENEMY_LAYER, pLabel);
    if (nBossNumber >= 0 && nBossNumber <= 4)
        SetBossName(nBossNumber);
    StartBossBattle(pLabel);
}
