#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/dsound/DSound.h"
#include "platform/dsound/SoundMix.h"
#include "platform/host/HostHeadless.h"
#include "platform/sound/WaveImage.h"

namespace {

WAVEFORMATEX Format(WORD nChannels, DWORD nRate, WORD nBits) {
    WORD nAlign = static_cast<WORD>(nChannels * nBits / 8);
    return WAVEFORMATEX{WAVE_FORMAT_PCM, nChannels, nRate, nRate * nAlign, nAlign, nBits, 0};
}

class DirectSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Host.SetQuiet(true);
        SetHost(&m_Host);
        ASSERT_EQ(DS_OK, DirectSoundCreate(nullptr, &m_lpDS, nullptr));
        ASSERT_EQ(DS_OK, m_lpDS->SetCooperativeLevel(nullptr, DSSCL_PRIORITY));
    }
    void TearDown() override {
        for (LPDIRECTSOUNDBUFFER p : m_Buffers) p->Release();
        if (m_lpDS) m_lpDS->Release();
        EXPECT_FALSE(m_Host.IsAudioOpen());
        SetHost(nullptr);
    }

    LPDIRECTSOUNDBUFFER Make(const WAVEFORMATEX& wfx, DWORD dwBytes, DWORD dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY) {
        WAVEFORMATEX f = wfx;
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = dwFlags;
        desc.dwBufferBytes = dwBytes;
        desc.lpwfxFormat = &f;
        LPDIRECTSOUNDBUFFER p = nullptr;
        EXPECT_EQ(DS_OK, m_lpDS->CreateSoundBuffer(&desc, &p, nullptr));
        if (p) m_Buffers.push_back(p);
        return p;
    }

    static void Write(LPDIRECTSOUNDBUFFER p, const std::vector<uint8_t>& bytes) {
        LPVOID p1 = nullptr;
        DWORD n1 = 0;
        ASSERT_EQ(DS_OK, p->Lock(0, static_cast<DWORD>(bytes.size()), &p1, &n1, nullptr, nullptr, 0));
        memcpy(p1, bytes.data(), n1);
        ASSERT_EQ(DS_OK, p->Unlock(p1, n1, nullptr, 0));
    }

    static void Cursors(LPDIRECTSOUNDBUFFER p, DWORD* pPlay, DWORD* pWrite) {
        ASSERT_EQ(DS_OK, p->GetCurrentPosition(pPlay, pWrite));
    }

    static DWORD Status(LPDIRECTSOUNDBUFFER p) {
        DWORD dw = 0;
        p->GetStatus(&dw);
        return dw;
    }

    CHostHeadless m_Host;
    LPDIRECTSOUND m_lpDS = nullptr;
    std::vector<LPDIRECTSOUNDBUFFER> m_Buffers;
};

TEST(DirectSoundDevice, CreationNeedsAnAudioDevice) {
    LPDIRECTSOUND lpDS = reinterpret_cast<LPDIRECTSOUND>(1);
    SetHost(nullptr);
    EXPECT_EQ(DSERR_NODRIVER, DirectSoundCreate(nullptr, &lpDS, nullptr));
    EXPECT_EQ(nullptr, lpDS);

    CHostHeadless host;
    host.SetQuiet(true);
    host.SetFailAudio(true);
    SetHost(&host);
    EXPECT_EQ(DSERR_NODRIVER, DirectSoundCreate(nullptr, &lpDS, nullptr));
    host.SetFailAudio(false);
    ASSERT_EQ(DS_OK, DirectSoundCreate(nullptr, &lpDS, nullptr));
    EXPECT_TRUE(host.IsAudioOpen());
    LPDIRECTSOUND lpSecond = nullptr;
    EXPECT_EQ(DSERR_ALLOCATED, DirectSoundCreate(nullptr, &lpSecond, nullptr));

    // A buffer keeps the device open after the object itself is released.
    WAVEFORMATEX wfx = Format(1, 8000, 8);
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), 0, 800, 0, &wfx, {}};
    LPDIRECTSOUNDBUFFER lpBuffer = nullptr;
    ASSERT_EQ(DS_OK, lpDS->CreateSoundBuffer(&desc, &lpBuffer, nullptr));
    EXPECT_EQ(0u, lpDS->Release());
    EXPECT_TRUE(host.IsAudioOpen());
    EXPECT_EQ(0u, lpBuffer->Release());
    EXPECT_FALSE(host.IsAudioOpen());
    SetHost(nullptr);
}

