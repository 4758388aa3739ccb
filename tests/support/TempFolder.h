// A fresh folder that is the current directory for the life of the object (the file layer resolves
// names against the current directory), removed again afterwards.
#pragma once
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

// A template "<temporary folder>/<stem>-XXXXXX" for mkstemp or mkdtemp; the temporary folder is
// TMPDIR's when set, so a run can check that its tests leave nothing behind.
inline std::string TempTemplate(const char* pszStem)
{
    return (std::filesystem::temp_directory_path() / (std::string(pszStem) + "-XXXXXX")).string();
}

class CTempFolder {
public:
    CTempFolder()
    {
        static std::atomic<int> s_nCount{0};
        m_Old = std::filesystem::current_path();
        m_Path = std::filesystem::temp_directory_path() /
                 ("zorva-test-" + std::to_string(::getpid()) + "-" + std::to_string(s_nCount++));
        std::filesystem::remove_all(m_Path);
        std::filesystem::create_directories(m_Path);
        std::filesystem::current_path(m_Path);
    }
    ~CTempFolder()
    {
        std::error_code ec;
        std::filesystem::current_path(m_Old, ec);
        std::filesystem::remove_all(m_Path, ec);
    }
    const std::filesystem::path& Path() const { return m_Path; }

    // Writes a file below the folder (relative path with '/'), making its folders. Bytes is any
    // string or vector of bytes, the game's own included.
    template <class Bytes>
        requires requires(const Bytes& b) { b.data(), b.size(); }
    static void Put(std::string_view rel, const Bytes& bytes)
    {
        static_assert(sizeof(*bytes.data()) == 1, "Put writes bytes");
        std::filesystem::path p(rel);
        if (p.has_parent_path())
            std::filesystem::create_directories(p.parent_path());
        std::ofstream f(p, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
    }
    static void Put(std::string_view rel, const char* pszText) { Put(rel, std::string_view(pszText)); }
    // Bytes is the vector handed back: the standard one, or the game's own.
    template <class Bytes = std::vector<uint8_t>>
    static Bytes Get(std::string_view rel)
    {
        std::ifstream f(std::string(rel), std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_Old;
    std::filesystem::path m_Path;
};

// Reproducible test bytes: text-like (compressible) or noise, in the standard vector or the game's.
template <class Bytes = std::vector<uint8_t>>
Bytes MakeBytes(size_t n, uint32_t nSeed, bool bCompressible)
{
    static const char* const kWords[] = {"#STAGE ", "enemy ", "bullet ", "12, ", "3.5, ", "\r\n", "Zorva ", "//"};
    Bytes v;
    v.reserve(n + 8);
    uint32_t x = nSeed * 2654435761u + 1;
    while (v.size() < n) {
        x = x * 1103515245u + 12345u;
        if (!bCompressible) {
            v.push_back((uint8_t)(x >> 16));
            continue;
        }
        for (const char* p = kWords[(x >> 16) % 8]; *p && v.size() < n; p++)
            v.push_back((uint8_t)*p);
    }
    return v;
}
