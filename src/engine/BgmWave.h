// Background music, streamed: a two-second ring buffer that a thread of its own refills from the
// wave file while it plays, looping from a loop-start point, with a fade-out on request.
#pragma once
#include <atomic>

#include "Mcl/MclThread.h"
#include "engine/StreamWaveRead.h"
#include "platform/dsound/DSound.h"

#define BGM_FADE_STEP 200
#define BGM_FADE_INTERVAL 10
#define BGM_PASS_SLEEP 50
#define BGM_OPEN_DELAY 50
#define BGM_FADE_END_SLEEP 20
#define BGM_PATH_SIZE 256

// The settings' volume scale (an attenuation in hundredths of a decibel to the buffer volume).
typedef LONG (*PFNSCALEVOLUME)(LONG lVolume);

class CBgmWave : public CMclThreadHandler {
public:
    CBgmWave();
    ~CBgmWave() override;
    CBgmWave(const CBgmWave&) = delete;
    CBgmWave& operator=(const CBgmWave&) = delete;

    unsigned ThreadHandlerProc() override { return ThreadProc(); }
    unsigned ThreadProc();

    // 1 when the streaming thread runs (0 without DirectSound or a primary buffer, or when no
    // thread can be made).
    int StartThread(LPDIRECTSOUND lpDS, LPDIRECTSOUNDBUFFER lpPrimary);
    // What StartThread does before the thread exists: the wake event and the base volume. A
    // caller that runs the passes itself (tests) starts here.
    int PrepareStream(LPDIRECTSOUND lpDS, LPDIRECTSOUNDBUFFER lpPrimary);
    int Open(const char* pszPackPath, const char* pszWavePath, int nLoopStartMs);
    int CreateBuffer();
    void Play(int bLoop);
    void ApplyVolume();
    int IsPlaying();
    int FadeOut();
    void StopThread();
    void Close();
    void SkipTo(int nMs);
    // Bytes read into the ring at the write position, -1 without a buffer or when it cannot be
    // locked.
    int Fill(DWORD n);
    // One pass of the streaming loop: FadeStep, wait for the wake event, RefillPass.
    void StreamPass();
    // One step of a fade that is under way (when its interval has passed); at silence the buffer
    // stops, takes the configured volume again and the wake event is reset.
    void FadeStep();
    // The refill of a pass: the ring is topped up behind the play cursor, at most a quarter.
    void RefillPass();

    // The settings' volume scale; until one is set the volume passes unchanged.
    static void SetVolumeScaler(PFNSCALEVOLUME pfn);

    // State, for the settings screen and tests.
    LPDIRECTSOUNDBUFFER GetBuffer() const { return m_lpBuffer; }
    DWORD GetBufferSize() const { return m_dwBufferSize; }
    DWORD GetWritePos() const { return m_dwWritePos; }
    DWORD GetOwed() const { return m_dwOwed; }
    LONG GetFadeVolume() const { return m_lFadeVolume; }
    int IsFading() const { return m_bFading; }
    int GetLoopStart() const { return m_nLoopStart; }
    HANDLE GetEvent() const { return m_hEvent; }
    CStreamWaveRead& GetReader() { return m_Reader; }

private:
    class CLock {
    public:
        explicit CLock(CMclCritSec& cs) : m_cs(cs) { m_cs.Enter(); }
        ~CLock() { m_cs.Leave(); }

    private:
        CMclCritSec& m_cs;
    };

    void ReleaseBuffer();
    // Resets the wake event unless the thread is being stopped (under the lock, like StopThread's
    // wake-up, so that neither can undo the other).
    void Idle();
    // Under the lock: the bytes a pass should write from the write cursor's movement and what was
    // owed, cut at the ring's end (the rest owed again).
    DWORD BytesToWrite();
    // Under the lock: fills at most a quarter of the ring and moves the write position; -1 on a
    // read error, which stops streaming until the next Play.
    int FillPass(DWORD n);

    HANDLE m_hEvent;
    LPDIRECTSOUND m_lpDS;
    LPDIRECTSOUNDBUFFER m_lpBuffer;
    DWORD m_dwBufferSize;
    DWORD m_dwLastWriteCursor;
    DWORD m_dwWritePos;
    DWORD m_dwOwed;
    std::atomic<int> m_bJustOpened;
    std::atomic<int> m_bLoop;
    std::atomic<int> m_nLoopStart;
    char m_szWavePath[BGM_PATH_SIZE];
    std::atomic<int> m_bFading;
    LONG m_lBaseVolume;
    LONG m_lFadeVolume;
    DWORD m_dwLastFadeTime;
    DWORD m_dwFadeInterval;
    CStreamWaveRead m_Reader;
    std::atomic<int> m_bRunning;
    CMclThread* m_pThread;
    CMclCritSec m_Lock;
};

extern CBgmWave g_BgmWave;
