// Turning the read definition into live objects: object pictures, one placed label per map cell,
// and the enemy kinds, made once per code or boss name.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/BmpIndex.h"
#include "engine/DebugOut.h"
#include "stage/EnemyFactory.h"
#include "stage/Object.h"
#include "stage/ObjectLabel.h"
#include "stage/People.h"
#include "stage/PeopleLabel.h"
#include "stage/PeopleSet.h"
#include "stage/StageData.h"
#include "rvm/rvm_stl.h"

int CStageData::LoadPeople(IDirect3DDevice7* lpDevice)
{
    // People.txt is the regions' index and the catalogue in one. It is optional: without it every
    // layer-E code is an enemy code. The kinds keep their pictures; the index is done with then.
    GetPeopleIndex().LoadIndex(lpDevice, m_szStageDir, "People.txt");
    m_bPeopleLoaded = CPeopleSet::Load(lpDevice, m_szStageDir);
    GetPeopleIndex().Clear();
    return 1;
}

int CStageData::LoadObjects(IDirect3DDevice7* lpDevice)
{
    for (auto& obj : m_Objects)
        obj.second->Load(lpDevice, m_szStageDir);
    // The regions cut from each picture are in the surfaces now; their indexes are not needed.
    CBmpIndexSet& set = CBmpIndexSet::GetInstance();
    for (auto& obj : m_Objects) {
        const char* pszFile = obj.second->GetImageFile();
        if (!pszFile || !*pszFile)
            continue;
        if (CBmpIndex* pIndex = set.Find(pszFile)) {
            std::lock_guard<std::mutex> lock(set.Lock());
            set[pszFile] = nullptr;
            delete pIndex;
        }
    }
    return 1;
}

namespace {

uint16_t CodeNumber(const char* pCode)
{
    return (uint16_t)((uint8_t)pCode[0] << 8 | (uint8_t)pCode[1]);
}

// The type of a cell's code; null for a code no type has.
CObject* FindCellObject(const rvm::vector<CELLOBJECT>& cellObjects, const char* pCode)
{
    const uint16_t nCode = CodeNumber(pCode);
    auto it = std::lower_bound(cellObjects.begin(), cellObjects.end(), nCode,
                               [](const CELLOBJECT& entry, uint16_t nKey) { return entry.nCode < nKey; });
    return it != cellObjects.end() && it->nCode == nCode ? it->pObj : nullptr;
}

}  // namespace

rvm::vector<CELLOBJECT> CStageData::CellObjects() const
{
    // The map's order of two-byte names is the order of their numbers.
    rvm::vector<CELLOBJECT> cellObjects;
    cellObjects.reserve(m_Objects.size());
    for (const auto& obj : m_Objects)
        if (obj.first.size() == 2)
            cellObjects.push_back(CELLOBJECT{CodeNumber(obj.first.data()), obj.second});
    return cellObjects;
}

int CStageData::BuildLayerLabels(IDirect3DDevice7* lpDevice, int nLayer)
{
    if (nLayer < 0 || nLayer >= BG_NUM)
        return 1;
    const rvm::vector<CELLOBJECT> cellObjects = CellObjects();
    for (int nRow = 0; nRow < MAX_ROW_NUM; nRow++) {
        rvm::vector<CObjectLabel*>& cells = m_Cells[nLayer][nRow];
        size_t nCells = cells.size();
        for (const STAGEROW& record : m_Rows[nLayer][nRow])
            nCells += record.text.size() / 2;
        // Every cell is made empty first, and most stay so ("00"): only those with a code of
        // their own are looked at again.
        size_t nCell = cells.size();
        cells.resize(nCells, nullptr);
        for (const STAGEROW& record : m_Rows[nLayer][nRow]) {
            const rvm::string& text = record.text;
            const size_t nCodes = text.size() / 2;
            // Most rows are those of screens the map left empty: nothing but '0's, found by one
            // scan, and their cells are empty already.
            if (strspn(text.c_str(), "0") >= text.size()) {
                nCell += nCodes;
                continue;
            }
            for (size_t c = 0; c < nCodes; c++, nCell++) {
                const char* pCode = text.data() + 2 * c;
                if (pCode[0] == '0' && pCode[1] == '0')
                    continue;
                const rvm::string code(pCode, 2);
                CObjectLabel* pLabel = nullptr;
                int nColumn = (int)c;
                if (nLayer == STAGE_ENEMY_LAYER && CPeopleSet::Exists(code.c_str())) {
                    pLabel = MakePeopleLabel(lpDevice, code, nLayer, record.nScreen, nColumn, record.nRow);
                } else if (nLayer == STAGE_ENEMY_LAYER) {
                    pLabel = MakeEnemyLabel(lpDevice, code, nLayer, record.nScreen, nColumn, record.nRow);
                } else {
                    pLabel = NewObjectLabel(lpDevice, FindCellObject(cellObjects, pCode), code, nLayer, record.nScreen,
                                            nColumn, record.nRow);
                }
                // An undefined code still takes its column (null), or every later cell of the row
                // would slide one column to the left.
                cells[nCell] = pLabel;
                if (pLabel)
                    m_Labels.push_back(pLabel);
            }
        }
    }
    return 1;
}

