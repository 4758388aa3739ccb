// The headless host's input script: any text parses or is refused with a line number.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/HostScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<HOSTSCRIPTCMD> cmds;
    std::string error;
    bool ok = ParseHostScript(text.c_str(), &cmds, &error);
    // A refusal names its line and keeps nothing; a success carries no error.
    if (ok && !error.empty()) __builtin_trap();
    if (!ok && (!cmds.empty() || error.compare(0, 5, "line ") != 0)) __builtin_trap();
    return 0;
}
