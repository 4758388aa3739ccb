#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "engine/Param.h"
#include "pack/PackBuilder.h"
#include "support/TempFolder.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"

namespace {

// A data folder holding Param.txt; the map is cleared so the next lookup loads it.
class ParamTest : public ::testing::Test {
protected:
    void Use(const rvm::string& text)
    {
        CTempFolder::Put("GameData/System/Param.txt", text);
        ClearParams();
    }
    void TearDown() override { ClearParams(); }
    CTempFolder m_Dir;
};

} // namespace

TEST_F(ParamTest, ValuesAreSeparatedByCommasOnly)
{
    Use("#K 1, 2 ,3\r\n#B 1 2\r\n#E\r\n#T 5,\r\n  # text\r\n#F -2.5e1, x\r\n");
    EXPECT_EQ(GetParamInt("K", 0, 9), 1);
    EXPECT_EQ(GetParamInt("K", 1, 9), 2);
    EXPECT_EQ(GetParamInt("K", 2, 9), 3);
    EXPECT_EQ(ParamHasIndex("K", 3), 0);
    EXPECT_STREQ(GetParamString("B", 0, ""), "1 2");   // one value with the blank inside
    EXPECT_EQ(GetParamInt("B", 0, 9), 1);
    // A key alone gets one empty value: 0, not the default.
    EXPECT_EQ(ParamHasIndex("E", 0), 1);
    EXPECT_EQ(GetParamInt("E", 0, 99), 0);
    EXPECT_STREQ(GetParamString("E", 0, "d"), "");
    // A trailing comma gives an empty last value.
    EXPECT_EQ(ParamHasIndex("T", 1), 1);
    EXPECT_STREQ(GetParamString("T", 1, "d"), "");
    // "#" followed by a blank: the empty key.
    EXPECT_EQ(ParamExists(""), 1);
    EXPECT_STREQ(GetParamString("", 0, "d"), "text");
    EXPECT_FLOAT_EQ(GetParamFloat("F", 0, 1.0f), -25.0f);
    EXPECT_FLOAT_EQ(GetParamFloat("F", 1, 1.0f), 0.0f);   // no digits
}

TEST_F(ParamTest, LinesEndingInALoneLineFeed)
{
    // A file saved with bare LF line ends still gives one entry per line.
    Use("#A 1, 2\n#B x\n#C\n");
    EXPECT_EQ(GetParamInt("A", 1, 9), 2);
    EXPECT_EQ(ParamHasIndex("A", 2), 0);
    EXPECT_STREQ(GetParamString("B", 0, ""), "x");
    EXPECT_EQ(ParamHasIndex("C", 0), 1);
    EXPECT_STREQ(GetParamString("C", 0, "d"), "");
}

TEST_F(ParamTest, MissingKeysIndexesAndFile)
{
    Use("#A 7\r\n");
    EXPECT_EQ(GetParamInt("NONE", 0, 42), 42);
    EXPECT_EQ(GetParamInt("A", 1, 42), 42);
    EXPECT_EQ(GetParamInt("A", (unsigned)-1, 42), 42);   // a negative index is a huge one
    EXPECT_EQ(ParamHasIndex("NONE", 0), 0);
    EXPECT_EQ(ParamExists("NONE"), 0);   // asking for an index does not create the key
    std::remove("GameData/System/Param.txt");
    ClearParams();
    EXPECT_STREQ(GetParamStringOrNotFound("A", 0), "KEY_NOT_FOUND");
    EXPECT_EQ(GetParamIntOrMax("A", 0), 2147483647);
    EXPECT_EQ(GetParamFloatOrMax("A", 0), 3.4028235e38f);
    EXPECT_EQ(ParamExists("A"), 0);
    EXPECT_EQ(IsDebugKey(), 0);
    rvm::vector<rvm::string> values{"stale"};
    EXPECT_EQ(GetParamStrings(nullptr, "A", values), 0);
    EXPECT_TRUE(values.empty());
    // Every lookup tries again: a file that appears later is read.
    CTempFolder::Put("GameData/System/Param.txt", rvm::string("#A 8\r\n#DEBUG_KEY 1\r\n"));
    EXPECT_EQ(GetParamInt("A", 0, 0), 8);
    EXPECT_EQ(IsDebugKey(), 1);
}

