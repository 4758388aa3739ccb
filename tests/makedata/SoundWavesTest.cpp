// The generated sound as the mixer plays it: every effect and every piece of music keeps under its
// ceiling, so that together they leave the mix its headroom, and the music is levelled alike; the
// gliding effects hold nothing above their top partial (nothing folds back as a mirror image); and
// every scene's theme is its own, told apart by a measured tempo, key and sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/dsound/SoundMix.h"
#include "support/SoundMeasure.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(ZORVA_TEST_DATA) / "GameData";

double Db(double x) { return x > 0 ? 20.0 * std::log10(x) : -200.0; }

// The largest sample of a 16-bit wave file and its format; a zero rate when it is none.
struct WAVEPEAK {
    uint32_t nRate = 0, nChannels = 0;
    double fPeak = 0;
};

WAVEPEAK PeakOf(const std::string& strPath)
{
    const std::string s = ReadWholeFile(strPath);
    WAVEPEAK w;
    size_t nFmt = 0, nData = 0;
    uint32_t nFmtSize = 0, nBytes = 0;
    if (!FindChunk(s, "fmt ", &nFmt, &nFmtSize) || nFmtSize < 16 || ReadLe(s, nFmt + 14, 2) != 16 ||
        !FindChunk(s, "data", &nData, &nBytes))
        return w;
    w.nChannels = ReadLe(s, nFmt + 2, 2);
    w.nRate = ReadLe(s, nFmt + 4, 4);
    const uint8_t* p = reinterpret_cast<const uint8_t*>(s.data()) + nData;
    int nPeak = 0;
    for (uint32_t i = 0; i + 1 < nBytes; i += 2)
        nPeak = std::max(nPeak, std::abs(static_cast<int>(static_cast<int16_t>(p[i] | p[i + 1] << 8))));
    w.fPeak = nPeak / 32768.0;
    return w;
}

// The wave as the mixer renders it at its own rate, left side.
std::vector<float> AsMixed(const std::string& strPath)
{
    const std::string s = ReadWholeFile(strPath);
    size_t nFmt = 0, nData = 0;
    uint32_t nFmtSize = 0, nBytes = 0;
    if (!FindChunk(s, "fmt ", &nFmt, &nFmtSize) || nFmtSize < 16 || !FindChunk(s, "data", &nData, &nBytes))
        return {};
    WAVEFORMATEX wfx = {};
    wfx.wFormatTag = static_cast<WORD>(ReadLe(s, nFmt, 2));
    wfx.nChannels = static_cast<WORD>(ReadLe(s, nFmt + 2, 2));
    wfx.nSamplesPerSec = ReadLe(s, nFmt + 4, 4);
    wfx.nAvgBytesPerSec = ReadLe(s, nFmt + 8, 4);
    wfx.nBlockAlign = static_cast<WORD>(ReadLe(s, nFmt + 12, 2));
    wfx.wBitsPerSample = static_cast<WORD>(ReadLe(s, nFmt + 14, 2));
    MIXVOICE voice;
    SetupVoice(&voice, &wfx, reinterpret_cast<const uint8_t*>(s.data() + nData), nBytes);
    voice.bPlaying = true;
    const uint32_t nFrames = static_cast<uint32_t>((uint64_t)voice.nFrames * DSOUND_MIX_RATE / wfx.nSamplesPerSec) + 1;
    std::vector<int32_t> accum(2 * nFrames, 0);
    MixVoice(&voice, accum.data(), nFrames);
    std::vector<float> left(nFrames);
    for (uint32_t i = 0; i < nFrames; i++)
        left[i] = accum[2 * i] / 32768.0f;
    return left;
}

// ---- A theme's measure ---------------------------------------------------------------------------

const char* const kPitchNames[12] = {"C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"};

struct THEMEMEASURE {
    double fBpm = 0;
    int nKey = 0;           // tonic pitch class
    bool bMinor = false;
    std::vector<double> bands;  // share of the power per octave from 50 Hz, in dB
    double fCentroid = 0;
};

// Onsets as rises of the log energy of the signal's slope, 10 ms a frame; the tempo is the beat
// period whose first four multiples line up best with them, leaning towards 120 a minute.
double Tempo(const std::vector<float>& mono)
{
    const size_t nHop = 441;
    std::vector<double> onsets;
    double fLast = 0;
    for (size_t s = 0; s + nHop <= mono.size(); s += nHop) {
        double e = 0;
        for (size_t i = 1; i < nHop; i++) {
            const double d = mono[s + i] - mono[s + i - 1];
            e += d * d;
        }
        e = std::log(1e-9 + e);
        onsets.push_back(std::max(0.0, e - fLast));
        fLast = e;
    }
    double fMean = 0;
    for (double v : onsets)
        fMean += v / onsets.size();
    for (double& v : onsets)
        v -= fMean;
    const size_t n = onsets.size();
    auto lineUp = [&](double fLag) {
        const size_t l = static_cast<size_t>(fLag);
        const double fr = fLag - l;
        double acc = 0;
        for (size_t i = 0; i < n; i++)
            acc += onsets[i] * (onsets[(i + l) % n] * (1 - fr) + onsets[(i + l + 1) % n] * fr);
        return acc / n;
    };
    double fBest = -1e9, fBestBpm = 0;
    for (double fBpm = 50; fBpm <= 220; fBpm += 0.5) {
        double acc = 0;
        for (int k = 1; k <= 4; k++)
            acc += lineUp(6000.0 / fBpm * k);
        const double fOctaves = std::log2(fBpm / 120.0);
        acc *= std::exp(-0.5 * fOctaves * fOctaves);
        if (acc > fBest) {
            fBest = acc;
            fBestBpm = fBpm;
        }
    }
    return fBestBpm;
}

