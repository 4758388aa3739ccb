#include "platform/host/HostSdl.h"

#include <SDL.h>
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <string>

#include "platform/host/Clock.h"
#include "platform/host/VirtKey.h"
#include "platform/win/Win.h"

namespace {

struct SdlKey {
    SDL_Keycode key;
    int nVirtKey;
};

// Both Shift, Ctrl and Alt keys report the generic code, as key messages do.
const SdlKey kSdlKeys[] = {
    {SDLK_BACKSPACE, VK_BACK}, {SDLK_TAB, VK_TAB},       {SDLK_RETURN, VK_RETURN},  {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_LSHIFT, VK_SHIFT},   {SDLK_RSHIFT, VK_SHIFT},  {SDLK_LCTRL, VK_CONTROL},  {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},      {SDLK_RALT, VK_MENU},     {SDLK_PAUSE, VK_PAUSE},    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},    {SDLK_PAGEUP, VK_PRIOR},  {SDLK_PAGEDOWN, VK_NEXT},  {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},      {SDLK_LEFT, VK_LEFT},     {SDLK_UP, VK_UP},          {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},      {SDLK_INSERT, VK_INSERT}, {SDLK_DELETE, VK_DELETE},  {SDLK_LGUI, VK_LWIN},
    {SDLK_RGUI, VK_RWIN},
};

// The keys whose state answers a query for a virtual-key code.
int ScancodesOf(int nVirtKey, SDL_Scancode codes[2]) {
    switch (nVirtKey) {
    case VK_SHIFT: codes[0] = SDL_SCANCODE_LSHIFT; codes[1] = SDL_SCANCODE_RSHIFT; return 2;
    case VK_CONTROL: codes[0] = SDL_SCANCODE_LCTRL; codes[1] = SDL_SCANCODE_RCTRL; return 2;
    case VK_MENU: codes[0] = SDL_SCANCODE_LALT; codes[1] = SDL_SCANCODE_RALT; return 2;
    case VK_LSHIFT: codes[0] = SDL_SCANCODE_LSHIFT; return 1;
    case VK_RSHIFT: codes[0] = SDL_SCANCODE_RSHIFT; return 1;
    case VK_LCONTROL: codes[0] = SDL_SCANCODE_LCTRL; return 1;
    case VK_RCONTROL: codes[0] = SDL_SCANCODE_RCTRL; return 1;
    case VK_LMENU: codes[0] = SDL_SCANCODE_LALT; return 1;
    case VK_RMENU: codes[0] = SDL_SCANCODE_RALT; return 1;
    case VK_RETURN: codes[0] = SDL_SCANCODE_RETURN; codes[1] = SDL_SCANCODE_KP_ENTER; return 2;
    default: break;
    }
    SDL_Keycode key = SDLK_UNKNOWN;
    if ((nVirtKey >= 'A' && nVirtKey <= 'Z')) key = nVirtKey - 'A' + 'a';
    if (nVirtKey >= '0' && nVirtKey <= '9') key = nVirtKey;
    if (nVirtKey >= VK_F1 && nVirtKey <= VK_F12) key = SDLK_F1 + (nVirtKey - VK_F1);
    if (nVirtKey >= VK_NUMPAD0 && nVirtKey <= VK_NUMPAD9) key = nVirtKey == VK_NUMPAD0 ? SDLK_KP_0 : SDLK_KP_1 + (nVirtKey - VK_NUMPAD0 - 1);
    for (const SdlKey& k : kSdlKeys)
        if (k.nVirtKey == nVirtKey && key == SDLK_UNKNOWN) key = k.key;
    if (key == SDLK_UNKNOWN) return 0;
    codes[0] = SDL_GetScancodeFromKey(key);
    return codes[0] == SDL_SCANCODE_UNKNOWN ? 0 : 1;
}

void SDLCALL PullAudio(void* pUser, Uint8* pStream, int nLen) {
    static_cast<IAudioSource*>(pUser)->MixAudio(reinterpret_cast<int16_t*>(pStream), static_cast<uint32_t>(nLen) / 4u);
}

