#include "WaveWriter.h"

#include "SoundKit.h"

using namespace synth;

namespace {

uint32_t HashName(const std::string& name) {
    uint32_t h = 2166136261u;
    for (unsigned char ch : name) h = (h ^ ch) * 16777619u;
    return h;
}

void PutLe(std::vector<uint8_t>& v, uint32_t x, int n) {
    for (int i = 0; i < n; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& v, const char* tag) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(tag[i]));
}

// ---- Effects ------------------------------------------------------------------------------------

enum EFFECTKIND { FX_SWEEP, FX_NOISE, FX_CHIME, FX_VOICE, FX_ALARM };

struct EFFECT {
    const char* pszName;  // file name without the folder
    EFFECTKIND kind;
    double f0, f1;        // start and end pitch (Hz); for voices the pitch and its last syllable's
    int nMs;
    int nParts;           // chime notes, voice syllables, alarm beeps
    double fLevelDb;      // its loudness: RMS over its length, against full scale
};

// No effect's sample goes past this; the music's stay under kMusicCeilingDb. In the thick of a
// fight half a dozen effects start together (she is hit while calling a sub-weapon among
// explosions: the hurt glide, her cry, the weapon's sweep and its call, a blast, the danger beeps),
// and their first cracks add up: each is held this far down so that they and the music together
// stay a few dB under full scale.
const double kEffectCeilingDb = -13.0;

// Distinct by kind, pitch and length; voices are syllable tones with vowel colour. Levelled by
// loudness against the music's (about -23 dBFS RMS): what plays all the time (the gun, the hits)
// well under it, explosions, pain and the sub-weapons a little under it, the heroine's voice and
// the pick-ups about level with it, so that together they stay within a few dB of the music.
const EFFECT kEffects[] = {
    {"Shot", FX_SWEEP, 1800, 600, 90, 1, -31},
    {"EnemyDamage", FX_NOISE, 2400, 0, 80, 1, -31},
    {"Break1", FX_NOISE, 900, 0, 350, 1, -26},
    {"Break2", FX_NOISE, 500, 0, 600, 1, -28},
    {"Chat", FX_CHIME, 880, 1320, 160, 3, -26},
    {"GroundWiper", FX_SWEEP, 200, 900, 700, 1, -26},
    {"IonShield", FX_SWEEP, 400, 1600, 500, 1, -26},
    {"Warning", FX_ALARM, 660, 440, 1200, 4, -24},
    {"PowerUp", FX_CHIME, 523, 1046, 400, 4, -24},
    {"HawkWind", FX_SWEEP, 1200, 300, 600, 1, -26},
    {"FireStorm1", FX_NOISE, 1500, 0, 500, 1, -26},
    {"FireStorm2", FX_NOISE, 700, 0, 800, 1, -25},
    {"PlayerDamage1", FX_SWEEP, 700, 200, 250, 1, -25},
    {"PlayerDamage2", FX_SWEEP, 500, 80, 600, 1, -25},
    {"Pirori", FX_CHIME, 1046, 1568, 240, 3, -26},
    {"BeamRifle", FX_SWEEP, 2600, 400, 300, 1, -25},
    {"EnemySwing", FX_SWEEP, 300, 700, 200, 1, -26},
    {"GetExp1", FX_CHIME, 1318, 1760, 120, 2, -27},
    {"GetExp2", FX_CHIME, 1568, 2093, 160, 2, -27},
    {"GetLife", FX_CHIME, 659, 1318, 500, 4, -24},
    {"SeShutterClose", FX_NOISE, 300, 0, 400, 1, -23},
    {"CvGameOver", FX_VOICE, 150, 110, 900, 3, -24},
    {"CountDown", FX_ALARM, 880, 880, 300, 1, -25},
    {"CvFireStorm1", FX_VOICE, 260, 330, 800, 4, -24},
    {"CvGroundWiper", FX_VOICE, 250, 200, 800, 4, -24},
    {"CvHawkWind1", FX_VOICE, 270, 360, 700, 3, -24},
    {"CvHawkWind2", FX_VOICE, 280, 240, 700, 3, -24},
    {"CvHawkWind3", FX_VOICE, 300, 400, 800, 4, -24},
    {"CvLevelUp", FX_VOICE, 280, 420, 600, 3, -24},
    {"CvZorvaDamage1", FX_VOICE, 320, 220, 250, 1, -24},
    {"CvZorvaDamage2", FX_VOICE, 340, 200, 300, 2, -24},
    {"CvZorvaDamage3", FX_VOICE, 300, 180, 350, 2, -24},
    {"CvZorvaMiss", FX_VOICE, 360, 150, 700, 2, -24},
    {"CvZorvaKerbix", FX_VOICE, 250, 380, 600, 3, -24},
    {"CvStageStart", FX_VOICE, 240, 300, 700, 4, -24},
    {"CvStageClear", FX_VOICE, 260, 390, 800, 4, -24},
    {"PlayerDanger", FX_ALARM, 990, 740, 600, 3, -25},
    {"CvZorvaJump", FX_VOICE, 280, 340, 250, 1, -27},
    {"HighMegaLauncher", FX_SWEEP, 120, 60, 1000, 1, -25},
    {"44vostil", FX_CHIME, 784, 988, 300, 3, -22},
    {"Pi", FX_ALARM, 1760, 1760, 50, 1, -28},
    {"EnemyLaser1", FX_SWEEP, 300, 2400, 1000, 1, -26},
};

