// DirectSound over a software mixer. One lock guards every buffer's playing state and data; the
// output device's pull (MixAudio) takes it for each block it renders, so cursors move in the
// device's steps, as they do on a sound card.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "platform/dsound/DSound.h"
#include "platform/dsound/SoundMix.h"
#include "platform/host/Host.h"

namespace {

class CSoundBuffer;

class CSoundDevice : public IDirectSound, public IAudioSource {
public:
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC pDesc, LPDIRECTSOUNDBUFFER* ppBuffer, LPUNKNOWN pUnkOuter) override;
    HRESULT SetCooperativeLevel(HWND hwnd, DWORD dwLevel) override;
    void MixAudio(int16_t* pOut, uint32_t nFrames) override;
    void TapBlock(uint32_t nFrames);

    // A buffer made by the device holds it open until the buffer goes.
    void Hold();
    void Drop();
    void Forget(CSoundBuffer* pBuffer);
    std::mutex& Lock() { return m_Lock; }
    DWORD GetLevel() const { return m_dwLevel; }
    void SetMasterGain(int32_t nGain) { m_nMasterGain = nGain; }

    bool m_bAudioOpen = false;
    CSoundBuffer* m_pPrimary = nullptr;

private:
    std::mutex m_Lock;
    std::atomic<ULONG> m_nRef{1};
    std::atomic<int> m_nHolds{1};  // the object's own references count as one
    std::vector<CSoundBuffer*> m_Buffers;
    DWORD m_dwLevel = 0;
    int32_t m_nMasterGain = MIX_UNITY_GAIN;
    int32_t m_Accum[2 * MIX_BLOCK_FRAMES];
    int32_t m_Others[2 * MIX_BLOCK_FRAMES];  // the effects apart while a tap listens
    int32_t m_Scaled[2 * MIX_BLOCK_FRAMES];
};

std::mutex g_DeviceLock;  // creation and final release of the one device
CSoundDevice* g_pDevice = nullptr;
std::atomic<int> g_nLiveBuffers{0};
std::mutex g_TapLock;
PFNMIXTAP g_pfnTap = nullptr;
void* g_pTapContext = nullptr;

class CSoundBuffer : public IDirectSoundBuffer {
public:
    CSoundBuffer(CSoundDevice* pDevice, DWORD dwFlags) : m_pDevice(pDevice), m_dwFlags(dwFlags) {
        m_pDevice->Hold();
        ++g_nLiveBuffers;
    }

    bool Init(const WAVEFORMATEX* pFormat, DWORD dwBytes);
    void InitPrimary();

