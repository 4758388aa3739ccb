// The headless runner as scripts and checks call it: its usage, its exit codes, a quiet stdout,
// and runs side by side.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>

#include "RunProgram.h"
#include "support/GeneratedData.h"
#include "support/TempFolder.h"

extern char** environ;

namespace {

// The run's lock file goes to the runtime folder: here, the test's own folder, removed with it.
const std::string kRuntimeHere = "XDG_RUNTIME_DIR=\"$PWD\" ";
const std::string kHeadless = kRuntimeHere + "'" + ZORVA_HEADLESS + "'";

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(HeadlessRunnerTest, HelpPrintsTheUsageAndTheKeyScriptFormat)
{
    CTempFolder folder;
    for (const char* pszOption : {" --help", " -h", " --ticks 5 --help"}) {
        PROGRAMRUN run = RunProgram(kHeadless + pszOption);
        EXPECT_EQ(run.nExit, 0) << pszOption;
        EXPECT_TRUE(Has(run.strOut, "usage: zorva-headless")) << pszOption;
        EXPECT_TRUE(Has(run.strOut, "<tick> down KEY | up KEY")) << pszOption;
        EXPECT_TRUE(Has(run.strOut, "<tick> joy N X Y BUTTONS")) << pszOption;
        EXPECT_EQ(run.strErr, "") << pszOption;
    }
    // Help runs nothing.
    EXPECT_FALSE(std::filesystem::exists("debug.txt"));
}

TEST(HeadlessRunnerTest, BadOptionsExitTwoWithTheReasonAndTheUsageOnStderr)
{
    CTempFolder folder;
    CTempFolder::Put("bad.keys", "10 down Right\n20 press Z\n");
    const struct {
        const char* pszArgs;
        const char* pszReason;
    } kCases[] = {
        {" --bogus", "unknown option --bogus"},
        {" 600", "unknown option 600"},
        {" --ticks", "--ticks needs a value"},
        {" --out", "--out needs a value"},
        {" --ticks abc", "--ticks: \"abc\" is not a count"},
        {" --ticks -5", "--ticks: \"-5\" is not a count"},
        {" --ticks ' 5'", "--ticks: \" 5\" is not a count"},
        {" --shot-every 5x", "--shot-every: \"5x\" is not a count"},
        {" --shot-at 99999999999", "--shot-at: \"99999999999\" is not a count"},
        {" --keys missing.keys", "missing.keys: cannot open script"},
        {" --keys bad.keys", "bad.keys: line 2: unknown command \"press\""},
    };
    for (const auto& c : kCases) {
        PROGRAMRUN run = RunProgram(kHeadless + c.pszArgs);
        EXPECT_EQ(run.nExit, 2) << c.pszArgs;
        EXPECT_EQ(run.strOut, "") << c.pszArgs;
        EXPECT_TRUE(Has(run.strErr, c.pszReason)) << c.pszArgs << ": " << run.strErr;
    }
    PROGRAMRUN run = RunProgram(kHeadless + " --bogus");
    EXPECT_TRUE(Has(run.strErr, "usage: zorva-headless")) << run.strErr;
    EXPECT_FALSE(std::filesystem::exists("debug.txt"));
}

// Starts the runner in the background in the current folder; its output goes to files.
pid_t StartRunner(const std::string& args)
{
    const std::string command = "export " + kRuntimeHere + "; exec '" + ZORVA_HEADLESS + "'" + args + " >.out-bg 2>.err-bg";
    char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>(command.c_str()), nullptr};
    pid_t pid = -1;
    return posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) == 0 ? pid : -1;
}

