#include "engine/ProfileTime.h"

#include <cstdio>
#include <mutex>

#include "engine/DebugOut.h"
#include "engine/Log.h"
#include "platform/win/Win.h"
#include "rvm/rvm_stl.h"

namespace {

std::mutex g_Lock;
rvm::map<rvm::string, PROFILERECORD> g_Records;

const char* const kRule = "--------------------------------------------\n";

} // namespace

void CProfileTime::Begin(const char* pszName)
{
    std::lock_guard<std::mutex> lock(g_Lock);
    PROFILERECORD& rec = g_Records[pszName];
    rec.bRunning = 1;
    rec.dwStart = timeGetTime();
}

void CProfileTime::End(const char* pszName)
{
    std::lock_guard<std::mutex> lock(g_Lock);
    auto it = g_Records.find(pszName);
    if (it == g_Records.end()) {
        RaiseRuntimeAssert("Find(name)", __FILE__, __LINE__);
        return;
    }
    PROFILERECORD& rec = it->second;
    if (!rec.bRunning)
        return;
    rec.bRunning = 0;
    rec.nCount++;
    rec.dwTotal += timeGetTime() - rec.dwStart;
}

bool CProfileTime::Find(const char* pszName, PROFILERECORD* pRecord)
{
    std::lock_guard<std::mutex> lock(g_Lock);
    auto it = g_Records.find(pszName);
    if (it == g_Records.end())
        return false;
    *pRecord = it->second;
    return true;
}

rvm::string CProfileTime::FormatReport()
{
    std::lock_guard<std::mutex> lock(g_Lock);
    rvm::string text = kRule;
    text += "    time :    count :      avg : name       \n";
    text += kRule;
    for (const auto& [name, rec] : g_Records) {
        char szRow[512];
        double dAvg = rec.nCount < 1 ? 0.0 : (double)rec.dwTotal / rec.nCount;
        snprintf(szRow, sizeof(szRow), "%8d : %8d : %8.6f : %s\n", (int)rec.dwTotal, rec.nCount, dAvg, name.c_str());
        text += szRow;
    }
    text += kRule;
    return text;
}

void CProfileTime::Report()
{
    rvm::string text = FormatReport();
    DebugOut(text.c_str());
    std::lock_guard<std::mutex> lock(g_Lock);
    g_Records.clear();
}
