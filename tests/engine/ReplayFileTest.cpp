// Replay files: the bytes of every format, loading each of them, saving, and refusing damaged or
// foreign files without touching what was loaded before.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "engine/KeyRecorder.h"
#include "engine/Log.h"
#include "engine/SyncValue.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"
#include "support/TempFolder.h"

namespace {

KEYRECINFO Rec(int frame, int code, int shot, int step, int point, int bonus, int extra) {
    return KEYRECINFO{frame, code, shot, step, point, 0, 0, bonus, extra};
}

// A known key track: five stages, the second and fourth not played.
REPLAYIMAGE KnownImage(int nFormat) {
    REPLAYIMAGE image;
    image.header.nFormat = nFormat;
    image.header.nYear = 2026;
    image.header.nMonth = 12;
    image.header.nDay = 9;
    image.header.nScore = 123456;
    int32_t pairs[5][2] = {{0, 0}, {-1, -1}, {5000, 30}, {-1, -1}, {90000, 120}};
    memcpy(image.header.nPairs, pairs, sizeof(pairs));
    image.header.nPlayerValue = 3;
    image.header.nOptions[0] = 1;
    image.header.nOptions[2] = 1;
    image.tracks[0] = {Rec(0, 0, 0, 1, 0, 4, 0), Rec(5, 0x48, 1, 1, 0, 4, 2), Rec(9, 0x10, 1, 2, 700, 5, 2),
                       Rec(30, 0x10, 0, 2, 700, 5, 2)};
    image.tracks[2] = {Rec(0, 1, 0, 1, 0, 4, 0), Rec(60, 1, 0, 1, 0, 4, 0)};
    image.tracks[4] = {Rec(0, 64, 0, 1, 0, 4, 7)};
    return image;
}

// What a format keeps of a record: the low 16 bits of the code, extra from 03, point from 06.
KEYRECINFO Kept(const KEYRECINFO& r, int nFormat) {
    KEYRECINFO k = r;
    k.code &= 0xFFFF;
    k.level = k.fps = 0;
    if (nFormat < 3) k.extra = 0;
    if (nFormat < 6) k.point = 0;
    return k;
}

bool Same(const KEYRECINFO& a, const KEYRECINFO& b) { return memcmp(&a, &b, sizeof(a)) == 0; }

uint32_t U32(const rvm::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(ReplayFileTest, SizesOfHeadersAndRecords) {
    const size_t kHeader[7] = {0, 18, 30, 30, 74, 90, 90};
    const size_t kRecord[7] = {0, 18, 18, 22, 22, 22, 26};
    for (int f = 1; f <= 6; ++f) {
        EXPECT_EQ(ReplayHeaderSize(f), kHeader[f]) << f;
        EXPECT_EQ(ReplayRecordSize(f), kRecord[f]) << f;
        REPLAYIMAGE image = KnownImage(f);
        EXPECT_EQ(EncodeReplay(image).size(), kHeader[f] + 5 * 4 + 7 * kRecord[f]) << f;
    }
    EXPECT_EQ(ReplayRecordSize(7), 0u);
    EXPECT_EQ(ReplayHeaderSize(0), 0u);
    REPLAYIMAGE bad;
    bad.header.nFormat = 9;
    EXPECT_TRUE(EncodeReplay(bad).empty());
}

TEST(ReplayFileTest, Format06BytesAreLittleEndianFieldByField) {
    REPLAYIMAGE image = KnownImage(6);
    image.tracks[0][1].code = 0x12345;  // only the low 16 bits are written
    rvm::vector<uint8_t> b = EncodeReplay(image);
    EXPECT_EQ(rvm::string(reinterpret_cast<const char*>(b.data()), 17), "ZORVAREPLAYDATA06");
    EXPECT_EQ(b[17], 0);
    EXPECT_EQ(U32(b, 18), 2026u);
    EXPECT_EQ(U32(b, 22), 12u);
    EXPECT_EQ(U32(b, 26), 9u);
    EXPECT_EQ(U32(b, 30), 123456u);
    EXPECT_EQ(U32(b, 34), 0u);           // pair 0
    EXPECT_EQ(U32(b, 42), 0xFFFFFFFFu);  // pair 1 score
    EXPECT_EQ(U32(b, 50), 5000u);
    EXPECT_EQ(U32(b, 54), 30u);
    EXPECT_EQ(U32(b, 74), 3u);  // player value
    EXPECT_EQ(U32(b, 78), 1u);  // half damage
    EXPECT_EQ(U32(b, 82), 0u);
    EXPECT_EQ(U32(b, 86), 1u);
    EXPECT_EQ(U32(b, 90), 4u);  // track 0 count
    size_t r1 = 94 + 26;        // second record
    EXPECT_EQ(U32(b, r1), 5u);
    EXPECT_EQ(b[r1 + 4], 0x45);
    EXPECT_EQ(b[r1 + 5], 0x23);
    EXPECT_EQ(U32(b, r1 + 6), 1u);    // shot
    EXPECT_EQ(U32(b, r1 + 10), 1u);   // step
    EXPECT_EQ(U32(b, r1 + 14), 4u);   // bonus
    EXPECT_EQ(U32(b, r1 + 18), 2u);   // extra
    EXPECT_EQ(U32(b, r1 + 22), 0u);   // point
    EXPECT_EQ(U32(b, 94 + 4 * 26), 0u);  // track 1: empty
}

TEST(ReplayFileTest, EveryFormatDecodesToTheTrackItWasMadeFrom) {
    for (int f = 1; f <= 6; ++f) {
        REPLAYIMAGE made = KnownImage(f);
        rvm::vector<uint8_t> bytes = EncodeReplay(made);
        REPLAYIMAGE read;
        read.header.nPairs[1][0] = 77;  // kept when the format has no pairs
        rvm::string reason;
        ASSERT_EQ(DecodeReplay(bytes.data(), bytes.size(), &read, &reason), 1) << f << reason;
        EXPECT_EQ(read.header.nFormat, f);
        for (int k = 0; k < KEYREC_TRACKS; ++k) {
            ASSERT_EQ(read.tracks[k].size(), made.tracks[k].size()) << f;
            for (size_t i = 0; i < made.tracks[k].size(); ++i)
                EXPECT_TRUE(Same(read.tracks[k][i], Kept(made.tracks[k][i], f))) << f << " " << k << " " << i;
        }
        EXPECT_EQ(read.header.nPairs[1][0], f >= 4 ? -1 : 77) << f;
        EXPECT_EQ(read.header.nPlayerValue, f >= 4 ? 3 : 0) << f;
        EXPECT_EQ(read.header.nOptions[0], f >= 2 ? 1 : 0) << f;
        EXPECT_EQ(read.header.nScore, f >= 5 ? 123456 : -1) << f;
        EXPECT_EQ(read.header.nYear, f >= 5 ? 2026 : 0) << f;
    }
}

TEST(ReplayFileTest, DamagedImagesAreRefusedWithAReason) {
    rvm::vector<uint8_t> good = EncodeReplay(KnownImage(6));
    // Every cut short of the whole file is refused.
    for (size_t n = 0; n < good.size(); ++n) {
        REPLAYIMAGE out;
        rvm::string reason;
        EXPECT_EQ(DecodeReplay(good.data(), n, &out, &reason), 0) << n;
        EXPECT_FALSE(reason.empty()) << n;
    }
    struct {
        size_t at;
        uint32_t value;
        const char* pszWhat;
    } const kPatches[] = {
        {16, '7', "format digit 7"},    {0, 'X', "magic"},
        {90, 0x7FFFFFFF, "huge count"}, {90, 0xFFFFFFFF, "negative count"},
        {90, 5, "count past the end"},  {90, 0x10000000, "count whose bytes overflow 32 bits"},
    };
    for (const auto& p : kPatches) {
        rvm::vector<uint8_t> bytes = good;
        if (p.at == 16 || p.at == 0)
            bytes[p.at] = static_cast<uint8_t>(p.value);
        else
            for (int i = 0; i < 4; ++i) bytes[p.at + i] = static_cast<uint8_t>(p.value >> (8 * i));
        REPLAYIMAGE out;
        rvm::string reason;
        EXPECT_EQ(DecodeReplay(bytes.data(), bytes.size(), &out, &reason), 0) << p.pszWhat;
        EXPECT_FALSE(reason.empty()) << p.pszWhat;
    }
    // The NUL after the digit is not compared.
    rvm::vector<uint8_t> bytes = good;
    bytes[17] = 'x';
    REPLAYIMAGE out;
    EXPECT_EQ(DecodeReplay(bytes.data(), bytes.size(), &out, nullptr), 1);
}

// Values the format holds that the game never writes today, each patched into a good image: the
// file loads and gives them back as they stand.
struct ODDVALUE {
    const char* pszWhat;
    void (*patch)(REPLAYIMAGE&);
};

const ODDVALUE kOddValues[] = {
    {"option word 2", [](REPLAYIMAGE& i) { i.header.nOptions[0] = 2; }},
    {"option word -1", [](REPLAYIMAGE& i) { i.header.nOptions[1] = -1; }},
    {"option word 0x7FFFFFFF", [](REPLAYIMAGE& i) { i.header.nOptions[2] = 0x7FFFFFFF; }},
    {"month 13, day 0", [](REPLAYIMAGE& i) { i.header.nMonth = 13, i.header.nDay = 0; }},
    {"year 10000, day 99", [](REPLAYIMAGE& i) { i.header.nYear = 10000, i.header.nDay = 99; }},
    {"negative date", [](REPLAYIMAGE& i) { i.header.nYear = -1, i.header.nMonth = INT32_MIN; }},
    {"step 601", [](REPLAYIMAGE& i) { i.tracks[0][2].step = 601; }},
    {"step of a day's stall", [](REPLAYIMAGE& i) { i.tracks[0][2].step = 86400 * 60; }},
    {"step 0 and negative", [](REPLAYIMAGE& i) { i.tracks[0][1].step = 0, i.tracks[0][2].step = -3; }},
    {"repeated frame", [](REPLAYIMAGE& i) { i.tracks[0][2].frame = 5; }},
    {"backward frame", [](REPLAYIMAGE& i) { i.tracks[0][3].frame = 2; }},
    {"negative frames", [](REPLAYIMAGE& i) { i.tracks[2][0].frame = -60, i.tracks[2][1].frame = INT32_MIN; }},
};

TEST(ReplayFileTest, EveryValueTheFormatHoldsRoundTrips) {
    for (const ODDVALUE& odd : kOddValues) {
        REPLAYIMAGE made = KnownImage(6);
        odd.patch(made);
        rvm::vector<uint8_t> bytes = EncodeReplay(made);
        REPLAYIMAGE read;
        rvm::string reason;
        ASSERT_EQ(DecodeReplay(bytes.data(), bytes.size(), &read, &reason), 1) << odd.pszWhat << ": " << reason;
        EXPECT_EQ(memcmp(read.header.nOptions, made.header.nOptions, sizeof(made.header.nOptions)), 0) << odd.pszWhat;
        EXPECT_EQ(read.header.nYear, made.header.nYear) << odd.pszWhat;
        EXPECT_EQ(read.header.nMonth, made.header.nMonth) << odd.pszWhat;
        EXPECT_EQ(read.header.nDay, made.header.nDay) << odd.pszWhat;
        for (int k = 0; k < KEYREC_TRACKS; ++k) {
            ASSERT_EQ(read.tracks[k].size(), made.tracks[k].size()) << odd.pszWhat;
            for (size_t i = 0; i < made.tracks[k].size(); ++i)
                EXPECT_TRUE(Same(read.tracks[k][i], Kept(made.tracks[k][i], 6))) << odd.pszWhat << " " << k << " " << i;
        }
        // The header reader of the replay selection takes the same files.
        REPLAYHEADER header;
        EXPECT_EQ(DecodeReplayHeader(bytes.data(), bytes.size(), &header, nullptr, nullptr, nullptr), 6) << odd.pszWhat;
        EXPECT_EQ(header.nMonth, made.header.nMonth) << odd.pszWhat;
    }
}

class ReplayFileIoTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_nOptionFlags[0] = g_nOptionFlags[1] = g_nOptionFlags[2] = 0;
        m_pRec = CKeyRecorder::GetInstance();
        m_pRec->Reset();
    }
    void TearDown() override {
        CKeyRecorder::DeleteInstance();
        g_nOptionFlags[0] = g_nOptionFlags[1] = g_nOptionFlags[2] = 0;
    }
    void PutImage(const char* pszRel, const REPLAYIMAGE& image) { CTempFolder::Put(pszRel, EncodeReplay(image)); }

