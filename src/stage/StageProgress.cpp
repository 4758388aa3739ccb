// How the stage walks its layers: distance counters, the columns that enter at the right edge,
// screen changes and their events, screen jumps, label updates and the boss time limit.
#include <climits>
#include <cmath>

#include "engine/Geometry.h"
#include "engine/Sound.h"
#include "stage/ObjectLabel.h"
#include "stage/Stage.h"
#include "rvm/rvm_stl.h"

namespace {

const float kCell = (float)STAGE_CELL_SIZE;
const float kSpawnX = (float)STAGE_SPAWN_X;
const char kCountDownSound[] = ".\\GameData\\System\\CountDown.wav";
// Far beyond any map, and with room left to add or take off a screen.
const float kDistanceLimit = 1073741824.0f;

D3DVECTOR Point(float x, float y)
{
    return D3DVECTOR{{x}, {y}, {0.0f}};
}

} // namespace

void CStage::Start(int bFirst, int bReplay)
{
    m_bReplay = bReplay;
    for (int i = 0; i < BG_NUM; i++) {
        const float fStep = GetStep(i);
        // Screen 0 and the head of screen 1, right to left.
        for (m_fLayerPos[i] = kSpawnX; !(m_fLayerPos[i] < 0.0f); m_fLayerPos[i] -= kCell) {
            CObjectLabel* pCells[MAX_ROW_NUM];
            m_StageData.GetColumn(i, TruncDistance(m_fLayerPos[i] + 0.5f), pCells);
            for (int k = 0; k < MAX_ROW_NUM; k++) {
                if (!pCells[k])
                    continue;
                const D3DVECTOR vPos = Point(m_fLayerPos[i] - fStep, kCell * (float)k);
                pCells[k]->SetPos(&vPos);
                pCells[k]->SetSpeed(fStep);
                pCells[k]->Spawn();
                AddLabel(i, pCells[k]);
            }
        }
        m_fLayerPos[i] = kSpawnX;
    }

    m_pBgPrev = nullptr;
    m_pBgCur = m_StageData.FindBG0(0);

    m_nScreen = 0;
    m_StageData.RunEvents(this, &m_nScreen);
    m_nScreen = 1;
    m_StageData.RunEvents(this, &m_nScreen);

    m_fBgGap = 0.0f;
    m_fBgRemain = m_pBgCur ? (float)(m_pBgCur->nWidth - 640) : 0.0f;

    // The first flag resets her score; the replay flag plays her back.
    m_Player.Start(bReplay, bFirst);
    m_Player.AddExp(GetRowOffset(m_StageData.m_nShotLevel + 3), 0, 0);

    UpdateProgress();
}

void CStage::UpdateProgress()
{
    for (int i = 0; i < BG_NUM; i++) {
        const float fStep = GetStep(i);
        m_fLayerPos[i] = RoundToTenth(m_fLayerPos[i] + fStep);
        m_fColumnGap[i] = RoundToTenth(m_fColumnGap[i] + fStep);
        if (m_fSeam[i] > 0.0f) {
            m_fSeam[i] -= fStep;
            if (m_fSeam[i] < 0.0f)
                m_fSeam[i] = 0.0f;
        }
    }

    if (m_fColumnGap[STAGE_MAIN_LAYER] > kCell)
        ChangeScreen();

    D3DVECTOR vTarget;
    m_Player.GetDamageCenter(&vTarget);
    for (int i = 0; i < BG_NUM; i++) {
        if (!(m_fColumnGap[i] > kCell))
            continue;
        SpawnColumn(i, vTarget);
        m_fColumnGap[i] -= kCell;
    }

    UpdateLabels(vTarget);
    if (UpdateBossTime())
        return;
    UpdateFarBackground();
}

void CStage::ChangeScreen()
{
    const int n = GetLayerScreen(STAGE_MAIN_LAYER);
    if (n == m_nScreen)
        return;
    m_nScreen = n;
    m_StageData.RunEvents(this, &m_nScreen);
    if (m_nScreen == n)
        return;
    // A jump: every layer continues from the start of the new screen, and the part of the old
    // screen still on show is looked up through the seam.
    m_bJumpedAhead = m_nScreen > n;
    for (int i = 0; i < BG_NUM; i++) {
        const float t = m_fColumnGap[i] - kCell;
        m_fLoopFrom[i] = GetScreenStartX(i, n);
        m_fLoopTo[i] = GetScreenStartX(i, m_nScreen);
        m_fLayerPos[i] = GetScreenStartX(i, m_nScreen) + t;
        m_fSeam[i] = m_fSeamStart[i] = kSpawnX - t;
    }
}