THEMEMEASURE Measure(const PCMWAVE& w)
{
    THEMEMEASURE m;
    std::vector<float> mono(w.Frames());
    for (size_t i = 0; i < mono.size(); i++)
        mono[i] = 0.5f * (w.channels[0][i] + w.channels[1][i]);
    m.fBpm = Tempo(mono);
    // Pitch classes from 60 Hz to 2.5 kHz; each loses a share of the one a fifth below it, whose
    // third harmonic it partly is.
    const size_t n = 8192;
    double chroma[12] = {}, fWeighted = 0, fTotal = 0;
    std::vector<double> bands(9, 0.0);
    for (size_t s = 0; s + n <= mono.size(); s += 4 * n) {
        const std::vector<double> power = PowerSpectrum(mono, s, n);
        for (size_t k = 1; k < n / 2; k++) {
            const double f = k * static_cast<double>(w.nRate) / n, a = std::sqrt(power[k]);
            if (f > 60 && f < 2500)
                chroma[((static_cast<int>(std::lround(12 * std::log2(f / 440.0))) % 12) + 21) % 12] += a;
            fWeighted += f * a;
            fTotal += a;
            const int b = f < 50 ? -1 : static_cast<int>(std::log2(f / 50));
            if (b >= 0 && b < 9)
                bands[b] += power[k];
        }
    }
    double pcp[12];
    for (int i = 0; i < 12; i++)
        pcp[i] = std::max(0.0, chroma[i] - 0.3 * chroma[(i + 5) % 12]);
    // The key whose major or minor profile (Krumhansl and Kessler) the classes follow best.
    static const double kMajor[12] = {6.35, 2.23, 3.48, 2.33, 4.38, 4.09, 2.52, 5.19, 2.39, 3.66, 2.29, 2.88};
    static const double kMinor[12] = {6.33, 2.68, 3.52, 5.38, 2.60, 3.53, 2.54, 4.75, 3.98, 2.69, 3.34, 3.17};
    double fBest = -2;
    for (int nMode = 0; nMode < 2; nMode++) {
        const double* profile = nMode ? kMinor : kMajor;
        for (int k = 0; k < 12; k++) {
            double mx = 0, my = 0;
            for (int i = 0; i < 12; i++) {
                mx += pcp[(i + k) % 12] / 12;
                my += profile[i] / 12;
            }
            double sxy = 0, sxx = 0, syy = 0;
            for (int i = 0; i < 12; i++) {
                const double x = pcp[(i + k) % 12] - mx, y = profile[i] - my;
                sxy += x * y;
                sxx += x * x;
                syy += y * y;
            }
            const double r = sxy / std::sqrt(sxx * syy);
            if (r > fBest) {
                fBest = r;
                m.nKey = k;
                m.bMinor = nMode == 1;
            }
        }
    }
    double fBands = 0;
    for (double b : bands)
        fBands += b;
    for (double b : bands)
        m.bands.push_back(10 * std::log10(b / fBands + 1e-12));
    m.fCentroid = fWeighted / fTotal;
    return m;
}

// How far apart two themes' spectra are: the RMS of their octave bands' difference, in dB.
double SoundDistance(const THEMEMEASURE& a, const THEMEMEASURE& b)
{
    double sum = 0;
    for (size_t i = 0; i < a.bands.size(); i++)
        sum += (a.bands[i] - b.bands[i]) * (a.bands[i] - b.bands[i]);
    return std::sqrt(sum / a.bands.size());
}

struct THEMEFILE {
    const char* pszScene;
    const char* pszPath;
};

const THEMEFILE kThemes[] = {
    {"title", "Title/StartMenu.wav"},  {"opening", "Opening/Opening.wav"}, {"attack", "Opening/Crisis.wav"},
    {"stage 1", "Stage01/Stage01.wav"}, {"stage 2", "Stage02/Stage02.wav"}, {"stage 3", "Stage03/Stage03.wav"},
    {"stage 4", "Stage04/Stage04.wav"}, {"stage 5", "Stage05/Stage05.wav"}, {"boss", "Stage01/Boss.wav"},
    {"ending", "Ending/Ending.wav"},    {"dawn", "Ending/Dawn.wav"},
};

