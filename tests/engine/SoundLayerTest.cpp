#include <cstring>
#include <vector>

#include "engine/PCMManagerTask.h"
#include "engine/SoundFixture.h"

namespace {

// Records the volume calls a helper makes on a buffer.
class CVolumeSpy : public IDirectSoundBuffer {
public:
    explicit CVolumeSpy(LONG lVolume) : m_lVolume(lVolume) {}
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 0; }
    HRESULT GetCurrentPosition(LPDWORD p, LPDWORD w) override {
        if (p) *p = m_dwPos;
        if (w) *w = m_dwPos;
        return DS_OK;
    }
    HRESULT GetFormat(LPWAVEFORMATEX, DWORD, LPDWORD) override { return DS_OK; }
    HRESULT GetVolume(LPLONG pl) override {
        *pl = m_lVolume;
        return DS_OK;
    }
    HRESULT GetFrequency(LPDWORD) override { return DS_OK; }
    HRESULT GetStatus(LPDWORD pdw) override {
        *pdw = m_bPlaying ? DSBSTATUS_PLAYING : 0;
        return DS_OK;
    }
    HRESULT Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Play(DWORD, DWORD, DWORD) override {
        m_Calls.push_back(1);  // marks the play among the volumes
        m_bPlaying = true;
        return DS_OK;
    }
    HRESULT SetCurrentPosition(DWORD dw) override {
        m_dwPos = dw;
        return DS_OK;
    }
    HRESULT SetFormat(LPCWAVEFORMATEX) override { return DS_OK; }
    HRESULT SetVolume(LONG l) override {
        m_Calls.push_back(l);
        m_lVolume = l;
        return DS_OK;
    }
    HRESULT SetFrequency(DWORD) override { return DS_OK; }
    HRESULT Stop() override {
        m_Calls.push_back(2);  // marks the stop
        m_bPlaying = false;
        return DS_OK;
    }
    HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return DS_OK; }
    HRESULT Restore() override { return DS_OK; }

    std::vector<LONG> m_Calls;
    LONG m_lVolume;
    DWORD m_dwPos = 1234;
    bool m_bPlaying = true;
};

TEST(SoundVolume, FadeOutStepsDownStopsAndRestores) {
    CVolumeSpy spy(-1000);
    FadeOutSoundBuffer(&spy);
    ASSERT_EQ(28u, spy.m_Calls.size());
    for (int k = 0; k < 25; ++k) EXPECT_EQ(-1000 - k * 360, spy.m_Calls[k]) << k;
    EXPECT_EQ(-10000, spy.m_Calls[25]);
    EXPECT_EQ(2, spy.m_Calls[26]);
    EXPECT_EQ(-1000, spy.m_Calls[27]);
    EXPECT_FALSE(spy.m_bPlaying);
    EXPECT_EQ(0u, spy.m_dwPos);
    FadeOutSoundBuffer(nullptr);
}

TEST(SoundVolume, RampedPlayRisesFromSilence) {
    CVolumeSpy spy(-2500);
    spy.m_bPlaying = false;
    PlaySoundBufferRamped(&spy, DSBPLAY_LOOPING);
    ASSERT_EQ(28u, spy.m_Calls.size());
    EXPECT_EQ(-10000, spy.m_Calls[0]);
    EXPECT_EQ(1, spy.m_Calls[1]);
    for (int k = 0; k < 25; ++k) EXPECT_EQ(-10000 + k * 300, spy.m_Calls[2 + k]) << k;
    EXPECT_EQ(-2500, spy.m_Calls[27]);
    EXPECT_EQ(-2500, spy.m_lVolume);
}

class WaveReaderTest : public SoundFixture {};

TEST_F(WaveReaderTest, ReadsThroughTheDataAndResets) {
    WriteFile("GameData/A.wav", StereoWave(1000));
    CWaveReader reader;
    ASSERT_EQ(S_OK, reader.Open(".\\GameData\\A.wav"));
    EXPECT_EQ(4000u, reader.GetSize());
    EXPECT_EQ(2, reader.GetFormat()->nChannels);
    EXPECT_EQ(0, reader.GetFormat()->cbSize);
    std::vector<BYTE> buf(5000);
    DWORD dwRead = 0;
    ASSERT_EQ(S_OK, reader.Read(8, nullptr, &dwRead));  // skips two frames
    ASSERT_EQ(S_OK, reader.Read(5000, buf.data(), &dwRead));
    EXPECT_EQ(3992u, dwRead);
    EXPECT_EQ(2, buf[0]);
    EXPECT_EQ(0u, reader.GetSize());
    ASSERT_EQ(S_OK, reader.Reset());
    EXPECT_EQ(4000u, reader.GetSize());
    ASSERT_EQ(S_OK, reader.Read(4, buf.data(), &dwRead));
    EXPECT_EQ(0, buf[0]);
}

