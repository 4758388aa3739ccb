#include "pack/teskFile.h"

#include <cstdarg>
#include <cstring>
#include <mutex>
#include <new>

#include "pack/smart_array.h"
#include "pack/teskLZSS.h"
#include "platform/win/File.h"
#include "platform/win/Win.h"
#include "rvm/rvm_stl.h"

namespace {

const uint8_t kScrambleKey = 0x5A;
// No LZSS stream expands more than 144 bytes per 17 stored ones; a record claiming more is damaged.
const uint32_t kMaxExpansion = 9;

std::mutex g_FolderLock;
rvm::vector<rvm::string> g_SearchFolders;
rvm::string g_BaseFolder;

struct MEMRANGE {
    const void* pData;
    uint32_t nSize;
};
std::mutex g_MemLock;
rvm::map<uint32_t, MEMRANGE> g_MemNames;
uint32_t g_nNextToken = 1;

// To the debugger output; the text is returned for the user when a pack is damaged.
rvm::string PackMessage(const char* pszFormat, ...)
{
    char szText[512];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szText, sizeof(szText), pszFormat, args);
    va_end(args);
    OutputDebugStringA(szText);
    return szText;
}

uint32_t ReadLE32(const uint8_t* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

rvm::string CurrentFolder()
{
    char szDir[4096];
    DWORD n = GetCurrentDirectoryA(sizeof(szDir), szDir);
    rvm::string dir = (n > 0 && n < sizeof(szDir)) ? rvm::string(szDir) : rvm::string(".");
    for (char& c : dir)
        if (c == '/')
            c = '\\';
    if (dir.empty() || dir.back() != '\\')
        dir += '\\';
    return dir;
}

void ResetFolders()
{
    std::lock_guard<std::mutex> lock(g_FolderLock);
    g_SearchFolders.clear();
    g_SearchFolders.push_back(".\\");
    g_SearchFolders.push_back("./Ending");
    g_BaseFolder = CurrentFolder();
}

rvm::string BaseFolder()
{
    std::lock_guard<std::mutex> lock(g_FolderLock);
    if (g_BaseFolder.empty())
        g_BaseFolder = CurrentFolder();
    return g_BaseFolder;
}

// A pack as the game's other data errors name their files: below the folder the game runs in,
// with forward slashes.
rvm::string ShownPackName(const rvm::string& packPath)
{
    const rvm::string base = BaseFolder();
    rvm::string name = packPath.compare(0, base.size(), base) == 0 ? packPath.substr(base.size()) : packPath;
    if (name.compare(0, 2, ".\\") == 0)
        name.erase(0, 2);
    for (char& c : name)
        if (c == '\\')
            c = '/';
    return name;
}

// "WARNING : pack <the pack> <what is wrong>", to the debug output and to the user.
void ReportPackFault(const rvm::string& packPath, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
void ReportPackFault(const rvm::string& packPath, const char* pszFormat, ...)
{
    char szWhat[448];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szWhat, sizeof(szWhat), pszFormat, args);
    va_end(args);
    ReportToUser(PackMessage("WARNING : pack %s%s\n", ShownPackName(packPath).c_str(), szWhat).c_str());
}

rvm::vector<rvm::string> SearchFolders()
{
    std::lock_guard<std::mutex> lock(g_FolderLock);
    return g_SearchFolders;
}

// Position just past the last separator ('\' or '/'), double-byte aware; 0 when there is none.
size_t AfterLastSeparator(const rvm::string& s)
{
    size_t nAfter = 0;
    for (size_t i = 0; i < s.size(); i++) {
        uint8_t c = (uint8_t)s[i];
        if (IsSjisLeadByte(c) && i + 1 < s.size()) {
            i++;
            continue;
        }
        if (c == '\\' || c == '/')
            nAfter = i + 1;
    }
    return nAfter;
}

bool StartsWith(const rvm::string& s, const char* pszPrefix)
{
    return s.compare(0, strlen(pszPrefix), pszPrefix) == 0;
}

class CHandleCloser {
public:
    explicit CHandleCloser(HANDLE h) : m_h(h) {}
    ~CHandleCloser()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
    }
    // Closes now; false when the close failed.
    bool Close()
    {
        HANDLE h = m_h;
        m_h = INVALID_HANDLE_VALUE;
        return h == INVALID_HANDLE_VALUE || CloseHandle(h);
    }

private:
    HANDLE m_h;
};

