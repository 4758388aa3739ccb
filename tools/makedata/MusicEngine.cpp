#include "MusicEngine.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

#include "SoundKit.h"

using namespace synth;

namespace {

const double kLn2Over12 = 0.69314718055994530942 / 12;
const double kTwoPi = 6.28318530717958647692;
const double kTailSeconds = 2.5;

// ---- Scores -------------------------------------------------------------------------------------

// "(...)N" written out N times; '|' dropped.
std::string Expand(const std::string& s) {
    std::string out;
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] == '(') {
            int nDepth = 1;
            size_t j = i + 1;
            while (j < s.size() && nDepth > 0) {
                nDepth += s[j] == '(' ? 1 : (s[j] == ')' ? -1 : 0);
                j++;
            }
            std::string inner = Expand(s.substr(i + 1, j - i - 2));
            int n = 0;
            while (j < s.size() && s[j] >= '0' && s[j] <= '9') n = n * 10 + (s[j++] - '0');
            for (int k = 0; k < (n > 0 ? n : 1); ++k) out += " " + inner + " ";
            i = j;
        } else {
            out += s[i] == '|' ? ' ' : s[i];
            i++;
        }
    }
    return out;
}

struct TOKEN {
    std::string body;
    int nSteps;
    double fVel;
};

std::vector<TOKEN> Tokenise(const char* pszScore) {
    std::vector<TOKEN> tokens;
    std::string s = Expand(pszScore ? pszScore : "");
    int nSteps = 1;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ') i++;
        size_t j = i;
        while (j < s.size() && s[j] != ' ') j++;
        if (j == i) break;
        std::string word = s.substr(i, j - i);
        i = j;
        TOKEN t{"", 0, 0.8};
        size_t k = word.find_first_of(":!'");
        t.body = word.substr(0, k);
        while (k < word.size()) {
            if (word[k] == ':') {
                nSteps = std::atoi(word.c_str() + k + 1);
                k = word.find_first_of("!'", k);
                if (k == std::string::npos) break;
            } else {
                t.fVel = word[k] == '!' ? 1.0 : 0.55;
                k++;
            }
        }
        t.nSteps = nSteps > 0 ? nSteps : 1;
        tokens.push_back(t);
    }
    return tokens;
}

// Pitch class of a letter and its sharps and flats at s[*pPos]; -1 when there is no letter.
int PitchClassAt(const std::string& s, size_t* pPos) {
    static const int kClasses[7] = {9, 11, 0, 2, 4, 5, 7};
    size_t i = *pPos;
    if (i >= s.size() || s[i] < 'A' || s[i] > 'G') return -1;
    int pc = kClasses[s[i] - 'A'];
    for (i++; i < s.size() && (s[i] == '#' || s[i] == 'b'); i++) pc += s[i] == '#' ? 1 : -1;
    *pPos = i;
    return (pc + 12) % 12;
}

// MIDI note of "C#4" and the like; -1 for anything else.
int NoteOf(const std::string& s) {
    size_t i = 0;
    int pc = PitchClassAt(s, &i);
    if (pc < 0 || i >= s.size() || s[i] < '0' || s[i] > '9') return -1;
    int nOctave = std::atoi(s.c_str() + i);
    // B#3 is C4 and Cb4 is B3: the letter's octave counts.
    int nLetter = s[0] == 'C' && pc == 11 ? -1 : (s[0] == 'B' && pc == 0 ? 1 : 0);
    return 12 * (nOctave + 1 + nLetter) + pc;
}

struct CHORD {
    int nRoot = 0, nBass = 0;  // pitch classes
    std::vector<int> intervals;
    int nStart = 0, nSteps = 0;
};

struct QUALITY {
    const char* pszName;
    std::vector<int> intervals;
};

const QUALITY kQualities[] = {
    {"", {0, 4, 7}},         {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},     {"m7", {0, 3, 7, 10}},
    {"maj7", {0, 4, 7, 11}}, {"dim", {0, 3, 6}},       {"dim7", {0, 3, 6, 9}},   {"m7b5", {0, 3, 6, 10}},
    {"aug", {0, 4, 8}},      {"sus4", {0, 5, 7}},      {"sus2", {0, 2, 7}},      {"5", {0, 7}},
    {"add9", {0, 4, 7, 14}}, {"m9", {0, 3, 7, 10, 14}}, {"6", {0, 4, 7, 9}},     {"m6", {0, 3, 7, 9}},
    {"mmaj7", {0, 3, 7, 11}},
};

std::vector<CHORD> ParseChords(const char* pszChords) {
    std::vector<CHORD> chords;
    int nStep = 0;
    for (const TOKEN& t : Tokenise(pszChords)) {
        CHORD c;
        c.nStart = nStep;
        c.nSteps = t.nSteps;
        nStep += t.nSteps;
        size_t i = 0;
        int pc = PitchClassAt(t.body, &i);
        if (pc >= 0) {
            size_t nSlash = t.body.find('/');
            std::string quality = t.body.substr(i, nSlash == std::string::npos ? std::string::npos : nSlash - i);
            for (const QUALITY& q : kQualities)
                if (quality == q.pszName) c.intervals = q.intervals;
            c.nRoot = c.nBass = pc;
            if (nSlash != std::string::npos) {
                size_t j = nSlash + 1;
                int nBass = PitchClassAt(t.body, &j);
                if (nBass >= 0) c.nBass = nBass;
            }
        }
        chords.push_back(c);
    }
    return chords;
}

