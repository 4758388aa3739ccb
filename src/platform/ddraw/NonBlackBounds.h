// Where a picture is not black: for each row the columns from its first to its last pixel whose
// colour (alpha aside) is not black, and the rectangle around them all. Added with ONE/ONE, a black
// texel adds nothing, so an additive draw needs to visit only these.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ddraw/PixelFormat.h"

class CNonBlackBounds {
public:
    // The bounds of a plane of a colour kind.
    void Build(const uint8_t* pBits, long lPitch, int nWidth, int nHeight, PIXELKIND eKind);
    void Clear();
    bool IsBuilt() const { return m_bBuilt; }
    // Columns [RowLeft, RowRight) of row y hold every pixel of it that is not black; both are 0
    // when the whole row is black.
    int RowLeft(int y) const { return m_rowLeft[(size_t)y]; }
    int RowRight(int y) const { return m_rowRight[(size_t)y]; }
    // The rectangle [Left, Right) x [Top, Bottom) around every pixel that is not black; empty
    // (all four 0) when the picture is black.
    int Left() const { return m_nLeft; }
    int Top() const { return m_nTop; }
    int Right() const { return m_nRight; }
    int Bottom() const { return m_nBottom; }
    bool IsBlack() const { return m_nRight == 0; }
    // Whether every row's bounds are the whole row: nothing is black at any row's ends.
    bool IsFull() const { return m_bFull; }

private:
    std::vector<uint16_t> m_rowLeft, m_rowRight;
    int m_nLeft = 0, m_nTop = 0, m_nRight = 0, m_nBottom = 0;
    bool m_bFull = false;
    bool m_bBuilt = false;
};