// The first line end in the nLook bytes at pText: how many bytes come before it, and its length,
// 2 for CR LF, 1 for a lone LF (data written on this host may end its lines that way), 0 when
// there is none. A lone CR is ordinary text. The first LF ends the line, as a CR LF before it
// would hold an LF too; memchr finds it, since a look at each byte in turn cost the readers of
// text files more than all else they do.
struct LINEEND {
    uint32_t nText;
    uint32_t nEnd;
};

LINEEND FindLineEnd(const uint8_t* pText, uint32_t nLook)
{
    const uint8_t* pLF = static_cast<const uint8_t*>(memchr(pText, '\n', nLook));
    if (!pLF)
        return LINEEND{nLook, 0};
    const uint32_t nText = (uint32_t)(pLF - pText);
    if (nText > 0 && pLF[-1] == '\r')
        return LINEEND{nText - 1, 2};
    return LINEEND{nText, 1};
}

bool ReadExact(HANDLE h, void* p, uint32_t n)
{
    DWORD nRead = 0;
    return ReadFile(h, p, n, &nRead, nullptr) && nRead == n;
}

} // namespace

rvm::string ToCrLf(const char* pszText)
{
    rvm::string out;
    for (const char* p = pszText; *p; p++) {
        if (*p == '\n')
            out += '\r';
        out += *p;
    }
    return out;
}

