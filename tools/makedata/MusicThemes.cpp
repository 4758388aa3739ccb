// The game's music, one theme a scene, each with its own tempo, key, metre and band:
// - title: a heroic march-rock anthem, D major, 4/4 at 123, brass over power chords;
// - opening (the town at dusk): a music-box waltz, B major, 3/4 at 66, the key of the heroine's hum;
// - the opening's attack: taiko, brass stabs in 3 + 3 + 2 and tremolo strings, C minor, 4/4 at 174;
// - stage 1 (a suburb at dusk): a shuffle, G major, 140 swung, a chip lead and a strummed guitar;
// - stage 2 (an iron harbour): industrial half-time, E minor, 110, an acid bass and anvils;
// - stage 3 (a red canyon): a 6/8 gallop at 98, A Phrygian dominant, a whistle, nylon guitar,
//   castanets;
// - stage 4 (a frozen base): 5/4 at 104, F# minor, glass bells, a flute, brushes;
// - stage 5 (the fortress): four on the floor, G minor, 149, organ, choir, a string ostinato;
// - every boss: 7/8 (2 + 2 + 3) at 320 eighths, B flat minor, overdriven riff and a screaming lead;
// - ending (the fortress falls): a brass fanfare march, F major, 92, timpani and snare;
// - the ending's dawn: a pastoral 6/8 at 53, E flat major, a flute over a picked guitar;
// and two jingles of the sound bank: the stage clear and the game over.
#include <atomic>
#include <mutex>
#include <thread>

#include "MusicEngine.h"

