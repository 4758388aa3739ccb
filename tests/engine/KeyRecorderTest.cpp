// The key recorder's rules tick by tick: recording by change, the same-frame replacement, the
// playback search, the end of a track, the replay-synced value, and the key map.
#include <gtest/gtest.h>

#include "rvm/rvm_stl.h"
#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/SyncValue.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"

namespace {

class KeyRecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Host.SetQuiet(true);
        SetHost(&m_Host);
        CInputState::Reset();
        CKeyRecorder::InitKeyMap();
        m_pRec = CKeyRecorder::GetInstance();
        m_pRec->Reset();
    }
    void TearDown() override {
        CKeyRecorder::DeleteInstance();
        CKeyRecorder::ClearKeyMap();
        SetHost(nullptr);
    }
    const rvm::vector<KEYRECINFO>& Track() { return m_pRec->GetTrack(m_pRec->GetCurrentTrack()); }

    CHostHeadless m_Host;
    CKeyRecorder* m_pRec = nullptr;
};

TEST_F(KeyRecorderTest, FreshRecorderState) {
    EXPECT_EQ(m_pRec->GetMode(), KEYREC_MODE_IDLE);
    EXPECT_EQ(m_pRec->GetFrame(), 0);
    EXPECT_EQ(m_pRec->GetCurrentTrack(), 0);
    EXPECT_EQ(m_pRec->GetScore(), -1);
    int s = 0, e = 0;
    m_pRec->GetTrackStart(&s, &e);
    EXPECT_EQ(s, -1);
    EXPECT_EQ(e, -1);
    EXPECT_EQ(m_pRec->HasMorePlayData(), 1);
    EXPECT_EQ(m_pRec->GetPlayKeyCode(), 0);
    EXPECT_EQ(m_pRec->GetPlayRecord(nullptr), 0);
}

TEST_F(KeyRecorderTest, StartRecTakesTheLiveKeysAndTheFirstValues) {
    m_Host.PressKey('Z');
    m_Host.PressKey(VK_RIGHT);
    m_pRec->StartRec();
    ASSERT_EQ(Track().size(), 1u);
    const KEYRECINFO& r = Track()[0];
    EXPECT_EQ(r.frame, 0);
    EXPECT_EQ(r.code, 16 | 8);
    EXPECT_EQ(r.shot, 0);
    EXPECT_EQ(r.step, 1);
    EXPECT_EQ(r.point, 0);
    EXPECT_EQ(r.level, 0);
    EXPECT_EQ(r.fps, 0);
    EXPECT_EQ(r.bonus, 4);
    EXPECT_EQ(r.extra, 0);
    EXPECT_EQ(m_pRec->GetMode(), KEYREC_MODE_RECORD);
    // StopRec at once merges into one record at frame 0.
    m_pRec->StopRec();
    EXPECT_EQ(Track().size(), 1u);
    EXPECT_EQ(m_pRec->GetMode(), KEYREC_MODE_IDLE);
}

