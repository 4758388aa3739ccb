#include "engine/BmpIndex.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <strings.h>

#include "engine/DSurface.h"
#include "engine/Log.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"

namespace {

// A text range split into code-page-932 characters: a separator is a one-byte blank (space, tab,
// CR, LF, the at sign) or the full-width space 0x81 0x40 standing at a character boundary. A lead
// byte's partner is never taken for a separator, so a name's second byte is never cut.
struct SJISSPAN {
    const char* pBegin;
    const char* pEnd;
};

size_t CharLength(const char* p, const char* pEnd)
{
    return (IsSjisLeadByte((uint8_t)*p) && p + 1 < pEnd) ? 2 : 1;
}

bool IsSeparatorChar(const char* p, size_t nLen)
{
    if (nLen == 2) {
        return (uint8_t)p[0] == 0x81 && (uint8_t)p[1] == 0x40;
    }
    return IsWhiteByte((uint8_t)*p);
}

const char* SkipSeparators(const char* p, const char* pEnd)
{
    while (p < pEnd) {
        const size_t n = CharLength(p, pEnd);
        if (!IsSeparatorChar(p, n)) {
            break;
        }
        p += n;
    }
    return p;
}

// The end of the last character that is not a separator.
const char* TrimmedEnd(const char* p, const char* pEnd)
{
    const char* pLast = p;
    while (p < pEnd) {
        const size_t n = CharLength(p, pEnd);
        if (!IsSeparatorChar(p, n)) {
            pLast = p + n;
        }
        p += n;
    }
    return pLast;
}

const char* FindSeparator(const char* p, const char* pEnd)
{
    while (p < pEnd) {
        const size_t n = CharLength(p, pEnd);
        if (IsSeparatorChar(p, n)) {
            return p;
        }
        p += n;
    }
    return nullptr;
}

// atoi's reading (leading blanks, a sign, digits up to the first other byte), saturated instead of
// overflowing.
int ReadInt(const char* p, const char* pEnd)
{
    while (p < pEnd && IsNarrowBlank((uint8_t)*p)) {
        p++;
    }
    bool bNeg = false;
    if (p < pEnd && (*p == '+' || *p == '-')) {
        bNeg = *p == '-';
        p++;
    }
    long long n = 0;
    for (; p < pEnd && *p >= '0' && *p <= '9'; p++) {
        if (n < 100000000000LL) {
            n = n * 10 + (*p - '0');
        }
    }
    if (bNeg) {
        n = -n;
    }
    return (int)std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, n));
}

LONG PlusOne(int n)
{
    return n == INT_MAX ? INT_MAX : n + 1;
}

// Region corners come from files and may lie anywhere in the int range: sums and differences are
// taken wide and limited back.
LONG ClampLong(long long n)
{
    return (LONG)std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, n));
}

// "name = l:t:r:b" into a name and a rectangle; false when the value defines nothing.
bool ParseRegion(const rvm::string& value, rvm::string* pName, RECT* prc)
{
    const char* pBegin = value.c_str();
    const char* pEnd = pBegin + value.size();
    const char* pEq = (const char*)std::memchr(pBegin, '=', value.size());
    if (!pEq) {
        return false;
    }
    pName->assign(pBegin, TrimmedEnd(pBegin, pEq));
    if (pName->empty()) {
        return false;
    }
    int nNumbers[4];
    int nCount = 0;
    const char* p = pEq + 1;
    // An empty piece reads 0 wherever it stands, also after a last colon.
    while (p <= pEnd && nCount < 4) {
        const char* pColon = (const char*)std::memchr(p, ':', (size_t)(pEnd - p));
        const char* pPieceEnd = pColon ? pColon : pEnd;
        nNumbers[nCount++] = ReadInt(p, TrimmedEnd(p, pPieceEnd));
        p = pPieceEnd + 1;
    }
    if (nCount < 4) {
        return false;
    }
    *prc = RECT{nNumbers[0], nNumbers[1], PlusOne(nNumbers[2]), PlusOne(nNumbers[3])};
    return true;
}

