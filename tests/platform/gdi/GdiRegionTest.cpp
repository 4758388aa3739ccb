// Polygon regions: which pixels a polygon holds, and how shared edges split.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "platform/gdi/Gdi.h"

namespace {

using QUAD = std::array<POINT, 4>;

QUAD Quad(LONG x0, LONG y0, LONG x1, LONG y1, LONG x2, LONG y2, LONG x3, LONG y3)
{
    return QUAD{POINT{x0, y0}, POINT{x1, y1}, POINT{x2, y2}, POINT{x3, y3}};
}

HRGN Rgn(const QUAD& q, int iMode = WINDING) { return CreatePolygonRgn(q.data(), 4, iMode); }

int AndKind(HRGN a, HRGN b)
{
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    const int nKind = CombineRgn(r, a, b, RGN_AND);
    DeleteObject(r);
    return nKind;
}

TEST(GdiRegion, ASquareHoldsItsTopLeftEdgesButNotItsBottomRight)
{
    HRGN h = Rgn(Quad(0, 0, 10, 0, 10, 10, 0, 10));
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(PtInRegion(h, 0, 0));
    EXPECT_TRUE(PtInRegion(h, 9, 9));
    EXPECT_FALSE(PtInRegion(h, 10, 5));
    EXPECT_FALSE(PtInRegion(h, 5, 10));
    EXPECT_FALSE(PtInRegion(h, -1, 5));
    RECT rc = {};
    EXPECT_EQ(GetRgnBox(h, &rc), SIMPLEREGION);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 10);
    EXPECT_EQ(rc.bottom, 10);
    DeleteObject(h);
}

TEST(GdiRegion, QuadsSharingAnEdgeSplitItsPixelsExactlyOnce)
{
    // A slanted shared edge from (7, 0) to (3, 10): pixel centres fall on it at some rows.
    const QUAD a = Quad(0, 0, 7, 0, 3, 10, 0, 10);
    const QUAD b = Quad(7, 0, 20, 0, 20, 10, 3, 10);
    HRGN ha = Rgn(a), hb = Rgn(b);
    for (int y = -1; y <= 10; y++) {
        for (int x = -1; x <= 20; x++) {
            const int n = (PtInRegion(ha, x, y) ? 1 : 0) + (PtInRegion(hb, x, y) ? 1 : 0);
            const bool bInRect = x >= 0 && x < 20 && y >= 0 && y < 10;
            EXPECT_EQ(n, bInRect ? 1 : 0) << x << "," << y;
        }
    }
    EXPECT_EQ(AndKind(ha, hb), NULLREGION);
    EXPECT_FALSE(PolygonsShareAPixel(a.data(), 4, b.data(), 4, WINDING));
    HRGN hu = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(hu, ha, hb, RGN_OR), SIMPLEREGION);
    RECT rc = {};
    GetRgnBox(hu, &rc);
    EXPECT_EQ(rc.right, 20);
    EXPECT_EQ(rc.bottom, 10);
    DeleteObject(hu);
    DeleteObject(ha);
    DeleteObject(hb);
}

TEST(GdiRegion, TouchingCornersOrEdgesDoNotOverlapButOnePixelDoes)
{
    const QUAD a = Quad(0, 0, 10, 0, 10, 10, 0, 10);
    const QUAD right = Quad(10, 0, 20, 0, 20, 10, 10, 10);
    const QUAD below = Quad(0, 10, 10, 10, 10, 20, 0, 20);
    const QUAD corner = Quad(10, 10, 20, 10, 20, 20, 10, 20);
    const QUAD into = Quad(9, 9, 20, 9, 20, 20, 9, 20);
    HRGN ha = Rgn(a);
    for (const QUAD* q : {&right, &below, &corner}) {
        HRGN hq = Rgn(*q);
        EXPECT_EQ(AndKind(ha, hq), NULLREGION);
        EXPECT_FALSE(PolygonsShareAPixel(a.data(), 4, q->data(), 4, WINDING));
        DeleteObject(hq);
    }
    HRGN hi = Rgn(into);
    EXPECT_EQ(AndKind(ha, hi), SIMPLEREGION);
    EXPECT_TRUE(PolygonsShareAPixel(a.data(), 4, into.data(), 4, WINDING));
    DeleteObject(hi);
    DeleteObject(ha);
}

