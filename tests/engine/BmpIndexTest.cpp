#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "engine/BmpIndex.h"

namespace {

void Parse(CBmpIndex& index, const std::string& text)
{
    index.ParseIndexText(text.data(), text.size());
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST(BmpIndexGrammar, InclusiveCornersAndFoldedNames)
{
    CBmpIndex index;
    Parse(index, "#img_rgn Name = 1:2:3:4\r\n#IMG_RGN a = 0:0:31:15\r\n");
    EXPECT_TRUE(SameRect(index.GetRegion("NAME"), RECT{1, 2, 4, 5}));
    int w = -1, h = -1;
    index.GetRegionSize("name", &w, &h);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 3);
    index.GetRegionSize("A", &w, &h);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 16);
}

TEST(BmpIndexGrammar, NumberCountsAndValueLists)
{
    CBmpIndex index;
    Parse(index,
          "#IMG_RGN three = 0:0:9\n"
          "#IMG_RGN five = 0:0:9:9:5\n"
          "#IMG_RGN a = 0:0:9:9, b = 1:1:2:2\n"
          "#IMG_RGN junk = x:1:2y:3\n"
          "#IMG_RGN noequals 0:0:1:1\n");
    EXPECT_FALSE(index.HasRegion("three"));
    EXPECT_TRUE(SameRect(index.GetRegion("five"), RECT{0, 0, 10, 10}));
    EXPECT_TRUE(index.HasRegion("a"));
    EXPECT_FALSE(index.HasRegion("b"));
    EXPECT_TRUE(SameRect(index.GetRegion("junk"), RECT{0, 1, 3, 4}));  // atoi's reading
    EXPECT_EQ(index.GetRegionCount(), 3u);
    // An empty piece reads 0 after the last colon as it does between two.
    Parse(index, "#IMG_RGN gap = 0::9:9\n#IMG_RGN trail = 0:0:9:\n");
    EXPECT_TRUE(SameRect(index.GetRegion("gap"), RECT{0, 0, 10, 10}));
    EXPECT_TRUE(SameRect(index.GetRegion("trail"), RECT{0, 0, 10, 1}));
}

TEST(BmpIndexGrammar, NumbersAtTheLimitsOfAnInt)
{
    CBmpIndex index;
    Parse(index, "#IMG_RGN huge = -99999999999:-2147483648:2147483647:99999999999\n");
    EXPECT_TRUE(SameRect(index.GetRegion("huge"), RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}));
    // Its size does not wrap round to a negative number.
    int w = 0, h = 0;
    index.GetRegionSize("huge", &w, &h);
    EXPECT_EQ(w, INT_MAX);
    EXPECT_EQ(h, INT_MAX);
}

TEST(BmpIndexGrammar, LinesThatDefineNothing)
{
    CBmpIndex index;
    Parse(index,
          "IMG_RGN nohash = 0:0:1:1\n"
          "// #IMG_RGN comment = 0:0:1:1\n"
          "   ## #IMG_RGN comment2 = 0:0:1:1\n"
          "#FOO bar = 0:0:1:1\n"
          "#IMG_RGN\n"
          "#IMG_RGN   \n"
          "\n");
    EXPECT_EQ(index.GetRegionCount(), 0u);
    EXPECT_EQ(index.GetImageFileName(), "");
}

TEST(BmpIndexGrammar, PrefixKeywordsAndTrailingComments)
{
    CBmpIndex index;
    Parse(index,
          "  #index_forx  first.bmp\n"
          "#INDEX_FOR Sheet.bmp // the sheet\n"
          "#IMG_RGNS keep = 5:6:7:8 ## spare\n"
          "#IMG_RGN dup = 0:0:0:0\n"
          "#IMG_RGN DUP = 1:1:1:1\n");
    EXPECT_EQ(index.GetImageFileName(), "Sheet.bmp");
    EXPECT_TRUE(SameRect(index.GetRegion("keep"), RECT{5, 6, 8, 9}));
    EXPECT_TRUE(SameRect(index.GetRegion("dup"), RECT{1, 1, 2, 2}));
}

TEST(BmpIndexGrammar, AtSignsAndTwoByteNames)
{
    CBmpIndex index;
    // A blank and an at sign before '=' are cut from the name; inside a value the at sign stays.
    Parse(index, "#IMG_RGN at @ = 0:0:1:1\n#IMG_RGN m@il = 0:0:2:2\n");
    EXPECT_TRUE(index.HasRegion("at"));
    EXPECT_TRUE(index.HasRegion("m@il"));
    // A two-byte character whose second byte is 0x40 (or a capital letter) keeps it.
    const std::string sjis = std::string("\x83\x40", 2) + "\x83" + "A";
    Parse(index, "#IMG_RGN " + sjis + " = 0:0:3:3\n");
    EXPECT_TRUE(index.HasRegion(sjis.c_str()));
    const std::string other = std::string("\x83\x40", 2) + "\x83" + "a";
    EXPECT_FALSE(index.HasRegion(other.c_str()));
    // A full-width space separates like a blank.
    Parse(index, "#IMG_RGN\x81\x40wide\x81\x40= 0:0:1:1\n");
    EXPECT_TRUE(index.HasRegion("wide"));
}

TEST(BmpIndexGrammar, LongLinesGoOnAsTheNextLine)
{
    CBmpIndex index;
    std::string text = "#IMG_RGN first = 0:0:1:1";
    text += std::string(INDEX_LINE_MAX, ' ');
    text += "#IMG_RGN second = 0:0:1:1\n#IMG_RGN third = 0:0:1:1\n";
    Parse(index, text);
    EXPECT_TRUE(index.HasRegion("first"));
    EXPECT_TRUE(index.HasRegion("third"));
}

TEST(BmpIndexRegions, UnknownNamesAndSubRectangles)
{
    CBmpIndex index;
    index.AddRegion("Box", RECT{100, 50, 108, 58});
    int w = -1, h = -1;
    index.GetRegionSize("missing", &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    index.GetRegionSize("missing", nullptr, nullptr);
    EXPECT_TRUE(SameRect(index.GetRegion("missing"), RECT{0, 0, 0, 0}));
    EXPECT_EQ(index.BltRegion(nullptr, nullptr, "missing", nullptr, 0, nullptr), 0);
    // Without a sheet nothing can be made (ERROR 26).
    EXPECT_EQ(index.CreateRegionSurface(nullptr, "box", nullptr, 1), nullptr);
}