bool KeywordIs(const rvm::string& keyword, const char* pszName)
{
    const size_t n = std::strlen(pszName);
    return keyword.size() >= n && strncasecmp(keyword.c_str(), pszName, n) == 0;
}

CBmpIndex s_SystemIndex;
CBmpIndex s_CockpitIndex;
CBmpIndex s_BossIndex;

} // namespace

// ---- CBmpIndex ------------------------------------------------------------------------------------
CBmpIndex::~CBmpIndex()
{
    Clear();
}

rvm::string CBmpIndex::FoldName(const char* pszName)
{
    return pszName ? LowerSjis(pszName) : rvm::string();
}

void CBmpIndex::HandleLine(char* pszLine, int nLine)
{
    if (IsBlankLine(pszLine)) {
        return;
    }
    CutComment(pszLine);
    const char* pEnd = pszLine + std::strlen(pszLine);
    const char* p = SkipSeparators(pszLine, pEnd);
    if (p >= pEnd || *p != '#') {
        return;
    }
    p++;
    const char* pKeyEnd = FindSeparator(p, pEnd);
    if (!pKeyEnd) {
        return;
    }
    const rvm::string keyword(p, pKeyEnd);
    // Only the first value counts: the text up to the first comma, trimmed.
    rvm::string value;
    for (p = pKeyEnd; p < pEnd && value.empty();) {
        const char* pStop = p;
        while (pStop < pEnd && *pStop != ',' && *pStop != '\n') {
            pStop++;
        }
        const char* pValue = SkipSeparators(p, pStop);
        value.assign(pValue, TrimmedEnd(pValue, pStop));
        p = pStop + 1;
    }
    if (value.empty()) {
        return;
    }
    if (KeywordIs(keyword, "INDEX_FOR")) {
        m_ImageFile = value;
    } else if (KeywordIs(keyword, "IMG_RGN")) {
        rvm::string name;
        RECT rc;
        if (ParseRegion(value, &name, &rc)) {
            if (rc.right <= rc.left || rc.bottom <= rc.top) {
                ReportDataError(m_IndexPath.c_str(), "line %d: the region \"%s\" is empty", nLine, value.c_str());
            }
            AddRegion(name.c_str(), rc);
        } else {
            ReportDataError(m_IndexPath.c_str(), "line %d: \"%s\" is not \"name = left:top:right:bottom\"", nLine,
                            value.c_str());
        }
    }
}

void CBmpIndex::ParseIndexText(const char* pText, size_t nSize)
{
    char szLine[INDEX_LINE_MAX];
    size_t nPos = 0;
    int nLine = 0;
    while (pText && nPos < nSize) {
        // fgets with the reader's buffer: a longer line goes on as the next line.
        size_t n = std::min(nSize - nPos, (size_t)INDEX_LINE_MAX - 1);
        if (const char* pLF = (const char*)std::memchr(pText + nPos, '\n', n)) {
            n = (size_t)(pLF - (pText + nPos)) + 1;
        }
        std::memcpy(szLine, pText + nPos, n);
        nPos += n;
        szLine[n] = 0;
        // An embedded NUL ends the line as the C library's line functions see it.
        HandleLine(szLine, ++nLine);
    }
}

int CBmpIndex::LoadIndex(IDirect3DDevice7* lpDevice, const char* pszDir, const char* pszIndexFile)
{
    const rvm::string dir = pszDir ? pszDir : "";
    const rvm::string path = dir + (pszIndexFile ? pszIndexFile : "");
    m_IndexPath = path;
    CFile* pFile = nullptr;
    if (FileOpen(&pFile, path.c_str()) != FILE_OK || !pFile) {
        ReportDataError(path.c_str(), "%s の読み込みに失敗しました\n", pszIndexFile ? pszIndexFile : "");
        return 0;
    }
    ParseIndexText((const char*)pFile->GetMemory(), pFile->GetSize());
    FileClose(pFile);
    const rvm::string image = m_ImageFile;
    if (image.empty())
        ReportDataError(path.c_str(), "no #INDEX_FOR line names the picture of the regions");
    return LoadImage(lpDevice, dir.c_str(), image.c_str());
}