bool TranslateWindowEvent(const SDL_WindowEvent& we, HOSTEVENT* pEvent) {
    pEvent->type = HOSTEV_ACTIVATE;
    switch (we.event) {
    case SDL_WINDOWEVENT_CLOSE: pEvent->type = HOSTEV_CLOSE; return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_RESTORED: pEvent->bActive = 1; return true;
    case SDL_WINDOWEVENT_FOCUS_LOST: return true;
    case SDL_WINDOWEVENT_MINIMIZED: pEvent->bMinimized = 1; return true;
    case SDL_WINDOWEVENT_MOVED:
        pEvent->type = HOSTEV_MOVE;
        pEvent->x = we.data1;
        pEvent->y = we.data2;
        return true;
    default: return false;
    }
}

bool TranslateKeyEvent(const SDL_KeyboardEvent& ke, HOSTEVENT* pEvent) {
    pEvent->nVirtKey = VirtKeyFromSdlKey(ke.keysym.sym);
    if (pEvent->nVirtKey == 0) return false;
    pEvent->bAlt = (ke.keysym.mod & KMOD_ALT) != 0 ? 1 : 0;
    if (ke.type == SDL_KEYUP) {
        pEvent->type = HOSTEV_KEYUP;
        return true;
    }
    pEvent->type = HOSTEV_KEYDOWN;
    pEvent->bRepeat = ke.repeat ? 1 : 0;
    pEvent->nChar = VirtKeyToChar(pEvent->nVirtKey, (ke.keysym.mod & KMOD_SHIFT) != 0);
    return true;
}

// Whether the machine has a graphics card for a renderer to use: the kernel's device nodes of one
// (the DRM nodes every open driver makes, or those of NVIDIA's own driver).
bool HasGraphicsDevice() {
    DIR* pDir = opendir("/dev/dri");
    bool bAny = false;
    if (pDir) {
        while (const dirent* pEnt = readdir(pDir)) bAny = bAny || pEnt->d_name[0] != '.';
        closedir(pDir);
    }
    return bAny || access("/dev/nvidiactl", F_OK) == 0;
}

// Whether a GL renderer string names a driver that rasterises with the processor.
bool IsSoftwareRasteriser(const char* pszRenderer) {
    std::string strName(pszRenderer);
    for (char& c : strName) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    for (const char* pszSoft : {"llvmpipe", "softpipe", "swrast", "software"})
        if (strName.find(pszSoft) != std::string::npos) return true;
    return false;
}

}  // namespace

