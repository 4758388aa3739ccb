#include "WaveWriter.h"

#include <cstdio>

namespace {

const double kPi = 3.14159265358979323846;
const uint32_t kEffectRate = 22050;
const uint32_t kMusicRate = 44100;
const int kSineSize = 4096;

// A sine table by rotation from a Taylor-series step: plain arithmetic, so every machine agrees.
const std::vector<double>& SineTable() {
    static std::vector<double> table;
    if (!table.empty()) return table;
    double a = 2 * kPi / kSineSize;
    double c = 1 - a * a / 2 + a * a * a * a / 24 - a * a * a * a * a * a / 720;
    double s = a - a * a * a / 6 + a * a * a * a * a / 120 - a * a * a * a * a * a * a / 5040;
    table.resize(kSineSize);
    double x = 1, y = 0;
    for (int i = 0; i < kSineSize; ++i) {
        table[i] = y;
        double nx = x * c - y * s;
        y = x * s + y * c;
        x = nx;
    }
    return table;
}

// sin(2 pi phase) for a phase in cycles.
double Sine(double phase) {
    double f = phase - static_cast<double>(static_cast<int64_t>(phase));
    if (f < 0) f += 1;
    return SineTable()[static_cast<int>(f * kSineSize) & (kSineSize - 1)];
}

struct LCG {
    uint32_t x;
    double Next() {  // -1 .. 1
        x = x * 214013u + 2531011u;
        return static_cast<double>((x >> 16) & 0x7FFF) / 16383.5 - 1;
    }
};

uint32_t HashName(const std::string& name) {
    uint32_t h = 2166136261u;
    for (unsigned char ch : name) h = (h ^ ch) * 16777619u;
    return h;
}

int16_t ToSample(double v) {
    if (v > 1) v = 1;
    if (v < -1) v = -1;
    return static_cast<int16_t>(v * 32000);
}

void PutLe(std::vector<uint8_t>& v, uint32_t x, int n) {
    for (int i = 0; i < n; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& v, const char* tag) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(tag[i]));
}