bool IsSjisLeadByte(uint8_t c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

rvm::string LowerSjis(const rvm::string& text)
{
    rvm::string out = text;
    for (size_t i = 0; i < out.size(); i++) {
        uint8_t c = (uint8_t)out[i];
        if (IsSjisLeadByte(c)) {
            i++;
            continue;
        }
        if (c >= 'A' && c <= 'Z')
            out[i] = (char)(c - 'A' + 'a');
    }
    return out;
}

uint8_t ScrambleByte(uint8_t b)
{
    return (uint8_t)(((b << 4) | (b >> 4)) ^ kScrambleKey);
}

uint8_t UnscrambleByte(uint8_t b)
{
    uint8_t x = (uint8_t)(b ^ kScrambleKey);
    return (uint8_t)((x << 4) | (x >> 4));
}

uint32_t RegisterMemoryName(const void* pData, uint32_t nSize, char* pszName, size_t nNameSize)
{
    if (!pData || !pszName || nNameSize == 0)
        return 0;
    std::lock_guard<std::mutex> lock(g_MemLock);
    uint32_t nToken = g_nNextToken++;
    if (g_nNextToken == 0)
        g_nNextToken = 1;
    g_MemNames[nToken] = MEMRANGE{pData, nSize};
    snprintf(pszName, nNameSize, "!%x,%x", nToken, nSize);
    return nToken;
}

void UnregisterMemoryName(uint32_t nToken)
{
    std::lock_guard<std::mutex> lock(g_MemLock);
    g_MemNames.erase(nToken);
}

bool IsMemoryName(const char* pszName)
{
    return pszName && pszName[0] == '!';
}

rvm::string CFile::ParentFolder(const rvm::string& folder)
{
    if (folder.size() <= 1)
        return folder;
    rvm::string body = folder;
    if (body.back() == '\\')
        body.pop_back();
    size_t nCut = AfterLastSeparator(body);
    if (nCut == 0)
        return folder;
    // A network path keeps its server part: "\\server\" has no parent.
    if (StartsWith(folder, "\\\\") && nCut <= 2)
        return folder;
    return body.substr(0, nCut);
}

rvm::string CFile::NormalizeName(const char* pszName)
{
    rvm::string name = pszName ? pszName : "";
    rvm::string result;
    // Network paths, drive paths and host absolute paths stand as they are.
    if (StartsWith(name, "\\\\") || name.find(':') != rvm::string::npos || StartsWith(name, "/")) {
        result = name;
    } else {
        rvm::string base = BaseFolder();
        size_t i = 0;
        for (;;) {
            const char* p = name.c_str() + i;
            if (p[0] == '.' && p[1] == '.' && (p[2] == '\\' || p[2] == '/')) {
                base = ParentFolder(base);
                i += 3;
            } else if (p[0] == '.' && (p[1] == '\\' || p[1] == '/')) {
                i += 2;
            } else if (p[0] == '\\' || p[0] == '/') {
                i += 1;
            } else {
                break;
            }
        }
        result = base + name.substr(i);
    }
    for (size_t i = 0; i < result.size(); i++) {
        if (IsSjisLeadByte((uint8_t)result[i])) {
            i++;
            continue;
        }
        if (result[i] == '/')
            result[i] = '\\';
    }
    return result;
}

CFile::CFile(int bResetFolders)
    : m_pStream(nullptr), m_bTextStream(0), m_pData(nullptr), m_nSize(0), m_nPos(0), m_bScrambled(0),
      m_bDeleteOnClose(0), m_bFromPack(0), m_bMemoryRange(0)
{
    if (bResetFolders)
        ResetFolders();
}

CFile::~CFile()
{
    Close();
    if (m_pStream)
        Close();
}

void CFile::ReleaseData()
{
    if (!m_bMemoryRange)
        delete[] m_pData;
    m_pData = nullptr;
    m_nSize = 0;
    m_nPos = 0;
    m_bFromPack = 0;
    m_bMemoryRange = 0;
    m_bScrambled = 0;
}

int CFile::Close()
{
    if (m_pStream) {
        int nResult = fclose(m_pStream);
        m_pStream = nullptr;
        m_bTextStream = 0;
        return nResult;
    }
    ReleaseData();
    if (m_bDeleteOnClose) {
        DeleteFileA(m_Name.c_str());
        m_bDeleteOnClose = 0;
    }
    return 0;
}

uint8_t* CFile::GetMemory()
{
    if (!m_pData)
        return nullptr;
    return m_bScrambled ? m_pData + SCRAMBLE_MARKER_SIZE : m_pData;
}

uint32_t CFile::GetSize()
{
    if (!m_pData)
        return 0;
    return m_bScrambled ? m_nSize - SCRAMBLE_MARKER_SIZE : m_nSize;
}

rvm::string CFile::GetFileName()
{
    return m_Name.substr(AfterLastSeparator(m_Name));
}

rvm::string CFile::GetExtension()
{
    rvm::string file = GetFileName();
    size_t nDot = rvm::string::npos;
    for (size_t i = 0; i < file.size(); i++) {
        if (IsSjisLeadByte((uint8_t)file[i])) {
            i++;
            continue;
        }
        if (file[i] == '.')
            nDot = i;
    }
    return nDot == rvm::string::npos ? rvm::string() : file.substr(nDot + 1);
}

int CFile::Open(const char* pszName, const char* pszMode)
{
    Close();
    if (m_pStream)
        Close();
    if (!pszName || !*pszName || !pszMode)
        return 1;
    bool bText = strchr(pszMode, 'b') == nullptr;
    rvm::vector<rvm::string> names(1, pszName);
    for (const rvm::string& folder : SearchFolders())
        names.push_back(folder + "/" + pszName);
    for (const rvm::string& name : names) {
        m_pStream = HostFOpen(NormalizeName(name.c_str()).c_str(), pszMode);
        if (m_pStream) {
            m_bTextStream = bText ? 1 : 0;
            return 0;
        }
    }
    return 1;
}

int CFile::Puts(const char* pszText)
{
    if (!m_pStream)
        return -1;
    rvm::string text = m_bTextStream ? ToCrLf(pszText ? pszText : "") : rvm::string(pszText ? pszText : "");
    if (fprintf(m_pStream, "%s", text.c_str()) < 0)
        return 1;
    return 0;
}

int CFile::Write(const char* pszName, const void* pData, uint32_t nSize)
{
    if (!pszName || !*pszName)
        return 1;
    rvm::string target = NormalizeName(pszName);
    DWORD dwAttr = GetFileAttributesA(target.c_str());
    if (dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED);  // as opening such a name for writing says
        return 1;
    }
    switch (ReplaceFileContents(target.c_str(), pData, nSize)) {
    case REPLACE_OK: return 0;
    case REPLACE_CANNOT_CREATE: return 1;
    case REPLACE_CANNOT_WRITE: return 2;
    default: return 3;
    }
}

int CFile::Save(const char* pszName)
{
    return Write(pszName, GetMemory(), GetSize());
}

