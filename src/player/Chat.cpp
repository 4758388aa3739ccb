#include "player/Chat.h"

#include "engine/Sound.h"

namespace {

const char kChatSound[] = ".\\GameData\\System\\Chat.wav";

} // namespace

int CChat::Find(const CMsgWin* pWin) const
{
    for (int i = 0; i < m_nCount; i++) {
        if (m_pWin[i] == pWin) {
            return i;
        }
    }
    return -1;
}

void CChat::SetEntry(CMsgWin* pWin, int nValue)
{
    m_pPendingWin = pWin;
    m_nPendingValue = nValue;
}

void CChat::Add(CMsgWin* pWin)
{
    if (!pWin || Find(pWin) >= 0 || m_nCount >= CHAT_WINDOW_MAX) {
        return;
    }
    m_nValue[m_nCount] = pWin == m_pPendingWin ? m_nPendingValue : 0;
    m_pWin[m_nCount++] = pWin;
    m_pPendingWin = nullptr;
    pWin->m_fTargetX = CHAT_X;
    pWin->m_fTargetY = CHAT_Y;
    pWin->m_fTargetZ = 0.0f;
    pWin->Open();
    // Only a window that speaks alone closes with its squeeze; others go at once.
    pWin->m_bAnimateClose = 0;
    for (int i = 0; i < m_nCount; i++) {
        m_pWin[i]->StopVoice();
    }
    PlaySoundFile(kChatSound);
}

void CChat::Update()
{
    if (m_bHidden) {
        return;
    }
    CMsgWin* pSpeaking = nullptr;
    int nSpeaking = 0;
    bool bAllClosed = true;
    for (int i = 0; i < m_nCount; i++) {
        CMsgWin* pWin = m_pWin[i];
        if (pWin->IsClosed()) {
            continue;
        }
        pWin->Update();
        if (!pWin->IsClosed() && pWin->GetState() == CMsgWin::STATE_TEXT) {
            pSpeaking = pWin;
            nSpeaking++;
        }
        bAllClosed = bAllClosed && pWin->IsClosed();
    }
    if (nSpeaking == 1) {
        pSpeaking->m_bAnimateClose = 1;
    }
    if (bAllClosed) {
        Clear();
    }
}

void CChat::Clear()
{
    m_nCount = 0;
    m_pPendingWin = nullptr;
    m_bHidden = 1;
}

int CChat::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden) {
        return 1;
    }
    for (int i = 0; i < m_nCount; i++) {
        if (!m_pWin[i]->IsClosed()) {
            m_pWin[i]->Draw(lpSurface);
        }
    }
    return 1;
}
