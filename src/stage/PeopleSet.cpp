#include "stage/PeopleSet.h"

#include <cstring>
#include <memory>
#include <strings.h>

#include "engine/Log.h"
#include "engine/Util.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"
#include "stage/People.h"

namespace {

const int kLineSize = 3072;

rvm::map<rvm::string, std::unique_ptr<CPeople>>& Catalogue()
{
    static rvm::map<rvm::string, std::unique_ptr<CPeople>> s_Map;
    return s_Map;
}

// A PEOPLE line: the code (the keyword's last two characters) and the rest of the line.
bool SplitPeopleLine(char* pszLine, rvm::string* pCode, rvm::string* pRest)
{
    CutComment(pszLine);
    if (IsBlankLine(pszLine))
        return false;
    const char* p = pszLine;
    while (*p && IsWhiteByte((unsigned char)*p))
        p++;
    if (*p != '#')
        return false;
    const char* pKey = ++p;
    while (*p && !IsWhiteByte((unsigned char)*p))
        p++;
    const rvm::string strKey(pKey, (size_t)(p - pKey));
    if (strKey.size() < 6 || strncasecmp(strKey.c_str(), "PEOPLE", 6) != 0)
        return false;
    while (*p && IsWhiteByte((unsigned char)*p))
        p++;
    *pCode = strKey.substr(strKey.size() - 2);
    *pRest = p;
    while (!pRest->empty() && (pRest->back() == '\n' || pRest->back() == '\r'))
        pRest->pop_back();
    return true;
}

void AddKind(IDirect3DDevice7* lpDevice, const char* pszPath, const rvm::string& strCode, const rvm::string& strRest)
{
    auto pKind = std::make_unique<CPeople>(strCode.c_str());
    pKind->SetLine(strRest);
    if (!pKind->Load(lpDevice)) {
        ReportDataError(pszPath, "ERROR 21 : 通行者のセットアップに失敗しました [%s]\n", strCode.c_str());
        return;
    }
    Catalogue()[strCode] = std::move(pKind);
}

} // namespace

int CPeopleSet::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    const rvm::string strPath = rvm::string(pszFolder ? pszFolder : "") + "People.txt";
    return LoadFile(lpDevice, strPath.c_str());
}

int CPeopleSet::LoadFile(IDirect3DDevice7* lpDevice, const char* pszPath)
{
    Clear();
    CFile* pFile = nullptr;
    if (FileOpen(&pFile, pszPath) != 0 || !pFile) {
        DebugPrintf("%s の読み込みに失敗しました\n", pszPath);
        return 0;
    }
    std::unique_ptr<char[]> pLine(new char[kLineSize]);
    while (FileGets(pLine.get(), kLineSize, pFile)) {
        rvm::string strCode, strRest;
        if (SplitPeopleLine(pLine.get(), &strCode, &strRest))
            AddKind(lpDevice, pszPath, strCode, strRest);
    }
    FileClose(pFile);
    return 1;
}

BOOL CPeopleSet::Exists(const char* pszCode)
{
    return pszCode && Catalogue().count(pszCode) != 0;
}

CPeople* CPeopleSet::Find(const char* pszCode)
{
    if (!pszCode)
        return nullptr;
    auto it = Catalogue().find(pszCode);
    return it == Catalogue().end() ? nullptr : it->second.get();
}

void CPeopleSet::Clear()
{
    Catalogue().clear();
}

int CPeopleSet::Count()
{
    return (int)Catalogue().size();
}
