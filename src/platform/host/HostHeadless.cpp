#include "platform/host/HostHeadless.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/host/Clock.h"
#include "platform/host/Png565.h"
#include "platform/host/VirtKey.h"
#include "platform/win/Win.h"

namespace {
const int kScreenW = 1024;
const int kScreenH = 768;

HOSTEVENT MakeEvent(HOSTEVENTTYPE type) {
    HOSTEVENT ev{};
    ev.type = type;
    return ev;
}

bool ValidKey(int nVirtKey) { return nVirtKey > 0 && nVirtKey < 256; }

thread_local bool t_bClockFollower = false;
thread_local const std::atomic<bool>* t_pRaised = nullptr;
// The host that counts the calling thread as running in step.
thread_local CHostHeadless* t_pRunningIn = nullptr;

// Only against a thread in step that never parks again: the run then no longer repeats exactly,
// but it goes on.
const auto kInStepLimit = std::chrono::seconds(10);

// Frames mixed per pump at most; the rest follows in further chunks.
const uint32_t kMixChunkFrames = 4096;

void PutLe(std::vector<uint8_t>& out, uint32_t v, int nBytes) {
    for (int i = 0; i < nBytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
}  // namespace

void SetHeadlessClockFollower(bool bFollower, const std::atomic<bool>* pRaised) {
    if (!bFollower && t_pRunningIn) {
        CHostHeadless* pHost = t_pRunningIn;
        std::lock_guard<std::mutex> guard(pHost->m_clockWaitLock);
        pHost->Park();
    }
    t_bClockFollower = bFollower;
    t_pRaised = bFollower ? pRaised : nullptr;
}

bool IsRaisedClockFollower() { return t_bClockFollower && t_pRaised && t_pRaised->load(); }

CHostHeadless::CHostHeadless(CLOCKMODE mode) : m_clock(mode) {}

bool CHostHeadless::CreateMainWindow(const char* pszTitleUtf8, const char* pszAppName, int clientW, int clientH,
                                     int x, int y, bool bFullScreen) {
    if (m_bFailCreate) return false;
    m_bWindow = true;
    m_bShown = false;
    m_strTitle = pszTitleUtf8 ? pszTitleUtf8 : "";
    m_strAppName = pszAppName ? pszAppName : "";
    m_nWinX = x;
    m_nWinY = y;
    m_nWinW = clientW;
    m_nWinH = clientH;
    m_bFullScreen = bFullScreen;
    return true;
}

void CHostHeadless::ShowMainWindow() { m_bShown = m_bWindow; }

void CHostHeadless::RaiseMainWindow() {
    if (m_bWindow) ++m_nRaises;
}

void CHostHeadless::DestroyMainWindow() {
    m_bWindow = false;
    m_bShown = false;
}

bool CHostHeadless::HasMainWindow() const { return m_bWindow; }

void CHostHeadless::GetScreenSize(int* pW, int* pH) {
    if (pW) *pW = kScreenW;
    if (pH) *pH = kScreenH;
}

void CHostHeadless::ShowCursor(bool bShow) { m_bCursorShown = bShow; }

bool CHostHeadless::PollEvent(HOSTEVENT* pEvent) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_events.empty()) return false;
    *pEvent = m_events.front();
    m_events.pop_front();
    return true;
}

void CHostHeadless::WaitEvent(uint32_t dwTimeoutMs) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_events.empty()) return;
    }
    if (m_clock == CLOCK_REAL)
        SleepRealMs(std::min<uint32_t>(dwTimeoutMs, 16));
    else
        m_dwNow += dwTimeoutMs;
    ClockMoved();
    AdvanceTick();
}

bool CHostHeadless::IsKeyDown(int nVirtKey) {
    switch (nVirtKey) {
    case VK_SHIFT: return m_keys[VK_SHIFT] || m_keys[VK_LSHIFT] || m_keys[VK_RSHIFT];
    case VK_CONTROL: return m_keys[VK_CONTROL] || m_keys[VK_LCONTROL] || m_keys[VK_RCONTROL];
    case VK_MENU: return m_keys[VK_MENU] || m_keys[VK_LMENU] || m_keys[VK_RMENU];
    default: return ValidKey(nVirtKey) && m_keys[nVirtKey];
    }
}

uint32_t CHostHeadless::NowMs() { return m_clock == CLOCK_REAL ? MonotonicMs() : m_dwNow.load(); }

