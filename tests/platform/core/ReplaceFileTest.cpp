// Replacing a whole file: the bytes arrive in one piece, the old file's permissions stay, a new file
// gets the process's defaults, and a failure at any step leaves the old file and nothing beside it.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

#include "platform/win/File.h"
#include "platform/win/Win.h"
#include "support/TempFolder.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

mode_t ModeOf(const char* pszPath)
{
    struct stat st = {};
    EXPECT_EQ(stat(pszPath, &st), 0) << pszPath;
    return st.st_mode & 07777;
}

std::set<std::string> Entries(const char* pszFolder)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(pszFolder))
        names.insert(e.path().filename().string());
    return names;
}

int Replace(const char* pszPath, const std::string& text)
{
    return ReplaceFileContents(pszPath, text.data(), text.size());
}

} // namespace

TEST(ReplaceFile, TheOldFilesPermissionsStayAndANewFileTakesTheDefaults)
{
    CTempFolder dir;
    std::filesystem::create_directories("Replay");
    for (mode_t mode : {0600, 0640, 0604, 0751, 0444}) {
        CTempFolder::Put("Replay/Replay01.dat", std::string("old"));
        ASSERT_EQ(chmod("Replay/Replay01.dat", mode), 0);
        ASSERT_EQ(Replace(".\\Replay\\Replay01.dat", "new bytes"), REPLACE_OK) << std::oct << mode;
        EXPECT_EQ(ModeOf("Replay/Replay01.dat"), mode) << std::oct << mode;
        EXPECT_EQ(CTempFolder::Get("Replay/Replay01.dat"), Bytes("new bytes"));
    }
    const mode_t umaskNow = umask(027);
    EXPECT_EQ(Replace(".\\Replay\\Replay02.dat", ""), REPLACE_OK);
    umask(umaskNow);
    EXPECT_EQ(ModeOf("Replay/Replay02.dat"), 0640u);
    EXPECT_TRUE(CTempFolder::Get("Replay/Replay02.dat").empty());
    EXPECT_EQ(Entries("Replay"), (std::set<std::string>{"Replay01.dat", "Replay02.dat"}));
}

TEST(ReplaceFile, AFileLeftBesideByACrashLendsTheNewOneNothing)
{
    CTempFolder dir;
    CTempFolder::Put("Config.dat", std::string("#CFG_FPS 60\r\n"));
    chmod("Config.dat", 0600);
    CTempFolder::Put("Config.dat.new", std::string("half a fi"));
    chmod("Config.dat.new", 0777);
    ASSERT_EQ(Replace("Config.dat", "#CFG_FPS 30\r\n"), REPLACE_OK);
    EXPECT_EQ(CTempFolder::Get("Config.dat"), Bytes("#CFG_FPS 30\r\n"));
    EXPECT_EQ(ModeOf("Config.dat"), 0600u);
    EXPECT_EQ(Entries("."), (std::set<std::string>{"Config.dat"}));
}

TEST(ReplaceFile, FailuresLeaveTheOldFileAndNothingBeside)
{
    CTempFolder dir;
    CTempFolder::Put("Replay/Replay03.dat", std::string("kept"));
    const std::set<std::string> before = Entries("Replay");

    // No folder to create in.
    EXPECT_EQ(Replace(".\\NoSuchFolder\\x.dat", "abc"), REPLACE_CANNOT_CREATE);
    EXPECT_FALSE(std::filesystem::exists("NoSuchFolder"));

    // The write runs out of room: a file-size limit stands in for a full disk. The signal such a
    // limit raises keeps its default, which would end the process in the middle of the save.
    struct rlimit old = {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_DFL);
    struct rlimit small = old;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int nResult = Replace(".\\Replay\\Replay03.dat", std::string(4096, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(nResult, REPLACE_CANNOT_WRITE);
    EXPECT_EQ(CTempFolder::Get("Replay/Replay03.dat"), Bytes("kept"));
    EXPECT_EQ(Entries("Replay"), before);

    // The name is taken by a folder that holds something: the rename fails.
    CTempFolder::Put("Replay/Busy.dat/inside", std::string("x"));
    EXPECT_EQ(Replace(".\\Replay\\Busy.dat", "abc"), REPLACE_CANNOT_RENAME);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_EQ(Entries("Replay"), (std::set<std::string>{"Replay03.dat", "Busy.dat"}));
    EXPECT_EQ(Entries("Replay/Busy.dat"), (std::set<std::string>{"inside"}));
}