    CTempFolder m_Folder;
    CKeyRecorder* m_pRec = nullptr;
};

TEST_F(ReplayFileIoTest, SaveWritesFormat06AndLoadGivesEveryFieldBack) {
    std::filesystem::create_directories("Replay");
    m_pRec->Restore(KnownImage(6));
    g_nOptionFlags[1] = 1;
    m_pRec->SetMode(KEYREC_MODE_PLAY);
    ASSERT_EQ(m_pRec->SaveReplay("Replay01.dat", 4242), 1);
    EXPECT_EQ(m_pRec->GetMode(), KEYREC_MODE_IDLE);
    rvm::vector<uint8_t> bytes = CTempFolder::Get<rvm::vector<uint8_t>>("Replay/Replay01.dat");
    ASSERT_EQ(bytes.size(), 90u + 20 + 7 * 26);
    EXPECT_EQ(bytes[16], '6');
    struct tm now = GetLocalTimeNow();
    EXPECT_EQ(U32(bytes, 18), static_cast<uint32_t>(now.tm_year + 1900));
    EXPECT_EQ(U32(bytes, 30), 4242u);

    REPLAYIMAGE before = m_pRec->Snapshot(0);
    m_pRec->Reset();
    g_nOptionFlags[1] = 0;
    ASSERT_EQ(m_pRec->LoadReplay(".\\Replay\\", "Replay01.dat"), 1);
    EXPECT_EQ(m_pRec->GetScore(), 4242);
    EXPECT_EQ(m_pRec->GetPlayerValue(), 3);
    EXPECT_EQ(g_nOptionFlags[1], 1);
    EXPECT_EQ(g_nOptionFlags[0], 0);
    EXPECT_EQ(m_pRec->GetCurrentTrack(), 0);
    REPLAYIMAGE after = m_pRec->Snapshot(0);
    EXPECT_EQ(memcmp(after.header.nPairs, before.header.nPairs, sizeof(after.header.nPairs)), 0);
    for (int k = 0; k < KEYREC_TRACKS; ++k) {
        ASSERT_EQ(after.tracks[k].size(), before.tracks[k].size());
        for (size_t i = 0; i < before.tracks[k].size(); ++i)
            EXPECT_TRUE(Same(after.tracks[k][i], Kept(before.tracks[k][i], 6)));
    }
}

