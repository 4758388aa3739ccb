// The replay selection (saving a finished run, choosing a replay to watch). Until its slots and
// pictures exist it goes back as soon as it is entered, in either mode, and never saves anything.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class CReplaySel {
public:
    enum { RESULT_NONE = 0, RESULT_PLAY = 1, RESULT_SAVED = 2, RESULT_SAVE = 3, RESULT_BACK = 4 };

    CReplaySel() = default;
    virtual ~CReplaySel() = default;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    // Rereads the slots.
    void Enter(IDirect3DDevice7* lpDevice);
    void SetMode(int bSave);
    void ResetSelection();
    // The selected slot's file name; null with no selection.
    const char* GetFileName() const;
    // The selected slot's start stage; 0 with no selection.
    int GetStage() const;
    void ShowSaved();
    void Update();
    void UpdateCursor();
    void Draw(IDirectDrawSurface7* lpDest);
    int GetResult() const { return m_nResult; }
    int IsSaveMode() const { return m_bSave; }

private:
    int m_nResult = RESULT_NONE;
    int m_bSave = 0;
};
