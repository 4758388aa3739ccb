// The sample waves: every sound effect the game names and its music, synthesised from code the
// same on every machine (only +, -, * and / on doubles, no library maths).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "DataSet.h"

// A music piece: 44.1 kHz 16-bit stereo, its loop start (also given in a "cue " chunk) in ms.
struct MUSICPIECE {
    std::vector<uint8_t> wave;
    uint32_t nLoopStartMs;
};

// Piece kinds: 0 opening, 1 title menu, 2 ending (short: under two seconds), 3.. stage themes.
MUSICPIECE MakeMusicPiece(int nKind);
// A short effect, 22.05 kHz 16-bit mono, its sound chosen from the name (the same name always
// gives the same bytes; different names sound different).
std::vector<uint8_t> MakeEffectWave(const std::string& name);

// For the other sound makers of the generator: sin(2 pi phase) from the shared table, and a PCM
// 16-bit wave file of the samples (interleaved when stereo).
double SynthSine(double fPhase);
std::vector<uint8_t> MakeWaveFile(const std::vector<int16_t>& samples, uint32_t nRate, uint16_t nChannels);

// A chat window's spoken line, long enough to read its text by: 1 the heroine's, 2 the operator's.
std::vector<uint8_t> MakeChatVoice(int nSpeaker);

// Writes the system bank's waves, the other effects the game names, and the music.
void WriteWaveFiles(CDataSet& data);