TEST_F(DirectSoundTest, BufferDescriptionsAreChecked) {
    WAVEFORMATEX wfx = Format(2, 44100, 16);
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), 0, 4000, 0, &wfx, {}};
    LPDIRECTSOUNDBUFFER p = nullptr;
    desc.dwSize = 20;
    EXPECT_EQ(DSERR_INVALIDPARAM, m_lpDS->CreateSoundBuffer(&desc, &p, nullptr));
    desc.dwSize = sizeof desc;
    desc.dwBufferBytes = 2;
    EXPECT_EQ(DSERR_INVALIDPARAM, m_lpDS->CreateSoundBuffer(&desc, &p, nullptr));
    desc.dwBufferBytes = 4000;
    wfx.wFormatTag = WAVE_FORMAT_ADPCM;
    EXPECT_EQ(DSERR_BADFORMAT, m_lpDS->CreateSoundBuffer(&desc, &p, nullptr));
    wfx = Format(2, 44100, 16);
    wfx.nBlockAlign = 2;
    EXPECT_EQ(DSERR_BADFORMAT, m_lpDS->CreateSoundBuffer(&desc, &p, nullptr));
    wfx = Format(3, 44100, 16);
    EXPECT_EQ(DSERR_BADFORMAT, m_lpDS->CreateSoundBuffer(&desc, &p, nullptr));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(0, GetLiveSoundBufferCount());
}

TEST_F(DirectSoundTest, PrimaryBufferTakesTheGameFormatAtPriorityLevel) {
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, {}};
    LPDIRECTSOUNDBUFFER lpPrimary = nullptr;
    ASSERT_EQ(DS_OK, m_lpDS->CreateSoundBuffer(&desc, &lpPrimary, nullptr));
    m_Buffers.push_back(lpPrimary);
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    ASSERT_EQ(DS_OK, lpPrimary->SetFormat(&wfx));
    WAVEFORMATEX got{};
    DWORD dwSize = 0;
    ASSERT_EQ(DS_OK, lpPrimary->GetFormat(&got, sizeof got, &dwSize));
    EXPECT_EQ(18u, dwSize);
    EXPECT_EQ(0, memcmp(&wfx, &got, sizeof wfx));
    LONG v = 1;
    EXPECT_EQ(DS_OK, lpPrimary->GetVolume(&v));
    EXPECT_EQ(0, v);
    LPVOID p1;
    DWORD n1;
    EXPECT_EQ(DSERR_PRIOLEVELNEEDED, lpPrimary->Lock(0, 4, &p1, &n1, nullptr, nullptr, 0));
    m_lpDS->SetCooperativeLevel(nullptr, DSSCL_NORMAL);
    EXPECT_EQ(DSERR_PRIOLEVELNEEDED, lpPrimary->SetFormat(&wfx));
}

