// The shortest ride to a sample stage's boss: the stage file of the test's data copy keeps its
// first screen and its last screens from nFirstKept on, which move up to follow the first, and so
// do the events and group placements of those screens (and a LOOP's target). The boss still stands
// at the end of the map; the screens between, with their enemies and events, are gone.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempFolder.h"

// "#SSSxyy:rest" of a stage file: the screen number SSS, the six characters after '#' and the rest.
inline bool SplitStageLine(const std::string& line, int* pnScreen, std::string* pTag, std::string* pRest)
{
    if (line.size() < 8 || line[0] != '#' || line[7] != ':')
        return false;
    for (int i = 1; i <= 3; i++) {
        if (line[i] < '0' || line[i] > '9')
            return false;
    }
    *pnScreen = atoi(line.substr(1, 3).c_str());
    *pTag = line.substr(4, 3);
    *pRest = line.substr(8);
    return true;
}

inline std::string ShortenStageText(const std::string& text, int nFirstKept)
{
    const int nShift = nFirstKept - 1;
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line)) {
        const bool bCr = !line.empty() && line.back() == '\r';
        if (bCr)
            line.pop_back();
        int nScreen = 0;
        std::string tag, rest;
        if (SplitStageLine(line, &nScreen, &tag, &rest) && nScreen != 999) {
            const bool bCells = tag[0] >= 'A' && tag[0] <= 'E' && tag != "XXX" && tag.substr(1) != "00";
            if (bCells && nScreen == 0) {
                // One cell list per screen, separated by commas: keep screen 0 and the last ones.
                std::vector<std::string> cells;
                std::string cell;
                std::istringstream cs(rest);
                while (std::getline(cs, cell, ','))
                    cells.push_back(cell);
                std::string kept = cells.empty() ? "" : cells[0];
                for (size_t s = (size_t)nFirstKept; s < cells.size(); s++)
                    kept += "," + cells[s];
                line = line.substr(0, 8) + kept;
            } else if (nScreen > 0) {
                if (nScreen < nFirstKept)
                    continue;
                const size_t nLoop = rest.find("LOOP=");
                if (nLoop != std::string::npos)
                    rest = "LOOP=" + std::to_string(atoi(rest.c_str() + nLoop + 5) - nShift) +
                           rest.substr(rest.find(':', nLoop));
                char sz[8];
                snprintf(sz, sizeof(sz), "#%03d", nScreen - nShift);
                line = sz + tag + ":" + rest;
            }
        }
        out += line + (bCr ? "\r\n" : "\n");
    }
    return out;
}

// Rewrites GameData/Stage<nn>/Stage.txt of the test's folder.
inline void ShortenStage(int nStage, int nFirstKept)
{
    char szPath[64];
    snprintf(szPath, sizeof(szPath), "GameData/Stage%02d/Stage.txt", nStage);
    std::ifstream file(szPath, std::ios::binary);
    std::stringstream ss;
    ss << file.rdbuf();
    file.close();
    CTempFolder::Put(szPath, ShortenStageText(ss.str(), nFirstKept));
}