// The game's own files always load again: a stall of an hour between two frames makes the enemies'
// synced motion steps number in the hundreds of thousands, and those are saved and played back.
TEST_F(ReplayFileIoTest, AReplayRecordedThroughALongStallLoadsAndGivesItsStepsBack) {
    const int kHourOfSteps = static_cast<int>(3600000 / 16.6);
    rvm::vector<int> steps;
    m_pRec->SetStartStage(2);
    m_pRec->SetTrackStart(0, 0);
    m_pRec->StartRec();
    for (int f = 0; f < 120; ++f) {
        int nStep = f == 40 ? kHourOfSteps : (f == 41 ? 601 : 1 + f % 3);
        SyncReplayValue(&nStep);
        steps.push_back(nStep);
        m_pRec->RecordKeys(f / 10 % 2 ? 16 : 0, 0, 0, 0);
        m_pRec->NextFrame();
    }
    m_pRec->StopRec();
    std::filesystem::create_directories("Replay");
    ASSERT_EQ(m_pRec->SaveReplay("Replay05.dat", 7), 1);

    m_pRec->Reset();
    ASSERT_EQ(m_pRec->LoadReplay(".\\Replay\\", "Replay05.dat"), 1);
    ASSERT_EQ(m_pRec->GetCurrentTrack(), 1);
    m_pRec->StartPlay();
    for (int f = 0; f < 120; ++f) {
        m_pRec->GetPlayKeyCode();
        int nStep = 0;
        SyncReplayValue(&nStep);
        // The first record's frame is 0, which plays back as 1 whatever it holds.
        EXPECT_EQ(nStep, f == 0 ? 1 : steps[static_cast<size_t>(f)]) << f;
        m_pRec->NextFrame();
    }
}

