// Putting a generated data set in place over one the user may have changed: what is written, kept,
// backed up and removed, and that the settings file and the replays are never touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DataSync.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

using DATASETFILES = std::map<std::string, std::string>;

// One generator version: its files, in the order given.
DATASETFILES VersionOne()
{
    return {{"System/Param.txt", "GRAVITY 0.5\r\nJUMP 7\r\n"},
            {"Stage01/Sky.bmp", std::string(300, 's')},
            {"Stage01/Old.bmp", "made only by version one"},
            {"First/Loading.bmp", std::string(200, 'l')}};
}

// The next version: Sky changed, Old gone, New added; Param and Loading as before.
DATASETFILES VersionTwo()
{
    DATASETFILES files = VersionOne();
    files["Stage01/Sky.bmp"] = std::string(300, 'S');
    files.erase("Stage01/Old.bmp");
    files["Stage01/New.bmp"] = "new in version two";
    files["System/Param.txt"] = "GRAVITY 0.5\r\nJUMP 8\r\n";
    return files;
}

std::string Text(const std::string& rel)
{
    std::vector<uint8_t> bytes = CTempFolder::Get(rel);
    return std::string(bytes.begin(), bytes.end());
}

class DataSyncTest : public ::testing::Test {
protected:
    // Runs the generator's output through a sync of outDir "." and returns the one-line summary.
    std::string Sync(const DATASETFILES& files, SYNCMODE mode = SYNC_UPDATE)
    {
        m_pLast = std::make_unique<CDataSync>(".", mode);
        for (const auto& [rel, text] : files)
            EXPECT_TRUE(m_pLast->Put(rel, std::vector<uint8_t>(text.begin(), text.end()))) << rel;
        EXPECT_TRUE(m_pLast->Finish());
        return m_pLast->Summary();
    }

    // The files below GameData, relative, with their contents.
    static DATASETFILES OnDisk()
    {
        DATASETFILES files;
        for (const auto& e : fs::recursive_directory_iterator("GameData")) {
            if (e.is_regular_file())
                files[fs::relative(e.path(), "GameData").generic_string()] = Text(e.path().string());
        }
        return files;
    }

    static void Edit(const std::string& rel, const std::string& text) { CTempFolder::Put("GameData/" + rel, text); }

    CTempFolder m_Folder;
    std::unique_ptr<CDataSync> m_pLast;
};

TEST_F(DataSyncTest, FreshFolderGetsEveryFileAndARerunWritesNothing)
{
    std::string line = Sync(VersionOne());
    EXPECT_EQ(OnDisk(), VersionOne());
    EXPECT_EQ(m_pLast->WrittenCount(), 4);
    EXPECT_TRUE(fs::exists(CDataSync::ManifestPath(".")));
    EXPECT_EQ(line, "makedata: ./GameData: 4 written");

    const auto stamp = fs::last_write_time("GameData/Stage01/Sky.bmp");
    const std::string manifest = Text(CDataSync::ManifestPath("."));
    line = Sync(VersionOne());
    EXPECT_EQ(line, "makedata: ./GameData is up to date (4 files)");
    EXPECT_EQ(m_pLast->WrittenCount() + m_pLast->UpdatedCount() + m_pLast->RemovedCount(), 0);
    EXPECT_EQ(stamp, fs::last_write_time("GameData/Stage01/Sky.bmp"));
    EXPECT_EQ(manifest, Text(CDataSync::ManifestPath(".")));
    EXPECT_FALSE(m_pLast->IsNewVersion());
}

TEST_F(DataSyncTest, AnEditedFileIsKeptAndTheGeneratedOneGoesBesideIt)
{
    Sync(VersionOne());
    Edit("System/Param.txt", "GRAVITY 0.25\r\nJUMP 7\r\n");
    std::string line = Sync(VersionOne());
    EXPECT_EQ(Text("GameData/System/Param.txt"), "GRAVITY 0.25\r\nJUMP 7\r\n");
    EXPECT_EQ(Text("GameData/System/Param.txt.new"), VersionOne()["System/Param.txt"]);
    EXPECT_EQ(m_pLast->Kept(), std::vector<std::string>{"System/Param.txt"});
    EXPECT_EQ(line, "makedata: ./GameData is up to date (3 files); kept your edited System/Param.txt "
                    "(the generated one is System/Param.txt.new)");

    // Still kept on the next start, and the file beside it is not written again.
    const auto stamp = fs::last_write_time("GameData/System/Param.txt.new");
    Sync(VersionOne());
    EXPECT_EQ(Text("GameData/System/Param.txt"), "GRAVITY 0.25\r\nJUMP 7\r\n");
    EXPECT_EQ(stamp, fs::last_write_time("GameData/System/Param.txt.new"));

    // Deleting the edited file brings the generated one back, and the one beside it goes.
    fs::remove("GameData/System/Param.txt");
    Sync(VersionOne());
    EXPECT_EQ(OnDisk(), VersionOne());
}

