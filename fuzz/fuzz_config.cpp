// The settings reader on arbitrary bytes: whatever it reads must be in range, and writing it and
// reading that back must give the same settings.
#include <cstdint>
#include <cstdlib>

#include "engine/Config.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CConfig config;
    int nFound = config.ReadText(reinterpret_cast<const char*>(pData), nSize);
    if (nFound < 0 || nFound > CONFIG_SETTINGS) abort();
    if (config.GetFps() != 60 && config.GetFps() != 30) abort();
    if (config.GetVolume() < 0 || config.GetVolume() > 100 || config.GetVolume() % 10 != 0) abort();
    for (int k = 0; k < CONFIG_ACTIONS; ++k)
        if (__builtin_popcount(config.GetButtonMask(k)) != 1) abort();

    rvm::string text;
    for (const rvm::string& line : config.MakeLines()) text += ToCrLf(line.c_str());
    CConfig again;
    // What the game writes holds every setting, so it is never reported as damaged.
    if (again.ReadText(text.data(), text.size()) != CONFIG_SETTINGS) abort();
    if (again.GetFps() != config.GetFps() || again.GetVolume() != config.GetVolume()) abort();
    for (int k = 0; k < CONFIG_ACTIONS; ++k)
        if (again.GetButtonMask(k) != config.GetButtonMask(k)) abort();
    return 0;
}
