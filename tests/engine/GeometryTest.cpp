#include <gtest/gtest.h>

#include <cmath>

#include <cstdio>
#include <sys/stat.h>
#include <vector>

#include "engine/BmpIndex.h"
#include "engine/DebugPrim.h"
#include "engine/FPSChar.h"
#include "engine/Geometry.h"
#include "engine/Util.h"
#include "engine/WinMain.h"
#include "support/DeviceFixture.h"

namespace {

void MakeQuad(D3DVECTOR* q, float l, float t, float r, float b)
{
    q[0] = D3DVECTOR{{l}, {t}, {0.0f}};
    q[1] = D3DVECTOR{{r}, {t}, {0.0f}};
    q[2] = D3DVECTOR{{r}, {b}, {0.0f}};
    q[3] = D3DVECTOR{{l}, {b}, {0.0f}};
}

} // namespace

TEST(Geometry, RectanglesAndQuadsAtSharedEdges)
{
    EXPECT_EQ(IsRectOverlap(RECT{0, 0, 10, 10}, RECT{10, 0, 20, 10}), 0);
    EXPECT_EQ(IsRectOverlap(RECT{0, 0, 10, 10}, RECT{9, 9, 20, 20}), 1);
    EXPECT_EQ(IsPointInRect(RECT{0, 0, 10, 10}, 10.0f, 5.0f), 1);
    EXPECT_EQ(IsPointInRect(RECT{0, 0, 10, 10}, 10.5f, 5.0f), 0);

    D3DVECTOR a[4], b[4], c[4];
    MakeQuad(a, 0, 0, 10, 10);
    MakeQuad(b, 10, 0, 20, 10);
    MakeQuad(c, 9, 9, 20, 20);
    EXPECT_EQ(IsQuadOverlap(a, b), 0);  // only an edge in common
    EXPECT_EQ(IsQuadOverlap(a, c), 1);
    // A point on the shared edge belongs to exactly one of the two quads.
    EXPECT_EQ(IsPointInQuad(a, 10.0f, 5.0f) + IsPointInQuad(b, 10.0f, 5.0f), 1);
    EXPECT_EQ(IsPointInQuad(a, 0.0f, 0.0f), 1);
    RECT rc;
    MakeQuad(a, -1.5f, 2.7f, 10.9f, 20.2f);
    GetQuadRect(&rc, a);
    EXPECT_EQ(rc.left, -1);
    EXPECT_EQ(rc.top, 2);
    EXPECT_EQ(rc.right, 10);
    EXPECT_EQ(rc.bottom, 20);
    EXPECT_FLOAT_EQ(Vec2Length(3.0f, 4.0f), 5.0f);
    // A box flung far out of the world by a tuning value: its corners stop at the int limit, a
    // NaN corner is 0, and overlap tests still answer.
    MakeQuad(a, -3.0e9f, 2.2e9f, 1.0e30f, 5.0e9f);
    GetQuadRect(&rc, a);
    EXPECT_EQ(rc.left, -FLOAT_TO_INT_LIMIT);
    EXPECT_EQ(rc.top, FLOAT_TO_INT_LIMIT);
    EXPECT_EQ(rc.right, FLOAT_TO_INT_LIMIT);
    EXPECT_EQ(rc.bottom, FLOAT_TO_INT_LIMIT);
    MakeQuad(b, 0.0f, 0.0f, 10.0f, 10.0f);
    EXPECT_EQ(IsQuadOverlap(a, b), 0);
    b[1].x = b[2].x = std::nanf("");
    GetQuadRect(&rc, b);
    EXPECT_EQ(rc.right, 0);
}