// The jingles of the bank are music.
const struct {
    const char* pszName;
    MUSICKIND eKind;
} kJingles[] = {{"StageClear", MUSIC_STAGE_CLEAR}, {"BgmGameOver", MUSIC_GAME_OVER}};

double Envelope(int i, int n) {
    int nAttack = kRate / 200;  // 5 ms
    if (i < nAttack) return static_cast<double>(i) / nAttack;
    double t = static_cast<double>(i - nAttack) / (n - nAttack);
    return (1 - t) * (1 - t);
}

// A bright, saw-like glide: its harmonics fall as 1/k and stop under the top partial as it rises.
void Sweep(const EFFECT& e, std::vector<double>& out) {
    int n = static_cast<int>(out.size());
    std::vector<double> weights(24);
    for (size_t k = 1; k < weights.size(); ++k) weights[k] = 1.0 / k;
    PARTIALS partials;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / n;
        out[i] = partials.Next(e.f0 + (e.f1 - e.f0) * t, weights) * Envelope(i, n);
    }
}

void Noise(const EFFECT& e, std::vector<double>& out, uint32_t nSeed) {
    int n = static_cast<int>(out.size());
    NOISE rng{nSeed};
    double y = 0;
    double k = e.f0 / (e.f0 + kRate / 6.28318530717958647692);  // one-pole low-pass at f0
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        y += k * (rng.Next() - y);
        phase += (e.f0 / 8) / kRate;
        out[i] = (y * 1.6 + Sine(phase) * 0.25) * Envelope(i, n);
    }
}

void Chime(const EFFECT& e, std::vector<double>& out) {
    int n = static_cast<int>(out.size());
    int nNote = n / e.nParts;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        int k = i / nNote < e.nParts ? i / nNote : e.nParts - 1;
        double f = e.nParts > 1 ? e.f0 + (e.f1 - e.f0) * k / (e.nParts - 1) : e.f0;
        phase += f / kRate;
        int j = i - k * nNote;
        double env = Envelope(j, nNote) * 0.6 + Envelope(i, n) * 0.4;
        out[i] = (Sine(phase) * 0.6 + Sine(phase * 3) * 0.1) * env;
    }
}

// Syllables of a sung vowel: harmonics weighted around two formants, with a little vibrato.
void Voice(const EFFECT& e, std::vector<double>& out, uint32_t nSeed) {
    int n = static_cast<int>(out.size());
    int nSyl = n / e.nParts;
    const double formants[4][2] = {{730, 1090}, {270, 2290}, {530, 1840}, {570, 840}};  // a, i, e, o
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        int k = i / nSyl < e.nParts ? i / nSyl : e.nParts - 1;
        double f = e.nParts > 1 ? e.f0 + (e.f1 - e.f0) * k / (e.nParts - 1) : e.f0;
        f *= 1 + 0.01 * Sine(static_cast<double>(i) * 5.5 / kRate);
        phase += f / kRate;
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
        out[i] = v * env;
    }
}

