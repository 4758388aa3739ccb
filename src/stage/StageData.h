// The loaded definition of one stage: object types, enemy kinds, the map rows of every layer screen
// by screen, the placed labels built from them (one per cell), the event texts per screen, groups,
// per-layer scroll values and a few stage constants. The running stage owns one, loads it on the
// loading thread and reads it from the main thread afterwards.
#pragma once
#include <cstdint>
#include <string_view>

#include "rvm/rvm_stl.h"
#include "platform/d3d/D3D.h"
#include "rvm/list_idx.h"

class CObject;
class CObjectLabel;
class CMsgWin;
class CFile;
class CBgmWave;
class CPCMManagerTask;
class IStageEventTarget;
struct STAGELINES;

#define BG_NUM 7            // drawing layers 0 to 6
#define MAX_ROW_NUM 8       // rows of a layer, index 0 at the top
#define MAX_COLUMN_NUM 10   // columns of a screen at ratio 1
#define STAGE_MAIN_LAYER 3  // the layer the heroine rides; its step drives the others
#define STAGE_ENEMY_LAYER 6 // enemies and passers-by
#define STAGE_EVENT_LAYER 7 // the X lines: events and groups
#define STAGE_CELL_SIZE 64
#define STAGE_LINE_MAX 3072
#define STAGE_FIELD_MAX 255
#define STAGE_SPAWN_X 704   // where new columns enter

// One map row of one screen (screen -1 for the rows of a group).
struct STAGEROW {
    int nScreen = 0;
    int nLayer = 0;
    int nRow = 0;
    rvm::string text;  // two-character codes, padded to the layer's columns per screen
    int nFlag = 0;
};

// A vertical slice of the X rows above a group-name line.
struct STAGEGROUP {
    rvm::string name;
    STAGEROW* pRows[MAX_ROW_NUM] = {};  // owned; null where the group has no row
    ~STAGEGROUP();
};

struct STAGEGROUPREF {
    rvm::string name;
    int nScreen = 0;
    int nLayer = 0;
};

// An object type of a two-byte code, the code as a number (first byte high): the cells find their
// types among these, in the numbers' order.
struct CELLOBJECT {
    uint16_t nCode;
    CObject* pObj;
};

// A far-background picture switched on at a screen.
struct BG0RECORD {
    rvm::string picture;  // stage folder + picture name
    rvm::string scale;    // "200%" doubles the picture
    IDirectDrawSurface7* lpSurface = nullptr;  // null for a picture whose name ends in "Off"
    int nWidth = 0;
    int nHeight = 0;
};

// The process-wide XSPEED transition: 0 none, 1 requested, 2 armed, 3 applied.
extern int g_nXSpeedState;
extern float g_fXSpeedDelta;

// Layer letters of the map lines: A 1, B 2, C 3, D 4, E 6, X 7 (either case); -1 otherwise.
int LayerFromLetter(char c);
// 1 'A' ... 7 'X'; the byte 0xFF for a layer without a letter.
char LetterFromLayer(int nLayer);

class CStageData {
public:
    CStageData();
    virtual ~CStageData();
    CStageData(const CStageData&) = delete;
    CStageData& operator=(const CStageData&) = delete;

    // The sound bank and the music streamer the events and Reset use; null ones are skipped.
    void SetServices(CPCMManagerTask* pSound, CBgmWave* pBgm)
    {
        m_pSound = pSound;
        m_pBgm = pBgm;
    }

    // 1 on success. A failed load leaves the data unloaded (empty and consistent).
    int Load(IDirect3DDevice7* lpDevice, int nStage, int bDemo);
    void Reset();
    void Unload();
    void StopLabels();
    // The running stage's unload calls this just before Unload; it has nothing to do.
    void PreUnload() {}

    // Queries; out-of-range rows and columns give 0 or null.
    int GetRowCount(int nLayer, int nRow) const;
    const STAGEROW* GetRow(int nLayer, int nScreen, int nRow) const;
    CObjectLabel* GetCell(int nLayer, int nRow, int nColumn) const;
    int GetCellCount(int nLayer, int nRow) const;
    void GetColumn(int nLayer, int nDistance, CObjectLabel* pCells[MAX_ROW_NUM]) const;
    CObjectLabel* GetCellAt(int nLayer, int nDistance, const D3DVECTOR& vPoint) const;
    CObjectLabel* GetCellAtPoint(int nLayer, int nDistance, const D3DVECTOR& vPoint) const;
    CObjectLabel* GetSolidCellAt(int nLayer, int nDistance, const D3DVECTOR& vPoint) const;
    int ColumnsPerScreen(int nLayer) const;
    CObject* GetObject(const rvm::string& code) const;
    // The enemy factory: the kind of a code or boss name, made on first use; null for a text the
    // table does not know or a kind the enemy library has not provided.
    CObject* GetEnemy(const rvm::string& text);
    BG0RECORD* FindBG0(int nScreen);
    const rvm::vector<rvm::string>* GetEvents(int nScreen) const;
    const rvm::map<int, rvm::vector<rvm::string>>& GetEventMap() const { return m_Events; }
    const STAGEGROUP* GetGroup(const rvm::string& name) const;

    void StopScroll();
    void Update();
    float GetXSpeedDelta() const;

