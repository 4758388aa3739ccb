// The host without a window: for tests and the headless runner. Time is a fake clock by default
// (it moves only when the program sleeps, when a tick costs time, or when a test advances it),
// input comes from a script applied tick by tick, and presented frames stay in memory.
#pragma once
#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/host/Host.h"
#include "platform/host/HostScript.h"

class CHostHeadless : public IHost {
public:
    enum CLOCKMODE { CLOCK_FAKE, CLOCK_REAL };

    explicit CHostHeadless(CLOCKMODE mode = CLOCK_FAKE);

    // ---- IHost ----
    bool CreateMainWindow(const char* pszTitleUtf8, const char* pszAppName, int clientW, int clientH, int x, int y,
                          bool bFullScreen) override;
    void ShowMainWindow() override;
    void RaiseMainWindow() override;
    void DestroyMainWindow() override;
    bool HasMainWindow() const override;
    void GetScreenSize(int* pW, int* pH) override;
    void ShowCursor(bool bShow) override;
    bool PollEvent(HOSTEVENT* pEvent) override;
    // With nothing queued, a wait stands for one idle tick: the script advances by one tick and
    // the fake clock by the timeout, so a deactivated program still reaches its reactivation.
    void WaitEvent(uint32_t dwTimeoutMs) override;
    bool IsKeyDown(int nVirtKey) override;
    uint32_t NowMs() override;
    void SleepMs(uint32_t dwMs) override;
    bool Present(const uint16_t* pPixels, int nPitchBytes, int w, int h) override;
    // Keeps the buffer as the last frame; it is copied out only when the frame is read.
    bool PresentBuffer(const std::shared_ptr<const uint8_t[]>& pBuffer, int nPitchBytes, int w, int h) override;
    void MessageBox(const char* pszTextUtf8, const char* pszTitleUtf8) override;
    // Counts the tick, charges the tick cost to the fake clock, applies the script of this tick.
    void FrameTick() override;
    void SetFullScreen(bool bFullScreen) override;
    // The dialog window exists in memory; its input is what was queued for it. Once that is used up
    // the dialog is closed, as the close box would, so a dialog never waits for input that cannot
    // come.
    bool OpenDialogWindow(const char* pszTitleUtf8, int clientW, int clientH, int x, int y) override;
    bool PresentDialog(const uint16_t* pPixels, int nPitchBytes, int w, int h) override;
    bool PollDialogEvent(HOSTEVENT* pEvent) override;
    void CloseDialogWindow() override;
    void DebugOutput(const char* pszText) override;
    // Kept for GetErrorLines, and on stderr unless quiet.
    void ErrorOutput(const char* pszTextUtf8) override;
    // Audio follows the clock: every move of it mixes the frames that time covers, so sound
    // buffers' cursors advance with the (fake) clock. The output is dropped unless recorded.
    bool OpenAudio(int nRate, IAudioSource* pSource) override;
    void CloseAudio() override;
    bool HasJoystickSupport() override { return true; }
    bool GetJoystick(int nSlot, HOSTJOYSTATE* pState) override;

    // ---- Script and input ----
    bool LoadScript(const char* pszPath, std::string* pError);
    bool AddScript(const char* pszText, std::string* pError);
    void Schedule(const HOSTSCRIPTCMD& cmd);
    // Immediate input, as if it happened now.
    void PressKey(int nVirtKey);
    void ReleaseKey(int nVirtKey);
    void PushEvent(const HOSTEVENT& ev);
    // Input for the next dialog window, in order; a click is a move there, a press and a release.
    void PushDialogEvent(const HOSTEVENT& ev);
    void PushDialogClick(int x, int y);
    // Joystick slot 0 or 1: plugged in with this state, or unplugged.
    void SetJoystick(int nSlot, const HOSTJOYSTATE& state);
    void UnplugJoystick(int nSlot);

