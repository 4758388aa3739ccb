// The software device and the sound output of a start-up, for the targets whose readers hand what
// they read on to surfaces and sound buffers: made once, on a headless host, in the target's
// scratch folder (start-up writes its device report to the current folder). The device and the
// host live as long as the process.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "engine/BmpIndex.h"
#include "engine/EnumDriver.h"
#include "engine/Sound.h"
#include "engine/WinMain.h"
#include "pack/teskFile.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"

namespace fuzzdevice {

inline LRESULT WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

inline CHostHeadless* UseHost()
{
    static CHostHeadless* s_pHost = [] {
        CHostHeadless* pHost = new CHostHeadless;
        pHost->SetQuiet(true);
        SetHost(pHost);
        return pHost;
    }();
    return s_pHost;
}

inline void PutLE(std::vector<uint8_t>& out, uint32_t nValue, int nBytes)
{
    for (int i = 0; i < nBytes; i++)
        out.push_back((uint8_t)(nValue >> (8 * i)));
}

} // namespace fuzzdevice

// Lets go, when an input ends, of the debug lines the host kept for it. Kept, they would grow with
// every refused input, and libFuzzer takes an input that leaves more blocks than it frees for a
// leak: it runs the leak check after each one, which cost more than the input itself, and stops
// checking for leaks at all after a thousand.
struct FuzzInputScope {
    FuzzInputScope() = default;
    FuzzInputScope(const FuzzInputScope&) = delete;
    FuzzInputScope& operator=(const FuzzInputScope&) = delete;
    ~FuzzInputScope() { fuzzdevice::UseHost()->ClearDebugLines(); }
};

// The device (g_lpDD and g_lpD3DDevice as start-up leaves them); aborts when it cannot be made.
inline IDirect3DDevice7* FuzzDevice(const char* pszStem)
{
    static IDirect3DDevice7* s_lpDevice = [pszStem] {
        EnterScratchFolder(pszStem);
        fuzzdevice::UseHost();
        ResetWindowSystem();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = fuzzdevice::WndProc;
        wc.lpszClassName = "ZorvaFuzz";
        RegisterClassA(&wc);
        HWND hWnd = CreateWindowExA(0, "ZorvaFuzz", "fuzz", WS_CAPTION, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                                    nullptr);
        if (!hWnd || InitDirectDraw(nullptr, hWnd, 0) != 1 || InitDirect3D(hWnd) != 1)
            abort();
        return g_lpD3DDevice;
    }();
    return s_lpDevice;
}

// The sound layer started as the game starts it (g_lpDS); aborts when it cannot be.
inline void StartFuzzSound()
{
    static const bool s_bOn = [] {
        fuzzdevice::UseHost();
        return InitSound(nullptr) == 1;
    }();
    if (!s_bOn)
        abort();
}

// A 24-bit bitmap of the size as the generator writes its pictures: colour bands with cells of the
// key green, so keyed copies have something to leave out.
inline std::vector<uint8_t> MakeFuzzPicture(int nWidth, int nHeight)
{
    const uint32_t nRow = ((uint32_t)nWidth * 3 + 3) & ~3u;
    std::vector<uint8_t> bmp = {'B', 'M'};
    fuzzdevice::PutLE(bmp, 54 + nRow * (uint32_t)nHeight, 4);
    fuzzdevice::PutLE(bmp, 0, 4);
    fuzzdevice::PutLE(bmp, 54, 4);
    fuzzdevice::PutLE(bmp, 40, 4);
    fuzzdevice::PutLE(bmp, (uint32_t)nWidth, 4);
    fuzzdevice::PutLE(bmp, (uint32_t)nHeight, 4);
    fuzzdevice::PutLE(bmp, 1, 2);
    fuzzdevice::PutLE(bmp, 24, 2);
    for (int i = 0; i < 6; i++)
        fuzzdevice::PutLE(bmp, 0, 4);
    for (int y = 0; y < nHeight; y++) {
        for (int x = 0; x < nWidth; x++) {
            const bool bKey = ((x / 8) + (y / 8)) % 5 == 0;
            bmp.push_back(bKey ? 0 : (uint8_t)(x * 4));
            bmp.push_back(bKey ? 255 : (uint8_t)(y * 4));
            bmp.push_back(bKey ? 0 : (uint8_t)(x + y));
        }
        bmp.resize(bmp.size() + (nRow - (uint32_t)nWidth * 3));
    }
    return bmp;
}

inline bool WriteFuzzFile(const std::string& strPath, const std::vector<uint8_t>& bytes)
{
    FILE* fp = fopen(strPath.c_str(), "wb");
    if (!fp)
        return false;
    const bool bOk = fwrite(bytes.data(), 1, bytes.size(), fp) == bytes.size();
    return fclose(fp) == 0 && bOk;
}

// The memory name of the sheet regions are cut from, 128 pixels a side: a region costs little to
// cut, and regions reaching further are refused, as regions off a sheet are. A target loads it
// once and keeps it (an index forgets only its regions between inputs): decoding it for every
// input cost more than all the input's own work, and an input cannot change it.
inline const char* FuzzSheetName()
{
    static std::vector<uint8_t> s_Sheet = MakeFuzzPicture(128, 128);
    static const std::string s_strName = [] {
        char szName[64];
        if (!RegisterMemoryName(s_Sheet.data(), (uint32_t)s_Sheet.size(), szName, sizeof(szName)))
            abort();
        return std::string(szName);
    }();
    return s_strName.c_str();
}

// The index with that sheet loaded, once.
inline void LoadFuzzSheet(IDirect3DDevice7* lpDevice, CBmpIndex& index)
{
    if (!index.GetSheet() && !index.LoadImage(lpDevice, "", FuzzSheetName()))
        abort();
}