TEST_F(DirectSoundTest, CursorsFollowTheClock) {
    LPDIRECTSOUNDBUFFER p = Make(Format(2, 44100, 16), 176400);  // one second
    DWORD dwPlay = 1, dwWrite = 1;
    m_Host.AdvanceClock(100);
    Cursors(p, &dwPlay, &dwWrite);
    EXPECT_EQ(0u, dwPlay);  // stopped: nothing moves, both cursors together
    EXPECT_EQ(0u, dwWrite);

    ASSERT_EQ(DS_OK, p->Play(0, 0, DSBPLAY_LOOPING));
    EXPECT_EQ(DWORD(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING), Status(p));
    Cursors(p, &dwPlay, &dwWrite);
    EXPECT_EQ(0u, dwPlay);
    EXPECT_EQ(441u * 4, dwWrite);  // 10 ms ahead

    m_Host.AdvanceClock(100);
    Cursors(p, &dwPlay, &dwWrite);
    EXPECT_EQ(4410u * 4, dwPlay);
    EXPECT_EQ(4851u * 4, dwWrite);

    m_Host.AdvanceClock(895);  // 995 ms in: the write cursor has wrapped, the play cursor not yet
    Cursors(p, &dwPlay, &dwWrite);
    EXPECT_EQ(43879u * 4, dwPlay);
    EXPECT_EQ((43879u + 441u) * 4 - 176400, dwWrite);

    m_Host.AdvanceClock(5);
    Cursors(p, &dwPlay, &dwWrite);
    EXPECT_EQ(0u, dwPlay);

    ASSERT_EQ(DS_OK, p->Stop());
    m_Host.AdvanceClock(50);
    Cursors(p, &dwPlay, &dwWrite);
    EXPECT_EQ(0u, dwPlay);
    EXPECT_EQ(0u, Status(p));
}

TEST_F(DirectSoundTest, FrequencyScalesCursorSpeed) {
    LPDIRECTSOUNDBUFFER p = Make(Format(1, 22050, 16), 44100);
    ASSERT_EQ(DS_OK, p->Play(0, 0, DSBPLAY_LOOPING));
    m_Host.AdvanceClock(200);
    DWORD dwPlay = 0;
    Cursors(p, &dwPlay, nullptr);
    EXPECT_EQ(4410u * 2, dwPlay);
    ASSERT_EQ(DS_OK, p->SetFrequency(44100));
    m_Host.AdvanceClock(100);
    Cursors(p, &dwPlay, nullptr);
    EXPECT_EQ(8820u * 2, dwPlay);
    DWORD dwFreq = 0;
    ASSERT_EQ(DS_OK, p->SetFrequency(DSBFREQUENCY_ORIGINAL));
    p->GetFrequency(&dwFreq);
    EXPECT_EQ(22050u, dwFreq);
    EXPECT_EQ(DSERR_INVALIDPARAM, p->SetFrequency(99));

    LPDIRECTSOUNDBUFFER q = Make(Format(1, 22050, 16), 4410, 0);
    EXPECT_EQ(DSERR_CONTROLUNAVAIL, q->SetFrequency(44100));
    EXPECT_EQ(DSERR_CONTROLUNAVAIL, q->SetVolume(-100));
}

TEST_F(DirectSoundTest, OneShotStopsAtItsEndBackAtTheStart) {
    LPDIRECTSOUNDBUFFER p = Make(Format(2, 44100, 16), 4410 * 4);  // 100 ms
    ASSERT_EQ(DS_OK, p->Play(0, 0, 0));
    m_Host.AdvanceClock(50);
    DWORD dwPlay = 0;
    Cursors(p, &dwPlay, nullptr);
    EXPECT_EQ(2205u * 4, dwPlay);
    EXPECT_EQ(DWORD(DSBSTATUS_PLAYING), Status(p));
    m_Host.AdvanceClock(50);
    EXPECT_EQ(0u, Status(p));
    Cursors(p, &dwPlay, nullptr);
    EXPECT_EQ(0u, dwPlay);
}

TEST_F(DirectSoundTest, ReplayedEffectRestartsFromItsStart) {
    LPDIRECTSOUNDBUFFER p = Make(Format(2, 44100, 16), 44100 * 4);
    Write(p, RampStereo16(44100));
    m_Host.StartAudioRecording();
    ASSERT_EQ(DS_OK, p->Play(0, 0, 0));
    m_Host.AdvanceClock(10);  // frames 0..440
    p->Stop();
    p->SetCurrentPosition(0);
    p->Play(0, 0, 0);
    m_Host.AdvanceClock(1);  // 44 more frames: the start again
    std::vector<int16_t> rec = m_Host.GetAudioRecording();
    ASSERT_EQ(size_t(485 * 2), rec.size());
    EXPECT_EQ(440, rec[440 * 2]);
    EXPECT_EQ(-440, rec[440 * 2 + 1]);
    EXPECT_EQ(0, rec[441 * 2]);
    EXPECT_EQ(5, rec[446 * 2]);
}

