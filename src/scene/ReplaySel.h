// The replay selection of state 7: the five slots .\Replay\Replay01.dat .. Replay05.dat with what
// each file's header holds. In load mode (from the title) the player picks a replay to watch; in
// save mode (after a run or an ending) a slot to save the run into. The game writes the file; the
// screen only reports what was chosen.
#pragma once
#include "engine/DSurface.h"
#include "engine/NumberBase.h"
#include "player/Item.h"
#include "player/PlayerFace.h"
#include "player/StagePoint.h"
#include "scene/MenuEdge.h"

#define REPLAY_SLOTS 5
#define REPLAY_BACK_PICTURE ".\\GameData\\Title\\Replay.bmp"
#define REPLAY_EMPTY_PICTURE ".\\GameData\\Title\\ReplaySub.bmp"

class CReplaySel {
public:
    enum {
        RESULT_NONE = 0,
        RESULT_PLAY = 1,
        RESULT_SAVED = 2,
        RESULT_SAVE = 3,
        RESULT_BACK = 4,
        RESULT_LOAD_CANCEL = 5,
        RESULT_SAVE_CANCEL = 6,
    };
    enum { CONFIRM_MS = 1000, ROW_Y = 72, ROW_STEP = 80 };
    // A failed save's two lines stand above the frames, right of the screen's name: beside any
    // row's label they would meet the key help under the last.
    enum { FAILURE_X = 300, FAILURE_Y = 16, FAILURE_WIDTH = 336, FAILURE_HEIGHT = 44 };
    // The pointer is an item of this kind, spinning beside the chosen slot.
    enum { CURSOR_ITEM_KIND = 0, SCORE_DIGITS = 7 };

    // What a slot's header holds; valid only when every value is one the game can have written.
    struct SLOT {
        int bValid = 0;
        int nFormat = -1;  // formats before 5 hold no date or score
        int nOptions[3] = {};
        int nYear = 0, nMonth = 0, nDay = 0;
        int nScore = 0;
        int nStartStage = 0;  // 0-based: the leading tracks that did not run
        int nSubWeapon = 0;
        char szFile[16] = {};
    };

    CReplaySel() = default;
    virtual ~CReplaySel() = default;
    CReplaySel(const CReplaySel&) = delete;
    CReplaySel& operator=(const CReplaySel&) = delete;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    // Rereads the slots (making the folder when it is missing).
    void Enter(IDirect3DDevice7* lpDevice);
    void SetMode(int bSave);
    void ResetSelection();
    // The selected slot's file name; null with no selection.
    const char* GetFileName() const;
    // The selected slot's start stage; 0 with no selection.
    int GetStage() const;
    void ShowSaved();
    // The save into the selected slot failed (USERFILE_*): the screen says which slot and why until
    // the next visit or save, and the player chooses again from the same slot.
    void ShowSaveFailure(int nWhy);
    // The reason shown and its slot; USERFILE_WRITTEN and -1 when none is.
    int GetSaveFailure() const { return m_nFailure; }
    int GetFailureSlot() const { return m_nFailureSlot; }
    void Update();
    void UpdateCursor();
    void Draw(IDirectDrawSurface7* lpDest);
    int GetResult() const { return m_nResult; }
    int IsSaveMode() const { return m_bSave; }
    int GetCursor() const { return m_nCursor; }
    const SLOT& GetSlot(int i) const { return m_Slots[i]; }
    const CItemGun& GetCursorItem() const { return m_Cursor; }
    CStagePointEx& GetScoreDisplay() { return m_Score; }
    // Where the score display stands so that its last seven places start at x.
    float GetScoreX(int x) const;

    // Reads a slot's file in .\Replay\; the slot is valid only for a sound header and tracks that
    // all read, that is, a file that can be played.
    static void ReadSlot(const char* pszFile, SLOT* pSlot);

private:
    // The next valid slot from the cursor in the direction, at most six steps; the cursor when none.
    int NextValid(int nFrom, int nStep) const;
    void MoveCursor(int nStep);
    void MakeSlotPictures(IDirect3DDevice7* lpDevice, int i);
    void DrawSurface(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSurface, int x, int y);
    // The pointer item thrown afresh, but in none of the stage's registries: no stage may meet it.
    void StartCursor();
    void PlaceCursor();
    void DrawSlot(IDirectDrawSurface7* lpDest, int i, int y);

    SLOT m_Slots[REPLAY_SLOTS];
    CDSurface m_Dates[REPLAY_SLOTS];
    CPointNumber m_SlotNumbers[REPLAY_SLOTS];
    CDSurface m_Back;
    CDSurface m_Empty;
    CDSurface m_Failure;  // what a failed save says
    int m_nFailure = 0;
    int m_nFailureSlot = -1;
    CDSurface m_Icons;  // the four sub-weapons' icons side by side
    CPlayerFace m_Face;  // beside every valid slot
    CItemGun m_Cursor;
    CStagePointEx m_Score;  // one counter, set to each slot's score as it is drawn
    int m_nResult = RESULT_NONE;
    int m_nCursor = -1;
    int m_bSave = 0;
    CKeyEdge m_Shot, m_Jump, m_Up, m_Down;
    DWORD m_dwConfirmStart = 0;
    int m_bStopped = 1;
};
