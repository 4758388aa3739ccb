// A fill of a surface not yet done. A frame's clear is mostly hidden at once by an opaque blit
// (the far background), and most of a depth buffer is never drawn on: the fill waits, in tiles,
// until something reads or writes those pixels, and is dropped where an opaque write hides it
// first. Every path that touches the pixels asks it first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ddraw/BltCore.h"

class CPendingFill {
public:
    // Tile size in pixels: a tile waits or is done whole.
    static constexpr int kTileW = 32;
    static constexpr int kTileH = 16;

    bool IsEmpty() const { return m_nWaiting == 0; }
    // Waits with a fill of [l, r) x [t, b) (inside the plane) by dwRaw. A fill still waiting that the
    // new one does not hide whole is done first.
    void Defer(const BLTPLANE& plane, int l, int t, int r, int b, uint32_t dwRaw);
    // Does all that waits.
    void Apply(const BLTPLANE& plane);
    // Before [l, r) x [t, b) is written or read: bOpaque when every pixel of it is written. What an
    // opaque write hides stops waiting; the rest of the tiles it touches is done now.
    void BeforeWrite(const BLTPLANE& plane, int l, int t, int r, int b, bool bOpaque);
    // Whether pixel (x, y) still waits for the fill.
    bool IsWaiting(int x, int y) const;
    // Whether every pixel of [l, r) x [t, b) waits for a fill by dwRaw.
    bool IsAllWaiting(int l, int t, int r, int b, uint32_t dwRaw) const
    {
        return dwRaw == m_dwRaw && IsAllWaiting(l, t, r, b);
    }
    // The same for a fill by any value.
    bool IsAllWaiting(int l, int t, int r, int b) const;

private:
    // The part of tile (tx, ty) the fill covers.
    void TileRect(int tx, int ty, int* pl, int* pt, int* pr, int* pb) const;
    void FillRect(const BLTPLANE& plane, int l, int t, int r, int b) const;
    // Fills the waiting part of tile (tx, ty) outside [l, r) x [t, b) (an empty rectangle: all of it)
    // and ends its wait.
    void DoTile(const BLTPLANE& plane, int tx, int ty, int l, int t, int r, int b);

    std::vector<uint8_t> m_waiting;  // one per tile, row by row; 1 while it waits
    std::vector<uint8_t> m_colHidden;  // BeforeWrite's: per column of tiles, whether it is hidden
    int m_nCols = 0, m_nRows = 0;
    int m_nWaiting = 0;  // tiles waiting
    int m_nLeft = 0, m_nTop = 0, m_nRight = 0, m_nBottom = 0;  // the fill's rectangle
    uint32_t m_dwRaw = 0;
};