void Alarm(const EFFECT& e, std::vector<double>& out) {
    int n = static_cast<int>(out.size());
    int nBeep = n / e.nParts;
    int nEdge = kRate / 220;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        int k = i / nBeep;
        double f = (k % 2 == 0) ? e.f0 : e.f1;
        phase += f / kRate;
        int j = i % nBeep;
        double gate = j < nBeep * 3 / 4 ? 1 : 0;
        double v = Sine(phase) + Sine(phase * 3) / 3 + Sine(phase * 5) / 5;  // a soft square
        double edge = j < nEdge ? static_cast<double>(j) / nEdge
                                : (j > nBeep * 3 / 4 - nEdge && gate > 0 ? static_cast<double>(nBeep * 3 / 4 - j) / nEdge : 1);
        out[i] = v * gate * edge;
    }
}

std::vector<uint8_t> Synthesise(const EFFECT& e) {
    std::vector<double> sound(static_cast<size_t>(kRate) * e.nMs / 1000);
    uint32_t nSeed = HashName(e.pszName);
    switch (e.kind) {
    case FX_SWEEP: Sweep(e, sound); break;
    case FX_NOISE: Noise(e, sound, nSeed); break;
    case FX_CHIME: Chime(e, sound); break;
    case FX_VOICE: Voice(e, sound, nSeed); break;
    case FX_ALARM: Alarm(e, sound); break;
    }
    double fSquares = 0;
    for (double v : sound) fSquares += v * v;
    double g = fSquares > 0 ? Gain(e.fLevelDb) / Root(fSquares / sound.size()) : 0;
    std::vector<float> level(sound.size()), none;
    for (size_t i = 0; i < sound.size(); ++i) level[i] = static_cast<float>(sound[i] * g);
    LimitPeaks(level, none, Gain(kEffectCeilingDb));
    std::vector<int16_t> samples(sound.size());
    for (size_t i = 0; i < sound.size(); ++i) samples[i] = ToPcm(level[i]);
    return MakeWaveFile(samples, kRate, 1);
}

}  // namespace

std::vector<uint8_t> MakeWaveFile(const std::vector<int16_t>& samples, uint32_t nRate, uint16_t nChannels) {
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
    PutTag(body, "data");
    PutLe(body, static_cast<uint32_t>(samples.size() * 2), 4);
    std::vector<uint8_t> out;
    out.reserve(8 + body.size() + samples.size() * 2);
    PutTag(out, "RIFF");
    PutLe(out, static_cast<uint32_t>(body.size() + samples.size() * 2), 4);
    out.insert(out.end(), body.begin(), body.end());
    size_t n = out.size();
    out.resize(n + samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        uint16_t u = static_cast<uint16_t>(samples[i]);
        out[n + 2 * i] = static_cast<uint8_t>(u);
        out[n + 2 * i + 1] = static_cast<uint8_t>(u >> 8);
    }
    return out;
}

std::vector<uint8_t> MakeEffectWave(const std::string& name) {
    for (const EFFECT& e : kEffects)
        if (name == e.pszName) return Synthesise(e);
    // A name outside the list still gets its own short sound, as loud as the quieter effects.
    uint32_t h = HashName(name);
    EFFECT e{"", static_cast<EFFECTKIND>(h % 5), 300.0 + h % 900, 300.0 + (h >> 8) % 900, 200 + static_cast<int>((h >> 16) % 400), 1 + static_cast<int>((h >> 24) % 4), -25};
    return Synthesise(e);
}

void WriteWaveFiles(CDataSet& data) {
    MakeAllMusic();
    for (const EFFECT& e : kEffects) {
        std::string folder = std::string(e.pszName) == "44vostil" ? "First/" : "System/";
        data.Write(folder + e.pszName + ".wav", Synthesise(e));
    }
    for (const auto& j : kJingles) data.Write(std::string("System/") + j.pszName + ".wav", GetMusicPiece(j.eKind).wave);
    data.Write("Opening/Opening.wav", GetMusicPiece(MUSIC_OPENING).wave);
    data.Write("Title/StartMenu.wav", GetMusicPiece(MUSIC_TITLE).wave);
    data.Write("Ending/Ending.wav", GetMusicPiece(MUSIC_ENDING).wave);
}

std::vector<uint8_t> MakeChatVoice(int nSpeaker) {
    const EFFECT heroine{"ChatHeroine", FX_VOICE, 330, 392, 2800, 11, -24};
    const EFFECT chief{"ChatOperator", FX_VOICE, 150, 118, 3000, 12, -24};
    return Synthesise(nSpeaker == 1 ? heroine : chief);
}
