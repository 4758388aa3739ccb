#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "pack/PackBuilder.h"
#include "support/TempFolder.h"
#include "pack/teskFile.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/File.h"
#include "rvm/rvm_stl.h"

namespace {

rvm::vector<uint8_t> Bytes(const rvm::string& s)
{
    return rvm::vector<uint8_t>(s.begin(), s.end());
}

rvm::vector<uint8_t> ReadByName(const char* pszName, int* pResult)
{
    CFile file(1);
    *pResult = file.Read(pszName);
    if (*pResult != FILE_OK)
        return {};
    return rvm::vector<uint8_t>(file.GetMemory(), file.GetMemory() + file.GetSize());
}

// The whole-file read without the retries in the search folders (whose last attempt answers
// "not found"): the damaged entry's own code.
int LocateOnce(const char* pszName)
{
    CFile file(1);
    return file.ReadWholeFile(pszName);
}

void PutLE32(rvm::vector<uint8_t>& v, size_t nAt, uint32_t n)
{
    for (int i = 0; i < 4; i++)
        v[nAt + i] = (uint8_t)(n >> (8 * i));
}

} // namespace

TEST(FileRead, ResultCodesAndTerminator)
{
    CTempFolder dir;
    CTempFolder::Put("GameData/System/A.txt", rvm::string("hello"));
    CFile file(1);
    EXPECT_EQ(file.Read(""), FILE_ERR_EMPTY_NAME);
    EXPECT_EQ(file.Read(".\\GameData\\System\\Missing.txt"), FILE_ERR_NOT_FOUND);
    EXPECT_EQ(file.GetMemory(), nullptr);
    EXPECT_EQ(file.Read("!zz"), FILE_ERR_MEMNAME);
    ASSERT_EQ(file.Read(".\\GameData\\System\\A.txt"), FILE_OK);
    EXPECT_EQ(file.GetSize(), 5u);
    EXPECT_EQ(file.GetMemory()[5], 0);   // text can be used as a C string
    EXPECT_FALSE(file.IsFromPack());
    EXPECT_EQ(file.GetFileName(), "A.txt");
    EXPECT_EQ(file.GetExtension(), "txt");
    // Folders and letters are matched without regard to case when the name is not found as written.
    ASSERT_EQ(file.Read(".\\gamedata\\SYSTEM\\a.TXT"), FILE_OK);
    EXPECT_EQ(rvm::string((const char*)file.GetMemory()), "hello");
    // A folder is not a file.
    EXPECT_EQ(file.Read(".\\GameData\\System"), FILE_ERR_NOT_FOUND);
}

TEST(FileRead, NameNormalisation)
{
    CTempFolder dir;
    rvm::string base = CFile::NormalizeName("x");
    ASSERT_GE(base.size(), 2u);
    rvm::string root = base.substr(0, base.size() - 1);   // current folder with its backslash
    EXPECT_EQ(CFile::NormalizeName(".\\GameData\\a.bmp"), root + "GameData\\a.bmp");
    EXPECT_EQ(CFile::NormalizeName("./GameData/a.bmp"), root + "GameData\\a.bmp");
    EXPECT_EQ(CFile::NormalizeName("\\GameData\\a.bmp"), root + "GameData\\a.bmp");
    EXPECT_EQ(CFile::NormalizeName("..\\x.txt"), CFile::ParentFolder(root) + "x.txt");
    EXPECT_EQ(CFile::NormalizeName("\\\\server\\share\\a"), "\\\\server\\share\\a");
    EXPECT_EQ(CFile::NormalizeName("C:\\a\\b"), "C:\\a\\b");
    EXPECT_EQ(CFile::ParentFolder("\\"), "\\");
    EXPECT_EQ(CFile::ParentFolder("\\a\\b\\"), "\\a\\");
    EXPECT_EQ(CFile::ParentFolder("\\\\server\\"), "\\\\server\\");
    // The second byte of a two-byte character is never a separator (0x5C is the backslash).
    rvm::string sjis = "\x95\x5C/x";
    EXPECT_EQ(CFile::NormalizeName(sjis.c_str()), root + "\x95\x5C\\x");
}