TEST(Geometry, CellMasks)
{
    CELLMASK m;
    GetRectCellMask(&m, RECT{0, 0, 16, 16});
    EXPECT_EQ(m.dwCols[0], 3u);
    EXPECT_EQ(m.dwRows[0], 3u);
    GetRectCellMask(&m, RECT{-30, -30, 5, 5});
    EXPECT_EQ(m.dwCols[0], 1u);
    EXPECT_EQ(m.dwRows[0], 1u);
    GetRectCellMask(&m, RECT{700, 600, 900, 900});  // clamped to 768 x 608: columns 43..48, rows 37, 38
    EXPECT_EQ(m.dwCols[1], (1u << 11) | (1u << 12) | (1u << 13) | (1u << 14) | (1u << 15) | (1u << 16));
    EXPECT_EQ(m.dwRows[1], (1u << 5) | (1u << 6));
    GetPointCellMask(&m, 15.6f, 0.0f);
    EXPECT_EQ(m.dwCols[0], 2u);
    GetPointCellMask(&m, -3.0f, 5.0f);
    EXPECT_EQ(m.dwCols[0] | m.dwCols[1] | m.dwRows[0] | m.dwRows[1], 0u);
    GetPointCellMask(&m, 5000.0f, 5.0f);  // beyond 64 columns: no bit, no undefined shift
    EXPECT_EQ(m.dwCols[0] | m.dwCols[1], 0u);
    CELLMASK p, q;
    GetPointCellMask(&p, 520.0f, 10.0f);
    GetRectCellMask(&q, RECT{512, 0, 530, 8});
    EXPECT_EQ(IsCellMaskOverlap(p, q), 1);
    GetPointCellMask(&p, 520.0f, 100.0f);
    EXPECT_EQ(IsCellMaskOverlap(p, q), 0);
}

TEST(Geometry, SegmentsAndNumbers)
{
    INTERSECTINFO r;
    EXPECT_EQ(IntersectSegments(0, 0, 10, 10, 0, 10, 10, 0, &r), 1);
    EXPECT_FLOAT_EQ(r.x, 5.0f);
    EXPECT_FLOAT_EQ(r.y, 5.0f);
    EXPECT_EQ(IntersectSegments(0, 0, 10, 10, 0, 1, 10, 11, &r), 0);
    EXPECT_EQ(IntersectSegments(0, 0, 0, 10, 5, 0, 5, 10, &r), 0);
    EXPECT_EQ(IntersectSegments(0, 5, 10, 5, 4, 0, 4, 10, &r), 1);
    EXPECT_FLOAT_EQ(r.x, 4.0f);
    EXPECT_EQ(IntersectSegments(0, 0, 10, 10, 20, 0, 30, -10, &r), 0);  // lines meet outside

    EXPECT_EQ(CoordToCell(-1.5f, 64), -1);
    EXPECT_EQ(CoordToCell(-1.5f, 32), 0);
    EXPECT_EQ(CoordToCell(130.0f, 64), 2);
    EXPECT_NEAR(RoundToTenth(0.25f), 0.3f, 1e-6);
    EXPECT_NEAR(RoundToTenth(-0.25f), -0.3f, 1e-6);
    EXPECT_NEAR(RoundToDigits(1.25f, 2), 1.3f, 1e-6);
    EXPECT_EQ(RoundToDigits(1.25f, -3), 0.0f);
    EXPECT_EQ(WrapIndex(-1, 8), 7);
    EXPECT_EQ(WrapIndex(-17, 8), 7);
    EXPECT_EQ(WrapIndex(9, 8), 1);
    EXPECT_EQ(LowestBitNumber(0), 0);
    EXPECT_EQ(LowestBitNumber(1), 1);
    EXPECT_EQ(LowestBitNumber(0x80000000u), 32);
    EXPECT_EQ(GetRowOffset(5), 32);
    EXPECT_EQ(GetRowOffset(8), 128);
    EXPECT_EQ(GetRowOffset(9), 0);
    EXPECT_EQ(CheckSpanCross(0, 0, 10, 1, 1), 0);
    EXPECT_EQ(CheckSpanCross(0, 0, 10, 0, 1), 1);
    EXPECT_EQ(CheckSpanCross(20, 20, 10, -1, 1), 0);
    EXPECT_EQ(CheckSpanCross(20, 5, 10, -1, 1), 1);
}

TEST(DebugPrim, LayersAndTheSwitch)
{
    CDebugPrim* p = CDebugPrim::GetInstance();
    p->ClearAll();
    const D3DVECTOR v = {{1.0f}, {2.0f}, {0.0f}};
    g_bDebugDisp = 0;
    p->AddPoint(1, v, 0xFFFFFFFF, 3.0f);
    EXPECT_TRUE(p->GetPoints(0).empty());
    g_bDebugDisp = 1;
    p->AddPoint(0x300, v, 0xFFFFFFFF, 3.0f);
    p->AddPoint(384, v, 0xFFFFFFFF, 3.0f);
    p->AddPoint(1024, v, 0xFFFFFFFF, 3.0f);
    p->AddPoint(0, v, 0xFFFFFFFF, 3.0f);
    EXPECT_EQ(p->GetPoints(9).size(), 1u);
    EXPECT_EQ(p->GetPoints(8).size(), 1u);
    D3DVECTOR q[4];
    MakeQuad(q, 0, 0, 4, 4);
    p->AddQuad(1, q, 0xFF00FF00, 1.0f);
    ASSERT_EQ(p->GetLines(0).size(), 4u);
    EXPECT_FLOAT_EQ(p->GetLines(0)[3].x0, 0.0f);
    EXPECT_FLOAT_EQ(p->GetLines(0)[3].y0, 4.0f);  // the last edge closes the shape
    EXPECT_FLOAT_EQ(p->GetLines(0)[3].y1, 0.0f);
    p->ClearAll();
    EXPECT_TRUE(p->GetLines(0).empty());
    g_bDebugDisp = 0;
    CDebugPrim::DeleteInstance();
}