// The highest note of the pitch class at or below the note.
int AtOrBelow(int nPitchClass, int nNote) { return nNote - ((nNote - nPitchClass) % 12 + 12) % 12; }

// The chord's tones each put in the octave from six below the centre, lowest first.
std::vector<int> Voicing(const CHORD& c, int nCentre) {
    std::vector<int> notes;
    for (int iv : c.intervals) {
        int n = AtOrBelow((c.nRoot + iv) % 12, nCentre + 5);
        if (std::find(notes.begin(), notes.end(), n) == notes.end()) notes.push_back(n);
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

// Semitones above the chord's root of a bass degree; false when the token is none.
bool DegreeOf(const std::string& d, const CHORD& c, int* pnSemis) {
    auto tone = [&c](int nLow, int nHigh, int nDefault) {
        for (int iv : c.intervals)
            if (iv >= nLow && iv <= nHigh) return iv;
        return nDefault;
    };
    struct NAMED {
        const char* psz;
        int n;
    };
    static const NAMED kFixed[] = {{"1", 0}, {"2", 2}, {"4", 5}, {"6", 9}, {"8", 12}, {"9", 14}, {"b2", 1},
                                   {"b3", 3}, {"#4", 6}, {"b5", 6}, {"b6", 8}, {"b7", 10}};
    for (const NAMED& f : kFixed)
        if (d == f.psz) {
            *pnSemis = f.n;
            return true;
        }
    if (d == "3") *pnSemis = tone(2, 5, 4);
    else if (d == "5") *pnSemis = tone(6, 8, 7);
    else if (d == "7") *pnSemis = tone(9, 11, 10);
    else return false;
    return true;
}

// ---- Events -------------------------------------------------------------------------------------

struct NOTEEV {
    int64_t nStart;  // frame (in a note's own sound: where it starts in it)
    int64_t nHeld;   // frames
    double fNote;    // MIDI
    double fVel;     // as the score gives it: the instruments' timbre may follow it
    double fJitter;  // a little life on top, loudness only
};

class CGrid {
public:
    explicit CGrid(const THEME& t)
        : m_fStep(kRate * 60.0 / (t.fBpm * t.nStepsPerBeat)), m_fSwing(t.fSwing),
          m_nSteps(t.nBars * t.nBeatsPerBar * t.nStepsPerBeat) {}
    int64_t Frame(int nStep) const {
        double f = (nStep + (nStep % 2 ? m_fSwing : 0.0)) * m_fStep;
        return static_cast<int64_t>(f + 0.5);
    }
    int Steps() const { return m_nSteps; }

private:
    double m_fStep, m_fSwing;
    int m_nSteps;
};

const CHORD& ChordAt(const std::vector<CHORD>& chords, int nStep) {
    static const CHORD kNone;
    if (chords.empty()) return kNone;
    int nCycle = chords.back().nStart + chords.back().nSteps;
    int s = nStep % nCycle;
    for (const CHORD& c : chords)
        if (s >= c.nStart && s < c.nStart + c.nSteps) return c;
    return chords.back();
}

// A little life in the velocities, the same on every run.
double Humanise(uint32_t nSeed) {
    nSeed = nSeed * 2654435761u + 0x9E3779B9u;
    nSeed ^= nSeed >> 15;
    return 1.0 + 0.06 * (static_cast<double>(nSeed % 1001) / 500.0 - 1.0);
}

void AddNote(const CGrid& grid, const PART& p, int nStep, int nSteps, double fNote, double fVel,
             std::vector<NOTEEV>& out) {
    int64_t a = grid.Frame(nStep), b = grid.Frame(nStep + nSteps);
    int64_t nHeld = static_cast<int64_t>((b - a) * p.fGate);
    out.push_back({a, nHeld > 1 ? nHeld : 1, fNote, fVel, Humanise(static_cast<uint32_t>(out.size() * 31 + nStep))});
}

std::vector<NOTEEV> Events(const THEME& theme, const PART& p, const std::vector<CHORD>& chords) {
    CGrid grid(theme);
    std::vector<NOTEEV> events;
    if (p.kind == PK_PAD) {
        for (int s = 0; !chords.empty() && s < grid.Steps();) {
            const CHORD& c = ChordAt(chords, s);
            int nLeft = c.nStart + c.nSteps - s % (chords.back().nStart + chords.back().nSteps);
            for (int n : Voicing(c, p.nCentre)) AddNote(grid, p, s, nLeft, n, 0.8, events);
            s += nLeft > 0 ? nLeft : 1;
        }
        return events;
    }
    if (p.kind == PK_DRUM) {
        std::string hits;
        for (char ch : Expand(p.pszScore))
            if (ch != ' ') hits += ch;
        for (int s = 0; !hits.empty() && s < grid.Steps(); s++) {
            char ch = hits[s % hits.size()];
            double v = ch == 'X' ? 1.0 : (ch == 'x' ? 0.75 : (ch == 'o' ? 0.4 : 0.0));
            if (v > 0) AddNote(grid, p, s, 1, 0, v, events);
        }
        return events;
    }
    std::vector<TOKEN> tokens = Tokenise(p.pszScore);
    if (tokens.empty()) return events;
    for (int s = 0, i = 0; s < grid.Steps(); i = (i + 1) % static_cast<int>(tokens.size())) {
        const TOKEN& t = tokens[i];
        const CHORD& c = ChordAt(chords, s);
        std::vector<int> notes;
        if (p.kind == PK_LINE) {
            int n = NoteOf(t.body);
            if (n >= 0) notes.push_back(n);
        } else if (p.kind == PK_BASS && !c.intervals.empty()) {
            std::string d = t.body;
            int nOctave = 0, nSemis = 0;
            while (!d.empty() && (d[0] == '-' || d[0] == '+')) {
                nOctave += d[0] == '-' ? -12 : 12;
                d.erase(0, 1);
            }
            int nRoot = AtOrBelow(c.nRoot, p.nCentre);
            if (d == "1") notes.push_back(AtOrBelow(c.nBass, p.nCentre) + nOctave);
            else if (DegreeOf(d, c, &nSemis)) notes.push_back(nRoot + nSemis + nOctave);
            else if (NoteOf(d) >= 0) notes.push_back(NoteOf(d));
        } else if (p.kind == PK_ARP && !c.intervals.empty() && t.body != ".") {
            std::vector<int> v = Voicing(c, p.nCentre);
            int k = std::atoi(t.body.c_str());
            notes.push_back(v[k % v.size()] + 12 * (k / static_cast<int>(v.size())));
        } else if (p.kind == PK_CHORD && !c.intervals.empty() && t.body != ".") {
            notes = Voicing(c, p.nCentre);
            double v = t.body == "X" ? 1.0 : (t.body == "o" ? 0.5 : t.fVel);
            for (int n : notes) AddNote(grid, p, s, t.nSteps, n, v, events);
            notes.clear();
        }
        for (int n : notes) AddNote(grid, p, s, t.nSteps, n, t.fVel, events);
        s += t.nSteps;
    }
    return events;
}

// ---- Instruments --------------------------------------------------------------------------------

// Attack to full in a seconds, decay towards the sustain level s (to 1/e of the way in d seconds),
// and once the note is let go fade out to -60 dB in r seconds. A note ends at -70 dB.
class CEnvelope {
public:
    CEnvelope(double a, double d, double s, double r, int64_t nHeld)
        : m_nAttack(static_cast<int64_t>(a * kRate) + 1), m_fDecay(DecayFactor(d)), m_fSustain(s),
          m_fRelease(DecayFactor((r > 0.01 ? r : 0.01) / 6.9)), m_nHeld(nHeld),
          m_nEnd(nHeld + static_cast<int64_t>((r > 0.01 ? r : 0.01) * kRate * 1.2)) {}
    double Next() {
        if (m_n < m_nHeld) {
            if (m_n < m_nAttack)
                m_fLevel = static_cast<double>(m_n + 1) / m_nAttack;
            else
                m_fLevel = m_fSustain + (m_fLevel - m_fSustain) * m_fDecay;
        } else {
            m_fLevel *= m_fRelease;
        }
        m_n++;
        return m_fLevel;
    }
    bool Done() const { return m_n >= m_nEnd || (m_n > m_nAttack && m_fLevel < 3e-4); }
    size_t Longest() const { return static_cast<size_t>(m_nEnd); }
    double Seconds() const { return static_cast<double>(m_n) / kRate; }

private:
    int64_t m_nAttack;
    double m_fDecay, m_fSustain, m_fRelease;
    int64_t m_nHeld, m_nEnd, m_n = 0;
    double m_fLevel = 0;
};

// e^(-t / tau) sample by sample, one multiplication a step.
struct FALL {
    double v, k;
    explicit FALL(double fTau) : v(1), k(DecayFactor(fTau)) {}
    double Next() {
        double r = v;
        v *= k;
        return r;
    }
};

// A small bend in semitones as a frequency ratio (close enough for vibrato and scoops).
double Bend(double fSemis) {
    double x = fSemis * kLn2Over12;
    return 1 + x + x * x / 2;
}

// Vibrato that sets in after a while, in semitones.
double Vibrato(double t, double fDelay, double fRate, double fDepth) {
    if (t < fDelay) return 0;
    double ramp = (t - fDelay) / 0.3;
    return Sine(t * fRate) * fDepth * (ramp < 1 ? ramp : 1);
}

double SoftClip(double x) {
    if (x > 3) return 1;
    if (x < -3) return -1;
    return x * (27 + x * x) / (27 + 9 * x * x);
}

// FM with its index held down so that no side band passes the top partial.
double FmIndex(double fIndex, double fCarrier, double fModulator) {
    double fMax = (kTopPartial - fCarrier) / fModulator - 1;
    if (fMax < 0) fMax = 0;
    return fIndex < fMax ? fIndex : fMax;
}

// One note's sound, from its start; parts of a drum may start later in it and add to what is there.
typedef std::vector<float> SOUND;

template <typename SAMPLE>
void Play(const NOTEEV& ev, CEnvelope env, SOUND& out, SAMPLE sample) {
    const size_t nHad = out.size(), nStart = static_cast<size_t>(ev.nStart);
    out.resize(std::max(nHad, nStart + env.Longest()), 0.0f);
    float* p = out.data() + nStart;
    size_t n = 0;
    for (; !env.Done(); ++n) {
        double t = env.Seconds();
        double e = env.Next();
        p[n] += static_cast<float>(sample(t) * e * ev.fVel);
    }
    out.resize(std::max(nHad, nStart + n));
}

void PlayInstrument(int nSound, double fTone, const NOTEEV& ev, SOUND& out) {
    const double f = NoteFreq(ev.fNote);
    switch (nSound) {
    case IN_PULSE: {
        OSC o;
        SVF lp;
        lp.Tune(f * 6 + 2500, 0.8);
        double w = 0.5 - 0.38 * fTone;
        Play(ev, CEnvelope(0.004, 0.25, 0.7, 0.07, ev.nHeld), out, [&](double t) {
            lp.Run(o.Pulse(f * Bend(Vibrato(t, 0.22, 5.6, 0.18)), w));
            return lp.lp * 0.5;
        });
        break;
    }
    case IN_SAWLEAD: {
        OSC a, b;
        b.fPhase = 0.37;
        SVF lp;
        lp.Tune(f * 5 + 1800 + 3500 * fTone, 1.0);
        Play(ev, CEnvelope(0.008, 0.3, 0.75, 0.09, ev.nHeld), out, [&](double t) {
            double r = Bend(Vibrato(t, 0.25, 5.4, 0.16));
            lp.Run(a.Saw(f * r * 1.0035) + b.Saw(f * r * 0.9965));
            return lp.lp * 0.3;
        });
        break;
    }
    case IN_BRASS: {
        OSC a, b;
        b.fPhase = 0.61;
        SVF lp;
        double fBase = 700 + f * 2.5 + 1600 * ev.fVel * (0.6 + fTone);
        int n = 0;
        FALL open(0.06), scoop(0.03);
        Play(ev, CEnvelope(0.035, 0.3, 0.85, 0.12, ev.nHeld), out, [&](double t) {
            double fOpen = open.Next();
            if (n++ % 32 == 0) lp.Tune(fBase * (0.3 + 0.7 * (1 - fOpen)), 0.9);
            double r = Bend(-0.4 * scoop.Next() + Vibrato(t, 0.35, 5.0, 0.1));
            lp.Run(a.Saw(f * r * 1.004) + b.Saw(f * r * 0.996));
            return lp.lp * 0.32;
        });
        break;
    }
    case IN_STRINGS: {
        OSC o[3];
        o[1].fPhase = 0.33;
        o[2].fPhase = 0.71;
        SVF lp;
        lp.Tune(1800 + f * 2 + 1500 * fTone, 0.7);
        Play(ev, CEnvelope(0.22, 0.5, 0.9, 0.4, ev.nHeld), out, [&](double t) {
            double r = Bend(Vibrato(t, 0.3, 4.8, 0.07));
            lp.Run(o[0].Saw(f * r * 0.9955) + o[1].Saw(f * r) + o[2].Saw(f * r * 1.004));
            return lp.lp * 0.2;
        });
        break;
    }
    case IN_ORGAN: {
        // Drawbars: the sub-octave, then harmonics 1, 2, 3, 4, 6 and 8 of the note's octave below.
        std::vector<double> w = {0, 0.5, 1.0, 0, 0.6 * fTone + 0.2, 0, 0.55, 0, 0.35 * fTone + 0.1, 0, 0, 0,
                                 0.25 * fTone, 0, 0, 0, 0.2 * fTone};
        WAVETABLE table;
        table.Build(w, f / 2);
        Play(ev, CEnvelope(0.006, 0.1, 1.0, 0.06, ev.nHeld), out, [&](double t) {
            return table.Next(f / 2) * (1 + 0.08 * Sine(t * 6.3)) * 0.28;
        });
        break;
    }
    case IN_BELL: {
        double pc = 0, pm = 0, fm = f * (3.5 - fTone * 0.74);
        FALL fall(0.35);
        Play(ev, CEnvelope(0.002, 0.8 + 1.6 * fTone, 0.0, 0.9, ev.nHeld), out, [&](double) {
            double idx = FmIndex(3.0 * fall.Next() + 0.4, f, fm);
            pc += f / kRate;
            pm += fm / kRate;
            return Sine(pc + idx * Sine(pm) / kTwoPi) * 0.55;
        });
        break;
    }
    case IN_EPIANO: {
        double pc = 0, pm = 0, pt = 0;
        bool bTine = f * 14 < kTopPartial;
        FALL fall(0.25), ping(0.02);
        Play(ev, CEnvelope(0.002, 1.1, 0.25, 0.25, ev.nHeld), out, [&](double) {
            double idx = FmIndex(1.8 * fall.Next() + 0.25, f, f);
            pc += f / kRate;
            pm += f / kRate;
            pt += 14 * f / kRate;
            double tine = bTine ? 0.12 * Sine(pt) * ping.Next() : 0;
            return (Sine(pc + idx * Sine(pm) / kTwoPi) + tine) * 0.5;
        });
        break;
    }
    case IN_MUSICBOX: {
        double p1 = 0, p2 = 0, p3 = 0;
        double w2 = f * 2.76 < kTopPartial ? 0.3 : 0, w3 = f * 5.4 < kTopPartial ? 0.12 : 0;
        FALL f2(0.15), f3(0.05);
        Play(ev, CEnvelope(0.001, 0.8, 0.0, 0.35, ev.nHeld), out, [&](double) {
            p1 += f / kRate;
            p2 += f * 2.76 / kRate;
            p3 += f * 5.4 / kRate;
            return (Sine(p1) + w2 * Sine(p2) * f2.Next() + w3 * Sine(p3) * f3.Next()) * 0.5;
        });
        break;
    }
    case IN_GLASS: {
        double pc = 0, pm = 0;
        Play(ev, CEnvelope(0.09, 0.9, 0.55, 0.8, ev.nHeld), out, [&](double t) {
            double idx = FmIndex(1.1 + 0.4 * Sine(t * 0.7), f, f * 2.005);
            pc += f / kRate;
            pm += f * 2.005 / kRate;
            return Sine(pc + idx * Sine(pm) / kTwoPi) * 0.45;
        });
        break;
    }
    case IN_PLUCK: {
        // A string: a burst of noise runs round a delay of one period, a little duller each time.
        double d = kRate / f - 0.5;
        int nDelay = static_cast<int>(d);
        double fr = d - nDelay;
        std::vector<double> ring(static_cast<size_t>(nDelay) + 3, 0.0);
        size_t w = 0, nSize = ring.size();
        NOISE noise{static_cast<uint32_t>(ev.fNote * 7 + 1)};
        double lp = 0, last = 0, c = 0.3 + 0.65 * fTone;
        double rho = Exp(-1.0 / (f * (0.7 + 1.4 * fTone)));
        int n = 0;
        Play(ev, CEnvelope(0.001, 60, 1.0, 0.09, ev.nHeld), out, [&](double) {
            double x = 0;
            if (n++ < nDelay) {
                lp += c * (noise.Next() - lp);
                x = lp;
            }
            double a = ring[(w + nSize - nDelay) % nSize], b = ring[(w + nSize - nDelay - 1) % nSize];
            double delayed = a + (b - a) * fr;
            double y = x + rho * 0.5 * (delayed + last);
            last = delayed;
            ring[w] = y;
            w = (w + 1) % nSize;
            return y * 0.9;
        });
        break;
    }
    case IN_FLUTE: {
        double p = 0;
        SVF bp;
        bp.Tune(f * 2 < 12000 ? f * 2 : 12000, 3);
        NOISE noise{static_cast<uint32_t>(ev.fNote + 5)};
        FALL chiff(0.05);
        Play(ev, CEnvelope(0.05, 0.2, 0.85, 0.1, ev.nHeld), out, [&](double t) {
            p += f * Bend(Vibrato(t, 0.2, 5.0, 0.12)) / kRate;
            bp.Run(noise.Next());
            double breath = bp.bp * (0.12 + 0.4 * chiff.Next());
            return (Sine(p) + 0.22 * Sine(2 * p) + 0.07 * Sine(3 * p) + breath) * 0.5;
        });
        break;
    }
    case IN_WHISTLE: {
        double p = 0;
        FALL scoop(0.04);
        Play(ev, CEnvelope(0.025, 0.15, 0.9, 0.12, ev.nHeld), out, [&](double t) {
            p += f * Bend(-0.8 * scoop.Next() + Vibrato(t, 0.15, 6.0, 0.22)) / kRate;
            return (Sine(p) + 0.05 * Sine(2 * p)) * 0.55;
        });
        break;
    }
    case IN_CHOIR: {
        OSC o[3];
        o[1].fPhase = 0.4;
        o[2].fPhase = 0.8;
        SVF f1, f2, f3;
        f1.Tune(700, 5);
        f2.Tune(1150, 6);
        f3.Tune(2600, 8);
        Play(ev, CEnvelope(0.25, 0.4, 0.9, 0.45, ev.nHeld), out, [&](double t) {
            double r = Bend(Vibrato(t, 0.2, 5.2, 0.1));
            double x = o[0].Saw(f * r * 0.995) + o[1].Saw(f * r) + o[2].Saw(f * r * 1.005);
            f1.Run(x);
            f2.Run(x);
            f3.Run(x);
            return (f1.bp + 0.6 * f2.bp + 0.25 * f3.bp) * 0.28;
        });
        break;
    }
    case IN_MARIMBA: {
        double p1 = 0, p4 = 0, p10 = 0;
        double w4 = f * 4 < kTopPartial ? 0.3 : 0, w10 = f * 9.9 < kTopPartial ? 0.1 : 0;
        FALL f4(0.03), f10(0.015);
        Play(ev, CEnvelope(0.001, 0.3 + 0.4 * fTone, 0.0, 0.15, ev.nHeld), out, [&](double) {
            p1 += f / kRate;
            p4 += 4 * f / kRate;
            p10 += 9.9 * f / kRate;
            return (Sine(p1) + w4 * Sine(p4) * f4.Next() + w10 * Sine(p10) * f10.Next()) * 0.6;
        });
        break;
    }
    case IN_TIMPANI: {
        double p = 0, p15 = 0, p2 = 0;
        NOISE noise{static_cast<uint32_t>(ev.fNote + 9)};
        double lp = 0;
        FALL sag(0.08), thud(0.03);
        Play(ev, CEnvelope(0.003, 0.9, 0.0, 0.5, ev.nHeld), out, [&](double) {
            double r = 1 + 0.03 * sag.Next();
            p += f * r / kRate;
            p15 += 1.5 * f * r / kRate;
            p2 += 2 * f * r / kRate;
            lp += 0.08 * (noise.Next() - lp);
            return (Sine(p) + 0.4 * Sine(p15) + 0.25 * Sine(p2) + 3 * lp * thud.Next()) * 0.5;
        });
        break;
    }
    case IN_BASS: {
        OSC a, b;
        SVF lp;
        int n = 0;
        FALL fall(0.12);
        Play(ev, CEnvelope(0.003, 0.5, 0.55, 0.05, ev.nHeld), out, [&](double) {
            double fOpen = fall.Next();
            if (n++ % 16 == 0) lp.Tune(220 + f + (1100 + 1500 * fTone) * fOpen, 1.1);
            lp.Run(a.Saw(f) + 0.5 * b.Pulse(f, 0.5));
            return lp.lp * 0.55;
        });
        break;
    }
    case IN_SUBBASS: {
        double p = 0;
        Play(ev, CEnvelope(0.004, 0.4, 0.85, 0.06, ev.nHeld), out, [&](double) {
            p += f / kRate;
            return (Sine(p) + 0.25 * Sine(2 * p) + 0.1 * Sine(3 * p)) * 0.6;
        });
        break;
    }
    case IN_ACID: {
        OSC o;
        SVF lp;
        double q = 4 + 5 * (ev.fVel > 0.9 ? 1 : 0), fOpen = 600 + 2800 * ev.fVel * ev.fVel * (0.5 + fTone);
        int n = 0;
        FALL fall(0.09);
        Play(ev, CEnvelope(0.002, 0.3, 0.6, 0.03, ev.nHeld), out, [&](double) {
            double fShut = fall.Next();
            if (n++ % 16 == 0) lp.Tune(200 + f + fOpen * fShut, q);
            lp.Run(o.Saw(f));
            return SoftClip(lp.lp * 1.5) * 0.4;
        });
        break;
    }
    case IN_POWER: {
        OSC a, b;
        b.fPhase = 0.5;
        SVF pre, post;
        pre.Tune(2600, 0.7);
        post.Tune(3400 + 1500 * fTone, 0.8);
        Play(ev, CEnvelope(0.004, 0.6, 0.7, 0.08, ev.nHeld), out, [&](double) {
            pre.Run(a.Saw(f * 1.006) + b.Saw(f * 0.994));
            post.Run(SoftClip(pre.lp * 3.5));
            return post.lp * 0.3;
        });
        break;
    }
    default:
        break;
    }
}

// ---- Drums --------------------------------------------------------------------------------------

// A burst of noise through a band, rising in fAttack and dying in fDecay: snares, hats, shakers,
// brushes and their kin.
void NoiseHit(const NOTEEV& ev, double fCentre, double fQ, double fHighPass, double fAttack, double fDecay,
              double fLevel, SOUND& out) {
    NOISE noise{static_cast<uint32_t>(ev.nStart * 13 + 7)};
    SVF band, high;
    band.Tune(fCentre, fQ);
    high.Tune(fHighPass, 0.7);
    Play(ev, CEnvelope(fAttack, fDecay, 0.0, fDecay, ev.nHeld), out, [&](double) {
        band.Run(noise.Next());
        high.Run(band.bp);
        return high.hp * fLevel;
    });
}

// A skin whose pitch falls from a knock to its note: kicks, toms, taiko.
void SkinHit(const NOTEEV& ev, double fLow, double fKnock, double fFall, double fDecay, double fSlap,
             SOUND& out) {
    double p = 0, lp = 0;
    NOISE noise{static_cast<uint32_t>(ev.nStart * 17 + 3)};
    FALL knock(fFall), slap(0.008);
    Play(ev, CEnvelope(0.0005, fDecay, 0.0, fDecay, ev.nHeld), out, [&](double) {
        p += (fLow + fKnock * knock.Next()) / kRate;
        lp += 0.2 * (noise.Next() - lp);
        return Sine(p) * 0.9 + lp * fSlap * slap.Next();
    });
}

// Inharmonic partials that ring: cymbals, bells of the kit, an anvil.
void MetalHit(const NOTEEV& ev, double fBase, double fDecay, double fNoise, SOUND& out) {
    static const double kRatios[6] = {1.0, 1.342, 1.716, 2.083, 2.513, 3.087};
    double ph[6] = {0, 0.13, 0.27, 0.41, 0.55, 0.69};
    NOISE noise{static_cast<uint32_t>(ev.nStart * 19 + 11)};
    SVF high;
    high.Tune(6000, 0.7);
    Play(ev, CEnvelope(0.0008, fDecay, 0.0, fDecay, ev.nHeld), out, [&](double) {
        double v = 0;
        for (int k = 0; k < 6; ++k) {
            double fk = fBase * kRatios[k];
            if (fk >= kTopPartial) break;
            ph[k] += fk / kRate;
            v += Sine(ph[k]) * 0.15;
        }
        high.Run(noise.Next());
        return v + high.hp * fNoise;
    });
}

void PlayDrum(int nDrum, const NOTEEV& hit, SOUND& out) {
    NOTEEV ev = hit;
    ev.nStart = 0;
    ev.nHeld = kRate * 3;
    switch (nDrum) {
    case DR_KICK: SkinHit(ev, 46, 120, 0.03, 0.1, 0.5, out); break;
    case DR_SNARE:
        SkinHit(ev, 180, 60, 0.02, 0.035, 0.0, out);
        NoiseHit(ev, 3000, 0.6, 900, 0.0008, 0.06, 2.2, out);
        break;
    case DR_HAT: NoiseHit(ev, 10000, 0.9, 7000, 0.0008, 0.012, 1.4, out); break;
    case DR_OPENHAT: NoiseHit(ev, 9000, 0.8, 6500, 0.0008, 0.09, 1.1, out); break;
    case DR_CLAP:
        for (int k = 0; k < 3; ++k) {
            NOTEEV e = ev;
            e.nStart += k * kRate / 100;
            NoiseHit(e, 1300, 1.4, 700, 0.0008, k < 2 ? 0.003 : 0.05, 2.5, out);
        }
        break;
    case DR_TOMLO: SkinHit(ev, 82, 50, 0.05, 0.14, 0.3, out); break;
    case DR_TOMMID: SkinHit(ev, 118, 60, 0.05, 0.12, 0.3, out); break;
    case DR_TOMHI: SkinHit(ev, 165, 70, 0.05, 0.1, 0.3, out); break;
    case DR_TAIKO:
        SkinHit(ev, 62, 45, 0.07, 0.2, 0.8, out);
        NoiseHit(ev, 500, 0.7, 120, 0.0008, 0.025, 1.5, out);
        break;
    case DR_CRASH: MetalHit(ev, 540, 0.45, 0.9, out); break;
    case DR_RIDE: MetalHit(ev, 3100, 0.2, 0.25, out); break;
    case DR_WOOD: {
        double p = 0;
        Play(ev, CEnvelope(0.0005, 0.01, 0.0, 0.01, ev.nHeld), out, [&](double) {
            p += 1750.0 / kRate;
            return Sine(p) * 0.7 + Sine(p * 1.63) * 0.3;
        });
        break;
    }
    case DR_SHAKER: NoiseHit(ev, 9000, 0.5, 6500, 0.012, 0.018, 1.0, out); break;
    case DR_RIM:
        NoiseHit(ev, 3200, 2.0, 1500, 0.0008, 0.008, 2.0, out);
        SkinHit(ev, 1700, 0, 0.01, 0.006, 0.0, out);
        break;
    case DR_ANVIL: {
        double pc = 0, pm = 0;
        FALL fall(0.08);
        Play(ev, CEnvelope(0.0005, 0.09, 0.0, 0.09, ev.nHeld), out, [&](double) {
            pc += 1180.0 / kRate;
            pm += 1180.0 * 1.41 / kRate;
            return Sine(pc + FmIndex(3.5 * fall.Next(), 1180, 1664) * Sine(pm) / kTwoPi) * 0.5;
        });
        break;
    }
    case DR_BRUSH: NoiseHit(ev, 3500, 0.5, 400, 0.02, 0.03, 1.2, out); break;
    case DR_CASTANET:
        for (int k = 0; k < 2; ++k) {
            NOTEEV e = ev;
            e.nStart += k * kRate * 12 / 1000;
            NoiseHit(e, 2400, 3.0, 1200, 0.0008, 0.005, k ? 2.0 : 3.0, out);
        }
        break;
    default:
        break;
    }
}

// ---- The room -----------------------------------------------------------------------------------

struct COMB {
    std::vector<float> buf;
    size_t i = 0;
    float store = 0;
    float Run(float x, float fFeedback, float fDamp) {
        float y = buf[i];
        store = y + (store - y) * fDamp;
        buf[i] = x + store * fFeedback;
        if (++i == buf.size()) i = 0;
        return y;
    }
};

struct ALLPASS {
    std::vector<float> buf;
    size_t i = 0;
    float Run(float x) {
        float b = buf[i];
        buf[i] = x + b * 0.5f;
        if (++i == buf.size()) i = 0;
        return b - x;
    }
};

// Parallel combs into two all-passes per side, the sides a little apart in length.
void AddRoom(const std::vector<float>& send, double fSize, std::vector<float>& left, std::vector<float>& right) {
    static const int kCombs[4] = {1116, 1277, 1356, 1491};
    static const int kPasses[2] = {556, 441};
    const float fFeedback = static_cast<float>(0.7 + 0.18 * fSize);
    for (int side = 0; side < 2; ++side) {
        COMB combs[4];
        ALLPASS passes[2];
        for (int k = 0; k < 4; ++k) combs[k].buf.assign(static_cast<size_t>(kCombs[k] + 23 * side), 0.0f);
        for (int k = 0; k < 2; ++k) passes[k].buf.assign(static_cast<size_t>(kPasses[k] + 23 * side), 0.0f);
        float* out = side ? right.data() : left.data();
        for (size_t i = 0; i < send.size(); ++i) {
            float x = send[i];
            float y = combs[0].Run(x, fFeedback, 0.35f) + combs[1].Run(x, fFeedback, 0.35f) +
                      combs[2].Run(x, fFeedback, 0.35f) + combs[3].Run(x, fFeedback, 0.35f);
            out[i] += passes[1].Run(passes[0].Run(y)) * 0.09f;
        }
    }
}

void AddScaled(const float* pFrom, size_t n, float g, float* pTo) {
    for (size_t i = 0; i < n; ++i) pTo[i] += pFrom[i] * g;
}

void Normalise(std::vector<float>& left, std::vector<float>& right) {
    double g = Gain(kMusicLoudness - Loudness(left, right));
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = static_cast<float>(left[i] * g);
        right[i] = static_cast<float>(right[i] * g);
    }
    LimitPeaks(left, right, Gain(kMusicCeilingDb));
}

}  // namespace