TEST_F(ParamTest, WhiteSpaceSetAndComments)
{
    // "@" and 0x81 are white space; a two-byte character ending in 0x40 loses that byte.
    Use("#AT abc@\r\n#FW\x81\x40v\x81\x40\r\n#TB x\x83\x40\r\n"
        "#C 1 // note\r\n#D 2 ## note, 3\r\n// #X 1\r\n#K 1\r\n#K 2, 3\r\n");
    EXPECT_STREQ(GetParamString("AT", 0, ""), "abc");
    EXPECT_STREQ(GetParamString("FW", 0, ""), "v");   // the full-width space ends the key too
    EXPECT_STREQ(GetParamString("TB", 0, ""), "x\x83");
    EXPECT_STREQ(GetParamString("C", 0, ""), "1");
    EXPECT_EQ(ParamHasIndex("C", 1), 0);
    EXPECT_STREQ(GetParamString("D", 0, ""), "2");
    EXPECT_EQ(ParamExists("X"), 0);
    // The later line with the same key wins with all its values.
    rvm::vector<rvm::string> values;
    EXPECT_EQ(GetParamStrings(nullptr, "K", values), 1);
    EXPECT_EQ(values, (rvm::vector<rvm::string>{"2", "3"}));
}

TEST_F(ParamTest, KeysWithDotsAndDashesLastLineAndLongText)
{
    rvm::string longValue(400, 'v');
    Use("#ENEMY_M.Zorva 300, 0, 0, 10000, 1\r\n#ENEMY_A1-4 3,0,0,100,0\r\n#LONG " + longValue +
        "\r\n#LAST");
    EXPECT_EQ(GetParamIntOrMax("ENEMY_M.Zorva", 3), 10000);
    EXPECT_EQ(GetParamIntOrMax("ENEMY_A1-4", 0), 3);
    EXPECT_EQ(ParamExists("LAST"), 1);
    EXPECT_EQ(ParamHasIndex("LAST", 0), 0);   // no line end and no values: none at all
    EXPECT_EQ(strlen(GetParamString("LONG", 0, "")), 255u);
}

TEST_F(ParamTest, LoadReloadAndPacks)
{
    Use("#A 1\r\n");
    EXPECT_EQ(ReloadParamFile(), 0);   // nothing loaded yet
    EXPECT_EQ(LoadParamFile(".\\other.txt"), 0);
    CTempFolder::Put("other.txt", rvm::string("#A 2\r\n"));
    EXPECT_EQ(LoadParamFile(".\\other.txt"), 1);
    EXPECT_EQ(GetParamInt("A", 0, 0), 2);
    CTempFolder::Put("other.txt", rvm::string("#A 3\r\n"));
    EXPECT_EQ(ReloadParamFile(), 1);
    EXPECT_EQ(GetParamInt("A", 0, 0), 3);
    // The file may stand in a pack of the System folder.
    std::remove("GameData/System/Param.txt");
    std::filesystem::remove("GameData/System");
    CPackBuilder pack(PACK_MAGIC_VOSTIL);
    rvm::string text = "#FROM_PACK 5\r\n";
    pack.AddFile("Param.txt", rvm::vector<uint8_t>(text.begin(), text.end()), false);
    CTempFolder::Put("GameData/System.dat", pack.Build());
    ClearParams();
    EXPECT_EQ(GetParamInt("FROM_PACK", 0, 0), 5);
}

TEST_F(ParamTest, StartupReaderKeepsDefaultsForMissingValues)
{
    Use("#SCREEN_SETTING 0\r\n#ENEMY_BULLET_SPEED 1.5\r\n#M_M_CANON_SPEED 3.0, 4.0, 9\r\n");
    int nScreen = 7, nFlash = 20;
    float speeds[3] = {6.5f, 15.0f, 6.5f};
    float canon[2] = {2.0f, 0.5f};
    ReadStartupParams(&nScreen, &nFlash, speeds, canon);
    EXPECT_EQ(nScreen, 0);
    EXPECT_EQ(nFlash, 20);
    EXPECT_FLOAT_EQ(speeds[0], 1.5f);
    EXPECT_FLOAT_EQ(speeds[1], 15.0f);
    EXPECT_FLOAT_EQ(speeds[2], 6.5f);
    EXPECT_FLOAT_EQ(canon[0], 3.0f);
    EXPECT_FLOAT_EQ(canon[1], 4.0f);
}