// Files with values the game does not write today load, and every track plays with codes of its
// own records; an option word other than 0 switches its option on.
TEST_F(ReplayFileIoTest, FilesWithEveryValueTheFormatHoldsLoadAndPlay) {
    for (const ODDVALUE& odd : kOddValues) {
        REPLAYIMAGE image = KnownImage(6);
        odd.patch(image);
        PutImage("Odd.dat", image);
        m_pRec->Reset();
        ASSERT_EQ(m_pRec->LoadReplay("", "Odd.dat"), 1) << odd.pszWhat;
        for (int i = 0; i < REPLAY_OPTION_COUNT; ++i)
            EXPECT_EQ(g_nOptionFlags[i], image.header.nOptions[i] != 0 ? 1 : 0) << odd.pszWhat << " " << i;
        for (int nStage = 1; nStage <= KEYREC_TRACKS; ++nStage) {
            rvm::set<int> codes = {0};
            for (const KEYRECINFO& rec : image.tracks[nStage - 1]) codes.insert(rec.code & 0xFFFF);
            m_pRec->SetStartStage(nStage);
            m_pRec->StartPlay();
            for (int f = 0; f < 100; ++f) {
                EXPECT_EQ(codes.count(m_pRec->GetPlayKeyCode()), 1u) << odd.pszWhat << " stage " << nStage;
                int nStep = 0;
                SyncReplayValue(&nStep);
                m_pRec->NextFrame();
            }
            m_pRec->StopPlay();
        }
    }
}

