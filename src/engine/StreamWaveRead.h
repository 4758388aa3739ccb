// A RIFF/WAVE reader that streams the data from the file instead of reading it whole: a plain wave
// file, or a wave stored (not compressed) in a pack.
#pragma once
#include "platform/mmio/MMSystem.h"

#define STREAM_PATH_SIZE 260

class CStreamWaveRead {
public:
    CStreamWaveRead();
    ~CStreamWaveRead();
    CStreamWaveRead(const CStreamWaveRead&) = delete;
    CStreamWaveRead& operator=(const CStreamWaveRead&) = delete;

    // 1 when the wave is open at the start of its data, else 0. The wave is read from the file
    // the file layer finds it in: the plain file, or the pack that holds it at the entry's offset.
    // The pack path is kept for messages.
    int Open(const char* pszPackPath, const char* pszWavePath);
    // Up to n bytes of what is left of the data; a null buffer skips them. 1, or 0 when closed or
    // n is 0.
    int Read(DWORD n, BYTE* pBuffer, DWORD* pdwRead);
    // Back to the start of the data.
    int Rewind();
    DWORD GetDataSize() const { return m_ckData.cksize; }
    const WAVEFORMATEX* GetFormat() const { return m_hmmio ? &m_wfx : nullptr; }
    void Close();

private:
    int Fail();

    HMMIO m_hmmio;
    MMCKINFO m_ckData;
    WAVEFORMATEX m_wfx;
    DWORD m_dwRead;
    char m_szPackPath[STREAM_PATH_SIZE];
    char m_szWavePath[STREAM_PATH_SIZE];
};