int CFile::WriteLines(const char* pszName, const rvm::vector<rvm::string>& lines)
{
    rvm::string text;
    for (const rvm::string& line : lines)
        text += ToCrLf(line.c_str());
    int nResult = Write(pszName, text.data(), (uint32_t)text.size());
    return nResult == 0 ? 0 : (nResult == 1 ? 1 : 2);
}

int CFile::WriteVector(const char* pszName, const rvm::vector<uint8_t>& data)
{
    return Write(pszName, data.data(), (uint32_t)data.size());
}

int CFile::Delete(const char* pszName)
{
    if (!pszName || !*pszName)
        return -1;
    return DeleteFileA(NormalizeName(pszName).c_str()) ? 0 : 1;
}

// The whole-file read of the name, then of the name in each search folder until one succeeds; the
// code of the last attempt. A memory name is no path: the folders cannot change its answer.
int CFile::ReadWithRetry(const char* pszName, bool bLocateOnly, TESKPACKRECORD* pRecord)
{
    int nResult = ReadWhole(pszName, bLocateOnly, pRecord);
    if (nResult == FILE_OK || nResult == FILE_ERR_EMPTY_NAME || IsMemoryName(pszName))
        return nResult;
    for (const rvm::string& folder : SearchFolders()) {
        rvm::string name = folder + "/" + pszName;
        nResult = ReadWhole(name.c_str(), bLocateOnly, pRecord);
        if (nResult == FILE_OK)
            break;
    }
    return nResult;
}

int CFile::Read(const char* pszName)
{
    return ReadWithRetry(pszName, false, nullptr);
}

int CFile::LocateFile(const char* pszName, TESKPACKRECORD* pRecord)
{
    return ReadWithRetry(pszName, true, pRecord);
}

int CFile::ReadAll(const char* pszName, rvm::vector<uint8_t>& data)
{
    int nResult = Read(pszName);
    if (nResult == FILE_OK)
        data.assign(GetMemory(), GetMemory() + GetSize());
    return nResult;
}

int CFile::ReadWhole(const char* pszName, bool bLocateOnly, TESKPACKRECORD* pRecord)
{
    if (!pszName || !*pszName)
        return FILE_ERR_EMPTY_NAME;
    rvm::string name = pszName;
    Close();
    if (m_pStream)
        Close();
    m_Name = name;
    m_LocatedPath.clear();
    if (IsMemoryName(pszName))
        return ReadMemoryName(name.c_str());

    rvm::string path = NormalizeName(name.c_str());
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        m_LocatedPath = path;
        return ReadPlain(h, bLocateOnly);
    }
    return SearchPacks(path, bLocateOnly, pRecord);
}

int CFile::ReadMemoryName(const char* pszName)
{
    unsigned int nToken = 0, nSize = 0;
    if (sscanf(pszName, "!%x,%x", &nToken, &nSize) != 2)
        return FILE_ERR_MEMNAME;
    std::lock_guard<std::mutex> lock(g_MemLock);
    auto it = g_MemNames.find(nToken);
    if (it == g_MemNames.end() || nSize > it->second.nSize) {
        PackMessage("WARNING : memory name %s was not registered\n", pszName);
        return FILE_ERR_NOT_FOUND;
    }
    m_pData = static_cast<uint8_t*>(const_cast<void*>(it->second.pData));
    m_nSize = nSize;
    m_bMemoryRange = 1;
    m_nPos = 0;
    return FILE_OK;
}

int CFile::TakeBlock(uint32_t nSize)
{
    m_pData = new (std::nothrow) uint8_t[(size_t)nSize + 1];
    if (!m_pData)
        return FILE_ERR_ALLOC;
    m_pData[nSize] = 0;
    m_nSize = nSize;
    return FILE_OK;
}

void CFile::FinishRead()
{
    m_bScrambled = 0;
    if (m_nSize >= SCRAMBLE_MARKER_SIZE && memcmp(m_pData, SCRAMBLE_MARKER, SCRAMBLE_MARKER_SIZE) == 0) {
        m_bScrambled = 1;
        for (uint32_t i = SCRAMBLE_MARKER_SIZE; i < m_nSize; i++)
            m_pData[i] = UnscrambleByte(m_pData[i]);
    }
    m_nPos = 0;
}