int VirtKeyFromSdlKey(int nSdlKey) {
    if (nSdlKey >= 'a' && nSdlKey <= 'z') return nSdlKey - 'a' + 'A';
    if (nSdlKey >= '0' && nSdlKey <= '9') return nSdlKey;
    if (nSdlKey >= SDLK_F1 && nSdlKey <= SDLK_F12) return VK_F1 + (nSdlKey - SDLK_F1);
    if (nSdlKey == SDLK_KP_0) return VK_NUMPAD0;
    if (nSdlKey >= SDLK_KP_1 && nSdlKey <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (nSdlKey - SDLK_KP_1);
    for (const SdlKey& k : kSdlKeys)
        if (k.key == nSdlKey) return k.nVirtKey;
    return 0;
}

CHostSdl::CHostSdl() : m_mainThread(std::this_thread::get_id()) {}

CHostSdl::~CHostSdl() {
    CloseJoysticks();
    CloseAudio();
    CloseDialogWindow();
    DestroyMainWindow();
    if (m_bVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool CHostSdl::Init(std::string* pError) {
    // The desktop files the window by this class name.
    // SDL's X11 driver takes the window class from its environment when video starts.
    SDL_SetHint(SDL_HINT_APP_NAME, "Zorva");
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", "Zorva", 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        if (pError) *pError = SDL_GetError();
        return false;
    }
    // Without a display SDL settles on a driver that shows nothing; that is no display for us
    // unless someone asked for it by name.
    const char* pszDriver = SDL_GetCurrentVideoDriver();
    const char* pszWanted = getenv("SDL_VIDEODRIVER");
    bool bInvisible = pszDriver && (strcmp(pszDriver, "offscreen") == 0 || strcmp(pszDriver, "dummy") == 0);
    if (bInvisible && !(pszWanted && strcmp(pszWanted, pszDriver) == 0)) {
        if (pError) *pError = std::string("no display (SDL video driver \"") + pszDriver + "\")";
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    m_bVideo = true;
    return true;
}

bool CHostSdl::OpenView(VIEW* pView, const char* pszTitleUtf8, int x, int y, int w, int h, uint32_t dwFlags) {
    pView->pWindow = SDL_CreateWindow(pszTitleUtf8 ? pszTitleUtf8 : "", x, y, w, h, dwFlags);
    if (!pView->pWindow) return false;
    if (m_ePresent != PRESENT_SURFACE && OpenRenderer(pView)) {
        m_ePresent = PRESENT_RENDERER;
        return true;
    }
    // Without a renderer worth its cost the frames go into the window's own picture, which must
    // then be plain memory shown as it is, not a texture of a renderer made behind our back.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const SDL_Surface* pSurface = SDL_GetWindowSurface(pView->pWindow);
    if (pSurface && FrameOutKind(pSurface->format->BytesPerPixel, pSurface->format->Rmask, pSurface->format->Gmask,
                                 pSurface->format->Bmask) != FRAMEOUT_NONE) {
        m_ePresent = PRESENT_SURFACE;
        return true;
    }
    // A picture of a layout of its own: SDL's software renderer converts into it.
    pView->pRenderer = SDL_CreateRenderer(pView->pWindow, -1, SDL_RENDERER_SOFTWARE);
    if (!pView->pRenderer) {
        CloseView(pView);
        return false;
    }
    return true;
}

// An accelerated renderer, unless it would draw with the processor (a GL driver that rasterises
// in software, on a machine without a graphics card): there it costs the whole process several
// times what the frame itself does, with a thread for every core and a code generator, where
// writing the frame into the window's picture costs a conversion.
bool CHostSdl::OpenRenderer(VIEW* pView) {
    // Without a card every GL driver draws in software: not even loaded, as it would leave its
    // threads and code behind however soon it was dropped.
    if (!HasGraphicsDevice()) return false;
    pView->pRenderer = SDL_CreateRenderer(pView->pWindow, -1, SDL_RENDERER_ACCELERATED);
    if (!pView->pRenderer) return false;
    SDL_RendererInfo info{};
    const bool bGl = SDL_GetRendererInfo(pView->pRenderer, &info) == 0 && info.name &&
                     strncmp(info.name, "opengl", 6) == 0 && SDL_GL_GetCurrentContext();
    using GETSTRING = const unsigned char* (*)(unsigned int);
    const unsigned int kGlRenderer = 0x1F01;
    const GETSTRING pGetString = bGl ? reinterpret_cast<GETSTRING>(SDL_GL_GetProcAddress("glGetString")) : nullptr;
    const char* pszName = pGetString ? reinterpret_cast<const char*>(pGetString(kGlRenderer)) : nullptr;
    if (!pszName || !IsSoftwareRasteriser(pszName)) return true;
    SDL_DestroyRenderer(pView->pRenderer);
    pView->pRenderer = nullptr;
    return false;
}

void CHostSdl::CloseView(VIEW* pView) {
    if (pView->pTexture) SDL_DestroyTexture(pView->pTexture);
    if (pView->pRenderer) SDL_DestroyRenderer(pView->pRenderer);
    if (pView->pWindow) SDL_DestroyWindow(pView->pWindow);
    pView->pWindow = nullptr;
    pView->pRenderer = nullptr;
    pView->pTexture = nullptr;
    pView->nTexW = pView->nTexH = 0;
}

bool CHostSdl::ShowFrameOnSurface(VIEW* pView, const uint16_t* pPixels, int nPitchBytes, int w, int h) {
    SDL_Surface* pSurface = SDL_GetWindowSurface(pView->pWindow);
    if (!pSurface) return false;
    const SDL_PixelFormat& f = *pSurface->format;
    const FRAMEOUTKIND eKind = FrameOutKind(f.BytesPerPixel, f.Rmask, f.Gmask, f.Bmask);
    if (eKind == FRAMEOUT_NONE || (SDL_MUSTLOCK(pSurface) && SDL_LockSurface(pSurface) != 0)) return false;
    pView->scaler.Draw(pPixels, nPitchBytes, w, h, static_cast<uint8_t*>(pSurface->pixels), pSurface->pitch,
                       pSurface->w, pSurface->h, eKind);
    if (SDL_MUSTLOCK(pSurface)) SDL_UnlockSurface(pSurface);
    return SDL_UpdateWindowSurface(pView->pWindow) == 0;
}

bool CHostSdl::ShowFrame(VIEW* pView, const uint16_t* pPixels, int nPitchBytes, int w, int h) {
    if (!pView->pWindow || !pPixels || w <= 0 || h <= 0) return false;
    if (!pView->pRenderer) return ShowFrameOnSurface(pView, pPixels, nPitchBytes, w, h);
    if (!pView->pTexture || pView->nTexW != w || pView->nTexH != h) {
        if (pView->pTexture) SDL_DestroyTexture(pView->pTexture);
        pView->pTexture =
            SDL_CreateTexture(pView->pRenderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, w, h);
        if (!pView->pTexture) return false;
        pView->nTexW = w;
        pView->nTexH = h;
    }
    if (SDL_UpdateTexture(pView->pTexture, nullptr, pPixels, nPitchBytes) != 0) return false;
    int nOutW = w, nOutH = h;
    if (SDL_GetRendererOutputSize(pView->pRenderer, &nOutW, &nOutH) != 0) {
        nOutW = w;
        nOutH = h;
    }
    // Full screen: the desktop's size, the picture in the middle with black bars.
    const HOSTRECT fit = FitKeepingAspect(w, h, nOutW, nOutH);
    const SDL_Rect dst{fit.x, fit.y, fit.w, fit.h};
    SDL_SetRenderDrawColor(pView->pRenderer, 0, 0, 0, 255);
    SDL_RenderClear(pView->pRenderer);
    SDL_RenderCopy(pView->pRenderer, pView->pTexture, nullptr, &dst);
    SDL_RenderPresent(pView->pRenderer);
    return true;
}

std::string CHostSdl::DescribePresent() const {
    if (!m_Main.pWindow) return "no window";
    SDL_RendererInfo info{};
    if (m_Main.pRenderer && SDL_GetRendererInfo(m_Main.pRenderer, &info) == 0)
        return std::string("renderer \"") + (info.name ? info.name : "") + "\"";
    const SDL_Surface* pSurface = SDL_GetWindowSurface(m_Main.pWindow);
    return std::string("the window's picture, ") + (pSurface ? SDL_GetPixelFormatName(pSurface->format->format) : "none");
}

bool CHostSdl::CreateMainWindow(const char* pszTitleUtf8, const char* pszAppName, int clientW, int clientH, int x,
                                int y, bool bFullScreen) {
    if (!m_bVideo || m_Main.pWindow) return false;
    if (pszAppName && *pszAppName) {
        SDL_SetHint(SDL_HINT_APP_NAME, pszAppName);
    }
    Uint32 flags = SDL_WINDOW_HIDDEN | (bFullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    return OpenView(&m_Main, pszTitleUtf8, x, y, clientW, clientH, flags);
}

void CHostSdl::ShowMainWindow() {
    if (m_Main.pWindow) SDL_ShowWindow(m_Main.pWindow);
}

void CHostSdl::RaiseMainWindow() {
    if (!m_Main.pWindow) return;
    SDL_ShowWindow(m_Main.pWindow);
    SDL_RestoreWindow(m_Main.pWindow);
    SDL_RaiseWindow(m_Main.pWindow);
}

void CHostSdl::DestroyMainWindow() { CloseView(&m_Main); }

bool CHostSdl::HasMainWindow() const { return m_Main.pWindow != nullptr; }

void CHostSdl::GetScreenSize(int* pW, int* pH) {
    SDL_DisplayMode mode{};
    int nDisplay = m_Main.pWindow ? SDL_GetWindowDisplayIndex(m_Main.pWindow) : 0;
    if (!m_bVideo || SDL_GetDesktopDisplayMode(nDisplay < 0 ? 0 : nDisplay, &mode) != 0) {
        mode.w = 640;
        mode.h = 480;
    }
    if (pW) *pW = mode.w;
    if (pH) *pH = mode.h;
}

void CHostSdl::ShowCursor(bool bShow) {
    if (m_bVideo) SDL_ShowCursor(bShow ? SDL_ENABLE : SDL_DISABLE);
}

bool CHostSdl::PollEvent(HOSTEVENT* pEvent) {
    if (!m_bVideo) return false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        *pEvent = HOSTEVENT{};
        if (e.type == SDL_QUIT) {
            pEvent->type = HOSTEV_CLOSE;
            return true;
        }
        if (e.type == SDL_WINDOWEVENT && TranslateWindowEvent(e.window, pEvent)) return true;
        if ((e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) && TranslateKeyEvent(e.key, pEvent)) return true;
        if (e.type == SDL_JOYDEVICEADDED || e.type == SDL_JOYDEVICEREMOVED) RefreshJoysticks();
    }
    return false;
}

void CHostSdl::WaitEvent(uint32_t dwTimeoutMs) {
    if (!m_bVideo) {
        SleepRealMs(dwTimeoutMs);
        return;
    }
    int nTimeout = dwTimeoutMs > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(dwTimeoutMs);
    SDL_WaitEventTimeout(nullptr, nTimeout);
}

bool CHostSdl::IsKeyDown(int nVirtKey) {
    if (!m_bVideo) return false;
    SDL_Scancode codes[2];
    int n = ScancodesOf(nVirtKey, codes);
    const Uint8* pState = SDL_GetKeyboardState(nullptr);
    for (int i = 0; i < n; ++i)
        if (pState[codes[i]]) return true;
    return false;
}

uint32_t CHostSdl::NowMs() { return MonotonicMs(); }

void CHostSdl::SleepMs(uint32_t dwMs) { SleepRealMs(dwMs); }

bool CHostSdl::Present(const uint16_t* pPixels, int nPitchBytes, int w, int h) {
    return ShowFrame(&m_Main, pPixels, nPitchBytes, w, h);
}

void CHostSdl::MessageBox(const char* pszTextUtf8, const char* pszTitleUtf8) {
    const char* pszText = pszTextUtf8 ? pszTextUtf8 : "";
    const char* pszTitle = pszTitleUtf8 ? pszTitleUtf8 : "";
    // On stderr as well, first: a terminal that started the game sees why it waits or ends.
    fprintf(stderr, "[%s] %s\n", pszTitle, pszText);
    if (std::this_thread::get_id() == m_mainThread)
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, pszTitle, pszText, m_Main.pWindow);
}

void CHostSdl::SetFullScreen(bool bFullScreen) {
    if (!m_Main.pWindow) return;
    SDL_SetWindowFullscreen(m_Main.pWindow, bFullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    // Keeping the keyboard is the nearest we have to swallowing Alt+Tab and the Windows keys.
    SDL_SetWindowKeyboardGrab(m_Main.pWindow, bFullScreen ? SDL_TRUE : SDL_FALSE);
    if (bFullScreen) SDL_ShowWindow(m_Main.pWindow);
}

bool CHostSdl::OpenDialogWindow(const char* pszTitleUtf8, int clientW, int clientH, int x, int y) {
    if (!m_bVideo || m_Dialog.pWindow || clientW <= 0 || clientH <= 0) return false;
    if (!OpenView(&m_Dialog, pszTitleUtf8, x, y, clientW, clientH, SDL_WINDOW_ALWAYS_ON_TOP)) return false;
    SDL_RaiseWindow(m_Dialog.pWindow);
    return true;
}

bool CHostSdl::PresentDialog(const uint16_t* pPixels, int nPitchBytes, int w, int h) {
    return ShowFrame(&m_Dialog, pPixels, nPitchBytes, w, h);
}

bool CHostSdl::PollDialogEvent(HOSTEVENT* pEvent) {
    if (!m_Dialog.pWindow) return false;
    const Uint32 nDialogId = SDL_GetWindowID(m_Dialog.pWindow);
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        *pEvent = HOSTEVENT{};
        switch (e.type) {
        case SDL_QUIT:
            pEvent->type = HOSTEV_CLOSE;
            return true;
        case SDL_WINDOWEVENT:
            if (e.window.windowID == nDialogId && e.window.event == SDL_WINDOWEVENT_CLOSE) {
                pEvent->type = HOSTEV_CLOSE;
                return true;
            }
            break;
        case SDL_MOUSEMOTION:
            if (e.motion.windowID != nDialogId) break;
            pEvent->type = HOSTEV_MOUSEMOVE;
            pEvent->x = e.motion.x;
            pEvent->y = e.motion.y;
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.windowID != nDialogId || e.button.button != SDL_BUTTON_LEFT) break;
            pEvent->type = e.type == SDL_MOUSEBUTTONDOWN ? HOSTEV_LBUTTONDOWN : HOSTEV_LBUTTONUP;
            pEvent->x = e.button.x;
            pEvent->y = e.button.y;
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (e.key.windowID == nDialogId && TranslateKeyEvent(e.key, pEvent)) return true;
            break;
        default:
            break;
        }
    }
    return false;
}

void CHostSdl::CloseDialogWindow() { CloseView(&m_Dialog); }

// As on a machine with no debugger attached, debug output goes nowhere: the game reads no
// environment, so there is no switch to turn it on.
void CHostSdl::DebugOutput(const char*) {}

bool CHostSdl::OpenAudio(int nRate, IAudioSource* pSource) {
    if (m_nAudioDevice != 0 || !pSource || nRate <= 0) return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = nRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;  // about 23 ms: the cursors move in steps of this
    want.callback = PullAudio;
    want.userdata = pSource;
    SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (dev == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    m_nAudioDevice = dev;
    SDL_PauseAudioDevice(dev, 0);
    return true;
}

void CHostSdl::CloseAudio() {
    if (m_nAudioDevice == 0) return;
    SDL_CloseAudioDevice(m_nAudioDevice);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_nAudioDevice = 0;
}

bool CHostSdl::HasJoystickSupport() {
    if (!m_bJoystick) {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
        m_bJoystick = true;
    }
    RefreshJoysticks();
    return true;
}

void CHostSdl::RefreshJoysticks() {
    if (!m_bJoystick) return;
    for (SDL_Joystick*& pJoy : m_pJoy) {
        if (pJoy && !SDL_JoystickGetAttached(pJoy)) {
            SDL_JoystickClose(pJoy);
            pJoy = nullptr;
        }
    }
    int nDevices = SDL_NumJoysticks();
    for (int i = 0; i < nDevices; ++i) {
        SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        bool bOpen = false;
        for (SDL_Joystick* pJoy : m_pJoy)
            if (pJoy && SDL_JoystickInstanceID(pJoy) == id) bOpen = true;
        if (bOpen) continue;
        for (SDL_Joystick*& pJoy : m_pJoy) {
            if (pJoy) continue;
            pJoy = SDL_JoystickOpen(i);
            break;
        }
    }
}

void CHostSdl::CloseJoysticks() {
    for (SDL_Joystick*& pJoy : m_pJoy) {
        if (pJoy) SDL_JoystickClose(pJoy);
        pJoy = nullptr;
    }
    if (m_bJoystick) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    m_bJoystick = false;
}

bool CHostSdl::GetJoystick(int nSlot, HOSTJOYSTATE* pState) {
    if (!m_bJoystick || nSlot < 0 || nSlot >= HOST_JOYSTICK_SLOTS) return false;
    SDL_Joystick* pJoy = m_pJoy[nSlot];
    if (!pJoy || !SDL_JoystickGetAttached(pJoy)) return false;
    if (!m_bVideo) SDL_JoystickUpdate();  // without the event loop nobody else pumps the devices
    HOSTJOYSTATE state{32768, 32768, 0};
    // SDL's axes run -32768..32767; the driver's range is 0..65535.
    if (SDL_JoystickNumAxes(pJoy) > 0) state.dwX = static_cast<uint32_t>(SDL_JoystickGetAxis(pJoy, 0) + 32768);
    if (SDL_JoystickNumAxes(pJoy) > 1) state.dwY = static_cast<uint32_t>(SDL_JoystickGetAxis(pJoy, 1) + 32768);
    int nButtons = SDL_JoystickNumButtons(pJoy);
    for (int b = 0; b < nButtons && b < 32; ++b)
        if (SDL_JoystickGetButton(pJoy, b)) state.dwButtons |= 1u << b;
    if (pState) *pState = state;
    return true;
}
