// makedata OUTDIR: writes the sample data set OUTDIR/GameData/ that the game reads.
#include <cstdio>

#include "DataSet.h"
#include "WaveWriter.h"
#include "IndexSheets.h"
#include "PeopleData.h"
#include "StageFiles.h"
#include "WidgetPictures.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: makedata OUTDIR\n");
        return 2;
    }
    CDataSet data(argv[1]);
    WriteParamFile(data);
    WritePackSamples(data);
    WriteWaveFiles(data);
    WriteIndexSheets(data);
    WriteWidgetPictures(data);
    WriteSettingsScreen(data);
    WriteReplayFixtures(data);
    WritePeopleFiles(data);
    WriteStageFiles(data);
    WriteLoadingPicture(data);
    WriteHeroinePictures(data);
    if (data.Failed())
        return 1;
    printf("makedata: %d files written to %s/GameData\n", data.FileCount(), argv[1]);
    return 0;
}
