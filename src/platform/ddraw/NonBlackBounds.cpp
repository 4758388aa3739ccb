#include "platform/ddraw/NonBlackBounds.h"

#include <algorithm>

#include "platform/ddraw/PixelRow.h"

void CNonBlackBounds::Clear()
{
    m_rowLeft.clear();
    m_rowRight.clear();
    m_nLeft = m_nTop = m_nRight = m_nBottom = 0;
    m_bFull = false;
    m_bBuilt = false;
}

void CNonBlackBounds::Build(const uint8_t* pBits, long lPitch, int nWidth, int nHeight, PIXELKIND eKind)
{
    Clear();
    const int nBpp = BytesPerPixel(eKind);
    const uint32_t* pTable = nBpp == 2 ? ArgbTable16(eKind) : nullptr;
    m_rowLeft.assign((size_t)nHeight, 0);
    m_rowRight.assign((size_t)nHeight, 0);
    int nLeft = nWidth, nRight = 0, nTop = nHeight, nBottom = 0;
    bool bFull = true;
    for (int y = 0; y < nHeight; y++) {
        const uint8_t* pRow = pBits + (long)y * lPitch;
        int nFirst = -1, nLast = -1;
        for (int x = 0; x < nWidth; x++) {
            const uint32_t v = ReadRowPixel(pRow, x, nBpp);
            const uint32_t dwArgb = pTable ? pTable[v] : DecodeArgb(eKind, v);
            if (dwArgb & 0x00FFFFFFu) {
                nFirst = nFirst < 0 ? x : nFirst;
                nLast = x;
            }
        }
        bFull = bFull && nFirst == 0 && nLast == nWidth - 1;
        if (nFirst < 0) {
            continue;
        }
        m_rowLeft[(size_t)y] = (uint16_t)nFirst;
        m_rowRight[(size_t)y] = (uint16_t)(nLast + 1);
        nLeft = std::min(nLeft, nFirst);
        nRight = std::max(nRight, nLast + 1);
        nTop = std::min(nTop, y);
        nBottom = y + 1;
    }
    if (nRight > 0) {
        m_nLeft = nLeft;
        m_nTop = nTop;
        m_nRight = nRight;
        m_nBottom = nBottom;
    }
    m_bFull = bFull;
    m_bBuilt = true;
}
