#include <gtest/gtest.h>

#include "engine/DebugOut.h"
#include "engine/Log.h"
#include "support/TempFolder.h"

TEST(DebugOut, LevelsAndWindows)
{
    EXPECT_EQ(WindowToLevel(0), 8);
    EXPECT_EQ(WindowToLevel(8), 2048);
    EXPECT_EQ(WindowToLevel(9), 4096);
    EXPECT_EQ(WindowToLevel(-1), 4096);
    EXPECT_EQ(LevelToWindow(0x8), 0);
    EXPECT_EQ(LevelToWindow(0x1000), 9);
    EXPECT_EQ(LevelToWindow(0x30), 1);
    EXPECT_EQ(LevelToWindow(0), -1);
    EXPECT_EQ(LevelToWindow(0x4), -1);
    EXPECT_FALSE(HasDebugLevel(0x4));
    EXPECT_TRUE(HasDebugLevel(0x8));
    EXPECT_TRUE(HasDebugLevel(0x1000));
    EXPECT_FALSE(HasDebugLevel(0x2000));
}

TEST(DebugOut, MessagesLeaveNoTrace)
{
    CTempFolder dir;
    SetLoggingFlag(1);
    EXPECT_EQ(CDebugInfo::Trace(0x8, "ERROR 1 : オブジェが定義されていません [%s]\n", "x"), 0);
    EXPECT_EQ(CDebugInfo::Print("WARNING %d\n", 2), 0);
    CDebugInfo::SetWindow(nullptr);
    CDebugInfo::Close();
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    SetLoggingFlag(0);
    WriteDebugInfo("off");
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    SetLoggingFlag(1);
    WriteDebugInfo("a\n");
    WriteDebugInfo("b");
    std::vector<uint8_t> v = CTempFolder::Get(DEBUG_INFO_FILE);
    EXPECT_EQ(std::string(v.begin(), v.end()), "a\r\nb");   // CR LF, as the other logs
    SetLoggingFlag(0);
}