TEST_F(KeyRecorderTest, RecordsOnlyChangesOneRecordPerFrame) {
    m_pRec->StartRec();
    m_pRec->NextFrame();
    m_pRec->RecordKeys(0, 0, 0, 0);  // unchanged
    EXPECT_EQ(Track().size(), 1u);
    m_pRec->RecordKeys(0, 0, 99, 0);  // fps alone: nothing
    EXPECT_EQ(Track().size(), 1u);
    m_pRec->RecordKeys(0x10000, 0, 0, 0);  // beyond the low 16 bits: no change
    EXPECT_EQ(Track().size(), 1u);
    m_pRec->RecordKeys(4, 0, 5, 0);
    m_pRec->RecordKeys(8, 0, 6, 0);  // same frame: replaces
    ASSERT_EQ(Track().size(), 2u);
    EXPECT_EQ(Track()[1].frame, 1);
    EXPECT_EQ(Track()[1].code, 8);
    EXPECT_EQ(Track()[1].fps, 6);
    m_pRec->NextFrame();
    m_pRec->RecordStep(1);  // same as the last: nothing
    m_pRec->RecordStep(3);
    m_pRec->RecordPoint(500);
    m_pRec->RecordBonus(5);
    m_pRec->RecordLevel(2);
    ASSERT_EQ(Track().size(), 3u);
    const KEYRECINFO& r = Track()[2];
    EXPECT_EQ(r.frame, 2);
    EXPECT_EQ(r.code, 8);
    EXPECT_EQ(r.step, 3);
    EXPECT_EQ(r.point, 500);
    EXPECT_EQ(r.bonus, 5);
    EXPECT_EQ(r.level, 2);
    m_pRec->NextFrame();
    m_pRec->RecordKeys(8, 7, 0, 0);  // shot changes
    m_pRec->NextFrame();
    m_pRec->RecordKeys(8, 7, 0, 9);  // extra changes
    ASSERT_EQ(Track().size(), 5u);
    m_pRec->NextFrame();
    m_pRec->StopRec();
    ASSERT_EQ(Track().size(), 6u);
    EXPECT_EQ(Track()[5].frame, 5);
    EXPECT_EQ(Track()[5].shot, 0);
    EXPECT_EQ(Track()[5].level, 0);
    EXPECT_EQ(Track()[5].extra, 9);
    // Idle: nothing records; CloseTrack stamps the end frame in any mode.
    m_pRec->NextFrame();
    m_pRec->RecordKeys(1, 0, 0, 0);
    EXPECT_EQ(Track().size(), 6u);
    m_pRec->CloseTrack();
    ASSERT_EQ(Track().size(), 7u);
    EXPECT_EQ(Track()[6].frame, 6);
}

TEST_F(KeyRecorderTest, RecordingModeOnAnEmptyTrackRecordsNothing) {
    m_pRec->SetMode(KEYREC_MODE_RECORD);
    m_pRec->RecordKeys(1, 2, 3, 4);
    m_pRec->RecordStep(5);
    m_pRec->StopRec();
    EXPECT_TRUE(Track().empty());
}

TEST_F(KeyRecorderTest, StagesAndStartPairs) {
    for (int k = 1; k <= 5; ++k) {
        m_pRec->SetStartStage(k);
        m_pRec->SetTrackStart(k * 100, k);
    }
    m_pRec->SetStartStage(3);
    int s, e;
    for (int k = 1; k <= 2; ++k) {
        m_pRec->SetStartStage(k);
        m_pRec->GetTrackStart(&s, &e);
        EXPECT_EQ(s, -1);
        EXPECT_EQ(e, -1);
    }
    m_pRec->SetStartStage(5);  // clears 1 to 4
    m_pRec->GetTrackStart(&s, nullptr);
    EXPECT_EQ(s, 500);
    // A stage beyond the five tracks has none: nothing is recorded anywhere.
    m_pRec->SetStartStage(6);
    EXPECT_EQ(m_pRec->GetCurrentTrack(), -1);
    m_pRec->StartRec();
    m_pRec->RecordKeys(1, 0, 0, 0);
    EXPECT_EQ(m_pRec->GetMode(), KEYREC_MODE_IDLE);
    m_pRec->GetTrackStart(&s, &e);
    EXPECT_EQ(s, -1);
    for (int k = 0; k < KEYREC_TRACKS; ++k) EXPECT_TRUE(m_pRec->GetTrack(k).empty());
    m_pRec->StartPlay();
    EXPECT_EQ(m_pRec->GetMode(), KEYREC_MODE_IDLE);
}

// Track: frame 0 code 1, frame 3 code 2, frame 7 code 4 (end).
void MakeTrack(CKeyRecorder* pRec) {
    REPLAYIMAGE image;
    image.header.nPairs[0][0] = 0;
    image.tracks[0] = {{0, 1, 0, 1, 0, 0, 0, 4, 0}, {3, 2, 0, 2, 0, 0, 0, 4, 0}, {7, 4, 0, 3, 0, 0, 0, 4, 0}};
    pRec->Restore(image);
}

