#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/PCMManagerTask.h"
#include "engine/SoundFixture.h"

namespace {

const char* const kShot = ".\\GameData\\System\\Shot.wav";
const char* const kPirori = ".\\GameData\\System\\Pirori.wav";
const char* const kPi = ".\\GameData\\System\\Pi.wav";
const char* const kVostil = ".\\GameData\\First\\44vostil.wav";

class SoundBankTest : public SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        WriteFile("GameData/System/Shot.wav", StereoWave(4410));
        WriteFile("GameData/System/Pirori.wav", StereoWave(441));
        WriteFile("GameData/System/Pi.wav", StereoWave(441));
        WriteFile("GameData/First/44vostil.wav", StereoWave(441));
        m_Bank = std::make_unique<CPCMManagerTask>();
        ASSERT_EQ(1, m_Bank->Init());
    }
    void TearDown() override {
        m_Bank.reset();
        SoundFixture::TearDown();
    }

    int State(int nBank, const char* pszName) { return m_Bank->GetState(nBank, m_Bank->FindSlot(nBank, pszName)); }
    LPDIRECTSOUNDBUFFER Buffer(int nBank, const char* pszName) {
        return m_Bank->GetSlot(nBank, m_Bank->FindSlot(nBank, pszName)).lpBuffer;
    }
    DWORD PlayCursor(LPDIRECTSOUNDBUFFER p) {
        DWORD dw = 0;
        p->GetCurrentPosition(&dw, nullptr);
        return dw;
    }

    std::unique_ptr<CPCMManagerTask> m_Bank;
};

TEST_F(SoundBankTest, SystemSlotsFollowTheListWithTheBeepLast) {
    EXPECT_EQ(0, m_Bank->FindSystemSlot(kShot));
    EXPECT_EQ(15, m_Bank->FindSystemSlot(kPirori));
    EXPECT_EQ(41, m_Bank->FindSystemSlot(kVostil));
    EXPECT_EQ(42, m_Bank->FindSystemSlot(kPi));
    EXPECT_STREQ(".\\GameData\\System\\BgmGameOver.wav", g_pszSystemSounds[22]);
    // A wave that is missing leaves its slot empty; the rest load.
    EXPECT_EQ(nullptr, m_Bank->GetSlot(PCM_BANK_SYSTEM, 1).lpBuffer);
    EXPECT_STREQ("", m_Bank->GetSlot(PCM_BANK_SYSTEM, 1).szName);
    EXPECT_NE(nullptr, m_Bank->GetSlot(PCM_BANK_SYSTEM, 42).lpBuffer);
    EXPECT_EQ(0, m_Bank->GetSlot(PCM_BANK_SYSTEM, 0).lVolume);
    EXPECT_EQ(PCM_STATE_IDLE, State(0, kShot));
    LPDIRECTSOUNDBUFFER lpFirst = Buffer(0, kShot);
    EXPECT_EQ(1, m_Bank->Init());  // once only
    EXPECT_EQ(lpFirst, Buffer(0, kShot));
    // Released at shutdown, the bank loads again at the next start-up of the process.
    m_Bank->ReleaseSystemSounds();
    EXPECT_EQ(nullptr, Buffer(0, kShot));
    EXPECT_EQ(1, m_Bank->Init());
    EXPECT_NE(nullptr, Buffer(0, kShot));
}

TEST_F(SoundBankTest, PlayIsDeferredToTheNextUpdateAndStartsOnce) {
    m_Bank->Play(kShot);
    m_Bank->Play(kShot);
    EXPECT_EQ(PCM_STATE_REQUESTED, State(0, kShot));
    EXPECT_EQ(0, m_Bank->IsPlaying(kShot));
    m_Bank->Update();
    EXPECT_EQ(PCM_STATE_STARTED, State(0, kShot));
    EXPECT_EQ(1, m_Bank->IsPlaying(kShot));
    m_Host.AdvanceClock(10);
    EXPECT_EQ(441u * 4, PlayCursor(Buffer(0, kShot)));
    m_Bank->Update();
    EXPECT_EQ(PCM_STATE_IDLE, State(0, kShot));

    // A new request for an effect still sounding (idle) restarts it from its beginning.
    m_Bank->Play(kShot);
    EXPECT_EQ(441u * 4, PlayCursor(Buffer(0, kShot)));  // idle: not silenced by the request
    m_Bank->Update();
    EXPECT_EQ(0u, PlayCursor(Buffer(0, kShot)));
    EXPECT_EQ(1, m_Bank->IsPlaying(kShot));
}