// A PCM 16-bit wave; a cue point at nCueFrame when it is not negative.
std::vector<uint8_t> WaveFile(const std::vector<int16_t>& samples, uint32_t nRate, uint16_t nChannels, int64_t nCueFrame) {
    uint32_t nAlign = 2u * nChannels;
    std::vector<uint8_t> body;
    PutTag(body, "WAVE");
    PutTag(body, "fmt ");
    PutLe(body, 16, 4);
    PutLe(body, 1, 2);
    PutLe(body, nChannels, 2);
    PutLe(body, nRate, 4);
    PutLe(body, nRate * nAlign, 4);
    PutLe(body, nAlign, 2);
    PutLe(body, 16, 2);
    if (nCueFrame >= 0) {
        PutTag(body, "cue ");
        PutLe(body, 4 + 24, 4);
        PutLe(body, 1, 4);                                  // one cue point
        PutLe(body, 1, 4);                                  // its id
        PutLe(body, static_cast<uint32_t>(nCueFrame), 4);   // position
        PutTag(body, "data");
        PutLe(body, 0, 4);                                  // chunk start
        PutLe(body, 0, 4);                                  // block start
        PutLe(body, static_cast<uint32_t>(nCueFrame), 4);   // sample offset
    }
    PutTag(body, "data");
    PutLe(body, static_cast<uint32_t>(samples.size() * 2), 4);
    for (int16_t s : samples) PutLe(body, static_cast<uint16_t>(s), 2);
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    PutLe(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// ---- Effects ------------------------------------------------------------------------------------

enum EFFECTKIND { FX_SWEEP, FX_NOISE, FX_CHIME, FX_VOICE, FX_ALARM };

struct EFFECT {
    const char* pszName;  // file name without the folder
    EFFECTKIND kind;
    double f0, f1;        // start and end pitch (Hz); for voices the pitch and its last syllable's
    int nMs;
    int nParts;           // chime notes, voice syllables, alarm beeps
};

// Distinct by kind, pitch and length; voices are syllable tones with vowel colour.
const EFFECT kEffects[] = {
    {"Shot", FX_SWEEP, 1800, 600, 90, 1},
    {"EnemyDamage", FX_NOISE, 2400, 0, 80, 1},
    {"Break1", FX_NOISE, 900, 0, 350, 1},
    {"Break2", FX_NOISE, 500, 0, 600, 1},
    {"Chat", FX_CHIME, 880, 1320, 160, 3},
    {"GroundWiper", FX_SWEEP, 200, 900, 700, 1},
    {"IonShield", FX_SWEEP, 400, 1600, 500, 1},
    {"Warning", FX_ALARM, 660, 440, 1200, 4},
    {"PowerUp", FX_CHIME, 523, 1046, 400, 4},
    {"HawkWind", FX_SWEEP, 1200, 300, 600, 1},
    {"FireStorm1", FX_NOISE, 1500, 0, 500, 1},
    {"FireStorm2", FX_NOISE, 700, 0, 800, 1},
    {"PlayerDamage1", FX_SWEEP, 700, 200, 250, 1},
    {"PlayerDamage2", FX_SWEEP, 500, 80, 600, 1},
    {"StageClear", FX_CHIME, 392, 1568, 1600, 6},
    {"Pirori", FX_CHIME, 1046, 1568, 240, 3},
    {"BeamRifle", FX_SWEEP, 2600, 400, 300, 1},
    {"EnemySwing", FX_SWEEP, 300, 700, 200, 1},
    {"GetExp1", FX_CHIME, 1318, 1760, 120, 2},
    {"GetExp2", FX_CHIME, 1568, 2093, 160, 2},
    {"GetLife", FX_CHIME, 659, 1318, 500, 4},
    {"SeShutterClose", FX_NOISE, 300, 0, 400, 1},
    {"BgmGameOver", FX_CHIME, 440, 220, 2200, 5},
    {"CvGameOver", FX_VOICE, 150, 110, 900, 3},
    {"CountDown", FX_ALARM, 880, 880, 300, 1},
    {"CvFireStorm1", FX_VOICE, 260, 330, 800, 4},
    {"CvGroundWiper", FX_VOICE, 250, 200, 800, 4},
    {"CvHawkWind1", FX_VOICE, 270, 360, 700, 3},
    {"CvHawkWind2", FX_VOICE, 280, 240, 700, 3},
    {"CvHawkWind3", FX_VOICE, 300, 400, 800, 4},
    {"CvLevelUp", FX_VOICE, 280, 420, 600, 3},
    {"CvZorvaDamage1", FX_VOICE, 320, 220, 250, 1},
    {"CvZorvaDamage2", FX_VOICE, 340, 200, 300, 2},
    {"CvZorvaDamage3", FX_VOICE, 300, 180, 350, 2},
    {"CvZorvaMiss", FX_VOICE, 360, 150, 700, 2},
    {"CvZorvaKerbix", FX_VOICE, 250, 380, 600, 3},
    {"CvStageStart", FX_VOICE, 240, 300, 700, 4},
    {"CvStageClear", FX_VOICE, 260, 390, 800, 4},
    {"PlayerDanger", FX_ALARM, 990, 740, 600, 3},
    {"CvZorvaJump", FX_VOICE, 280, 340, 250, 1},
    {"HighMegaLauncher", FX_SWEEP, 120, 60, 1000, 1},
    {"44vostil", FX_CHIME, 784, 988, 300, 3},
    {"Pi", FX_ALARM, 1760, 1760, 50, 1},
    {"EnemyLaser1", FX_SWEEP, 300, 2400, 1000, 1},
};

double Envelope(int i, int n) {
    int nAttack = kEffectRate / 200;  // 5 ms
    if (i < nAttack) return static_cast<double>(i) / nAttack;
    double t = static_cast<double>(i - nAttack) / (n - nAttack);
    return (1 - t) * (1 - t);
}

void Sweep(const EFFECT& e, std::vector<int16_t>& out) {
    int n = static_cast<int>(out.size());
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / n;
        phase += (e.f0 + (e.f1 - e.f0) * t) / kEffectRate;
        double v = Sine(phase) * 0.7 + Sine(phase * 2) * 0.2;
        out[i] = ToSample(v * Envelope(i, n));
    }
}

void Noise(const EFFECT& e, std::vector<int16_t>& out, uint32_t nSeed) {
    int n = static_cast<int>(out.size());
    LCG rng{nSeed};
    double y = 0;
    double k = e.f0 / (e.f0 + kEffectRate / (2 * kPi));  // one-pole low-pass at f0
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        y += k * (rng.Next() - y);
        phase += (e.f0 / 8) / kEffectRate;
        out[i] = ToSample((y * 1.6 + Sine(phase) * 0.25) * Envelope(i, n));
    }
}

