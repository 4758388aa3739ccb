#include "engine/BgmWave.h"

#include <cstdio>
#include <cstring>

#include "engine/Log.h"
#include "engine/Sound.h"
#include "platform/gdi/Gdi.h"

CBgmWave g_BgmWave;

namespace {

LONG PassVolume(LONG lVolume) { return lVolume; }

std::atomic<PFNSCALEVOLUME> g_pfnScaleVolume{PassVolume};

LONG ScaleVolume(LONG lVolume) { return g_pfnScaleVolume.load()(lVolume); }

// ERROR 23: the music's file did not open, or its first part could not be buffered.
void ReportOpenFailure(const char* pszName) {
    ReportDataError(pszName, "ERROR 23 : ＢＧＭファイルのオープンに失敗しました [%s]\n", pszName);
}

}  // namespace

void CBgmWave::SetVolumeScaler(PFNSCALEVOLUME pfn) { g_pfnScaleVolume = pfn ? pfn : PassVolume; }

CBgmWave::CBgmWave()
    : m_hEvent(nullptr),
      m_lpDS(nullptr),
      m_lpBuffer(nullptr),
      m_dwBufferSize(0),
      m_dwLastWriteCursor(0),
      m_dwWritePos(0),
      m_dwOwed(0),
      m_bJustOpened(0),
      m_bLoop(0),
      m_nLoopStart(0),
      m_szWavePath{},
      m_bFading(0),
      m_lBaseVolume(0),
      m_lFadeVolume(0),
      m_dwLastFadeTime(0),
      m_dwFadeInterval(BGM_FADE_INTERVAL),
      m_bRunning(1),
      m_pThread(nullptr) {}

CBgmWave::~CBgmWave() { Close(); }

int CBgmWave::PrepareStream(LPDIRECTSOUND lpDS, LPDIRECTSOUNDBUFFER lpPrimary) {
    if (!lpDS || !lpPrimary) return 0;
    Close();
    m_lpDS = lpDS;
    m_hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!m_hEvent) return 0;
    m_bRunning = 1;
    lpPrimary->GetVolume(&m_lBaseVolume);
    return 1;
}

int CBgmWave::StartThread(LPDIRECTSOUND lpDS, LPDIRECTSOUNDBUFFER lpPrimary) {
    if (!PrepareStream(lpDS, lpPrimary)) return 0;
    // Nothing above us catches the library's error: a thread that cannot be made is a failed
    // start, which start-up reports and then goes on without music.
    try {
        m_pThread = new CMclThread(this);
    } catch (const CMclException&) {
        m_pThread = nullptr;
        CloseHandle(m_hEvent);
        m_hEvent = nullptr;
        m_lpDS = nullptr;
        return 0;
    }
    m_pThread->SetPriority(THREAD_PRIORITY_HIGHEST);
    return 1;
}

void CBgmWave::ReleaseBuffer() {
    if (m_lpBuffer) m_lpBuffer->Release();
    m_lpBuffer = nullptr;
}

int CBgmWave::Open(const char* pszPackPath, const char* pszWavePath, int nLoopStartMs) {
    m_nLoopStart = nLoopStartMs;
    CLock lock(m_Lock);
    const char* pszName = pszWavePath ? pszWavePath : "";
    if (!m_Reader.Open(pszPackPath, pszWavePath) || !m_Reader.Rewind()) {
        ReportDataError(pszName, "ERROR 22 : BGMの読み込みに失敗しました [%s]\n", pszName);
        ReportOpenFailure(pszName);
    } else if (!CreateBuffer()) {
        ReportOpenFailure(pszName);
    } else {
        snprintf(m_szWavePath, sizeof m_szWavePath, "%s", pszName);
        m_dwLastWriteCursor = 0;
        m_dwWritePos = 0;
        m_dwOwed = 0;
        int nFilled = Fill(m_dwBufferSize * 3 / 4);
        if (nFilled >= 0) {
            m_bJustOpened = 1;
            m_dwWritePos += static_cast<DWORD>(nFilled);
            return 1;
        }
        ReportOpenFailure(pszName);
    }
    ReleaseBuffer();
    Idle();
    return 0;
}