TEST_F(DirectSoundTest, RingLockWrapsAtTheEnd) {
    LPDIRECTSOUNDBUFFER p = Make(Format(2, 44100, 16), 1000);
    LPVOID p1 = nullptr, p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(DS_OK, p->Lock(900, 300, &p1, &n1, &p2, &n2, 0));
    EXPECT_EQ(100u, n1);
    EXPECT_EQ(200u, n2);
    ASSERT_NE(nullptr, p2);
    EXPECT_EQ(DSERR_INVALIDCALL, p->Lock(0, 4, &p1, &n1, nullptr, nullptr, 0));  // one lock at a time
    memset(p1, 0xAA, n1);
    memset(p2, 0xBB, n2);
    ASSERT_EQ(DS_OK, p->Unlock(p1, n1, p2, n2));

    ASSERT_EQ(DS_OK, p->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER));
    EXPECT_EQ(1000u, n1);
    EXPECT_EQ(0u, n2);
    EXPECT_EQ(nullptr, p2);
    const uint8_t* b = static_cast<const uint8_t*>(p1);
    EXPECT_EQ(0xBB, b[0]);
    EXPECT_EQ(0xBB, b[199]);
    EXPECT_EQ(0x00, b[200]);
    EXPECT_EQ(0x00, b[899]);
    EXPECT_EQ(0xAA, b[900]);
    EXPECT_EQ(0xAA, b[999]);
    ASSERT_EQ(DS_OK, p->Unlock(p1, n1, nullptr, 0));

    // A span ending exactly at the end does not wrap; one past it needs the second part.
    ASSERT_EQ(DS_OK, p->Lock(996, 4, &p1, &n1, &p2, &n2, 0));
    EXPECT_EQ(4u, n1);
    EXPECT_EQ(0u, n2);
    ASSERT_EQ(DS_OK, p->Unlock(p1, n1, p2, n2));
    EXPECT_EQ(DSERR_INVALIDPARAM, p->Lock(996, 8, &p1, &n1, nullptr, nullptr, 0));
    EXPECT_EQ(DSERR_INVALIDPARAM, p->Lock(1000, 4, &p1, &n1, &p2, &n2, 0));
    EXPECT_EQ(DSERR_INVALIDPARAM, p->Lock(0, 1001, &p1, &n1, &p2, &n2, 0));
    EXPECT_EQ(DSERR_INVALIDCALL, p->Unlock(p1, n1, nullptr, 0));
}

TEST_F(DirectSoundTest, LockFromTheWriteCursor) {
    LPDIRECTSOUNDBUFFER p = Make(Format(2, 44100, 16), 176400);
    p->Play(0, 0, DSBPLAY_LOOPING);
    m_Host.AdvanceClock(985);
    LPVOID p1 = nullptr, p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(DS_OK, p->Lock(0, 8000, &p1, &n1, &p2, &n2, DSBLOCK_FROMWRITECURSOR));
    // Play cursor at 43438 frames, the write cursor 441 frames on: 221 frames before the end.
    EXPECT_EQ(176400u - (43438u + 441u) * 4, n1);
    EXPECT_EQ(8000u - n1, n2);
    p->Unlock(p1, n1, p2, n2);
}

