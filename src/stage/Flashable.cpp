#include "stage/Flashable.h"

#include "engine/AppTimer.h"
#include "engine/WinMain.h"

void CFlashable::Reset()
{
    m_dwDuration = (DWORD)g_nObjFlashTime;
    m_bExpired = 1;
}

void CFlashable::Stop()
{
    Reset();
    m_bFlashing = 0;
}

void CFlashable::Start()
{
    m_dwStartTime = CAppTimer::GetElapsed(0);
    m_bExpired = 0;
    m_bFlashing = 1;
}

DWORD CFlashable::Update()
{
    DWORD dwElapsed = CAppTimer::GetElapsed(0) - m_dwStartTime;
    if (!m_bFlashing || m_bExpired)
        return dwElapsed;
    if (dwElapsed > m_dwDuration) {
        m_bExpired = 1;
        m_bFlashing = 0;
    }
    return dwElapsed;
}
