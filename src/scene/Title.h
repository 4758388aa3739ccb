// The title screen. Until its pictures and menu exist it asks to start at once, from the stage it
// was reset with, and draws nothing.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class CTitle {
public:
    // What the title asks of the game: start, settings, replay, logo, ending, demo, quit.
    enum {
        RESULT_NONE = 0,
        RESULT_START = 3,
        RESULT_SETTINGS = 4,
        RESULT_REPLAY = 5,
        RESULT_LOGO = 6,
        RESULT_ENDING = 7,
        RESULT_DEMO = 8,
        RESULT_QUIT = 9,
    };

    CTitle() = default;
    virtual ~CTitle() = default;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    // Entered with the stage a start begins at; a fresh visit starts the title from its beginning.
    void Reset(int nStage, int bFresh);
    void ResetInput(int bFresh);
    void Update();
    void Draw(IDirectDrawSurface7* lpDest);
    int GetResult() const { return m_nResult; }
    void SetResult(int nResult) { m_nResult = nResult; }
    int GetStage() const { return m_nStage; }

private:
    int m_nResult = RESULT_NONE;
    int m_nStage = 1;
};