TEST_F(DataSyncTest, ANewGeneratorVersionRewritesUntouchedFilesOnly)
{
    Sync(VersionOne());
    Edit("System/Param.txt", "JUMP 99\r\n");
    Edit("First/Loading.bmp", "my loading picture");
    std::string line = Sync(VersionTwo());
    EXPECT_TRUE(m_pLast->IsNewVersion());

    DATASETFILES expected = VersionTwo();
    expected["System/Param.txt"] = "JUMP 99\r\n";
    expected["System/Param.txt.new"] = VersionTwo()["System/Param.txt"];
    // Loading is the same in both versions; the generated one goes beside the edit all the same.
    expected["First/Loading.bmp"] = "my loading picture";
    expected["First/Loading.bmp.new"] = VersionOne()["First/Loading.bmp"];
    EXPECT_EQ(OnDisk(), expected);
    EXPECT_EQ(m_pLast->UpdatedCount(), 1);  // Sky
    EXPECT_EQ(m_pLast->WrittenCount(), 1);  // New
    EXPECT_EQ(m_pLast->RemovedCount(), 1);  // Old, untouched and no longer made
    EXPECT_EQ(line, "makedata: ./GameData was written by another version of makedata: 1 written, 1 updated, "
                    "1 removed; kept your edited First/Loading.bmp, System/Param.txt (the generated ones are "
                    "beside them as NAME.new)");
}

TEST_F(DataSyncTest, AnEditedFileTheGeneratorNoLongerMakesIsLeftAlone)
{
    Sync(VersionOne());
    Edit("Stage01/Old.bmp", "mine now");
    Sync(VersionTwo());
    EXPECT_EQ(Text("GameData/Stage01/Old.bmp"), "mine now");
    EXPECT_EQ(m_pLast->RemovedCount(), 0);
    // A later version that makes it again keeps it as an edit too.
    Sync(VersionOne());
    EXPECT_EQ(Text("GameData/Stage01/Old.bmp"), "mine now");
    EXPECT_EQ(Text("GameData/Stage01/Old.bmp.new"), VersionOne()["Stage01/Old.bmp"]);
    EXPECT_FALSE(fs::exists("GameData/Stage01/Old.bmp.old"));
}

TEST_F(DataSyncTest, FilesWithoutARecordAreBackedUpBeforeTheyAreReplaced)
{
    // A folder written before manifests existed, or files put there by hand.
    Edit("Stage01/Sky.bmp", "from an older makedata");
    Edit("System/Param.txt", VersionOne()["System/Param.txt"]);
    std::string line = Sync(VersionOne());
    EXPECT_EQ(Text("GameData/Stage01/Sky.bmp"), VersionOne()["Stage01/Sky.bmp"]);
    EXPECT_EQ(Text("GameData/Stage01/Sky.bmp.old"), "from an older makedata");
    EXPECT_EQ(m_pLast->BackedUp(), std::vector<std::string>{"Stage01/Sky.bmp.old"});
    EXPECT_EQ(m_pLast->UnchangedCount(), 1);  // Param was already the generated text
    EXPECT_EQ(line, "makedata: ./GameData: 2 written, 1 unchanged; replaced files makedata had not written, "
                    "keeping the old ones as Stage01/Sky.bmp.old");

    // A second backup never replaces the first.
    fs::remove(CDataSync::ManifestPath("."));
    Edit("Stage01/Sky.bmp", "second");
    Sync(VersionOne());
    EXPECT_EQ(Text("GameData/Stage01/Sky.bmp.old"), "from an older makedata");
    EXPECT_EQ(Text("GameData/Stage01/Sky.bmp.old2"), "second");
}

TEST_F(DataSyncTest, SettingsAndReplaysAreNeverTouched)
{
    Edit("Config.dat", "settings");
    Edit("Replay/Replay01.dat", "a replay");
    CDataSync sync(".", SYNC_UPDATE);
    for (const char* pszRel : {"Config.dat", "config.DAT", "Replay/Replay01.dat", "replay/x.dat"})
        EXPECT_FALSE(sync.Put(pszRel, {'x'})) << pszRel;
    EXPECT_FALSE(sync.Finish());

    // Even a manifest that claims them (with their very bytes) does not get them removed.
    Sync(VersionOne());
    std::string manifest = Text(CDataSync::ManifestPath("."));
    char szLine[128];
    for (const char* pszRel : {"Config.dat", "Replay/Replay01.dat"}) {
        std::vector<uint8_t> bytes = CTempFolder::Get(std::string("GameData/") + pszRel);
        snprintf(szLine, sizeof(szLine), "file %016llx %zu %s\n",
                 (unsigned long long)HashBytes(bytes.data(), bytes.size()), bytes.size(), pszRel);
        manifest += szLine;
    }
    CTempFolder::Put(CDataSync::ManifestPath("."), manifest);
    Sync(VersionTwo());
    Sync(VersionOne(), SYNC_WRITE_ALL);
    EXPECT_EQ(Text("GameData/Config.dat"), "settings");
    EXPECT_EQ(Text("GameData/Replay/Replay01.dat"), "a replay");
}