TEST(FileRead, ReadLineEndsAtCrLfOrLoneLf)
{
    CTempFolder dir;
    CTempFolder::Put("a.txt", rvm::string("ab\r\ncd"));
    CTempFolder::Put("b.txt", rvm::string("x\ny\rz\r\n"));
    CFile file(1);
    char buf[64];
    EXPECT_EQ(file.ReadLine(buf, sizeof(buf)), 3);   // no data yet
    ASSERT_EQ(file.Read("a.txt"), FILE_OK);
    EXPECT_EQ(file.ReadLine(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "ab\r\n");
    EXPECT_EQ(file.ReadLine(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "cd");
    EXPECT_EQ(file.ReadLine(buf, sizeof(buf)), 1);
    // A lone LF ends a line too; a lone CR is text.
    ASSERT_EQ(file.Read("b.txt"), FILE_OK);
    EXPECT_EQ(file.ReadLine(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "x\n");
    EXPECT_EQ(file.ReadLine(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "y\rz\r\n");
    EXPECT_EQ(file.ReadLine(buf, sizeof(buf)), 1);
    rvm::string text;
    file.SeekToTop();
    EXPECT_EQ(file.ReadLineString(text), 0);
    EXPECT_EQ(text, "x");
    EXPECT_EQ(file.ReadLineString(text), 0);
    EXPECT_EQ(text, "y\rz");
    EXPECT_EQ(file.ReadLineString(text), 1);
    file.SeekToTop();
    EXPECT_EQ(file.ReadLine(buf, 2), 2);   // "x" fills the buffer; the LF comes on its own
    EXPECT_STREQ(buf, "x");
    EXPECT_EQ(file.ReadLine(buf, 2), 0);
    EXPECT_STREQ(buf, "\n");
    // A line longer than the buffer comes in pieces; the CR LF never splits.
    ASSERT_EQ(file.Read("a.txt"), FILE_OK);
    EXPECT_EQ(file.ReadLine(buf, 3), 2);
    EXPECT_STREQ(buf, "ab");
    EXPECT_EQ(file.ReadLine(buf, 3), 0);
    EXPECT_STREQ(buf, "\r\n");
    // Room for the terminator alone: the CR LF still ends its (empty) line and is passed.
    file.SeekToTop();
    EXPECT_EQ(file.ReadLine(buf, 3), 2);
    EXPECT_EQ(file.ReadLine(buf, 1), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(file.ReadLine(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "cd");
    rvm::string line;
    file.SeekToTop();
    EXPECT_EQ(file.ReadLineString(line), 0);
    EXPECT_EQ(line, "ab");
    EXPECT_EQ(file.ReadLineString(line), 0);
    EXPECT_EQ(line, "cd");
    EXPECT_EQ(file.ReadLineString(line), 1);
}

TEST(FileRead, TwoByteCharactersEndingIn0x5CAreNoSeparators)
{
    CTempFolder dir;
    // 0x95 0x5C is one character of code page 932; its second byte is the backslash code.
    const std::string kName = "\x95\x5C";
    CTempFolder::Put("GameData/" + kName + "/" + kName + ".txt", std::string("hyou"));
    EXPECT_EQ(MapHostPath((".\\GameData\\" + kName + "\\a").c_str()), "./GameData/" + kName + "/a");
    int nResult = -1;
    rvm::vector<uint8_t> data = ReadByName((".\\GameData\\" + kName + "\\" + kName + ".txt").c_str(), &nResult);
    EXPECT_EQ(nResult, FILE_OK);
    EXPECT_EQ(data, Bytes("hyou"));
}

TEST(FileRead, StdioWrappers)
{
    CTempFolder dir;
    CTempFolder::Put("GameData/t.txt", rvm::string("0123456789ABCDEFGHIJ\r\nsecond\r\n"));
    CFile* pFile = nullptr;
    EXPECT_EQ(FileOpen(&pFile, ".\\GameData\\none.txt"), FILE_ERR_NOT_FOUND);
    EXPECT_EQ(pFile, nullptr);
    ASSERT_EQ(FileOpen(&pFile, ".\\GameData\\t.txt"), FILE_OK);
    char buf[8];
    // Like fgets: a long line arrives in pieces and nothing after it is lost.
    rvm::string all;
    while (char* p = FileGets(buf, sizeof(buf), pFile))
        all += p;
    EXPECT_EQ(all, "0123456789ABCDEFGHIJ\r\nsecond\r\n");
    FileRewind(pFile);
    char block[4];
    EXPECT_EQ(FileRead(block, 2, 2, pFile), 4u);
    EXPECT_EQ(memcmp(block, "0123", 4), 0);
    EXPECT_EQ(FileSeek(pFile, 300, 0), 0);       // past the end: stays at the end
    EXPECT_EQ(FileRead(block, 1, 1, pFile), 0u);
    EXPECT_EQ(FileSeek(pFile, 24, 0), 0);
    char tail[8] = {};
    EXPECT_EQ(FileRead(tail, 1, 8, pFile), 0u);  // only 6 bytes left: not claimed as 8
    EXPECT_EQ(memcmp(tail, "cond\r\n", 6), 0);
    FileClose(pFile);
}

TEST(FileRead, QuotedTextAcrossLines)
{
    CTempFolder dir;
    CTempFolder::Put("q.txt", rvm::string("\"one\"\r\n\"two\r\nlines\"\r\n\"END\"\r\n\"never\"\r\n"));
    CFile file(1);
    ASSERT_EQ(file.Read("q.txt"), FILE_OK);
    char buf[64];
    EXPECT_EQ(file.ReadQuoted(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "one");
    EXPECT_EQ(file.ReadQuoted(buf, sizeof(buf)), 0);
    EXPECT_STREQ(buf, "two\nlines");
    EXPECT_EQ(file.ReadQuoted(buf, sizeof(buf)), 1);   // "END"
    file.SeekToTop();
    char small[3];
    EXPECT_EQ(file.ReadQuoted(small, sizeof(small)), 1);   // cut to fit, never overflowed
    EXPECT_STREQ(small, "on");
}

TEST(FileRead, MemoryNamesOnlyForRegisteredRanges)
{
    static const char kData[] = "memory bytes";
    char szName[64];
    uint32_t nToken = RegisterMemoryName(kData, 12, szName, sizeof(szName));
    ASSERT_NE(nToken, 0u);
    {
        CFile file(1);
        ASSERT_EQ(file.Read(szName), FILE_OK);
        EXPECT_EQ(file.GetMemory(), (const uint8_t*)kData);   // served in place, not copied
        EXPECT_EQ(file.GetSize(), 12u);
        file.Close();   // only forgotten
    }
    EXPECT_STREQ(kData, "memory bytes");
    CFile file(1);
    EXPECT_EQ(file.Read("!1000,20"), FILE_ERR_NOT_FOUND);   // a raw address is never dereferenced
    UnregisterMemoryName(nToken);
    EXPECT_EQ(file.Read(szName), FILE_ERR_NOT_FOUND);
}

TEST(FileRead, ScrambledBodiesRoundTrip)
{
    CTempFolder dir;
    rvm::vector<uint8_t> data = MakeBytes<rvm::vector<uint8_t>>(300, 3, false);
    CTempFolder::Put("plain.bin", data);
    CFile file(1);
    ASSERT_EQ(file.Read("plain.bin"), FILE_OK);
    EXPECT_EQ(file.Encode(), 0);
    EXPECT_EQ(file.GetSize(), 304u);
    EXPECT_EQ(memcmp(file.GetMemory(), SCRAMBLE_MARKER, 4), 0);
    EXPECT_EQ(file.Encode(), 1);   // already scrambled
    ASSERT_EQ(file.Save("scrambled.bin"), 0);
    rvm::vector<uint8_t> onDisk = CTempFolder::Get<rvm::vector<uint8_t>>("scrambled.bin");
    ASSERT_EQ(onDisk.size(), 304u);
    EXPECT_NE(rvm::vector<uint8_t>(onDisk.begin() + 4, onDisk.end()), data);
    CFile again(1);
    ASSERT_EQ(again.Read("scrambled.bin"), FILE_OK);
    EXPECT_TRUE(again.IsScrambled());
    EXPECT_EQ(again.GetSize(), 300u);
    EXPECT_EQ(rvm::vector<uint8_t>(again.GetMemory(), again.GetMemory() + 300), data);
    for (int b = 0; b < 256; b++)
        EXPECT_EQ(UnscrambleByte(ScrambleByte((uint8_t)b)), b);
}

TEST(FileWrite, WholeFilesLinesAndDelete)
{
    CTempFolder dir;
    CFile file(1);
    rvm::vector<uint8_t> data = Bytes("abc");
    EXPECT_EQ(file.Write(".\\out.bin", data.data(), 3), 0);
    EXPECT_EQ(CTempFolder::Get<rvm::vector<uint8_t>>("out.bin"), data);
    EXPECT_EQ(file.WriteVector(".\\out.bin", Bytes("xy")), 0);   // replaces
    EXPECT_EQ(CTempFolder::Get<rvm::vector<uint8_t>>("out.bin"), Bytes("xy"));
    EXPECT_FALSE(std::filesystem::exists("out.bin.new"));
    // Text lines are written as they are, each "\n" as CR LF.
    EXPECT_EQ(file.WriteLines(".\\Config.dat", {"#CFG_FPS 60\n", "#CFG_VOL 100\n"}), 0);
    EXPECT_EQ(CTempFolder::Get<rvm::vector<uint8_t>>("Config.dat"), Bytes("#CFG_FPS 60\r\n#CFG_VOL 100\r\n"));
    EXPECT_EQ(file.Write(".\\NoSuchFolder\\x.bin", data.data(), 3), 1);
    // A read-only file is left alone.
    std::filesystem::permissions("out.bin", std::filesystem::perms::owner_read);
    EXPECT_EQ(file.Write(".\\out.bin", data.data(), 3), 1);
    EXPECT_EQ(CTempFolder::Get<rvm::vector<uint8_t>>("out.bin"), Bytes("xy"));
    std::filesystem::permissions("out.bin", std::filesystem::perms::owner_all);
    EXPECT_EQ(file.Delete(""), -1);
    EXPECT_EQ(file.Delete(".\\out.bin"), 0);
    EXPECT_EQ(file.Delete(".\\out.bin"), 1);
    // The output stream: text mode writes CR LF.
    ASSERT_EQ(file.Open(".\\log.txt", "w"), 0);
    EXPECT_EQ(file.Puts("a\nb"), 0);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.Puts("x"), -1);
    EXPECT_EQ(CTempFolder::Get<rvm::vector<uint8_t>>("log.txt"), Bytes("a\r\nb"));
}

namespace {

// A data folder with three packs: GameData.dat (teskpack) for the data folder, Title.dat
// (44vostil) inside it and Stage01.dat (teskpkDx).
struct PackFixture {
    rvm::vector<uint8_t> logo = MakeBytes<rvm::vector<uint8_t>>(5000, 11, true);
    rvm::vector<uint8_t> noise = MakeBytes<rvm::vector<uint8_t>>(700, 12, false);
    rvm::vector<uint8_t> stage = MakeBytes<rvm::vector<uint8_t>>(9000, 13, true);
    rvm::vector<uint8_t> small = Bytes("tiny");

    void Write()
    {
        CPackBuilder title(PACK_MAGIC_VOSTIL);
        title.AddFile("Logo.bmp", logo, true);
        EXPECT_TRUE(title.LastCompressed());
        title.AddFile("Sub\\Noise.bin", noise, true);   // does not shrink: stored
        EXPECT_FALSE(title.LastCompressed());
        CTempFolder::Put("GameData/Title.dat", title.Build());

        CPackBuilder stage1(PACK_MAGIC_DX);
        stage1.AddFile("Stage.txt", stage, true);
        stage1.AddFile("Tiny.txt", small, false);
        CTempFolder::Put("GameData/Stage01.dat", stage1.Build());

        CPackBuilder data(PACK_MAGIC_STORED);
        data.AddFile("Title\\Logo.bmp", Bytes("outer pack"), false);
        data.AddFile("System\\Param.txt", Bytes("#A 1\r\n"), false);
        CTempFolder::Put("GameData.dat", data.Build());
    }
};

} // namespace

TEST(FilePack, EveryMagicCompressedAndStored)
{
    CTempFolder dir;
    PackFixture fx;
    fx.Write();
    int nResult = -1;
    EXPECT_EQ(ReadByName(".\\GameData\\Title\\Logo.bmp", &nResult), fx.logo);   // nearest pack wins
    EXPECT_EQ(ReadByName(".\\GameData\\Title\\Sub\\Noise.bin", &nResult), fx.noise);
    EXPECT_EQ(ReadByName(".\\GameData\\Stage01\\Stage.txt", &nResult), fx.stage);
    EXPECT_EQ(ReadByName(".\\GameData\\Stage01\\Tiny.txt", &nResult), fx.small);
    EXPECT_EQ(ReadByName(".\\GameData\\System\\Param.txt", &nResult), Bytes("#A 1\r\n"));
    // Entry names match without regard to case.
    EXPECT_EQ(ReadByName(".\\GameData\\TITLE\\logo.BMP", &nResult), fx.logo);
    EXPECT_EQ(nResult, FILE_OK);
    ReadByName(".\\GameData\\Title\\Missing.bmp", &nResult);
    EXPECT_EQ(nResult, FILE_ERR_NOT_FOUND);

    CFile file(1);
    ASSERT_EQ(file.Read(".\\GameData\\Stage01\\Stage.txt"), FILE_OK);
    EXPECT_TRUE(file.IsFromPack());
    EXPECT_EQ(file.GetMemory()[file.GetSize()], 0);
}

TEST(FilePack, LooseFileWinsAndGivesTheSameBytes)
{
    CTempFolder dir;
    PackFixture fx;
    fx.Write();
    int nResult = -1;
    rvm::vector<uint8_t> packed = ReadByName(".\\GameData\\Stage01\\Stage.txt", &nResult);
    CTempFolder::Put("GameData/Stage01/Stage.txt", fx.stage);
    CFile file(1);
    ASSERT_EQ(file.Read(".\\GameData\\Stage01\\Stage.txt"), FILE_OK);
    EXPECT_FALSE(file.IsFromPack());
    EXPECT_EQ(rvm::vector<uint8_t>(file.GetMemory(), file.GetMemory() + file.GetSize()), packed);
}

TEST(FilePack, TheSearchClimbsAboveTheCurrentFolder)
{
    CTempFolder dir;
    std::filesystem::create_directories("Top/Run");
    CPackBuilder near(PACK_MAGIC_STORED);
    near.AddFile("a.txt", Bytes("near"), false);
    CTempFolder::Put("Top/Run.dat", near.Build());   // stands for the folder we run in
    CPackBuilder far(PACK_MAGIC_VOSTIL);
    far.AddFile("Run\\a.txt", Bytes("far"), false);
    far.AddFile("Run\\Sub\\b.txt", Bytes("higher up"), false);
    CTempFolder::Put("Top.dat", far.Build());        // stands for the folder above it
    std::filesystem::current_path("Top/Run");
    int nResult = -1;
    EXPECT_EQ(ReadByName(".\\a.txt", &nResult), Bytes("near"));   // the nearer pack wins
    EXPECT_EQ(ReadByName(".\\Sub\\b.txt", &nResult), Bytes("higher up"));
    EXPECT_EQ(ReadByName("..\\Run\\a.txt", &nResult), Bytes("near"));
    ReadByName(".\\c.txt", &nResult);
    EXPECT_EQ(nResult, FILE_ERR_NOT_FOUND);
    std::filesystem::current_path(dir.Path());
}

TEST(FilePack, LocateFileAndMakeRealFile)
{
    CTempFolder dir;
    PackFixture fx;
    fx.Write();
    CFile file(1);
    TESKPACKRECORD rec;
    memset(&rec, 0, sizeof(rec));
    ASSERT_EQ(file.LocateFile(".\\GameData\\Stage01\\Tiny.txt", &rec), FILE_OK);
    EXPECT_TRUE(file.IsFromPack());
    EXPECT_EQ(file.GetMemory(), nullptr);
    EXPECT_STREQ(rec.szName, "Tiny.txt");
    EXPECT_EQ(rec.nSize, 4u);
    EXPECT_EQ(rec.nStoredSize, 4u);
    rvm::vector<uint8_t> pack = CTempFolder::Get<rvm::vector<uint8_t>>("GameData/Stage01.dat");
    EXPECT_EQ(memcmp(pack.data() + rec.nOffset, "tiny", 4), 0);
    EXPECT_NE(file.GetLocatedPath().find("Stage01.dat"), rvm::string::npos);

    ASSERT_EQ(file.Read(".\\GameData\\Title\\Logo.bmp"), FILE_OK);
    ASSERT_EQ(file.MakeRealFile(), 0);
    rvm::string temp = file.GetName();
    EXPECT_NE(temp.find("TSK"), rvm::string::npos);
    EXPECT_EQ(CTempFolder::Get<rvm::vector<uint8_t>>(temp), fx.logo);
    file.Close();
    EXPECT_FALSE(std::filesystem::exists(temp));
}

TEST(FilePack, DamagedPacksFailCleanly)
{
    CTempFolder dir;
    CPackBuilder good(PACK_MAGIC_VOSTIL);
    rvm::vector<uint8_t> body = MakeBytes<rvm::vector<uint8_t>>(3000, 21, true);
    good.AddFile("a.txt", body, true);
    ASSERT_TRUE(good.LastCompressed());
    const rvm::vector<uint8_t> pack = good.Build();
    const size_t nRec = PACK_HEADER_SIZE;
    int nResult = -1;

    // Cut inside the directory: the record cannot be read, the search goes on and finds nothing.
    CTempFolder::Put("D.dat", rvm::vector<uint8_t>(pack.begin(), pack.begin() + 100));
    ReadByName(".\\D\\a.txt", &nResult);
    EXPECT_EQ(nResult, FILE_ERR_NOT_FOUND);

    // Cut inside the entry's data: the record points outside the file.
    CTempFolder::Put("D.dat", rvm::vector<uint8_t>(pack.begin(), pack.end() - 10));
    ReadByName(".\\D\\a.txt", &nResult);
    EXPECT_NE(nResult, FILE_OK);
    EXPECT_EQ(LocateOnce(".\\D\\a.txt"), FILE_ERR_READ);

    // An offset far outside the pack.
    rvm::vector<uint8_t> bad = pack;
    PutLE32(bad, nRec + PACK_NAME_LONG, 0xFFFFFF00u);
    CTempFolder::Put("D.dat", bad);
    ReadByName(".\\D\\a.txt", &nResult);
    EXPECT_NE(nResult, FILE_OK);
    EXPECT_EQ(LocateOnce(".\\D\\a.txt"), FILE_ERR_READ);

    // An expanded size no LZSS stream of that length can reach (never a huge allocation).
    bad = pack;
    PutLE32(bad, nRec + PACK_NAME_LONG + 4, 0x7FFFFFFFu);
    CTempFolder::Put("D.dat", bad);
    ReadByName(".\\D\\a.txt", &nResult);
    EXPECT_NE(nResult, FILE_OK);
    EXPECT_EQ(LocateOnce(".\\D\\a.txt"), FILE_ERR_READ);

    // A stream that runs out before its expanded size: a failure, not a read past the entry.
    bad = pack;
    uint32_t nStored = (uint32_t)(pack.size() - PACK_HEADER_SIZE - PACK_RECORD_LONG);
    PutLE32(bad, nRec + PACK_NAME_LONG + 8, nStored / 2);
    CTempFolder::Put("D.dat", bad);
    ReadByName(".\\D\\a.txt", &nResult);
    EXPECT_NE(nResult, FILE_OK);
    EXPECT_EQ(LocateOnce(".\\D\\a.txt"), FILE_ERR_READ);

    // A name field without its terminator is bounded by the field.
    bad = pack;
    memset(bad.data() + nRec, 'n', PACK_NAME_LONG);
    CTempFolder::Put("D.dat", bad);
    ReadByName((".\\D\\" + rvm::string(PACK_NAME_LONG, 'n')).c_str(), &nResult);
    EXPECT_EQ(nResult, FILE_OK);

    // A count far beyond the file and an unknown magic are passed over; the user is told of a file
    // that stands where the folder's pack would and is none, named as the other data errors are.
    CHostHeadless host;
    host.SetQuiet(true);
    SetHost(&host);
    bad = pack;
    PutLE32(bad, 8, 0xFFFFFFFFu);
    CTempFolder::Put("D.dat", bad);
    EXPECT_EQ(ReadByName(".\\D\\a.txt", &nResult), body);
    bad = pack;
    memcpy(bad.data(), "teskpkEx", 8);
    CTempFolder::Put("D.dat", bad);
    ReadByName(".\\D\\a.txt", &nResult);
    EXPECT_EQ(nResult, FILE_ERR_NOT_FOUND);
    CTempFolder::Put("D.dat", rvm::vector<uint8_t>{'t', 'e'});
    ReadByName(".\\D\\a.txt", &nResult);
    EXPECT_EQ(nResult, FILE_ERR_NOT_FOUND);
    SetHost(nullptr);
    EXPECT_EQ(host.GetErrorLines(),
              (std::vector<std::string>{"WARNING : pack D.dat does not start as a pack and is passed over",
                                        "WARNING : pack D.dat is too short to be a pack (2 bytes) and is passed over"}));
}
