#include "DataManifest.h"

#include <cinttypes>
#include <cstdio>
#include <sstream>

namespace {

const char kMagicLine[] = "zorva-gamedata-manifest 1";

bool ReadHex64(const std::string& text, uint64_t* pOut)
{
    if (text.size() != 16)
        return false;
    uint64_t n = 0;
    for (char c : text) {
        int nDigit;
        if (c >= '0' && c <= '9')
            nDigit = c - '0';
        else if (c >= 'a' && c <= 'f')
            nDigit = c - 'a' + 10;
        else
            return false;
        n = n << 4 | (uint64_t)nDigit;
    }
    *pOut = n;
    return true;
}

bool ReadSize(const std::string& text, uint64_t* pOut)
{
    if (text.empty() || text.size() > 15)
        return false;
    uint64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (uint64_t)(c - '0');
    }
    *pOut = n;
    return true;
}

std::string Hex64(uint64_t n)
{
    char sz[17];
    snprintf(sz, sizeof(sz), "%016" PRIx64, n);
    return sz;
}

// The next word up to a space; false at the end of the line.
bool NextWord(const std::string& line, size_t* pPos, std::string* pWord)
{
    const size_t nEnd = line.find(' ', *pPos);
    if (nEnd == std::string::npos)
        return false;
    *pWord = line.substr(*pPos, nEnd - *pPos);
    *pPos = nEnd + 1;
    return true;
}

bool DecodeFileLine(const std::string& line, std::string* pRel, MANIFESTFILE* pFile)
{
    size_t nPos = 5;  // after "file "
    std::string hash, size;
    if (!NextWord(line, &nPos, &hash) || !NextWord(line, &nPos, &size))
        return false;
    *pRel = line.substr(nPos);
    return ReadHex64(hash, &pFile->nHash) && ReadSize(size, &pFile->nSize) && IsSafeDataPath(*pRel);
}

} // namespace

uint64_t HashBytes(const uint8_t* p, size_t n, uint64_t nHash)
{
    for (size_t i = 0; i < n; i++) {
        nHash ^= p[i];
        nHash *= 0x100000001B3ull;
    }
    return nHash;
}

bool IsSafeDataPath(const std::string& rel)
{
    if (rel.empty() || rel.back() == '/')
        return false;
    size_t nStart = 0;
    while (nStart <= rel.size()) {
        size_t nEnd = rel.find('/', nStart);
        if (nEnd == std::string::npos)
            nEnd = rel.size();
        const std::string name = rel.substr(nStart, nEnd - nStart);
        if (name.empty() || name == "." || name == "..")
            return false;
        nStart = nEnd + 1;
    }
    for (char c : rel) {
        if (c == '\\' || c == '\n' || c == '\r' || c == '\0')
            return false;
    }
    return true;
}

const MANIFESTFILE* CDataManifest::Find(const std::string& rel) const
{
    auto it = m_Files.find(rel);
    return it == m_Files.end() ? nullptr : &it->second;
}

void CDataManifest::SetVersion(uint64_t nVersion)
{
    m_nVersion = nVersion;
    m_bHasVersion = true;
}

bool CDataManifest::Decode(const std::string& text, std::string* pError)
{
    m_Files.clear();
    m_bHasVersion = false;
    std::istringstream in(text);
    std::string line;
    int nLine = 0;
    while (std::getline(in, line)) {
        nLine++;
        bool bGood;
        if (nLine == 1) {
            bGood = line == kMagicLine;
        } else if (line.rfind("version ", 0) == 0 && !m_bHasVersion) {
            bGood = ReadHex64(line.substr(8), &m_nVersion);
            m_bHasVersion = bGood;
        } else if (line.rfind("file ", 0) == 0) {
            std::string rel;
            MANIFESTFILE file;
            bGood = DecodeFileLine(line, &rel, &file) && !m_Files.count(rel);
            if (bGood)
                m_Files[rel] = file;
        } else {
            bGood = false;
        }
        if (!bGood) {
            if (pError)
                *pError = "line " + std::to_string(nLine) + " is not a manifest record";
            m_Files.clear();
            m_bHasVersion = false;
            return false;
        }
    }
    if (nLine == 0) {
        if (pError)
            *pError = "empty";
        return false;
    }
    return true;
}

std::string CDataManifest::Encode() const
{
    std::string text = std::string(kMagicLine) + "\n";
    if (m_bHasVersion)
        text += "version " + Hex64(m_nVersion) + "\n";
    for (const auto& [rel, file] : m_Files)
        text += "file " + Hex64(file.nHash) + " " + std::to_string(file.nSize) + " " + rel + "\n";
    return text;
}