namespace {

class FPSTest : public CDeviceFixture {};

// A sheet whose 12 FPS cells each hold one blue level, with the label below them.
void WriteFpsSheet()
{
    const int w = 96, h = 28;
    const uint32_t nRow = ((uint32_t)w * 3 + 3) & ~3u;
    std::vector<uint8_t> v(54 + nRow * h, 0);
    auto put32 = [&](size_t at, uint32_t x) {
        for (int i = 0; i < 4; i++) {
            v[at + i] = (uint8_t)(x >> (8 * i));
        }
    };
    v[0] = 'B';
    v[1] = 'M';
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    v[26] = 1;
    v[28] = 24;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            uint8_t* p = &v[54 + (size_t)(h - 1 - y) * nRow + (size_t)x * 3];
            p[0] = y < 14 ? (uint8_t)((x / 8 + 1) * 20) : 0;
            p[2] = y < 14 ? 0 : 0xFF;
        }
    }
    FILE* fp = fopen("GameData/System/Fps.bmp", "wb");
    fwrite(v.data(), 1, v.size(), fp);
    fclose(fp);
    fp = fopen("GameData/System/CockpitIndex.txt", "wb");
    fputs("#INDEX_FOR Fps.bmp\r\n#IMG_RGN FPSNumbers.bmp = 0:0:95:13\r\n#IMG_RGN FPS.bmp = 0:14:23:27\r\n", fp);
    fclose(fp);
}

WORD CellBlue(int nCell)
{
    return (WORD)(((nCell + 1) * 20) >> 3);
}

} // namespace

TEST_F(FPSTest, DigitCellsAndTheExtraNumber)
{
    CFPSChar fps;
    fps.SetPosition(5.0f, 460.0f);
    EXPECT_EQ(fps.Draw(g_lpDDSBack), 0);  // nothing loaded
    mkdir("GameData", 0755);
    mkdir("GameData/System", 0755);
    WriteFpsSheet();
    CBmpIndex index;
    ASSERT_EQ(index.LoadIndex(g_lpD3DDevice, ".\\GameData\\System\\", "CockpitIndex.txt"), 1);
    CBmpIndexSet::GetInstance().Register("CockpitIndex.txt", &index);
    ASSERT_EQ(fps.Load(g_lpD3DDevice), 1);
    fps.SetNumber(60);
    EXPECT_EQ(fps.GetText(), "60");
    FillBack(0);
    g_bFPSExtra = 0;
    ASSERT_EQ(fps.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(5, 460), 0xF800);           // the label
    EXPECT_EQ(BackPixel(29, 460), CellBlue(5));     // '6'
    EXPECT_EQ(BackPixel(37, 473), CellBlue(9));     // '0'
    EXPECT_EQ(BackPixel(45, 460), 0);               // nothing after the figure
    snprintf(g_szFPSExtra, sizeof(g_szFPSExtra), "12");
    g_bFPSExtra = 1;
    ASSERT_EQ(fps.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(45, 460), CellBlue(10));
    EXPECT_EQ(BackPixel(53, 460), CellBlue(0));
    EXPECT_EQ(BackPixel(61, 460), CellBlue(1));
    EXPECT_EQ(BackPixel(69, 460), CellBlue(11));
    g_bFPSExtra = 0;
    fps.SetNumber(-5);  // the sign is skipped, its place kept
    FillBack(0);
    ASSERT_EQ(fps.Draw(g_lpDDSBack), 1);
    EXPECT_EQ(BackPixel(29, 460), 0);
    EXPECT_EQ(BackPixel(37, 460), CellBlue(4));
    CBmpIndexSet::GetInstance().Clear();
    fps.Release();
    index.Clear();
    remove("GameData/System/Fps.bmp");
    remove("GameData/System/CockpitIndex.txt");
    rmdir("GameData/System");
    rmdir("GameData");
}
