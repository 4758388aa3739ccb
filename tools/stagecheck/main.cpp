// stagecheck DIR [STAGE ...]: the fairness review of the stages of DIR/GameData (all five when no
// stage is named): the faults found, the walls and gaps she jumps, the enemies and the ride's
// length to the boss, each a minute too, and the difficulty curve over the stages in the order
// named. The exit status is 1 when any stage has a fault.
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
    std::vector<STAGEREVIEW> reviews;
    for (int nStage : stages) {
        char szPath[64];
        snprintf(szPath, sizeof(szPath), ".\\GameData\\Stage%02d\\Stage.txt", nStage);
        CStageData data;
        if (!data.ReadDefinition(szPath)) {
            fprintf(stderr, "stagecheck: stage %d: cannot read %s\n", nStage, szPath);
            return 2;
        }
        reviews.push_back(ReviewStage(data, jump));
    }
    ReviewCurve(reviews);
    int nFaults = 0;
    double fTotal = 0.0;
    for (size_t i = 0; i < reviews.size(); i++) {
        const STAGEREVIEW& review = reviews[i];
        const double fSeconds = review.nRideTicks / 60.0;
        fTotal += fSeconds;
        printf("stage %d: boss at screen %d, ride %.1f s (%d ticks), %d walls and steps (%.1f a minute), %d gaps "
               "and hazards (%.1f), %d enemies (%.1f), %zu faults\n",
               stages[i], review.nBossScreen, fSeconds, review.nRideTicks, review.nWalls,
               review.PerMinute(review.nWalls), review.nGaps, review.PerMinute(review.nGaps), review.nEnemies,
               review.PerMinute(review.nEnemies), review.faults.size());
        for (const FAIRFAULT& fault : review.faults)
            printf("  %s\n", DescribeFault(fault).c_str());
        nFaults += (int)review.faults.size();
    }
    printf("rides %.1f s in all\n", fTotal);
    return nFaults ? 1 : 0;
}