TEST_F(DirectSoundTest, MixIsExactAtUnityAndScaledByVolume) {
    LPDIRECTSOUNDBUFFER p = Make(Format(2, 44100, 16), 441 * 4);
    Write(p, Pcm16(std::vector<int16_t>(441 * 2, 10000)));
    m_Host.StartAudioRecording();
    p->Play(0, 0, DSBPLAY_LOOPING);
    m_Host.AdvanceClock(1);
    ASSERT_EQ(DS_OK, p->SetVolume(-600));  // 10^(-0.3) = 0.5012
    m_Host.AdvanceClock(1);
    ASSERT_EQ(DS_OK, p->SetVolume(DSBVOLUME_MIN));
    m_Host.AdvanceClock(1);
    EXPECT_EQ(DSERR_INVALIDPARAM, p->SetVolume(-10001));
    EXPECT_EQ(DSERR_INVALIDPARAM, p->SetVolume(1));
    LONG v = 0;
    p->GetVolume(&v);
    EXPECT_EQ(-10000, v);
    std::vector<int16_t> rec = m_Host.GetAudioRecording();
    ASSERT_EQ(size_t(132 * 2), rec.size());
    EXPECT_EQ(10000, rec[0]);
    EXPECT_EQ(10000, rec[43 * 2 + 1]);
    EXPECT_NEAR(5012, rec[44 * 2], 1);
    EXPECT_EQ(0, rec[88 * 2]);
}

// A tap hears the streamed buffer and the others apart, before the clamp; the mix is the same.
TEST_F(DirectSoundTest, TwoBuffersAddAndSaturateAndATapHearsThemApart) {
    LPDIRECTSOUNDBUFFER a = Make(Format(2, 44100, 16), 441 * 4);
    LPDIRECTSOUNDBUFFER b = Make(Format(2, 44100, 16), 441 * 4, DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_CTRLVOLUME);
    Write(a, Pcm16(std::vector<int16_t>(441 * 2, 20000)));
    Write(b, Pcm16(std::vector<int16_t>(441 * 2, 15000)));
    std::vector<int32_t> heard;  // streamed, others: left of each frame
    auto tap = [](const int32_t* pStreamed, const int32_t* pOthers, uint32_t nFrames, void* pContext) {
        auto* pHeard = static_cast<std::vector<int32_t>*>(pContext);
        for (uint32_t i = 0; i < nFrames; ++i) pHeard->insert(pHeard->end(), {pStreamed[2 * i], pOthers[2 * i]});
    };
    SetDirectSoundMixTap(tap, &heard);
    m_Host.StartAudioRecording();
    a->Play(0, 0, DSBPLAY_LOOPING);
    m_Host.AdvanceClock(1);
    b->Play(0, 0, DSBPLAY_LOOPING);
    m_Host.AdvanceClock(1);
    SetDirectSoundMixTap(nullptr, nullptr);
    m_Host.AdvanceClock(1);
    std::vector<int16_t> rec = m_Host.GetAudioRecording();
    ASSERT_EQ(size_t(132 * 2), rec.size());
    EXPECT_EQ(20000, rec[0]);
    EXPECT_EQ(32767, rec[44 * 2]);
    EXPECT_EQ(32767, rec[88 * 2]);
    ASSERT_EQ(size_t(88 * 2), heard.size());
    EXPECT_EQ(0, heard[0]);
    EXPECT_EQ(20000, heard[1]);
    EXPECT_EQ(15000, heard[44 * 2]);
    EXPECT_EQ(20000, heard[44 * 2 + 1]);
}

TEST_F(DirectSoundTest, EightBitMonoAtHalfRateIsInterpolated) {
    LPDIRECTSOUNDBUFFER p = Make(Format(1, 22050, 8), 4);
    Write(p, {128 + 64, 128, 128 - 64, 128});
    m_Host.StartAudioRecording();
    p->Play(0, 0, 0);
    m_Host.AdvanceClock(1);
    std::vector<int16_t> rec = m_Host.GetAudioRecording();
    ASSERT_GE(rec.size(), size_t(16));
    const int16_t expect[8] = {16384, 8192, 0, -8192, -16384, -8192, 0, 0};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(expect[i], rec[2 * i]) << "frame " << i;
        EXPECT_EQ(rec[2 * i], rec[2 * i + 1]) << "mono reaches both channels";
    }
    EXPECT_EQ(0u, Status(p));
}

