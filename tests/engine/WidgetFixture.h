// A software device with the frame clock running from zero, and small pictures made in code, for
// the display widgets' tests.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/AppTimer.h"
#include "engine/SurfaceUtil.h"
#include "support/DeviceFixture.h"

class CWidgetFixture : public CDeviceFixture {
protected:
    void SetUp() override
    {
        CDeviceFixture::SetUp();
        CAppTimer::ResetFrameClock();
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        // Earlier tests may have left timers paused.
        for (int i = 0; i < CAppTimer::TIMER_COUNT; i++) {
            CAppTimer::Resume(i);
        }
        CAppTimer::ResetAll();
    }
    void TearDown() override
    {
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CDeviceFixture::TearDown();
    }

    // One tick of frame time.
    static void Tick(int n = 1)
    {
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
        }
    }

    // A w x h picture in one colour (system memory, not keyed); the caller releases it.
    static IDirectDrawSurface7* MakePicture(int w, int h, WORD wColor)
    {
        IDirectDrawSurface7* lp = CreateDevicePlaneSurface(g_lpD3DDevice, w, h, MEM_SYSTEM);
        FillRect(lp, 0, 0, w, h, wColor);
        return lp;
    }

    static void FillRect(IDirectDrawSurface7* lp, int x, int y, int w, int h, WORD wColor)
    {
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = wColor;
        RECT rc = {x, y, x + w, y + h};
        lp->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    // A w x h 24-bit bitmap file in one colour (0xRRGGBB), with an optional rectangle in another.
    static bool WriteBmp(const char* pszPath, int w, int h, uint32_t dwColor, const RECT* prc = nullptr,
                         uint32_t dwRectColor = 0)
    {
        const int nRow = (w * 3 + 3) & ~3;
        std::vector<uint8_t> file(54 + (size_t)nRow * h, 0);
        auto put32 = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; i++) {
                file[at + i] = (uint8_t)(v >> (8 * i));
            }
        };
        file[0] = 'B';
        file[1] = 'M';
        put32(2, (uint32_t)file.size());
        put32(10, 54);
        put32(14, 40);
        put32(18, (uint32_t)w);
        put32(22, (uint32_t)h);
        file[26] = 1;
        file[28] = 24;
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                const bool bIn = prc && x >= prc->left && x < prc->right && y >= prc->top && y < prc->bottom;
                const uint32_t c = bIn ? dwRectColor : dwColor;
                uint8_t* p = &file[54 + (size_t)(h - 1 - y) * nRow + (size_t)x * 3];
                p[0] = (uint8_t)c;
                p[1] = (uint8_t)(c >> 8);
                p[2] = (uint8_t)(c >> 16);
            }
        }
        FILE* fp = fopen(pszPath, "wb");
        if (!fp) {
            return false;
        }
        const bool bOk = fwrite(file.data(), 1, file.size(), fp) == file.size();
        fclose(fp);
        return bOk;
    }

    // Counts the back-buffer pixels of one colour in the rectangle.
    int CountBack(int x0, int y0, int x1, int y1, WORD wColor)
    {
        int n = 0;
        for (int y = y0; y < y1; y++) {
            for (int x = x0; x < x1; x++) {
                n += BackPixel(x, y) == wColor ? 1 : 0;
            }
        }
        return n;
    }
};