int CBgmWave::CreateBuffer() {
    if (!m_lpDS) return 0;
    ReleaseBuffer();
    const WAVEFORMATEX* pwfx = m_Reader.GetFormat();
    if (!pwfx) return 0;
    WAVEFORMATEX wfx = *pwfx;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY;
    desc.dwBufferBytes = 2 * wfx.nAvgBytesPerSec;
    desc.lpwfxFormat = &wfx;
    if (FAILED(m_lpDS->CreateSoundBuffer(&desc, &m_lpBuffer, nullptr))) {
        m_lpBuffer = nullptr;
        DebugPrintf("サウンドバッファの作成に失敗しました。\n");
        return 0;
    }
    m_dwBufferSize = desc.dwBufferBytes;
    return 1;
}

void CBgmWave::Play(int bLoop) {
    if (!m_lpBuffer) return;
    m_bFading = 0;
    ApplyVolume();
    m_bLoop = bLoop;
    PlaySoundBufferRamped(m_lpBuffer, bLoop ? DSBPLAY_LOOPING : 0);
    if (m_hEvent) SetEvent(m_hEvent);
}

void CBgmWave::ApplyVolume() {
    if (!m_lpBuffer) return;
    CLock lock(m_Lock);
    m_lBaseVolume = 0;
    m_lpBuffer->SetVolume(ScaleVolume(m_lBaseVolume));
}

int CBgmWave::IsPlaying() {
    CLock lock(m_Lock);
    DWORD dwStatus = 0;
    if (!m_lpBuffer || FAILED(m_lpBuffer->GetStatus(&dwStatus))) return 0;
    return (dwStatus & DSBSTATUS_PLAYING) ? 1 : 0;
}

int CBgmWave::FadeOut() {
    if (!IsPlaying()) return 0;
    CLock lock(m_Lock);
    m_lFadeVolume = 0;
    m_lpBuffer->GetVolume(&m_lFadeVolume);
    m_lBaseVolume = 0;
    m_dwLastFadeTime = timeGetTime();
    m_bFading = 1;
    return 1;
}

void CBgmWave::StopThread() {
    FadeOut();
    {
        // Under the lock, so that the thread cannot reset the event after this wake-up and then
        // wait for ever without seeing the flag.
        CLock lock(m_Lock);
        m_bRunning = 0;
        if (m_hEvent) SetEvent(m_hEvent);
    }
    if (m_pThread) m_pThread->Wait(INFINITE);
}

void CBgmWave::Idle() {
    CLock lock(m_Lock);
    if (m_bRunning && m_hEvent) ResetEvent(m_hEvent);
}

void CBgmWave::Close() {
    StopThread();
    if (m_hEvent) CloseHandle(m_hEvent);
    m_hEvent = nullptr;
    {
        CLock lock(m_Lock);
        m_Reader.Close();
        ReleaseBuffer();
    }
    delete m_pThread;
    m_pThread = nullptr;
    m_bRunning = 0;
}

void CBgmWave::SkipTo(int nMs) {
    const WAVEFORMATEX* pwfx = m_Reader.GetFormat();
    if (!pwfx || nMs <= 0) return;
    DWORD dwBytes = static_cast<DWORD>(MulDiv(nMs, static_cast<int>(pwfx->nAvgBytesPerSec), 1000));
    DWORD dwAlign = pwfx->nBlockAlign ? pwfx->nBlockAlign : 1;
    dwBytes = (dwBytes + dwAlign - 1) / dwAlign * dwAlign;
    DWORD dwRead = 0;
    m_Reader.Read(dwBytes, nullptr, &dwRead);
}

int CBgmWave::Fill(DWORD n) {
    if (!m_lpBuffer) return -1;
    LPVOID p1 = nullptr, p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    HRESULT hr = m_lpBuffer->Lock(m_dwWritePos, n, &p1, &n1, &p2, &n2, 0);
    if (hr == DSERR_BUFFERLOST) {
        m_lpBuffer->Restore();
        hr = m_lpBuffer->Lock(m_dwWritePos, n, &p1, &n1, &p2, &n2, 0);
    }
    if (FAILED(hr)) return -1;
    DWORD dwGot1 = 0, dwGot2 = 0;
    m_Reader.Read(n1, static_cast<BYTE*>(p1), &dwGot1);
    if (p2 && dwGot1 == n1) m_Reader.Read(n2, static_cast<BYTE*>(p2), &dwGot2);
    m_lpBuffer->Unlock(p1, n1, p2, n2);
    DWORD dwGot = dwGot1 + dwGot2;
    if (dwGot < n) {
        m_Reader.Rewind();
        if (m_bLoop) SkipTo(m_nLoopStart);
    }
    return static_cast<int>(dwGot);
}

