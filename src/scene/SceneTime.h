// The scenes' waits, all on game timer 0 (frame time): a wait is over once strictly more than its
// length has gone by since it started.
#pragma once
#include "engine/AppTimer.h"

inline DWORD SceneNow()
{
    return CAppTimer::GetElapsed(0);
}

inline bool HasPassed(DWORD dwStart, DWORD dwLength)
{
    return SceneNow() - dwStart > dwLength;
}
