// A stage map read the way the game reads it and ridden on paper: the heroine's point riding the
// main layer at the scroll speed, and every normal jump she could take on the way (Param.txt's
// jump and gravity, no high jump, no keys held). What a fair stage owes a player who cannot see
// beyond the right edge of the screen:
// - every wall or step in her way is cleared by one jump from the ground right in front of it;
// - nothing that scrolls in pins her with no way over or under it, whatever she stands on, and
//   none of it once her gun has broken the crates that face her;
// - every gap (or bed of spikes) can be jumped in a window of several ticks, after a run-up long
//   enough to see it coming;
// - nothing solid or hurtful comes within the first seconds after "GO!";
// - where the road speeds up, the ground in view is level and clear and no enemy is placed over it
//   (the cells then in view slip a pixel or so out of step with the map, and a landing on the seam
//   of two of them falls through);
// - the boss's arena is flat and empty ground, for the warning, the fight and the tally.
// Over the five stages in order, the difficulty only grows: gaps and enemies a minute never fewer
// than the stage before, the first stage the fewest walls a minute, and in it every enemy kind
// shown alone the first time (no other enemy within a screen).
#pragma once
#include <string>
#include <vector>

class CStageData;

// The heroine's jump in pixels and ticks: the upward speed it starts with and gravity's pull.
struct JUMPPHYSICS {
    float fJump = 16.0f;
    float fGravity = 1.6333333f;
};

// What the loaded Param.txt makes of her jump (the normal one).
JUMPPHYSICS ReadJumpPhysics();

enum FAIRRULE {
    FAIR_WALL,   // a wall or step higher than one normal jump
    FAIR_PIN,    // pinned with no way over or under
    FAIR_GAP,    // a gap or hazard that cannot be jumped, or that comes without a run-up
    FAIR_START,  // something solid, hurtful or hostile in the first seconds
    FAIR_SPEEDUP,  // something to jump, or an enemy, in view where the road speeds up
    FAIR_ARENA,  // the arena's ground is not flat and empty
    FAIR_ROUTE,  // no way at all from the start to the boss
    FAIR_CURVE,  // easier than the stage before, or a first stage that does not teach
    FAIR_RULE_COUNT
};

struct FAIRFAULT {
    FAIRRULE eRule;
    int nColumn;  // main-layer column where it happens
    std::string strWhat;
};

struct STAGEREVIEW {
    std::vector<FAIRFAULT> faults;
    int nBossScreen = -1;
    int nRideTicks = 0;  // from the first tick to the boss's entry
    int nWalls = 0;      // walls and steps she must jump
    int nGaps = 0;       // gaps and hazards she must jump
    int nEnemies = 0;
    // Each enemy kind's first appearance that has another enemy within a screen of it.
    std::vector<FAIRFAULT> firstsInCompany;
    double PerMinute(int nCount) const;
    // Any fault of the rule, or one at the column.
    bool HasFault(FAIRRULE eRule, int nColumn = -1) const;
};

// The review of a stage definition read by CStageData::ReadDefinition.
STAGEREVIEW ReviewStage(CStageData& data, const JUMPPHYSICS& jump);
// The difficulty curve over stages 1, 2... in order: its faults join the stage they are found in.
void ReviewCurve(std::vector<STAGEREVIEW>& stages);
// "gap at column 312 (screen 31): ..." for a report.
std::string DescribeFault(const FAIRFAULT& fault);
const char* FairRuleName(FAIRRULE eRule);
