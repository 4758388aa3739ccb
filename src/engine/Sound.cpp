#include "engine/Sound.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/Log.h"
#include "engine/PCMManagerTask.h"
#include "platform/win/Win.h"
#include "rvm/rvm_stl.h"

LPDIRECTSOUND g_lpDS = nullptr;
LPDIRECTSOUNDBUFFER g_lpDSBPrimary = nullptr;
int g_bSoundOn = 0;

namespace {

const FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
const FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');
const FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');

CWaveReader* g_pStaticReader = nullptr;
LPDIRECTSOUNDBUFFER g_lpStaticBuffer = nullptr;
DWORD g_dwStaticSize = 0;

template <class T>
void ReleaseAndClear(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

}  // namespace

void ReportBadWave(const char* pszPath, const char* pszReason) {
    char text[400];
    snprintf(text, sizeof text, "WAVE refused: %s (%s)\n", pszPath ? pszPath : "", pszReason);
    OutputDebugStringA(text);
    ReportDataError(pszPath, "the wave is refused: %s", pszReason);
}

// ---- Start-up and the forwards to the bank -----------------------------------------------------

int InitSound(HWND hWnd) {
    CoInitialize(nullptr);
    if (FAILED(DirectSoundCreate(nullptr, &g_lpDS, nullptr)) || FAILED(g_lpDS->SetCooperativeLevel(hWnd, DSSCL_PRIORITY))) {
        ReleaseSound();
        return -1;
    }
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (FAILED(g_lpDS->CreateSoundBuffer(&desc, &g_lpDSBPrimary, nullptr))) {
        ReleaseSound();
        return -1;
    }
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    if (FAILED(g_lpDSBPrimary->SetFormat(&wfx))) {
        ReleaseSound();
        return -1;
    }
    g_bSoundOn = 1;
    return 1;
}

void ReleaseSound() {
    g_bSoundOn = 0;
    delete g_pStaticReader;
    g_pStaticReader = nullptr;
    ReleaseAndClear(g_lpStaticBuffer);
    ReleaseAndClear(g_lpDSBPrimary);
    ReleaseAndClear(g_lpDS);
    CoUninitialize();
}

void PlaySoundFile(const char* pszPath) {
    if (g_bSoundOn) g_PCMManagerTask.Play(pszPath);
}

int IsSoundFilePlaying(const char* pszPath) { return g_bSoundOn ? g_PCMManagerTask.IsPlaying(pszPath) : 0; }

void StopSoundFile(const char* pszPath) {
    if (g_bSoundOn) g_PCMManagerTask.Stop(pszPath);
}

// ---- Volume helpers -----------------------------------------------------------------------------

void FadeOutSoundBuffer(LPDIRECTSOUNDBUFFER lpBuffer) {
    if (!lpBuffer) return;
    LONG v = 0;
    lpBuffer->GetVolume(&v);
    for (LONG k = 0; k < SOUND_FADE_STEPS; ++k) lpBuffer->SetVolume(v - k * ((v + 10000) / SOUND_FADE_STEPS));
    lpBuffer->SetVolume(DSBVOLUME_MIN);
    lpBuffer->Stop();
    lpBuffer->SetVolume(v);
    lpBuffer->SetCurrentPosition(0);
}

void SetSoundBufferVolume(LPDIRECTSOUNDBUFFER lpBuffer, LONG lVolume) {
    if (lpBuffer) lpBuffer->SetVolume(lVolume);
}

void PlaySoundBufferRamped(LPDIRECTSOUNDBUFFER lpBuffer, DWORD dwPlayFlags) {
    if (!lpBuffer) return;
    LONG v = 0;
    lpBuffer->GetVolume(&v);
    lpBuffer->SetVolume(DSBVOLUME_MIN);
    lpBuffer->Play(0, 0, dwPlayFlags);
    for (LONG k = 0; k < SOUND_FADE_STEPS; ++k)
        lpBuffer->SetVolume(DSBVOLUME_MIN + k * ((v - DSBVOLUME_MIN) / SOUND_FADE_STEPS));
    lpBuffer->SetVolume(v);
}

// ---- Wave format --------------------------------------------------------------------------------

const char* GetWaveFormatProblem(const WAVEFORMATEX* p) {
    if (p->nChannels == 0) return "no channels";
    if (p->nSamplesPerSec == 0) return "no sample rate";
    if (p->nBlockAlign == 0) return "no block alignment";
    if (p->wFormatTag != WAVE_FORMAT_PCM) return nullptr;
    if (p->wBitsPerSample == 0 || p->wBitsPerSample % 8 != 0) return "PCM sample size is not whole bytes";
    if (p->nBlockAlign != p->nChannels * (p->wBitsPerSample / 8)) return "PCM block alignment disagrees with the channels";
    if (p->nAvgBytesPerSec != p->nSamplesPerSec * p->nBlockAlign) return "PCM byte rate disagrees with the sample rate";
    return nullptr;
}

HRESULT ReadWaveFormat(HMMIO hmmio, MMCKINFO* pckRiff, WAVEFORMATEX** ppwfx) {
    *ppwfx = nullptr;
    if (mmioDescend(hmmio, pckRiff, nullptr, 0) != 0) return E_FAIL;
    if (pckRiff->ckid != FOURCC_RIFF || pckRiff->fccType != kWave) return E_FAIL;
    MMCKINFO ck{};
    ck.ckid = kFmt;
    if (mmioDescend(hmmio, &ck, pckRiff, MMIO_FINDCHUNK) != 0 || ck.cksize < 16) return E_FAIL;
    WAVEFORMATEX head{};
    if (mmioRead(hmmio, reinterpret_cast<HPSTR>(&head), 16) != 16) return E_FAIL;
    WORD cbExtra = 0;
    if (head.wFormatTag != WAVE_FORMAT_PCM) {
        // The extra bytes must lie inside the chunk that announces them.
        if (ck.cksize < 18 || mmioRead(hmmio, reinterpret_cast<HPSTR>(&cbExtra), 2) != 2 ||
            18u + cbExtra > ck.cksize)
            return E_FAIL;
    }
    auto* pBlock = new uint8_t[sizeof(WAVEFORMATEX) + cbExtra];
    auto* pwfx = reinterpret_cast<WAVEFORMATEX*>(pBlock);
    *pwfx = head;
    pwfx->cbSize = cbExtra;
    if ((cbExtra > 0 && mmioRead(hmmio, reinterpret_cast<HPSTR>(pBlock + sizeof(WAVEFORMATEX)), cbExtra) != cbExtra) ||
        mmioAscend(hmmio, &ck, 0) != 0) {
        delete[] pBlock;
        return E_FAIL;
    }
    *ppwfx = pwfx;
    return S_OK;
}

// ---- CWaveReader --------------------------------------------------------------------------------

CWaveReader::CWaveReader() : m_pwfx(nullptr), m_hmmio(nullptr), m_ck{}, m_ckRiff{}, m_File(0) {}

CWaveReader::~CWaveReader() {
    FreeFormat();
    Close();
}

void CWaveReader::FreeFormat() {
    delete[] reinterpret_cast<uint8_t*>(m_pwfx);
    m_pwfx = nullptr;
}

HRESULT CWaveReader::Open(const char* pszPath) {
    FreeFormat();
    Close();
    if (!pszPath || m_File.Read(pszPath) != FILE_OK) {
        ReportBadWave(pszPath, "the file is missing or cannot be read");
        return E_FAIL;
    }
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = reinterpret_cast<HPSTR>(m_File.GetMemory());
    info.cchBuffer = static_cast<LONG>(m_File.GetSize());
    if (!info.pchBuffer || info.cchBuffer < 0) return E_FAIL;
    m_hmmio = mmioOpenA(nullptr, &info, MMIO_READ);
    if (!m_hmmio) return E_FAIL;
    if (FAILED(ReadWaveFormat(m_hmmio, &m_ckRiff, &m_pwfx))) {
        ReportBadWave(pszPath, "no RIFF/WAVE header or a damaged \"fmt \" chunk");
        return E_FAIL;
    }
    if (const char* pszProblem = GetWaveFormatProblem(m_pwfx)) {
        ReportBadWave(pszPath, pszProblem);
        FreeFormat();
        return E_FAIL;
    }
    if (FAILED(Reset())) {
        ReportBadWave(pszPath, "no \"data\" chunk, or one that runs past the end of the file");
        FreeFormat();
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CWaveReader::Reset() {
    if (!m_hmmio) return E_FAIL;
    if (mmioSeek(m_hmmio, static_cast<LONG>(m_ckRiff.dwDataOffset + 4), SEEK_SET) == -1) return E_FAIL;
    m_ck.ckid = kData;
    if (mmioDescend(m_hmmio, &m_ck, &m_ckRiff, MMIO_FINDCHUNK) != 0) return E_FAIL;
    // A data chunk that claims more than the file holds would run dry part-way through a read.
    if (static_cast<uint64_t>(m_ck.dwDataOffset) + m_ck.cksize > m_File.GetSize()) return E_FAIL;
    return S_OK;
}

HRESULT CWaveReader::Read(DWORD dwSize, BYTE* pBuffer, DWORD* pdwRead) {
    if (!m_hmmio) return E_FAIL;
    MMIOINFO info;
    if (mmioGetInfo(m_hmmio, &info, 0) != 0) return E_FAIL;
    DWORD dwWant = std::min(dwSize, m_ck.cksize);
    m_ck.cksize -= dwWant;
    DWORD dwDone = 0;
    while (dwDone < dwWant) {
        if (info.pchNext == info.pchEndRead) {
            if (mmioAdvance(m_hmmio, &info, MMIO_READ) != 0 || info.pchNext == info.pchEndRead) return E_FAIL;
        }
        DWORD n = std::min<DWORD>(dwWant - dwDone, static_cast<DWORD>(info.pchEndRead - info.pchNext));
        if (pBuffer) memcpy(pBuffer + dwDone, info.pchNext, n);
        info.pchNext += n;
        dwDone += n;
    }
    if (mmioSetInfo(m_hmmio, &info, 0) != 0) return E_FAIL;
    if (pdwRead) *pdwRead = dwDone;
    return S_OK;
}

HRESULT CWaveReader::Close() {
    if (m_hmmio) mmioClose(m_hmmio, 0);
    m_hmmio = nullptr;
    return S_OK;
}

HRESULT OpenWaveFile(const char* pszPath, HMMIO* phmmio, WAVEFORMATEX** ppwfx, MMCKINFO* pckRiff) {
    *phmmio = mmioOpenA(const_cast<LPSTR>(pszPath), nullptr, MMIO_ALLOCBUF | MMIO_READ);
    if (!*phmmio) return E_FAIL;
    if (FAILED(ReadWaveFormat(*phmmio, pckRiff, ppwfx))) {
        mmioClose(*phmmio, 0);
        *phmmio = nullptr;
        return E_FAIL;
    }
    return S_OK;
}

// ---- The static one-shot buffer -----------------------------------------------------------------

HRESULT LoadStaticSound(const char* pszPath) {
    delete g_pStaticReader;
    g_pStaticReader = new CWaveReader;
    ReleaseAndClear(g_lpStaticBuffer);
    if (!g_lpDS || FAILED(g_pStaticReader->Open(pszPath))) return E_FAIL;
    g_dwStaticSize = g_pStaticReader->GetSize();
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_STATIC;
    desc.dwBufferBytes = g_dwStaticSize;
    desc.lpwfxFormat = g_pStaticReader->GetFormat();
    HRESULT hr = g_lpDS->CreateSoundBuffer(&desc, &g_lpStaticBuffer, nullptr);
    if (FAILED(hr)) return hr;
    return FillStaticSoundBuffer();
}

HRESULT FillStaticSoundBuffer() {
    if (!g_lpStaticBuffer || !g_pStaticReader) return E_FAIL;
    rvm::vector<BYTE> block(g_dwStaticSize, 0);
    DWORD dwRead = 0;
    if (FAILED(g_pStaticReader->Reset()) || FAILED(g_pStaticReader->Read(g_dwStaticSize, block.data(), &dwRead)))
        return E_FAIL;
    LPVOID p1 = nullptr;
    DWORD n1 = 0;
    HRESULT hr = g_lpStaticBuffer->Lock(0, g_dwStaticSize, &p1, &n1, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    memcpy(p1, block.data(), n1);
    return g_lpStaticBuffer->Unlock(p1, n1, nullptr, 0);
}

HRESULT RestoreStaticSound() {
    if (!g_lpStaticBuffer) return E_FAIL;
    DWORD dwStatus = 0;
    if (FAILED(g_lpStaticBuffer->GetStatus(&dwStatus))) return E_FAIL;
    if (!(dwStatus & DSBSTATUS_BUFFERLOST)) return S_OK;
    while (g_lpStaticBuffer->Restore() == DSERR_BUFFERLOST) Sleep(10);
    return FillStaticSoundBuffer();
}

HRESULT PlayStaticSound(BOOL bLoop) {
    if (!g_lpStaticBuffer) return E_FAIL;
    HRESULT hr = RestoreStaticSound();
    if (FAILED(hr)) return hr;
    return g_lpStaticBuffer->Play(0, 0, bLoop ? DSBPLAY_LOOPING : 0);
}

HRESULT StopStaticSound(BOOL bRewind) {
    if (!g_lpStaticBuffer) return E_FAIL;
    HRESULT hr = g_lpStaticBuffer->Stop();
    if (bRewind) hr = g_lpStaticBuffer->SetCurrentPosition(0);
    return hr;
}

int IsStaticSoundPlaying() {
    if (!g_lpStaticBuffer) return 0;
    DWORD dwStatus = 0;
    g_lpStaticBuffer->GetStatus(&dwStatus);
    return (dwStatus & DSBSTATUS_PLAYING) ? 1 : 0;
}
