#include "engine/MemState.h"

#include <cstdio>

#include "platform/win/Win.h"

bool CMemState::s_bFirst = true;

CMemState::CMemState()
{
    // The first object would switch the runtime's leak check on at exit; LeakSanitizer does that
    // job in the sanitizer build, from the first instruction on.
    s_bFirst = false;
}

void CMemState::Checkpoint()
{
    CRTMEMSTATE state = {};
    m_bValid = CrtMemCheckpoint(&state);
    m_nInUse = (long long)state.cbInUse;
    m_nFromSystem = (long long)state.cbFromSystem;
}

bool CMemState::Difference(const CMemState& older, const CMemState& newer)
{
    m_nInUse = newer.m_nInUse - older.m_nInUse;
    m_nFromSystem = newer.m_nFromSystem - older.m_nFromSystem;
    m_bValid = older.m_bValid && newer.m_bValid;
    return m_nInUse != 0 || m_nFromSystem != 0;
}

void CMemState::DumpStatistics() const
{
    char szLine[128];
    snprintf(szLine, sizeof(szLine), "%lld bytes in use, %lld bytes from the system\n", m_nInUse, m_nFromSystem);
    OutputDebugStringA(szLine);
}

void CMemState::DumpAllObjectsSince() const
{
    DumpStatistics();
}

void CMemState::SetBreakAlloc(long) {}

int CMemState::DumpMemoryLeaks()
{
    return 0;
}
