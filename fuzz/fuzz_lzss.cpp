// LZSS: arbitrary streams decode into exactly the asked size or fail, never reading past the input
// or writing past the output; whatever is encoded decodes back.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "pack/teskLZSS.h"
#include "rvm/rvm_stl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    static CTeskLZSS* s_pCodec = new CTeskLZSS;
    uint32_t nOut = ((uint32_t)pData[0] | ((uint32_t)pData[1] << 8)) * 4;
    // Plain vectors for the target's own blocks: under the sanitizers the game's containers fill
    // and empty a block of bytes one checked byte at a time, which cost three quarters of a run.
    std::vector<uint8_t> out(nOut);
    // The input is copied to its own block so any read beyond it is caught.
    std::vector<uint8_t> in(pData + 2, pData + nSize);
    s_pCodec->Decode(in.data(), (uint32_t)in.size(), out.data(), nOut);

    rvm::vector<uint8_t> packed;
    uint32_t nPacked = 0;
    if (s_pCodec->Encode(in.data(), (uint32_t)in.size(), &packed, &nPacked) == 0) {
        std::vector<uint8_t> back(in.size());
        if (s_pCodec->Decode(packed.data(), nPacked, back.data(), (uint32_t)back.size()) != LZSS_OK ||
            back != in)
            __builtin_trap();
    }
    return 0;
}