    // ---- Clock ----
    void SetTickCost(uint32_t dwMs) { m_dwTickCost = dwMs; }
    void AdvanceClock(uint32_t dwMs);
    // With the fake clock, threads the program raised above normal priority (a streamer that must
    // keep the sound device fed) run in step with the clock, as such a thread runs on Windows the
    // moment it is due: each move of the clock wakes those whose sleep or wait it ends and goes on
    // only once they sleep or wait again, so they see the clock and the device where every run with
    // the same ticks sees them. Otherwise a follower's sleep ends at the clock or at the same real
    // time, whichever comes first, and what it does lands a little earlier or later from run to
    // run. Set before the program starts its threads.
    void SetThreadsInStep(bool bInStep);
    bool AreThreadsInStep() const { return m_clock == CLOCK_FAKE && m_bThreadsInStep.load(); }
    // How many threads in step sleep now (a test waits for its thread to reach its first wait).
    size_t GetThreadsAsleepInStep();
    // For the thread machinery. A follower waiting on objects while in step: parks it until the
    // clock next moves (true), or false when it does not run in step (it waits as usual then).
    bool AwaitClockInStep();
    // The driving thread blocks until a thread in step has ended: meanwhile their sleeps take their
    // real time, since the clock cannot move.
    void AwaitFollowerEnd(bool bAwaiting);
    // The last kSleepsKept sleeps, oldest first (a long run would otherwise keep every one), and
    // how many there were since the last clear.
    static constexpr size_t kSleepsKept = 4096;
    std::vector<uint32_t> GetSleeps() const;
    uint64_t GetSleepCount() const;
    void ClearSleeps();

    // ---- What happened ----
    uint32_t GetTick() const { return m_nTick; }            // ticks run plus idle waits
    uint32_t GetFrameTicks() const { return m_nFrameTicks; }  // FrameTick calls only
    int GetPresentCount() const { return m_nPresents; }
    const std::vector<uint16_t>& GetLastFrame() const;  // packed, w * h
    int GetLastFrameWidth() const { return m_nFrameW; }
    int GetLastFrameHeight() const { return m_nFrameH; }
    bool WriteLastFrame(const char* pszPath) const;
    const std::vector<std::string>& GetShotsWritten() const { return m_shotsWritten; }
    std::vector<std::pair<std::string, std::string>> GetMessageBoxes() const;  // (text, title)
    std::vector<std::string> GetDebugLines() const;
    void ClearDebugLines();
    std::vector<std::string> GetErrorLines() const;  // each as printed, without its line end
    int GetRaiseCount() const { return m_nRaises.load(); }
    bool IsWindowShown() const { return m_bShown; }
    bool IsFullScreen() const { return m_bFullScreen; }
    bool IsCursorShown() const { return m_bCursorShown; }
    const std::string& GetWindowTitle() const { return m_strTitle; }
    const std::string& GetAppName() const { return m_strAppName; }
    void GetWindowPlacement(int* pX, int* pY, int* pW, int* pH) const;
    // The dialog windows opened so far, the one open now, and the last picture one showed.
    int GetDialogCount() const { return m_nDialogs; }
    bool IsDialogOpen() const { return m_bDialog; }
    const std::string& GetDialogTitle() const { return m_strDialogTitle; }
    void GetDialogPlacement(int* pX, int* pY, int* pW, int* pH) const;
    const std::vector<uint16_t>& GetDialogFrame() const { return m_dialogFrame; }  // packed, w * h
    int GetDialogPresentCount() const { return m_nDialogPresents; }
    bool WriteDialogFrame(const char* pszPath) const;

    // ---- Audio ----
    bool IsAudioOpen() const;
    uint64_t GetAudioFramesMixed() const;
    void StartAudioRecording();
    void StopAudioRecording();
    std::vector<int16_t> GetAudioRecording() const;  // interleaved stereo
    // The recording as a 16-bit stereo PCM .wav file at the open rate.
    bool WriteAudioRecording(const char* pszPath) const;
    void SetFailAudio(bool bFail) { m_bFailAudio = bFail; }  // as if there were no audio device

    // ---- Behaviour ----
    void SetQuiet(bool bQuiet) { m_bQuiet = bQuiet; }          // no copies on stderr
    void SetEchoDebug(bool bEcho) { m_bEchoDebug = bEcho; }    // debug output copied to stderr
    void SetFailCreateWindow(bool bFail) { m_bFailCreate = bFail; }

private:
    void AdvanceTick();
    void ClockMoved();
    void PumpAudio();
    void FollowerSleep(uint32_t dwMs);
    // Under m_clockWaitLock: a follower that runs in step sleeps until the clock has moved dwMs
    // from dwStart and then counts as running until it parks again.
    void SleepInStep(std::unique_lock<std::mutex>& lock, uint32_t dwStart, uint32_t dwMs);
    bool AnyInStepDue() const;
    // Under m_clockWaitLock: whether the clock has reached the end of any of the sleeps.
    bool AnyDue(const std::vector<std::pair<uint32_t, uint32_t>>& sleeps) const;
    // Under m_clockWaitLock: the calling thread no longer counts as running in step.
    void Park();
    // The driving thread, after a move: waits until every thread in step that the move woke has
    // parked again.
    void AwaitThreadsInStep();
    friend void SetHeadlessClockFollower(bool bFollower, const std::atomic<bool>* pRaised);
    void Apply(const HOSTSCRIPTCMD& cmd);
    void KeyEvent(int nVirtKey, bool bDown);
    void CopyFrame(const uint16_t* pPixels, int nPitchBytes, int w, int h) const;
    void FramePresented(int w, int h);