bool IsMusic(const fs::path& path)
{
    for (const THEMEFILE& t : kThemes)
        if (path.filename() == fs::path(t.pszPath).filename())
            return true;
    return false;
}

class SoundWaves : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (const THEMEFILE& t : kThemes)
            s_Themes.push_back(ReadPcmWave((kData / t.pszPath).string()));
    }
    static void TearDownTestSuite() { s_Themes.clear(); }

    static std::vector<PCMWAVE> s_Themes;
};

std::vector<PCMWAVE> SoundWaves::s_Themes;

} // namespace

TEST_F(SoundWaves, EffectsAndMusicKeepUnderTheirCeilingsAndTheMusicIsLevelledAlike)
{
    int nEffects = 0, nMusic = 0;
    for (const auto& e : fs::recursive_directory_iterator(kData)) {
        if (e.path().extension() != ".wav")
            continue;
        const WAVEPEAK w = PeakOf(e.path().string());
        const std::string name = e.path().lexically_relative(kData).string();
        ASSERT_GT(w.nRate, 0u) << name;
        if (IsMusic(e.path())) {
            nMusic++;
            EXPECT_EQ(w.nChannels, 2u) << name;
            EXPECT_LE(Db(w.fPeak), -6.9) << name;
        } else if (name.rfind("Opening/Vo", 0) != 0 && name.rfind("Ending/Vo", 0) != 0) {
            // Everything the sound bank plays; its two jingles are music, in stereo.
            nEffects++;
            EXPECT_EQ(w.nRate, 44100u) << name;
            EXPECT_LE(Db(w.fPeak), w.nChannels == 2 ? -6.9 : -12.9) << name;
        }
    }
    EXPECT_GE(nMusic, 11 + 4);  // the boss's theme is in every stage's folder
    EXPECT_GE(nEffects, 44);
    for (size_t i = 0; i < s_Themes.size(); i++)
        EXPECT_NEAR(Lufs(s_Themes[i]), -21.0, 0.7) << kThemes[i].pszPath;
}

TEST_F(SoundWaves, GlidesAsTheMixerPlaysThemHoldNothingAboveTheirTopPartial)
{
    for (const char* pszName : {"Shot", "BeamRifle", "HawkWind", "GroundWiper", "EnemyLaser1", "PlayerDamage2"}) {
        const std::vector<float> mixed = AsMixed((kData / "System" / (std::string(pszName) + ".wav")).string());
        ASSERT_FALSE(mixed.empty()) << pszName;
        size_t n = 1;
        while (n < mixed.size())
            n <<= 1;
        const std::vector<double> power = PowerSpectrum(mixed, 0, n);
        double fAll = 0, fAbove = 0;
        for (size_t k = 0; k < power.size(); k++) {
            fAll += power[k];
            if (k * 44100.0 / n > 16500.0)
                fAbove += power[k];
        }
        const double fAboveDb = 10 * std::log10(fAbove / fAll + 1e-30);
        printf("%-14s above 16.5 kHz: %6.1f dB of the whole\n", pszName, fAboveDb);
        EXPECT_LT(fAboveDb, -65.0) << pszName;
    }
}

TEST_F(SoundWaves, EveryScenesThemeHasItsOwnTempoKeyAndSound)
{
    std::vector<THEMEMEASURE> measures;
    for (size_t i = 0; i < s_Themes.size(); i++) {
        ASSERT_EQ(s_Themes[i].channels.size(), 2u) << kThemes[i].pszPath;
        measures.push_back(Measure(s_Themes[i]));
    }
    printf("%-8s %6s %-9s %7s %8s  octave bands from 50 Hz (dB of the whole)\n", "theme", "tempo", "key", "centre",
           "nearest");
    for (size_t i = 0; i < measures.size(); i++) {
        const THEMEMEASURE& m = measures[i];
        double fNearest = 1e9;
        for (size_t j = 0; j < measures.size(); j++)
            if (j != i)
                fNearest = std::min(fNearest, SoundDistance(m, measures[j]));
        printf("%-8s %6.1f %-2s %-6s %6.0fHz %6.1fdB ", kThemes[i].pszScene, m.fBpm, kPitchNames[m.nKey],
               m.bMinor ? "minor" : "major", m.fCentroid, fNearest);
        for (double b : m.bands)
            printf(" %4.0f", b);
        printf("\n");
    }
    for (size_t i = 0; i < measures.size(); i++) {
        for (size_t j = i + 1; j < measures.size(); j++) {
            const THEMEMEASURE &a = measures[i], &b = measures[j];
            SCOPED_TRACE(std::string(kThemes[i].pszScene) + " and " + kThemes[j].pszScene);
            EXPECT_GT(std::fabs(std::log(a.fBpm / b.fBpm)), std::log(1.04));
            EXPECT_TRUE(a.nKey != b.nKey || a.bMinor != b.bMinor);
            EXPECT_GT(SoundDistance(a, b), 1.0);
        }
    }
}
