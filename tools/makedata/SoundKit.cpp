#include "SoundKit.h"

#include <cstddef>

namespace synth {

namespace {

const double kPi = 3.14159265358979323846;
const double kLn2 = 0.69314718055994530942;
const double kLn10 = 2.30258509299404568402;
const int kSineSize = 4096;

// A sine table by rotation from a Taylor-series step: plain arithmetic, so every machine agrees.
// One entry past the end, so reading between two entries needs no wrap.
std::vector<double> MakeSineTable() {
    std::vector<double> t(kSineSize + 1);
    double a = 2 * kPi / kSineSize;
    double c = 1 - a * a / 2 + a * a * a * a / 24 - a * a * a * a * a * a / 720;
    double s = a - a * a * a / 6 + a * a * a * a * a / 120 - a * a * a * a * a * a * a / 5040;
    double x = 1, y = 0;
    for (int i = 0; i <= kSineSize; ++i) {
        t[i] = y;
        double nx = x * c - y * s;
        y = x * s + y * c;
        x = nx;
    }
    t[kSineSize] = 0;
    return t;
}

const std::vector<double> g_Sine = MakeSineTable();

// K-weighting at 44.1 kHz: a high shelf of +4 dB above 1.7 kHz and a high-pass at 38 Hz.
struct BIQUAD {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double Run(double x) {
        double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

double WeightedSquares(const std::vector<float>& samples) {
    BIQUAD shelf{1.5308412300503478, -2.6509799951547297, 1.169079079921587, -1.6636551132560204, 0.7125954280732254};
    BIQUAD cut{1.0, -2.0, 1.0, -1.989169673629796, 0.9891990357870393};
    double sum = 0;
    for (float v : samples) {
        double y = cut.Run(shelf.Run(v));
        sum += y * y;
    }
    return sum;
}

// log10 by halving to [1, 2) and the series of ln((1 + u) / (1 - u)).
double Log10(double x) {
    int n = 0;
    while (x >= 2) {
        x *= 0.5;
        n++;
    }
    while (x < 1) {
        x *= 2;
        n--;
    }
    double u = (x - 1) / (x + 1), u2 = u * u, t = u, s = 0;
    for (int i = 1; i < 40; i += 2) {
        s += t / i;
        t *= u2;
    }
    return (2 * s + n * kLn2) / kLn10;
}

}  // namespace

double Sine(double fPhase) {
    double x = fPhase * kSineSize;
    int64_t n = static_cast<int64_t>(x);
    if (x < static_cast<double>(n)) n--;
    double fr = x - static_cast<double>(n);
    const double* t = g_Sine.data() + (n & (kSineSize - 1));
    return t[0] + (t[1] - t[0]) * fr;
}

double Cosine(double fPhase) { return Sine(fPhase + 0.25); }

namespace {

const double kNyquist = kRate / 2.0;

// tan(pi x) for 0 <= x < 0.5.
double TanPi(double x) { return Sine(x / 2) / Cosine(x / 2); }

// The correction at the wrap of a ramp: t the phase (0 .. 1), dt the step.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

}  // namespace

double Exp(double x) {
    int n = 0;
    while (x > 0.5 || x < -0.5) {
        x *= 0.5;
        n++;
    }
    double t = 1, s = 1;
    for (int i = 1; i < 14; ++i) {
        t *= x / i;
        s += t;
    }
    while (n-- > 0) s *= s;
    return s;
}

double Root(double x) {
    if (x <= 0) return 0;
    double r = x > 1 ? x : 1;
    for (int i = 0; i < 60; ++i) {
        double next = 0.5 * (r + x / r);
        if (next >= r) break;
        r = next;
    }
    return r;
}

double Gain(double fDb) { return Exp(fDb * kLn10 / 20); }

double NoteFreq(double fNote) { return 440.0 * Exp((fNote - 69) * kLn2 / 12); }

double DecayFactor(double fSeconds) { return fSeconds > 0 ? Exp(-1.0 / (fSeconds * kRate)) : 0.0; }

double NOISE::Next() {
    x = x * 1664525u + 1013904223u;
    return static_cast<double>(x >> 8) / 8388608.0 - 1.0;
}

double OSC::Saw(double fFreq) {
    double dt = fFreq / kRate;
    double v = 2 * fPhase - 1 - PolyBlep(fPhase, dt);
    fPhase += dt;
    if (fPhase >= 1) fPhase -= 1;
    return v;
}

double OSC::Pulse(double fFreq, double fWidth) {
    double dt = fFreq / kRate;
    double t2 = fPhase + fWidth;
    if (t2 >= 1) t2 -= 1;
    double v = (2 * fPhase - PolyBlep(fPhase, dt)) - (2 * t2 - PolyBlep(t2, dt));
    fPhase += dt;
    if (fPhase >= 1) fPhase -= 1;
    return v;  // -2w for 1 - w of the cycle, 2 - 2w for w of it: no offset
}

void SVF::Tune(double fCutoff, double fQ) {
    if (fCutoff > kNyquist * 0.95) fCutoff = kNyquist * 0.95;
    if (fCutoff < 10) fCutoff = 10;
    double g = TanPi(fCutoff / kRate);
    k = 1 / fQ;
    a1 = 1 / (1 + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

void SVF::Run(double x) {
    double v3 = x - ic2;
    double v1 = a1 * ic1 + a2 * v3;
    double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2 * v1 - ic1;
    ic2 = 2 * v2 - ic2;
    lp = v2;
    bp = v1;
    hp = x - k * v1 - v2;
}

double PARTIALS::Next(double fFreq, const std::vector<double>& weights) {
    if (phases.size() < weights.size()) phases.resize(weights.size(), 0.0);
    double v = 0;
    for (size_t h = 1; h < weights.size(); ++h) {
        double f = fFreq * h;
        if (f >= kTopPartial) break;
        // The last octave under the limit fades each partial in, so one coming under it never clicks.
        double fade = f > kTopPartial / 2 ? 2 * (kTopPartial - f) / kTopPartial : 1.0;
        phases[h] += f / kRate;
        if (phases[h] >= 1) phases[h] -= 1;
        v += Sine(phases[h]) * weights[h] * fade;
    }
    return v;
}

void WAVETABLE::Build(const std::vector<double>& weights, double fFreq) {
    const size_t n = 2048;
    cycle.assign(n + 1, 0.0);
    for (size_t h = 1; h < weights.size() && fFreq * h < kTopPartial; ++h)
        for (size_t i = 0; i < n; ++i) cycle[i] += Sine(static_cast<double>(h * i) / n) * weights[h];
    cycle[n] = cycle[0];
}

double WAVETABLE::Next(double fFreq) {
    double x = fPhase * (cycle.size() - 1);
    size_t i = static_cast<size_t>(x);
    double v = cycle[i] + (cycle[i + 1] - cycle[i]) * (x - i);
    fPhase += fFreq / kRate;
    if (fPhase >= 1) fPhase -= 1;
    return v;
}

double Loudness(const std::vector<float>& left, const std::vector<float>& right) {
    if (left.empty()) return -200;
    double sum = WeightedSquares(left) + WeightedSquares(right.empty() ? left : right);
    double mean = sum / static_cast<double>(left.size());
    return mean > 0 ? -0.691 + 10 * Log10(mean) : -200;
}

void LimitPeaks(std::vector<float>& left, std::vector<float>& right, double fCeiling) {
    size_t n = left.size();
    if (n == 0) return;
    thread_local std::vector<float> gain;
    gain.resize(n);
    for (size_t i = 0; i < n; ++i) {
        double a = left[i] < 0 ? -left[i] : left[i];
        if (!right.empty()) {
            double b = right[i] < 0 ? -right[i] : right[i];
            if (b > a) a = b;
        }
        gain[i] = static_cast<float>(a > fCeiling ? fCeiling / a : 1.0);
    }
    const double fAttack = 1.0 / (0.0015 * kRate), fRelease = 1.0 / (0.12 * kRate);
    for (size_t i = n - 1; i-- > 0;) {
        double g = gain[i + 1] + fAttack;
        if (g < gain[i]) gain[i] = static_cast<float>(g);
    }
    for (size_t i = 1; i < n; ++i) {
        double g = gain[i - 1] + fRelease;
        if (g < gain[i]) gain[i] = static_cast<float>(g);
    }
    for (size_t i = 0; i < n; ++i) {
        left[i] *= gain[i];
        if (!right.empty()) right[i] *= gain[i];
    }
}

int16_t ToPcm(double v) {
    v *= 32767.0;
    v += v < 0 ? -0.5 : 0.5;
    if (v > 32767) v = 32767;
    if (v < -32767) v = -32767;
    return static_cast<int16_t>(v);
}

}  // namespace synth
