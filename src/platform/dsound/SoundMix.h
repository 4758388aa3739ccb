// The mixer's arithmetic, apart from the objects: one voice per secondary buffer, resampled to the
// output rate by linear interpolation and scaled by its volume.
#pragma once
#include <cstdint>

#include "platform/dsound/DSound.h"

#define MIX_BLOCK_FRAMES 1024
#define MIX_UNITY_GAIN 65536  // gains are 16.16 fixed point

struct MIXVOICE {
    const uint8_t* pData;
    uint32_t nFrames;       // whole sample frames in the buffer
    uint32_t nBlockAlign;
    uint32_t nChannels;
    uint32_t nBits;
    uint32_t dwFrequency;
    uint64_t nStep;         // source frames per output frame, 32.32
    uint64_t nPos;          // play position in source frames, 32.32
    int32_t nGain;
    bool bPlaying;
    bool bLooping;
};

// DS_OK for PCM with 1 or 2 channels of 8 or 16 bits at a rate DirectSound accepts and a block
// alignment and byte rate that agree with them; DSERR_BADFORMAT otherwise.
HRESULT CheckMixFormat(const WAVEFORMATEX* pFormat);
void SetupVoice(MIXVOICE* pVoice, const WAVEFORMATEX* pFormat, const uint8_t* pData, uint32_t nBytes);
void SetVoiceFrequency(MIXVOICE* pVoice, uint32_t dwFrequency);
// 10^(volume / 2000) in 16.16; DSBVOLUME_MIN is silence.
int32_t GainOfVolume(LONG lVolume);
// The write cursor's lead over the play cursor in the voice's own bytes (whole frames).
uint32_t WriteAheadBytes(const MIXVOICE& voice);
// Adds nFrames output frames of the voice to the stereo accumulator and moves it on; a voice that
// does not loop stops at its end, back at the start.
void MixVoice(MIXVOICE* pVoice, int32_t* pAccum, uint32_t nFrames);
// Frames away from a voice's end are mixed in runs for its format; tests turn the runs off to
// compare with the mix a frame at a time.
void EnableMixRuns(bool bEnable);
// The accumulator scaled by the master gain and saturated to 16 bits.
void ClampMix(const int32_t* pAccum, int32_t nMasterGain, int16_t* pOut, uint32_t nFrames);
