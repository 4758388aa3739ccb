#include "effect/EffectRandom.h"

void CSubtractiveRandom::Seed(uint32_t nSeed)
{
    m_nTable[54] = nSeed;
    uint32_t j = nSeed;
    uint32_t k = 1;
    for (uint32_t n = 1; n <= 54; n++) {
        const uint32_t m = (21 * n) % 55;
        m_nTable[m - 1] = k;
        k = j - k;
        j = m_nTable[m - 1];
    }
    for (int nPass = 0; nPass < 4; nPass++) {
        for (uint32_t m = 0; m < 55; m++)
            m_nTable[m] -= m_nTable[(m + 31) % 55];
    }
    m_nI = 0;
    m_nJ = 31;
    m_bSeeded = 1;
}

uint32_t CSubtractiveRandom::Next()
{
    m_nI = (m_nI + 1) % 55;
    m_nJ = (m_nJ + 1) % 55;
    m_nTable[m_nI] -= m_nTable[m_nJ];
    return m_nTable[m_nI];
}
