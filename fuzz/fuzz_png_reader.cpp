// The PNG reader used to check screenshots: arbitrary bytes decode or fail cleanly.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/Png565.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    std::string error;
    if (ReadPngRgb(data, size, &rgb, &w, &h, &error) && rgb.size() != static_cast<size_t>(w) * h * 3)
        __builtin_trap();
    return 0;
}
