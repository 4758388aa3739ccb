// The cut-scenes' sounds: the heroine's spoken lines, made from syllables (a voiced source shaped
// by the formants of each vowel, consonants as filtered noise and stops), and the two pieces of
// music the scripts start. Plain arithmetic on doubles and the sound kit only, so every machine
// writes the same bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "CutScenes.h"
#include "SoundKit.h"
#include "WaveWriter.h"

namespace {

const uint32_t kVoiceRate = 22050;

int16_t Clip(double v)
{
    v = v > 1.0 ? 1.0 : (v < -1.0 ? -1.0 : v);
    return static_cast<int16_t>(v * 32000.0);
}

double Semitones(double f, double fSemi)
{
    // 2^(s/12) by repeated multiplication of the twelfth root (and its inverse).
    const double kUp = 1.0594630943592953, kDown = 1.0 / kUp;
    const int n = static_cast<int>(fSemi >= 0 ? fSemi + 0.5 : fSemi - 0.5);
    for (int i = 0; i < (n >= 0 ? n : -n); i++) {
        f *= n >= 0 ? kUp : kDown;
    }
    return f;
}

struct NOISE {
    uint32_t x;
    double Next()  // -1 .. 1
    {
        x = x * 1664525u + 1013904223u;
        return static_cast<double>(x >> 8) / 8388608.0 - 1.0;
    }
};

// A two-pole resonator: white noise in, a band around fc out.
struct RESONATOR {
    double a1 = 0, a2 = 0, g = 0, y1 = 0, y2 = 0;

    void Tune(double fc, double bw, uint32_t nRate)
    {
        const double r = 1.0 - 3.14159265358979 * bw / nRate;
        a1 = -2.0 * r * synth::Cosine(fc / nRate);
        a2 = r * r;
        g = 1.0 - r;
    }
    double Run(double x)
    {
        const double y = g * x - a1 * y1 - a2 * y2;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// ---- Speech ---------------------------------------------------------------------------------------

struct VOWEL {
    double f[3];  // formants (Hz)
    double a[3];  // their strengths
};

// a, i, u, e, o of a young woman's voice.
const VOWEL kVowels[5] = {
    {{850, 1220, 2810}, {1.0, 0.55, 0.25}}, {{310, 2790, 3310}, {1.0, 0.30, 0.22}},
    {{370, 1350, 2700}, {1.0, 0.35, 0.15}}, {{560, 2320, 2950}, {1.0, 0.45, 0.20}},
    {{450, 880, 2830}, {1.0, 0.55, 0.12}},
};
const VOWEL kNasal = {{260, 1600, 2600}, {1.0, 0.12, 0.05}};

int VowelIndex(char c)
{
    const char* p = std::strchr("aiueo", c);
    return p && c ? static_cast<int>(p - "aiueo") : -1;
}

// One syllable: a consonant (letters before the vowel), a vowel index (-1: none), the kind
// for the tokens without a vowel, and a pitch step in semitones.
struct MORA {
    std::string cons;
    int nVowel = -1;
    char cKind = 0;  // 'N' nasal, 'Q' held stop, ',' '.' pauses, '-' the vowel held on
    double fSemi = 0;
};

// "ka", "shi", "N", "Q", "-", "," or "." tokens, each with an optional "@semitones".
std::vector<MORA> ParseMorae(const char* pszLine)
{
    std::vector<MORA> morae;
    const std::string line(pszLine);
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') {
            i++;
        }
        size_t j = i;
        while (j < line.size() && line[j] != ' ') {
            j++;
        }
        if (j == i) {
            break;
        }
        std::string token = line.substr(i, j - i);
        i = j;
        MORA m;
        const size_t at = token.find('@');
        if (at != std::string::npos) {
            m.fSemi = std::atof(token.c_str() + at + 1);
            token.resize(at);
        }
        if (token == "N" || token == "Q" || token == "-" || token == "," || token == ".") {
            m.cKind = token[0];
        } else {
            m.nVowel = VowelIndex(token.back());
            m.cons = token.substr(0, token.size() - 1);
        }
        morae.push_back(m);
    }
    return morae;
}

struct VOICELINE {
    const char* pszFile;   // below GameData
    const char* pszMorae;
    double f0, f1;         // pitch at the start and at the end (Hz)
    int nMoraMs;
    double fLoud;
};

class CSpeaker {
public:
    explicit CSpeaker(std::vector<double>& out, uint32_t nSeed) : m_Out(out), m_Noise{nSeed} {}

