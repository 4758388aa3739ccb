// The sound layer: DirectSound start-up and release, the game's way of playing an effect by the
// path of its wave, the volume helpers every buffer user shares, and the RIFF/WAVE reader that
// reads a whole wave through the pack-aware file layer.
#pragma once
#include "pack/teskFile.h"
#include "platform/dsound/DSound.h"
#include "platform/mmio/MMSystem.h"

// Process-wide sound state. g_bSoundOn is 1 after a successful InitSound; while it is 0 every
// play, stop and query is skipped.
extern LPDIRECTSOUND g_lpDS;
extern LPDIRECTSOUNDBUFFER g_lpDSBPrimary;
extern int g_bSoundOn;

#define SOUND_FADE_STEPS 25

// 1 on success; -1 after releasing whatever had been made.
int InitSound(HWND hWnd);
void ReleaseSound();

// The effect restarts from its beginning at the bank's next update.
void PlaySoundFile(const char* pszPath);
int IsSoundFilePlaying(const char* pszPath);
void StopSoundFile(const char* pszPath);

// 25 immediate steps down to silence, stop, then the buffer's own volume again, rewound.
void FadeOutSoundBuffer(LPDIRECTSOUNDBUFFER lpBuffer);
void SetSoundBufferVolume(LPDIRECTSOUNDBUFFER lpBuffer, LONG lVolume);
// Starts the buffer silent and brings it up to its volume in 25 steps. The steps rise from
// silence: the mixer may render between two of them, and a ramp that started at full volume would
// be heard as a burst.
void PlaySoundBufferRamped(LPDIRECTSOUNDBUFFER lpBuffer, DWORD dwPlayFlags);

// The reason a format cannot describe real audio (null when it can): no channels, no rate, a
// block alignment or byte rate that disagrees with a PCM layout.
const char* GetWaveFormatProblem(const WAVEFORMATEX* pwfx);

// Tells the debugger output why a wave was refused.
void ReportBadWave(const char* pszPath, const char* pszReason);

// Reads the "RIFF"/"WAVE" header and the "fmt " chunk at the handle's position into a new format
// block (delete[] as uint8_t): 18 bytes for PCM, 18 + extra bytes for other formats. On success
// the handle stands after "fmt ". E_FAIL for anything that does not hold together.
HRESULT ReadWaveFormat(HMMIO hmmio, MMCKINFO* pckRiff, WAVEFORMATEX** ppwfx);

class CWaveReader {
public:
    CWaveReader();
    ~CWaveReader();
    CWaveReader(const CWaveReader&) = delete;
    CWaveReader& operator=(const CWaveReader&) = delete;

    // Reads the whole file, parses the format and stands at the start of the data. E_FAIL when the
    // file is missing or is not a wave whose chunks fit the file (the reason goes to the debugger
    // output).
    HRESULT Open(const char* pszPath);
    HRESULT Reset();
    // Up to dwSize bytes of the data that is left; a null buffer skips them.
    HRESULT Read(DWORD dwSize, BYTE* pBuffer, DWORD* pdwRead);
    HRESULT Close();

    WAVEFORMATEX* GetFormat() const { return m_pwfx; }
    DWORD GetSize() const { return m_ck.cksize; }  // data bytes left to read

private:
    void FreeFormat();

    WAVEFORMATEX* m_pwfx;
    HMMIO m_hmmio;
    MMCKINFO m_ck;
    MMCKINFO m_ckRiff;
    CFile m_File;
};

// The one-shot static buffer (nothing in the game plays through it).
HRESULT LoadStaticSound(const char* pszPath);
HRESULT FillStaticSoundBuffer();
HRESULT RestoreStaticSound();
HRESULT PlayStaticSound(BOOL bLoop);
HRESULT StopStaticSound(BOOL bRewind);
int IsStaticSoundPlaying();

// Opens a wave file by name through mmio and reads its format (nothing in the game calls it).
HRESULT OpenWaveFile(const char* pszPath, HMMIO* phmmio, WAVEFORMATEX** ppwfx, MMCKINFO* pckRiff);