int CFile::ReadPlain(void* hFile, bool bLocateOnly)
{
    CHandleCloser closer(hFile);
    DWORD nSize = GetFileSize(hFile, nullptr);
    if (nSize == INVALID_FILE_SIZE)
        return FILE_ERR_SIZE;
    if (bLocateOnly)
        return closer.Close() ? FILE_OK : FILE_ERR_CLOSE;
    if (TakeBlock(nSize) != FILE_OK)
        return FILE_ERR_ALLOC;
    if (!ReadExact(hFile, m_pData, nSize)) {
        ReleaseData();
        return FILE_ERR_READ;
    }
    if (!closer.Close()) {
        ReleaseData();
        return FILE_ERR_CLOSE;
    }
    FinishRead();
    return FILE_OK;
}

// Where an open pack's bytes come from: its file, or an image of it in memory.
struct PACKSOURCE {
    HANDLE hFile;
    const uint8_t* pImage;
    uint32_t nSize;
    uint32_t nPos;   // of the image; the file keeps its own
};

namespace {

bool ReadPack(PACKSOURCE& src, void* p, uint32_t n)
{
    if (!src.pImage)
        return ReadExact(src.hFile, p, n);
    if (n > src.nSize - src.nPos)
        return false;
    memcpy(p, src.pImage + src.nPos, n);
    src.nPos += n;
    return true;
}

bool SeekPack(PACKSOURCE& src, uint32_t nOffset)
{
    if (src.pImage) {
        src.nPos = nOffset <= src.nSize ? nOffset : src.nSize;
        return true;
    }
    LONG nHigh = 0;
    return SetFilePointer(src.hFile, (LONG)nOffset, &nHigh, FILE_BEGIN) != INVALID_SET_FILE_POINTER ||
           GetLastError() == ERROR_SUCCESS;
}

} // namespace

