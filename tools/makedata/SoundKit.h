// The sound kit every generated wave is made with: a sine table, exponentials and pitches, noise,
// band-limited oscillators, filters, a loudness meter and a peak limiter. Only +, -, * and / on
// doubles (no library maths), so every machine writes the same bytes.
#pragma once
#include <cstdint>
#include <vector>

namespace synth {

const uint32_t kRate = 44100;
// The highest partial any sound is given: well under half the rate, so nothing folds back.
const double kTopPartial = 16000.0;

// sin(2 pi phase) and cos(2 pi phase), phase in cycles.
double Sine(double fPhase);
double Cosine(double fPhase);
double Exp(double x);
// The square root, by Newton's steps.
double Root(double x);
// 10^(dB / 20).
double Gain(double fDb);
// The frequency of a MIDI note (69 is A at 440 Hz), fractional notes bend.
double NoteFreq(double fNote);
// e^(-1 / (seconds * rate)): the per-sample factor of a decay to 1/e in that time.
double DecayFactor(double fSeconds);

struct NOISE {
    uint32_t x;
    double Next();  // -1 .. 1
};

// A ramp oscillator that gives a saw or a pulse without the steps' folded partials (each step is
// rounded off over the samples around it, polyBLEP).
struct OSC {
    double fPhase = 0;
    double Saw(double fFreq);
    // Two saws half a width apart: a pulse of that width (0 .. 1).
    double Pulse(double fFreq, double fWidth);
};

// A state-variable filter (trapezoidal), retuned at will.
struct SVF {
    double a1 = 0, a2 = 0, a3 = 0, k = 1, ic1 = 0, ic2 = 0;
    double lp = 0, bp = 0, hp = 0;
    void Tune(double fCutoff, double fQ);
    void Run(double x);
};

// A sum of harmonics of a gliding pitch, each kept below kTopPartial and faded in as it comes under
// it, so a sweep stays clean however high it goes. Weights per harmonic, 1-based (w[0] unused).
struct PARTIALS {
    std::vector<double> phases;
    double Next(double fFreq, const std::vector<double>& weights);
};

// One cycle of a sum of harmonics for a note, made once and read at its pitch: only the partials
// under kTopPartial at that pitch are in it. Weights per harmonic, 1-based (w[0] unused).
struct WAVETABLE {
    std::vector<double> cycle;
    double fPhase = 0;
    void Build(const std::vector<double>& weights, double fFreq);
    double Next(double fFreq);
};

// Loudness of a stereo block as broadcast meters weigh it (LUFS, ungated); mono gives l == r.
double Loudness(const std::vector<float>& left, const std::vector<float>& right);

// Holds every sample within the ceiling by a gain that falls ahead of a peak in 1.5 ms and
// recovers in 120 ms, the same gain on both channels (right may be empty for mono).
void LimitPeaks(std::vector<float>& left, std::vector<float>& right, double fCeiling);

int16_t ToPcm(double v);

}  // namespace synth
