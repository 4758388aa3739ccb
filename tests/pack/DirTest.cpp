#include <gtest/gtest.h>

#include <algorithm>

#include "pack/PackBuilder.h"
#include "support/TempFolder.h"
#include "pack/teskDir.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"

namespace {

rvm::vector<rvm::string> ListAll(const char* pszFolder, const char* pszPattern)
{
    CDir dir;
    dir.SetPattern(pszPattern);
    dir.SetPath(pszFolder);
    rvm::vector<rvm::string> names;
    rvm::string path;
    while (dir.FindFile(path) == 0)
        names.push_back(path);
    return names;
}

rvm::vector<uint8_t> Bytes(const char* psz)
{
    return rvm::vector<uint8_t>(psz, psz + strlen(psz));
}

} // namespace

TEST(Dir, MatchWildcard)
{
    EXPECT_TRUE(MatchWildcard("*.bmp", "Logo.BMP"));
    EXPECT_TRUE(MatchWildcard("*", ""));
    EXPECT_TRUE(MatchWildcard("Replay??.dat", "replay01.DAT"));
    EXPECT_FALSE(MatchWildcard("Replay??.dat", "Replay1.dat"));
    EXPECT_FALSE(MatchWildcard("*.bmp", "a.bmpx"));
    EXPECT_TRUE(MatchWildcard("a*c", "abbbc"));
    EXPECT_TRUE(MatchWildcard("abc", "a?c"));   // wildcards in the name match too
    EXPECT_TRUE(MatchWildcard("abc", "*"));
    EXPECT_TRUE(MatchWildcard("a*", "*c"));
    EXPECT_FALSE(MatchWildcard("", "a"));
    EXPECT_TRUE(MatchWildcard("", "***"));
}

TEST(Dir, MatchWildcardOnNamesFullOfStars)
{
    // Pack entry names are data: a name of many '*' against a pattern of many '*' must be
    // answered at once (a backtracking search would run for days here).
    rvm::string stars(200, '*');
    EXPECT_FALSE(MatchWildcard("*a*b*c*d*e*f*.bmp", (stars + "x").c_str()));
    EXPECT_TRUE(MatchWildcard("*a*b*c*d*e*f*.bmp", (stars + "p").c_str()));
    EXPECT_FALSE(MatchWildcard((stars + "x").c_str(), (stars + "y").c_str()));
}

TEST(Dir, ListsFoldersPacksAndSkipsDuplicates)
{
    CTempFolder tmp;
    CTempFolder::Put("G/a.bmp", rvm::string("a"));
    CTempFolder::Put("G/z.txt", rvm::string("z"));
    CTempFolder::Put("G/Sub/b.bmp", rvm::string("b"));
    CPackBuilder pack(PACK_MAGIC_VOSTIL);
    pack.AddFile("Logo.bmp", Bytes("logo"), false);
    pack.AddFile("Dup.bmp", Bytes("dup"), false);
    pack.AddFile("Note.txt", Bytes("n"), false);
    CTempFolder::Put("G/Title.dat", pack.Build());
    CTempFolder::Put("G/Title/Dup.bmp", rvm::string("real"));
    CPackBuilder other(PACK_MAGIC_DX);   // not a listing kind: an ordinary file
    other.AddFile("x.bmp", Bytes("x"), false);
    CTempFolder::Put("G/Other.dat", other.Build());

    rvm::vector<rvm::string> names = ListAll("G\\", "*.bmp");
    // The folder Title (holding the real Dup.bmp) comes before Title.dat; the pack then lists only
    // the entry that is not also a real file.
    rvm::vector<rvm::string> expected = {"G\\a.bmp", "G\\Sub\\b.bmp", "G\\Title\\Dup.bmp", "G\\Title\\Logo.bmp"};
    EXPECT_EQ(names, expected);
    names = ListAll("G", "*.dat");
    EXPECT_EQ(names, (rvm::vector<rvm::string>{"G\\Other.dat"}));
    CTempFolder::Put("Empty/.keep", rvm::string());
    std::filesystem::remove("Empty/.keep");
    EXPECT_TRUE(ListAll("Empty", "*.*").empty());

    CDir dir;
    dir.SetPath("G");
    dir.SetPattern("*.txt");
    rvm::string path;
    while (dir.FindFile(path) == 0) {
    }
    EXPECT_EQ(dir.GetPackNames(), (rvm::vector<rvm::string>{"Logo.bmp", "Dup.bmp", "Note.txt"}));
}