namespace {

const THEME kTitle = {
    123, 4, 4, 16, 0,
    "D:16 A/C#:16 Bm:16 G:16 D/F#:16 G:16 Em7:8 A:8 D:16 G:16 A:16 F#m:16 Bm:16 G:16 A:16 Bb:8 C:8 Asus4:8 A:8",
    {
        {PK_LINE, IN_BRASS,
         "D4:2 A4:2 D5:8 C#5:2 D5:2 | E5:6 D5:2 C#5:4 A4:4 | B4:6 C#5:2 D5:4 F#5:4 | E5:12 .:4 |"
         "F#5:4 E5:2 D5:2 A4:8 | B4:4 D5:4 G5:6 F#5:2 | E5:6 D5:2 C#5:4 E5:4 | D5:12 .:4 |"
         "B4:2 C#5:2 D5:4 G5:4 F#5:4 | E5:8 A4:4 C#5:4 | F#5:6 E5:2 C#5:4 A4:4 | B4:12 .:4 |"
         "G5:4 F#5:2 E5:2 D5:4 B4:4 | C#5:4 D5:2 E5:2 A5:8 | F5:4 D5:4 E5:4 G5:4 | A5:8 E5:4 C#5:4",
         69, 0, 0.1, 0.3, 0.92, 0.6},
        {PK_PAD, IN_STRINGS, "", 62, -9, -0.4, 0.4, 1.0, 0.3},
        {PK_BASS, IN_POWER, "(1:2 1 1 1 1 1 1 1)", 52, -3, -0.55, 0.05, 0.45, 0.3},
        {PK_BASS, IN_POWER, "(5:2 5 5 5 5 5 5 5)", 59, -5, 0.55, 0.05, 0.45, 0.3},
        {PK_BASS, IN_BASS, "1:2 1 1 1 1 1 5 8", 40, -5, 0, 0, 0.8, 0.4},
        {PK_BASS, IN_TIMPANI, "1:4 .:60", 45, -6, 0.2, 0.2, 1.0, 0},
        {PK_DRUM, DR_KICK, "X.......x.x.....", 0, -1, 0, 0, 1, 0},
        {PK_DRUM, DR_SNARE, "(....X.......X...)7 ....X...X.XxXXXX", 0, -4, 0.1, 0.15, 1, 0},
        {PK_DRUM, DR_HAT, "x.x.x.x.x.x.x.x.", 0, -9, 0.3, 0, 1, 0},
        {PK_DRUM, DR_TOMHI, "(................)7 ............X.x.", 0, -7, 0.3, 0.2, 1, 0},
        {PK_DRUM, DR_TOMLO, "(................)7 ..............X.", 0, -6, -0.3, 0.2, 1, 0},
        {PK_DRUM, DR_CRASH, "X...............(................)7", 0, -12, -0.2, 0.2, 1, 0},
    },
    0.5, true,
};

// Her hum (B D# F# G# F# D# E C#) comes back in the music box.
const THEME kOpening = {
    65.6, 2, 3, 4, 0,
    "B:6 E:6 C#m7:3 F#:3 B:6",
    {
        {PK_LINE, IN_MUSICBOX,
         "F#5:2 D#5:1 F#5:1 B5:2 | G#5:3 F#5:1 E5:2 | B4:1 D#5:1 F#5:1 G#5:1 F#5:1 D#5:1 | E5:1 C#5:1 B4:4",
         83, 0, 0.2, 0.5, 1.0, 0},
        {PK_ARP, IN_PLUCK, "0:1 1 2 3 2 1", 59, -2, -0.35, 0.4, 1.0, 0.6},
        {PK_PAD, IN_STRINGS, "", 64, -11, 0.3, 0.5, 1.0, 0},
        {PK_BASS, IN_SUBBASS, "1:2 .:4", 47, -6, 0, 0.1, 0.9, 0},
        {PK_DRUM, DR_SHAKER, "..o.o.", 0, -20, 0.5, 0.2, 1, 0},
    },
    0.8, true,
};

const THEME kCrisis = {
    174, 4, 4, 8, 0,
    "Cm:16 Ab:16 Fm:16 Cm:16 Cm:16 Ab:16 Db:16 G:16",
    {
        {PK_LINE, IN_SAWLEAD,
         "C5:3 Eb5:3 G5:2 F5:4 Eb5:4 | Ab4:3 C5:3 Eb5:2 Ab5:8 | F5:3 Ab5:3 C6:2 Ab5:4 F5:4 | G5:12 Eb5:4 |"
         "C5:3 Eb5:3 G5:2 C6:8 | Eb6:6 C6:2 Ab5:4 Eb5:4 | F5:3 Ab5:3 Db6:2 C6:8 | B5:8 G5:4 D5:4",
         76, 1, 0.15, 0.25, 0.9, 0.5},
        {PK_ARP, IN_SAWLEAD, "(0:1)4 (1:1)4 (2:1)4 (1:1)4", 62, -6, -0.4, 0.3, 0.8, 0.1},
        {PK_CHORD, IN_BRASS, "X:3 x:3 x:2 .:8", 52, -1, 0.3, 0.2, 0.6, 0.6},
        {PK_PAD, IN_CHOIR, "", 64, -12, -0.1, 0.5, 1.0, 0},
        {PK_BASS, IN_BASS, "1:2 1 1 1 1 1 5 b7", 36, -3, 0, 0, 0.7, 0.3},
        {PK_DRUM, DR_TAIKO, "X...X..xX...X.xx", 0, 0, -0.2, 0.2, 1, 0},
        {PK_DRUM, DR_TOMMID, "(................)3 ........X.X.XXXX", 0, -5, 0.3, 0.2, 1, 0},
        {PK_DRUM, DR_HAT, "x.x.X.x.x.x.X.x.", 0, -10, 0.4, 0, 1, 0},
        {PK_DRUM, DR_CRASH, "X...............(................)3", 0, -12, 0.2, 0.2, 1, 0},
    },
    0.7, true,
};

const THEME kStage1 = {
    140, 2, 4, 16, 0.33,
    "G:8 Em:8 C:8 D:8 G:8 Em:8 Am:4 D:4 G:8 C:8 D:8 Bm:8 Em:8 C:8 D:8 Am:4 D7:4 G:8",
    {
        {PK_LINE, IN_PULSE,
         "B4:1 D5:1 G5:2 F#5:1 G5:1 A5:2 | G5:4 E5:2 D5:2 | E5:1 G5:1 B5:2 A5:1 G5:1 E5:2 | F#5:6 .:2 |"
         "B4:1 D5:1 G5:2 F#5:1 G5:1 B5:2 | A5:2 G5:2 E5:2 D5:2 | C5:1 E5:1 A5:2 F#5:1 E5:1 D5:2 | G5:6 .:2 |"
         "E5:2 G5:1 E5:1 B5:2 A5:2 | F#5:2 A5:1 F#5:1 D5:4 | D5:1 F#5:1 A5:2 B5:2 A5:2 | G5:6 .:2 |"
         "E5:1 G5:1 C6:2 B5:2 G5:2 | A5:2 F#5:2 D5:2 E5:1 F#5:1 | G5:2 E5:2 D5:2 C5:2 | B4:4 .:4",
         79, -1, 0.25, 0.2, 0.85, 0.3},
        {PK_CHORD, IN_PLUCK, "(.:1 x:1)4", 62, -3, -0.45, 0.2, 0.6, 0.7},
        {PK_PAD, IN_ORGAN, "", 60, -12, 0.4, 0.3, 1.0, 0.1},
        {PK_BASS, IN_BASS, "1:2 5:2 8:2 5:2", 43, -3, 0, 0, 0.8, 0.5},
        {PK_DRUM, DR_KICK, "x...x...", 0, 1, 0, 0, 1, 0},
        {PK_DRUM, DR_SNARE, "..x...x.(..x...x.)6 ..x.xxXX", 0, -2, 0.1, 0.15, 1, 0},
        {PK_DRUM, DR_HAT, "xoxoxoxo", 0, -6, 0.35, 0, 1, 0},
        {PK_DRUM, DR_OPENHAT, "........ .......x", 0, -6, 0.35, 0.1, 1, 0},
        {PK_DRUM, DR_CRASH, "x.......(........)7", 0, -10, -0.3, 0.2, 1, 0},
    },
    0.45, true,
};

const THEME kStage2 = {
    110, 4, 4, 12, 0,
    "Em:16 Em:16 Am:16 Am:16 C:16 B7:16 Em:16 Em:16 C:16 Am:16 B7:16 B7:16",
    {
        {PK_LINE, IN_SAWLEAD,
         "E4:12 G4:4 | F#4:8 D4:8 | A4:16 | G4:8 E4:8 | E4:16 | F#4:16 |"
         "G4:12 B4:4 | A4:16 | C5:8 B4:8 | A4:8 E4:8 | D#4:16 | F#4:16",
         64, -4, -0.2, 0.35, 0.95, 0.1},
        {PK_BASS, IN_ACID, "1:1 1 8! 1 3 1 5! 1 3 1 8! 1 5 3 5 1", 40, -3, 0, 0.05, 0.6, 0.4},
        {PK_PAD, IN_GLASS, "", 64, -15, 0.3, 0.6, 1.0, 0},
        {PK_LINE, IN_BELL, "E5:4 .:12 | .:8 B4:4 .:4 | .:16 | G5:4 .:4 F#5:4 .:4", 76, -12, 0.5, 0.6, 1.0, 0.4},
        {PK_DRUM, DR_KICK, "X.....x...x.....", 0, -2, 0, 0, 1, 0},
        {PK_DRUM, DR_CLAP, "........X.......", 0, -3, -0.1, 0.25, 1, 0},
        {PK_DRUM, DR_HAT, "xoxoXoxoxoxoXoxo", 0, -12, 0.3, 0, 1, 0},
        {PK_DRUM, DR_ANVIL, "...x.......x..x.", 0, -11, -0.45, 0.3, 1, 0},
        {PK_DRUM, DR_RIM, "(................)3 ......x.....x.xx", 0, -8, 0.4, 0.2, 1, 0},
    },
    0.6, true,
};

const THEME kStage3 = {
    98, 6, 2, 16, 0,
    "A:12 Bb:12 A:12 A:12 Dm:12 Gm:12 A:12 A:12 Dm:12 C:12 Bb:12 A:12 Gm:12 Bb:12 A7:12 A:12",
    {
        {PK_LINE, IN_WHISTLE,
         "E5:6 A5:2 G5:2 F5:2 | F5:6 D5:6 | E5:4 C#5:2 D5:2 E5:4 | A4:12 |"
         "D5:4 F5:2 A5:6 | Bb5:4 A5:2 G5:6 | A5:4 G5:2 F5:2 E5:4 | E5:12 |"
         "F5:6 E5:2 D5:2 F5:2 | E5:6 G5:6 | F5:4 E5:2 D5:2 Bb4:4 | C#5:12 |"
         "D5:4 Bb4:2 G4:6 | F5:4 D5:2 Bb4:6 | C#5:4 E5:2 G5:6 | A5:12",
         76, 0, 0.15, 0.45, 0.9, 0},
        {PK_LINE, IN_BRASS,
         ".:96 | A4:6 F4:6 | G4:6 C5:6 | D5:6 Bb4:6 | A4:12 | Bb4:6 G4:6 | D5:6 Bb4:6 | C#5:6 A4:6 | A4:12",
         67, -7, -0.35, 0.35, 0.9, 0.5},
        {PK_CHORD, IN_PLUCK, "X:2 x:1 x:1 x:2 X:2 x:1 x:1 x:2", 57, -7, 0.35, 0.2, 0.7, 0.45},
        {PK_BASS, IN_BASS, "1:6 5:6", 45, -4, 0, 0, 0.8, 0.2},
        {PK_DRUM, DR_TOMLO, "X.....x.....", 0, -5, -0.1, 0.2, 1, 0},
        {PK_DRUM, DR_CASTANET, "X.x.xxX.x.xx", 0, -9, 0.5, 0.2, 1, 0},
        {PK_DRUM, DR_SHAKER, "..x..x..x..x", 0, -10, -0.5, 0.1, 1, 0},
    },
    0.75, true,
};

const THEME kStage4 = {
    104, 4, 5, 8, 0,
    "F#m9:20 Dmaj7:20 Bm7:20 C#m7:20 F#m9:20 Dmaj7:20 Bm7:20 C#7:20",
    {
        {PK_LINE, IN_FLUTE,
         "C#5:8 E5:4 G#5:8 | F#5:12 E5:4 C#5:4 | D5:8 F#5:4 A5:8 | G#5:12 .:8 |"
         "C#6:8 B5:4 A5:4 G#5:4 | A5:8 F#5:4 E5:8 | D5:4 E5:4 F#5:4 A5:8 | G#5:8 F5:4 C#5:8",
         76, -1, 0.1, 0.5, 0.95, 0},
        {PK_ARP, IN_BELL, "0:2 2 4 1 3 0 2 4 3 1", 71, -8, -0.45, 0.55, 1.0, 0.1},
        {PK_PAD, IN_STRINGS, "", 57, -13, 0.35, 0.5, 1.0, 0},
        {PK_BASS, IN_SUBBASS, "1:12 5:8", 42, -3, 0, 0, 0.9, 0},
        {PK_DRUM, DR_KICK, "X...........x.......", 0, -3, 0, 0, 1, 0},
        {PK_DRUM, DR_BRUSH, "x...x...x...x...x...", 0, -2, 0.2, 0.2, 1, 0},
        {PK_DRUM, DR_RIDE, "x.o.x.o.x.o.x.o.x.o.", 0, -16, 0.45, 0.2, 1, 0},
        {PK_DRUM, DR_RIM, "............X.......", 0, -6, -0.3, 0.3, 1, 0},
    },
    0.85, true,
};

const THEME kStage5 = {
    149, 4, 4, 16, 0,
    "Gm:16 Eb:16 Cm:16 D:16 Gm:16 Eb:16 F:16 D7:16 Cm:16 Gm:16 Bb:16 D:16 Eb:16 Gm:16 Adim:8 D7:8 D:16",
    {
        {PK_LINE, IN_BRASS,
         "G4:4 Bb4:4 D5:6 C5:2 | Bb4:8 G4:8 | C5:4 Eb5:4 G5:6 F5:2 | F#5:12 .:4 |"
         "G5:4 F#5:2 G5:2 D5:8 | Eb5:4 D5:2 Eb5:2 Bb4:8 | C5:4 D5:4 Eb5:4 F5:4 | F#5:8 A5:8 |"
         "G5:6 Eb5:2 C5:8 | D5:6 Bb4:2 G4:8 | Bb4:4 D5:4 F5:4 Bb5:4 | F#5:12 .:4 |"
         "G5:4 Bb5:4 G5:4 Eb5:4 | Bb5:4 A5:4 G5:4 D5:4 | Eb5:8 C5:8 | D5:12 .:4",
         72, -1, 0.1, 0.3, 0.92, 0.8},
        {PK_ARP, IN_SAWLEAD, "(0:1 0 1 0 2 0 1 0)2", 55, -3, -0.4, 0.15, 0.5, 0.0},
        {PK_PAD, IN_ORGAN, "", 60, -13, 0.4, 0.3, 1.0, 0.9},
        {PK_PAD, IN_CHOIR, "", 67, -16, -0.2, 0.5, 1.0, 0},
        {PK_BASS, IN_BASS, "(1:2 8)4", 43, -4, 0, 0, 0.7, 0.6},
        {PK_BASS, IN_TIMPANI, "1:4 .:12", 43, -4, 0.25, 0.3, 1.0, 0},
        {PK_DRUM, DR_KICK, "X...x...X...x...", 0, -2, 0, 0, 1, 0},
        {PK_DRUM, DR_SNARE, "(....X.......X...)15 ....X.......XXXX", 0, -7, 0.1, 0.2, 1, 0},
        {PK_DRUM, DR_OPENHAT, "..x...x...x...x.", 0, -12, 0.35, 0.1, 1, 0},
        {PK_DRUM, DR_TOMLO, "(................)15 ........X.X.....", 0, -6, -0.3, 0.2, 1, 0},
        {PK_DRUM, DR_CRASH, "X...............(................)3", 0, -13, -0.25, 0.3, 1, 0},
    },
    0.65, true,
};

const THEME kBoss = {
    320, 2, 7, 16, 0,
    "Bbm:14 Gb:14 Ebm:14 F:14 Bbm:14 Gb:14 Cdim:14 F7:14 Bbm:14 Db:14 Gb:14 F:14 Ebm:14 Bbm/F:14 Gb:14 F7:14",
    {
        {PK_LINE, IN_SAWLEAD,
         "F5:4 Db5:4 Bb4:6 | Bb4:2 Db5:2 Gb5:4 F5:6 | Eb5:4 Gb5:4 Bb5:6 | A5:8 F5:6 |"
         "Bb5:4 A5:2 Bb5:2 F5:6 | Gb5:4 F5:2 Gb5:2 Db5:6 | C5:4 Eb5:4 Gb5:6 | A5:4 C6:4 Eb6:6 |"
         "Db6:8 C6:6 | Bb5:4 Ab5:4 F5:6 | Gb5:4 Bb5:4 Db6:6 | C6:8 A5:6 |"
         "Bb5:4 Gb5:4 Eb5:6 | F5:4 Db5:4 Bb4:6 | Db5:4 Eb5:4 Gb5:6 | F5:4 A4:4 C5:2 Eb5:4",
         77, -2, 0.2, 0.2, 0.9, 0.9},
        {PK_BASS, IN_POWER, "1:2 -1 8 1 5 b7 1", 46, -3, -0.4, 0.05, 0.7, 0.6},
        {PK_BASS, IN_SUBBASS, "1:4 1:4 1:6", 34, -5, 0, 0, 0.8, 0},
        {PK_CHORD, IN_ORGAN, "X:4 x:4 x:6", 62, -12, 0.45, 0.2, 0.4, 1.0},
        {PK_DRUM, DR_KICK, "X...x...X.x...", 0, -4, 0, 0, 1, 0},
        {PK_DRUM, DR_SNARE, "(....X.....X...)15 ....X.XXXXXXXX", 0, -7, 0.1, 0.15, 1, 0},
        {PK_DRUM, DR_HAT, "xoxoxoxoxoxoxo", 0, -12, 0.35, 0, 1, 0},
        {PK_DRUM, DR_TOMHI, "(..............)7 ........X.X...", 0, -8, 0.3, 0.2, 1, 0},
        {PK_DRUM, DR_CRASH, "X.............(..............)3", 0, -13, -0.3, 0.2, 1, 0},
    },
    0.4, true,
};

const THEME kEnding = {
    92, 4, 4, 8, 0,
    "F:16 Bb:16 F/A:16 C:16 Dm:16 Bb:16 Gm7:8 C:8 F:16",
    {
        {PK_LINE, IN_BRASS,
         "C5:3 C5:1 F5:4 A5:6 G5:2 | F5:4 D5:4 Bb4:8 | C5:3 C5:1 F5:4 A5:6 C6:2 | G5:12 .:4 |"
         "A5:3 A5:1 D6:4 C6:4 A5:4 | Bb5:8 F5:4 D5:4 | D5:4 F5:4 E5:4 G5:4 | F5:12 .:4",
         74, 0, 0.1, 0.35, 0.9, 0.7},
        {PK_LINE, IN_MUSICBOX,
         "C6:3 C6:1 F6:4 A6:6 G6:2 | F6:4 D6:4 Bb5:8 | C6:3 C6:1 F6:4 A6:6 C7:2 | G6:12 .:4 |"
         "A6:3 A6:1 D7:4 C7:4 A6:4 | Bb6:8 F6:4 D6:4 | D6:4 F6:4 E6:4 G6:4 | F6:12 .:4",
         91, -16, 0.4, 0.4, 0.9, 0},
        {PK_CHORD, IN_BRASS, "X:2 .:2 x:2 .:2 X:2 .:2 x:2 .:2", 58, -10, -0.4, 0.3, 0.8, 0.3},
        {PK_PAD, IN_STRINGS, "", 65, -10, 0.35, 0.5, 1.0, 0.5},
        {PK_BASS, IN_TIMPANI, "1:4 .:4 5:4 .:4", 41, -4, -0.1, 0.3, 1.0, 0},
        {PK_BASS, IN_SUBBASS, "1:8 5:8", 41, -8, 0, 0, 0.9, 0},
        {PK_DRUM, DR_KICK, "X.......X.......", 0, -5, 0, 0, 1, 0},
        {PK_DRUM, DR_SNARE, "X.xxX.x.X.xxXxxx", 0, -9, 0.15, 0.25, 1, 0},
        {PK_DRUM, DR_CRASH, "X...............(................)3", 0, -12, -0.25, 0.3, 1, 0},
    },
    0.8, true,
};

const THEME kDawn = {
    53, 3, 2, 12, 0,
    "Eb:6 Ab:6 Eb/G:6 Ab:6 Cm:6 Fm7:6 Bb:6 Eb:6 Ab:6 Eb/G:6 Fm7:3 Bb:3 Eb:6",
    {
        {PK_LINE, IN_FLUTE,
         "G5:3 Bb5:2 G5:1 | Ab5:4 C6:2 | Bb5:2 G5:1 Eb5:3 | F5:4 Ab5:2 |"
         "G5:2 Ab5:1 G5:3 | F5:3 Eb5:2 C5:1 | D5:3 F5:3 | Eb5:6 |"
         "C6:3 Bb5:2 Ab5:1 | G5:3 Bb5:3 | Ab5:2 F5:1 D5:3 | Eb5:6",
         80, 0, 0.2, 0.5, 0.95, 0},
        {PK_ARP, IN_PLUCK, "0:1 1 2 3 2 1", 58, 0, -0.35, 0.35, 1.0, 0.4},
        {PK_PAD, IN_STRINGS, "", 60, -11, 0.4, 0.5, 1.0, 0},
        {PK_BASS, IN_SUBBASS, "1:3 5:3", 39, -6, 0, 0.1, 0.95, 0},
    },
    0.8, true,
};

const THEME kStageClear = {
    132, 4, 4, 2, 0,
    "A:12 D:4 E:8 A:8",
    {
        {PK_LINE, IN_BRASS, "E5:2 A5:2 C#6:2 E6:6 D6:2 C#6:2 | B5:2 C#6:2 D6:2 E6:10", 76, 0, 0, 0.4, 0.95, 0.8},
        {PK_CHORD, IN_BRASS, "X:2 .:2 x:2 .:6 x:4 | X:2 .:2 x:2 X:10", 62, -8, -0.3, 0.4, 0.9, 0.5},
        {PK_BASS, IN_TIMPANI, "1:4 .:8 1:4 | 1:8 1:8", 45, -6, 0.2, 0.3, 1.0, 0},
        {PK_DRUM, DR_SNARE, "X...X.......xxxx X.x.X.....", 0, -10, 0.2, 0.3, 1, 0},
        {PK_DRUM, DR_CRASH, "........ ........ ........X.......", 0, -12, -0.2, 0.4, 1, 0},
    },
    0.7, false,
};

const THEME kGameOver = {
    72, 4, 4, 2, 0,
    "Dm:8 Bb:8 Gm:4 A7:4 Dm:8",
    {
        {PK_LINE, IN_STRINGS, "A4:4 F4:4 D4:4 C#4:4 | E4:4 C#4:4 D4:8", 62, 0, 0, 0.5, 1.0, 0.2},
        {PK_LINE, IN_BELL, "A5:4 F5:4 D5:4 C#5:4 | E5:4 C#5:4 D5:8", 74, -10, 0.3, 0.6, 1.0, 0.6},
        {PK_PAD, IN_CHOIR, "", 57, -8, -0.3, 0.5, 1.0, 0},
        {PK_BASS, IN_SUBBASS, "1:8", 38, -6, 0, 0, 1.0, 0},
    },
    0.85, false,
};

const THEME* const kThemes[MUSIC_COUNT] = {
    &kOpening, &kTitle, &kEnding, &kStage1, &kStage2, &kStage3, &kStage4, &kStage5,
    &kBoss, &kCrisis, &kDawn, &kStageClear, &kGameOver,
};

struct RENDERED {
    std::once_flag once;
    MUSICPIECE piece;
};

RENDERED g_Rendered[MUSIC_COUNT];

}  // namespace

const MUSICPIECE& GetMusicPiece(MUSICKIND eKind) {
    RENDERED& r = g_Rendered[eKind];
    std::call_once(r.once, [&r, eKind] { r.piece = RenderTheme(*kThemes[eKind]); });
    return r.piece;
}

void MakeAllMusic() {
    std::atomic<int> nNext{0};
    unsigned nWorkers = std::thread::hardware_concurrency();
    nWorkers = nWorkers < 1 ? 1 : (nWorkers > 4 ? 4 : nWorkers);
    std::vector<std::thread> workers;
    for (unsigned w = 0; w < nWorkers; ++w)
        workers.emplace_back([&nNext] {
            for (int i = nNext++; i < MUSIC_COUNT; i = nNext++) GetMusicPiece(static_cast<MUSICKIND>(i));
        });
    for (std::thread& t : workers) t.join();
}

MUSICPIECE MakeMusicPiece(int nKind) {
    if (nKind < 0) nKind = 0;
    if (nKind >= MUSIC_BOSS) nKind = MUSIC_BOSS;
    return GetMusicPiece(static_cast<MUSICKIND>(nKind));
}
