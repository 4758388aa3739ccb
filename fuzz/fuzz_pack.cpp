// The pack reader: an arbitrary file standing in for a folder is searched and its entries read;
// a damaged pack gives a failure code, never a crash or a read outside what was allocated.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <unistd.h>

#include "ScratchFolder.h"
#include "pack/teskFile.h"

namespace {

volatile uint32_t g_nSink;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    EnterScratchFolder("fuzz_pack");
    FILE* fp = fopen("P.dat", "wb");
    if (!fp)
        return 0;
    fwrite(pData, 1, nSize, fp);
    fclose(fp);

    // Names: two fixed ones and the first record's name as the input spells it.
    std::string names[3] = {"a.txt", "Sub\\b.bin", ""};
    size_t nField = (nSize >= 8 && memcmp(pData, "teskpack", 8) == 0) ? 32 : 256;
    if (nSize > 12)
        names[2] = std::string((const char*)pData + 12, strnlen((const char*)pData + 12, std::min(nField, nSize - 12)));
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        std::string path = ".\\P\\" + name;
        CFile file(1);
        if (file.ReadWholeFile(path.c_str()) == FILE_OK) {
            uint32_t nSum = 0;
            for (uint32_t i = 0; i <= file.GetSize(); i++)   // the terminator too
                nSum += file.GetMemory()[i];
            g_nSink = nSum;
            char line[64];
            for (;;) {
                int nResult = file.ReadLine(line, sizeof(line));
                if (nResult != 0 && nResult != 2)
                    break;
            }
        }
        TESKPACKRECORD rec;
        file.LocateFile(path.c_str(), &rec);
    }
    return 0;
}
