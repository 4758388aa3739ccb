// A window without a graphics card shows the frame as the scaler writes it into the window's
// picture: the eight-pixel conversion, the rows copied where the scale repeats them and the
// columns found once per size must give, for every output pixel, the frame pixel the nearest-pixel
// rule picks, converted one pixel at a time, and black bars.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/host/FrameScaler.h"
#include "platform/host/Host.h"

namespace {

constexpr int kW = 640, kH = 480;

// Every 16-bit value appears in the frame.
std::vector<uint16_t> Frame()
{
    std::vector<uint16_t> frame(static_cast<size_t>(kW) * kH);
    for (size_t i = 0; i < frame.size(); i++) {
        frame[i] = static_cast<uint16_t>(i * 40503u);
    }
    return frame;
}

// Output pixel (x, y) by the definition; 0 in the bars.
uint32_t Expected(const std::vector<uint16_t>& frame, int outW, int outH, int x, int y, bool b565)
{
    const HOSTRECT fit = FitKeepingAspect(kW, kH, outW, outH);
    if (x < fit.x || x >= fit.x + fit.w || y < fit.y || y >= fit.y + fit.h) {
        return 0;
    }
    const int fx = static_cast<int>((2 * static_cast<int64_t>(x - fit.x) + 1) * kW / (2 * static_cast<int64_t>(fit.w)));
    const int fy = static_cast<int>((2 * static_cast<int64_t>(y - fit.y) + 1) * kH / (2 * static_cast<int64_t>(fit.h)));
    const uint16_t w = frame[static_cast<size_t>(fy) * kW + static_cast<size_t>(fx)];
    return b565 ? w : Xrgb8888Of565(w);
}

} // namespace

TEST(FrameScalerTest, EveryOutputPixelIsTheNearestFramePixelConvertedWithBlackBars)
{
    const std::vector<uint16_t> frame = Frame();
    // The window; desktops wide and tall; sizes with odd bars and remainders; smaller than the frame.
    const int sizes[][2] = {{640, 480}, {1920, 1080}, {1280, 1024}, {1366, 768}, {1001, 997}, {333, 250}, {7, 5}};
    CFrameScaler scaler;  // one for all, as a window keeps one through resizes
    for (const bool b565 : {false, true}) {
        for (const auto& size : sizes) {
            const int outW = size[0], outH = size[1];
            const int nPixel = b565 ? 2 : 4;
            // Rows padded, and filled with a colour the bars must replace.
            const int nPitch = outW * nPixel + 12;
            std::vector<uint8_t> out(static_cast<size_t>(nPitch) * outH, 0x5A);
            scaler.Draw(frame.data(), kW * 2, kW, kH, out.data(), nPitch, outW, outH,
                        b565 ? FRAMEOUT_RGB565 : FRAMEOUT_XRGB8888);
            size_t nWrong = 0;
            for (int y = 0; y < outH; y++) {
                for (int x = 0; x < outW; x++) {
                    uint32_t v = 0;
                    memcpy(&v, out.data() + static_cast<size_t>(y) * nPitch + static_cast<size_t>(x) * nPixel, nPixel);
                    nWrong += v != Expected(frame, outW, outH, x, y, b565);
                }
                // The padding is left alone.
                nWrong += out[static_cast<size_t>(y) * nPitch + static_cast<size_t>(outW) * nPixel] != 0x5A;
            }
            EXPECT_EQ(nWrong, 0u) << outW << "x" << outH << (b565 ? " RGB565" : " XRGB8888");
        }
    }
}

// The rounding rule, at the ends and where repeating the top bits would differ by one.
TEST(FrameScalerTest, ChannelsAreRoundedToNearest)
{
    EXPECT_EQ(Xrgb8888Of565(0x0000), 0xFF000000u);
    EXPECT_EQ(Xrgb8888Of565(0xFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(Xrgb8888Of565(3 << 11 | 11 << 5 | 24), 0xFF000000u | 25u << 16 | 45u << 8 | 197u);
    EXPECT_EQ(FrameOutKind(4, 0xFF0000, 0xFF00, 0xFF), FRAMEOUT_XRGB8888);
    EXPECT_EQ(FrameOutKind(2, 0xF800, 0x07E0, 0x1F), FRAMEOUT_RGB565);
    EXPECT_EQ(FrameOutKind(4, 0xFF, 0xFF00, 0xFF0000), FRAMEOUT_NONE);
    EXPECT_EQ(FrameOutKind(3, 0xFF0000, 0xFF00, 0xFF), FRAMEOUT_NONE);
}