void CHostHeadless::SleepMs(uint32_t dwMs) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_sleeps[m_nSleeps++ % kSleepsKept] = dwMs;
    }
    if (m_clock == CLOCK_REAL)
        SleepRealMs(dwMs);
    else if (t_bClockFollower)
        FollowerSleep(dwMs);
    else
        m_dwNow += dwMs;
    ClockMoved();
}

void CHostHeadless::FollowerSleep(uint32_t dwMs) {
    uint32_t dwStart = m_dwNow.load();
    std::unique_lock<std::mutex> lock(m_clockWaitLock);
    if (AreThreadsInStep() && IsRaisedClockFollower()) {
        SleepInStep(lock, dwStart, dwMs);
        return;
    }
    Park();
    const std::pair<uint32_t, uint32_t> sleep(dwStart, dwMs);
    m_followerSleeps.push_back(sleep);
    m_clockMoved.wait_for(lock, std::chrono::milliseconds(dwMs), [&] { return m_dwNow.load() - dwStart >= dwMs; });
    m_followerSleeps.erase(std::find(m_followerSleeps.begin(), m_followerSleeps.end(), sleep));
}

void CHostHeadless::SleepInStep(std::unique_lock<std::mutex>& lock, uint32_t dwStart, uint32_t dwMs) {
    Park();
    const std::pair<uint32_t, uint32_t> sleep(dwStart, dwMs);
    m_inStepSleeps.push_back(sleep);
    auto reached = [&] { return m_dwNow.load() - dwStart >= dwMs; };
    m_clockMoved.wait(lock, [&] { return reached() || m_nAwaitingEnd > 0 || !m_bThreadsInStep; });
    // The driving thread waits for a thread in step to end, so the clock stands still.
    if (!reached()) m_clockMoved.wait_for(lock, std::chrono::milliseconds(dwMs), reached);
    m_inStepSleeps.erase(std::find(m_inStepSleeps.begin(), m_inStepSleeps.end(), sleep));
    ++m_nInStepRunning;
    t_pRunningIn = this;
}

bool CHostHeadless::AnyDue(const std::vector<std::pair<uint32_t, uint32_t>>& sleeps) const {
    const uint32_t dwNow = m_dwNow.load();
    for (const auto& sleep : sleeps)
        if (dwNow - sleep.first >= sleep.second) return true;
    return false;
}

bool CHostHeadless::AnyInStepDue() const { return AnyDue(m_inStepSleeps); }

void CHostHeadless::Park() {
    if (t_pRunningIn != this) return;
    t_pRunningIn = nullptr;
    --m_nInStepRunning;
    m_clockMoved.notify_all();
}

bool CHostHeadless::AwaitClockInStep() {
    uint32_t dwStart = m_dwNow.load();
    std::unique_lock<std::mutex> lock(m_clockWaitLock);
    if (!AreThreadsInStep() || !IsRaisedClockFollower()) {
        Park();
        return false;
    }
    SleepInStep(lock, dwStart, 1);
    return true;
}

void CHostHeadless::AwaitFollowerEnd(bool bAwaiting) {
    std::lock_guard<std::mutex> guard(m_clockWaitLock);
    m_nAwaitingEnd += bAwaiting ? 1 : -1;
    m_clockMoved.notify_all();
}

size_t CHostHeadless::GetThreadsAsleepInStep() {
    std::lock_guard<std::mutex> guard(m_clockWaitLock);
    return m_inStepSleeps.size();
}

void CHostHeadless::SetThreadsInStep(bool bInStep) {
    std::lock_guard<std::mutex> guard(m_clockWaitLock);
    m_bThreadsInStep = bInStep;
    m_clockMoved.notify_all();
}

// Only a move that ends a sleep wakes the sleepers: the music thread sleeps 50 ms at a time, and
// waking it at every move of the clock, twice a tick, to find its sleep not over cost several task
// switches a tick. The wake comes with the lock free, so the thread woken runs on at once instead
// of blocking on the lock again.
void CHostHeadless::AwaitThreadsInStep() {
    std::unique_lock<std::mutex> lock(m_clockWaitLock);
    if (AnyInStepDue() || AnyDue(m_followerSleeps)) {
        lock.unlock();
        m_clockMoved.notify_all();
        lock.lock();
    }
    if (t_bClockFollower || !AreThreadsInStep()) return;
    m_clockMoved.wait_for(lock, kInStepLimit,
                          [&] { return m_nAwaitingEnd > 0 || (m_nInStepRunning == 0 && !AnyInStepDue()); });
}

