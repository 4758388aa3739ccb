// The whole game's sound as a player hears it: the generated data played from the logo through the
// five stages and their bosses to the ending by the steering rider, the mixer's two sums (music,
// effects) taken apart block by block as the device renders them. For each stage's ride and each
// boss fight, its busiest ten seconds (the most effect energy) must hold no clipped sample in at
// least 99% of their 50-ms windows, its peak must stay a dB under full scale, and the effects must
// stay within about 6 dB of the music's loudness, so the music is still heard under them (and no
// more than 3 dB under it). The table is printed on every run, with the
// effects that sounded longest in each stretch and, for comparison, the ending's voices over its
// music.
//
// The whole game is a long run: it runs only with ZORVA_LONG_RUNS=1 in the environment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "Playthrough.h"
#include "engine/PCMManagerTask.h"
#include "platform/dsound/DSound.h"
#include "scene/ProgramRun.h"
#include "stage/Stage.h"
#include "support/SoundMeasure.h"

namespace {

const uint32_t kMaxTicks = 120000;
const int kStages = 5;
const uint32_t kRate = 44100;
const uint32_t kWindowFrames = kRate / 20;   // 50 ms
const size_t kStretchWindows = 200;          // ten seconds
const double kFullScale = 32768.0;

// What a stretch of the game is: a stage's ride (1 to 5), its boss fight (11 to 15), the ending
// (21), or anything else (0: the front screens, the menus, the tallies).
int SceneOf(CPlaythrough& game, int* pnBossSeen)
{
    if (game.GetState() == CGame::STATE_ENDING)
        return 21;
    if (game.GetState() != CGame::STATE_STAGE)
        return 0;
    const int nStage = game.GetStageNumber();
    if (nStage < 1 || nStage > kStages)
        return 0;
    if (game.GetStage().IsBossBattle()) {
        *pnBossSeen = nStage;
        return 10 + nStage;
    }
    return *pnBossSeen == nStage ? 0 : nStage;
}

// One 50-ms window of the run.
struct WINDOW {
    int nScene = 0;
    uint32_t nClipped = 0;                            // samples beyond full scale in the mix
    int32_t nPeak = 0;                                // the mix's largest magnitude
    double fMusic = 0, fEffects = 0, fMix = 0;        // sums of squares, full scale 1
    double fMusicK = 0, fEffectsK = 0, fMixK = 0;     // the same, loudness-weighted
};

class CMixMeter {
public:
    static void Tap(const int32_t* pStreamed, const int32_t* pOthers, uint32_t nFrames, void* pContext)
    {
        static_cast<CMixMeter*>(pContext)->Add(pStreamed, pOthers, nFrames);
    }
    void SetScene(int nScene)
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_nScene = nScene;
    }
    uint64_t Frames()
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return m_nFrame;
    }
    const std::vector<WINDOW>& Windows() const { return m_Windows; }

private:
    void Add(const int32_t* pMusic, const int32_t* pEffects, uint32_t nFrames)
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        for (uint32_t i = 0; i < nFrames; i++) {
            if (m_nFrame % kWindowFrames == 0) {
                m_Windows.emplace_back();
                m_Windows.back().nScene = m_nScene;
            }
            m_nFrame++;
            WINDOW& w = m_Windows.back();
            for (int c = 0; c < 2; c++) {
                const int32_t nMusic = pMusic[2 * i + c], nEffects = pEffects[2 * i + c];
                const int32_t nMix = nMusic + nEffects;
                w.nClipped += nMix > 32767 || nMix < -32768;
                w.nPeak = std::max(w.nPeak, nMix < 0 ? -nMix : nMix);
                const double m = nMusic / kFullScale, e = nEffects / kFullScale, x = nMix / kFullScale;
                w.fMusic += m * m;
                w.fEffects += e * e;
                w.fMix += x * x;
                const double mk = m_Weight[c][0].Run(m), ek = m_Weight[c][1].Run(e), xk = m_Weight[c][2].Run(x);
                w.fMusicK += mk * mk;
                w.fEffectsK += ek * ek;
                w.fMixK += xk * xk;
            }
        }
    }

    std::mutex m_Lock;
    int m_nScene = 0;
    uint64_t m_nFrame = 0;
    std::vector<WINDOW> m_Windows;
    CLoudnessFilter m_Weight[2][3];
};