    // A stretch of voice: pitch from f0 to f1, formants gliding from the last vowel's to v's.
    void Voiced(const VOWEL& v, int nMs, double f0, double f1, double fLoud, bool bFadeIn, bool bFadeOut)
    {
        const int n = static_cast<int>(kVoiceRate) * nMs / 1000;
        const int nGlide = static_cast<int>(kVoiceRate) * 35 / 1000;
        const int nEdge = static_cast<int>(kVoiceRate) * 18 / 1000;
        for (int i = 0; i < n; i++) {
            const double t = static_cast<double>(i) / n;
            const double f = (f0 + (f1 - f0) * t) * (1.0 + 0.012 * synth::Sine(m_fVibrato));
            m_fVibrato += 5.2 / kVoiceRate;
            m_fPhase += f / kVoiceRate;
            const double k = i < nGlide ? static_cast<double>(i) / nGlide : 1.0;
            double fm[3], am[3];
            for (int m = 0; m < 3; m++) {
                fm[m] = m_Last.f[m] + (v.f[m] - m_Last.f[m]) * k;
                am[m] = m_Last.a[m] + (v.a[m] - m_Last.a[m]) * k;
            }
            double s = 0;
            for (int h = 1; h * f < 4200.0; h++) {
                double w = 0;
                for (int m = 0; m < 3; m++) {
                    const double d = (h * f - fm[m]) / (70.0 + fm[m] * 0.07);
                    w += am[m] / (1.0 + d * d);
                }
                s += synth::Sine(m_fPhase * h) * w;
            }
            s += m_Noise.Next() * 0.02;  // breath
            double env = 1.0;
            if (bFadeIn && i < nEdge) {
                env = static_cast<double>(i) / nEdge;
            }
            if (bFadeOut && i > n - nEdge * 2) {
                env = static_cast<double>(n - i) / (nEdge * 2);
            }
            m_Out.push_back(s * fLoud * env);
        }
        m_Last = v;
    }

    // A hiss or a burst: noise through a resonator at fc.
    void Noise(int nMs, double fc, double bw, double fLoud)
    {
        RESONATOR r;
        r.Tune(fc, bw, kVoiceRate);
        const int n = static_cast<int>(kVoiceRate) * nMs / 1000;
        for (int i = 0; i < n; i++) {
            const double env = i < n / 4 ? 4.0 * i / n : 1.0 - static_cast<double>(i - n / 4) / (n - n / 4 + 1);
            m_Out.push_back(r.Run(m_Noise.Next()) * 12.0 * fLoud * env);
        }
    }

    void Silence(int nMs)
    {
        m_Out.insert(m_Out.end(), static_cast<size_t>(kVoiceRate) * nMs / 1000, 0);
    }

