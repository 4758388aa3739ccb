// The passer-by catalogue of every stage: People.txt, its picture sheet and the kinds' voices.
#pragma once
#include "DataSet.h"

// Stage01..Stage05 each get the kinds Q1, Q2 and Q3 (codes no enemy uses): place them on layer E.
void WritePeopleFiles(CDataSet& data);
