// The run form of a colour-keyed picture: for each row, the spans of pixels that are not key
// colour; a keyed blit at the same scale copies these and never looks at the key runs. Blits of
// whole rows also get the spans as lists of fixed-size moves made for the destination's pitch,
// which copy without a branch per span.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ddraw/BltCore.h"

struct KEYSPAN {
    uint16_t nLeft, nRight;  // columns [nLeft, nRight) of the row
};


// The move sizes: 16, 8, 4 and 2 bytes.
constexpr int kMoveSizeCount = 4;

class CKeySpans {
public:
    // The spans of the whole plane for keys [dwKeyLow, dwKeyHigh] (raw pixel values).
    void Build(const BLTPLANE& src, uint32_t dwKeyLow, uint32_t dwKeyHigh);
    // Makes the moves of the plane's spans for destinations of pitch lDstPitch, unless they are
    // made already.
    void PrepareMoves(const BLTPLANE& src, long lDstPitch);
    void Clear();
    bool IsFor(uint32_t dwKeyLow, uint32_t dwKeyHigh) const
    {
        return m_bBuilt && dwKeyLow == m_dwKeyLow && dwKeyHigh == m_dwKeyHigh;
    }
    // Row y's spans are Spans()[RowStarts()[y]] up to Spans()[RowStarts()[y + 1]].
    const uint32_t* RowStarts() const { return m_rowFirst.data(); }
    const KEYSPAN* Spans() const { return m_spans.data(); }
    bool HasMovesFor(long lDstPitch) const { return m_lMovesPitch == lDstPitch; }
    // Moves of size class c (16 >> c bytes): the destination offset of each (in bytes, from the
    // pixel where the source's pixel (0, 0) lands) and the bytes it moves, one move after the
    // other. Source row y's moves start at index MoveFirst(c, y).
    uint32_t MoveFirst(int c, int y) const { return m_moveFirst[c][(size_t)y]; }
    const uint32_t* MoveTargets(int c) const { return m_moveDst[c].data(); }
    const uint8_t* MoveBytes(int c) const { return m_moveBytes[c].data(); }

private:
    void AddMoves(const uint8_t* pSrc, uint32_t nDst, int nBytes);

    std::vector<uint32_t> m_rowFirst;  // index of each row's first span, and one past the last row's
    std::vector<KEYSPAN> m_spans;
    int m_nBpp = 0;
    uint32_t m_dwKeyLow = 0, m_dwKeyHigh = 0;
    bool m_bBuilt = false;
    // Moves by size, each size in row order, with the index of each row's first move.
    std::vector<uint32_t> m_moveDst[kMoveSizeCount];
    std::vector<uint8_t> m_moveBytes[kMoveSizeCount];
    std::vector<uint32_t> m_moveFirst[kMoveSizeCount];
    long m_lMovesPitch = 0;  // 0: no moves made
};

// A keyed blit of the job through the source's spans: the same pixels as RunBlt. Serves jobs at the
// same scale, without left-right mirroring, between planes of one kind (BltServedBySpans).
bool BltServedBySpans(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job);
// Whether the job copies whole source rows top down, where moves serve it.
bool BltCopiesWholeRows(const BLTPLANE& src, const BLTJOB& job);
void RunBltSpans(const BLTPLANE& dst, const BLTPLANE& src, const BLTJOB& job, const CKeySpans& spans);
