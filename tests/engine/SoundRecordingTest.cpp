// A scripted minute of the game's sound, shortened: music streamed by the real thread, two effects
// over it, a fade-out; the headless output is recorded, measured and kept as SoundRecording.wav.
#include <chrono>
#include <cmath>
#include <thread>

#include "engine/BgmWave.h"
#include "engine/PCMManagerTask.h"
#include "engine/SoundFixture.h"

namespace {

std::vector<uint8_t> ToneWave(uint32_t nRate, uint16_t nChannels, double fHz, double fAmp, uint32_t nFrames) {
    std::vector<int16_t> s;
    for (uint32_t i = 0; i < nFrames; ++i) {
        double v = fAmp * 32767 * std::sin(2 * 3.141592653589793 * fHz * i / nRate);
        for (int c = 0; c < nChannels; ++c) s.push_back(static_cast<int16_t>(v));
    }
    WAVEIMAGE w;
    w.nRate = nRate;
    w.nChannels = nChannels;
    w.data = Pcm16(s);
    return BuildWave(w);
}

// Root mean square of both channels over [from, to) ms.
double Rms(const std::vector<int16_t>& rec, uint32_t nFromMs, uint32_t nToMs) {
    size_t a = static_cast<size_t>(nFromMs) * 441 / 10 * 2, b = static_cast<size_t>(nToMs) * 441 / 10 * 2;
    double sum = 0;
    for (size_t i = a; i < b && i < rec.size(); ++i) sum += static_cast<double>(rec[i]) * rec[i];
    return std::sqrt(sum / static_cast<double>(b - a)) / 32768.0;
}

class SoundRecordingTest : public SoundFixture {};

TEST_F(SoundRecordingTest, MusicWithTwoEffectsAndAFade) {
    WriteFile("GameData/Music/Song.wav", ToneWave(44100, 2, 220, 0.25, 44100 * 3 / 2));  // shorter than the ring
    WriteFile("GameData/System/Shot.wav", ToneWave(22050, 1, 880, 0.5, 22050 / 5));
    WriteFile("GameData/System/Break1.wav", ToneWave(11025, 1, 330, 0.6, 11025 * 3 / 10));
    CPCMManagerTask bank;
    ASSERT_EQ(1, bank.Init());
    CBgmWave bgm;
    ASSERT_EQ(1, bgm.StartThread(g_lpDS, g_lpDSBPrimary));
    m_Host.StartAudioRecording();
    ASSERT_EQ(1, bgm.Open(".\\GameData\\Music.dat", ".\\GameData\\Music\\Song.wav", 500));
    bgm.Play(1);
    // 6 s of 60 Hz ticks: Shot at 1 s, Break1 at 2 s, fade from 3 s.
    for (int nTick = 0; nTick < 360; ++nTick) {
        if (nTick == 60) bank.Play(".\\GameData\\System\\Shot.wav");
        if (nTick == 120) bank.Play(".\\GameData\\System\\Break1.wav");
        if (nTick == 180) {
            EXPECT_EQ(1, bgm.FadeOut());
        }
        bank.Update();
        m_Host.AdvanceClock(nTick % 3 == 2 ? 16 : 17);
        // The streaming thread follows the clock; give it the processor now and then.
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    m_Host.StopAudioRecording();
    bgm.Close();
    std::vector<int16_t> rec = m_Host.GetAudioRecording();
    ASSERT_EQ(size_t(6000 * 441 / 10 * 2), rec.size());
    double fMusic = Rms(rec, 200, 900);
    EXPECT_NEAR(0.25 / std::sqrt(2.0), fMusic, 0.03);
    EXPECT_GT(Rms(rec, 1020, 1180), fMusic * 1.5);   // the shot over the music
    EXPECT_GT(Rms(rec, 2020, 2280), fMusic * 1.5);   // the break over the music
    EXPECT_LT(Rms(rec, 5700, 6000), 0.002);          // faded to silence
    EXPECT_TRUE(m_Host.WriteAudioRecording((m_OldDir + "/SoundRecording.wav").c_str()));
}

}  // namespace
