// A software device with the frame clock at zero, for the cut-scene player and its message window,
// and the pieces of a cut-scene folder written by the test: the script and flat pictures.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/AppTimer.h"
#include "engine/Input.h"
#include "scene/Opening.h"
#include "support/DeviceFixture.h"
#include "support/TempFolder.h"

// A w x h 24-bit bitmap in one colour (0xRRGGBB), with a pure-green border of the given width.
inline std::vector<uint8_t> MakeFlatBmp(int w, int h, uint32_t dwColor, int nKeyBorder = 0)
{
    const int nRow = (w * 3 + 3) & ~3;
    const uint32_t nSize = 54 + static_cast<uint32_t>(nRow * h);
    std::vector<uint8_t> v(nSize, 0);
    auto put = [&](size_t at, uint32_t x, int n) {
        for (int i = 0; i < n; i++) {
            v[at + i] = static_cast<uint8_t>(x >> (8 * i));
        }
    };
    v[0] = 'B';
    v[1] = 'M';
    put(2, nSize, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(w), 4);
    put(22, static_cast<uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            const bool bKey = x < nKeyBorder || y < nKeyBorder || x >= w - nKeyBorder || y >= h - nKeyBorder;
            const uint32_t c = bKey ? 0x00FF00 : dwColor;
            put(54 + static_cast<size_t>((h - 1 - y) * nRow + x * 3), c, 3);
        }
    }
    return v;
}

// The RGB565 value of 0xRRGGBB, truncated as every conversion of the game truncates.
inline WORD To565(uint32_t dwColor)
{
    return static_cast<WORD>(((dwColor >> 19) & 0x1F) << 11 | ((dwColor >> 10) & 0x3F) << 5 | ((dwColor >> 3) & 0x1F));
}

class CCutSceneFixture : public CDeviceFixture {
protected:
    void SetUp() override
    {
        CDeviceFixture::SetUp();
        CAppTimer::ResetFrameClock();
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::ResetAll();
    }

    // Script.txt of .\Scene\ from the lines.
    static void WriteScript(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines) {
            text += line + "\r\n";
        }
        CTempFolder::Put("Scene/Script.txt", text);
    }
    static void WritePicture(const std::string& name, int w, int h, uint32_t dwColor, int nKeyBorder = 0)
    {
        CTempFolder::Put("Scene/" + name, MakeFlatBmp(w, h, dwColor, nKeyBorder));
    }

    // Update passes as the game runs them in the cut-scene states.
    static void Tick(COpening& player, int n = 1)
    {
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
            player.PollKeys();
            player.Update();
        }
    }
    // Ticks until the condition holds; the number of ticks that took, or -1 after nLimit.
    template <typename F> static int TickUntil(COpening& player, F&& done, int nLimit = 2000)
    {
        for (int i = 0; i < nLimit; i++) {
            if (done()) {
                return i;
            }
            Tick(player);
        }
        return done() ? nLimit : -1;
    }
};
