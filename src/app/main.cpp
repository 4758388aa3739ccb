// The program's entry: the real window host, the one game object, then the process frame.
#include <cstdio>
#include <string>

#include "engine/GameFrame.h"
#include "engine/WinMain.h"
#include "platform/host/HostSdl.h"
#include "scene/Game.h"
#include "scene/ScrDialog.h"

namespace {
CGame g_Game;  // lives from before the frame starts until after it returns
CScrDialog g_ScrDialog;
}

int main()
{
    CHostSdl host;
    std::string strError;
    if (!host.Init(&strError)) {
        fprintf(stderr, "zorva: no display to open the window on (%s)\n", strError.c_str());
        return 1;
    }
    SetHost(&host);
    SetGameFrame(&g_Game);
    SetScreenDialog(&g_ScrDialog);
    char szCmdLine[] = "";
    const int nResult = WinMain(nullptr, nullptr, szCmdLine, SW_SHOWNORMAL);
    SetScreenDialog(nullptr);
    SetGameFrame(nullptr);
    SetHost(nullptr);
    return nResult;
}
