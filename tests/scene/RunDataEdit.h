// Edits to the run's own copy of the generated data (the current folder's GameData): Param.txt
// keys, and stages cut short so a run reaches the boss in few ticks.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempFolder.h"

#define PARAM_FILE "GameData/System/Param.txt"
#define BOSS_STAGE_FILE "StageBoss.txt"

inline std::string ReadDataFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline std::string StagePath(int nStage)
{
    char szPath[64];
    snprintf(szPath, sizeof(szPath), "GameData/Stage%02d/Stage.txt", nStage);
    return szPath;
}

// Where the line "#KEY ..." starts; a key inside a comment ("// #KEY") is no key.
inline size_t FindParamLine(const std::string& text, const std::string& strKey)
{
    const std::string strHead = "#" + strKey + " ";
    for (size_t nAt = 0; nAt < text.size();) {
        if (text.compare(nAt, strHead.size(), strHead) == 0)
            return nAt;
        nAt = text.find('\n', nAt);
        if (nAt == std::string::npos)
            break;
        nAt++;
    }
    return std::string::npos;
}

inline void EditParams(const std::function<void(std::string&)>& edit)
{
    std::string text = ReadDataFile(PARAM_FILE);
    edit(text);
    CTempFolder::Put(PARAM_FILE, text);
}

// Replaces the values of a key of Param.txt, or adds the key; true when the file was there.
inline bool SetParam(const std::string& strKey, const std::string& strValues)
{
    if (!std::ifstream(PARAM_FILE))
        return false;
    EditParams([&](std::string& text) {
        const std::string strLine = "#" + strKey + " " + strValues + "\r\n";
        const size_t nAt = FindParamLine(text, strKey);
        if (nAt == std::string::npos) {
            text += strLine;
        } else {
            const size_t nEnd = text.find('\n', nAt);
            text.replace(nAt, nEnd == std::string::npos ? std::string::npos : nEnd + 1 - nAt, strLine);
        }
    });
    return true;
}

inline bool SetParam(const std::string& strKey, int nValue) { return SetParam(strKey, std::to_string(nValue)); }

// Comments a key of Param.txt out, as if it were not there.
inline void DropParam(const std::string& strKey)
{
    EditParams([&](std::string& text) {
        const size_t nAt = FindParamLine(text, strKey);
        if (nAt != std::string::npos)
            text.replace(nAt, 1, "//");
    });
}

// The screen of a stage map's BOSS event; -1 when it has none.
inline int BossScreenOf(const std::string& text)
{
    const size_t nAt = text.find("XXX:BOSS=");
    if (nAt == std::string::npos || nAt < 4 || text[nAt - 4] != '#')
        return -1;
    return atoi(text.substr(nAt - 3, 3).c_str());
}

inline int BossScreen(int nStage) { return BossScreenOf(ReadDataFile(StagePath(nStage))); }

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

// The map cut short: the cells of screen 0 and of the screens from nFirstCells on, the events and
// group placements of screen 0 and of the screens from nFirstEvents on, each kept screen after 0
// moved nShift screens down (a LOOP's target with it); the group definitions stay as they are.
inline std::string CutStageText(const std::string& text, int nFirstCells, int nFirstEvents, int nShift)
{
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line)) {
        const bool bCr = !line.empty() && line.back() == '\r';
        if (bCr)
            line.pop_back();
        int nScreen = 0;
        std::string tag, rest;
        if (SplitStageLine(line, &nScreen, &tag, &rest) && nScreen != 999) {
            const bool bCells = tag[0] >= 'A' && tag[0] <= 'E' && tag.substr(1) != "00";
            char sz[16];
            if (bCells) {
                // Token i is screen nScreen + i; fields split the getline way (a trailing empty one is
                // dropped).
                std::string cell, kept;
                std::istringstream cs(rest);
                int nNewFirst = -1;
                for (int s = nScreen; std::getline(cs, cell, ','); s++) {
                    if (s != 0 && s < nFirstCells)
                        continue;
                    kept += nNewFirst < 0 ? cell : "," + cell;
                    if (nNewFirst < 0)
                        nNewFirst = s == 0 ? 0 : s - nShift;
                }
                if (nNewFirst < 0)
                    continue;
                snprintf(sz, sizeof(sz), "#%03d", nNewFirst);
                line = sz + tag + ":" + kept;
            } else if (nScreen > 0) {
                if (nScreen < nFirstEvents)
                    continue;
                const size_t nLoop = rest.find("LOOP=");
                if (nLoop != std::string::npos)
                    rest = "LOOP=" + std::to_string(atoi(rest.c_str() + nLoop + 5) - nShift) +
                           rest.substr(rest.find(':', nLoop));
                snprintf(sz, sizeof(sz), "#%03d", nScreen - nShift);
                line = sz + tag + ":" + rest;
            }
        }
        out += line + (bCr ? "\r\n" : "\n");
    }
    return out;
}

// The shortest ride to a stage's boss: the first screen and the last ones from nFirstKept on,
// moved up to follow the first, with their events and group placements.
inline std::string ShortenStageText(const std::string& text, int nFirstKept)
{
    return CutStageText(text, nFirstKept, nFirstKept, nFirstKept - 1);
}

