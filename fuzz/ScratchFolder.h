// A scratch folder for the targets whose readers open files by path: made once under the
// temporary folder (TMPDIR when set), made the current folder, and removed when the fuzzer exits.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace fuzzscratch {

inline std::string& Folder()
{
    static std::string s_strFolder;
    return s_strFolder;
}

inline void Remove()
{
    std::error_code ec;
    std::filesystem::current_path(std::filesystem::temp_directory_path(ec), ec);
    std::filesystem::remove_all(Folder(), ec);
}

} // namespace fuzzscratch

// True once the folder is the current one; aborts when it cannot be made.
inline bool EnterScratchFolder(const char* pszStem)
{
    std::string& strFolder = fuzzscratch::Folder();
    if (!strFolder.empty())
        return true;
    std::string strTemplate = (std::filesystem::temp_directory_path() / (std::string(pszStem) + "-XXXXXX")).string();
    if (!mkdtemp(strTemplate.data()) || chdir(strTemplate.c_str()) != 0)
        abort();
    strFolder = strTemplate;
    atexit(fuzzscratch::Remove);
    return true;
}

namespace fuzzscratch {

inline uint64_t HashStep(uint64_t nHash, uint64_t nValue)
{
    nHash = (nHash ^ nValue) * 0x100000001B3ull;
    return nHash ^ (nHash >> 32);
}

} // namespace fuzzscratch

// A number made from the input's bytes, for the targets that send only some inputs down a costly
// path: chosen by the bytes, the path a finding took is taken again when it is run alone.
// Eight bytes a step, as a step costs what a byte did under the comparison tracing; every byte
// reaches every bit of the result, so a mutation anywhere may change the path.
inline uint32_t InputHash(const uint8_t* pData, size_t nSize)
{
    uint64_t nHash = nSize;
    size_t i = 0;
    for (; i + 8 <= nSize; i += 8) {
        uint64_t nWord;
        memcpy(&nWord, pData + i, 8);
        nHash = fuzzscratch::HashStep(nHash, nWord);
    }
    for (; i < nSize; i++)
        nHash = fuzzscratch::HashStep(nHash, pData[i]);
    nHash ^= nHash >> 30;
    nHash *= 0xBF58476D1CE4E5B9ull;
    nHash ^= nHash >> 27;
    nHash *= 0x94D049BB133111EBull;
    nHash ^= nHash >> 31;
    return (uint32_t)nHash;
}

// Whether this input also goes through a real file. A file written for every input would cost
// more than the readers themselves (the file system flushes a rewritten file), so one input in
// 64 takes the path through the folder.
inline bool ThroughFile(const uint8_t* pData, size_t nSize)
{
    return InputHash(pData, nSize) % 64 == 0;
}
