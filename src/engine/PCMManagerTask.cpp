#include "engine/PCMManagerTask.h"

#include <cstring>

#include "engine/Log.h"
#include "rvm/Heap.h"
#include "rvm/rvm_stl.h"

CPCMManagerTask g_PCMManagerTask;

const char* const g_pszSystemSounds[PCM_SYSTEM_SOUND_COUNT] = {
    ".\\GameData\\System\\Shot.wav",
    ".\\GameData\\System\\EnemyDamage.wav",
    ".\\GameData\\System\\Break1.wav",
    ".\\GameData\\System\\Break2.wav",
    ".\\GameData\\System\\Chat.wav",
    ".\\GameData\\System\\GroundWiper.wav",
    ".\\GameData\\System\\IonShield.wav",
    ".\\GameData\\System\\Warning.wav",
    ".\\GameData\\System\\PowerUp.wav",
    ".\\GameData\\System\\HawkWind.wav",
    ".\\GameData\\System\\FireStorm1.wav",
    ".\\GameData\\System\\FireStorm2.wav",
    ".\\GameData\\System\\PlayerDamage1.wav",
    ".\\GameData\\System\\PlayerDamage2.wav",
    ".\\GameData\\System\\StageClear.wav",
    ".\\GameData\\System\\Pirori.wav",
    ".\\GameData\\System\\BeamRifle.wav",
    ".\\GameData\\System\\EnemySwing.wav",
    ".\\GameData\\System\\GetExp1.wav",
    ".\\GameData\\System\\GetExp2.wav",
    ".\\GameData\\System\\GetLife.wav",
    ".\\GameData\\System\\SeShutterClose.wav",
    ".\\GameData\\System\\BgmGameOver.wav",
    ".\\GameData\\System\\CvGameOver.wav",
    ".\\GameData\\System\\CountDown.wav",
    ".\\GameData\\System\\CvFireStorm1.wav",
    ".\\GameData\\System\\CvGroundWiper.wav",
    ".\\GameData\\System\\CvHawkWind1.wav",
    ".\\GameData\\System\\CvHawkWind2.wav",
    ".\\GameData\\System\\CvHawkWind3.wav",
    ".\\GameData\\System\\CvLevelUp.wav",
    ".\\GameData\\System\\CvZorvaDamage1.wav",
    ".\\GameData\\System\\CvZorvaDamage2.wav",
    ".\\GameData\\System\\CvZorvaDamage3.wav",
    ".\\GameData\\System\\CvZorvaMiss.wav",
    ".\\GameData\\System\\CvZorvaKerbix.wav",
    ".\\GameData\\System\\CvStageStart.wav",
    ".\\GameData\\System\\CvStageClear.wav",
    ".\\GameData\\System\\PlayerDanger.wav",
    ".\\GameData\\System\\CvZorvaJump.wav",
    ".\\GameData\\System\\HighMegaLauncher.wav",
    ".\\GameData\\First\\44vostil.wav",
    // The menus ask for this beep; it closes the list so that no other slot moves.
    ".\\GameData\\System\\Pi.wav",
};

// ---- One buffer ---------------------------------------------------------------------------------

HRESULT FillSoundBuffer(CWaveReader* pReader, LPDIRECTSOUNDBUFFER lpBuffer, DWORD dwSize) {
    auto* pBlock = static_cast<BYTE*>(SoundHeapAlloc(dwSize));
    if (!pBlock) return E_OUTOFMEMORY;
    DWORD dwRead = 0;
    HRESULT hr = pReader->Read(dwSize, pBlock, &dwRead);
    if (SUCCEEDED(hr)) hr = pReader->Reset();
    LPVOID p1 = nullptr, p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    if (SUCCEEDED(hr)) hr = lpBuffer->Lock(0, dwSize, &p1, &n1, &p2, &n2, 0);
    if (SUCCEEDED(hr)) {
        memcpy(p1, pBlock, n1);
        if (p2) memcpy(p2, pBlock + n1, n2);
        hr = lpBuffer->Unlock(p1, n1, p2, n2);
    }
    SoundHeapFree(pBlock);
    return hr;
}

LPDIRECTSOUNDBUFFER LoadWaveSoundBuffer(const char* pszPath) {
    if (!g_lpDS) return nullptr;
    CWaveReader reader;
    if (FAILED(reader.Open(pszPath))) {
        DebugPrintf("%s の読み込みに失敗しました\n", pszPath);
        return nullptr;
    }
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY;
    desc.dwBufferBytes = reader.GetSize();
    desc.lpwfxFormat = reader.GetFormat();
    LPDIRECTSOUNDBUFFER lpBuffer = nullptr;
    HRESULT hr = g_lpDS->CreateSoundBuffer(&desc, &lpBuffer, nullptr);
    if (FAILED(hr)) {
        if (hr == DSERR_BADFORMAT) ReportBadWave(pszPath, "a format DirectSound cannot play");
        return nullptr;
    }
    if (FAILED(FillSoundBuffer(&reader, lpBuffer, desc.dwBufferBytes))) {
        lpBuffer->Release();
        return nullptr;
    }
    return lpBuffer;
}