TEST_F(KeyRecorderTest, PlaybackSearchesForwardAndEndsAtTheLastRecord) {
    MakeTrack(m_pRec);
    m_pRec->StartPlay();
    ASSERT_EQ(m_pRec->GetMode(), KEYREC_MODE_PLAY);
    const int kExpected[10] = {1, 1, 1, 2, 2, 2, 2, 4, 4, 4};
    for (int f = 0; f < 10; ++f) {
        EXPECT_EQ(m_pRec->GetPlayKeyCode(), kExpected[f]) << f;
        EXPECT_EQ(m_pRec->HasMorePlayData(), f < 7 ? 1 : 0) << f;
        m_pRec->NextFrame();
    }
    EXPECT_EQ(m_pRec->GetPlayIndex(), 1);
    m_pRec->StopPlay();
    EXPECT_EQ(m_pRec->GetMode(), KEYREC_MODE_IDLE);
}

TEST_F(KeyRecorderTest, LaterTracksKeepPlaybackGoing) {
    MakeTrack(m_pRec);
    REPLAYIMAGE image = m_pRec->Snapshot(0);
    image.tracks[2] = {{0, 0, 0, 1, 0, 0, 0, 4, 0}};
    m_pRec->Restore(image);
    m_pRec->StartPlay();
    m_pRec->SetFrame(8);
    EXPECT_EQ(m_pRec->HasMorePlayData(), 1);
}

TEST_F(KeyRecorderTest, OneRecordTrackEndsPlaybackAtOnce) {
    REPLAYIMAGE image;
    image.tracks[4] = {{0, 5, 0, 1, 0, 0, 0, 4, 0}};
    m_pRec->Restore(image);
    EXPECT_EQ(m_pRec->GetCurrentTrack(), 4);
    m_pRec->StartPlay();
    EXPECT_EQ(m_pRec->GetPlayKeyCode(), 0);
    EXPECT_EQ(m_pRec->GetMode(), KEYREC_MODE_IDLE);
}

TEST_F(KeyRecorderTest, SyncReplayValueRecordsAndReplaysTheStep) {
    int v = 7;
    SyncReplayValue(&v);  // idle: unchanged, nothing stored
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(Track().empty());
    m_pRec->StartRec();
    v = 1;
    SyncReplayValue(&v);
    EXPECT_EQ(Track().size(), 1u);
    m_pRec->NextFrame();
    v = 2;
    SyncReplayValue(&v);
    SyncReplayValue(&v);
    EXPECT_EQ(Track().size(), 2u);
    m_pRec->NextFrame();
    m_pRec->NextFrame();
    v = 3;
    SyncReplayValue(&v);
    m_pRec->NextFrame();
    m_pRec->StopRec();

    m_pRec->StartPlay();
    const int kSteps[4] = {1, 2, 2, 3};
    for (int f = 0; f < 4; ++f) {
        m_pRec->GetPlayKeyCode();
        int n = 99;
        SyncReplayValue(&n);
        EXPECT_EQ(n, kSteps[f]) << f;
        m_pRec->NextFrame();
    }
}

TEST_F(KeyRecorderTest, SyncReplayValueAtTheFirstRecordIsOne) {
    MakeTrack(m_pRec);
    REPLAYIMAGE image = m_pRec->Snapshot(0);
    image.tracks[0][0].step = 5;
    m_pRec->Restore(image);
    m_pRec->StartPlay();
    m_pRec->GetPlayKeyCode();
    int n = 42;
    SyncReplayValue(&n);
    EXPECT_EQ(n, 1);
}

