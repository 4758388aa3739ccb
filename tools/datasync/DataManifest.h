// What the generator last wrote into a data folder: per file its path, size and hash, and a version
// (a hash of the whole generated set). It lives beside GameData/, never inside: the game does not
// read it. Text, one record a line:
//   zorva-gamedata-manifest 1
//   version <16 hex digits>
//   file <16 hex digits> <size> <path below GameData, '/' between folders>
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

struct MANIFESTFILE {
    uint64_t nHash;
    uint64_t nSize;

    bool operator==(const MANIFESTFILE& o) const { return nHash == o.nHash && nSize == o.nSize; }
};

// FNV-1a, 64 bits: the same on every host, and enough to tell an edit from the generator's bytes.
uint64_t HashBytes(const uint8_t* p, size_t n, uint64_t nHash = 0xCBF29CE484222325ull);

// A path below GameData that stays there: relative, '/' between non-empty names, no "." or "..".
bool IsSafeDataPath(const std::string& rel);

class CDataManifest {
public:
    // False with a reason on any line that is not a record above, or on an unsafe path.
    bool Decode(const std::string& text, std::string* pError);
    std::string Encode() const;

    const MANIFESTFILE* Find(const std::string& rel) const;
    void Set(const std::string& rel, const MANIFESTFILE& file) { m_Files[rel] = file; }

    const std::map<std::string, MANIFESTFILE>& Files() const { return m_Files; }
    bool HasVersion() const { return m_bHasVersion; }
    uint64_t Version() const { return m_nVersion; }
    void SetVersion(uint64_t nVersion);

private:
    std::map<std::string, MANIFESTFILE> m_Files;  // sorted, so the text is the same every run
    uint64_t m_nVersion = 0;
    bool m_bHasVersion = false;
};
