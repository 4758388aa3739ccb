// Edits to the run's own copy of the generated data (the current folder's GameData): Param.txt
// keys, and stages cut short so a run reaches the boss in few ticks.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <regex>
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

// A screen-0 cell list "#000Txx:s0,s1,...", one field per screen: screen 0 and the screens from
// nFirstKept on.
inline std::string KeepCells(const std::string& line, int nFirstKept)
{
    std::string kept = line.substr(0, 8);
    size_t nField = 0, nStart = 8;
    bool bFirst = true;
    while (nStart <= line.size()) {
        size_t nComma = line.find(',', nStart);
        if (nComma == std::string::npos)
            nComma = line.size();
        if (nField == 0 || (int)nField >= nFirstKept) {
            kept += (bFirst ? "" : ",") + line.substr(nStart, nComma - nStart);
            bFirst = false;
        }
        nField++;
        nStart = nComma + 1;
    }
    return kept;
}

// The cheapest honest way to a boss: the screens 1 to nBossScreen - 1 of the map go, the events of
// screens 1 to nBossScreen - 3 with them, and the warning's screen (nBossScreen - 1) becomes
// screen 0; the boss still comes at the map's end with its warning, arena and the arena's loop.
inline void MoveBossToStart(int nStage, int nBossScreen = 14)
{
    const std::string strPath = StagePath(nStage);
    const std::string text = ReadDataFile(strPath);
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
            line = KeepCells(line, nShift + 1);
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
    CTempFolder::Put(strPath, out);
}

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

// The shortest ride to a stage's boss: the first screen and the last ones from nFirstKept on,
// moved up to follow the first, with their events and group placements (and a LOOP's target).
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
                // Fields split the getline way: a trailing empty one is dropped.
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
                char sz[16];
                snprintf(sz, sizeof(sz), "#%03d", nScreen - nShift);
                line = sz + tag + ":" + rest;
            }
        }
        out += line + (bCr ? "\r\n" : "\n");
    }
    return out;
}

inline void ShortenStage(int nStage, int nFirstKept)
{
    const std::string strPath = StagePath(nStage);
    CTempFolder::Put(strPath, ShortenStageText(ReadDataFile(strPath), nFirstKept));
}

// Stage 1 without the crates, safe, spikes, steps and enemies, and the warning, the boss and the
// arena's loop moved to screens 1, 2 and 4; false when the boss is not where the generated map had
// it.
inline bool ShortenStageOne()
{
    const std::string strPath = StagePath(1);
    const std::string text = ReadDataFile(strPath);
    std::string out;
    size_t nAt = 0;
    while (nAt < text.size()) {
        size_t nEnd = text.find("\r\n", nAt);
        nEnd = nEnd == std::string::npos ? text.size() : nEnd + 2;
        std::string line = text.substr(nAt, nEnd - nAt);
        nAt = nEnd;
        if (std::regex_search(line, std::regex("^#(000C0[234]|000E0|0\\d\\dC00)")) ||
            std::regex_search(line, std::regex("^#00[3-6]XXX")))
            continue;
        line = std::regex_replace(line, std::regex("^#007XXX:"), "#001XXX:");
        line = std::regex_replace(line, std::regex("^#008XXX:"), "#002XXX:");
        line = std::regex_replace(line, std::regex("^#010XXX:LOOP=8:Boss"), "#004XXX:LOOP=2:Boss");
        out += line;
    }
    CTempFolder::Put(strPath, out);
    return out.find("#002XXX:BOSS=M.Zorva") != std::string::npos;
}

// Stage 1 with a jump from screen 2 to screen 6, so the boss comes soon, and without the crates of
// screen 6, which would stop a heroine who does not jump.
inline void MakeShortBossStage()
{
    const std::string strPath = StagePath(1);
    std::string text = ReadDataFile(strPath);
    const char kCrates[] = "#006C00:CRATES\r\n";
    const size_t nCrates = text.find(kCrates);
    if (nCrates != std::string::npos)
        text.erase(nCrates, strlen(kCrates));
    CTempFolder::Put(strPath, text + "#002XXX:LOOP=6\r\n");
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
