// The busiest stretches of the generated data, ridden the same way by the speed benchmarks
// (bench/StageBench.cpp, which also finds them) and by the frame hashes that prove a speed-up
// changes no pixel there: a steady rider, who rides right from the first stage tick with the gun
// held and jumps at a regular beat, and cannot fall (PLAY_OUT 0).
#pragma once
#include <cstdlib>
#include <string>

#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"
#include "scene/RunDataEdit.h"
#include "stage/Stage.h"

// The busiest stretch of ordinary play over the five stages, and the busiest boss fight.
const int kBusiestStage = 5;
const int kBusiestSectionFrom = 830;  // stage ticks since play began
const int kSectionTicks = 300;
const int kBusiestBossStage = 5;
const char* const kBusiestBossName = "N.M.Zorva";
const int kBossWarmTicks = 300;    // the arena's warning and the boss's entry
const int kBossTimedTicks = 2400;  // forty seconds of its attacks, every boss's round and more

// Short hops a third of a second apart carry her over every crate, step and pit of the five
// stages; rarer or higher jumps leave her behind a wall on stages 2 and 3.
const int kRiderJumpEvery = 20;  // ticks from one jump to the next
const int kRiderJumpAt = 30;     // the first jump's tick
const int kRiderJumpHold = 10;   // ticks the jump key is held

// The keys for stage tick t (ticks since the stage's play began), pressed or released on the host
// (one with PressKey and ReleaseKey, as the headless one) after that tick's render pass.
template <class HOST>
inline void RideSteadily(HOST& host, int t)
{
    if (t == 0) {
        host.PressKey(VK_RIGHT);
        host.PressKey('Z');
    }
    const int nBeat = (t - kRiderJumpAt) % kRiderJumpEvery;
    if (t >= kRiderJumpAt && nBeat == 0)
        host.PressKey('X');
    else if (t >= kRiderJumpAt && nBeat == kRiderJumpHold)
        host.ReleaseKey('X');
}

// 1 while the boss warning shows.
inline int IsBossWarningOn(CStage& stage)
{
    IBeacon* pWarning = stage.GetScreens().pBeacon[STAGE_BOSS_BEACON];
    return pWarning && !pWarning->IsFinished();
}

// The run's data (the current folder's GameData) started the debug way on the stage, she unable
// to fall; false when Param.txt is missing.
inline bool StartRideOn(int nStage)
{
    return SetParam("STAGE_INIT_STATE", 1) && SetParam("INIT_STAGE_NUM", nStage) && SetParam("PLAY_OUT", "0");
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