TEST_F(KeyRecorderTest, KeyMapFollowsTheCodeAndOtherKeysAreLive) {
    EXPECT_EQ(CKeyRecorder::GetKeyMapSize(), 8u);
    EXPECT_EQ(CKeyRecorder::IsKeyDown(64, VK_SHIFT), 1);
    EXPECT_EQ(CKeyRecorder::IsKeyDown(64, 'C'), 1);
    EXPECT_EQ(CKeyRecorder::IsKeyDown(16, 'Z'), 1);
    EXPECT_EQ(CKeyRecorder::IsKeyDown(16, 'X'), 0);
    EXPECT_EQ(CKeyRecorder::IsKeyDown(2, VK_DOWN), 1);
    m_Host.PressKey(VK_DOWN);
    EXPECT_EQ(CKeyRecorder::IsKeyDown(0, VK_DOWN), 0);  // the replayed code wins
    EXPECT_EQ(CKeyRecorder::IsKeyDown(0x7F, VK_RETURN), 0);
    m_Host.PressKey(VK_RETURN);
    EXPECT_EQ(CKeyRecorder::IsKeyDown(0, VK_RETURN), 1);
    m_Host.PressKey('C');
    EXPECT_EQ(CKeyRecorder::GetMappedInput(), 2 | 64);
    CKeyRecorder::ClearKeyMap();
    EXPECT_EQ(CKeyRecorder::GetMappedInput(), 0);
    EXPECT_EQ(CKeyRecorder::IsKeyDown(0, VK_DOWN), 1);  // unmapped: live
}

// Keys scripted for 600 ticks are recorded as the player records them and replayed: the masks
// read back equal the scripted ones tick for tick.
TEST_F(KeyRecorderTest, SixHundredScriptedTicksReplayExactly) {
    rvm::string script;
    const char* const kKeys[] = {"Up", "Down", "Left", "Right", "Z", "X", "Shift", "C"};
    uint32_t x = 12345;
    for (int tick = 1; tick <= 600; tick += 1 + static_cast<int>((x >> 16) % 7)) {
        x = x * 1103515245u + 12345u;
        const char* pszKey = kKeys[(x >> 16) % 8];
        script += std::to_string(tick) + ((x >> 8) & 1 ? " down " : " up ") + pszKey + "\n";
    }
    std::string error;
    ASSERT_TRUE(m_Host.AddScript(script.c_str(), &error)) << error;
    m_pRec->SetStartStage(1);
    rvm::vector<int> scripted;
    for (int tick = 0; tick < 600; ++tick) {
        m_Host.FrameTick();
        if (tick == 0) {
            m_pRec->StartRec();
            m_pRec->SetTrackStart(0, 0);
        }
        int nCode = CKeyRecorder::GetMappedInput();
        scripted.push_back(nCode);
        m_pRec->RecordKeys(nCode, 0, tick, 0);
        int nStep = 1 + (tick / 50) % 3;
        SyncReplayValue(&nStep);
        m_pRec->NextFrame();
    }
    m_pRec->StopRec();
    rvm::set<int> distinct(scripted.begin(), scripted.end());
    EXPECT_GT(distinct.size(), 8u);

    // Through a file and back, then played as the player plays it.
    CKeyRecorder* pSaved = m_pRec;
    rvm::vector<uint8_t> bytes = EncodeReplay(pSaved->Snapshot(1000));
    REPLAYIMAGE loaded;
    rvm::string reason;
    ASSERT_EQ(DecodeReplay(bytes.data(), bytes.size(), &loaded, &reason), 1) << reason;
    m_pRec->Reset();
    m_pRec->Restore(loaded);
    ASSERT_EQ(m_pRec->GetCurrentTrack(), 0);
    m_pRec->StartPlay();
    for (int tick = 0; tick < 600; ++tick) {
        ASSERT_EQ(m_pRec->GetPlayKeyCode(), scripted[tick]) << tick;
        int nStep = 99;
        SyncReplayValue(&nStep);
        if (tick > 0) {
            EXPECT_EQ(nStep, 1 + (tick / 50) % 3) << tick;
        }
        m_pRec->NextFrame();
    }
    EXPECT_EQ(m_pRec->HasMorePlayData(), 0);
}

}  // namespace
