// The cheapest honest way to a boss: the stage's map with every screen between its start and the
// boss's arena taken out, so the boss still comes at the map's end, a screen after the start, with
// its warning, its arena and the arena's loop as the stage places them.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TempFolder.h"

// Rewrites GameData/StageNN/Stage.txt of the run's folder: main and enemy layers lose the screens
// 1 to nBossScreen - 1, events of those screens go, and the warning's screen becomes screen 0.
inline void MoveBossToStart(int nStage, int nBossScreen = 14)
{
    char szPath[64];
    snprintf(szPath, sizeof(szPath), "GameData/Stage%02d/Stage.txt", nStage);
    std::ifstream in(szPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    const int nShift = nBossScreen - 1;
    std::string out;
    size_t nAt = 0;
    while (nAt < text.size()) {
        size_t nEnd = text.find("\r\n", nAt);
        if (nEnd == std::string::npos)
            nEnd = text.size();
        std::string line = text.substr(nAt, nEnd - nAt);
        nAt = nEnd + 2;
        const bool bGrid = line.size() > 8 && line.compare(0, 4, "#000") == 0 && (line[4] == 'C' || line[4] == 'E') &&
                           line[7] == ':';
        const bool bAtScreen = line.size() > 8 && line[0] == '#' && isdigit((unsigned char)line[1]) &&
                               (line.compare(4, 4, "XXX:") == 0 || line.compare(4, 4, "C00:") == 0);
        if (bGrid) {
            // Screen 0, then the screens from the boss's warning on.
            std::string kept = line.substr(0, 8);
            size_t nField = 0, nStart = 8;
            bool bFirst = true;
            while (nStart <= line.size()) {
                size_t nComma = line.find(',', nStart);
                if (nComma == std::string::npos)
                    nComma = line.size();
                if (nField == 0 || (int)nField > nShift) {
                    kept += (bFirst ? "" : ",") + line.substr(nStart, nComma - nStart);
                    bFirst = false;
                }
                nField++;
                nStart = nComma + 1;
            }
            line = kept;
        } else if (bAtScreen) {
            const int nScreen = atoi(line.substr(1, 3).c_str());
            if (nScreen > 0 && nScreen < nShift)
                continue;
            if (nScreen >= nShift && nScreen < 999) {
                char szScreen[16];
                snprintf(szScreen, sizeof(szScreen), "%03d", nScreen - nShift);
                line.replace(1, 3, szScreen);
                const std::string strLoop = "LOOP=" + std::to_string(nBossScreen) + ":";
                const size_t nLoop = line.find(strLoop);
                if (nLoop != std::string::npos)
                    line.replace(nLoop, strLoop.size(), "LOOP=1:");
            }
        }
        out += line + "\r\n";
    }
    CTempFolder::Put(szPath, out);
}
