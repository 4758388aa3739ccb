// The 16-bit frame written straight into a window's own picture, for a host with no graphics card
// to scale and convert it: converted once per present (Xrgb8888Of565), scaled to the output with its aspect kept
// (FitKeepingAspect; nearest pixel, the column of output pixel i of the picture's n being
// floor((2i + 1) * w / 2n), as a stretched copy samples), the bars black. Plain memory: no window
// is needed to call it.
#pragma once
#include <cstdint>
#include <vector>

enum FRAMEOUTKIND {
    FRAMEOUT_NONE = 0,  // a layout the scaler does not write
    FRAMEOUT_XRGB8888,  // 32 bits, red in bits 16..23; the top byte is written as 0xFF
    FRAMEOUT_RGB565,    // the frame's own layout
};

// The kind of an output of these bytes per pixel and channel masks.
FRAMEOUTKIND FrameOutKind(int nBytesPerPixel, uint32_t dwRMask, uint32_t dwGMask, uint32_t dwBMask);

// An RGB565 pixel as XRGB8888, as a graphics card shows a 16-bit texture: each channel scaled to
// 0..255 and rounded to nearest (v * 255 / 31 is (v * 527 + 23) >> 6 for every 5-bit v, and
// v * 255 / 63 is (v * 259 + 33) >> 6 for every 6-bit v), the top byte 0xFF.
inline uint32_t Xrgb8888Of565(uint16_t w)
{
    const uint32_t r = (w >> 11) & 0x1F, g = (w >> 5) & 0x3F, b = w & 0x1F;
    return 0xFF000000u | ((r * 527 + 23) >> 6) << 16 | ((g * 259 + 33) >> 6) << 8 | ((b * 527 + 23) >> 6);
}

class CFrameScaler {
public:
    // The w x h frame (pitch in bytes) into an outW x outH output of the kind at pOut.
    void Draw(const uint16_t* pFrame, int nFramePitch, int w, int h, uint8_t* pOut, int nOutPitch, int outW, int outH,
              FRAMEOUTKIND eKind);

private:
    void TakeSizes(int w, int h, int fitW, int fitH, FRAMEOUTKIND eKind);

    // For the sizes last drawn: the frame's column of each column of the picture, and one frame
    // row converted, kept so that a present allocates nothing.
    int m_nW = 0, m_nH = 0, m_nFitW = 0, m_nFitH = 0;
    FRAMEOUTKIND m_eKind = FRAMEOUT_NONE;
    std::vector<int> m_cols;
    std::vector<uint32_t> m_row;
};