TEST_F(SoundBankTest, StopActsOnRequestedOrStartedEffectsOnly) {
    m_Bank->Play(kShot);
    m_Bank->Update();
    m_Host.AdvanceClock(10);
    m_Bank->Stop(kShot);  // started: faded out, stopped, rewound
    EXPECT_EQ(0, m_Bank->IsPlaying(kShot));
    EXPECT_EQ(0u, PlayCursor(Buffer(0, kShot)));
    LONG v = 1;
    Buffer(0, kShot)->GetVolume(&v);
    EXPECT_EQ(0, v);

    m_Bank->Play(kShot);
    m_Bank->Update();
    m_Bank->Update();
    ASSERT_EQ(PCM_STATE_IDLE, State(0, kShot));
    m_Bank->Stop(kShot);  // idle: left sounding
    EXPECT_EQ(1, m_Bank->IsPlaying(kShot));
}

TEST_F(SoundBankTest, RequestsWaitWhileSoundIsOff) {
    m_Bank->Play(kShot);
    g_bSoundOn = 0;
    m_Bank->Update();
    EXPECT_EQ(PCM_STATE_REQUESTED, State(0, kShot));
    g_bSoundOn = 1;
    m_Bank->Update();
    EXPECT_EQ(PCM_STATE_STARTED, State(0, kShot));
}

TEST_F(SoundBankTest, UnknownAndEmptyNamesChangeNothing) {
    m_Bank->Play("");
    m_Bank->Play(".\\GameData\\System\\Nothing.wav");
    m_Bank->Play(nullptr);
    m_Bank->Update();
    for (int i = 0; i < PCM_SLOT_COUNT; ++i) EXPECT_EQ(PCM_STATE_IDLE, m_Bank->GetState(0, i)) << i;
    EXPECT_EQ(0, m_Bank->IsPlaying(""));
    EXPECT_EQ(0, m_Bank->IsPlaying(".\\GameData\\System\\Nothing.wav"));
    m_Bank->SetEnabled(0);
    m_Bank->Play(kShot);
    EXPECT_EQ(PCM_STATE_IDLE, State(0, kShot));
}

TEST_F(SoundBankTest, StageSoundsLoadInOrderOnceEachAndRelease) {
    WriteFile("GameData/Music/Horn.wav", StereoWave(441));
    WriteFile("GameData/Music/Bell.wav", StereoWave(441));
    const char* const kHorn = ".\\GameData\\Music\\Horn.wav";
    const char* const kBell = ".\\GameData\\Music\\Bell.wav";
    m_Bank->QueueStageSound(kHorn);
    m_Bank->QueueStageSound(kBell);
    m_Bank->QueueStageSound(kHorn);
    m_Bank->QueueStageSound(kShot);
    ASSERT_EQ(1, m_Bank->LoadStageSounds());
    EXPECT_EQ(0, m_Bank->FindSlot(PCM_BANK_STAGE, kHorn));
    EXPECT_EQ(1, m_Bank->FindSlot(PCM_BANK_STAGE, kBell));
    EXPECT_EQ(2, m_Bank->FindSlot(PCM_BANK_STAGE, kShot));
    EXPECT_EQ(nullptr, m_Bank->GetSlot(PCM_BANK_STAGE, 3).lpBuffer);

    // A name in both banks: bank 0's buffer answers.
    m_Bank->Play(kShot);
    m_Bank->Update();
    Buffer(0, kShot)->Stop();
    EXPECT_EQ(1, IsSoundBufferPlaying(Buffer(1, kShot)));
    EXPECT_EQ(0, m_Bank->IsPlaying(kShot));

    // Released slots keep their names; a later request for one is dropped, not played.
    m_Bank->ReleaseStageSounds();
    EXPECT_EQ(0, m_Bank->GetQueuedCount());
    EXPECT_EQ(nullptr, m_Bank->GetSlot(PCM_BANK_STAGE, 0).lpBuffer);
    m_Bank->Play(kHorn);
    m_Bank->Update();
    EXPECT_EQ(PCM_STATE_IDLE, State(1, kHorn));
    EXPECT_EQ(0, m_Bank->IsPlaying(kHorn));

    m_Bank->QueueStageSound(kBell);
    m_Bank->QueueStageSound(".\\GameData\\Music\\Missing.wav");
    m_Bank->QueueStageSound(kHorn);
    EXPECT_EQ(0, m_Bank->LoadStageSounds());
    EXPECT_EQ(0, m_Bank->FindSlot(PCM_BANK_STAGE, kBell));
    EXPECT_NE(nullptr, m_Bank->GetSlot(PCM_BANK_STAGE, 0).lpBuffer);
    EXPECT_EQ(nullptr, m_Bank->GetSlot(PCM_BANK_STAGE, 1).lpBuffer);
}

