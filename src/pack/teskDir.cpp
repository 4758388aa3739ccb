#include "pack/teskDir.h"

#include <cstdint>
#include <cstring>

#include "pack/teskFile.h"
#include "platform/win/File.h"
#include "platform/win/Win.h"
#include "rvm/rvm_stl.h"

namespace {

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

} // namespace

// Whether pattern[i..] and name[j..] match, filled from the ends backwards. Both sides may hold
// wildcards (names come from pack directories), so a plain backtracking search could take
// exponential time; the table keeps it to one step per pair of positions.
bool MatchWildcard(const char* pszPattern, const char* pszName)
{
    const size_t nP = strlen(pszPattern), nN = strlen(pszName);
    rvm::vector<uint8_t> match((nP + 1) * (nN + 1), 0);
    auto at = [&](size_t i, size_t j) -> uint8_t& { return match[i * (nN + 1) + j]; };
    for (size_t i = nP + 1; i-- > 0;) {
        for (size_t j = nN + 1; j-- > 0;) {
            char p = i < nP ? pszPattern[i] : 0;
            char n = j < nN ? pszName[j] : 0;
            bool b;
            if (!p && !n)
                b = true;
            else if (p == '*')
                b = at(i + 1, j) || (n && at(i, j + 1));
            else if (n == '*')
                b = at(i, j + 1) || (p && at(i + 1, j));
            else if (!p || !n)
                b = false;
            else
                b = (p == '?' || n == '?' || Lower(p) == Lower(n)) && at(i + 1, j + 1);
            at(i, j) = b ? 1 : 0;
        }
    }
    return at(0, 0) != 0;
}

CDir::CDir()
    : m_Pattern("*.*"), m_hFind(INVALID_HANDLE_VALUE), m_bRecurse(1), m_bListPacks(1), m_pChild(nullptr),
      m_bReturnFolders(0), m_bIsFolder(0), m_hPack(INVALID_HANDLE_VALUE), m_nPackLeft(0), m_nPackKind(0)
{
}

CDir::~CDir()
{
    Close();
}

void CDir::SetPattern(const char* pszPattern)
{
    Close();
    m_Pattern = pszPattern ? pszPattern : "*.*";
}

void CDir::SetPath(const char* pszFolder)
{
    m_Folder = pszFolder ? pszFolder : "";
    if (!m_Folder.empty() && (m_Folder.back() == '\\' || m_Folder.back() == '/'))
        m_Folder.pop_back();
}

void CDir::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    if (m_hPack != INVALID_HANDLE_VALUE)
        CloseHandle(m_hPack);
    m_hPack = INVALID_HANDLE_VALUE;
    m_nPackLeft = 0;
    delete m_pChild;
    m_pChild = nullptr;
}

bool CDir::FileExists(const char* pszPath)
{
    HANDLE h = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

// The next entry of the open pack that matches and is not also a real file; 1 when the pack has
// none left (it is then closed).
int CDir::NextPackEntry(rvm::string& path)
{
    const uint32_t nRecSize = m_nPackKind ? PACK_RECORD_LONG : PACK_RECORD_SHORT;
    const size_t nNameSize = m_nPackKind ? PACK_NAME_LONG : PACK_NAME_SHORT;
    uint8_t rec[PACK_RECORD_LONG];
    while (m_nPackLeft > 0) {
        m_nPackLeft--;
        DWORD nRead = 0;
        if (!ReadFile(m_hPack, rec, nRecSize, &nRead, nullptr) || nRead != nRecSize)
            break;
        rvm::string name(reinterpret_cast<const char*>(rec), strnlen(reinterpret_cast<const char*>(rec), nNameSize));
        if (m_nPackKind)
            m_PackNames.push_back(name);
        rvm::string full = m_PackPrefix + name;
        if (MatchWildcard(m_Pattern.c_str(), name.c_str()) && !FileExists(full.c_str())) {
            path = full;
            m_bIsFolder = 0;
            return 0;
        }
    }
    CloseHandle(m_hPack);
    m_hPack = INVALID_HANDLE_VALUE;
    m_nPackLeft = 0;
    return 1;
}

bool CDir::OpenPack(const rvm::string& path, const rvm::string& name)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    uint8_t header[PACK_HEADER_SIZE];
    DWORD nRead = 0;
    int nKind = -1;
    if (ReadFile(h, header, PACK_HEADER_SIZE, &nRead, nullptr) && nRead == PACK_HEADER_SIZE) {
        if (memcmp(header, PACK_MAGIC_EX, PACK_MAGIC_SIZE) == 0)
            nKind = 0;
        else if (memcmp(header, PACK_MAGIC_VOSTIL, PACK_MAGIC_SIZE) == 0)
            nKind = 1;
    }
    if (nKind < 0) {
        CloseHandle(h);
        return false;
    }
    m_hPack = h;
    m_nPackKind = nKind;
    m_nPackLeft = (uint32_t)header[8] | ((uint32_t)header[9] << 8) | ((uint32_t)header[10] << 16) |
                  ((uint32_t)header[11] << 24);
    m_PackPrefix = m_Folder + "\\" + name.substr(0, name.size() - 4) + "\\";
    return true;
}

int CDir::FindFile(rvm::string& path)
{
    for (;;) {
        if (m_pChild) {
            if (m_pChild->FindFile(path) == 0) {
                m_bIsFolder = m_pChild->IsFolder() ? 1 : 0;
                return 0;
            }
            delete m_pChild;
            m_pChild = nullptr;
        }
        if (m_hPack != INVALID_HANDLE_VALUE) {
            if (NextPackEntry(path) == 0)
                return 0;
            continue;
        }
        WIN32_FIND_DATAA fd;
        bool bFound;
        if (m_hFind == INVALID_HANDLE_VALUE) {
            m_hFind = FindFirstFileA((m_Folder + "\\*.*").c_str(), &fd);
            bFound = m_hFind != INVALID_HANDLE_VALUE;
        } else {
            bFound = FindNextFileA(m_hFind, &fd) != 0;
        }
        if (!bFound) {
            Close();
            return 1;
        }
        rvm::string name = fd.cFileName;
        bool bFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // "." and ".." are no entries of the listing.
        if (name == "." || name == "..")
            continue;
        if (bFolder && !m_bReturnFolders) {
            if (m_bRecurse) {
                m_pChild = new CDir;
                m_pChild->m_bRecurse = m_bRecurse;
                m_pChild->m_bListPacks = m_bListPacks;
                m_pChild->m_Pattern = m_Pattern;
                m_pChild->SetPath((m_Folder + "\\" + name).c_str());
            }
            continue;
        }
        rvm::string full = m_Folder + "\\" + name;
        if (m_bListPacks && m_bRecurse && MatchWildcard("*.dat", name.c_str()) && OpenPack(full, name))
            continue;
        if (MatchWildcard(m_Pattern.c_str(), name.c_str())) {
            path = full;
            m_bIsFolder = bFolder ? 1 : 0;
            return 0;
        }
    }
}
