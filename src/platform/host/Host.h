// The host the stand-in runs on: a real SDL window, or a headless back end for tests and the
// headless runner. Everything above the platform reaches the host only through the Win32- and
// DirectX-shaped calls of src/platform; this interface is the seam between those and the back end.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>

enum HOSTEVENTTYPE {
    HOSTEV_NONE = 0,
    HOSTEV_CLOSE,       // close box (or a forced end of the session): becomes WM_CLOSE
    HOSTEV_ACTIVATE,    // focus gained / lost, minimised / restored: becomes WM_ACTIVATE
    HOSTEV_KEYDOWN,     // a key press or auto-repeat: becomes WM_KEYDOWN (and WM_CHAR for characters)
    HOSTEV_KEYUP,       // becomes WM_KEYUP
    HOSTEV_MOVE,        // the client origin moved: becomes WM_MOVE
    HOSTEV_MOUSEMOVE,   // dialog window only: the pointer at x, y of its client area
    HOSTEV_LBUTTONDOWN, // dialog window only: the left button pressed at x, y
    HOSTEV_LBUTTONUP,   // dialog window only: the left button released at x, y
};

struct HOSTEVENT {
    HOSTEVENTTYPE type;
    int nVirtKey;      // KEYDOWN/KEYUP: Windows virtual-key code (VK_*)
    int nChar;         // KEYDOWN: the character it types (0 when none)
    int bRepeat;       // KEYDOWN: 1 for an auto-repeat
    int bAlt;          // KEYDOWN/KEYUP: 1 when Alt was held (the key becomes a system key)
    int bActive;       // ACTIVATE: 1 active, 0 inactive
    int bMinimized;    // ACTIVATE: 1 when minimised
    int x, y;          // MOVE: client origin in screen coordinates; mouse: client coordinates
};

// A rectangle of the host's output, in its pixels.
struct HOSTRECT {
    int x, y, w, h;
};

// Where a srcW x srcH picture goes in an outW x outH output: as large as fits with its aspect
// kept, centred, the bars on the two sides that are left over. Empty for empty sizes.
HOSTRECT FitKeepingAspect(int srcW, int srcH, int outW, int outH);

// One joystick as the host reads it: axes scaled to 0..65535 (centre 32768), bit k of the button
// word is button k + 1.
struct HOSTJOYSTATE {
    uint32_t dwX;
    uint32_t dwY;
    uint32_t dwButtons;
};

#define HOST_JOYSTICK_SLOTS 2

// What the audio device plays: the software mixer of the sound stand-in. Called on the device's
// own thread (sdl) or on whichever thread moves the clock (headless), never two at a time.
class IAudioSource {
public:
    virtual ~IAudioSource() = default;
    // nFrames frames of interleaved stereo, signed 16-bit, at the rate the device was opened with.
    virtual void MixAudio(int16_t* pOut, uint32_t nFrames) = 0;
};

// The most distinct error lines a run prints; a data set damaged all over would otherwise bury the
// terminal. The last line printed says that the rest are not.
#define HOST_ERROR_LINES_MAX 100

// The error lines a run has printed, so that each is printed once.
class CErrorLines {
public:
    // What to print for the line: the line the first time it comes, the closing notice when the
    // limit is reached, nothing (false) for a repeat or once the notice is out.
    bool Admit(const std::string& line, std::string* pShown);
    // False once the closing notice is out: from then on no line is printed, whatever it says.
    bool TakesLines();

private:
    std::mutex m_lock;
    std::unordered_set<std::string> m_seen;
    bool m_bFull = false;
};

class IHost {
public:
    virtual ~IHost() = default;

    // Window. The client area is clientW x clientH; full screen scales it with aspect kept.
    virtual bool CreateMainWindow(const char* pszTitleUtf8, const char* pszAppName, int clientW, int clientH,
                                  int x, int y, bool bFullScreen) = 0;
    virtual void ShowMainWindow() = 0;
    virtual void RaiseMainWindow() = 0;
    virtual void DestroyMainWindow() = 0;
    virtual bool HasMainWindow() const = 0;
    virtual void GetScreenSize(int* pW, int* pH) = 0;
    virtual void ShowCursor(bool bShow) = 0;

    // Events: PollEvent never blocks; WaitEvent blocks until an event or the timeout.
    virtual bool PollEvent(HOSTEVENT* pEvent) = 0;
    virtual void WaitEvent(uint32_t dwTimeoutMs) = 0;