TEST(GdiRegion, VertexOrderDoesNotMatter)
{
    const QUAD cw = Quad(2, 1, 17, 4, 13, 15, 0, 11);
    const QUAD ccw = Quad(0, 11, 13, 15, 17, 4, 2, 1);
    HRGN a = Rgn(cw), b = Rgn(ccw);
    HRGN x = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(x, a, b, RGN_XOR), NULLREGION);
    DeleteObject(x);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(GdiRegion, WindingFillsWhatAlternateLeavesOpen)
{
    // A square walked twice: winding number 2 inside.
    const POINT twice[8] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
    HRGN w = CreatePolygonRgn(twice, 8, WINDING);
    HRGN alt = CreatePolygonRgn(twice, 8, ALTERNATE);
    EXPECT_TRUE(PtInRegion(w, 5, 5));
    EXPECT_FALSE(PtInRegion(alt, 5, 5));
    EXPECT_TRUE(PtInPolygon(twice, 8, WINDING, 5, 5));
    EXPECT_FALSE(PtInPolygon(twice, 8, ALTERNATE, 5, 5));
    DeleteObject(w);
    DeleteObject(alt);
}

TEST(GdiRegion, CombinationsMayOverwriteTheirSources)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    EXPECT_EQ(CombineRgn(a, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(a, 4, 9));
    EXPECT_FALSE(PtInRegion(a, 5, 5));
    EXPECT_TRUE(PtInRegion(a, 9, 4));
    EXPECT_EQ(CombineRgn(b, a, nullptr, RGN_COPY), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(b, 0, 0));
    EXPECT_EQ(CombineRgn(b, a, nullptr, RGN_AND), ERROR);
    EXPECT_EQ(CombineRgn(nullptr, a, b, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(b, a, b, 9), ERROR);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(GdiRegion, UnusablePolygonsGiveNoRegion)
{
    const QUAD huge = Quad(0, 0, 10, 0, 10, 200000, 0, 200000);
    const QUAD far = Quad(0, 0, 1 << 28, 0, 1 << 28, 10, 0, 10);
    EXPECT_EQ(Rgn(huge), nullptr);
    EXPECT_EQ(Rgn(far), nullptr);
    EXPECT_EQ(CreatePolygonRgn(huge.data(), 1, WINDING), nullptr);
    EXPECT_EQ(CreatePolygonRgn(nullptr, 4, WINDING), nullptr);
    EXPECT_EQ(CreatePolygonRgn(huge.data(), 4, 0), nullptr);
    EXPECT_FALSE(PolygonsShareAPixel(huge.data(), 4, huge.data(), 4, WINDING));
    EXPECT_FALSE(PtInRegion(nullptr, 0, 0));
    RECT rc;
    EXPECT_EQ(GetRgnBox(nullptr, &rc), ERROR);
    // Degenerate but valid: a flat quad has no pixels.
    HRGN flat = Rgn(Quad(0, 5, 10, 5, 10, 5, 0, 5));
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(GetRgnBox(flat, &rc), NULLREGION);
    DeleteObject(flat);
}

// The allocation-free tests answer as the regions do, for many arbitrary quads.
TEST(GdiRegion, DirectTestsAgreeWithRegions)
{
    uint32_t seed = 12345;
    auto Next = [&seed](int n) {
        seed = seed * 214013u + 2531011u;
        return static_cast<LONG>((seed >> 16) % static_cast<uint32_t>(n));
    };
    for (int k = 0; k < 200; k++) {
        QUAD a, b;
        for (POINT& p : a) {
            p = POINT{Next(24) - 2, Next(24) - 2};
        }
        for (POINT& p : b) {
            p = POINT{Next(24) - 2, Next(24) - 2};
        }
        HRGN ha = Rgn(a), hb = Rgn(b);
        ASSERT_NE(ha, nullptr);
        EXPECT_EQ(PolygonsShareAPixel(a.data(), 4, b.data(), 4, WINDING) != 0, AndKind(ha, hb) != NULLREGION) << k;
        for (int y = -3; y < 23; y++) {
            for (int x = -3; x < 23; x++) {
                ASSERT_EQ(PtInPolygon(a.data(), 4, WINDING, x, y) != 0, PtInRegion(ha, x, y) != 0)
                    << k << ": " << x << "," << y;
            }
        }
        DeleteObject(ha);
        DeleteObject(hb);
    }
}

}  // namespace