void CHostHeadless::AdvanceClock(uint32_t dwMs) {
    m_dwNow += dwMs;
    ClockMoved();
}

// The frames up to now are mixed before any thread in step runs, so what it does to the device
// takes effect from this moment on, in every run alike.
void CHostHeadless::ClockMoved() {
    PumpAudio();
    AwaitThreadsInStep();
}

bool CHostHeadless::OpenAudio(int nRate, IAudioSource* pSource) {
    if (m_bFailAudio || nRate <= 0 || !pSource) return false;
    std::lock_guard<std::mutex> guard(m_audioLock);
    if (m_pAudio) return false;
    m_pAudio = pSource;
    m_nAudioRate = nRate;
    m_dwAudioBase = NowMs();
    m_nAudioFrames = 0;
    m_mixChunk.assign(static_cast<size_t>(kMixChunkFrames) * 2, 0);
    return true;
}

void CHostHeadless::CloseAudio() {
    std::lock_guard<std::mutex> guard(m_audioLock);
    m_pAudio = nullptr;
}

// The device has played every frame up to now: frames = elapsed ms x rate / 1000, rounded down.
void CHostHeadless::PumpAudio() {
    std::lock_guard<std::mutex> guard(m_audioLock);
    if (!m_pAudio) return;
    uint64_t nTarget = static_cast<uint64_t>(NowMs() - m_dwAudioBase) * static_cast<uint64_t>(m_nAudioRate) / 1000u;
    while (m_nAudioFrames < nTarget) {
        uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(nTarget - m_nAudioFrames, kMixChunkFrames));
        m_pAudio->MixAudio(m_mixChunk.data(), n);
        if (m_bRecording) m_record.insert(m_record.end(), m_mixChunk.begin(), m_mixChunk.begin() + 2 * n);
        m_nAudioFrames += n;
    }
}

bool CHostHeadless::IsAudioOpen() const {
    std::lock_guard<std::mutex> guard(m_audioLock);
    return m_pAudio != nullptr;
}

uint64_t CHostHeadless::GetAudioFramesMixed() const {
    std::lock_guard<std::mutex> guard(m_audioLock);
    return m_nAudioFrames;
}

void CHostHeadless::StartAudioRecording() {
    std::lock_guard<std::mutex> guard(m_audioLock);
    m_record.clear();
    m_bRecording = true;
}

void CHostHeadless::StopAudioRecording() {
    std::lock_guard<std::mutex> guard(m_audioLock);
    m_bRecording = false;
}

std::vector<int16_t> CHostHeadless::GetAudioRecording() const {
    std::lock_guard<std::mutex> guard(m_audioLock);
    return m_record;
}

bool CHostHeadless::WriteAudioRecording(const char* pszPath) const {
    std::vector<uint8_t> out;
    {
        std::lock_guard<std::mutex> guard(m_audioLock);
        uint32_t nRate = static_cast<uint32_t>(m_nAudioRate > 0 ? m_nAudioRate : 44100);
        uint32_t nData = static_cast<uint32_t>(m_record.size() * 2);
        out.reserve(44 + nData);
        out.insert(out.end(), {'R', 'I', 'F', 'F'});
        PutLe(out, 36 + nData, 4);
        out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
        PutLe(out, 16, 4);
        PutLe(out, 1, 2);  // PCM
        PutLe(out, 2, 2);
        PutLe(out, nRate, 4);
        PutLe(out, nRate * 4, 4);
        PutLe(out, 4, 2);
        PutLe(out, 16, 2);
        out.insert(out.end(), {'d', 'a', 't', 'a'});
        PutLe(out, nData, 4);
        for (int16_t v : m_record) PutLe(out, static_cast<uint16_t>(v), 2);
    }
    FILE* fp = fopen(pszPath ? pszPath : "", "wb");
    if (!fp) return false;
    bool bOk = fwrite(out.data(), 1, out.size(), fp) == out.size();
    return fclose(fp) == 0 && bOk;
}