void CStage::SpawnColumn(int nLayer, const D3DVECTOR& vTarget)
{
    CObjectLabel* pCells[MAX_ROW_NUM];
    m_StageData.GetColumn(nLayer, TruncDistance(m_fLayerPos[nLayer] + 0.5f), pCells);
    const float fStep = GetStep(nLayer);
    for (int k = 0; k < MAX_ROW_NUM; k++) {
        CObjectLabel* pLabel = pCells[k];
        if (!pLabel)
            continue;
        const D3DVECTOR vPos = Point(640.0f - (m_fColumnGap[nLayer] - 128.0f), kCell * (float)k);
        pLabel->SetTarget(&vTarget);
        pLabel->SetPos(&vPos);
        pLabel->SetSpeed(fStep);
        pLabel->SetOffsetY(m_fOffsetY[nLayer]);
        pLabel->Spawn();
        AddLabel(nLayer, pLabel);
    }
}

void CStage::UpdateLabels(const D3DVECTOR& vTarget)
{
    for (int i = 0; i < BG_NUM; i++) {
        const float fStep = GetStep(i);
        rvm::list<CObjectLabel*>& list = m_BgList[i];
        for (auto it = list.begin(); it != list.end();) {
            CObjectLabel* pLabel = *it;
            pLabel->SetTarget(&vTarget);
            pLabel->SetSpeed(fStep);
            pLabel->SetOffsetY(m_fOffsetY[i]);
            pLabel->Update();
            // A finished label only leaves the list; the stage data keeps it.
            it = pLabel->IsFinished() ? list.erase(it) : std::next(it);
        }
    }
}

int CStage::UpdateBossTime()
{
    IBossCockpit* pCockpit = m_Screens.pBossCockpit;
    if (!pCockpit || pCockpit->IsHidden())
        return 0;
    const int t = pCockpit->GetSecondsLeft();
    if (t == 0 && m_pBoss) {
        m_pBoss->OnTimeOut();
        EndBossBattle();
        UpdateFarBackground();
        return 1;
    }
    if (t != m_nLastCountDown && t >= 1 && t <= 10) {
        PlaySoundFile(kCountDownSound);
        m_nLastCountDown = t;
    }
    return 0;
}

void CStage::AddLabel(int nLayer, CObjectLabel* pLabel)
{
    if (!pLabel || nLayer < 0 || nLayer >= BG_NUM)
        return;
    rvm::list<CObjectLabel*>& list = m_BgList[nLayer];
    list.remove(pLabel);
    // Destructible objects of the main layer come last, so they are drawn over the rest.
    if (nLayer == STAGE_MAIN_LAYER && pLabel->GetCrushBits())
        list.push_back(pLabel);
    else
        list.push_front(pLabel);
}

float CStage::GetScreenStartX(int nLayer, int nScreen) const
{
    if (nScreen <= 0)
        return 639.0f;
    // Wide: a jump's screen number comes from the stage file and may be any number.
    const long long c = m_StageData.ColumnsPerScreen(nLayer);
    return (float)((c * (nScreen - 1) + MAX_COLUMN_NUM) * STAGE_CELL_SIZE);
}

int CStage::GetScreenAt(int nLayer, float fDistance) const
{
    if (fDistance < 640.0f)
        return 0;
    const int c = m_StageData.ColumnsPerScreen(nLayer);
    // A layer too slow to hold a column has no screens to count.
    if (c <= 0)
        return 0;
    const float fScreen = (fDistance - 640.0f) / (float)(c * STAGE_CELL_SIZE) + 1.0f;
    return fScreen < 2147483648.0f ? (int)fScreen : INT_MAX;
}

int CStage::GetLayerScreen(int nLayer) const
{
    return GetScreenAt(nLayer, m_fLayerPos[nLayer]);
}

int CStage::TruncDistance(float fDistance)
{
    if (!(fDistance < kDistanceLimit))
        return (int)kDistanceLimit;
    if (!(fDistance > -kDistanceLimit))
        return -(int)kDistanceLimit;
    return (int)fDistance;
}

float CStage::ToLayerDistance(int nLayer, float fDistance, float fScreenX) const
{
    // The seam itself is the left edge of the new screen's first column, which that screen's
    // distance finds; the screen left would give its first column there, which never came in.
    const float fSeam = m_fSeam[nLayer];
    if (fSeam - GetStep(nLayer) <= fScreenX)
        return fDistance;
    // Left of the seam the screen that was left is still on show.
    const float fSeamStart = m_fSeamStart[nLayer];
    const float a = (m_bJumpedAhead && fScreenX >= 64.0f && fScreenX <= 576.0f) ? kSpawnX - fSeam : fSeamStart - fSeam;
    const float b = m_bJumpedAhead ? 0.0f : std::fabs(kSpawnX - fSeamStart);
    return a + b + m_fLoopFrom[nLayer];
}
