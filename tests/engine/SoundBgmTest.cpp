#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "engine/BgmWave.h"
#include "engine/SoundFixture.h"
#include "pack/PackBuilder.h"

namespace {

const char* const kSong = ".\\GameData\\Music\\Song.wav";
const char* const kNoPack = ".\\GameData\\Music.dat";
const DWORD kRing = 352800;

// Passes run on the test thread: its sleeps move the fake clock, and the mixer with it.
class SoundBgmTest : public SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        m_Wave = std::make_unique<CBgmWave>();
        ASSERT_EQ(1, m_Wave->PrepareStream(g_lpDS, g_lpDSBPrimary));
    }
    void TearDown() override {
        m_Wave.reset();
        SoundFixture::TearDown();
    }

    // The ring's bytes at an offset (no wrap).
    std::vector<uint8_t> Ring(DWORD dwOffset, DWORD n) {
        LPVOID p1 = nullptr;
        DWORD n1 = 0;
        std::vector<uint8_t> out;
        if (m_Wave->GetBuffer()->Lock(dwOffset, n, &p1, &n1, nullptr, nullptr, 0) != DS_OK) return out;
        out.assign(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
        m_Wave->GetBuffer()->Unlock(p1, n1, nullptr, 0);
        return out;
    }

    // The bytes of frame i of the ramp.
    static std::vector<uint8_t> Frame(uint32_t i) {
        return Pcm16({static_cast<int16_t>(i & 0x7FFF), static_cast<int16_t>(-static_cast<int32_t>(i & 0x7FFF))});
    }

    std::unique_ptr<CBgmWave> m_Wave;
};

TEST_F(SoundBgmTest, OpenPrefillsThreeQuartersOfATwoSecondRing) {
    WriteFile("GameData/Music/Song.wav", StereoWave(3 * 44100));
    ASSERT_EQ(1, m_Wave->Open(kNoPack, kSong, 0));  // no such pack: the plain file is read
    EXPECT_EQ(kRing, m_Wave->GetBufferSize());
    EXPECT_EQ(264600u, m_Wave->GetWritePos());
    EXPECT_EQ(0, m_Wave->IsPlaying());
    EXPECT_EQ(Frame(66149), Ring(264596, 4));
}

TEST_F(SoundBgmTest, EachPassRefillsWhatTheWriteCursorMoved) {
    WriteFile("GameData/Music/Song.wav", StereoWave(10 * 44100));
    ASSERT_EQ(1, m_Wave->Open(kNoPack, kSong, 0));
    m_Wave->Play(1);
    EXPECT_EQ(1, m_Wave->IsPlaying());
    EXPECT_EQ(DWORD(WAIT_OBJECT_0), WaitForSingleObject(m_Wave->GetEvent(), 0));
    m_Wave->RefillPass();  // waits 50 ms after the open, then fills up to the write cursor's lead
    EXPECT_EQ(264600u + 2205 * 4 + 441 * 4, m_Wave->GetWritePos());
    m_Wave->RefillPass();
    EXPECT_EQ(264600u + 4410 * 4 + 441 * 4, m_Wave->GetWritePos());
    EXPECT_EQ(Frame(66150), Ring(264600, 4));
    std::vector<uint32_t> sleeps = m_Host.GetSleeps();
    ASSERT_EQ(3u, sleeps.size());
    EXPECT_EQ(50u, sleeps[0]);
    EXPECT_EQ(50u, sleeps[2]);
}

TEST_F(SoundBgmTest, AtMostAQuarterPerPassAndTheRestIsOwed) {
    WriteFile("GameData/Music/Song.wav", StereoWave(10 * 44100));
    ASSERT_EQ(1, m_Wave->Open(kNoPack, kSong, 0));
    m_Wave->Play(1);
    m_Wave->RefillPass();  // t = 100 ms, write position 275184
    m_Host.AdvanceClock(1000);
    m_Wave->RefillPass();  // moved 185220: stops at the ring's end, 107604 owed
    EXPECT_EQ(0u, m_Wave->GetWritePos());
    EXPECT_EQ(107604u, m_Wave->GetOwed());
    m_Wave->RefillPass();  // 8820 new + 107604 owed, a quarter of it now
    EXPECT_EQ(88200u, m_Wave->GetWritePos());
    EXPECT_EQ(28224u, m_Wave->GetOwed());
}

TEST_F(SoundBgmTest, TheWriterStopsAtThePlayCursorAlsoAcrossTheRingEnd) {
    WriteFile("GameData/Music/Song.wav", StereoWave(10 * 44100));
    ASSERT_EQ(1, m_Wave->Open(kNoPack, kSong, 0));
    m_Wave->Play(1);
    m_Wave->RefillPass();  // t = 100 ms
    m_Host.AdvanceClock(1900);  // t = 2000: the play cursor is back at 0, the write position at 275184
    m_Wave->RefillPass();
    EXPECT_EQ(0u, m_Wave->GetWritePos());
    EXPECT_EQ(0u, m_Wave->GetOwed());
}