bool CHostHeadless::Present(const uint16_t* pPixels, int nPitchBytes, int w, int h) {
    if (!pPixels || w <= 0 || h <= 0 || nPitchBytes < w * 2) return false;
    m_pKeptFrame.reset();
    CopyFrame(pPixels, nPitchBytes, w, h);
    FramePresented(w, h);
    return true;
}

bool CHostHeadless::PresentBuffer(const std::shared_ptr<const uint8_t[]>& pBuffer, int nPitchBytes, int w, int h) {
    if (!pBuffer || w <= 0 || h <= 0 || nPitchBytes < w * 2) return false;
    m_pKeptFrame = pBuffer;
    m_nKeptPitch = nPitchBytes;
    FramePresented(w, h);
    return true;
}

const std::vector<uint16_t>& CHostHeadless::GetLastFrame() const {
    if (m_pKeptFrame) {
        CopyFrame(reinterpret_cast<const uint16_t*>(m_pKeptFrame.get()), m_nKeptPitch, m_nFrameW, m_nFrameH);
        m_pKeptFrame.reset();
    }
    return m_lastFrame;
}

void CHostHeadless::CopyFrame(const uint16_t* pPixels, int nPitchBytes, int w, int h) const {
    m_lastFrame.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    const uint8_t* pRow = reinterpret_cast<const uint8_t*>(pPixels);
    for (int y = 0; y < h; ++y, pRow += nPitchBytes)
        std::copy_n(reinterpret_cast<const uint16_t*>(pRow), w, m_lastFrame.begin() + static_cast<ptrdiff_t>(y) * w);
}

void CHostHeadless::FramePresented(int w, int h) {
    m_nFrameW = w;
    m_nFrameH = h;
    ++m_nPresents;
    if (!m_strPendingShot.empty()) {
        if (WriteLastFrame(m_strPendingShot.c_str()))
            m_shotsWritten.push_back(m_strPendingShot);
        else if (!m_bQuiet)
            fprintf(stderr, "headless: cannot write %s\n", m_strPendingShot.c_str());
        m_strPendingShot.clear();
    }
}

void CHostHeadless::MessageBox(const char* pszTextUtf8, const char* pszTitleUtf8) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_messageBoxes.emplace_back(pszTextUtf8 ? pszTextUtf8 : "", pszTitleUtf8 ? pszTitleUtf8 : "");
    if (!m_bQuiet) fprintf(stderr, "[%s] %s\n", m_messageBoxes.back().second.c_str(), m_messageBoxes.back().first.c_str());
}

void CHostHeadless::FrameTick() {
    ++m_nFrameTicks;
    if (m_clock == CLOCK_FAKE) m_dwNow += m_dwTickCost;
    ClockMoved();
    AdvanceTick();
}

void CHostHeadless::SetFullScreen(bool bFullScreen) {
    m_bFullScreen = bFullScreen;
    if (bFullScreen) m_bShown = m_bWindow;
}

bool CHostHeadless::OpenDialogWindow(const char* pszTitleUtf8, int clientW, int clientH, int x, int y) {
    if (m_bDialog || clientW <= 0 || clientH <= 0) return false;
    m_bDialog = true;
    ++m_nDialogs;
    m_strDialogTitle = pszTitleUtf8 ? pszTitleUtf8 : "";
    m_nDlgX = x;
    m_nDlgY = y;
    m_nDlgW = clientW;
    m_nDlgH = clientH;
    return true;
}

bool CHostHeadless::PresentDialog(const uint16_t* pPixels, int nPitchBytes, int w, int h) {
    if (!m_bDialog || !pPixels || w != m_nDlgW || h != m_nDlgH || nPitchBytes < w * 2) return false;
    m_dialogFrame.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    const uint8_t* pRow = reinterpret_cast<const uint8_t*>(pPixels);
    for (int y = 0; y < h; ++y, pRow += nPitchBytes)
        std::copy_n(reinterpret_cast<const uint16_t*>(pRow), w, m_dialogFrame.begin() + static_cast<ptrdiff_t>(y) * w);
    ++m_nDialogPresents;
    return true;
}

bool CHostHeadless::PollDialogEvent(HOSTEVENT* pEvent) {
    if (!m_bDialog) return false;
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_dialogEvents.empty()) {
        *pEvent = HOSTEVENT{};
        pEvent->type = HOSTEV_CLOSE;
        return true;
    }
    *pEvent = m_dialogEvents.front();
    m_dialogEvents.pop_front();
    return true;
}