TEST_F(WaveReaderTest, RefusesWavesWhoseChunksLie) {
    WAVEIMAGE shortFmt;
    shortFmt.data = RampStereo16(10);
    shortFmt.nFmtSize = 14;
    WriteFile("GameData/Fmt14.wav", BuildWave(shortFmt));
    WAVEIMAGE truncated;
    truncated.data = RampStereo16(10);
    truncated.nDataSizeDelta = 4;
    WriteFile("GameData/Trunc.wav", BuildWave(truncated));
    WAVEIMAGE badAlign;
    badAlign.data = RampStereo16(10);
    std::vector<uint8_t> bytes = BuildWave(badAlign);
    bytes[32] = 3;  // block alignment 3 for 16-bit stereo
    WriteFile("GameData/Align.wav", bytes);
    std::vector<uint8_t> notWave = StereoWave(10);
    memcpy(notWave.data() + 8, "AVI ", 4);
    WriteFile("GameData/Avi.wav", notWave);

    CWaveReader reader;
    EXPECT_EQ(E_FAIL, reader.Open(".\\GameData\\Fmt14.wav"));
    EXPECT_EQ(E_FAIL, reader.Open(".\\GameData\\Trunc.wav"));
    EXPECT_TRUE(HasDebugLine("Trunc.wav"));
    EXPECT_EQ(E_FAIL, reader.Open(".\\GameData\\Align.wav"));
    EXPECT_TRUE(HasDebugLine("block alignment"));
    EXPECT_EQ(E_FAIL, reader.Open(".\\GameData\\Avi.wav"));
    EXPECT_EQ(E_FAIL, reader.Open(".\\GameData\\Missing.wav"));
    EXPECT_EQ(nullptr, reader.GetFormat());
}

TEST_F(WaveReaderTest, AdpcmKeepsItsExtraFormatBytes) {
    WAVEIMAGE w;
    w.wTag = WAVE_FORMAT_ADPCM;
    w.nChannels = 1;
    w.wBits = 4;
    w.extra = {0xF4, 0x01, 0x07, 0x00, 0xAA};
    w.data = std::vector<uint8_t>(256, 0x11);
    std::vector<uint8_t> bytes = BuildWave(w);
    bytes[32] = 0x00;  // ADPCM blocks: 256 bytes
    bytes[33] = 0x01;
    WriteFile("GameData/Adpcm.wav", bytes);
    CWaveReader reader;
    ASSERT_EQ(S_OK, reader.Open(".\\GameData\\Adpcm.wav"));
    const WAVEFORMATEX* pwfx = reader.GetFormat();
    EXPECT_EQ(WAVE_FORMAT_ADPCM, pwfx->wFormatTag);
    ASSERT_EQ(5, pwfx->cbSize);
    const uint8_t* pExtra = reinterpret_cast<const uint8_t*>(pwfx) + sizeof(WAVEFORMATEX);
    EXPECT_EQ(0xF4, pExtra[0]);
    EXPECT_EQ(0xAA, pExtra[4]);
    // DirectSound takes PCM only: the bank's loader turns it down without a crash, and says why.
    EXPECT_EQ(nullptr, LoadWaveSoundBuffer(".\\GameData\\Adpcm.wav"));
    EXPECT_TRUE(HasDebugLine("Adpcm.wav (a format DirectSound cannot play)"));
}

TEST_F(WaveReaderTest, PcmTheMixerCannotTakeIsRefusedWithAReason) {
    WAVEIMAGE w;
    w.wBits = 24;
    w.data = std::vector<uint8_t>(60, 0x10);
    WriteFile("GameData/Deep.wav", BuildWave(w));
    CWaveReader reader;
    ASSERT_EQ(S_OK, reader.Open(".\\GameData\\Deep.wav"));  // a well-formed wave
    EXPECT_EQ(nullptr, LoadWaveSoundBuffer(".\\GameData\\Deep.wav"));
    EXPECT_TRUE(HasDebugLine("Deep.wav (a format DirectSound cannot play)"));
    EXPECT_EQ(1, GetLiveSoundBufferCount());  // the primary buffer only
}

TEST_F(WaveReaderTest, SoundOffSkipsEverything) {
    ReleaseSound();
    EXPECT_EQ(0, g_bSoundOn);
    PlaySoundFile(".\\GameData\\System\\Shot.wav");
    StopSoundFile(".\\GameData\\System\\Shot.wav");
    EXPECT_EQ(0, IsSoundFilePlaying(".\\GameData\\System\\Shot.wav"));
    EXPECT_EQ(nullptr, LoadWaveSoundBuffer(".\\GameData\\System\\Shot.wav"));
}

class NoAudioTest : public SoundFixture {
protected:
    NoAudioTest() { m_bStartSound = false; }
};

TEST_F(NoAudioTest, InitSoundFailsCleanlyWithoutADevice) {
    m_Host.SetFailAudio(true);
    EXPECT_EQ(-1, InitSound(nullptr));
    EXPECT_EQ(0, g_bSoundOn);
    EXPECT_EQ(nullptr, g_lpDS);
    EXPECT_EQ(nullptr, g_lpDSBPrimary);
    m_Host.SetFailAudio(false);
    EXPECT_EQ(1, InitSound(nullptr));
    EXPECT_EQ(1, g_bSoundOn);
}

}  // namespace
