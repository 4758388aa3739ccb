// Image-region index files: a text file names a sheet bitmap (#INDEX_FOR) and named rectangles on
// it (#IMG_RGN name = left:top:right:bottom, right and bottom inclusive). CBmpIndex holds one index
// and its sheet; CBmpIndexSet is the process-wide directory through which image keys are found.
#pragma once
#include <mutex>

#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "rvm/rvm_stl.h"

#define INDEX_LINE_MAX 3072
#define SYSTEM_INDEX_DIR ".\\GameData\\System\\"
#define SYSTEM_INDEX_FILE "SystemIndex.txt"
#define COCKPIT_INDEX_FILE "CockpitIndex.txt"
#define BOSS_INDEX_FILE "BossIndex.txt"

class CBmpIndex {
public:
    CBmpIndex() = default;
    virtual ~CBmpIndex();
    CBmpIndex(const CBmpIndex&) = delete;
    CBmpIndex& operator=(const CBmpIndex&) = delete;

    // Reads pszDir + pszIndexFile (the directory ends with a backslash) and then loads its sheet.
    // Regions add to those already held. 0 when the file does not open, names no sheet, or the sheet
    // does not load (the regions read stay).
    int LoadIndex(IDirect3DDevice7* lpDevice, const char* pszDir, const char* pszIndexFile);
    // The same reading from text in memory (no sheet is loaded): the reader the loader uses.
    void ParseIndexText(const char* pText, size_t nSize);
    int LoadImage(IDirect3DDevice7* lpDevice, const char* pszDir, const char* pszImageFile);
    void Clear();
    // Forgets the regions and keeps the sheet.
    void ClearRegions();
    void SetColorKeyGreen();
    void AddRegion(const char* pszName, const RECT& rc);
    int HasRegion(const char* pszName) const;
    RECT GetRegion(const char* pszName) const;
    void GetRegionSize(const char* pszName, int* pnWidth, int* pnHeight) const;
    // A new surface (the caller's) of the region, or of the sub-rectangle given relative to the
    // region's corner and cut to the region; null after ERROR 26/27 or for an empty rectangle.
    IDirectDrawSurface7* CreateRegionSurface(IDirectDraw7* lpDD, const char* pszName, const RECT* prcSub, int nMemFlag);
    IDirectDrawSurface7* CreateSurfaceByDevice(IDirect3DDevice7* lpDevice, const char* pszName, const RECT* prcSub,
                                               int nMemFlag);
    int BltRegion(IDirectDrawSurface7* lpDest, RECT* prcDest, const char* pszName, const RECT* prcSub, DWORD dwFlags,
                  DDBLTFX* lpFx);

    const rvm::string& GetImageFileName() const { return m_ImageFile; }
    const rvm::string& GetDirectory() const { return m_Dir; }
    // The index file read last (directory included); empty when the regions came otherwise.
    const rvm::string& GetIndexPath() const { return m_IndexPath; }
    IDirectDrawSurface7* GetSheet() const { return m_lpSheet; }
    size_t GetRegionCount() const { return m_Regions.size(); }
    const rvm::map<rvm::string, RECT>& GetRegions() const { return m_Regions; }

    // Region names fold ASCII capitals to lower case (never the second byte of a two-byte character).
    static rvm::string FoldName(const char* pszName);

private:
    // The source rectangle on the sheet; false for an unknown region or an empty result.
    bool SourceRect(const char* pszName, const RECT* prcSub, RECT* prcOut) const;
    void HandleLine(char* pszLine, int nLine);
    rvm::string SheetPath() const;
    // ERROR 27, for the user as well.
    void ReportMissingRegion(const char* pszRegion) const;

    rvm::string m_ImageFile;
    rvm::string m_Dir;
    rvm::string m_IndexPath;
    IDirectDrawSurface7* m_lpSheet = nullptr;
    rvm::map<rvm::string, RECT> m_Regions;
};

// The directory of loaded indexes by index-file name (exact text). It does not own them.
class CBmpIndexSet {
public:
    virtual ~CBmpIndexSet() = default;
    static CBmpIndexSet& GetInstance();

    CBmpIndex* Find(const char* pszIndexFile);
    // Lookup-or-insert (a new entry holds null until assigned); callers on two threads hold Lock().
    CBmpIndex*& operator[](const rvm::string& indexFile);
    // Registers (or replaces) an entry under the lock.
    void Register(const rvm::string& indexFile, CBmpIndex* pIndex);
    void Clear();
    size_t Count();
    // Held while a caller adds or looks up from the loading thread.
    std::mutex& Lock() { return m_Mutex; }

private:
    rvm::map<rvm::string, CBmpIndex*> m_Map;
    std::mutex m_Mutex;
};

// The three process-wide indexes of the system, cockpit and boss sheets.
CBmpIndex& GetSystemIndex();
CBmpIndex& GetCockpitIndex();
CBmpIndex& GetBossIndex();

// Loads the three system indexes from .\GameData\System\, stopping at the first failure; only when
// all three loaded does it empty CBmpIndexSet and register them under their file names. 1 then.
int LoadSystemIndexes(IDirect3DDevice7* lpDevice);
// Releases the three indexes' sheets and regions and empties the set (shutdown).
void ReleaseSystemIndexes();
