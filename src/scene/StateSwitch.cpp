#include "scene/StateSwitch.h"

#include <cassert>
#include <cstring>

#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "platform/win/Win.h"

namespace {

const int kWatched[STATESWITCH_KEYS] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, 'Z', 'X', VK_SHIFT};

} // namespace

CStateSwitch::CStateSwitch()
{
    Clear();
}

void CStateSwitch::Clear()
{
    Reset();
    for (int& n : m_nTarget) {
        n = -1;
    }
    m_nTargetLen = 0;
}

void CStateSwitch::Reset()
{
    m_bDone = 0;
    m_nMatched = -1;
    for (int& n : m_nInpSeq) {
        n = -1;
    }
    m_nInpSeqLen = 0;
    for (int i = 0; i < STATESWITCH_KEYS; i++) {
        m_Keys[i] = WATCHKEY{kWatched[i], 0};
    }
}

void CStateSwitch::AddTarget(int nVirtKey)
{
    if (m_nTargetLen < STATESWITCH_MAX) {
        m_nTarget[m_nTargetLen++] = nVirtKey;
    }
}

void CStateSwitch::Update()
{
    if (m_bDone) {
        return;
    }
    const int nInput = CInputState::GetInput(0);
    for (WATCHKEY& key : m_Keys) {
        if (!CKeyRecorder::IsKeyDown(nInput, key.nVirtKey)) {
            key.bLatch = 0;
        } else if (!key.bLatch) {
            key.bLatch = 1;
            Input(key.nVirtKey);
        }
    }
}

int CStateSwitch::DropCount() const
{
    const int n = m_nInpSeqLen;
    if (n == 0) {
        return 0;
    }
    const int nLast = m_nInpSeq[n - 1];
    if (m_nTarget[n - 1] == nLast) {
        return 0;
    }
    for (int d = 1; d < n; d++) {
        if (m_nTarget[n - 1 - d] == nLast) {
            return d;
        }
    }
    return n - 1;
}

void CStateSwitch::Drop(int nCount)
{
    assert(m_nInpSeqLen - nCount >= 0 && "m_nInpSeqLen >= 0");
    if (nCount > m_nInpSeqLen) {
        nCount = m_nInpSeqLen;
    }
    memmove(m_nInpSeq, m_nInpSeq + nCount, sizeof(int) * (size_t)(m_nInpSeqLen - nCount));
    m_nInpSeqLen -= nCount;
    for (int i = m_nInpSeqLen; i < STATESWITCH_MAX; i++) {
        m_nInpSeq[i] = -1;
    }
}

void CStateSwitch::Input(int nVirtKey)
{
    if (m_bDone || m_nMatched + 1 < 0 || m_nMatched + 1 >= m_nTargetLen) {
        return;
    }
    if (m_nInpSeqLen < STATESWITCH_MAX) {
        m_nInpSeq[m_nInpSeqLen++] = nVirtKey;
    }
    Drop(DropCount());
    while (m_nInpSeqLen > 0) {
        bool bMatch = true;
        for (int j = 0; j < m_nInpSeqLen && bMatch; j++) {
            bMatch = m_nInpSeq[j] == m_nTarget[j];
        }
        if (bMatch) {
            break;
        }
        Drop(1);
        Drop(DropCount());
    }
    m_nMatched = m_nInpSeqLen - 1;
    if (m_nMatched == m_nTargetLen - 1) {
        m_bDone = 1;
    }
}

void CStateSwitch::ForceDone()
{
    if (m_bDone || m_nTargetLen == 0) {
        return;
    }
    for (int i = 0; i < m_nTargetLen; i++) {
        Input(m_nTarget[i]);
    }
}
