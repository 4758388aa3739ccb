// Lists the files below a folder one at a time, descending into sub-folders and listing the
// entries of "teskpkEx" and "44vostil" packs as files of a folder named after the pack.
#pragma once
#include "rvm/rvm_stl.h"
#include "platform/win/WinTypes.h"

class CDir {
public:
    CDir();
    virtual ~CDir();
    CDir(const CDir&) = delete;
    CDir& operator=(const CDir&) = delete;

    void SetPattern(const char* pszPattern);
    // Drops one trailing separator.
    void SetPath(const char* pszFolder);
    void SetRecurse(int bRecurse) { m_bRecurse = bRecurse; }
    void SetListPacks(int bListPacks) { m_bListPacks = bListPacks; }
    // 0 with the full path (backslashes) of the next entry that matches the pattern; 1 when there
    // are no more (the enumeration is then closed).
    int FindFile(rvm::string& path);
    void Close();
    bool IsFolder() const { return m_bIsFolder != 0; }
    const rvm::vector<rvm::string>& GetPackNames() const { return m_PackNames; }
    static bool FileExists(const char* pszPath);

private:
    int NextPackEntry(rvm::string& path);
    bool OpenPack(const rvm::string& path, const rvm::string& name);

    rvm::vector<rvm::string> m_PackNames;
    rvm::string m_Pattern;
    rvm::string m_Folder;
    HANDLE m_hFind;
    int m_bRecurse;
    int m_bListPacks;
    CDir* m_pChild;
    int m_bReturnFolders;
    int m_bIsFolder;
    HANDLE m_hPack;
    uint32_t m_nPackLeft;
    int m_nPackKind;   // 0: 40-byte records ("teskpkEx"), 1: 268-byte records ("44vostil")
    rvm::string m_PackPrefix;
};

// '*' matches any run (also an empty one), '?' any one character, letters without regard to case;
// a '*' or '?' in the name is matched the same way against the pattern.
bool MatchWildcard(const char* pszPattern, const char* pszName);
