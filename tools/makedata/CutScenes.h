// The cut-scenes of the sample data set: the opening's and the ending's scripts (a short story of
// the heroine, in Japanese), their pictures, her spoken lines and their music.
#pragma once
#include <string>

#include "DataSet.h"

// All of them.
void WriteCutScenes(CDataSet& data);
void WriteCutSceneScripts(CDataSet& data);
void WriteCutScenePictures(CDataSet& data);
void WriteCutSceneSounds(CDataSet& data);

// UTF-8 text as code page 932, as the game's data holds it; the generator stops on text that has
// no code page 932 form.
std::string ToCp932(const std::string& utf8);
