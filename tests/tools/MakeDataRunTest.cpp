// The generator as scripts/run.sh calls it: the data set is brought up to date on every start, a
// user's edit to Param.txt survives, and the settings file and the replays are never touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunProgram.h"
#include "support/TempFolder.h"

namespace {

const std::string kMakeData = std::string("'") + ZORVA_MAKEDATA + "'";

bool StartsWith(const std::string& text, const std::string& head)
{
    return text.compare(0, head.size(), head) == 0;
}

TEST(MakeDataRunTest, UpdateKeepsAnEditedParamFileAndNeverTouchesSettingsOrReplays)
{
    CTempFolder folder;
    CTempFolder::Put("GameData/Config.dat", MakeBytes(64, 1, false));
    CTempFolder::Put("GameData/Replay/Replay01.dat", MakeBytes(300, 2, false));

    PROGRAMRUN run = RunProgram(kMakeData + " --update .");
    ASSERT_EQ(run.nExit, 0) << run.strErr;
    EXPECT_TRUE(StartsWith(run.strOut, "makedata: ./GameData: ")) << run.strOut;
    EXPECT_NE(run.strOut.find(" written\n"), std::string::npos) << run.strOut;
    EXPECT_EQ(run.strOut.find('\n'), run.strOut.size() - 1) << "one line: " << run.strOut;
    const std::vector<uint8_t> param = CTempFolder::Get("GameData/System/Param.txt");
    ASSERT_FALSE(param.empty());

    run = RunProgram(kMakeData + " --update .");
    ASSERT_EQ(run.nExit, 0) << run.strErr;
    EXPECT_TRUE(StartsWith(run.strOut, "makedata: ./GameData is up to date (")) << run.strOut;

    std::vector<uint8_t> edited = param;
    const std::string edit = "GRAVITY 0.25\r\n";
    edited.insert(edited.end(), edit.begin(), edit.end());
    CTempFolder::Put("GameData/System/Param.txt", edited);
    run = RunProgram(kMakeData + " --update .");
    ASSERT_EQ(run.nExit, 0) << run.strErr;
    EXPECT_NE(run.strOut.find("; kept your edited System/Param.txt (the generated one is System/Param.txt.new)\n"),
              std::string::npos)
        << run.strOut;
    EXPECT_EQ(CTempFolder::Get("GameData/System/Param.txt"), edited);
    EXPECT_EQ(CTempFolder::Get("GameData/System/Param.txt.new"), param);

    EXPECT_EQ(CTempFolder::Get("GameData/Config.dat"), MakeBytes(64, 1, false));
    EXPECT_EQ(CTempFolder::Get("GameData/Replay/Replay01.dat"), MakeBytes(300, 2, false));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("GameData/Replay"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(MakeDataRunTest, BadArgumentsExitTwoWithTheUsage)
{
    CTempFolder folder;
    for (const char* pszArgs : {"", " --update", " --bogus .", " . .", " --update . ."}) {
        PROGRAMRUN run = RunProgram(kMakeData + pszArgs);
        EXPECT_EQ(run.nExit, 2) << pszArgs;
        EXPECT_TRUE(StartsWith(run.strErr, "usage: makedata")) << pszArgs;
    }
    EXPECT_FALSE(std::filesystem::exists("GameData"));
}

} // namespace
