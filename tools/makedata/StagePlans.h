// The layout of each sample stage: its set pieces in order, from the calm opening to the climax
// before the boss warning, and the arena.
#pragma once
#include <string>

class CStageBuilder;

// The scroll speed a stage starts at.
int StageSpeed(int nStage);
// Lays stage nStage out on the builder, its arena last.
void PlanStage(CStageBuilder& s, int nStage);
// The boss of a stage.
const char* StageBoss(int nStage);