    CLOCKMODE m_clock;
    std::atomic<uint32_t> m_dwNow{0};
    uint32_t m_dwTickCost = 0;
    mutable std::mutex m_lock;  // sleeps, records and events: other threads sleep and log too
    std::array<uint32_t, kSleepsKept> m_sleeps{};  // a ring: entry n % kSleepsKept is sleep n
    uint64_t m_nSleeps = 0;
    std::deque<HOSTEVENT> m_events;
    std::vector<HOSTSCRIPTCMD> m_script;  // sorted by tick, file order kept within a tick
    size_t m_nNextCmd = 0;
    std::atomic<bool> m_keys[256] = {};
    bool m_bJoyPlugged[HOST_JOYSTICK_SLOTS] = {};
    HOSTJOYSTATE m_joy[HOST_JOYSTICK_SLOTS] = {};
    uint32_t m_nTick = 0;
    uint32_t m_nFrameTicks = 0;

    // The last frame: packed pixels, or a kept buffer not yet copied into them.
    mutable std::vector<uint16_t> m_lastFrame;
    mutable std::shared_ptr<const uint8_t[]> m_pKeptFrame;
    int m_nKeptPitch = 0;
    int m_nFrameW = 0, m_nFrameH = 0;
    int m_nPresents = 0;
    std::string m_strPendingShot;
    std::vector<std::string> m_shotsWritten;

    std::vector<std::pair<std::string, std::string>> m_messageBoxes;
    std::vector<std::string> m_debugLines;
    std::vector<std::string> m_errorLines;

    bool m_bWindow = false, m_bShown = false, m_bFullScreen = false, m_bCursorShown = true;
    std::string m_strTitle, m_strAppName;
    int m_nWinX = 0, m_nWinY = 0, m_nWinW = 0, m_nWinH = 0;
    std::atomic<int> m_nRaises{0};
    bool m_bDialog = false;
    int m_nDialogs = 0;
    std::string m_strDialogTitle;
    int m_nDlgX = 0, m_nDlgY = 0, m_nDlgW = 0, m_nDlgH = 0;
    std::deque<HOSTEVENT> m_dialogEvents;
    std::vector<uint16_t> m_dialogFrame;
    int m_nDialogPresents = 0;
    bool m_bQuiet = false;
    bool m_bEchoDebug = true;
    bool m_bFailCreate = false;

    mutable std::mutex m_audioLock;
    IAudioSource* m_pAudio = nullptr;
    int m_nAudioRate = 0;
    uint32_t m_dwAudioBase = 0;
    uint64_t m_nAudioFrames = 0;
    bool m_bRecording = false;
    bool m_bFailAudio = false;
    std::vector<int16_t> m_record;
    std::vector<int16_t> m_mixChunk;
    std::mutex m_clockWaitLock;
    std::condition_variable m_clockMoved;
    std::atomic<bool> m_bThreadsInStep{false};
    // Under m_clockWaitLock: threads in step asleep (from when, for how long), those running, and
    // whether the driving thread waits for one to end.
    std::vector<std::pair<uint32_t, uint32_t>> m_inStepSleeps;
    // Under m_clockWaitLock: the other followers asleep on the clock (from when, for how long).
    std::vector<std::pair<uint32_t, uint32_t>> m_followerSleeps;
    int m_nInStepRunning = 0;
    int m_nAwaitingEnd = 0;
};

// Marks the calling thread as one that follows the clock rather than driving it: with the fake
// clock its sleeps wait for the driving thread to move the clock on (but never longer than the
// same time on the real clock, unless it runs in step), instead of moving the clock themselves.
// Threads the game starts are marked; the thread that runs the frame is not. pRaised, when given,
// says at any moment whether the thread's priority is above normal. A follower that ends is
// unmarked, and no longer counts as running in step.
void SetHeadlessClockFollower(bool bFollower, const std::atomic<bool>* pRaised = nullptr);
// Whether the calling thread is a follower raised above normal priority.
bool IsRaisedClockFollower();
