// The sample waves: every sound effect the game names and its music, synthesised from code the
// same on every machine (only +, -, * and / on doubles, no library maths). Everything is at the
// mixer's own rate, 44.1 kHz, so nothing is resampled on its way out.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "DataSet.h"

// A music piece: 44.1 kHz 16-bit stereo, and where its loop starts, in ms.
struct MUSICPIECE {
    std::vector<uint8_t> wave;
    uint32_t nLoopStartMs;
};

enum MUSICKIND {
    MUSIC_OPENING, MUSIC_TITLE, MUSIC_ENDING, MUSIC_STAGE1, MUSIC_STAGE2, MUSIC_STAGE3, MUSIC_STAGE4,
    MUSIC_STAGE5, MUSIC_BOSS, MUSIC_CRISIS, MUSIC_DAWN, MUSIC_STAGE_CLEAR, MUSIC_GAME_OVER, MUSIC_COUNT
};

// The piece of a kind, made at its first use.
const MUSICPIECE& GetMusicPiece(MUSICKIND eKind);
// Makes every piece now, a few side by side.
void MakeAllMusic();
// By number: 0 opening, 1 title, 2 ending, 2 + stage the stage's theme, 8 and above the bosses'.
MUSICPIECE MakeMusicPiece(int nKind);
// A short effect, 44.1 kHz 16-bit mono, its sound chosen from the name (the same name always
// gives the same bytes; different names sound different).
std::vector<uint8_t> MakeEffectWave(const std::string& name);

// For the other sound makers of the generator: a PCM 16-bit wave file of the samples (interleaved
// when stereo).
std::vector<uint8_t> MakeWaveFile(const std::vector<int16_t>& samples, uint32_t nRate, uint16_t nChannels);

// A chat window's spoken line, long enough to read its text by: 1 the heroine's, 2 the operator's.
std::vector<uint8_t> MakeChatVoice(int nSpeaker);

// Writes the system bank's waves, the other effects the game names, and the music.
void WriteWaveFiles(CDataSet& data);