int CBmpIndex::LoadImage(IDirect3DDevice7* lpDevice, const char* pszDir, const char* pszImageFile)
{
    m_Dir = pszDir ? pszDir : "";
    m_ImageFile = pszImageFile ? pszImageFile : "";
    if (m_ImageFile.empty()) {
        return 0;
    }
    SafeRelease(m_lpSheet);
    m_lpSheet = LoadBitmapSurface(lpDevice, (m_Dir + m_ImageFile).c_str(), MEM_SYSTEM);
    return m_lpSheet ? 1 : 0;
}

// The sheet is named when the sheet is missing, the index when a region is; each stands in for the
// other when it is not known.
rvm::string CBmpIndex::SheetPath() const
{
    return m_ImageFile.empty() ? m_IndexPath : m_Dir + m_ImageFile;
}

void CBmpIndex::ReportMissingRegion(const char* pszRegion) const
{
    ReportDataError(m_IndexPath.empty() ? SheetPath().c_str() : m_IndexPath.c_str(),
                    "ERROR 27 : インデックスが登録されていません [%s(%s)]\n", pszRegion, m_ImageFile.c_str());
}

void CBmpIndex::Clear()
{
    SafeRelease(m_lpSheet);
    ClearRegions();
}

void CBmpIndex::ClearRegions()
{
    m_Regions.clear();
}

void CBmpIndex::SetColorKeyGreen()
{
    if (m_lpSheet) {
        ::SetColorKeyGreen(m_lpSheet);
    }
}

void CBmpIndex::AddRegion(const char* pszName, const RECT& rc)
{
    m_Regions[FoldName(pszName)] = rc;
}

int CBmpIndex::HasRegion(const char* pszName) const
{
    return m_Regions.count(FoldName(pszName)) ? 1 : 0;
}

RECT CBmpIndex::GetRegion(const char* pszName) const
{
    auto it = m_Regions.find(FoldName(pszName));
    return it == m_Regions.end() ? RECT{0, 0, 0, 0} : it->second;
}

void CBmpIndex::GetRegionSize(const char* pszName, int* pnWidth, int* pnHeight) const
{
    // Its callers draw the region: one the index lacks is a fault of the data.
    auto it = m_Regions.find(FoldName(pszName));
    if (it == m_Regions.end()) {
        ReportMissingRegion(pszName ? pszName : "");
    }
    const RECT rc = it == m_Regions.end() ? RECT{0, 0, 0, 0} : it->second;
    if (pnWidth) {
        *pnWidth = ClampLong((long long)rc.right - rc.left);
    }
    if (pnHeight) {
        *pnHeight = ClampLong((long long)rc.bottom - rc.top);
    }
}

bool CBmpIndex::SourceRect(const char* pszName, const RECT* prcSub, RECT* prcOut) const
{
    auto it = m_Regions.find(FoldName(pszName));
    if (it == m_Regions.end()) {
        return false;
    }
    RECT rc = it->second;
    if (prcSub) {
        const RECT& r = it->second;
        rc = RECT{std::max<LONG>(r.left, ClampLong((long long)r.left + prcSub->left)),
                  std::max<LONG>(r.top, ClampLong((long long)r.top + prcSub->top)),
                  std::min<LONG>(r.right, ClampLong((long long)r.left + prcSub->right)),
                  std::min<LONG>(r.bottom, ClampLong((long long)r.top + prcSub->bottom))};
    }
    *prcOut = rc;
    return rc.right > rc.left && rc.bottom > rc.top;
}

