// The store of sound effects: each effect is a secondary buffer loaded whole from its wave and
// found again by the wave's path. Bank 0 holds the system sounds, bank 1 the current stage's.
// Play requests are deferred: Play marks the slot and Update, once per pass of the frame, restarts
// the marked buffers from their beginning, so requests within one frame start the effect once.
// The stage bank is filled by the loading thread while the frame plays effects: one lock guards
// the slots, the request states and the stage list.
#pragma once
#include <mutex>

#include "engine/Sound.h"
#include "engine/list_array.h"
#include "rvm/rvm_stl.h"

#define PCM_BANK_COUNT 2
#define PCM_SLOT_COUNT 256
#define PCM_NAME_SIZE 256
#define PCM_BANK_SYSTEM 0
#define PCM_BANK_STAGE 1
#define PCM_SYSTEM_SOUND_COUNT 43  // the 42 listed effects and the menu beep "Pi.wav"

// Request states, per slot.
#define PCM_STATE_REQUESTED 0
#define PCM_STATE_STARTED 1
#define PCM_STATE_IDLE 2

struct PCMSLOT {
    int32_t nFlag;                 // 0 once loaded
    char szName[PCM_NAME_SIZE];    // the path as given, NUL-padded
    LONG lVolume;                  // the buffer's volume right after loading
    LPDIRECTSOUNDBUFFER lpBuffer;  // null for an empty slot
};

// The system sounds in slot order.
extern const char* const g_pszSystemSounds[PCM_SYSTEM_SOUND_COUNT];

class CPCMManagerTask {
public:
    CPCMManagerTask();
    virtual ~CPCMManagerTask();
    CPCMManagerTask(const CPCMManagerTask&) = delete;
    CPCMManagerTask& operator=(const CPCMManagerTask&) = delete;

    // Loads the system sounds into bank 0 (a wave that fails leaves its slot empty); 1.
    int Init();
    void QueueStageSound(const char* pszPath);
    // Loads the queued waves into bank 1 in order; 0 at the first that does not load (those
    // before it stay). A name already in bank 1 is not loaded twice, and loading stops with a
    // warning when the bank is full.
    int LoadStageSounds();
    void ReleaseStageSounds();
    void ReleaseBank(int nBank);
    void ReleaseSystemSounds() { ReleaseBank(PCM_BANK_SYSTEM); }
    void Release();

    int FindSlot(int nBank, const char* pszName) const;
    int FindSystemSlot(const char* pszName) const { return FindSlot(PCM_BANK_SYSTEM, pszName); }
    void Play(const char* pszName);
    void Stop(const char* pszName);
    int IsPlaying(const char* pszName) const;
    void Update();

    // For the settings and tests.
    void SetEnabled(int bEnabled) { m_bEnabled = bEnabled; }
    int IsInitialized() const { return m_bInitialized; }
    // A copy, so a slot being filled is never seen half-written.
    PCMSLOT GetSlot(int nBank, int nSlot) const;
    int GetState(int nBank, int nSlot) const;
    int GetQueuedCount() const;

private:
    // The callers hold m_Lock.
    void Fill(PCMSLOT* pSlot, const char* pszPath, LPDIRECTSOUNDBUFFER lpBuffer);
    int FindSlotLocked(int nBank, const char* pszName) const;
    int FindFreeStageSlot() const;
    void StopLocked(const char* pszName);
    void ReleaseBankLocked(int nBank);

    mutable std::mutex m_Lock;

    PCMSLOT m_Slots[PCM_BANK_COUNT][PCM_SLOT_COUNT];
    int32_t m_nStates[PCM_BANK_COUNT * PCM_SLOT_COUNT];
    list_array<rvm::string> m_StageList;
    int m_bInitialized;
    int m_bEnabled;
};

extern CPCMManagerTask g_PCMManagerTask;

// Null without DirectSound or when the wave cannot be read or the buffer made.
LPDIRECTSOUNDBUFFER LoadWaveSoundBuffer(const char* pszPath);
// Reads the reader's data through a block of the sound heap into the buffer and rewinds the
// reader; E_OUTOFMEMORY when the heap has no room.
HRESULT FillSoundBuffer(CWaveReader* pReader, LPDIRECTSOUNDBUFFER lpBuffer, DWORD dwSize);
void RestartSoundBuffer(LPDIRECTSOUNDBUFFER lpBuffer);
int IsSoundBufferPlaying(LPDIRECTSOUNDBUFFER lpBuffer);
