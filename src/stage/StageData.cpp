#include "stage/StageData.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/BgmWave.h"
#include "engine/DSurface.h"
#include "engine/DebugOut.h"
#include "engine/Geometry.h"
#include "engine/Log.h"
#include "engine/MsgWin.h"
#include "engine/Param.h"
#include "engine/ProfileTime.h"
#include "stage/Object.h"
#include "stage/ObjectLabel.h"
#include "rvm/rvm_stl.h"

int g_nXSpeedState = 0;
float g_fXSpeedDelta = 0.0f;

namespace {

const float kMapCoordLimit = 1.0e9f;

bool IsLayerOk(int nLayer) { return nLayer >= 0 && nLayer < BG_NUM; }
bool IsRowOk(int nRow) { return nRow >= 0 && nRow < MAX_ROW_NUM; }

}  // namespace

STAGEGROUP::~STAGEGROUP()
{
    for (STAGEROW*& p : pRows) {
        delete p;
        p = nullptr;
    }
}

int LayerFromLetter(char c)
{
    switch (c) {
    case 'A': case 'a': return 1;
    case 'B': case 'b': return 2;
    case 'C': case 'c': return 3;
    case 'D': case 'd': return 4;
    case 'E': case 'e': return 6;
    case 'X': case 'x': return 7;
    default: return -1;
    }
}

char LetterFromLayer(int nLayer)
{
    switch (nLayer) {
    case 1: return 'A';
    case 2: return 'B';
    case 3: return 'C';
    case 4: return 'D';
    case 6: return 'E';
    case 7: return 'X';
    default: return (char)0xFF;
    }
}

CStageData::CStageData() : m_fXSpeed(-1.0f), m_nStageNo(-1), m_nShotLevel(1), m_bPeopleLoaded(0)
{
    m_szStageDir[0] = 0;
    m_szStageDirCopy[0] = 0;
    m_szDefinition[0] = 0;
    for (int i = 0; i < BG_NUM; i++) {
        m_vRatio[i] = D3DVECTOR{{1.0f}, {1.0f}, {1.0f}};
        m_vVelocity[i] = D3DVECTOR{{10.0f}, {0.0f}, {0.0f}};
        m_vVelocityInit[i] = m_vVelocity[i];
    }
}

CStageData::~CStageData()
{
    Unload();
}

void CStageData::Report(int nLevel, const char* pszFormat, ...)
{
    char szText[1024];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szText, sizeof(szText), pszFormat, args);
    va_end(args);
    // A definition that has one message mostly has dozens (one for each cell of an undefined
    // code): room for them at once.
    if (m_Messages.empty())
        m_Messages.reserve(64);
    m_Messages.emplace_back(szText);
    CDebugInfo::Trace(nLevel, "%s", szText);
    ReportDataError(m_szDefinition, "%s", szText);
}

int CStageData::CheckPlayable()
{
    int bRows = 0;
    for (int nLayer = 0; nLayer < BG_NUM && !bRows; nLayer++)
        for (int nRow = 0; nRow < MAX_ROW_NUM && !bRows; nRow++)
            bRows = !m_Rows[nLayer][nRow].empty();
    if (!m_Objects.empty() && bRows)
        return 1;
    const char* pszMissing = m_Objects.empty() ? (bRows ? "no object" : "no object and no map row") : "no map row";
    ReportDataError(m_szDefinition, "defines %s: there is no stage to play", pszMissing);
    return 0;
}

int CStageData::CountMessages(int nNumber) const
{
    char szHead[32];
    snprintf(szHead, sizeof(szHead), "ERROR %d :", nNumber);
    int n = 0;
    for (const rvm::string& m : m_Messages)
        if (m.compare(0, strlen(szHead), szHead) == 0)
            n++;
    return n;
}

