#include "engine/GameFrame.h"

namespace {
IGameFrame* s_pGame = nullptr;
}

void SetGameFrame(IGameFrame* pGame)
{
    s_pGame = pGame;
}

IGameFrame* GetGameFrame()
{
    return s_pGame;
}
