// The sample stages as a newcomer plays them: the newcomer rider (who sees only the screen) rides a
// stage from its start in easy mode with one life, ten seeded tries a stage, and the table counts
// how often she reached the boss, how often she beat it, and what put her out. The five tables run
// with ZORVA_NEWCOMER=1 (ZORVA_NEWCOMER_TRIES=N tries a stage instead of ten); every run rides the
// first try of stage 1 to its first gap and spikes, the stretch a newcomer meets first.
// With ZORVA_LOOK_DIR set, the first try of each stage leaves a picture every 600 ticks, at the
// boss and where she was put out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "NewcomerRider.h"
#include "engine/KeyRecorder.h"
#include "enemy/EnemyBoss.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "scene/RunDataEdit.h"
#include "stage/Stage.h"

namespace {

// Four minutes to the boss, three of boss and the tally, with room to spare.
const uint32_t kTryTicks = 30000;

struct TRY {
    bool bReachedBoss = false;
    bool bBeatBoss = false;
    bool bCleared = false;
    RIDEOUT eOut = RIDEOUT_NONE;
    int nBossTick = -1;
    int nLifeAtBoss = -1;
    int nOutTick = -1;
    float fOutX = 0.0f, fOutY = 0.0f;
};

class NewcomerRide : public CProgramRun {
protected:
    void SetUp() override
    {
        std::fill(g_nOptionFlags, g_nOptionFlags + REPLAY_OPTION_COUNT, 0);
        // Easy: half damage.
        g_nOptionFlags[0] = 1;
    }
    void TearDown() override { std::fill(g_nOptionFlags, g_nOptionFlags + REPLAY_OPTION_COUNT, 0); }

    // One try of the stage with the rider of the seed; nUntilTick ends it early (0: to the end).
    TRY Try(int nStage, uint32_t nSeed, int nUntilTick, bool bLook)
    {
        MakeStageData();
        SetParam("INIT_STAGE_NUM", nStage);
        SetParam("INIT_SUB_WEAPON", (int)(nSeed % 4));
        CHostHeadless host;
        CObservedGame game(host);
        game.m_bWaitForLoads = true;
        CNewcomerRider rider(nSeed);
        TRY r;
        bool bHeld[256] = {};
        auto key = [&](int nKey, bool bDown) {
            if (bHeld[nKey & 0xFF] == bDown)
                return;
            bHeld[nKey & 0xFF] = bDown;
            if (bDown)
                host.PressKey(nKey);
            else
                host.ReleaseKey(nKey);
        };
        int t = -1;
        bool bClosing = false;
        auto close = [&] {
            if (!bClosing)
                CloseSoonOn(host, game);
            bClosing = true;
        };
        auto look = [&](const std::string& strName) {
            if (bLook)
                WriteLook(host, "newcomer" + std::to_string(nStage) + "-" + strName);
        };
        game.m_OnUpdate = [&](CObservedGame& g) {
            if (bClosing || g.GetState() != CGame::STATE_STAGE)
                return;
            CKeyRecorder* pRec = CKeyRecorder::GetInstance();
            if (pRec->GetMode() != KEYREC_MODE_RECORD)
                return;
            t++;
            CStage& stage = g.GetStage();
            D3DVECTOR v = {};
            g.GetPlayer().GetPosition(&v);
            if (stage.GetState() == STAGE_STATE_GAMEOVER) {
                r.nOutTick = t;
                r.fOutX = v.x;
                r.fOutY = v.y;
                r.eOut = CStageRider::OutOf(g);
                look("out-" + std::to_string(t));
                close();
                return;
            }
            if (!r.bReachedBoss && stage.IsBossBattle()) {
                r.bReachedBoss = true;
                r.nBossTick = t;
                r.nLifeAtBoss = g.GetPlayer().GetLife();
                look("boss-" + std::to_string(t));
            }
            CEnemyPartBoss* pBoss = CStageRider::FindBoss(g);
            if (pBoss && pBoss->m_bDead && pBoss->m_nLife <= 0)
                r.bBeatBoss = true;
            if (stage.GetState() == STAGE_STATE_CLEARED || (nUntilTick > 0 && t >= nUntilTick)) {
                r.bCleared = stage.GetState() == STAGE_STATE_CLEARED;
                close();
                return;
            }
            if (t % 600 == 0)
                look(std::to_string(t));
            const RIDERKEYS keys = rider.Steer(g, pRec->GetFrame());
            key(VK_LEFT, keys.bLeft);
            key(VK_RIGHT, keys.bRight);
            key(VK_UP, keys.bUp);
            key(VK_DOWN, keys.bDown);
            key('Z', keys.bShot);
            key('X', keys.bJump);
            key('C', keys.bSub);
        };
        RunOn(host, game, kTryTicks);
        for (int nKey : {int(VK_LEFT), int(VK_RIGHT), int(VK_UP), int(VK_DOWN), int('Z'), int('X'), int('C')})
            host.ReleaseKey(nKey);
        std::filesystem::remove_all("GameData");
        return r;
    }
};

int Tries()
{
    const char* psz = std::getenv("ZORVA_NEWCOMER_TRIES");
    return psz && atoi(psz) > 0 ? atoi(psz) : 10;
}

bool RunTables()
{
    const char* psz = std::getenv("ZORVA_NEWCOMER");
    return (psz && *psz && std::string(psz) != "0") || std::getenv("ZORVA_NEWCOMER_TRIES");
}

} // namespace