// Numbers out of any sensible range come back finite and within the limit, through every
// lookup and the start-up reader; numbers inside it come back exactly as the C library reads them.
TEST_F(ParamTest, NumbersAreHeldFiniteWithinTheLimit)
{
    Use("#V nan, inf, -inf, 1e39, -1e39, 2147483648, -2147483649, 99999999999, -1, 100000000, -100000001, "
        "-nan, infinity, 1e-50, 0x10\r\n"
        "#OBJ_FLASH_TIME 99999999999\r\n#ENEMY_BULLET_SPEED nan, -inf, 1e39\r\n#M_M_CANON_SPEED inf, 7.25\r\n");
    const int kInts[] = {0, 0, 0, 1, -1, 100000000, -100000000, 100000000, -1, 100000000, -100000000, 0, 0, 1, 0};
    const float kFloats[] = {0.0f, 1e8f, -1e8f, 1e8f, -1e8f, 1e8f, -1e8f, 1e8f, -1.0f, 1e8f, -1e8f,
                             0.0f, 1e8f, 0.0f, 16.0f};
    for (unsigned i = 0; i < sizeof(kInts) / sizeof(kInts[0]); i++) {
        EXPECT_EQ(GetParamInt("V", i, 7), kInts[i]) << i;
        EXPECT_EQ(GetParamFloat("V", i, 7.0f), kFloats[i]) << i;
        EXPECT_EQ(GetParamIntOrMax("V", i), kInts[i]) << i;
        EXPECT_EQ(GetParamFloatOrMax("V", i), kFloats[i]) << i;
    }
    int nScreen = 0, nFlash = 20;
    float speeds[3] = {6.5f, 15.0f, 6.5f}, canon[2] = {2.0f, 0.5f};
    ReadStartupParams(&nScreen, &nFlash, speeds, canon);
    EXPECT_EQ(nFlash, PARAM_VALUE_LIMIT);
    EXPECT_EQ(speeds[0], 0.0f);
    EXPECT_EQ(speeds[1], -1e8f);
    EXPECT_EQ(speeds[2], 1e8f);
    EXPECT_EQ(canon[0], 1e8f);
    EXPECT_EQ(canon[1], 7.25f);
}

// The tuning values of a run are read bit for bit as before: replays depend on them.
TEST_F(ParamTest, NumbersWithinTheLimitAreReadExactly)
{
    const char* const kTexts[] = {"16.333333", "0.8", "-0.03", "2.0", "1.6333333", "99999999.5", "-7", "3e7",
                                  "0.1", "1e-7", "123456.789", "-99999999"};
    rvm::string text = "#V ";
    for (const char* pszText : kTexts)
        text += rvm::string(pszText) + ", ";
    Use(text + "\r\n");
    for (unsigned i = 0; i < sizeof(kTexts) / sizeof(kTexts[0]); i++) {
        EXPECT_EQ(GetParamFloat("V", i, 0.0f), (float)strtod(kTexts[i], nullptr)) << kTexts[i];
        EXPECT_EQ(GetParamInt("V", i, 0), (int)strtol(kTexts[i], nullptr, 10)) << kTexts[i];
        EXPECT_EQ(ParamTextToFloat(kTexts[i]), (float)strtod(kTexts[i], nullptr)) << kTexts[i];
    }
}

// Every kind of lookup notes the key it asks for, there or not, until the map is cleared.
TEST_F(ParamTest, TheKeysAskedForAreNotedUntilCleared)
{
    Use("#A 1\r\n#B 2\r\n#C 3\r\n#D 4\r\n#UNASKED 5\r\n");
    rvm::vector<rvm::string> values;
    GetParamInt("A", 0, 0);
    GetParamFloat("B", 3, 0.0f);
    ParamExists("C");
    GetParamStrings(nullptr, "D", values);
    GetParamString("MISSING", 0, "");
    ParamHasIndex("E", 0);
    for (const char* pszKey : {"A", "B", "C", "D", "MISSING", "E"})
        EXPECT_EQ(WasParamAsked(pszKey), 1) << pszKey;
    EXPECT_EQ(WasParamAsked("UNASKED"), 0);
    EXPECT_EQ(WasParamAsked(nullptr), 0);
    // A reload keeps the notes; clearing the map drops them.
    ReloadParamFile();
    EXPECT_EQ(WasParamAsked("A"), 1);
    ClearParams();
    EXPECT_EQ(WasParamAsked("A"), 0);
}

TEST_F(ParamTest, DemoPlayNeedsKeyAndReplay)
{
    Use("#DEMOPLAY01 30000\r\n#DEMOPLAY02 30000\r\n");
    CTempFolder::Put("GameData/Title/ReplayDemo01.dat", rvm::string("x"));
    CTempFolder::Put("GameData/Title/ReplayDemo03.dat", rvm::string("x"));
    EXPECT_EQ(IsDemoPlayAvailable(1), 1);
    EXPECT_EQ(IsDemoPlayAvailable(2), 0);   // no replay
    EXPECT_EQ(IsDemoPlayAvailable(3), 0);   // no key
}
