#include "pack/teskLZSS.h"

#include <cstring>

#include "rvm/rvm_stl.h"

namespace {
const int kRingMask = LZSS_RING_SIZE - 1;
const int kStart = LZSS_RING_SIZE - LZSS_LOOKAHEAD;   // 4078
}

CTeskLZSS::CTeskLZSS() : m_nMatchPos(0), m_nMatchLen(0)
{
    memset(m_Ring, 0, sizeof(m_Ring));
    InitTree();
}

int CTeskLZSS::Decode(const uint8_t* pIn, uint32_t nInSize, uint8_t* pOut, uint32_t nOutSize)
{
    if (nOutSize == 0)
        return LZSS_EMPTY;
    memset(m_Ring, 0, sizeof(m_Ring));
    uint32_t nIn = 0, nOut = 0;
    int r = kStart;
    unsigned int flags = 0;
    while (nOut < nOutSize) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            if (nIn >= nInSize)
                return LZSS_TRUNCATED;
            flags = pIn[nIn++] | 0xFF00;
        }
        if (flags & 1) {
            if (nIn >= nInSize)
                return LZSS_TRUNCATED;
            uint8_t c = pIn[nIn++];
            pOut[nOut++] = c;
            m_Ring[r] = c;
            r = (r + 1) & kRingMask;
            continue;
        }
        if (nIn + 2 > nInSize)
            return LZSS_TRUNCATED;
        int b0 = pIn[nIn], b1 = pIn[nIn + 1];
        nIn += 2;
        int pos = b0 | ((b1 & 0xF0) << 4);
        int len = (b1 & 0x0F) + LZSS_THRESHOLD + 1;
        for (int k = 0; k < len && nOut < nOutSize; k++) {
            // Bytes enter the ring at once, so a reference may overlap its own output.
            uint8_t c = m_Ring[(pos + k) & kRingMask];
            pOut[nOut++] = c;
            m_Ring[r] = c;
            r = (r + 1) & kRingMask;
        }
    }
    return LZSS_OK;
}

int CTeskLZSS::Decode(const uint8_t* pIn, uint32_t nInSize, rvm::vector<uint8_t>& out, uint32_t nOutSize)
{
    if (nOutSize == 0)
        return LZSS_EMPTY;
    out.assign(nOutSize, 0);
    int nResult = Decode(pIn, nInSize, out.data(), nOutSize);
    if (nResult != LZSS_OK)
        out.clear();
    return nResult;
}

void CTeskLZSS::InitTree()
{
    for (int i = LZSS_RING_SIZE + 1; i <= LZSS_RING_SIZE + 256; i++)
        m_nRight[i] = LZSS_NIL;
    for (int i = 0; i < LZSS_RING_SIZE; i++)
        m_nParent[i] = LZSS_NIL;
}

// Inserts the string at ring position r into the tree of its first byte and records the longest
// match; a full-length match replaces the old node, which can never be the longer one again.
void CTeskLZSS::InsertNode(int r)
{
    const uint8_t* key = &m_Ring[r];
    int p = LZSS_RING_SIZE + 1 + key[0];
    int cmp = 1;
    m_nRight[r] = m_nLeft[r] = LZSS_NIL;
    m_nMatchLen = 0;
    for (;;) {
        if (cmp >= 0) {
            if (m_nRight[p] == LZSS_NIL) {
                m_nRight[p] = r;
                m_nParent[r] = p;
                return;
            }
            p = m_nRight[p];
        } else {
            if (m_nLeft[p] == LZSS_NIL) {
                m_nLeft[p] = r;
                m_nParent[r] = p;
                return;
            }
            p = m_nLeft[p];
        }
        int i = 1;
        for (; i < LZSS_LOOKAHEAD; i++) {
            cmp = key[i] - m_Ring[p + i];
            if (cmp != 0)
                break;
        }
        if (i > m_nMatchLen) {
            m_nMatchPos = p;
            m_nMatchLen = i;
            if (i >= LZSS_LOOKAHEAD)
                break;
        }
    }
    m_nParent[r] = m_nParent[p];
    m_nLeft[r] = m_nLeft[p];
    m_nRight[r] = m_nRight[p];
    m_nParent[m_nLeft[p]] = r;
    m_nParent[m_nRight[p]] = r;
    if (m_nRight[m_nParent[p]] == p)
        m_nRight[m_nParent[p]] = r;
    else
        m_nLeft[m_nParent[p]] = r;
    m_nParent[p] = LZSS_NIL;
}

