#include <gtest/gtest.h>

#include <cstring>
#include <regex>

#include "engine/Log.h"
#include "engine/Param.h"
#include "support/TempFolder.h"

namespace {

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLogRun(); }
    void TearDown() override
    {
        SetLoggingFlag(0);
        ResetLogRun();
        ClearParams();
    }
    CTempFolder m_Dir;
};

std::string FileText(const char* pszName)
{
    std::vector<uint8_t> v = CTempFolder::Get(pszName);
    return std::string(v.begin(), v.end());
}

} // namespace

TEST_F(LogTest, SwitchComesFromDebugPrim)
{
    CTempFolder::Put("GameData/System/Param.txt", std::string("#DEBUG_PRIM 2\r\n"));
    ClearParams();
    EXPECT_EQ(ReadLoggingFlag(), 0);
    CTempFolder::Put("GameData/System/Param.txt", std::string("#DEBUG_PRIM 1\r\n"));
    ClearParams();
    EXPECT_EQ(ReadLoggingFlag(), 1);
    EXPECT_EQ(GetLoggingFlag(), 1);
}

TEST_F(LogTest, OffTouchesNothing)
{
    SetLoggingFlag(0);
    CTempFolder::Put(OPEN_LOG_FILE, std::string("old run"));
    CTempFolder::Put(ASSERT_LOG_FILE, std::string("old asserts"));
    EXPECT_EQ(WriteOpenLog("x %d\n", 1), 0);
    EXPECT_EQ(DebugPrintf("ERROR 1 : %s\n", "x"), 0);
    WriteAssertLog(0, 12, "a.cpp", "m");
    EXPECT_EQ(FileText(OPEN_LOG_FILE), "old run");
    EXPECT_EQ(FileText(ASSERT_LOG_FILE), "old asserts");
}

TEST_F(LogTest, FirstWriteReplacesLaterWritesAppend)
{
    SetLoggingFlag(1);
    CTempFolder::Put(OPEN_LOG_FILE, std::string("old run"));
    EXPECT_EQ(WriteOpenLog("%s 読み込み : %d\n", "a.bmp", 3), (int)strlen("a.bmp 読み込み : 3\n"));
    EXPECT_EQ(WriteOpenLog("second"), 6);
    EXPECT_EQ(FileText(OPEN_LOG_FILE), "a.bmp 読み込み : 3\r\nsecond");
}

TEST_F(LogTest, LoggedFOpenNamesTheCallersLine)
{
    SetLoggingFlag(1);
    CTempFolder::Put("t.csv", std::string("x"));
    int nLine = __LINE__ + 1;
    FILE* fp = LoggedFOpen("t.csv", "r");
    ASSERT_NE(fp, nullptr);
    fclose(fp);
    EXPECT_EQ(LoggedFOpen("none.csv", "r"), nullptr);
    std::string expected = "t.csv 読み込み : " + std::to_string(nLine) + " " + __FILE__ + "\r\n";
    std::string text = FileText(OPEN_LOG_FILE);
    EXPECT_EQ(text.compare(0, expected.size(), expected), 0) << text;
    EXPECT_NE(text.find("none.csv 失敗 : "), std::string::npos);
}

TEST_F(LogTest, LongTextsAreCutNeverOverflowed)
{
    SetLoggingFlag(1);
    std::string longText(5000, 'x');
    EXPECT_EQ(WriteOpenLog("%s", longText.c_str()), OPEN_LOG_BUFFER - 1);
    EXPECT_EQ(FileText(OPEN_LOG_FILE).size(), (size_t)OPEN_LOG_BUFFER - 1);
    EXPECT_EQ(DebugPrintf("%s", longText.c_str()), DEBUG_PRINTF_BUFFER - 1);
    EXPECT_EQ(DebugPrintf("ERROR %d : %s\n", 1, "x"), 12);
}

TEST_F(LogTest, AssertLineFormat)
{
    SetLoggingFlag(1);
    CTempFolder::Put(ASSERT_LOG_FILE, std::string("old"));
    WriteAssertLog(1, 5, "ok.cpp", "holds");   // first call: the old file goes, nothing is written
    EXPECT_FALSE(std::filesystem::exists(ASSERT_LOG_FILE));
    WriteAssertLog(0, 12, "Stage.cpp", "bad %d", 7);
    std::string text = FileText(ASSERT_LOG_FILE);
    std::regex line(R"(\[\d\d/\d\d/\d\d \d\d:\d\d:\d\d\] bad 7 \(12\) Stage\.cpp\r\n)");
    EXPECT_TRUE(std::regex_match(text, line)) << text;
    struct tm t = GetLocalTimeNow();
    char szDate[48];
    snprintf(szDate, sizeof(szDate), "[%02d/%02d/%02d", t.tm_year % 100, t.tm_mon + 1, t.tm_mday);
    EXPECT_EQ(text.compare(0, 9, szDate), 0);
}
