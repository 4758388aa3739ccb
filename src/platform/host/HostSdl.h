// The real host: an SDL2 window that shows the 640 x 480 frame, its events and the keyboard.
// Every call is made from the main thread (SDL's rule); a message box asked for on another
// thread goes to stderr instead.
#pragma once
#include <string>
#include <thread>

#include "platform/host/FrameScaler.h"
#include "platform/host/Host.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct _SDL_Joystick;

class CHostSdl : public IHost {
public:
    CHostSdl();
    ~CHostSdl() override;
    CHostSdl(const CHostSdl&) = delete;
    CHostSdl& operator=(const CHostSdl&) = delete;

    // Starts SDL video; false (with SDL's reason) when there is no display to use.
    bool Init(std::string* pError);

    bool CreateMainWindow(const char* pszTitleUtf8, const char* pszAppName, int clientW, int clientH, int x, int y,
                          bool bFullScreen) override;
    void ShowMainWindow() override;
    void RaiseMainWindow() override;
    void DestroyMainWindow() override;
    bool HasMainWindow() const override;
    void GetScreenSize(int* pW, int* pH) override;
    void ShowCursor(bool bShow) override;
    bool PollEvent(HOSTEVENT* pEvent) override;
    void WaitEvent(uint32_t dwTimeoutMs) override;
    bool IsKeyDown(int nVirtKey) override;
    uint32_t NowMs() override;
    void SleepMs(uint32_t dwMs) override;
    bool Present(const uint16_t* pPixels, int nPitchBytes, int w, int h) override;
    void MessageBox(const char* pszTextUtf8, const char* pszTitleUtf8) override;
    void FrameTick() override {}
    void SetFullScreen(bool bFullScreen) override;
    bool OpenDialogWindow(const char* pszTitleUtf8, int clientW, int clientH, int x, int y) override;
    bool PresentDialog(const uint16_t* pPixels, int nPitchBytes, int w, int h) override;
    bool PollDialogEvent(HOSTEVENT* pEvent) override;
    void CloseDialogWindow() override;
    void DebugOutput(const char* pszText) override;
    // The default output device, played from SDL's audio thread; SDL converts when the device
    // wants another format.
    bool OpenAudio(int nRate, IAudioSource* pSource) override;
    void CloseAudio() override;
    // How the main window's frames reach the screen, in a few words: the renderer's name, or the
    // window picture's layout when the frames are written into it.
    std::string DescribePresent() const;
    // Joysticks through SDL's joystick API (started on first use); devices plugged in or pulled
    // out while the program runs take or free their slot.
    bool HasJoystickSupport() override;
    bool GetJoystick(int nSlot, HOSTJOYSTATE* pState) override;

private:
    // Opens attached devices into free slots and closes slots whose device has gone.
    void RefreshJoysticks();
    void CloseJoysticks();

    // A window with its renderer and the streaming texture its frames go through, or, without a
    // renderer, the window's own picture that the frames are written into.
    struct VIEW {
        SDL_Window* pWindow = nullptr;
        SDL_Renderer* pRenderer = nullptr;
        SDL_Texture* pTexture = nullptr;
        int nTexW = 0, nTexH = 0;
        CFrameScaler scaler;
    };
    // How frames reach the screen: decided with the first window and kept for every later one.
    enum PRESENTWAY { PRESENT_UNKNOWN, PRESENT_RENDERER, PRESENT_SURFACE };
    bool OpenView(VIEW* pView, const char* pszTitleUtf8, int x, int y, int w, int h, uint32_t dwFlags);
    bool OpenRenderer(VIEW* pView);
    static void CloseView(VIEW* pView);
    // The frame scaled into the window's output with its aspect kept.
    static bool ShowFrame(VIEW* pView, const uint16_t* pPixels, int nPitchBytes, int w, int h);
    static bool ShowFrameOnSurface(VIEW* pView, const uint16_t* pPixels, int nPitchBytes, int w, int h);

    PRESENTWAY m_ePresent = PRESENT_UNKNOWN;
    bool m_bVideo = false;
    VIEW m_Main;
    VIEW m_Dialog;
    std::thread::id m_mainThread;
    uint32_t m_nAudioDevice = 0;
    bool m_bJoystick = false;
    _SDL_Joystick* m_pJoy[HOST_JOYSTICK_SLOTS] = {};
};

// The virtual-key code of an SDL key (SDL_Keycode), 0 when the game has no code for it.
int VirtKeyFromSdlKey(int nSdlKey);