bool WaitForFile(const std::string& path, pid_t pid)
{
    for (int i = 0; i < 60000; i++) {
        if (std::filesystem::exists(path))
            return true;
        int nStatus;
        if (waitpid(pid, &nStatus, WNOHANG) == pid)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST(HeadlessRunnerTest, RunsPrintOneLineAndOnlyOneRunAFolderAtOnce)
{
    CTempFolder folder;
    PROGRAMRUN data = RunProgram(std::string("'") + ZORVA_MAKEDATA + "' .");
    ASSERT_EQ(data.nExit, 0) << data.strErr;

    // No debug tables and no function names unless asked.
    PROGRAMRUN run = RunProgram(kHeadless + " --ticks 60 --out shots");
    ASSERT_EQ(run.nExit, 0) << run.strErr;
    EXPECT_EQ(run.strOut, "zorva-headless: 61 ticks, " + run.strOut.substr(26));
    EXPECT_EQ(run.strOut.find('\n'), run.strOut.size() - 1) << run.strOut;
    EXPECT_FALSE(Has(run.strErr, "rvm_mem")) << run.strErr;
    EXPECT_FALSE(Has(run.strErr, "avg : name")) << run.strErr;
    run = RunProgram(kHeadless + " --ticks 60 --out shots --verbose");
    ASSERT_EQ(run.nExit, 0) << run.strErr;
    EXPECT_TRUE(Has(run.strErr, "rvm_mem_destroy_exe()")) << run.strErr;
    EXPECT_EQ(run.strOut.find('\n'), run.strOut.size() - 1) << run.strOut;

    // A long run holds this folder; a second run here says so and fails, one in another folder runs.
    std::filesystem::create_directories("other");
    std::filesystem::create_directory_symlink("../GameData", "other/GameData");
    const pid_t pid = StartRunner(" --ticks 100000000 --shot-at 1 --out long");
    ASSERT_GT(pid, 0);
    const bool bStarted = WaitForFile("long/tick00001.png", pid);
    PROGRAMRUN second = RunProgram(kHeadless + " --ticks 30 --out second", "second");
    PROGRAMRUN other = RunProgram("(cd other && " + kHeadless + " --ticks 60 --out shots)", "other");
    kill(pid, SIGTERM);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    ReadAndRemove(".out-bg");
    ReadAndRemove(".err-bg");
    ASSERT_TRUE(bStarted) << "the long run did not start";

    EXPECT_EQ(second.nExit, 1);
    EXPECT_EQ(second.strOut, "");
    EXPECT_TRUE(Has(second.strErr, "zorva-headless: another headless run is using ")) << second.strErr;
    EXPECT_FALSE(std::filesystem::exists("second/last.png"));

    EXPECT_EQ(other.nExit, 0) << other.strErr;
    EXPECT_TRUE(Has(other.strOut, "zorva-headless: 61 ticks")) << other.strOut;

    // Once the long run has ended, this folder runs again.
    run = RunProgram(kHeadless + " --ticks 30 --out shots");
    EXPECT_EQ(run.nExit, 0) << run.strErr;
}

// Every file below the folder with its bytes, by path.
std::map<std::string, std::string> FilesBelow(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[std::filesystem::relative(entry.path(), folder).string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

TEST(HeadlessRunnerTest, TwoRunsWithTheSameArgumentsWriteTheSameScreenshots)
{
    // Through the stage's load and on into the stage, riding, shooting and jumping: the load takes
    // real time on its own thread, which must not show in the frames.
    CTempFolder folder;
    CTempFolder::Put("ride.keys", "1 down Right\n1 down Z\n150 down X\n154 up X\n");
    for (const char* pszRun : {"first", "second"}) {
        std::filesystem::create_directory(pszRun);
        std::filesystem::current_path(pszRun);
        CopyGeneratedData();
        std::filesystem::current_path("..");
        PROGRAMRUN run = RunProgram(std::string("(cd ") + pszRun + " && " + kHeadless +
                                    " --ticks 300 --keys ../ride.keys --shot-every 20 --out shots)", pszRun);
        ASSERT_EQ(run.nExit, 0) << run.strErr;
    }
    const std::map<std::string, std::string> first = FilesBelow("first/shots");
    const std::map<std::string, std::string> second = FilesBelow("second/shots");
    EXPECT_GT(first.size(), 10u);
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, bytes] : first) {
        const auto it = second.find(name);
        ASSERT_NE(it, second.end()) << name;
        EXPECT_TRUE(it->second == bytes) << name << " differs";
    }
}

} // namespace