IDirectDrawSurface7* CBmpIndex::CreateRegionSurface(IDirectDraw7* lpDD, const char* pszName, const RECT* prcSub,
                                                    int nMemFlag)
{
    const char* pszRegion = pszName ? pszName : "";
    if (!m_lpSheet) {
        ReportDataError(SheetPath().c_str(), "ERROR 26 : データ画像が読み込まれていません [%s(%s)]\n", pszRegion,
                        m_ImageFile.c_str());
        return nullptr;
    }
    if (!HasRegion(pszRegion)) {
        ReportMissingRegion(pszRegion);
        return nullptr;
    }
    RECT rc;
    if (!SourceRect(pszRegion, prcSub, &rc)) {
        return nullptr;
    }
    // A region reaching off the sheet could never be copied: refuse it before a surface of its
    // (possibly huge) size is made.
    int nSheetW = 0, nSheetH = 0;
    GetSurfaceSize(m_lpSheet, &nSheetW, &nSheetH);
    if (rc.left < 0 || rc.top < 0 || rc.right > nSheetW || rc.bottom > nSheetH) {
        return nullptr;
    }
    return CreateSurfaceCopy(lpDD, m_lpSheet, &rc, nMemFlag);
}

IDirectDrawSurface7* CBmpIndex::CreateSurfaceByDevice(IDirect3DDevice7* lpDevice, const char* pszName,
                                                      const RECT* prcSub, int nMemFlag)
{
    IDirectDraw7* lpDD = GetDeviceDirectDraw(lpDevice);
    IDirectDrawSurface7* lpSurface = CreateRegionSurface(lpDD, pszName, prcSub, nMemFlag);
    SafeRelease(lpDD);
    return lpSurface;
}

int CBmpIndex::BltRegion(IDirectDrawSurface7* lpDest, RECT* prcDest, const char* pszName, const RECT* prcSub,
                         DWORD dwFlags, DDBLTFX* lpFx)
{
    RECT rc;
    if (!lpDest || !m_lpSheet || !SourceRect(pszName, prcSub, &rc)) {
        return 0;
    }
    return lpDest->Blt(prcDest, m_lpSheet, &rc, dwFlags, lpFx) == DD_OK ? 1 : 0;
}

// ---- CBmpIndexSet ---------------------------------------------------------------------------------
CBmpIndexSet& CBmpIndexSet::GetInstance()
{
    static CBmpIndexSet s_Set;
    return s_Set;
}

CBmpIndex* CBmpIndexSet::Find(const char* pszIndexFile)
{
    if (!pszIndexFile) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    auto it = m_Map.find(pszIndexFile);
    return it == m_Map.end() ? nullptr : it->second;
}

CBmpIndex*& CBmpIndexSet::operator[](const rvm::string& indexFile)
{
    return m_Map[indexFile];
}

void CBmpIndexSet::Register(const rvm::string& indexFile, CBmpIndex* pIndex)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Map[indexFile] = pIndex;
}

void CBmpIndexSet::Clear()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Map.clear();
}

size_t CBmpIndexSet::Count()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Map.size();
}

// ---- The system indexes ---------------------------------------------------------------------------
CBmpIndex& GetSystemIndex()
{
    return s_SystemIndex;
}

CBmpIndex& GetCockpitIndex()
{
    return s_CockpitIndex;
}

CBmpIndex& GetBossIndex()
{
    return s_BossIndex;
}

int LoadSystemIndexes(IDirect3DDevice7* lpDevice)
{
    struct {
        CBmpIndex* pIndex;
        const char* pszFile;
    } const entries[3] = {{&s_SystemIndex, SYSTEM_INDEX_FILE},
                          {&s_CockpitIndex, COCKPIT_INDEX_FILE},
                          {&s_BossIndex, BOSS_INDEX_FILE}};
    for (const auto& e : entries) {
        if (!e.pIndex->LoadIndex(lpDevice, SYSTEM_INDEX_DIR, e.pszFile)) {
            ReportDataError(e.pIndex->GetIndexPath().c_str(),
                            "not loaded, so no system index is used: the stages run without the cockpit, the boss "
                            "gauge and the system pictures (enemy shots among them), and the pause menu and the "
                            "game-over screen show blank, though their keys work");
            return 0;
        }
    }
    CBmpIndexSet& set = CBmpIndexSet::GetInstance();
    set.Clear();
    for (const auto& e : entries) {
        set.Register(e.pszFile, e.pIndex);
    }
    return 1;
}

void ReleaseSystemIndexes()
{
    CBmpIndexSet::GetInstance().Clear();
    s_SystemIndex.Clear();
    s_CockpitIndex.Clear();
    s_BossIndex.Clear();
}
