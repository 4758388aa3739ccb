#include "platform/ddraw/PendingFill.h"

#include <algorithm>
#include <cstring>

namespace {

// nBytes (a multiple of 2) from pDst on, with the pixel value repeated in qPattern.
void FillBytes(uint8_t* pDst, size_t nBytes, uint64_t qPattern)
{
    size_t i = 0;
    for (; i + 16 <= nBytes; i += 16) {
        std::memcpy(pDst + i, &qPattern, 8);
        std::memcpy(pDst + i + 8, &qPattern, 8);
    }
    for (; i + 8 <= nBytes; i += 8) {
        std::memcpy(pDst + i, &qPattern, 8);
    }
    for (; i < nBytes; i += 2) {
        std::memcpy(pDst + i, reinterpret_cast<const uint8_t*>(&qPattern) + (i & 7), 2);
    }
}

uint64_t Pattern(uint32_t dwRaw, int nBpp)
{
    if (nBpp == 2) {
        return (uint64_t)(uint16_t)dwRaw * 0x0001000100010001ull;
    }
    return (uint64_t)dwRaw * 0x0000000100000001ull;
}

} // namespace

inline void CPendingFill::TileRect(int tx, int ty, int* pl, int* pt, int* pr, int* pb) const
{
    *pl = std::max(tx * kTileW, m_nLeft);
    *pt = std::max(ty * kTileH, m_nTop);
    *pr = std::min((tx + 1) * kTileW, m_nRight);
    *pb = std::min((ty + 1) * kTileH, m_nBottom);
}

void CPendingFill::FillRect(const BLTPLANE& plane, int l, int t, int r, int b) const
{
    if (l >= r) {
        return;
    }
    const int nBpp = BytesPerPixel(plane.eKind);
    const uint64_t qPattern = Pattern(m_dwRaw, nBpp);
    for (int y = t; y < b; y++) {
        FillBytes(plane.pBits + (long)y * plane.lPitch + (long)l * nBpp, (size_t)(r - l) * nBpp, qPattern);
    }
}

void CPendingFill::DoTile(const BLTPLANE& plane, int tx, int ty, int l, int t, int r, int b)
{
    int tl, tt, tr, tb;
    TileRect(tx, ty, &tl, &tt, &tr, &tb);
    l = std::max(l, tl);
    t = std::max(t, tt);
    r = std::min(r, tr);
    b = std::min(b, tb);
    if (l >= r || t >= b) {
        FillRect(plane, tl, tt, tr, tb);
    } else {
        // Above, below, and left and right of the hidden part.
        FillRect(plane, tl, tt, tr, t);
        FillRect(plane, tl, b, tr, tb);
        FillRect(plane, tl, t, l, b);
        FillRect(plane, r, t, tr, b);
    }
    m_waiting[(size_t)ty * m_nCols + tx] = 0;
    m_nWaiting--;
}

void CPendingFill::Defer(const BLTPLANE& plane, int l, int t, int r, int b, uint32_t dwRaw)
{
    if (l >= r || t >= b) {
        return;
    }
    if (m_nWaiting && (l > m_nLeft || t > m_nTop || r < m_nRight || b < m_nBottom)) {
        Apply(plane);
    }
    const int nCols = (plane.nWidth + kTileW - 1) / kTileW;
    const int nRows = (plane.nHeight + kTileH - 1) / kTileH;
    if (nCols != m_nCols || nRows != m_nRows) {
        m_nCols = nCols;
        m_nRows = nRows;
        m_waiting.assign((size_t)nCols * nRows, 0);
        m_colHidden.assign((size_t)nCols, 0);
    } else if (m_nWaiting) {
        std::fill(m_waiting.begin(), m_waiting.end(), 0);
    }
    m_nLeft = l;
    m_nTop = t;
    m_nRight = r;
    m_nBottom = b;
    m_dwRaw = dwRaw;
    m_nWaiting = 0;
    for (int ty = t / kTileH; ty <= (b - 1) / kTileH; ty++) {
        uint8_t* pRow = m_waiting.data() + (size_t)ty * m_nCols;
        for (int tx = l / kTileW; tx <= (r - 1) / kTileW; tx++) {
            pRow[tx] = 1;
            m_nWaiting++;
        }
    }
}

void CPendingFill::Apply(const BLTPLANE& plane)
{
    BeforeWrite(plane, m_nLeft, m_nTop, m_nRight, m_nBottom, false);
}

void CPendingFill::BeforeWrite(const BLTPLANE& plane, int l, int t, int r, int b, bool bOpaque)
{
    l = std::max(l, m_nLeft);
    t = std::max(t, m_nTop);
    r = std::min(r, m_nRight);
    b = std::min(b, m_nBottom);
    if (l >= r || t >= b) {
        return;
    }
    if (!m_nWaiting) {
        return;
    }
    // A write that is not opaque hides nothing: its tiles are done whole.
    const int hl = bOpaque ? l : 0, ht = bOpaque ? t : 0, hr = bOpaque ? r : 0, hb = bOpaque ? b : 0;
    // A tile is hidden whole where its column of tiles and its row of tiles both lie within the
    // hidden part: the columns are worked out once, not for every tile of a write over many rows.
    const int tx0 = l / kTileW, tx1 = (r - 1) / kTileW;
    for (int tx = tx0; tx <= tx1; tx++) {
        const int tl = std::max(tx * kTileW, m_nLeft), tr = std::min((tx + 1) * kTileW, m_nRight);
        m_colHidden[(size_t)tx] = hl <= tl && tr <= hr;
    }
    for (int ty = t / kTileH; ty <= (b - 1) / kTileH && m_nWaiting; ty++) {
        uint8_t* pRow = m_waiting.data() + (size_t)ty * m_nCols;
        const int tt = std::max(ty * kTileH, m_nTop), tb = std::min((ty + 1) * kTileH, m_nBottom);
        const bool bRowHidden = ht <= tt && tb <= hb;
        for (int tx = tx0; tx <= tx1; tx++) {
            if (!pRow[tx]) {
                continue;
            }
            if (bRowHidden && m_colHidden[(size_t)tx]) {
                pRow[tx] = 0;  // hidden whole
                m_nWaiting--;
            } else {
                DoTile(plane, tx, ty, hl, ht, hr, hb);
            }
        }
    }
}

bool CPendingFill::IsWaiting(int x, int y) const
{
    return m_nWaiting && x >= m_nLeft && x < m_nRight && y >= m_nTop && y < m_nBottom &&
           m_waiting[(size_t)(y / kTileH) * m_nCols + x / kTileW];
}

bool CPendingFill::IsAllWaiting(int l, int t, int r, int b) const
{
    if (!m_nWaiting || l < m_nLeft || t < m_nTop || r > m_nRight || b > m_nBottom) {
        return false;
    }
    if (l >= r || t >= b) {
        return true;
    }
    for (int ty = t / kTileH; ty <= (b - 1) / kTileH; ty++) {
        const uint8_t* pRow = m_waiting.data() + (size_t)ty * m_nCols;
        for (int tx = l / kTileW; tx <= (r - 1) / kTileW; tx++) {
            if (!pRow[tx]) {
                return false;
            }
        }
    }
    return true;
}