// Climbs from the file's own folder towards the root, so a pack beside the folder the game runs
// in stands for that folder too; the nearest pack holding the entry wins. A pack that does not
// open, has another magic or a damaged directory is passed over. The climb needs no bound: it
// works on the path's text, which gets shorter at every step, so no folder link can make it loop.
int CFile::SearchPacks(const rvm::string& path, bool bLocateOnly, TESKPACKRECORD* pRecord)
{
    size_t nCut = AfterLastSeparator(path);
    rvm::string folder = path.substr(0, nCut);
    while (!folder.empty()) {
        rvm::string entry = LowerSjis(path.substr(folder.size()));
        rvm::string packPath = folder.substr(0, folder.size() - 1) + ".dat";
        rvm::string current = folder;
        folder = ParentFolder(folder);
        if (folder == current)
            break;

        HANDLE h = CreateFileA(packPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        CHandleCloser closer(h);
        DWORD nPackSize = GetFileSize(h, nullptr);
        if (nPackSize == INVALID_FILE_SIZE)
            continue;
        PACKSOURCE src = {h, nullptr, nPackSize, 0};
        int nResult = SearchPack(src, packPath, entry, bLocateOnly, pRecord);
        if (nResult == FILE_ERR_NOT_FOUND)
            continue;
        if (nResult == FILE_OK && !closer.Close()) {
            ReleaseData();
            return FILE_ERR_CLOSE;
        }
        return nResult;
    }
    return FILE_ERR_NOT_FOUND;
}

int CFile::ReadPackImage(const void* pImage, uint32_t nSize, const char* pszEntry, bool bLocateOnly,
                         TESKPACKRECORD* pRecord)
{
    Close();
    if (m_pStream)
        Close();
    m_Name = pszEntry ? pszEntry : "";
    m_LocatedPath.clear();
    if (!pImage)
        return FILE_ERR_NOT_FOUND;
    PACKSOURCE src = {INVALID_HANDLE_VALUE, static_cast<const uint8_t*>(pImage), nSize, 0};
    return SearchPack(src, "<image>", LowerSjis(m_Name), bLocateOnly, pRecord);
}

// FILE_ERR_NOT_FOUND also for a pack of another magic or with a damaged directory, which the
// search passes over.
int CFile::SearchPack(PACKSOURCE& src, const rvm::string& packPath, const rvm::string& entry, bool bLocateOnly,
                      TESKPACKRECORD* pRecord)
{
    // A file that stands where a folder's pack would (the folder's name with ".dat") but is none is
    // passed over, and said: it is most likely a pack that was damaged.
    uint8_t header[PACK_HEADER_SIZE];
    if (!ReadPack(src, header, PACK_HEADER_SIZE)) {
        ReportPackFault(packPath, " is too short to be a pack (%u bytes) and is passed over", src.nSize);
        return FILE_ERR_NOT_FOUND;
    }
    bool bLong;
    if (memcmp(header, PACK_MAGIC_STORED, PACK_MAGIC_SIZE) == 0)
        bLong = false;
    else if (memcmp(header, PACK_MAGIC_VOSTIL, PACK_MAGIC_SIZE) == 0 ||
             memcmp(header, PACK_MAGIC_DX, PACK_MAGIC_SIZE) == 0)
        bLong = true;
    else {
        ReportPackFault(packPath, " does not start as a pack and is passed over");
        return FILE_ERR_NOT_FOUND;
    }
    uint32_t nCount = ReadLE32(header + PACK_MAGIC_SIZE);
    uint32_t nRecSize = bLong ? PACK_RECORD_LONG : PACK_RECORD_SHORT;
    uint32_t nNameSize = bLong ? PACK_NAME_LONG : PACK_NAME_SHORT;
    // The directory is read in one block, never more than the pack can hold.
    uint32_t nFits = (src.nSize - PACK_HEADER_SIZE) / nRecSize;
    uint32_t nRecords = nCount < nFits ? nCount : nFits;
    rvm::vector<uint8_t> dir((size_t)nRecords * nRecSize);
    if (!dir.empty() && !ReadPack(src, dir.data(), (uint32_t)dir.size())) {
        ReportPackFault(packPath, ": the directory cannot be read");
        return FILE_ERR_NOT_FOUND;
    }
    for (uint32_t i = 0; i < nRecords; i++) {
        const uint8_t* p = dir.data() + (size_t)i * nRecSize;
        size_t nLen = strnlen(reinterpret_cast<const char*>(p), nNameSize);
        rvm::string recName(reinterpret_cast<const char*>(p), nLen);
        if (LowerSjis(recName) != entry)
            continue;
        TESKPACKRECORD rec;
        memset(&rec, 0, sizeof(rec));
        memcpy(rec.szName, p, nLen < sizeof(rec.szName) ? nLen : sizeof(rec.szName) - 1);
        rec.nOffset = ReadLE32(p + nNameSize);
        rec.nSize = ReadLE32(p + nNameSize + 4);
        rec.nStoredSize = bLong ? ReadLE32(p + nNameSize + 8) : rec.nSize;
        int nResult = ReadPackEntry(src, packPath, bLong, rec, bLocateOnly);
        if (nResult == FILE_OK && pRecord && bLocateOnly)
            *pRecord = rec;
        return nResult;
    }
    if (nCount > nRecords)
        ReportPackFault(packPath, " is cut short (%u of %u records)", nRecords, nCount);
    return FILE_ERR_NOT_FOUND;
}

int CFile::ReadPackEntry(PACKSOURCE& src, const rvm::string& packPath, bool bLong, const TESKPACKRECORD& rec,
                         bool bLocateOnly)
{
    bool bCompressed = bLong && rec.nStoredSize != rec.nSize;
    if ((uint64_t)rec.nOffset + rec.nStoredSize > src.nSize ||
        (bCompressed && (uint64_t)rec.nSize > (uint64_t)rec.nStoredSize * kMaxExpansion + 64)) {
        ReportPackFault(packPath, ": entry %s lies outside the pack", rec.szName);
        return FILE_ERR_READ;
    }
    if (!SeekPack(src, rec.nOffset))
        return FILE_ERR_READ;
    m_LocatedPath = packPath;
    if (bLocateOnly) {
        m_nSize = rec.nSize;
        m_bFromPack = 1;
        return FILE_OK;
    }
    if (TakeBlock(rec.nSize) != FILE_OK)
        return FILE_ERR_ALLOC;
    m_bFromPack = 1;
    if (!bCompressed) {
        if (!ReadPack(src, m_pData, rec.nSize)) {
            ReleaseData();
            return FILE_ERR_READ;
        }
    } else {
        smart_array<uint8_t> stored;
        if (!stored.alloc((int)rec.nStoredSize) || !ReadPack(src, stored.get(), rec.nStoredSize)) {
            ReleaseData();
            return FILE_ERR_READ;
        }
        CTeskLZSS* pCodec = new (std::nothrow) CTeskLZSS;
        int nDecoded = pCodec ? pCodec->Decode(stored.get(), rec.nStoredSize, m_pData, rec.nSize) : LZSS_TRUNCATED;
        delete pCodec;
        if (nDecoded == LZSS_TRUNCATED) {
            ReportPackFault(packPath, ": entry %s does not decode", rec.szName);
            ReleaseData();
            return FILE_ERR_READ;
        }
    }
    FinishRead();
    return FILE_OK;
}

uint32_t CFile::GetRemaining()
{
    uint32_t nSize = GetSize();
    return m_nPos < nSize ? nSize - m_nPos : 0;
}

void CFile::SeekToTop()
{
    m_nPos = 0;
}

int CFile::ReadLine(char* pBuffer, int nMax)
{
    if (!m_pData)
        return 3;
    const uint8_t* pMem = GetMemory();
    uint32_t nSize = GetSize();
    if (m_nPos >= nSize)
        return 1;
    if (nMax < 1)
        return 2;
    const uint32_t nLimit = (uint32_t)nMax - 1;
    const uint32_t nLeft = nSize - m_nPos;
    // Only a line end that starts within the buffer's room, or just past it, changes what is read.
    const LINEEND end = FindLineEnd(pMem + m_nPos, nLeft <= nLimit + 1 ? nLeft : nLimit + 2);
    if (end.nEnd > 0 && end.nText == 0 && nLimit < end.nEnd) {
        // A buffer too small for the line end still ends the line, so a reader always moves on.
        m_nPos += end.nEnd;
        pBuffer[0] = 0;
        return 0;
    }
    const uint32_t nCopy = end.nText < nLimit ? end.nText : nLimit;
    memcpy(pBuffer, pMem + m_nPos, nCopy);
    m_nPos += nCopy;
    if (end.nEnd > 0 && end.nText + end.nEnd <= nLimit) {
        // The line end comes with its line; one that does not fit comes on its own, never split.
        memcpy(pBuffer + nCopy, pMem + m_nPos, end.nEnd);
        m_nPos += end.nEnd;
        pBuffer[nCopy + end.nEnd] = 0;
        return 0;
    }
    pBuffer[nCopy] = 0;
    if (m_nPos >= nSize) {
        m_nPos = nSize + 1;
        return 0;
    }
    return 2;
}

int CFile::ReadLineString(rvm::string& line)
{
    if (!m_pData)
        return 3;
    const uint8_t* pMem = GetMemory();
    uint32_t nSize = GetSize();
    if (m_nPos >= nSize)
        return 1;
    const LINEEND end = FindLineEnd(pMem + m_nPos, nSize - m_nPos);
    line.assign(reinterpret_cast<const char*>(pMem) + m_nPos, end.nText);
    m_nPos = end.nEnd > 0 ? m_nPos + end.nText + end.nEnd : nSize + 1;
    return 0;
}

int CFile::ReadQuoted(char* pBuffer, int nBufferSize)
{
    if (!pBuffer || nBufferSize < 1)
        return 1;
    pBuffer[0] = 0;
    char szLine[256];
    auto readLine = [&]() -> bool {
        int nResult = ReadLine(szLine, sizeof(szLine));
        if (nResult != 0 && nResult != 2)
            return false;
        size_t n = strlen(szLine);
        if (n >= 1 && szLine[n - 1] == '\n')
            szLine[--n] = 0;
        if (n >= 1 && szLine[n - 1] == '\r')
            szLine[--n] = 0;
        return true;
    };
    if (!readLine() || strcmp(szLine, "\"END\"") == 0)
        return 1;
    rvm::string text = szLine[0] ? szLine + 1 : "";
    while (text.empty() || text.back() != '"') {
        if (!readLine())
            return 1;
        text += "\n";
        text += szLine;
    }
    text.pop_back();
    if (text.size() >= (size_t)nBufferSize) {
        memcpy(pBuffer, text.data(), (size_t)nBufferSize - 1);
        pBuffer[nBufferSize - 1] = 0;
        return 1;
    }
    memcpy(pBuffer, text.c_str(), text.size() + 1);
    return 0;
}

int CFile::ReadData(void* pBuffer, uint32_t nBytes)
{
    if (!m_pData)
        return 2;
    uint32_t nSize = GetSize();
    if (m_nPos >= nSize)
        return 1;
    uint32_t nTake = nBytes < nSize - m_nPos ? nBytes : nSize - m_nPos;
    memcpy(pBuffer, GetMemory() + m_nPos, nTake);
    m_nPos += nTake;
    return 0;
}

int CFile::Encode()
{
    if (!m_pData || m_bScrambled)
        return 1;
    if (m_nSize >= SCRAMBLE_MARKER_SIZE && memcmp(m_pData, SCRAMBLE_MARKER, SCRAMBLE_MARKER_SIZE) == 0)
        return 1;
    uint32_t nSize = m_nSize;
    uint8_t* pNew = new (std::nothrow) uint8_t[(size_t)nSize + SCRAMBLE_MARKER_SIZE + 1];
    if (!pNew)
        return 1;
    memcpy(pNew, SCRAMBLE_MARKER, SCRAMBLE_MARKER_SIZE);
    for (uint32_t i = 0; i < nSize; i++)
        pNew[SCRAMBLE_MARKER_SIZE + i] = ScrambleByte(m_pData[i]);
    pNew[nSize + SCRAMBLE_MARKER_SIZE] = 0;
    uint8_t bFromPack = m_bFromPack;
    ReleaseData();
    m_pData = pNew;
    m_nSize = nSize + SCRAMBLE_MARKER_SIZE;
    m_bFromPack = bFromPack;
    m_nPos = 0;
    return 0;
}

int CFile::MakeRealFile()
{
    if (!m_pData)
        return 1;
    if (!m_bFromPack && !m_bMemoryRange) {
        ReleaseData();
        return 0;
    }
    char szDir[MAX_PATH];
    char szTemp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof(szDir), szDir);
    if (n == 0 || n >= sizeof(szDir) || GetTempFileNameA(szDir, "TSK", 0, szTemp) == 0)
        return 2;
    if (Save(szTemp) != 0) {
        DeleteFileA(szTemp);
        return 2;
    }
    ReleaseData();
    m_bDeleteOnClose = 1;
    m_Name = szTemp;
    return 0;
}