// The runs of frames the mixer takes at once against its mix a frame at a time: the same sums, the
// voice left in the same state.
TEST(SoundMix, RunsMixAsFramesOneByOneInEveryFormat) {
    uint32_t nSeed = 12345;
    auto next = [&] { return nSeed = nSeed * 1103515245u + 12345u, nSeed >> 8; };
    std::vector<uint8_t> data(4 * 3000);
    for (uint8_t& b : data) b = static_cast<uint8_t>(next());
    const uint32_t rates[] = {44100, 22050, 11025, 8000, 48000, 100, 100000, 44101};
    const uint32_t lengths[] = {1, 2, 3, 17, 700, 3000};
    for (int nBits : {8, 16}) {
        for (int nChannels : {1, 2}) {
            const WAVEFORMATEX wfx = Format(static_cast<WORD>(nChannels), 44100, static_cast<WORD>(nBits));
            for (uint32_t nLength : lengths) {
                for (uint32_t dwRate : rates) {
                    for (bool bLooping : {false, true}) {
                        MIXVOICE a;
                        SetupVoice(&a, &wfx, data.data(), nLength * wfx.nBlockAlign);
                        SetVoiceFrequency(&a, dwRate);
                        a.bPlaying = true;
                        a.bLooping = bLooping;
                        // Gains up to twice unity, unity itself among them.
                        a.nGain = next() % 4 ? static_cast<int32_t>(next() % (2 * MIX_UNITY_GAIN)) : MIX_UNITY_GAIN;
                        // Starting anywhere, on a whole frame or between two, the last frame and
                        // the end included.
                        a.nPos = static_cast<uint64_t>(next() % nLength) << 32;
                        if (next() % 3 == 0) a.nPos |= next() & 0xFFFFFFFFu;
                        if (next() % 4 == 0) a.nPos = static_cast<uint64_t>(nLength - 1) << 32;
                        MIXVOICE b = a;
                        std::vector<int32_t> accumA(2 * MIX_BLOCK_FRAMES, 7), accumB(2 * MIX_BLOCK_FRAMES, 7);
                        for (int nBlock = 0; nBlock < 4 && (a.bPlaying || b.bPlaying); nBlock++) {
                            const uint32_t nFrames = 1 + next() % MIX_BLOCK_FRAMES;
                            MixVoice(&a, accumA.data(), nFrames);
                            EnableMixRuns(false);
                            MixVoice(&b, accumB.data(), nFrames);
                            EnableMixRuns(true);
                            ASSERT_EQ(accumA, accumB) << nBits << " bits, " << nChannels << " channels, " << nLength
                                                      << " frames at " << dwRate << (bLooping ? ", looping" : "");
                            ASSERT_EQ(a.nPos, b.nPos);
                            ASSERT_EQ(a.bPlaying, b.bPlaying);
                        }
                    }
                }
            }
        }
    }
}

// The clamp at unity and at another master gain, against the rule, at every length around the
// groups the mixer packs at once.
TEST(SoundMix, TheClampSaturatesEverySumAsTheRuleDoes) {
    uint32_t nSeed = 777;
    std::vector<int32_t> accum(2 * 40);
    for (int32_t& n : accum) n = static_cast<int32_t>((nSeed = nSeed * 1103515245u + 12345u) >> 8) % 100000 - 50000;
    accum[0] = 32767;
    accum[1] = 32768;
    accum[2] = -32768;
    accum[3] = -32769;
    for (int32_t nGain : {MIX_UNITY_GAIN, MIX_UNITY_GAIN / 3}) {
        for (uint32_t nFrames = 0; nFrames <= 20; nFrames++) {
            std::vector<int16_t> out(2 * nFrames + 1, 99), want(2 * nFrames + 1, 99);
            for (uint32_t i = 0; i < 2 * nFrames; i++) {
                const int32_t s = static_cast<int32_t>((static_cast<int64_t>(accum[i]) * nGain) >> 16);
                want[i] = static_cast<int16_t>(s > 32767 ? 32767 : (s < -32768 ? -32768 : s));
            }
            ClampMix(accum.data(), nGain, out.data(), nFrames);
            ASSERT_EQ(out, want) << nFrames << " frames at gain " << nGain;
        }
    }
}

}  // namespace