// A stretch's figures.
struct STRETCH {
    size_t nWindows = 0;
    size_t nClean = 0;
    uint64_t nClipped = 0;
    WINDOW sum;
    double CleanShare() const { return nWindows ? 100.0 * nClean / nWindows : 0.0; }
    double PeakDb() const { return sum.nPeak > 0 ? 20.0 * std::log10(sum.nPeak / kFullScale) : -200.0; }
    double ClippedShare() const { return nWindows ? 100.0 * nClipped / (nWindows * 2.0 * kWindowFrames) : 0.0; }
    double Db(double fSquares) const
    {
        const double fMean = fSquares / (nWindows * 2.0 * kWindowFrames);
        return fMean > 0 ? 10.0 * std::log10(fMean) : -200.0;
    }
    // Both channels' mean squares summed, as loudness meters count them.
    double Lufs(double fSquares) const { return LufsOf(fSquares / (nWindows * kWindowFrames)); }
};

STRETCH Measure(const std::vector<WINDOW>& windows, size_t nFirst, size_t nCount)
{
    STRETCH s;
    for (size_t i = nFirst; i < nFirst + nCount; i++) {
        const WINDOW& w = windows[i];
        s.nWindows++;
        s.nClean += w.nClipped == 0;
        s.nClipped += w.nClipped;
        s.sum.nPeak = std::max(s.sum.nPeak, w.nPeak);
        s.sum.fMusic += w.fMusic;
        s.sum.fEffects += w.fEffects;
        s.sum.fMix += w.fMix;
        s.sum.fMusicK += w.fMusicK;
        s.sum.fEffectsK += w.fEffectsK;
        s.sum.fMixK += w.fMixK;
    }
    return s;
}

// The scene's windows (they follow each other) and, among them, the ten seconds with the most
// effect energy.
bool FindScene(const std::vector<WINDOW>& windows, int nScene, size_t* pnFirst, size_t* pnCount, size_t* pnBusiest)
{
    size_t nFirst = windows.size(), nLast = 0;
    for (size_t i = 0; i < windows.size(); i++) {
        if (windows[i].nScene == nScene) {
            nFirst = std::min(nFirst, i);
            nLast = i;
        }
    }
    if (nFirst == windows.size())
        return false;
    *pnFirst = nFirst;
    *pnCount = nLast + 1 - nFirst;
    const size_t nSpan = std::min(kStretchWindows, *pnCount);
    double fBest = -1, fRun = 0;
    *pnBusiest = nFirst;
    for (size_t i = nFirst; i <= nLast; i++) {
        fRun += windows[i].fEffects;
        if (i >= nFirst + nSpan)
            fRun -= windows[i - nSpan].fEffects;
        if (i + 1 >= nFirst + nSpan && fRun > fBest) {
            fBest = fRun;
            *pnBusiest = i + 1 - nSpan;
        }
    }
    return true;
}

// The effects sounding at an update pass, as bank slots (bank * 256 + slot), and its window.
struct SOUNDING {
    size_t nWindow;
    std::vector<int> slots;
};

SOUNDING Sounding(uint64_t nFrame)
{
    SOUNDING s{static_cast<size_t>(nFrame / kWindowFrames), {}};
    for (int nBank = 0; nBank < 2; nBank++) {
        for (int nSlot = 0; nSlot < 256; nSlot++) {
            const PCMSLOT slot = g_PCMManagerTask.GetSlot(nBank, nSlot);
            if (slot.lpBuffer && IsSoundBufferPlaying(slot.lpBuffer))
                s.slots.push_back(nBank * 256 + nSlot);
        }
    }
    return s;
}

// The effects that sounded longest in the windows, with their seconds.
std::string Busiest(const std::vector<SOUNDING>& passes, size_t nFirst, size_t nCount)
{
    std::map<std::string, int> ticks;
    for (const SOUNDING& pass : passes) {
        if (pass.nWindow < nFirst || pass.nWindow >= nFirst + nCount)
            continue;
        for (int n : pass.slots) {
            std::string name = g_PCMManagerTask.GetSlot(n / 256, n % 256).szName;
            ticks[name.substr(name.find_last_of('\\') + 1)]++;
        }
    }
    std::vector<std::pair<int, std::string>> order;
    for (const auto& t : ticks)
        order.push_back({-t.second, t.first});
    std::sort(order.begin(), order.end());
    std::string text;
    for (size_t i = 0; i < order.size() && i < 8; i++) {
        char sz[64];
        snprintf(sz, sizeof(sz), " %s %.1fs", order[i].second.c_str(), -order[i].first / 60.0);
        text += sz;
    }
    return text;
}