int FileOpen(CFile** ppFile, const char* pszPath)
{
    *ppFile = nullptr;
    CFile* pFile = new CFile(1);
    int nResult = pFile->Read(pszPath);
    if (nResult != FILE_OK) {
        delete pFile;
        return nResult;
    }
    *ppFile = pFile;
    return FILE_OK;
}

char* FileGets(char* pBuffer, int nMax, CFile* pFile)
{
    if (!pFile)
        return nullptr;
    int nResult = pFile->ReadLine(pBuffer, nMax);
    return (nResult == 0 || nResult == 2) ? pBuffer : nullptr;
}

size_t FileRead(void* pBuffer, size_t nSize, size_t nCount, CFile* pFile)
{
    if (!pFile)
        return 0;
    size_t nBytes = nSize * nCount;
    if (nCount != 0 && nBytes / nCount != nSize)
        return 0;
    if (nBytes > 0xFFFFFFFFu)
        return 0;
    // A read that runs into the end copies what is left but does not claim the whole request.
    bool bWhole = nBytes <= pFile->GetRemaining();
    return (pFile->ReadData(pBuffer, (uint32_t)nBytes) == 0 && bWhole) ? nBytes : 0;
}

int FileSeek(CFile* pFile, long nOffset, int nOrigin)
{
    if (!pFile)
        return 0;
    if (nOrigin == 0)
        pFile->SeekToTop();
    uint8_t buf[255];
    while (nOffset > 0) {
        uint32_t nStep = nOffset < 255 ? (uint32_t)nOffset : 255;
        if (pFile->ReadData(buf, nStep) != 0)
            break;
        nOffset -= (long)nStep;
    }
    return 0;
}

void FileRewind(CFile* pFile)
{
    if (pFile)
        pFile->SeekToTop();
}

void FileClose(CFile* pFile)
{
    if (!pFile)
        return;
    pFile->Close();
    delete pFile;
}