int CStageData::Load(IDirect3DDevice7* lpDevice, int nStage, int bDemo)
{
    // A second load replaces the first instead of adding to it.
    Unload();
    m_Messages.clear();
    g_nXSpeedState = 0;
    g_fXSpeedDelta = 0.0f;

    rvm::vector<rvm::string> debugStage;
    GetParamStrings(nullptr, "DEBUG_STAGE", debugStage);
    m_nStageNo = nStage;
    m_nShotLevel = 1;
    snprintf(m_szStageDir, sizeof(m_szStageDir), ".\\GameData\\Stage%02d\\", nStage);
    snprintf(m_szStageDirCopy, sizeof(m_szStageDirCopy), "%s", m_szStageDir);
    char szPath[300];
    if (!debugStage.empty())
        snprintf(szPath, sizeof(szPath), "%s", debugStage[0].c_str());
    else
        snprintf(szPath, sizeof(szPath), "%s%s", m_szStageDir, bDemo ? "StageDemo.txt" : "Stage.txt");

    CDSurfaceCache::ClearAll();
    int bOk = ReadDefinition(szPath) && CheckPlayable();
    if (bOk) {
        LoadPeople(lpDevice);
        LoadObjects(lpDevice);
        for (int nLayer = 0; nLayer < BG_NUM; nLayer++)
            BuildLayerLabels(lpDevice, nLayer);
        bOk = PrepareEvents(lpDevice);
        // It plays, but nothing ends it: only a boss's fall clears a stage.
        if (m_Bosses.empty())
            ReportDataError(m_szDefinition, "no BOSS event: the stage cannot be cleared");
    }
    if (bOk)
        LoadEnemies(lpDevice);
    CDSurfaceCache::ClearAll();
    if (!bOk) {
        // Running on half a stage would be worse than running none: the caller sees the failure.
        Unload();
        return 0;
    }
    CProfileTime::Report();
    return 1;
}

void CStageData::Reset()
{
    for (int i = 0; i < BG_NUM; i++)
        m_vVelocity[i] = m_vVelocityInit[i];
    g_nXSpeedState = 0;
    g_fXSpeedDelta = 0.0f;
    StopLabels();
    if (m_pBgm)
        m_pBgm->FadeOut();
}

void CStageData::StopLabels()
{
    for (CObjectLabel* pLabel : m_Labels) {
        pLabel->Stop();
        pLabel->StopExplosions();
    }
    for (auto& boss : m_Bosses)
        if (boss.second)
            boss.second->Stop();
    for (m_ChatList.Begin(); !m_ChatList.IsEnd(); m_ChatList.Next())
        if (m_ChatList.Value())
            m_ChatList.Value()->Close();
}

void CStageData::ClearRows()
{
    for (CObjectLabel* p : m_Labels)
        delete p;
    m_Labels.clear();
    for (int nLayer = 0; nLayer < BG_NUM; nLayer++) {
        for (int nRow = 0; nRow < MAX_ROW_NUM; nRow++) {
            m_Rows[nLayer][nRow].clear();
            m_Cells[nLayer][nRow].clear();
        }
    }
}

void CStageData::Unload()
{
    for (CObjectLabel* pLabel : m_Labels)
        pLabel->Release();
    ClearRows();
    for (auto& boss : m_Bosses) {
        if (boss.second) {
            boss.second->Release();
            delete boss.second;
        }
    }
    m_Bosses.clear();
    for (auto& obj : m_Objects)
        delete obj.second;
    m_Objects.clear();
    for (CObject* p : m_RetiredObjects)
        delete p;
    m_RetiredObjects.clear();
    for (auto& enemy : m_Enemies)
        delete enemy.second;
    m_Enemies.clear();
    for (m_BG0List.Begin(); !m_BG0List.IsEnd(); m_BG0List.Next()) {
        BG0RECORD* pRecord = m_BG0List.Value();
        if (pRecord && pRecord->lpSurface)
            pRecord->lpSurface->Release();
        delete pRecord;
    }
    m_BG0List.Clear();
    for (m_ChatList.Begin(); !m_ChatList.IsEnd(); m_ChatList.Next())
        delete m_ChatList.Value();
    m_ChatList.Clear();
    for (auto& group : m_Groups)
        delete group.second;
    m_Groups.clear();
    m_GroupRefs.clear();
    m_Events.clear();
}

int CStageData::GetRowCount(int nLayer, int nRow) const
{
    if (!IsLayerOk(nLayer) || !IsRowOk(nRow))
        return 0;
    return (int)m_Rows[nLayer][nRow].size();
}

const STAGEROW* CStageData::GetRow(int nLayer, int nScreen, int nRow) const
{
    if (!IsLayerOk(nLayer) || !IsRowOk(nRow) || nScreen < 0 || nScreen >= (int)m_Rows[nLayer][nRow].size())
        return nullptr;
    return &m_Rows[nLayer][nRow][nScreen];
}

CObjectLabel* CStageData::GetCell(int nLayer, int nRow, int nColumn) const
{
    if (!IsLayerOk(nLayer) || !IsRowOk(nRow) || nColumn < 0 || nColumn >= (int)m_Cells[nLayer][nRow].size())
        return nullptr;
    return m_Cells[nLayer][nRow][nColumn];
}