class SoundMixRun : public CProgramRun {};

} // namespace

TEST_F(SoundMixRun, EveryRideAndBossFightKeepsHeadroomAndTheMusicHeard)
{
    if (!std::getenv("ZORVA_LONG_RUNS"))
        GTEST_SKIP() << "a long run: set ZORVA_LONG_RUNS=1 to run it";
    MakeData();
    CPlaythrough game(m_Host);
    game.m_bWatchReplay = false;
    CMixMeter meter;
    int nBossSeen = 0;
    std::vector<SOUNDING> passes;
    game.m_OnUpdate = [&](CPlaythrough& g) {
        meter.SetScene(SceneOf(g, &nBossSeen));
        passes.push_back(Sounding(meter.Frames()));
    };
    SetDirectSoundMixTap(&CMixMeter::Tap, &meter);
    // The music's streaming thread refills and fades at the same clock readings in every run, so
    // two runs give the same figures.
    m_Host.SetThreadsInStep(true);
    const int nResult = RunOn(m_Host, game, kMaxTicks);
    SetDirectSoundMixTap(nullptr, nullptr);
    ASSERT_EQ(nResult, 0);
    ASSERT_EQ(game.GetFailure(), "");
    const std::vector<WINDOW>& windows = meter.Windows();

    printf("%-8s %7s %6s | %7s %7s %6s | %6s %6s %6s | %6s %6s %6s %5s | whole: %7s %7s\n", "scene", "length",
           "from", "clean%", "full%", "peak", "music", "effect", "mix", "musK", "effK", "mixK", "eff-m", "clean%",
           "full%");
    for (int nScene : {1, 11, 2, 12, 3, 13, 4, 14, 5, 15, 21}) {
        const std::string strName =
            nScene == 21 ? "ending" : (nScene > 10 ? "boss " : "stage ") + std::to_string(nScene % 10);
        size_t nFirst = 0, nCount = 0, nBusiest = 0;
        if (!FindScene(windows, nScene, &nFirst, &nCount, &nBusiest)) {
            ADD_FAILURE() << strName << " never played";
            continue;
        }
        const STRETCH whole = Measure(windows, nFirst, nCount);
        const STRETCH s = Measure(windows, nBusiest, std::min(kStretchWindows, nCount));
        const double fOver = s.Lufs(s.sum.fEffectsK) - s.Lufs(s.sum.fMusicK);
        printf("%-8s %6.1fs %5.1fs | %7.2f %7.4f %6.1f | %6.1f %6.1f %6.1f | %6.1f %6.1f %6.1f %+5.1f | %14.2f %7.4f\n",
               strName.c_str(), nCount / 20.0, (nBusiest - nFirst) / 20.0, s.CleanShare(), s.ClippedShare(),
               s.PeakDb(), s.Db(s.sum.fMusic), s.Db(s.sum.fEffects), s.Db(s.sum.fMix), s.Lufs(s.sum.fMusicK),
               s.Lufs(s.sum.fEffectsK), s.Lufs(s.sum.fMixK), fOver, whole.CleanShare(), whole.ClippedShare());
        const std::string strSounding = Busiest(passes, nBusiest, s.nWindows);
        if (!strSounding.empty())
            printf("%21s sounding longest:%s\n", "", strSounding.c_str());
        // The ending is shown for what it is: its only effects are the heroine's lines.
        if (nScene == 21)
            continue;
        EXPECT_GE(s.CleanShare(), 99.0) << strName;
        // Headroom to spare, not just enough: a fight played a little differently piles up more.
        EXPECT_LE(s.PeakDb(), -1.0) << strName;
        EXPECT_LE(fOver, 6.5) << strName;
        // Nor are the effects lost under the music.
        EXPECT_GE(fOver, -3.0) << strName;
        EXPECT_LE(s.Db(s.sum.fEffects) - s.Db(s.sum.fMusic), 6.5) << strName;
    }
    printf("Over each scene's busiest 10 s: RMS in dBFS (music, effects, mix), loudness in LUFS (K-weighted,\n"
           "ungated), the mix's peak in dBFS; full%%: samples beyond full scale; clean%%: 50-ms windows without.\n");
}