void RestartSoundBuffer(LPDIRECTSOUNDBUFFER lpBuffer) {
    lpBuffer->SetCurrentPosition(0);
    if (IsSoundBufferPlaying(lpBuffer)) {
        lpBuffer->Stop();
        lpBuffer->SetCurrentPosition(0);
    }
    lpBuffer->Play(0, 0, 0);
}

int IsSoundBufferPlaying(LPDIRECTSOUNDBUFFER lpBuffer) {
    DWORD dwStatus = 0;
    if (!lpBuffer || FAILED(lpBuffer->GetStatus(&dwStatus))) return 0;
    return (dwStatus & DSBSTATUS_PLAYING) ? 1 : 0;
}

// ---- The bank -----------------------------------------------------------------------------------

CPCMManagerTask::CPCMManagerTask() : m_Slots{}, m_bInitialized(0), m_bEnabled(1) {
    for (int32_t& nState : m_nStates) nState = PCM_STATE_IDLE;
}

CPCMManagerTask::~CPCMManagerTask() { Release(); }

void CPCMManagerTask::Fill(PCMSLOT* pSlot, const char* pszPath, LPDIRECTSOUNDBUFFER lpBuffer) {
    pSlot->nFlag = 0;
    memset(pSlot->szName, 0, sizeof pSlot->szName);
    strncpy(pSlot->szName, pszPath, sizeof pSlot->szName - 1);
    pSlot->lVolume = 0;
    lpBuffer->GetVolume(&pSlot->lVolume);
    pSlot->lpBuffer = lpBuffer;
}

int CPCMManagerTask::Init() {
    if (m_bInitialized) return 1;
    for (int i = 0; i < PCM_SYSTEM_SOUND_COUNT; ++i) {
        LPDIRECTSOUNDBUFFER lpBuffer = LoadWaveSoundBuffer(g_pszSystemSounds[i]);
        std::lock_guard<std::mutex> lock(m_Lock);
        if (lpBuffer) Fill(&m_Slots[PCM_BANK_SYSTEM][i], g_pszSystemSounds[i], lpBuffer);
    }
    m_bInitialized = 1;
    return 1;
}

void CPCMManagerTask::QueueStageSound(const char* pszPath) {
    if (!pszPath) return;
    std::lock_guard<std::mutex> lock(m_Lock);
    m_StageList.push_back(pszPath);
}

int CPCMManagerTask::LoadStageSounds() {
    // Runs on the loading thread: the waves are read without the lock, which is held only to
    // look at the bank and to put a loaded buffer into its slot.
    rvm::vector<rvm::string> paths;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        for (auto it = m_StageList.begin(); !it.end(); ++it) paths.push_back(*it);
    }
    for (const rvm::string& strPath : paths) {
        const char* pszPath = strPath.c_str();
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            const int nFound = FindSlotLocked(PCM_BANK_STAGE, pszPath);
            if (nFound >= 0 && m_Slots[PCM_BANK_STAGE][nFound].lpBuffer) continue;
            if (FindFreeStageSlot() < 0) {
                ReportDataError(pszPath, "WARNING : ステージのサウンドが多すぎます [%s]\n", pszPath);
                return 0;
            }
        }
        LPDIRECTSOUNDBUFFER lpBuffer = LoadWaveSoundBuffer(pszPath);
        if (!lpBuffer) return 0;
        std::lock_guard<std::mutex> lock(m_Lock);
        const int nSlot = FindFreeStageSlot();
        if (nSlot < 0) {
            lpBuffer->Release();
            return 0;
        }
        Fill(&m_Slots[PCM_BANK_STAGE][nSlot], pszPath, lpBuffer);
    }
    return 1;
}

// The bank fills from slot 0 in load order; -1 when it is full.
int CPCMManagerTask::FindFreeStageSlot() const {
    for (int i = 0; i < PCM_SLOT_COUNT; ++i)
        if (!m_Slots[PCM_BANK_STAGE][i].lpBuffer) return i;
    return -1;
}

void CPCMManagerTask::ReleaseStageSounds() {
    std::lock_guard<std::mutex> lock(m_Lock);
    ReleaseBankLocked(PCM_BANK_STAGE);
    m_StageList.clear();
}

void CPCMManagerTask::ReleaseBank(int nBank) {
    std::lock_guard<std::mutex> lock(m_Lock);
    ReleaseBankLocked(nBank);
}

