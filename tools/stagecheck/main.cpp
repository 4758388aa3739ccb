// stagecheck DIR [STAGE ...]: the fairness review of the stages of DIR/GameData (all five when no
// stage is named): the faults found, the walls and gaps she jumps, the enemies and the ride's
// length to the boss. The exit status is 1 when any stage has a fault.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "StageReview.h"
#include "engine/Param.h"
#include "stage/StageData.h"

int main(int argc, char** argv)
{
    if (argc < 2 || argv[1][0] == '-') {
        fprintf(stderr, "usage: stagecheck DIR [STAGE ...]\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::current_path(argv[1], ec);
    if (ec) {
        fprintf(stderr, "stagecheck: cannot enter %s: %s\n", argv[1], ec.message().c_str());
        return 2;
    }
    std::vector<int> stages;
    for (int i = 2; i < argc; i++)
        stages.push_back(atoi(argv[i]));
    if (stages.empty())
        stages = {1, 2, 3, 4, 5};
    const JUMPPHYSICS jump = ReadJumpPhysics();
    int nFaults = 0;
    double fTotal = 0.0;
    for (int nStage : stages) {
        char szPath[64];
        snprintf(szPath, sizeof(szPath), ".\\GameData\\Stage%02d\\Stage.txt", nStage);
        CStageData data;
        if (!data.ReadDefinition(szPath)) {
            fprintf(stderr, "stagecheck: stage %d: cannot read %s\n", nStage, szPath);
            return 2;
        }
        const STAGEREVIEW review = ReviewStage(data, jump);
        const double fSeconds = review.nRideTicks / 60.0;
        fTotal += fSeconds;
        printf("stage %d: boss at screen %d, ride %.1f s (%d ticks), %d walls and steps, %d gaps and hazards, "
               "%d enemies, %zu faults\n",
               nStage, review.nBossScreen, fSeconds, review.nRideTicks, review.nWalls, review.nGaps,
               review.nEnemies, review.faults.size());
        for (const FAIRFAULT& fault : review.faults)
            printf("  %s\n", DescribeFault(fault).c_str());
        nFaults += (int)review.faults.size();
    }
    printf("rides %.1f s in all\n", fTotal);
    return nFaults ? 1 : 0;
}