int CStageData::GetCellCount(int nLayer, int nRow) const
{
    if (!IsLayerOk(nLayer) || !IsRowOk(nRow))
        return 0;
    return (int)m_Cells[nLayer][nRow].size();
}

void CStageData::GetColumn(int nLayer, int nDistance, CObjectLabel* pCells[MAX_ROW_NUM]) const
{
    int nColumn = CoordToCell((float)nDistance, STAGE_CELL_SIZE);
    for (int nRow = 0; nRow < MAX_ROW_NUM; nRow++)
        pCells[nRow] = GetCell(nLayer, nRow, nColumn);
}

CObjectLabel* CStageData::GetCellAt(int nLayer, int nDistance, const D3DVECTOR& vPoint) const
{
    if (!IsLayerOk(nLayer))
        return nullptr;
    float fX = (float)(nDistance - STAGE_SPAWN_X) + m_vVelocity[nLayer].x + vPoint.x;
    // Far outside the map (or not a number) there is no cell, and no integer to convert to.
    if (!(std::fabs(fX) < kMapCoordLimit) || !(std::fabs(vPoint.y) < kMapCoordLimit))
        return nullptr;
    return GetCell(nLayer, CoordToCell(vPoint.y, STAGE_CELL_SIZE), CoordToCell(fX, STAGE_CELL_SIZE));
}

CObjectLabel* CStageData::GetCellAtPoint(int nLayer, int nDistance, const D3DVECTOR& vPoint) const
{
    return GetCellAt(nLayer, nDistance, vPoint);
}

CObjectLabel* CStageData::GetSolidCellAt(int nLayer, int nDistance, const D3DVECTOR& vPoint) const
{
    CObjectLabel* pLabel = GetCellAtPoint(nLayer, nDistance, vPoint);
    if (!pLabel || (pLabel->GetAttribute() & OBJATTR_NOTOUCH) || pLabel->IsFinished())
        return nullptr;
    return pLabel;
}

int CStageData::ColumnsPerScreen(int nLayer) const
{
    if (!IsLayerOk(nLayer))
        return MAX_COLUMN_NUM;  // layer X: the caller takes the token as it is
    float fColumns = 10.0f * m_vRatio[nLayer].x;
    // A ratio that is negative, absurd or not a number leaves no column to place.
    if (!(fColumns >= 0.0f))
        return 0;
    return fColumns > (float)STAGE_FIELD_MAX ? STAGE_FIELD_MAX : (int)fColumns;
}

CObject* CStageData::GetObject(const rvm::string& code) const
{
    auto it = m_Objects.find(code);
    return it == m_Objects.end() ? nullptr : it->second;
}

BG0RECORD* CStageData::FindBG0(int nScreen)
{
    for (int k = nScreen; k >= 0; k--)
        if (BG0RECORD** pp = m_BG0List.Find(k))
            return *pp;
    return nullptr;
}

const rvm::vector<rvm::string>* CStageData::GetEvents(int nScreen) const
{
    auto it = m_Events.find(nScreen);
    return it == m_Events.end() ? nullptr : &it->second;
}

const STAGEGROUP* CStageData::GetGroup(const rvm::string& name) const
{
    auto it = m_Groups.find(name);
    return it == m_Groups.end() ? nullptr : it->second;
}

void CStageData::StopScroll()
{
    for (D3DVECTOR& v : m_vVelocity) {
        v.x = 0.0f;
        v.y = 0.0f;
    }
}

void CStageData::Update()
{
    if (g_nXSpeedState == 1) {
        g_nXSpeedState = 2;
    } else if (g_nXSpeedState == 2) {
        g_fXSpeedDelta = m_fXSpeed - m_vVelocity[STAGE_MAIN_LAYER].x;
        m_vVelocity[STAGE_MAIN_LAYER].x = m_fXSpeed;
        g_nXSpeedState = 3;
        ApplyLayerSpeeds();
    }
}

float CStageData::GetXSpeedDelta() const
{
    return g_nXSpeedState == 3 ? g_fXSpeedDelta : 0.0f;
}

int CStageData::ApplyLayerSpeeds()
{
    m_vRatio[STAGE_MAIN_LAYER] = D3DVECTOR{{1.0f}, {1.0f}, {1.0f}};
    const D3DVECTOR vMain = m_vVelocity[STAGE_MAIN_LAYER];
    for (int i = 0; i < BG_NUM; i++) {
        m_vVelocity[i].x = m_vRatio[i].x * vMain.x;
        m_vVelocity[i].y = m_vRatio[i].y * vMain.y;
    }
    return 1;
}
