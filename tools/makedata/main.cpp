// makedata OUTDIR: writes the sample data set OUTDIR/GameData/ that the game reads.
// makedata --update OUTDIR: brings it up to date, keeping the files the user changed there.
#include <cstdio>
#include <cstring>

#include "DataSet.h"
#include "WaveWriter.h"
#include "IndexSheets.h"
#include "PeopleData.h"
#include "StageFiles.h"
#include "WidgetPictures.h"

int main(int argc, char** argv)
{
    const bool bUpdate = argc == 3 && !strcmp(argv[1], "--update");
    if (argc != 2 + bUpdate || argv[argc - 1][0] == '-') {
        fprintf(stderr, "usage: makedata [--update] OUTDIR\n");
        return 2;
    }
    CDataSet data(argv[argc - 1], bUpdate ? SYNC_UPDATE : SYNC_WRITE_ALL);
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
    if (data.Failed() || !data.Sync().Finish())
        return 1;
    printf("%s\n", data.Sync().Summary().c_str());
    return 0;
}
