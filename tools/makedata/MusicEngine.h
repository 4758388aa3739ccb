// The generator's music studio: scores written as text on a step grid, played by synthesised
// instruments and drums, mixed in a small room, levelled to one loudness with its peaks held under
// a ceiling, and made into a loop whose end runs into its start without a seam.
//
// Scores, tokens apart by spaces ('|' between bars is only for the eye, "(...)N" repeats a group
// N times); a token's length in steps follows ':' and lasts until another is given; '!' after a
// token accents it, '\'' softens it; '.' is a rest.
// - Lines: notes by name and octave, "C4", "F#3", "Bb5" (C4 is middle C).
// - Bass: degrees of the chord sounding, in the octave at or below the part's centre: 1 (its
//   root, or the bass note of a slash chord), 3 and 5 (the chord's own third and fifth), 7 (its
//   seventh, a minor one when it has none), 2, 4, 6, b3, b6, b7 (from the root), 8 (the root an
//   octave up); '-' before a degree takes it an octave down, '+' up. Notes by name may stand
//   between.
// - Arpeggios: the chord's tones voiced around the centre, 0 the lowest, counting on upwards
//   through the octaves.
// - Chords: x (X accented, o soft) strikes the voiced chord for the token's length.
// - Pads hold each chord of the chord line; their score is not read.
// - Drums: one character a step, X accented, x plain, o a ghost, '.' none.
// Chords: root and quality ("G", "Em", "D7", "Fmaj7", "Bm7", "Cdim", "Asus4", "E5", "Cadd9", "Am6",
// "Bbaug"), a bass note after '/' ("D/F#"); "N" for none. Every part's score and the chord line
// repeat until the piece is full.
#pragma once
#include <vector>

#include "WaveWriter.h"

enum INSTRUMENT {
    IN_PULSE,     // a square lead; tone: the pulse width
    IN_SAWLEAD,   // two saws, bright; tone: brightness
    IN_BRASS,     // a filtered saw section that opens as it speaks
    IN_STRINGS,   // three saws, slow to rise
    IN_ORGAN,     // drawbars; tone: 0 soft flutes .. 1 full
    IN_BELL,      // two-operator FM, inharmonic; tone: ring length
    IN_EPIANO,    // two-operator FM, a tine
    IN_MUSICBOX,  // a struck comb
    IN_GLASS,     // FM, slow, a beating shimmer
    IN_PLUCK,     // a plucked string; tone: brightness
    IN_FLUTE,
    IN_WHISTLE,   // a pure whistled tone that scoops into its note
    IN_CHOIR,     // voices on "ah"
    IN_MARIMBA,
    IN_TIMPANI,
    IN_BASS,      // a picked synth bass
    IN_SUBBASS,
    IN_ACID,      // a resonant squelch; accents open it
    IN_POWER,     // an overdriven guitar
};

enum DRUM {
    DR_KICK, DR_SNARE, DR_HAT, DR_OPENHAT, DR_CLAP, DR_TOMLO, DR_TOMMID, DR_TOMHI, DR_TAIKO, DR_CRASH,
    DR_RIDE, DR_WOOD, DR_SHAKER, DR_RIM, DR_ANVIL, DR_BRUSH, DR_CASTANET,
};

enum PARTKIND { PK_LINE, PK_BASS, PK_ARP, PK_CHORD, PK_PAD, PK_DRUM };

struct PART {
    PARTKIND kind;
    int nSound;            // an INSTRUMENT, a DRUM for drum parts
    const char* pszScore;
    int nCentre;           // MIDI note the part's register is centred on (chord-based parts, bass)
    double fLevel;         // dB
    double fPan;           // -1 left .. 1 right
    double fReverb;        // share sent to the room
    double fGate;          // share of each note's length it is held
    double fTone;          // the instrument's own setting, 0 .. 1
};

struct THEME {
    double fBpm;
    int nStepsPerBeat;     // 4: sixteenths of a quarter; 6: sixteenths of a dotted quarter
    int nBeatsPerBar;
    int nBars;
    double fSwing;         // every second step comes late by this share of a step
    const char* pszChords;
    std::vector<PART> parts;
    double fRoom;          // 0 dry .. 1 a hall
    bool bLoop;            // false: a jingle, which rings out at its end
};

// The music's loudness and its peaks' ceiling: effects and voices are levelled against these.
const double kMusicLoudness = -21.0;  // LUFS
const double kMusicCeilingDb = -7.0;

// 44.1 kHz 16-bit stereo.
MUSICPIECE RenderTheme(const THEME& theme);