// The cheapest honest way to a boss: the screens 1 to nBossScreen - 1 of the map go, the events of
// screens 1 to nBossScreen - 2 with them, and the warning's events come on screen 0; the boss still
// comes at the map's end with its warning, arena and the arena's loop. Without a boss screen given,
// the map's own.
inline void MoveBossToStart(int nStage, int nBossScreen = -1)
{
    const std::string strPath = StagePath(nStage);
    const std::string text = ReadDataFile(strPath);
    if (nBossScreen < 0)
        nBossScreen = BossScreenOf(text);
    CTempFolder::Put(strPath, CutStageText(text, nBossScreen, nBossScreen - 1, nBossScreen - 1));
}

inline void ShortenStage(int nStage, int nFirstKept)
{
    const std::string strPath = StagePath(nStage);
    CTempFolder::Put(strPath, ShortenStageText(ReadDataFile(strPath), nFirstKept));
}

// The stage from its screen nFirst on, after its first screen, at the scroll speed it had there.
inline void CutStageAt(int nStage, int nFirst)
{
    const std::string text = ReadDataFile(StagePath(nStage));
    std::string strSpeed;
    for (size_t nAt = text.find("XXX:XSPEED="); nAt != std::string::npos; nAt = text.find("XXX:XSPEED=", nAt + 1)) {
        if (nAt >= 3 && atoi(text.substr(nAt - 3, 3).c_str()) < nFirst)
            strSpeed = text.substr(nAt + 4, text.find_first_of("\r\n", nAt) - nAt - 4);
    }
    std::string cut = ShortenStageText(text, nFirst);
    if (!strSpeed.empty())
        cut += "#001XXX:" + strSpeed + "\r\n";
    CTempFolder::Put(StagePath(nStage), cut);
}

// The stage's first screen and then its last nBefore screens before the boss's, the boss warning's
// screen the last of them.
inline void ShortenToBoss(int nStage, int nBefore = 1)
{
    ShortenStage(nStage, BossScreen(nStage) - nBefore);
}

// The first screen whose cells of layer cLayer hold the code; -1 when none does.
inline int FirstScreenWith(int nStage, char cLayer, const std::string& code)
{
    const std::string text = ReadDataFile(StagePath(nStage));
    int nFirst = -1;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        int nScreen = 0;
        std::string tag, rest;
        if (!SplitStageLine(line, &nScreen, &tag, &rest) || tag[0] != cLayer || tag.substr(1) == "00")
            continue;
        std::istringstream cells(rest);
        std::string token;
        for (int s = nScreen; std::getline(cells, token, ','); s++) {
            for (size_t i = 0; i + 1 < token.size(); i += 2) {
                if (token.compare(i, 2, code) == 0 && (nFirst < 0 || s < nFirst))
                    nFirst = s;
            }
        }
    }
    return nFirst;
}

// Stage 1 from its first screen straight to the boss's warning: nothing of the road between, the
// warning, the boss and the arena's loop on screens 1, 2 and 4; false when the map has no boss.
inline bool ShortenStageOne()
{
    ShortenToBoss(1);
    return ReadDataFile(StagePath(1)).find("#002XXX:BOSS=M.Zorva") != std::string::npos;
}

// Stage 1 with a jump from screen 2 to the screen before the boss's warning, so the boss comes
// soon (a jump's own screen runs no events: the warning's must come with the next), and without
// the groups placed on that screen, which could stop a heroine who does not jump.
inline void MakeShortBossStage()
{
    const std::string strPath = StagePath(1);
    std::string text = ReadDataFile(strPath);
    char szGroups[32];
    snprintf(szGroups, sizeof(szGroups), "#%03dC00:", BossScreenOf(text) - 2);
    for (size_t nAt = text.find(szGroups); nAt != std::string::npos; nAt = text.find(szGroups))
        text.erase(nAt, text.find('\n', nAt) + 1 - nAt);
    CTempFolder::Put(strPath, text + "#002XXX:LOOP=" + std::to_string(BossScreenOf(text) - 2) + "\r\n");
}

// The stage's own object types, ground under her for forty screens (the tally runs while she rides
// on), the boss warning on the second screen and the boss on the third, written next to the
// stage's Stage.txt; the Param.txt value that points the game at it.
inline std::string WriteBossStage(int nStage, const std::string& strBoss)
{
    char szFolder[32];
    snprintf(szFolder, sizeof(szFolder), "GameData/Stage%02d/", nStage);
    std::ifstream in(std::string(szFolder) + "Stage.txt", std::ios::binary);
    std::string line, text = "// Cut to the boss\r\n";
    while (std::getline(in, line)) {
        for (const char* pszHead : {"#OBJECT", "#ANIMATE", "#XFIRST", "#BGSPEED", "#SHOTLEVEL"}) {
            if (line.rfind(pszHead, 0) == 0)
                text += line + "\n";
        }
    }
    std::string ground = "#000C01:";
    for (int s = 0; s < 40; s++)
        ground += std::string(s ? "," : "") + "G1G1G1G1G1G1G1G1G1G1";
    text += ground + "\r\n#000XXX:BG0=Sky.bmp\r\n#001XXX:DANGER=Boss\r\n#001XXX:AERIALMODE\r\n#002XXX:BOSS=" + strBoss +
            "\r\n";
    CTempFolder::Put(std::string(szFolder) + BOSS_STAGE_FILE, text);
    char szValue[64];
    snprintf(szValue, sizeof(szValue), ".\\GameData\\Stage%02d\\%s", nStage, BOSS_STAGE_FILE);
    return szValue;
}

// Writes the cut stage and has the game read it (DEBUG_STAGE) in place of Stage.txt.
inline void UseBossStage(int nStage, const std::string& strBoss)
{
    SetParam("DEBUG_STAGE", WriteBossStage(nStage, strBoss));
}