    // The definition file (three passes over its '#' lines).
    int ReadDefinition(const char* pszPath);
    int ReadDirectives(const STAGELINES& lines);
    int ParseDirective(const char* pszKeyword, const rvm::vector<rvm::string>& values);
    int ParseObjectDef(CObject* pObj, const rvm::vector<rvm::string>& values);
    int ReadMapRows(const STAGELINES& lines);
    int ReadGroups(const STAGELINES& lines);
    int ResolveGroupRefs();
    int ApplyLayerSpeeds();
    // Screen, layer letter and row of the six header bytes; 0 when they are not a header.
    int ParseRowHeader(const char* pszHeader, int* pnScreen, char* pcLayer, int* pnRow) const;
    void PadRow(rvm::string& out, int nScreen, int nLayer, std::string_view token);
    STAGEROW MakeRow(int nScreen, int nLayer, int nRow, std::string_view token);
    void AppendRow(int nLayer, int nRow, STAGEROW&& record);
    void SetRow(int nLayer, int nRow, STAGEROW&& record);

    // Label building.
    int LoadPeople(IDirect3DDevice7* lpDevice);
    int LoadObjects(IDirect3DDevice7* lpDevice);
    int BuildLayerLabels(IDirect3DDevice7* lpDevice, int nLayer);
    CObjectLabel* MakeObjectLabel(IDirect3DDevice7* lpDevice, const rvm::string& code, int nLayer, int nScreen,
                                  int nColumn, int nRow);
    CObjectLabel* MakePeopleLabel(IDirect3DDevice7* lpDevice, const rvm::string& code, int nLayer, int nScreen,
                                  int nColumn, int nRow);
    CObjectLabel* MakeEnemyLabel(IDirect3DDevice7* lpDevice, const rvm::string& code, int nLayer, int nScreen,
                                 int nColumn, int nRow);
    int LoadEnemies(IDirect3DDevice7* lpDevice);

    // Load-time work of the events: pictures, chat windows, sounds, boss labels. 1.
    int PrepareEvents(IDirect3DDevice7* lpDevice);
    // Runs the events of *pnScreen in file order; LOOP may change *pnScreen. The running stage
    // calls it at the start (screen 0, then 1) and whenever its screen changes.
    void RunEvents(IStageEventTarget* pStage, int* pnScreen);

    // The loader's numbered messages of the last load, as formatted (also sent to the debug trace).
    const rvm::vector<rvm::string>& GetMessages() const { return m_Messages; }
    int CountMessages(int nNumber) const;

    char m_szStageDir[260];
    char m_szStageDirCopy[260];  // the BGM event builds its music path from this one
    char m_szDefinition[300];    // the definition file read last, named in the user's messages
    D3DVECTOR m_vVelocityInit[BG_NUM];
    D3DVECTOR m_vVelocity[BG_NUM];
    D3DVECTOR m_vRatio[BG_NUM];
    float m_fXSpeed;
    list_idx<BG0RECORD*> m_BG0List;
    list_idx<CMsgWin*> m_ChatList;
    rvm::map<rvm::string, CObjectLabel*> m_Bosses;
    int m_nStageNo;
    int m_nShotLevel;
    CPCMManagerTask* m_pSound = nullptr;
    CBgmWave* m_pBgm = nullptr;

private:
    void Report(int nLevel, const char* pszFormat, ...) __attribute__((format(printf, 3, 4)));
    // Whether the definition gave a stage to play: object types and map rows to place them in.
    // When not, the user is told why.
    int CheckPlayable();
    void AddGroup(const rvm::string& name, rvm::vector<STAGEROW*> pending[MAX_ROW_NUM], size_t k);
    int ParseMapLine(const char* pszLine, int* pnScreen, int* pnLayer, int* pnRow, const char** ppszTokens) const;
    void StoreObject(const rvm::string& code, CObject* pObj);
    void ClearRows();
    // The row list of a layer and row index; null when out of range.
    rvm::vector<STAGEROW>* RowsFor(int nLayer, int nRow);
    void PlaceLabel(CObjectLabel* pLabel, int nLayer, int nScreen, int nColumn, int nRow);
    // The types of the two-byte codes, for the cells: a map's string compares cost more than all
    // the rest of a cell's work.
    rvm::vector<CELLOBJECT> CellObjects() const;
    // The label of a cell of the object type (ERROR 1 and null when there is none).
    CObjectLabel* NewObjectLabel(IDirect3DDevice7* lpDevice, CObject* pObj, const rvm::string& code, int nLayer,
                                 int nScreen, int nColumn, int nRow);
    void PrepareEvent(IDirect3DDevice7* lpDevice, int nScreen, const rvm::string& text);
    int RunEvent(IStageEventTarget* pStage, int nEventScreen, int* pnScreen, const rvm::string& text,
                 int* pbFirstDanger);
    void PlayBgm(const rvm::vector<rvm::string>& args);

    rvm::vector<STAGEROW> m_Rows[BG_NUM][MAX_ROW_NUM];
    rvm::map<rvm::string, STAGEGROUP*> m_Groups;
    rvm::vector<STAGEGROUPREF> m_GroupRefs;
    rvm::vector<CObjectLabel*> m_Cells[BG_NUM][MAX_ROW_NUM];
    // The labels of the cells, in the order they were made: most cells are empty, and what is
    // done to every label is done by going over these.
    rvm::vector<CObjectLabel*> m_Labels;
    rvm::map<int, rvm::vector<rvm::string>> m_Events;
    rvm::map<rvm::string, CObject*> m_Objects;
    rvm::vector<CObject*> m_RetiredObjects;  // redefined types, kept while animations may name them
    rvm::map<rvm::string, CObject*> m_Enemies;
    rvm::vector<rvm::string> m_Messages;
    int m_bPeopleLoaded;
};
