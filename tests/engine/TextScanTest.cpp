#include <gtest/gtest.h>

#include <cstring>

#include "engine/Util.h"
#include "support/TempFolder.h"
#include "rvm/rvm_stl.h"

TEST(TextScan, CutCommentAndBlankLines)
{
    char line[] = "a ## b // c";
    EXPECT_EQ(CutComment(line), 1);
    EXPECT_STREQ(line, "a ");
    char line2[] = "x // y ## z";
    CutComment(line2);
    EXPECT_STREQ(line2, "x ");
    char line3[] = "plain";
    EXPECT_EQ(CutComment(line3), 1);
    EXPECT_STREQ(line3, "plain");

    EXPECT_EQ(IsBlankLine(""), 1);
    EXPECT_EQ(IsBlankLine(" \t\r\n"), 1);
    EXPECT_EQ(IsBlankLine("\x81\x40\x81\x40"), 1);   // full-width spaces
    EXPECT_EQ(IsBlankLine("  // only a note"), 1);
    EXPECT_EQ(IsBlankLine("@@"), 1);
    EXPECT_EQ(IsBlankLine(" x // note"), 0);
    const char* pConst = "keep // me";
    EXPECT_EQ(IsBlankLine(pConst), 0);
    EXPECT_STREQ(pConst, "keep // me");
    rvm::string longLine(5000, ' ');
    longLine += "x";   // beyond the 2048 bytes looked at
    EXPECT_EQ(IsBlankLine(longLine.c_str()), 1);
}

TEST(TextScan, ParseKeyValueLine)
{
    rvm::string name;
    rvm::vector<rvm::string> values{"old"};
    ParseKeyValueLine("name = 1 : 2", name, values);
    EXPECT_EQ(name, "name");
    EXPECT_EQ(values, (rvm::vector<rvm::string>{"1", "2"}));
    ParseKeyValueLine("  a=1::", name, values);
    EXPECT_EQ(name, "  a");   // leading blanks stay
    EXPECT_EQ(values, (rvm::vector<rvm::string>{"1", ""}));
    ParseKeyValueLine("abc", name, values);
    EXPECT_EQ(name, "abc");
    EXPECT_TRUE(values.empty());
    ParseKeyValueLine("1:2", name, values);
    EXPECT_EQ(name, "");
    EXPECT_EQ(values, (rvm::vector<rvm::string>{"1", "2"}));
    ParseKeyValueLine("r = v\x83\x40:@x", name, values);   // a field's last 0x40 goes
    EXPECT_EQ(values, (rvm::vector<rvm::string>{"v\x83", "@x"}));
    ParseKeyValueLine(("k=" + rvm::string(300, 'z')).c_str(), name, values);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].size(), 255u);
}

TEST(TextScan, SplitString)
{
    rvm::vector<rvm::string> fields{"kept"};
    SplitString("a,b,", 4, ',', fields);
    EXPECT_EQ(fields, (rvm::vector<rvm::string>{"kept", "a", "b"}));
    fields.clear();
    SplitString("a,,b", 4, ',', fields);
    EXPECT_EQ(fields, (rvm::vector<rvm::string>{"a", "", "b"}));
    fields.clear();
    SplitString(" x ,\ty\r\n", 9, ',', fields);
    EXPECT_EQ(fields, (rvm::vector<rvm::string>{"x", "y"}));
    fields.clear();
    SplitString("a,b,c", 3, ',', fields);   // only the first 3 bytes
    EXPECT_EQ(fields, (rvm::vector<rvm::string>{"a", "b"}));
    fields.clear();
    SplitString("", 5, ',', fields);
    SplitString(nullptr, 5, ',', fields);
    SplitString("a", 0, ',', fields);
    EXPECT_TRUE(fields.empty());
}

TEST(TextScan, RightStringAndFullWidthDigits)
{
    rvm::string out;
    RightString(out, "Stage01", 2);
    EXPECT_EQ(out, "01");
    RightString(out, "ab", 5);
    EXPECT_EQ(out, "ab");
    RightString(out, "", 1);
    EXPECT_EQ(out, "");
    ToFullWidthDigits(out, 10);
    EXPECT_EQ(out, "\x82\x50\x82\x4F");
    ToFullWidthDigits(out, 123);
    EXPECT_EQ(out, "\x82\x50\x82\x51\x82\x52");
    ToFullWidthDigits(out, 0);
    EXPECT_EQ(out, "");
    ToFullWidthDigits(out, -5);
    EXPECT_EQ(out, "");
}

TEST(TextScan, PathTests)
{
    CTempFolder dir;
    EXPECT_EQ(IsReplayFileExist(), 0);
    EXPECT_EQ(CreateDirectories(".\\Replay\\"), 1);
    EXPECT_TRUE(std::filesystem::is_directory("Replay"));
    EXPECT_EQ(CreateDirectories(".\\Replay\\"), 1);   // already there
    EXPECT_EQ(IsReplayDirExist(), 0);                 // a folder does not open as a file
    EXPECT_EQ(IsReplayFileExist(), 0);
    CTempFolder::Put("Replay/Replay01.dat", rvm::string("r"));
    CTempFolder::Put("Replay/Replay1.dat", rvm::string("r"));
    EXPECT_EQ(IsReplayFileExist(), 1);
    EXPECT_EQ(IsFileExist(".\\Replay\\Replay01.dat"), 1);
    EXPECT_EQ(IsFileExist(".\\Replay\\Replay02.dat"), 0);
    EXPECT_EQ(CreateDirectories(".\\a\\b\\c"), 1);
    EXPECT_TRUE(std::filesystem::is_directory("a/b/c"));
    CTempFolder::Put("file", rvm::string("x"));
    EXPECT_EQ(CreateDirectories(".\\file\\"), 0);   // a file stands there
    EXPECT_EQ(CreateDirectories(""), 1);
    EXPECT_EQ(IsStageExist(1), 0);
    CTempFolder::Put("GameData/Stage01/Stage.txt", rvm::string("x"));
    EXPECT_EQ(IsStageExist(1), 1);
}