void Chime(const EFFECT& e, std::vector<int16_t>& out) {
    int n = static_cast<int>(out.size());
    int nNote = n / e.nParts;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        int k = i / nNote < e.nParts ? i / nNote : e.nParts - 1;
        double f = e.nParts > 1 ? e.f0 + (e.f1 - e.f0) * k / (e.nParts - 1) : e.f0;
        phase += f / kEffectRate;
        int j = i - k * nNote;
        double env = Envelope(j, nNote) * 0.6 + Envelope(i, n) * 0.4;
        out[i] = ToSample((Sine(phase) * 0.6 + Sine(phase * 3) * 0.1) * env);
    }
}

// Syllables of a sung vowel: harmonics weighted around two formants, with a little vibrato.
void Voice(const EFFECT& e, std::vector<int16_t>& out, uint32_t nSeed) {
    int n = static_cast<int>(out.size());
    int nSyl = n / e.nParts;
    const double formants[4][2] = {{730, 1090}, {270, 2290}, {530, 1840}, {570, 840}};  // a, i, e, o
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        int k = i / nSyl < e.nParts ? i / nSyl : e.nParts - 1;
        double f = e.nParts > 1 ? e.f0 + (e.f1 - e.f0) * k / (e.nParts - 1) : e.f0;
        f *= 1 + 0.01 * Sine(static_cast<double>(i) * 5.5 / kEffectRate);
        phase += f / kEffectRate;
        const double* fm = formants[(nSeed + static_cast<uint32_t>(k)) % 4];
        double v = 0;
        for (int h = 1; h <= 12; ++h) {
            double fh = f * h;
            double w = 0;
            for (int m = 0; m < 2; ++m) {
                double d = (fh - fm[m]) / 250;
                w += 1 / (1 + d * d);
            }
            v += Sine(phase * h) * w / h;
        }
        int j = i - k * nSyl;
        double env = j < nSyl / 10 ? static_cast<double>(j) / (nSyl / 10) : (j > nSyl * 8 / 10 ? static_cast<double>(nSyl - j) / (nSyl / 5) : 1);
        out[i] = ToSample(v * 0.35 * env);
    }
}

void Alarm(const EFFECT& e, std::vector<int16_t>& out) {
    int n = static_cast<int>(out.size());
    int nBeep = n / e.nParts;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        int k = i / nBeep;
        double f = (k % 2 == 0) ? e.f0 : e.f1;
        phase += f / kEffectRate;
        int j = i % nBeep;
        double gate = j < nBeep * 3 / 4 ? 1 : 0;
        double v = Sine(phase) + Sine(phase * 3) / 3 + Sine(phase * 5) / 5;  // a soft square
        double edge = j < 100 ? j / 100.0 : (j > nBeep * 3 / 4 - 100 && gate > 0 ? (nBeep * 3 / 4 - j) / 100.0 : 1);
        out[i] = ToSample(v * 0.45 * gate * edge);
    }
}

std::vector<uint8_t> Synthesise(const EFFECT& e) {
    std::vector<int16_t> samples(static_cast<size_t>(kEffectRate) * e.nMs / 1000);
    uint32_t nSeed = HashName(e.pszName);
    switch (e.kind) {
    case FX_SWEEP: Sweep(e, samples); break;
    case FX_NOISE: Noise(e, samples, nSeed); break;
    case FX_CHIME: Chime(e, samples); break;
    case FX_VOICE: Voice(e, samples, nSeed); break;
    case FX_ALARM: Alarm(e, samples); break;
    }
    return WaveFile(samples, kEffectRate, 1, -1);
}

// ---- Music --------------------------------------------------------------------------------------

struct PIECE {
    const int* pMelody;  // semitones above A3, -1 a rest; one per beat
    int nBeats;
    int nBpm;
    int nLoopBeat;       // the loop starts on this beat
    int nRoot;           // bass root, semitones above A1
};

const int kOpening[] = {0, 4, 7, 12, 11, 7, 4, 2, 0, 4, 7, 9, 7, 4, 2, -1, 5, 9, 12, 14, 12, 9, 5, 4, 2, 5, 9, 7, 4, 2, 0, -1};
const int kTitle[] = {7, 7, 9, 7, 12, 11, -1, 7, 7, 9, 7, 14, 12, -1, 7, 19, 16, 12, 11, 9, -1, 17, 16, 12, 14, 12, -1, -1};
const int kEnding[] = {12, 11, 9, 7};
const int kStage[] = {0, 3, 7, 10, 7, 3, 0, -1, 2, 5, 9, 12, 9, 5, 2, -1, 3, 7, 10, 15, 10, 7, 3, 5, 7, -1, 7, 5, 3, 2, 0, -1};

double Freq(int nSemitone, double fBase) {
    double f = fBase;
    for (int i = 0; i < nSemitone; ++i) f *= 1.0594630943592953;
    return f;
}