// The stretch a newcomer meets first: the opening, the first kinds alone, a step, crates, the
// first bridged gap; she is still riding at its end.
TEST_F(NewcomerRide, SheRidesTheFirstStretchOfStageOne)
{
    const TRY r = Try(1, 1, 2400, false);
    EXPECT_EQ(r.eOut, RIDEOUT_NONE) << "out at tick " << r.nOutTick << " at (" << r.fOutX << ", " << r.fOutY << ")";
}

TEST_F(NewcomerRide, TenTriesAStage)
{
    if (!RunTables())
        GTEST_SKIP() << "long: ZORVA_NEWCOMER=1 rides the tables";
    const int nTries = Tries();
    const char* pszStages = std::getenv("ZORVA_NEWCOMER_STAGES");
    const std::string stages = pszStages && *pszStages ? pszStages : "12345";
    printf("stage  tries  reached  beaten  pushed-off  fell  shot-down\n");
    for (char c : stages) {
        const int nStage = c - '0';
        int nReached = 0, nBeaten = 0, nOut[RIDEOUT_KINDS] = {};
        for (int i = 0; i < nTries; i++) {
            const TRY r = Try(nStage, (uint32_t)(100 * nStage + i), 0, i == 0);
            nReached += r.bReachedBoss;
            nBeaten += r.bBeatBoss;
            nOut[r.eOut]++;
            printf("  stage %d try %d: %s%s%s%s at tick %d (%.0f, %.0f), boss at tick %d with life %d\n", nStage, i,
                   r.bReachedBoss ? "boss " : "", r.bBeatBoss ? "beaten " : "", r.bCleared ? "cleared " : "",
                   CStageRider::OutName(r.eOut), r.nOutTick, r.fOutX, r.fOutY, r.nBossTick, r.nLifeAtBoss);
            fflush(stdout);
        }
        printf("%5d  %5d  %7d  %6d  %10d  %4d  %9d\n", nStage, nTries, nReached, nBeaten, nOut[RIDEOUT_PUSHED],
               nOut[RIDEOUT_FELL], nOut[RIDEOUT_SHOT]);
        fflush(stdout);
        const int nWanted = nStage == 1 ? nTries * 9 / 10 : (nTries + 1) / 2;
        EXPECT_GE(nReached, nWanted) << "stage " << nStage;
        if (nStage == 1) {
            EXPECT_GE(nBeaten, nTries * 7 / 10) << "stage " << nStage;
        }
    }
}