MUSICPIECE RenderTheme(const THEME& theme) {
    CGrid grid(theme);
    const std::vector<CHORD> chords = ParseChords(theme.pszChords);
    const size_t nLoop = static_cast<size_t>(grid.Frame(grid.Steps()));
    const size_t nTotal = nLoop + static_cast<size_t>(kTailSeconds * kRate);
    // Kept from piece to piece on each thread: touching fresh pages costs more than the music.
    thread_local std::vector<float> left, right, send;
    left.assign(nTotal, 0.0f);
    right.assign(nTotal, 0.0f);
    send.assign(nTotal, 0.0f);
    for (const PART& p : theme.parts) {
        // Constant power across the field.
        double g = Gain(p.fLevel), fAngle = (p.fPan + 1) / 8;
        double gl = g * Cosine(fAngle), gr = g * Sine(fAngle), gs = g * p.fReverb;
        // A note played again the same way sounds the same: it is made once.
        std::map<std::tuple<double, int64_t, double>, SOUND> made;
        for (const NOTEEV& ev : Events(theme, p, chords)) {
            SOUND& sound = made[std::make_tuple(ev.fNote, ev.nHeld, ev.fVel)];
            if (sound.empty()) {
                NOTEEV own = ev;
                own.nStart = 0;
                if (p.kind == PK_DRUM)
                    PlayDrum(p.nSound, own, sound);
                else
                    PlayInstrument(p.nSound, p.fTone, own, sound);
            }
            size_t n = std::min(sound.size(), nTotal - static_cast<size_t>(ev.nStart));
            const float fl = static_cast<float>(gl * ev.fJitter), fr = static_cast<float>(gr * ev.fJitter),
                        fs = static_cast<float>(gs * ev.fJitter);
            AddScaled(sound.data(), n, fl, &left[ev.nStart]);
            AddScaled(sound.data(), n, fr, &right[ev.nStart]);
            AddScaled(sound.data(), n, fs, &send[ev.nStart]);
        }
    }
    if (theme.fRoom > 0) AddRoom(send, theme.fRoom, left, right);
    size_t nFrames = nLoop;
    if (theme.bLoop) {
        // What rings past the end sounds again over the start, as it would going round.
        for (size_t i = nLoop; i < nTotal; ++i) {
            left[i % nLoop] += left[i];
            right[i % nLoop] += right[i];
        }
    } else {
        nFrames = nTotal;
        while (nFrames > nLoop && left[nFrames - 1] < 1e-4f && left[nFrames - 1] > -1e-4f) nFrames--;
    }
    left.resize(nFrames);
    right.resize(nFrames);
    Normalise(left, right);
    std::vector<int16_t> samples(2 * nFrames);
    for (size_t i = 0; i < nFrames; ++i) {
        samples[2 * i] = ToPcm(left[i]);
        samples[2 * i + 1] = ToPcm(right[i]);
    }
    MUSICPIECE piece;
    piece.nLoopStartMs = 0;
    piece.wave = MakeWaveFile(samples, kRate, 2);
    return piece;
}