void CPCMManagerTask::ReleaseBankLocked(int nBank) {
    if (nBank < 0 || nBank >= PCM_BANK_COUNT) return;
    for (PCMSLOT& slot : m_Slots[nBank]) {
        if (slot.lpBuffer) slot.lpBuffer->Release();
        slot.lpBuffer = nullptr;
    }
    // Without its buffers the system bank is no longer loaded: a later start-up in the same
    // process loads it again instead of playing nothing.
    if (nBank == PCM_BANK_SYSTEM) m_bInitialized = 0;
}

void CPCMManagerTask::Release() {
    std::lock_guard<std::mutex> lock(m_Lock);
    ReleaseBankLocked(PCM_BANK_SYSTEM);
    ReleaseBankLocked(PCM_BANK_STAGE);
}

PCMSLOT CPCMManagerTask::GetSlot(int nBank, int nSlot) const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Slots[nBank][nSlot];
}

int CPCMManagerTask::GetState(int nBank, int nSlot) const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_nStates[nBank * PCM_SLOT_COUNT + nSlot];
}

int CPCMManagerTask::GetQueuedCount() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_StageList.size();
}

int CPCMManagerTask::FindSlot(int nBank, const char* pszName) const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return FindSlotLocked(nBank, pszName);
}

int CPCMManagerTask::FindSlotLocked(int nBank, const char* pszName) const {
    if (!pszName || nBank < 0 || nBank >= PCM_BANK_COUNT) return -1;
    // Every play looks a name up four times over the whole bank: the first letter turns away the
    // empty slots and most others without a call.
    for (int i = 0; i < PCM_SLOT_COUNT; ++i)
        if (m_Slots[nBank][i].szName[0] == pszName[0] && strncmp(m_Slots[nBank][i].szName, pszName, PCM_NAME_SIZE) == 0)
            return i;
    return -1;
}

void CPCMManagerTask::Play(const char* pszName) {
    if (!m_bEnabled || !pszName || !*pszName) return;
    std::lock_guard<std::mutex> lock(m_Lock);
    // A request silences the effect only when it was requested or started already: one that is
    // idle but still sounding is left to Update, whose restart stops and rewinds it anyway.
    StopLocked(pszName);
    for (int nBank = 0; nBank < PCM_BANK_COUNT; ++nBank) {
        int nSlot = FindSlotLocked(nBank, pszName);
        if (nSlot >= 0) m_nStates[nBank * PCM_SLOT_COUNT + nSlot] = PCM_STATE_REQUESTED;
    }
}

void CPCMManagerTask::Stop(const char* pszName) {
    if (!m_bEnabled || !pszName || !*pszName) return;
    std::lock_guard<std::mutex> lock(m_Lock);
    StopLocked(pszName);
}

void CPCMManagerTask::StopLocked(const char* pszName) {
    for (int nBank = 0; nBank < PCM_BANK_COUNT; ++nBank) {
        int nSlot = FindSlotLocked(nBank, pszName);
        if (nSlot < 0) continue;
        int nState = m_nStates[nBank * PCM_SLOT_COUNT + nSlot];
        if (nState == PCM_STATE_REQUESTED || nState == PCM_STATE_STARTED) FadeOutSoundBuffer(m_Slots[nBank][nSlot].lpBuffer);
    }
}

int CPCMManagerTask::IsPlaying(const char* pszName) const {
    if (!pszName || !*pszName) return 0;
    std::lock_guard<std::mutex> lock(m_Lock);
    for (int nBank = 0; nBank < PCM_BANK_COUNT; ++nBank) {
        int nSlot = FindSlotLocked(nBank, pszName);
        if (nSlot >= 0) return IsSoundBufferPlaying(m_Slots[nBank][nSlot].lpBuffer);
    }
    return 0;
}

void CPCMManagerTask::Update() {
    if (!g_lpDS || !g_bSoundOn) return;
    std::lock_guard<std::mutex> lock(m_Lock);
    // Called twice a tick over every slot, nearly all of them idle: only the others fetch their
    // buffer.
    for (int i = 0; i < PCM_BANK_COUNT * PCM_SLOT_COUNT; ++i) {
        if (m_nStates[i] == PCM_STATE_IDLE) continue;
        LPDIRECTSOUNDBUFFER lpBuffer = m_Slots[i / PCM_SLOT_COUNT][i % PCM_SLOT_COUNT].lpBuffer;
        if (m_nStates[i] == PCM_STATE_REQUESTED) {
            // A released stage slot keeps its name; its request is dropped, not played.
            if (!lpBuffer) {
                m_nStates[i] = PCM_STATE_IDLE;
                continue;
            }
            RestartSoundBuffer(lpBuffer);
            m_nStates[i] = PCM_STATE_STARTED;
        } else if (m_nStates[i] == PCM_STATE_STARTED && IsSoundBufferPlaying(lpBuffer)) {
            m_nStates[i] = PCM_STATE_IDLE;
        }
    }
}
