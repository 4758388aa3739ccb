#include "engine/MemState.h"

bool CMemState::s_bFirst = true;

CMemState::CMemState()
{
    // The first object would switch the runtime's leak check on at exit; LeakSanitizer does that
    // job in the sanitizer build, from the first instruction on.
    s_bFirst = false;
}

void CMemState::Checkpoint() {}

bool CMemState::Difference(const CMemState&, const CMemState&)
{
    return false;
}

void CMemState::DumpStatistics() const {}

void CMemState::DumpAllObjectsSince() const {}

void CMemState::SetBreakAlloc(long) {}

int CMemState::DumpMemoryLeaks()
{
    return 0;
}