// The loading thread fills the stage bank while the frame keeps playing effects (the race that
// the sanitizer build watches for): every wave still lands in its slot in queue order.
TEST_F(SoundBankTest, StageSoundsLoadOnAnotherThreadWhileTheFramePlays) {
    std::vector<std::string> names;
    for (int i = 0; i < 24; ++i) {
        WriteFile("GameData/Music/Fx" + std::to_string(i) + ".wav", StereoWave(441));
        names.push_back(".\\GameData\\Music\\Fx" + std::to_string(i) + ".wav");
        m_Bank->QueueStageSound(names.back().c_str());
    }
    std::atomic<int> nLoaded{-1};
    std::thread loader([&] { nLoaded = m_Bank->LoadStageSounds(); });
    int nPasses = 0;
    while (nLoaded < 0 || nPasses < 3) {
        m_Bank->Play(kShot);
        m_Bank->Play(names[nPasses % names.size()].c_str());
        m_Bank->Update();
        m_Bank->IsPlaying(names[0].c_str());
        ++nPasses;
    }
    loader.join();
    ASSERT_EQ(1, nLoaded);
    for (int i = 0; i < (int)names.size(); ++i) {
        EXPECT_EQ(i, m_Bank->FindSlot(PCM_BANK_STAGE, names[i].c_str()));
        EXPECT_NE(nullptr, m_Bank->GetSlot(PCM_BANK_STAGE, i).lpBuffer);
    }
    m_Bank->Play(names[5].c_str());
    m_Bank->Update();
    EXPECT_EQ(1, m_Bank->IsPlaying(names[5].c_str()));
}

TEST_F(SoundBankTest, EffectsFromAPlayToTheEnd) {
    m_Bank->Play(kPirori);  // 10 ms long
    m_Bank->Update();
    m_Host.AdvanceClock(5);
    EXPECT_EQ(1, m_Bank->IsPlaying(kPirori));
    m_Host.AdvanceClock(6);
    EXPECT_EQ(0, m_Bank->IsPlaying(kPirori));
}

TEST(ListArray, HoldsItsCapacityAndRefusesMore) {
    auto list = std::make_unique<list_array<int>>();
    for (int i = 0; i < LIST_BUF_NUM - 2; ++i) list->push_back(i);
    EXPECT_EQ(LIST_BUF_NUM - 2, list->size());
    list->push_back(-1);  // a failed check, and nothing inserted
    EXPECT_EQ(LIST_BUF_NUM - 2, list->size());
    int nExpect = 0;
    for (auto it = list->begin(); !it.end(); ++it) EXPECT_EQ(nExpect++, *it);
    EXPECT_EQ(LIST_BUF_NUM - 2, nExpect);
    list->clear();
    EXPECT_TRUE(list->empty());
    list->push_back(7);
    EXPECT_EQ(7, *list->begin());
}

}  // namespace