    // The consonant's sound before its vowel; returns its length in ms.
    int Consonant(const std::string& c, double f, double fLoud)
    {
        if (c.empty()) {
            return 0;
        }
        if (c == "k" || c == "t" || c == "p") {
            Silence(28);
            Noise(14, c == "k" ? 2200 : (c == "t" ? 4200 : 1100), 1200, fLoud * 0.8);
            return 42;
        }
        if (c == "g" || c == "d" || c == "b") {
            Voiced(kNasal, 22, f, f, fLoud * 0.35, true, false);
            Noise(10, c == "g" ? 2000 : (c == "d" ? 3800 : 900), 1000, fLoud * 0.5);
            return 32;
        }
        if (c == "s" || c == "sh" || c == "ts" || c == "ch" || c == "z" || c == "j") {
            const bool bSh = c == "sh" || c == "ch" || c == "j";
            if (c == "ts" || c == "ch") {
                Silence(20);
            }
            Noise(c == "z" || c == "j" ? 45 : 75, bSh ? 3200 : 6000, 2200, fLoud * (c == "z" ? 0.5 : 0.65));
            return 80;
        }
        if (c == "h" || c == "f") {
            Noise(55, 1800, 3000, fLoud * 0.35);
            return 55;
        }
        if (c == "n" || c == "m") {
            VOWEL nasal = kNasal;
            nasal.f[1] = c == "n" ? 1700 : 1100;
            Voiced(nasal, 55, f, f, fLoud * 0.6, true, false);
            return 55;
        }
        if (c == "r") {
            Voiced(kVowels[3], 18, f, f, fLoud * 0.3, false, false);
            return 18;
        }
        if (c == "y" || c == "w") {
            Voiced(kVowels[c == "y" ? 1 : 2], 40, f, f, fLoud * 0.7, true, false);
            return 40;
        }
        return 0;
    }

private:
    std::vector<double>& m_Out;
    NOISE m_Noise;
    VOWEL m_Last = kVowels[0];
    double m_fPhase = 0;
    double m_fVibrato = 0;
};

std::vector<uint8_t> Speak(const VOICELINE& line)
{
    std::vector<double> voice;
    CSpeaker speaker(voice, 17u + static_cast<uint32_t>(std::strlen(line.pszMorae)));
    speaker.Silence(30);
    const std::vector<MORA> morae = ParseMorae(line.pszMorae);
    const size_t nCount = morae.size();
    int nLastVowel = 0;
    for (size_t k = 0; k < nCount; k++) {
        const MORA& m = morae[k];
        const double t = nCount > 1 ? static_cast<double>(k) / (nCount - 1) : 0.0;
        const double f = Semitones(line.f0 + (line.f1 - line.f0) * t, m.fSemi);
        const double fNext = Semitones(line.f0 + (line.f1 - line.f0) * (t + 1.0 / (nCount + 1)), m.fSemi);
        const bool bEnd = k + 1 == nCount || morae[k + 1].cKind == ',' || morae[k + 1].cKind == '.';
        const bool bStart = k == 0 || morae[k - 1].cKind == ',' || morae[k - 1].cKind == '.' || morae[k - 1].cKind == 'Q';
        switch (m.cKind) {
        case ',':
            speaker.Silence(170);
            continue;
        case '.':
            speaker.Silence(320);
            continue;
        case 'Q':
            speaker.Silence(line.nMoraMs * 2 / 3);
            continue;
        case 'N':
            speaker.Voiced(kNasal, line.nMoraMs, f, fNext, line.fLoud * 0.7, bStart, bEnd);
            continue;
        default:
            break;
        }
        if (m.nVowel < 0 && m.cKind != '-') {
            continue;
        }
        // "-" holds the vowel before it on.
        nLastVowel = m.nVowel >= 0 ? m.nVowel : nLastVowel;
        const int nCons = speaker.Consonant(m.cons, f, line.fLoud);
        const int nVowelMs = line.nMoraMs - nCons > 50 ? line.nMoraMs - nCons : 50;
        const VOWEL& v = kVowels[nLastVowel];
        speaker.Voiced(v, bEnd ? nVowelMs + line.nMoraMs / 3 : nVowelMs, f, fNext, line.fLoud,
                       bStart && m.cons.empty(), bEnd);
    }
    speaker.Silence(60);
    // The loudest line peaks at 0.65 of full scale, the others in proportion to their loudness: over
    // the music, whose peaks stay under half of it, the two seldom reach full scale together.
    double fPeak = 0;
    for (double v : voice) {
        fPeak = v > fPeak ? v : (-v > fPeak ? -v : fPeak);
    }
    const double fScale = fPeak > 0 ? 0.65 * (line.fLoud > 1.0 ? 1.0 : line.fLoud) / fPeak : 0.0;
    std::vector<int16_t> samples;
    for (double v : voice) {
        samples.push_back(Clip(v * fScale));
    }
    return MakeWaveFile(samples, kVoiceRate, 1);
}

// The heroine's lines. Morae are written in plain syllables; "@" lifts a syllable by semitones.
const VOICELINE kLines[] = {
    {"Opening/VoHum.wav", "fu@0 n@4 fu@7 n@9 - fu@7 n@4 fu@5 - n@2", 246.9, 246.9, 230, 0.8},
    {"Opening/VoGasp.wav", "e@0 Q", 300, 430, 260, 1.0},
    {"Opening/VoResolve.wav", "to ri ka e su . i ku yo , a@2 i@2 bo u@-1", 250, 205, 150, 1.0},
    {"Opening/VoShout.wav", "i Q ke@2 e@3 e@4 e@5 e@4", 330, 400, 150, 1.2},
    {"Ending/VoEffort.wav", "ha@3 a@2 a Q", 340, 260, 170, 1.1},
    {"Ending/VoHome.wav", "ta da i@2 ma@2 , mi N@2 na@1", 260, 300, 150, 1.0},
    {"Ending/VoThanks.wav", "ma ta , i Q sho ni , ha shi ro u@1 ne@3", 255, 235, 145, 0.95},
};

} // namespace

void WriteCutSceneSounds(CDataSet& data)
{
    for (const VOICELINE& line : kLines) {
        data.Write(line.pszFile, Speak(line));
    }
    data.Write("Opening/Crisis.wav", GetMusicPiece(MUSIC_CRISIS).wave);
    data.Write("Ending/Dawn.wav", GetMusicPiece(MUSIC_DAWN).wave);
}
