// makedata OUTDIR: writes the sample data set OUTDIR/GameData/ that the game reads.
// makedata --update OUTDIR: brings it up to date, keeping the files the user changed there.
// --labelled (with either) writes the variant with region and cell names on the pictures, for
// debugging.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "ArtKit.h"
#include "BossZMPictures.h"
#include "BossZZPictures.h"
#include "BulletPictures.h"
#include "WeaponPictures.h"
#include "CutScenes.h"
#include "DataSet.h"
#include "FrontPictures.h"
#include "WaveWriter.h"
#include "IndexSheets.h"
#include "ItemPictures.h"
#include "PeopleData.h"
#include "ScreenPictures.h"
#include "StageFiles.h"
#include "WidgetPictures.h"
#include "demo/DemoRecorder.h"

namespace {

// A private folder for the demo recordings, which need the data set as generated, whatever the
// user changed in OUTDIR.
std::string MakeScratchFolder()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "zorva-makedata-XXXXXX").string();
    return mkdtemp(strTemplate.data()) ? strTemplate : std::string();
}

} // namespace

int main(int argc, char** argv)
{
    bool bUpdate = false, bLabelled = false;
    int nArg = 1;
    for (; nArg < argc - 1; nArg++) {
        if (!strcmp(argv[nArg], "--update"))
            bUpdate = true;
        else if (!strcmp(argv[nArg], "--labelled"))
            bLabelled = true;
        else
            break;
    }
    if (argc < 2 || nArg != argc - 1 || argv[argc - 1][0] == '-') {
        fprintf(stderr, "usage: makedata [--update] [--labelled] OUTDIR\n");
        return 2;
    }
    SetLabelled(bLabelled);
    const std::string strScratch = MakeScratchFolder();
    if (strScratch.empty()) {
        perror("makedata: no temporary folder");
        return 1;
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
    WriteCutScenes(data);
    WriteScreenPictures(data);
    WriteBulletPictures(data);
    WriteWeaponPictures(data);
    WriteFrontPictures(data);
    WriteItemPictures(data);
    WriteBossZMPictures(data, "Stage02/");
    WriteBossZZSheet(data, "Stage03/");
    // Last: the demos are played on everything above; the run edits its own Param.txt.
    const bool bDemos = !data.Failed() && data.LinkInto(strScratch, {"System/Param.txt"}) &&
                        WriteDemoReplays(data, strScratch);
    std::error_code ec;
    std::filesystem::remove_all(strScratch, ec);
    if (!bDemos || data.Failed() || !data.Sync().Finish())
        return 1;
    printf("%s\n", data.Sync().Summary().c_str());
    return 0;
}