TEST_F(SoundBgmTest, AShortPieceLoopsFromItsLoopStart) {
    WriteFile("GameData/Music/Song.wav", StereoWave(44100));  // one second, shorter than the ring
    ASSERT_EQ(1, m_Wave->Open(kNoPack, kSong, 250));
    EXPECT_EQ(250, m_Wave->GetLoopStart());
    EXPECT_EQ(176400u, m_Wave->GetWritePos());  // the whole piece, then back to its start
    m_Wave->Play(1);
    for (int i = 0; i < 80 && (m_Wave->GetWritePos() >= 176400 || m_Wave->GetWritePos() == 0); ++i) m_Wave->RefillPass();
    // The second time round the data ends at the ring's end; the third starts at 250 ms.
    EXPECT_EQ(Frame(0), Ring(176400, 4));
    EXPECT_EQ(Frame(44099), Ring(kRing - 4, 4));
    EXPECT_EQ(Frame(11025), Ring(0, 4));
}

TEST_F(SoundBgmTest, LoopStartIsRoundedUpToAWholeFrame) {
    WAVEIMAGE w;
    w.nRate = 22050;
    w.data = RampStereo16(22050);
    WriteFile("GameData/Music/Song.wav", BuildWave(w));
    ASSERT_EQ(1, m_Wave->Open(kNoPack, kSong, 0));
    ASSERT_EQ(1, m_Wave->GetReader().Rewind());
    m_Wave->SkipTo(7);  // 617.4 bytes: 620, frame 155
    BYTE got[4];
    DWORD dwRead = 0;
    ASSERT_EQ(1, m_Wave->GetReader().Read(4, got, &dwRead));
    EXPECT_EQ(Frame(155), std::vector<uint8_t>(got, got + 4));
}

TEST_F(SoundBgmTest, FadeTakesFiftyStepsAndStopsAtTheConfiguredVolume) {
    WriteFile("GameData/Music/Song.wav", StereoWave(3 * 44100));
    ASSERT_EQ(1, m_Wave->Open(kNoPack, kSong, 0));
    EXPECT_EQ(0, m_Wave->FadeOut());  // not playing: nothing changes
    EXPECT_EQ(0, m_Wave->IsFading());
    m_Wave->Play(1);
    ASSERT_EQ(1, m_Wave->FadeOut());
    int nSteps = 0;
    LONG lLast = 0;
    while (m_Wave->IsFading() && nSteps < 100) {
        m_Host.AdvanceClock(BGM_FADE_INTERVAL);
        m_Wave->FadeStep();  // exactly the interval: too soon
        m_Host.AdvanceClock(1);
        m_Wave->FadeStep();
        ++nSteps;
        if (m_Wave->IsFading()) {
            LONG v = 1;
            m_Wave->GetBuffer()->GetVolume(&v);
            EXPECT_EQ(lLast - BGM_FADE_STEP, v);
            lLast = v;
        }
    }
    EXPECT_EQ(50, nSteps);
    EXPECT_EQ(-10000, m_Wave->GetFadeVolume());
    EXPECT_EQ(0, m_Wave->IsPlaying());
    LONG v = 1;
    m_Wave->GetBuffer()->GetVolume(&v);
    EXPECT_EQ(0, v);
    EXPECT_EQ(DWORD(WAIT_TIMEOUT), WaitForSingleObject(m_Wave->GetEvent(), 0));
}

TEST_F(SoundBgmTest, ReadsAStoredWaveInsideAPackAndRefusesACompressedOne) {
    std::vector<uint8_t> song = StereoWave(44100);
    CPackBuilder pack(PACK_MAGIC_STORED);
    pack.AddFile("Note.txt", rvm::vector<uint8_t>(100, 'x'), false);
    pack.AddFile("Song.wav", rvm::vector<uint8_t>(song.begin(), song.end()), false);
    WriteFile("GameData/Music.dat", pack.Build());
    CStreamWaveRead reader;
    ASSERT_EQ(1, reader.Open(kNoPack, kSong));
    EXPECT_EQ(176400u, reader.GetDataSize());
    BYTE got[8];
    DWORD dwRead = 0;
    reader.Read(4, nullptr, &dwRead);
    ASSERT_EQ(1, reader.Read(8, got, &dwRead));
    EXPECT_EQ(8u, dwRead);
    EXPECT_EQ(std::vector<uint8_t>(song.begin() + 44 + 4, song.begin() + 44 + 12), std::vector<uint8_t>(got, got + 8));
    ASSERT_EQ(1, reader.Rewind());
    ASSERT_EQ(1, reader.Read(4, got, &dwRead));
    EXPECT_EQ(Frame(0), std::vector<uint8_t>(got, got + 4));

    std::vector<uint8_t> quiet = BuildWave(WAVEIMAGE{1, 2, 44100, 16, {}, std::vector<uint8_t>(40000, 0), -1, 0, false});
    CPackBuilder packed(PACK_MAGIC_VOSTIL);
    packed.AddFile("Song.wav", rvm::vector<uint8_t>(quiet.begin(), quiet.end()), true);
    ASSERT_TRUE(packed.LastCompressed());
    WriteFile("GameData/Music.dat", packed.Build());
    EXPECT_EQ(0, reader.Open(kNoPack, kSong));
    EXPECT_EQ(nullptr, reader.GetFormat());
    EXPECT_EQ(0, m_Wave->Open(kNoPack, kSong, 0));
    EXPECT_EQ(nullptr, m_Wave->GetBuffer());
    m_Wave->Play(1);  // nothing to play
    EXPECT_EQ(0, m_Wave->IsPlaying());
}