void CStageData::PlaceLabel(CObjectLabel* pLabel, int nLayer, int nScreen, int nColumn, int nRow)
{
    pLabel->SetLayer(LetterFromLayer(nLayer));
    pLabel->SetNumber(nScreen);
    pLabel->SetCell(nColumn, nRow);
}

CObjectLabel* CStageData::MakeObjectLabel(IDirect3DDevice7* lpDevice, const rvm::string& code, int nLayer,
                                          int nScreen, int nColumn, int nRow)
{
    return NewObjectLabel(lpDevice, GetObject(code), code, nLayer, nScreen, nColumn, nRow);
}

CObjectLabel* CStageData::NewObjectLabel(IDirect3DDevice7* lpDevice, CObject* pObj, const rvm::string& code,
                                         int nLayer, int nScreen, int nColumn, int nRow)
{
    if (!pObj) {
        Report(7, "ERROR 1 : オブジェが定義されていません [%s]\n", code.c_str());
        return nullptr;
    }
    CObjectLabel* pLabel = new CObjectLabel;
    pLabel->SetObject(pObj);
    PlaceLabel(pLabel, nLayer, nScreen, nColumn, nRow);
    pLabel->Setup(lpDevice, m_szStageDir);
    return pLabel;
}

CObjectLabel* CStageData::MakePeopleLabel(IDirect3DDevice7* lpDevice, const rvm::string& code, int nLayer,
                                          int nScreen, int nColumn, int nRow)
{
    CPeople* pPeople = CPeopleSet::Find(code.c_str());
    if (!pPeople) {
        Report(7, "ERROR 18 : 通行者が定義されていません [%s]\n", code.c_str());
        return nullptr;
    }
    CPeopleLabel* pLabel = new CPeopleLabel;
    pLabel->SetPeople(pPeople);
    PlaceLabel(pLabel, nLayer, nScreen, nColumn, nRow);
    pLabel->Setup(lpDevice, m_szStageDir);
    return pLabel;
}

CObjectLabel* CStageData::MakeEnemyLabel(IDirect3DDevice7* lpDevice, const rvm::string& code, int nLayer,
                                         int nScreen, int nColumn, int nRow)
{
    CObject* pEnemy = GetEnemy(code);
    const ENEMYMAKERS& makers = GetEnemyMakers();
    if (!pEnemy || !makers.NewLabel) {
        Report(3, "ERROR 1 : オブジェが定義されていません [%s]\n", code.c_str());
        return nullptr;
    }
    CObjectLabel* pLabel = makers.NewLabel(pEnemy);
    if (!pLabel)
        return nullptr;
    PlaceLabel(pLabel, nLayer, nScreen, nColumn, nRow);
    if (makers.CreateParts)
        makers.CreateParts(pLabel, lpDevice);
    pLabel->Setup(lpDevice, m_szStageDir);
    return pLabel;
}

int CStageData::LoadEnemies(IDirect3DDevice7* lpDevice)
{
    for (auto& enemy : m_Enemies)
        enemy.second->Load(lpDevice, m_szStageDir);
    return 1;
}

CObject* CStageData::GetEnemy(const rvm::string& text)
{
    auto it = m_Enemies.find(text);
    if (it != m_Enemies.end())
        return it->second;
    int nVariant = 0;
    ENEMYKIND nKind = FindEnemyKind(text.c_str(), &nVariant);
    const ENEMYMAKERS& makers = GetEnemyMakers();
    if (nKind == ENEMYKIND_NONE || !makers.NewKind)
        return nullptr;
    CObject* pEnemy = makers.NewKind(nKind, text.c_str(), nVariant);
    if (pEnemy)
        m_Enemies[text] = pEnemy;
    return pEnemy;
}