MUSICPIECE Render(const PIECE& p, int nVariant) {
    uint32_t nBeatFrames = kMusicRate * 60 / static_cast<uint32_t>(p.nBpm);
    uint32_t nFrames = nBeatFrames * static_cast<uint32_t>(p.nBeats);
    std::vector<int16_t> samples(static_cast<size_t>(nFrames) * 2);
    double mel = 0, bass = 0, pad = 0;
    for (uint32_t i = 0; i < nFrames; ++i) {
        uint32_t nBeat = i / nBeatFrames, j = i % nBeatFrames;
        int note = p.pMelody[nBeat];
        double t = static_cast<double>(j) / nBeatFrames;
        double fm = note < 0 ? 0 : Freq(note + nVariant, 220);
        mel += fm / kMusicRate;
        double m = note < 0 ? 0 : (Sine(mel) * 0.6 + Sine(mel * 2) * 0.15) * (1 - t * 0.7);
        int nBar = static_cast<int>(nBeat / 4);
        int nChord = (nBar % 4 == 1) ? 5 : (nBar % 4 == 2 ? 7 : (nBar % 4 == 3 ? 3 : 0));
        bass += Freq(p.nRoot + nChord, 55) / kMusicRate;
        double b = Sine(bass) * 0.5 * (j < nBeatFrames / 2 ? 1 : 0.6);
        pad += Freq(p.nRoot + nChord + 12, 110) / kMusicRate;
        double c = (Sine(pad) + Sine(pad * 1.25) + Sine(pad * 1.5)) * 0.08;
        // The melody leans left, the bass right: stereo that is easy to hear.
        samples[2 * i] = ToSample((m * 0.8 + b * 0.4 + c) * 0.55);
        samples[2 * i + 1] = ToSample((m * 0.4 + b * 0.8 + c) * 0.55);
    }
    uint32_t nLoopFrame = nBeatFrames * static_cast<uint32_t>(p.nLoopBeat);
    MUSICPIECE piece;
    piece.nLoopStartMs = static_cast<uint32_t>(static_cast<uint64_t>(nLoopFrame) * 1000 / kMusicRate);
    piece.wave = WaveFile(samples, kMusicRate, 2, nLoopFrame);
    return piece;
}

}  // namespace

double SynthSine(double fPhase) { return Sine(fPhase); }

std::vector<uint8_t> MakeWaveFile(const std::vector<int16_t>& samples, uint32_t nRate, uint16_t nChannels) {
    return WaveFile(samples, nRate, nChannels, -1);
}

MUSICPIECE MakeMusicPiece(int nKind) {
    switch (nKind) {
    case 0: return Render(PIECE{kOpening, 32, 120, 8, 0}, 0);
    case 1: return Render(PIECE{kTitle, 28, 132, 0, 3}, 0);
    case 2: return Render(PIECE{kEnding, 4, 160, 0, 5}, 0);
    default: return Render(PIECE{kStage, 32, 150, 0, (nKind * 5) % 12}, nKind - 3);
    }
}

std::vector<uint8_t> MakeEffectWave(const std::string& name) {
    for (const EFFECT& e : kEffects)
        if (name == e.pszName) return Synthesise(e);
    // A name outside the list still gets its own short sound.
    uint32_t h = HashName(name);
    EFFECT e{"", static_cast<EFFECTKIND>(h % 5), 300.0 + h % 900, 300.0 + (h >> 8) % 900, 200 + static_cast<int>((h >> 16) % 400), 1 + static_cast<int>((h >> 24) % 4)};
    std::vector<uint8_t> out = Synthesise(e);
    return out;
}

void WriteWaveFiles(CDataSet& data) {
    for (const EFFECT& e : kEffects) {
        std::string folder = std::string(e.pszName) == "44vostil" ? "First/" : "System/";
        data.Write(folder + e.pszName + ".wav", Synthesise(e));
    }
    data.Write("Opening/Opening.wav", MakeMusicPiece(0).wave);
    data.Write("Title/StartMenu.wav", MakeMusicPiece(1).wave);
    data.Write("Ending/Ending.wav", MakeMusicPiece(2).wave);
}

std::vector<uint8_t> MakeChatVoice(int nSpeaker) {
    const EFFECT heroine{"ChatHeroine", FX_VOICE, 330, 392, 2800, 11};
    const EFFECT chief{"ChatOperator", FX_VOICE, 150, 118, 3000, 12};
    return Synthesise(nSpeaker == 1 ? heroine : chief);
}
