#include "platform/host/Host.h"

#include <malloc.h>

#include <atomic>
#include <cstdio>

namespace {
std::atomic<IHost*> g_pHost{nullptr};

// Blocks of a megabyte and more (the large pictures, the longer waves) get pages of their own
// that go back to the system when the block is freed. By default the C library raises that bound
// to the largest block freed so far, so once the first stage is let go every later picture comes
// from the loading thread's arena instead, where the holes a stage leaves seldom fit the next one's
// pictures: over an hour of demos the resident set climbed from 73 to 81 MB with the same bytes in
// use, where with this it stays between 68 and 70 MB.
// A block this large is made only while something loads, never per frame; the fresh pages make a
// stage's load some 30 ms longer (60 to 80 ms, behind the loading picture).
const int kOwnPagesFrom = 1024 * 1024;
}  // namespace

IHost* GetHost() { return g_pHost.load(std::memory_order_acquire); }

void SetHost(IHost* pHost) {
    static const bool bOwnPages = mallopt(M_MMAP_THRESHOLD, kOwnPagesFrom) == 1;
    (void)bOwnPages;
    g_pHost.store(pHost, std::memory_order_release);
}

bool CErrorLines::Admit(const std::string& line, std::string* pShown) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_bFull || !m_seen.insert(line).second) return false;
    if (m_seen.size() <= HOST_ERROR_LINES_MAX) {
        *pShown = line;
        return true;
    }
    m_bFull = true;
    m_seen.clear();
    *pShown = "(more errors follow; they are not shown)";
    return true;
}

bool CErrorLines::TakesLines() {
    std::lock_guard<std::mutex> guard(m_lock);
    return !m_bFull;
}

void IHost::ReportError(const char* pszTextUtf8) {
    std::string shown;
    if (pszTextUtf8 && m_ErrorLines.Admit(pszTextUtf8, &shown)) ErrorOutput(shown.c_str());
}

void IHost::ErrorOutput(const char* pszTextUtf8) {
    // One write per line, so that lines from two threads never interleave.
    std::string line = std::string(pszTextUtf8) + "\n";
    fputs(line.c_str(), stderr);
}

HOSTRECT FitKeepingAspect(int srcW, int srcH, int outW, int outH) {
    if (srcW <= 0 || srcH <= 0 || outW <= 0 || outH <= 0) return HOSTRECT{0, 0, 0, 0};
    // Compared as products so that no rounding decides which side gets the bars.
    const int64_t nWide = static_cast<int64_t>(outW) * srcH;
    const int64_t nTall = static_cast<int64_t>(outH) * srcW;
    HOSTRECT rc{0, 0, outW, outH};
    if (nWide > nTall) {
        rc.w = static_cast<int>(nTall / srcH);
        rc.x = (outW - rc.w) / 2;
    } else if (nWide < nTall) {
        rc.h = static_cast<int>(nWide / srcW);
        rc.y = (outH - rc.h) / 2;
    }
    return rc;
}