TEST_F(ReplayFileIoTest, ReadOnlyFileIsReplacedAndStaysReadOnly) {
    std::filesystem::create_directories("Replay");
    CTempFolder::Put("Replay/Replay02.dat", rvm::string("old"));
    chmod("Replay/Replay02.dat", 0444);
    m_pRec->Restore(KnownImage(6));
    ASSERT_EQ(m_pRec->SaveReplay("Replay02.dat", 1), 1);
    EXPECT_EQ(CTempFolder::Get<rvm::vector<uint8_t>>("Replay/Replay02.dat").size(), 90u + 20 + 7 * 26);
    struct stat st;
    ASSERT_EQ(stat("Replay/Replay02.dat", &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    // Without the folder nothing can be written, and the save says so and why.
    int nWhy = USERFILE_WRITTEN;
    EXPECT_EQ(m_pRec->SaveReplay("..\\NoSuchFolder\\x.dat", 1, &nWhy), 0);
    EXPECT_EQ(nWhy, USERFILE_NO_FOLDER);
}

TEST_F(ReplayFileIoTest, OldFormatsKeepStartPairsAndPickTheirTrack) {
    PutImage("Old01.dat", KnownImage(1));
    m_pRec->SetStartStage(3);
    m_pRec->SetTrackStart(111, 2);
    m_pRec->SetPlayerValue(9);
    g_nOptionFlags[0] = 1;
    ASSERT_EQ(m_pRec->LoadReplay("", "Old01.dat"), 1);
    EXPECT_EQ(m_pRec->GetCurrentTrack(), 2);  // the pair set before the load
    int s, e;
    m_pRec->GetTrackStart(&s, &e);
    EXPECT_EQ(s, 111);
    EXPECT_EQ(m_pRec->GetPlayerValue(), 9);
    EXPECT_EQ(g_nOptionFlags[0], 0);  // a file without options plays without them
    EXPECT_EQ(m_pRec->GetTrack(0)[2].step, 2);
    EXPECT_EQ(m_pRec->GetTrack(0)[2].bonus, 5);
    EXPECT_EQ(m_pRec->GetTrack(0)[2].extra, 0);
    EXPECT_EQ(m_pRec->GetTrack(0)[2].point, 0);

    PutImage("Old05.dat", KnownImage(5));
    ASSERT_EQ(m_pRec->LoadReplay("", "Old05.dat"), 1);
    EXPECT_EQ(m_pRec->GetTrack(0)[2].extra, 2);
    EXPECT_EQ(m_pRec->GetTrack(0)[2].point, 0);
    EXPECT_EQ(m_pRec->GetCurrentTrack(), 0);

    REPLAYIMAGE unplayed = KnownImage(4);
    for (auto& pair : unplayed.header.nPairs) pair[0] = pair[1] = -1;
    PutImage("Old04.dat", unplayed);
    ASSERT_EQ(m_pRec->LoadReplay("", "Old04.dat"), 1);
    EXPECT_EQ(m_pRec->GetCurrentTrack(), 4);
}

TEST_F(ReplayFileIoTest, RefusedFilesLeaveTheTracksAsTheyWere) {
    m_pRec->Restore(KnownImage(6));
    REPLAYIMAGE before = m_pRec->Snapshot(0);
    rvm::vector<uint8_t> good = EncodeReplay(KnownImage(3));
    CTempFolder::Put("Cut.dat", rvm::vector<uint8_t>(good.begin(), good.end() - 3));
    CTempFolder::Put("Foreign.dat", rvm::string("RIFF....WAVEfmt blah blah"));
    CTempFolder::Put("Empty.dat", rvm::vector<uint8_t>());
    for (const char* pszName : {"Cut.dat", "Foreign.dat", "Empty.dat", "Missing.dat"}) {
        m_pRec->SetMode(KEYREC_MODE_PLAY);
        EXPECT_EQ(m_pRec->LoadReplay("", pszName), 0) << pszName;
        EXPECT_EQ(m_pRec->GetMode(), KEYREC_MODE_IDLE);
        REPLAYIMAGE after = m_pRec->Snapshot(0);
        for (int k = 0; k < KEYREC_TRACKS; ++k) EXPECT_EQ(after.tracks[k].size(), before.tracks[k].size()) << pszName;
        EXPECT_EQ(m_pRec->GetPlayerValue(), 3);
    }
}

TEST_F(ReplayFileIoTest, ReadReplayHeaderGivesTheSlotDetails) {
    PutImage("R6.dat", KnownImage(6));
    PutImage("R2.dat", KnownImage(2));
    CTempFolder::Put("Bad.dat", rvm::string("ZORVAREPLAYDATA09"));
    CFile* pFile = nullptr;
    ASSERT_EQ(FileOpen(&pFile, "R6.dat"), FILE_OK);
    int pairs[10] = {}, nPlayer = 0, options[3] = {}, y = 0, m = 0, d = 0, score = 0;
    EXPECT_EQ(CKeyRecorder::ReadReplayHeader(pFile, "R6.dat", pairs, &nPlayer, options, &y, &m, &d, &score), 6);
    EXPECT_EQ(pairs[4], 5000);
    EXPECT_EQ(pairs[9], 120);
    EXPECT_EQ(nPlayer, 3);
    EXPECT_EQ(options[2], 1);
    EXPECT_EQ(y, 2026);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(d, 9);
    EXPECT_EQ(score, 123456);
    EXPECT_EQ(pFile->GetRemaining(), 20u + 7 * 26);  // stands after the header
    FileClose(pFile);

    ASSERT_EQ(FileOpen(&pFile, "R2.dat"), FILE_OK);
    y = -5;
    EXPECT_EQ(CKeyRecorder::ReadReplayHeader(pFile, "R2.dat", nullptr, nullptr, options, &y, nullptr, nullptr,
                                             nullptr),
              2);
    EXPECT_EQ(y, -5);
    FileClose(pFile);

    ASSERT_EQ(FileOpen(&pFile, "Bad.dat"), FILE_OK);
    EXPECT_EQ(CKeyRecorder::ReadReplayHeader(pFile, "Bad.dat", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                             nullptr),
              -1);
    FileClose(pFile);
    EXPECT_EQ(CKeyRecorder::ReadReplayHeader(nullptr, "x", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                             nullptr),
              -1);
}

}  // namespace
