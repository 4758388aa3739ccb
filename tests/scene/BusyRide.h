// The busiest stretches of the generated data, ridden the same way by the speed benchmarks
// (bench/StageBench.cpp, which also finds them) and by the frame hashes that prove a speed-up
// changes no pixel there: the map-aware stage rider from the first stage tick, who can neither be
// shot down (PLAY_OUT 0) nor fall (the gaps filled).
#pragma once
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"
#include "StageRider.h"
#include "scene/Game.h"
#include "scene/RunDataEdit.h"
#include "stage/Stage.h"

// The busiest stretch of ordinary play over the five stages, and the busiest boss fight. The stretch
// is ridden on its stage cut to begin a screen before it (CutStageAt), so a ride to it is short.
const int kBusiestStage = 4;
const int kBusiestFirstScreen = 109;
const int kBusiestSectionFrom = 91;  // stage ticks since play began
const int kSectionTicks = 300;
const int kBusiestBossStage = 5;
const char* const kBusiestBossName = "N.M.Zorva";
const int kBossWarmTicks = 300;    // the arena's warning and the boss's entry
const int kBossTimedTicks = 2400;  // forty seconds of its attacks, every boss's round and more

// The stage rider's keys for stage tick t (ticks since the stage's play began), pressed or
// released on the host after that tick's render pass. Hops on a beat, blind to what comes, were
// pushed off the screen by the bunkers of crates under safes and the stacks of the later stages.
class CSteadyRide {
public:
    // HOST: the headless host, or a window's host that can press keys as the headless one does.
    template <class HOST>
    void Keys(HOST& host, int t, CGame& game)
    {
        const RIDERKEYS keys = m_Rider.Steer(game, t);
        Key(host, VK_LEFT, keys.bLeft);
        Key(host, VK_RIGHT, keys.bRight);
        Key(host, VK_UP, keys.bUp);
        Key(host, VK_DOWN, keys.bDown);
        Key(host, 'Z', keys.bShot);
        Key(host, 'X', keys.bJump);
        Key(host, 'C', keys.bSub);
    }

private:
    template <class HOST>
    static void Key(HOST& host, int nKey, bool bDown)
    {
        if (bDown == host.IsKeyDown(nKey))
            return;
        if (bDown)
            host.PressKey(nKey);
        else
            host.ReleaseKey(nKey);
    }

    CStageRider m_Rider;
};

// 1 while the boss warning shows.
inline int IsBossWarningOn(CStage& stage)
{
    IBeacon* pWarning = stage.GetScreens().pBeacon[STAGE_BOSS_BEACON];
    return pWarning && !pWarning->IsFinished();
}

// The stage's gaps filled with ground as high as the ground before each: hops on a beat do not
// see a gap coming. The main layer's rows are read whole and written again, a line a row.
inline void FillGaps(int nStage)
{
    std::istringstream in(ReadDataFile(StagePath(nStage)));
    std::string line, out;
    std::vector<std::string> rows[9];  // RR 1 to 8: a code a column
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        int nScreen = 0;
        std::string tag, rest;
        if (!SplitStageLine(line, &nScreen, &tag, &rest) || tag[0] != 'C' || tag == "C00") {
            out += line + "\r\n";
            continue;
        }
        std::vector<std::string>& row = rows[tag[2] - '0'];
        std::istringstream tokens(rest);
        std::string token;
        for (int s = nScreen; std::getline(tokens, token, ','); s++) {
            token.resize(20, '0');
            for (int i = 0; i < 10; i++) {
                const size_t c = (size_t)(s * 10 + i);
                row.resize(std::max(row.size(), c + 1), "00");
                row[c] = token.substr((size_t)i * 2, 2);
            }
        }
    }
    auto isGround = [](const std::string& code) { return code[0] == 'G' || code[0] == 'F'; };
    const size_t nColumns = rows[1].size();
    for (size_t c = 1; c < nColumns; c++) {
        if (isGround(rows[1][c]))
            continue;
        for (int nRR = 1; nRR <= 8 && c < rows[nRR].size() && isGround(rows[nRR][c - 1]); nRR++)
            rows[nRR][c] = "G1";
    }
    for (int nRR = 8; nRR >= 1; nRR--) {
        for (size_t s = 0; s * 10 < rows[nRR].size(); s++) {
            char szHead[16];
            snprintf(szHead, sizeof(szHead), "#%03dC%02d:", (int)s, nRR);
            std::string codes;
            for (size_t c = s * 10; c < s * 10 + 10; c++)
                codes += c < rows[nRR].size() ? rows[nRR][c] : "00";
            out += szHead + codes + "\r\n";
        }
    }
    CTempFolder::Put(StagePath(nStage), out);
}

// The run's data (the current folder's GameData) started the debug way on the stage, she unable
// to fall or to be shot down; false when Param.txt is missing.
inline bool StartRideOn(int nStage)
{
    if (!SetParam("STAGE_INIT_STATE", 1) || !SetParam("INIT_STAGE_NUM", nStage) || !SetParam("PLAY_OUT", "0"))
        return false;
    FillGaps(nStage);
    return true;
}

// The run's data started on the busiest stretch's stage, cut to it.
inline bool StartBusiestStretch()
{
    if (!StartRideOn(kBusiestStage))
        return false;
    if (kBusiestFirstScreen > 1)
        CutStageAt(kBusiestStage, kBusiestFirstScreen);
    return true;
}

// The stage's map cut to its arena (the warning's screen first), its boss too tough to fall within
// a long fight; the boss's name, empty when the map has none.
inline std::string CutToBoss(int nStage)
{
    const std::string text = ReadDataFile(StagePath(nStage));
    const std::string strTag = "XXX:BOSS=";
    const size_t nName = text.find(strTag);
    if (nName == std::string::npos || nName < 4 || text[nName - 4] != '#')
        return "";
    const int nBossScreen = atoi(text.substr(nName - 3, 3).c_str());
    const size_t nEnd = text.find_first_of("\r\n", nName);
    const std::string strName = text.substr(nName + strTag.size(), nEnd - nName - strTag.size());
    const std::string strKey = "ENEMY_" + strName;
    if (nBossScreen < 2 || FindParamLine(ReadDataFile(PARAM_FILE), strKey) == std::string::npos)
        return "";
    SetParam(strKey, "100000, 0, 0, 30000, 1");
    MoveBossToStart(nStage, nBossScreen);
    return strName;
}
