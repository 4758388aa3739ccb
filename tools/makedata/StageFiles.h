// The five sample stages: Stage01..Stage05 with their definition files (Stage.txt and
// StageDemo.txt), object pictures, far backgrounds, chat windows and stage sounds. The passer-by
// files of each stage come from PeopleData.
#pragma once
#include <string>

#include "DataSet.h"

#define SAMPLE_STAGE_COUNT 5

// Every picture a stage definition names, drawn for the stage (folder "StageNN/").
void WriteStagePictures(CDataSet& data, int nStage, const std::string& folder);
// The definition text of a stage; the demo text is a shorter run of the same stage.
std::string MakeStageText(int nStage, bool bDemo);
void WriteStageFiles(CDataSet& data);