    // Live keyboard state by virtual-key code (GetAsyncKeyState).
    virtual bool IsKeyDown(int nVirtKey) = 0;

    // Time: a monotonic millisecond clock (wraps at 2^32) and a sleep on the same clock.
    virtual uint32_t NowMs() = 0;
    virtual void SleepMs(uint32_t dwMs) = 0;

    // The frame as it stands on the primary surface (RGB565, pitch in bytes).
    virtual bool Present(const uint16_t* pPixels, int nPitchBytes, int w, int h) = 0;
    // The same, from the primary's own buffer, which a host may keep rather than copy: the owner
    // writes the buffer again only in the blit or fill that presents it next, and moves to a copy
    // of its own before any other write. By default the pixels are presented (copied) at once.
    virtual bool PresentBuffer(const std::shared_ptr<const uint8_t[]>& pBuffer, int nPitchBytes, int w, int h)
    {
        return Present(reinterpret_cast<const uint16_t*>(pBuffer.get()), nPitchBytes, w, h);
    }

    // A message box with only an OK button (text and title UTF-8). Its text also goes to stderr as
    // one line, "[title] text" (headless: unless quiet, and it never blocks).
    virtual void MessageBox(const char* pszTextUtf8, const char* pszTitleUtf8) = 0;

    // The frame loop calls this once at the start of every tick it runs (the headless back end
    // applies its per-tick script here).
    virtual void FrameTick() = 0;

    // Full screen on or off after creation (DirectDraw's exclusive mode asks for it).
    virtual void SetFullScreen(bool bFullScreen) { (void)bFullScreen; }

    // A modal dialog's own small window beside the main one, one at a time: its client area
    // clientW x clientH at (x, y) on the screen. Its input comes through PollDialogEvent (mouse in
    // client coordinates, keys, the close box); the main window's events wait meanwhile. False
    // when the host cannot show one.
    virtual bool OpenDialogWindow(const char* pszTitleUtf8, int clientW, int clientH, int x, int y) {
        (void)pszTitleUtf8;
        (void)clientW;
        (void)clientH;
        (void)x;
        (void)y;
        return false;
    }
    // The dialog's client area as it is now (RGB565).
    virtual bool PresentDialog(const uint16_t* pPixels, int nPitchBytes, int w, int h) {
        (void)pPixels;
        (void)nPitchBytes;
        (void)w;
        (void)h;
        return false;
    }
    // Never blocks; false with nothing waiting.
    virtual bool PollDialogEvent(HOSTEVENT* pEvent) {
        (void)pEvent;
        return false;
    }
    virtual void CloseDialogWindow() {}

    // A line of OutputDebugStringA; dropped unless the host keeps it.
    virtual void DebugOutput(const char* pszText) { (void)pszText; }

    // A line for the user about data the program refused or found damaged (UTF-8, no line end).
    // Each distinct line goes once in the host's life (one run) to ErrorOutput, in the window build
    // as in the headless one; any thread may report.
    void ReportError(const char* pszTextUtf8);
    // Whether a line reported now could still be printed: a reporter may spare itself the work of
    // making one that would be dropped.
    bool TakesErrors() { return m_ErrorLines.TakesLines(); }
    // Where the lines go: stderr, where a Linux user reads a program's complaints.
    virtual void ErrorOutput(const char* pszTextUtf8);

    // Audio: one stereo 16-bit output at nRate frames per second that pulls from the source until
    // CloseAudio. False when there is no audio device (a host without audio has none).
    virtual bool OpenAudio(int nRate, IAudioSource* pSource) {
        (void)nRate;
        (void)pSource;
        return false;
    }
    virtual void CloseAudio() {}

    // Joysticks: up to HOST_JOYSTICK_SLOTS, a device keeps its slot while it stays plugged in and a
    // device plugged in later takes the lowest free slot. False when the slot holds no device.
    virtual bool HasJoystickSupport() { return false; }
    virtual bool GetJoystick(int nSlot, HOSTJOYSTATE* pState) {
        (void)nSlot;
        (void)pState;
        return false;
    }

private:
    CErrorLines m_ErrorLines;
};

// The process-wide host. The program's entry sets it before anything else runs.
IHost* GetHost();
void SetHost(IHost* pHost);