    ULONG AddRef() override { return ++m_nRef; }
    ULONG Release() override;
    HRESULT GetCurrentPosition(LPDWORD pdwPlay, LPDWORD pdwWrite) override;
    HRESULT GetFormat(LPWAVEFORMATEX pwfx, DWORD dwSizeAllocated, LPDWORD pdwSizeWritten) override;
    HRESULT GetVolume(LPLONG plVolume) override;
    HRESULT GetFrequency(LPDWORD pdwFrequency) override;
    HRESULT GetStatus(LPDWORD pdwStatus) override;
    HRESULT Lock(DWORD dwOffset, DWORD dwBytes, LPVOID* ppv1, LPDWORD pdw1, LPVOID* ppv2, LPDWORD pdw2,
                 DWORD dwFlags) override;
    HRESULT Play(DWORD dwReserved1, DWORD dwPriority, DWORD dwFlags) override;
    HRESULT SetCurrentPosition(DWORD dwNewPosition) override;
    HRESULT SetFormat(LPCWAVEFORMATEX pcfx) override;
    HRESULT SetVolume(LONG lVolume) override;
    HRESULT SetFrequency(DWORD dwFrequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(LPVOID pv1, DWORD dw1, LPVOID pv2, DWORD dw2) override;
    HRESULT Restore() override { return DS_OK; }

    // Under the device lock.
    void MixInto(int32_t* pAccum, uint32_t nFrames) { MixVoice(&m_Voice, pAccum, nFrames); }
    bool IsPlaying() const { return m_Voice.bPlaying; }
    bool IsStreamed() const { return (m_dwFlags & DSBCAPS_GETCURRENTPOSITION2) != 0; }

protected:
    ~CSoundBuffer() override {
        --g_nLiveBuffers;
        m_pDevice->Drop();
    }

private:
    DWORD PlayCursor() const;

    CSoundDevice* m_pDevice;
    DWORD m_dwFlags;
    std::atomic<ULONG> m_nRef{1};
    std::vector<uint8_t> m_Format;  // WAVEFORMATEX and its extra bytes
    std::vector<uint8_t> m_Data;
    MIXVOICE m_Voice{};
    LONG m_lVolume = 0;
    bool m_bPrimaryPlaying = false;
    // The span given out by Lock, staged until Unlock.
    bool m_bLocked = false;
    DWORD m_dwLockOffset = 0, m_dwLock1 = 0, m_dwLock2 = 0;
    std::vector<uint8_t> m_Staging;
};

bool IsPrimary(const DSBUFFERDESC* pDesc) { return (pDesc->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0; }

// ---- CSoundDevice ---------------------------------------------------------------------------------

ULONG CSoundDevice::AddRef() { return ++m_nRef; }

ULONG CSoundDevice::Release() {
    ULONG n = --m_nRef;
    if (n == 0) Drop();
    return n;
}

void CSoundDevice::Hold() { ++m_nHolds; }

void CSoundDevice::Drop() {
    if (--m_nHolds > 0) return;
    // The device's pull takes our lock, so the output closes before the mixer goes, outside it.
    {
        std::lock_guard<std::mutex> guard(g_DeviceLock);
        if (g_pDevice == this) g_pDevice = nullptr;
    }
    IHost* pHost = GetHost();
    if (m_bAudioOpen && pHost) pHost->CloseAudio();
    delete this;
}

void CSoundDevice::Forget(CSoundBuffer* pBuffer) {
    std::lock_guard<std::mutex> guard(m_Lock);
    m_Buffers.erase(std::remove(m_Buffers.begin(), m_Buffers.end(), pBuffer), m_Buffers.end());
    if (m_pPrimary == pBuffer) m_pPrimary = nullptr;
}

HRESULT CSoundDevice::SetCooperativeLevel(HWND, DWORD dwLevel) {
    if (dwLevel < DSSCL_NORMAL || dwLevel > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    m_dwLevel = dwLevel;
    return DS_OK;
}

HRESULT CSoundDevice::CreateSoundBuffer(LPCDSBUFFERDESC pDesc, LPDIRECTSOUNDBUFFER* ppBuffer, LPUNKNOWN pUnkOuter) {
    if (!ppBuffer) return DSERR_INVALIDPARAM;
    *ppBuffer = nullptr;
    if (!pDesc || pDesc->dwSize != sizeof(DSBUFFERDESC) || pUnkOuter) return DSERR_INVALIDPARAM;
    if (IsPrimary(pDesc)) {
        if (pDesc->dwBufferBytes != 0 || pDesc->lpwfxFormat) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> guard(m_Lock);
        if (m_pPrimary) {
            m_pPrimary->AddRef();
            *ppBuffer = m_pPrimary;
            return DS_OK;
        }
    }
    auto* pBuffer = new (std::nothrow) CSoundBuffer(this, pDesc->dwFlags);
    if (!pBuffer) return DSERR_OUTOFMEMORY;
    if (IsPrimary(pDesc)) {
        pBuffer->InitPrimary();
    } else {
        if (!pDesc->lpwfxFormat) {
            pBuffer->Release();
            return DSERR_INVALIDPARAM;
        }
        HRESULT hr = CheckMixFormat(pDesc->lpwfxFormat);
        if (hr == DS_OK && (pDesc->dwBufferBytes < DSBSIZE_MIN || pDesc->dwBufferBytes > DSBSIZE_MAX ||
                            pDesc->dwBufferBytes < pDesc->lpwfxFormat->nBlockAlign))
            hr = DSERR_INVALIDPARAM;
        if (hr == DS_OK && !pBuffer->Init(pDesc->lpwfxFormat, pDesc->dwBufferBytes)) hr = DSERR_OUTOFMEMORY;
        if (hr != DS_OK) {
            pBuffer->Release();
            return hr;
        }
    }
    std::lock_guard<std::mutex> guard(m_Lock);
    m_Buffers.push_back(pBuffer);
    if (IsPrimary(pDesc)) m_pPrimary = pBuffer;
    *ppBuffer = pBuffer;
    return DS_OK;
}

void CSoundDevice::MixAudio(int16_t* pOut, uint32_t nFrames) {
    std::lock_guard<std::mutex> guard(m_Lock);
    std::lock_guard<std::mutex> tapGuard(g_TapLock);
    while (nFrames > 0) {
        uint32_t n = std::min<uint32_t>(nFrames, MIX_BLOCK_FRAMES);
        std::fill_n(m_Accum, 2 * n, 0);
        if (g_pfnTap) std::fill_n(m_Others, 2 * n, 0);
        for (CSoundBuffer* pBuffer : m_Buffers)
            if (pBuffer->IsPlaying()) pBuffer->MixInto(g_pfnTap && !pBuffer->IsStreamed() ? m_Others : m_Accum, n);
        if (g_pfnTap) TapBlock(n);
        if (pOut) {
            ClampMix(m_Accum, m_nMasterGain, pOut, n);
            pOut += 2 * n;
        }
        nFrames -= n;
    }
}

// The two sums to the tap, then together again as the mix; integer sums, so the mix is the same
// with a tap as without.
void CSoundDevice::TapBlock(uint32_t nFrames) {
    for (uint32_t i = 0; i < 2 * nFrames; ++i) {
        const int32_t nStreamed = m_Accum[i], nOthers = m_Others[i];
        m_Accum[i] = nStreamed + nOthers;
        if (m_nMasterGain != MIX_UNITY_GAIN) {
            m_Others[i] = static_cast<int32_t>((static_cast<int64_t>(nOthers) * m_nMasterGain) >> 16);
            m_Scaled[i] = static_cast<int32_t>((static_cast<int64_t>(nStreamed) * m_nMasterGain) >> 16);
        } else {
            m_Scaled[i] = nStreamed;
        }
    }
    g_pfnTap(m_Scaled, m_Others, nFrames, g_pTapContext);
}

// ---- CSoundBuffer -------------------------------------------------------------------------------

bool CSoundBuffer::Init(const WAVEFORMATEX* pFormat, DWORD dwBytes) {
    try {
        size_t nFormat = sizeof(WAVEFORMATEX) + (pFormat->wFormatTag == WAVE_FORMAT_PCM ? 0 : pFormat->cbSize);
        m_Format.assign(reinterpret_cast<const uint8_t*>(pFormat), reinterpret_cast<const uint8_t*>(pFormat) + nFormat);
        if (pFormat->wFormatTag == WAVE_FORMAT_PCM) reinterpret_cast<WAVEFORMATEX*>(m_Format.data())->cbSize = 0;
        m_Data.assign(dwBytes, pFormat->wBitsPerSample == 8 ? 0x80 : 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    SetupVoice(&m_Voice, pFormat, m_Data.data(), dwBytes);
    return true;
}

void CSoundBuffer::InitPrimary() {
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};
    m_Format.assign(reinterpret_cast<const uint8_t*>(&wfx), reinterpret_cast<const uint8_t*>(&wfx) + sizeof wfx);
}

ULONG CSoundBuffer::Release() {
    ULONG n = --m_nRef;
    if (n == 0) {
        m_pDevice->Forget(this);
        delete this;
    }
    return n;
}

DWORD CSoundBuffer::PlayCursor() const { return static_cast<DWORD>(m_Voice.nPos >> 32) * m_Voice.nBlockAlign; }

HRESULT CSoundBuffer::GetCurrentPosition(LPDWORD pdwPlay, LPDWORD pdwWrite) {
    if (m_dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (pdwPlay) *pdwPlay = 0;
        if (pdwWrite) *pdwWrite = 0;
        return DS_OK;
    }
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    DWORD dwPlay = PlayCursor();
    DWORD dwWrite = dwPlay;
    if (m_Voice.bPlaying) dwWrite = static_cast<DWORD>((dwPlay + WriteAheadBytes(m_Voice)) % m_Data.size());
    if (pdwPlay) *pdwPlay = dwPlay;
    if (pdwWrite) *pdwWrite = dwWrite;
    return DS_OK;
}

HRESULT CSoundBuffer::GetFormat(LPWAVEFORMATEX pwfx, DWORD dwSizeAllocated, LPDWORD pdwSizeWritten) {
    DWORD dwSize = static_cast<DWORD>(m_Format.size());
    if (!pwfx) {
        if (!pdwSizeWritten) return DSERR_INVALIDPARAM;
        *pdwSizeWritten = dwSize;
        return DS_OK;
    }
    if (dwSizeAllocated < dwSize) return DSERR_INVALIDPARAM;
    memcpy(pwfx, m_Format.data(), dwSize);
    if (pdwSizeWritten) *pdwSizeWritten = dwSize;
    return DS_OK;
}

HRESULT CSoundBuffer::GetVolume(LPLONG plVolume) {
    if (!plVolume) return DSERR_INVALIDPARAM;
    if (!(m_dwFlags & (DSBCAPS_CTRLVOLUME | DSBCAPS_PRIMARYBUFFER))) return DSERR_CONTROLUNAVAIL;
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    *plVolume = m_lVolume;
    return DS_OK;
}

HRESULT CSoundBuffer::SetVolume(LONG lVolume) {
    if (!(m_dwFlags & (DSBCAPS_CTRLVOLUME | DSBCAPS_PRIMARYBUFFER))) return DSERR_CONTROLUNAVAIL;
    if (lVolume < DSBVOLUME_MIN || lVolume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    m_lVolume = lVolume;
    if (m_dwFlags & DSBCAPS_PRIMARYBUFFER)
        m_pDevice->SetMasterGain(GainOfVolume(lVolume));
    else
        m_Voice.nGain = GainOfVolume(lVolume);
    return DS_OK;
}

HRESULT CSoundBuffer::GetFrequency(LPDWORD pdwFrequency) {
    if (!pdwFrequency) return DSERR_INVALIDPARAM;
    if (!(m_dwFlags & DSBCAPS_CTRLFREQUENCY) || (m_dwFlags & DSBCAPS_PRIMARYBUFFER)) return DSERR_CONTROLUNAVAIL;
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    *pdwFrequency = m_Voice.dwFrequency;
    return DS_OK;
}

HRESULT CSoundBuffer::SetFrequency(DWORD dwFrequency) {
    if (!(m_dwFlags & DSBCAPS_CTRLFREQUENCY) || (m_dwFlags & DSBCAPS_PRIMARYBUFFER)) return DSERR_CONTROLUNAVAIL;
    if (dwFrequency == DSBFREQUENCY_ORIGINAL)
        dwFrequency = reinterpret_cast<const WAVEFORMATEX*>(m_Format.data())->nSamplesPerSec;
    if (dwFrequency < DSBFREQUENCY_MIN || dwFrequency > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    SetVoiceFrequency(&m_Voice, dwFrequency);
    return DS_OK;
}

HRESULT CSoundBuffer::GetStatus(LPDWORD pdwStatus) {
    if (!pdwStatus) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    if (m_dwFlags & DSBCAPS_PRIMARYBUFFER)
        *pdwStatus = m_bPrimaryPlaying ? (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING) : 0;
    else
        *pdwStatus = (m_Voice.bPlaying ? DSBSTATUS_PLAYING : 0) | (m_Voice.bPlaying && m_Voice.bLooping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

HRESULT CSoundBuffer::Lock(DWORD dwOffset, DWORD dwBytes, LPVOID* ppv1, LPDWORD pdw1, LPVOID* ppv2, LPDWORD pdw2,
                           DWORD dwFlags) {
    if (m_dwFlags & DSBCAPS_PRIMARYBUFFER) return DSERR_PRIOLEVELNEEDED;
    if (!ppv1 || !pdw1) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    if (m_bLocked) return DSERR_INVALIDCALL;
    DWORD dwSize = static_cast<DWORD>(m_Data.size());
    if (dwFlags & DSBLOCK_FROMWRITECURSOR) {
        dwOffset = PlayCursor();
        if (m_Voice.bPlaying) dwOffset = static_cast<DWORD>((dwOffset + WriteAheadBytes(m_Voice)) % dwSize);
    }
    if (dwFlags & DSBLOCK_ENTIREBUFFER) dwBytes = dwSize;
    if (dwOffset >= dwSize || dwBytes == 0 || dwBytes > dwSize) return DSERR_INVALIDPARAM;
    DWORD dw1 = std::min(dwBytes, dwSize - dwOffset);
    DWORD dw2 = dwBytes - dw1;
    if (dw2 > 0 && (!ppv2 || !pdw2)) return DSERR_INVALIDPARAM;
    try {
        m_Staging.resize(dwBytes);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    memcpy(m_Staging.data(), m_Data.data() + dwOffset, dw1);
    if (dw2 > 0) memcpy(m_Staging.data() + dw1, m_Data.data(), dw2);
    m_bLocked = true;
    m_dwLockOffset = dwOffset;
    m_dwLock1 = dw1;
    m_dwLock2 = dw2;
    *ppv1 = m_Staging.data();
    *pdw1 = dw1;
    if (ppv2) *ppv2 = dw2 > 0 ? m_Staging.data() + dw1 : nullptr;
    if (pdw2) *pdw2 = dw2;
    return DS_OK;
}

HRESULT CSoundBuffer::Unlock(LPVOID pv1, DWORD dw1, LPVOID pv2, DWORD dw2) {
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    if (!m_bLocked) return DSERR_INVALIDCALL;
    if (pv1 != m_Staging.data() || dw1 > m_dwLock1 || dw2 > m_dwLock2 ||
        (dw2 > 0 && pv2 != m_Staging.data() + m_dwLock1))
        return DSERR_INVALIDPARAM;
    memcpy(m_Data.data() + m_dwLockOffset, m_Staging.data(), dw1);
    if (dw2 > 0) memcpy(m_Data.data(), m_Staging.data() + m_dwLock1, dw2);
    m_bLocked = false;
    // A whole-buffer fill is a one-off (effects load this way): give the copy back.
    if (m_dwLock1 + m_dwLock2 == m_Data.size()) std::vector<uint8_t>().swap(m_Staging);
    return DS_OK;
}

HRESULT CSoundBuffer::Play(DWORD, DWORD, DWORD dwFlags) {
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    if (m_dwFlags & DSBCAPS_PRIMARYBUFFER) {
        m_bPrimaryPlaying = true;
        return DS_OK;
    }
    m_Voice.bPlaying = true;
    m_Voice.bLooping = (dwFlags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT CSoundBuffer::Stop() {
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    if (m_dwFlags & DSBCAPS_PRIMARYBUFFER)
        m_bPrimaryPlaying = false;
    else
        m_Voice.bPlaying = false;
    return DS_OK;
}

HRESULT CSoundBuffer::SetCurrentPosition(DWORD dwNewPosition) {
    if (m_dwFlags & DSBCAPS_PRIMARYBUFFER) return DSERR_INVALIDCALL;
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    if (dwNewPosition >= m_Data.size()) return DSERR_INVALIDPARAM;
    m_Voice.nPos = static_cast<uint64_t>(dwNewPosition / m_Voice.nBlockAlign) << 32;
    return DS_OK;
}

HRESULT CSoundBuffer::SetFormat(LPCWAVEFORMATEX pcfx) {
    if (!(m_dwFlags & DSBCAPS_PRIMARYBUFFER)) return DSERR_INVALIDCALL;
    if (m_pDevice->GetLevel() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
    if (!pcfx) return DSERR_INVALIDPARAM;
    HRESULT hr = CheckMixFormat(pcfx);
    if (hr != DS_OK) return hr;
    // The mixer keeps rendering at its own rate; the format is what the game asked the card for.
    WAVEFORMATEX wfx = *pcfx;
    wfx.cbSize = 0;
    std::lock_guard<std::mutex> guard(m_pDevice->Lock());
    m_Format.assign(reinterpret_cast<const uint8_t*>(&wfx), reinterpret_cast<const uint8_t*>(&wfx) + sizeof wfx);
    return DS_OK;
}

}  // namespace

// ---- COM and the entry --------------------------------------------------------------------------

static std::atomic<int> g_nComInits{0};

HRESULT CoInitialize(LPVOID) { return g_nComInits++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
    if (g_nComInits > 0) --g_nComInits;
}

HRESULT DirectSoundCreate(LPCGUID, LPDIRECTSOUND* ppDS, LPUNKNOWN pUnkOuter) {
    if (!ppDS || pUnkOuter) return DSERR_INVALIDPARAM;
    *ppDS = nullptr;
    IHost* pHost = GetHost();
    if (!pHost) return DSERR_NODRIVER;
    CSoundDevice* pDevice;
    {
        std::lock_guard<std::mutex> guard(g_DeviceLock);
        if (g_pDevice) return DSERR_ALLOCATED;
        pDevice = new (std::nothrow) CSoundDevice;
        if (!pDevice) return DSERR_OUTOFMEMORY;
        g_pDevice = pDevice;
    }
    pDevice->m_bAudioOpen = pHost->OpenAudio(DSOUND_MIX_RATE, pDevice);
    if (!pDevice->m_bAudioOpen) {
        pDevice->Release();
        return DSERR_NODRIVER;
    }
    *ppDS = pDevice;
    return DS_OK;
}

void MixDirectSound(int16_t* pOut, uint32_t nFrames) {
    std::lock_guard<std::mutex> guard(g_DeviceLock);
    if (g_pDevice) g_pDevice->MixAudio(pOut, nFrames);
}

int GetLiveSoundBufferCount() { return g_nLiveBuffers.load(); }

void SetDirectSoundMixTap(PFNMIXTAP pfnTap, void* pContext) {
    std::lock_guard<std::mutex> guard(g_TapLock);
    g_pfnTap = pfnTap;
    g_pTapContext = pContext;
}