void CTeskLZSS::DeleteNode(int p)
{
    if (m_nParent[p] == LZSS_NIL)
        return;
    int q;
    if (m_nRight[p] == LZSS_NIL) {
        q = m_nLeft[p];
    } else if (m_nLeft[p] == LZSS_NIL) {
        q = m_nRight[p];
    } else {
        q = m_nLeft[p];
        if (m_nRight[q] != LZSS_NIL) {
            do {
                q = m_nRight[q];
            } while (m_nRight[q] != LZSS_NIL);
            m_nRight[m_nParent[q]] = m_nLeft[q];
            m_nParent[m_nLeft[q]] = m_nParent[q];
            m_nLeft[q] = m_nLeft[p];
            m_nParent[m_nLeft[p]] = q;
        }
        m_nRight[q] = m_nRight[p];
        m_nParent[m_nRight[p]] = q;
    }
    m_nParent[q] = m_nParent[p];
    if (m_nRight[m_nParent[p]] == p)
        m_nRight[m_nParent[p]] = q;
    else
        m_nLeft[m_nParent[p]] = q;
    m_nParent[p] = LZSS_NIL;
}

int CTeskLZSS::Encode(const uint8_t* pIn, uint32_t nInSize, rvm::vector<uint8_t>* pOut, uint32_t* pnCompSize)
{
    if (pnCompSize)
        *pnCompSize = 0;
    if (pOut)
        pOut->clear();
    if (nInSize < 17)
        return 1;
    const uint32_t nLimit = nInSize - 8;
    if (pOut)
        pOut->reserve(nLimit);

    InitTree();
    memset(m_Ring, 0, sizeof(m_Ring));
    uint8_t group[17];
    int nGroupLen = 1;
    uint8_t mask = 1;
    group[0] = 0;
    uint32_t nCompSize = 0;
    uint32_t nRead = 0;
    int s = 0, r = kStart;

    int len = 0;
    while (len < LZSS_LOOKAHEAD && nRead < nInSize)
        m_Ring[r + len++] = pIn[nRead++];
    for (int i = 1; i <= LZSS_LOOKAHEAD; i++)
        InsertNode(r - i);
    InsertNode(r);

    do {
        if (m_nMatchLen > len)
            m_nMatchLen = len;
        if (m_nMatchLen <= LZSS_THRESHOLD) {
            m_nMatchLen = 1;
            group[0] |= mask;
            group[nGroupLen++] = m_Ring[r];
        } else {
            group[nGroupLen++] = (uint8_t)m_nMatchPos;
            group[nGroupLen++] = (uint8_t)(((m_nMatchPos >> 4) & 0xF0) | (m_nMatchLen - (LZSS_THRESHOLD + 1)));
        }
        mask = (uint8_t)(mask << 1);
        if (mask == 0) {
            nCompSize += nGroupLen;
            if (nCompSize >= nLimit) {
                if (pOut)
                    pOut->clear();
                return 1;
            }
            if (pOut)
                pOut->insert(pOut->end(), group, group + nGroupLen);
            group[0] = 0;
            nGroupLen = 1;
            mask = 1;
        }
        int nLastLen = m_nMatchLen;
        int i = 0;
        for (; i < nLastLen && nRead < nInSize; i++) {
            uint8_t c = pIn[nRead++];
            DeleteNode(s);
            m_Ring[s] = c;
            if (s < LZSS_LOOKAHEAD - 1)
                m_Ring[s + LZSS_RING_SIZE] = c;
            s = (s + 1) & kRingMask;
            r = (r + 1) & kRingMask;
            InsertNode(r);
        }
        while (i++ < nLastLen) {
            DeleteNode(s);
            s = (s + 1) & kRingMask;
            r = (r + 1) & kRingMask;
            if (--len)
                InsertNode(r);
        }
    } while (len > 0);

    if (nGroupLen > 1) {
        if (nCompSize + nGroupLen >= nLimit) {
            if (pOut)
                pOut->clear();
            return 1;
        }
        nCompSize += nGroupLen;
        if (pOut)
            pOut->insert(pOut->end(), group, group + nGroupLen);
    }
    if (pnCompSize)
        *pnCompSize = nCompSize;
    return 0;
}