void CHostHeadless::CloseDialogWindow() { m_bDialog = false; }

void CHostHeadless::PushDialogEvent(const HOSTEVENT& ev) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_dialogEvents.push_back(ev);
}

void CHostHeadless::PushDialogClick(int x, int y) {
    for (HOSTEVENTTYPE type : {HOSTEV_MOUSEMOVE, HOSTEV_LBUTTONDOWN, HOSTEV_LBUTTONUP}) {
        HOSTEVENT ev{};
        ev.type = type;
        ev.x = x;
        ev.y = y;
        PushDialogEvent(ev);
    }
}

void CHostHeadless::GetDialogPlacement(int* pX, int* pY, int* pW, int* pH) const {
    if (pX) *pX = m_nDlgX;
    if (pY) *pY = m_nDlgY;
    if (pW) *pW = m_nDlgW;
    if (pH) *pH = m_nDlgH;
}

bool CHostHeadless::WriteDialogFrame(const char* pszPath) const {
    if (m_dialogFrame.empty()) return false;
    return WritePng565(pszPath, m_dialogFrame.data(), m_nDlgW * 2, m_nDlgW, m_nDlgH);
}

void CHostHeadless::DebugOutput(const char* pszText) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_debugLines.emplace_back(pszText ? pszText : "");
    if (!m_bQuiet && m_bEchoDebug) fputs(m_debugLines.back().c_str(), stderr);
}

void CHostHeadless::ErrorOutput(const char* pszTextUtf8) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_errorLines.emplace_back(pszTextUtf8);
    if (!m_bQuiet) IHost::ErrorOutput(pszTextUtf8);
}

bool CHostHeadless::LoadScript(const char* pszPath, std::string* pError) {
    std::ifstream in(pszPath ? pszPath : "");
    if (!in) {
        if (pError) *pError = std::string("cannot open script ") + (pszPath ? pszPath : "");
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    if (!AddScript(text.str().c_str(), &error)) {
        if (pError) *pError = std::string(pszPath) + ": " + error;
        return false;
    }
    return true;
}

bool CHostHeadless::AddScript(const char* pszText, std::string* pError) {
    std::vector<HOSTSCRIPTCMD> commands;
    if (!ParseHostScript(pszText, &commands, pError)) return false;
    for (const HOSTSCRIPTCMD& cmd : commands) Schedule(cmd);
    return true;
}

void CHostHeadless::Schedule(const HOSTSCRIPTCMD& cmd) {
    // A joystick the script uses is there from the start, as a device plugged in before the
    // program's joystick set-up.
    bool bJoyCmd = cmd.op == HSOP_JOY || cmd.op == HSOP_UNPLUG;
    if (bJoyCmd && cmd.nJoy >= 0 && cmd.nJoy < HOST_JOYSTICK_SLOTS && !m_bJoyPlugged[cmd.nJoy])
        SetJoystick(cmd.nJoy, HOSTJOYSTATE{32768, 32768, 0});
    // Commands for a tick already run are applied at the next tick; the applied ones stay put.
    auto first = m_script.begin() + static_cast<ptrdiff_t>(m_nNextCmd);
    auto at = std::upper_bound(first, m_script.end(), cmd.nTick,
                               [](uint32_t nTick, const HOSTSCRIPTCMD& c) { return nTick < c.nTick; });
    m_script.insert(at, cmd);
}

bool CHostHeadless::GetJoystick(int nSlot, HOSTJOYSTATE* pState) {
    if (nSlot < 0 || nSlot >= HOST_JOYSTICK_SLOTS || !m_bJoyPlugged[nSlot]) return false;
    if (pState) *pState = m_joy[nSlot];
    return true;
}

void CHostHeadless::SetJoystick(int nSlot, const HOSTJOYSTATE& state) {
    if (nSlot < 0 || nSlot >= HOST_JOYSTICK_SLOTS) return;
    m_joy[nSlot] = state;
    m_bJoyPlugged[nSlot] = true;
}

void CHostHeadless::UnplugJoystick(int nSlot) {
    if (nSlot >= 0 && nSlot < HOST_JOYSTICK_SLOTS) m_bJoyPlugged[nSlot] = false;
}

void CHostHeadless::PressKey(int nVirtKey) { KeyEvent(nVirtKey, true); }

void CHostHeadless::ReleaseKey(int nVirtKey) { KeyEvent(nVirtKey, false); }

void CHostHeadless::KeyEvent(int nVirtKey, bool bDown) {
    if (!ValidKey(nVirtKey)) return;
    HOSTEVENT ev = MakeEvent(bDown ? HOSTEV_KEYDOWN : HOSTEV_KEYUP);
    ev.nVirtKey = nVirtKey;
    ev.bRepeat = bDown && IsKeyDown(nVirtKey) ? 1 : 0;
    ev.bAlt = IsKeyDown(VK_MENU) ? 1 : 0;
    m_keys[nVirtKey] = bDown;
    if (bDown) ev.nChar = VirtKeyToChar(nVirtKey, IsKeyDown(VK_SHIFT));
    PushEvent(ev);
}

void CHostHeadless::PushEvent(const HOSTEVENT& ev) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_events.push_back(ev);
}

