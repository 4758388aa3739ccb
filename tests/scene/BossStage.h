// A sample stage cut short to its boss, for runs about the boss fight: the stage's own object
// types, ground under her for forty screens (the tally runs while she rides on), the boss warning on the second screen and the boss on
// the third, written next to the stage's Stage.txt in the run's folder. The game reads it in place
// of Stage.txt when Param.txt names it under DEBUG_STAGE.
#pragma once
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TempFolder.h"

#define BOSS_STAGE_FILE "StageBoss.txt"

// The folder's Stage.txt cut down; the Param.txt value that points the game at it (the generated
// Param.txt shows the key only in a comment, so the key is added as a line of its own).
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

// Writes the cut stage and adds DEBUG_STAGE to the run's Param.txt.
inline void UseBossStage(int nStage, const std::string& strBoss)
{
    const std::string strValue = WriteBossStage(nStage, strBoss);
    std::ifstream in("GameData/System/Param.txt", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    CTempFolder::Put("GameData/System/Param.txt", ss.str() + "#DEBUG_STAGE " + strValue + "\r\n");
}
