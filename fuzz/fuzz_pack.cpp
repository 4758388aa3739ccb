// The pack reader: arbitrary bytes as a pack are searched and their entries read; a damaged pack
// gives a failure code, never a crash or a read outside what was allocated. The bytes are read
// from memory, and some inputs also through a real file standing in for a folder, so that the
// search of the folders runs too.
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

void ReadEntry(CFile& file)
{
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

bool WritePackFile(const uint8_t* pData, size_t nSize)
{
    EnterScratchFolder("fuzz_pack");
    FILE* fp = fopen("P.dat", "wb");
    if (!fp)
        return false;
    const bool bOk = fwrite(pData, 1, nSize, fp) == nSize;
    return fclose(fp) == 0 && bOk;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > UINT32_MAX)
        return 0;
    const bool bThroughFile = ThroughFile(pData, nSize) && WritePackFile(pData, nSize);

    // Names: two fixed ones and the first record's name as the input spells it.
    std::string names[3] = {"a.txt", "Sub\\b.bin", ""};
    size_t nField = (nSize >= 8 && memcmp(pData, "teskpack", 8) == 0) ? 32 : 256;
    if (nSize > 12)
        names[2] = std::string((const char*)pData + 12, strnlen((const char*)pData + 12, std::min(nField, nSize - 12)));
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        CFile file(0);
        TESKPACKRECORD rec;
        if (file.ReadPackImage(pData, (uint32_t)nSize, name.c_str(), false, nullptr) == FILE_OK)
            ReadEntry(file);
        file.ReadPackImage(pData, (uint32_t)nSize, name.c_str(), true, &rec);
        if (!bThroughFile)
            continue;
        std::string path = ".\\P\\" + name;
        CFile real(1);
        if (real.ReadWholeFile(path.c_str()) == FILE_OK)
            ReadEntry(real);
        real.LocateFile(path.c_str(), &rec);
    }
    return 0;
}
