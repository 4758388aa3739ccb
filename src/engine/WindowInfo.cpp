#include "engine/WindowInfo.h"

// Full screen here scales our own picture inside our own window: the display mode never changes
// and the platform shows us no other program's windows. So there is nothing to record, nothing to
// put back, and the display-mode pair has nothing to switch.

CWindowInfo::~CWindowInfo()
{
    RestoreAll();
}

void CWindowInfo::SaveAll()
{
    m_saved.clear();
}

int CWindowInfo::RestoreAll()
{
    m_saved.clear();
    return 1;
}

bool CWindowInfo::ChangeDisplayMode(int, int, int, int, HWND)
{
    return false;
}

bool CWindowInfo::RestoreDisplayMode()
{
    m_bModeChanged = false;
    return true;
}
