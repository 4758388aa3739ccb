#include "engine/GameFrame.h"

namespace {
IGameFrame* s_pGame = nullptr;
IScreenDialog* s_pScreenDialog = nullptr;
}

void SetGameFrame(IGameFrame* pGame)
{
    s_pGame = pGame;
}

IGameFrame* GetGameFrame()
{
    return s_pGame;
}

void SetScreenDialog(IScreenDialog* pDialog)
{
    s_pScreenDialog = pDialog;
}

IScreenDialog* GetScreenDialog()
{
    return s_pScreenDialog;
}