TEST_F(DataSyncTest, ADamagedManifestCountsAsNoneAndNeverReachesOutsideTheFolder)
{
    Sync(VersionOne());
    CTempFolder::Put("outside.txt", "keep me");
    const std::vector<std::string> damaged = {
        "",
        "zorva-gamedata-manifest 2\n",
        "zorva-gamedata-manifest 1\nfile 0123 5 a\n",
        "zorva-gamedata-manifest 1\nfile 0123456789abcdeg 5 a\n",
        "zorva-gamedata-manifest 1\nfile 0123456789abcdef -5 a\n",
        "zorva-gamedata-manifest 1\nfile 0123456789abcdef 5\n",
        "zorva-gamedata-manifest 1\nfile 0123456789abcdef 5 ../outside.txt\n",
        "zorva-gamedata-manifest 1\nfile 0123456789abcdef 5 /etc/passwd\n",
        "zorva-gamedata-manifest 1\nfile 0123456789abcdef 5 a//b\n",
        "zorva-gamedata-manifest 1\nfile 0123456789abcdef 5 a\nfile 0123456789abcdef 5 a\n",
        "zorva-gamedata-manifest 1\nversion 0123456789abcdef\nversion 0123456789abcdef\n",
        "zorva-gamedata-manifest 1\nfile 0123456789abcdef 5 a\0b\n"s,
    };
    for (const std::string& text : damaged) {
        CDataManifest manifest;
        std::string error;
        EXPECT_FALSE(manifest.Decode(text, &error)) << text;
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(manifest.Files().empty());
    }
    // A manifest naming a file outside with its very bytes: the file stays.
    std::vector<uint8_t> keep = CTempFolder::Get("outside.txt");
    char szLine[128];
    snprintf(szLine, sizeof(szLine), "zorva-gamedata-manifest 1\nfile %016llx 7 ../outside.txt\n",
             (unsigned long long)HashBytes(keep.data(), keep.size()));
    CTempFolder::Put(CDataSync::ManifestPath("."), szLine);
    Sync(VersionTwo());
    EXPECT_EQ(Text("outside.txt"), "keep me");
    // No usable record, so the generator's changed file was backed up, not lost.
    EXPECT_EQ(Text("GameData/Stage01/Sky.bmp.old"), VersionOne()["Stage01/Sky.bmp"]);
}

TEST_F(DataSyncTest, ManifestRoundTripsAndKeepsFileNamesWithSpaces)
{
    CDataManifest manifest;
    manifest.Set("Stage01/Sky.bmp", {0x0123456789abcdefull, 300});
    manifest.Set("My Folder/a b.txt", {0xffffffffffffffffull, 0});
    manifest.SetVersion(42);
    CDataManifest back;
    std::string error;
    ASSERT_TRUE(back.Decode(manifest.Encode(), &error)) << error;
    EXPECT_EQ(back.Encode(), manifest.Encode());
    ASSERT_NE(back.Find("My Folder/a b.txt"), nullptr);
    EXPECT_EQ(back.Find("My Folder/a b.txt")->nHash, 0xffffffffffffffffull);
    EXPECT_EQ(back.Version(), 42u);
    // FNV-1a as published: the empty input and "a".
    EXPECT_EQ(HashBytes(nullptr, 0), 0xcbf29ce484222325ull);
    EXPECT_EQ(HashBytes(reinterpret_cast<const uint8_t*>("a"), 1), 0xaf63dc4c8601ec8cull);
}

TEST_F(DataSyncTest, AFolderInTheWayIsAnErrorAndNothingElseIsLost)
{
    fs::create_directories("GameData/Stage01/Sky.bmp");
    CDataSync sync(".", SYNC_UPDATE);
    const std::string sky = "sky";
    EXPECT_FALSE(sync.Put("Stage01/Sky.bmp", std::vector<uint8_t>(sky.begin(), sky.end())));
    EXPECT_FALSE(sync.Finish());
    EXPECT_TRUE(fs::is_directory("GameData/Stage01/Sky.bmp"));
    EXPECT_FALSE(fs::exists(CDataSync::ManifestPath(".")));
}

} // namespace