std::vector<uint32_t> CHostHeadless::GetSleeps() const {
    std::lock_guard<std::mutex> guard(m_lock);
    const uint64_t nFirst = m_nSleeps > kSleepsKept ? m_nSleeps - kSleepsKept : 0;
    std::vector<uint32_t> sleeps;
    sleeps.reserve(static_cast<size_t>(m_nSleeps - nFirst));
    for (uint64_t n = nFirst; n < m_nSleeps; ++n) sleeps.push_back(m_sleeps[n % kSleepsKept]);
    return sleeps;
}

uint64_t CHostHeadless::GetSleepCount() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nSleeps;
}

void CHostHeadless::ClearSleeps() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_nSleeps = 0;
}

bool CHostHeadless::WriteLastFrame(const char* pszPath) const {
    const std::vector<uint16_t>& frame = GetLastFrame();
    if (frame.empty()) return false;
    return WritePng565(pszPath, frame.data(), m_nFrameW * 2, m_nFrameW, m_nFrameH);
}

std::vector<std::pair<std::string, std::string>> CHostHeadless::GetMessageBoxes() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_messageBoxes;
}

std::vector<std::string> CHostHeadless::GetDebugLines() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_debugLines;
}

void CHostHeadless::ClearDebugLines() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_debugLines.clear();
}

std::vector<std::string> CHostHeadless::GetErrorLines() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_errorLines;
}

void CHostHeadless::GetWindowPlacement(int* pX, int* pY, int* pW, int* pH) const {
    if (pX) *pX = m_nWinX;
    if (pY) *pY = m_nWinY;
    if (pW) *pW = m_nWinW;
    if (pH) *pH = m_nWinH;
}

void CHostHeadless::AdvanceTick() {
    ++m_nTick;
    while (m_nNextCmd < m_script.size() && m_script[m_nNextCmd].nTick <= m_nTick) Apply(m_script[m_nNextCmd++]);
}

void CHostHeadless::Apply(const HOSTSCRIPTCMD& cmd) {
    HOSTEVENT ev{};
    switch (cmd.op) {
    case HSOP_KEYDOWN: PressKey(cmd.nVirtKey); return;
    case HSOP_KEYUP: ReleaseKey(cmd.nVirtKey); return;
    case HSOP_SHOT: m_strPendingShot = cmd.strFile; return;
    case HSOP_JOY: SetJoystick(cmd.nJoy, HOSTJOYSTATE{cmd.dwJoyX, cmd.dwJoyY, cmd.dwButtons}); return;
    case HSOP_UNPLUG: UnplugJoystick(cmd.nJoy); return;
    case HSOP_CLOSE: ev = MakeEvent(HOSTEV_CLOSE); break;
    case HSOP_DEACTIVATE: ev = MakeEvent(HOSTEV_ACTIVATE); break;
    case HSOP_ACTIVATE:
        ev = MakeEvent(HOSTEV_ACTIVATE);
        ev.bActive = 1;
        break;
    case HSOP_MINIMIZE:
        ev = MakeEvent(HOSTEV_ACTIVATE);
        ev.bMinimized = 1;
        break;
    case HSOP_MOVE:
        ev = MakeEvent(HOSTEV_MOVE);
        ev.x = cmd.x;
        ev.y = cmd.y;
        m_nWinX = cmd.x;
        m_nWinY = cmd.y;
        break;
    }
    PushEvent(ev);
}