void CBgmWave::FadeStep() {
    bool bSilent;
    {
        // The flag is read again under the lock: a Play on the main thread clears it and then
        // takes the lock to set its own volume, which a late step must not overwrite.
        CLock lock(m_Lock);
        if (!m_bFading || timeGetTime() - m_dwLastFadeTime <= m_dwFadeInterval) return;
        m_lFadeVolume -= BGM_FADE_STEP;
        if (m_lpBuffer) m_lpBuffer->SetVolume(m_lFadeVolume < DSBVOLUME_MIN ? DSBVOLUME_MIN : m_lFadeVolume);
        bSilent = m_lFadeVolume < DSBVOLUME_MIN + 1;
        m_dwLastFadeTime = timeGetTime();
    }
    if (!bSilent) return;
    // Let the silence reach the output before stopping; the main thread need not wait for it.
    Sleep(BGM_FADE_END_SLEEP);
    CLock lock(m_Lock);
    // A Play during the wait has started the music again: leave it playing.
    if (!m_bFading) return;
    if (m_lpBuffer) {
        m_lpBuffer->Stop();
        m_lpBuffer->SetVolume(ScaleVolume(m_lBaseVolume));
    }
    Idle();
    m_bFading = 0;
}

void CBgmWave::StreamPass() {
    FadeStep();
    WaitForSingleObject(m_hEvent, INFINITE);
    RefillPass();
}

// Everything a pass reads or moves is shared with Open on the main thread, so the whole
// measurement and fill happen under the lock; only the sleeps are outside it.
void CBgmWave::RefillPass() {
    if (m_bJustOpened.exchange(0)) Sleep(BGM_OPEN_DELAY);
    int nFilled = 0;
    DWORD n = 0;
    {
        CLock lock(m_Lock);
        if (!m_lpBuffer) {
            Idle();
            return;
        }
        n = BytesToWrite();
        if (n > 0) nFilled = FillPass(n);
    }
    if (n == 0) {
        Sleep(1);
        Sleep(BGM_PASS_SLEEP);
        return;
    }
    if (nFilled >= 0) Sleep(BGM_PASS_SLEEP);
}

DWORD CBgmWave::BytesToWrite() {
    DWORD dwPlay = 0, dwWrite = 0;
    m_lpBuffer->GetCurrentPosition(&dwPlay, &dwWrite);
    DWORD dwSize = m_dwBufferSize;
    DWORD dwFree = (dwSize - m_dwLastWriteCursor + dwWrite) % dwSize;
    // The play cursor inside the span to be written means the writer would overtake it; measured
    // round the ring, so a span that wraps past the end is caught too.
    DWORD dwToPlay = (dwPlay + dwSize - m_dwWritePos) % dwSize;
    if (dwToPlay < dwFree) dwFree = dwToPlay;
    m_dwLastWriteCursor = dwWrite;

    DWORD n = dwFree + m_dwOwed;
    m_dwOwed = 0;
    if (m_dwWritePos + n > dwSize) {
        m_dwOwed = m_dwWritePos + n - dwSize;
        n = dwSize - m_dwWritePos;
    }
    return n;
}

int CBgmWave::FillPass(DWORD n) {
    DWORD dwSize = m_dwBufferSize;
    DWORD dwQuarter = dwSize / 4;
    int nFilled = Fill(n < dwQuarter ? n : dwQuarter);
    if (nFilled < 0) {
        ReportDataError(m_szWavePath, "ERROR 28 : ＢＧＭの読み込みエラー [%s]\n", m_szWavePath);
        Idle();
        return -1;
    }
    m_dwWritePos = (m_dwWritePos + static_cast<DWORD>(nFilled)) % dwSize;
    if (static_cast<DWORD>(nFilled) < n) m_dwOwed += n - static_cast<DWORD>(nFilled);
    return nFilled;
}

unsigned CBgmWave::ThreadProc() {
    while (m_bRunning) StreamPass();
    return 0;
}