TEST_F(SoundBgmTest, TheThreadStreamsAndJoinsOnClose) {
    WriteFile("GameData/Music/Song.wav", StereoWave(44100));
    CBgmWave wave;
    ASSERT_EQ(1, wave.StartThread(g_lpDS, g_lpDSBPrimary));
    ASSERT_EQ(1, wave.Open(kNoPack, kSong, 0));
    wave.Play(1);
    for (int i = 0; i < 20; ++i) {
        m_Host.AdvanceClock(25);
        Sleep(0);
    }
    EXPECT_EQ(1, wave.IsPlaying());
    wave.Close();  // fades, stops the thread and waits for it
    EXPECT_EQ(nullptr, wave.GetBuffer());
    EXPECT_EQ(0, wave.StartThread(nullptr, g_lpDSBPrimary));
}

// The streaming thread at the last step of a fade, asleep before it stops the buffer: the fade
// was started one step from silence and the clock moved past the interval.
class SoundBgmThreadTest : public SoundBgmTest {
protected:
    void StartAtLastFadeStep(CBgmWave* pWave) {
        WriteFile("GameData/Music/Song.wav", StereoWave(3 * 44100));
        ASSERT_EQ(1, pWave->StartThread(g_lpDS, g_lpDSBPrimary));
        ASSERT_EQ(1, pWave->Open(kNoPack, kSong, 0));
        pWave->Play(1);
        ASSERT_EQ(DS_OK, pWave->GetBuffer()->SetVolume(-9900));
        ASSERT_EQ(1, pWave->FadeOut());
        m_Host.ClearSleeps();
        m_Host.AdvanceClock(BGM_FADE_INTERVAL + 1);
        ASSERT_TRUE(WaitForSleeps([](const std::vector<uint32_t>& s) {
            for (uint32_t ms : s)
                if (ms == BGM_FADE_END_SLEEP) return true;
            return false;
        }));
    }

    // Polls the host's record of sleeps (the thread follows the clock, which stands still here,
    // so its sleeps last their real time); false when the condition never came.
    template <class F>
    bool WaitForSleeps(F done) {
        for (int i = 0; i < 5000; ++i) {
            if (done(m_Host.GetSleeps())) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
};

TEST_F(SoundBgmThreadTest, PlayDuringTheLastFadeStepKeepsTheMusicPlaying) {
    CBgmWave wave;
    StartAtLastFadeStep(&wave);
    const uint64_t nSleeps = m_Host.GetSleepCount();
    wave.Play(1);
    // The thread goes on streaming: it sleeps after its next refill.
    EXPECT_TRUE(WaitForSleeps([&](const std::vector<uint32_t>&) { return m_Host.GetSleepCount() > nSleeps; }));
    EXPECT_EQ(1, wave.IsPlaying());
    EXPECT_EQ(0, wave.IsFading());
    LONG v = 1;
    wave.GetBuffer()->GetVolume(&v);
    EXPECT_EQ(0, v);
    EXPECT_EQ(DWORD(WAIT_OBJECT_0), WaitForSingleObject(wave.GetEvent(), 0));
    wave.Close();
}

TEST_F(SoundBgmThreadTest, StopDuringTheLastFadeStepDoesNotHang) {
    CBgmWave wave;
    StartAtLastFadeStep(&wave);
    std::atomic<bool> bStopped{false};
    std::thread closer([&] {
        wave.StopThread();
        bStopped = true;
    });
    for (int i = 0; i < 5000 && !bStopped; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(bStopped) << "the thread reset its wake-up and waits for ever";
    if (!bStopped) SetEvent(wave.GetEvent());  // let it go, so that the test ends
    closer.join();
    wave.Close();
}

// A new piece opened while the thread streams the old one (a scene change during the fade): the
// thread's measurement and fill must not mix the two rings.
TEST_F(SoundBgmThreadTest, OpenWhileStreamingKeepsTheRingConsistent) {
    WriteFile("GameData/Music/Song.wav", StereoWave(3 * 44100));
    WAVEIMAGE small;
    small.nRate = 22050;
    small.nChannels = 1;
    small.data = Pcm16(std::vector<int16_t>(22050, 1000));
    WriteFile("GameData/Music/Small.wav", BuildWave(small));
    CBgmWave wave;
    ASSERT_EQ(1, wave.StartThread(g_lpDS, g_lpDSBPrimary));
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(1, wave.Open(kNoPack, i % 2 ? ".\\GameData\\Music\\Small.wav" : kSong, 100));
        wave.Play(1);
        if (i % 3 == 0) wave.FadeOut();
        for (int k = 0; k < 4; ++k) {
            m_Host.AdvanceClock(17);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }
    wave.Close();
    EXPECT_FALSE(HasDebugLine("ERROR 28"));
}

}  // namespace
