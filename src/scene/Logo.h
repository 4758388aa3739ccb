// The start-up sequence of states 1 and 2: the caution screen and the maker's bar. Until its
// pictures exist it finishes as soon as it is entered and draws nothing; entering at the caution
// screen still runs the game's one-time LoadAll, as the caution screen does, and either entry
// reads the opening's script when the opening is to be played.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class CGame;
class COpening;

class CLogo {
public:
    enum { STATE_FINISHED = 8 };

    CLogo() = default;
    virtual ~CLogo() = default;

    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void SetOpening(COpening* pOpening) { m_pOpening = pOpening; }
    void SetGame(CGame* pGame) { m_pGame = pGame; }
    void StartCaution();
    void StartBar();
    void Update();
    void Draw(IDirectDrawSurface7* lpDest);
    void DrawFade(IDirect3DDevice7* lpDevice);
    int GetState() const { return m_nState; }

private:
    int m_nState = STATE_FINISHED;
    COpening* m_pOpening = nullptr;
    CGame* m_pGame = nullptr;
};
