// Bitmaps, memory contexts, block transfers and the small queries.
#include "platform/gdi/GdiFixture.h"

namespace {

// An 8-bit top-down (or bottom-up) DIB section with a four-colour table.
struct DIB8 {
    std::vector<uint8_t> header;
    HBITMAP hBitmap = nullptr;
    uint8_t* pBits = nullptr;
};

DIB8 MakeDib8(int w, int h)
{
    DIB8 d;
    d.header.assign(sizeof(BITMAPINFOHEADER) + 4 * sizeof(RGBQUAD), 0);
    BITMAPINFO* pbmi = reinterpret_cast<BITMAPINFO*>(d.header.data());
    pbmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    pbmi->bmiHeader.biWidth = w;
    pbmi->bmiHeader.biHeight = h;
    pbmi->bmiHeader.biPlanes = 1;
    pbmi->bmiHeader.biBitCount = 8;
    pbmi->bmiHeader.biClrUsed = 4;
    RGBQUAD* pColors = reinterpret_cast<RGBQUAD*>(d.header.data() + sizeof(BITMAPINFOHEADER));
    pColors[0] = RGBQUAD{0, 0, 0, 0};
    pColors[1] = RGBQUAD{0, 255, 0, 0};      // pure green
    pColors[2] = RGBQUAD{225, 225, 225, 0};  // grey 225
    pColors[3] = RGBQUAD{7, 132, 250, 0};
    void* pv = nullptr;
    d.hBitmap = CreateDIBSection(nullptr, pbmi, DIB_RGB_COLORS, &pv, nullptr, 0);
    d.pBits = static_cast<uint8_t*>(pv);
    return d;
}

using GdiBitmapTest = GdiTest;

TEST_F(GdiBitmapTest, PaletteColoursReachA565SurfaceByTruncation)
{
    DIB8 d = MakeDib8(4, -1);
    ASSERT_NE(d.hBitmap, nullptr);
    for (int i = 0; i < 4; i++) {
        d.pBits[i] = static_cast<uint8_t>(i);
    }
    HDC hMem = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hMem, d.hBitmap);
    const std::vector<uint16_t> px = CopyOut(hMem, 4, 1, 0xFFFF);
    EXPECT_EQ(px[0], 0x0000);
    EXPECT_EQ(px[1], 0x07E0);
    EXPECT_EQ(px[2], ((225 >> 3) << 11) | ((225 >> 2) << 5) | (225 >> 3));
    EXPECT_EQ(px[3], ((250 >> 3) << 11) | ((132 >> 2) << 5) | (7 >> 3));
    SelectObject(hMem, hOld);
    DeleteDC(hMem);
    DeleteObject(d.hBitmap);
}

TEST_F(GdiBitmapTest, BottomUpRowsAreStoredLastFirst)
{
    DIB8 d = MakeDib8(4, 2);  // bottom-up
    ASSERT_NE(d.hBitmap, nullptr);
    std::memset(d.pBits, 1, 4);  // the first stored row is the bottom one
    HDC hMem = CreateCompatibleDC(nullptr);
    SelectObject(hMem, d.hBitmap);
    const std::vector<uint16_t> px = CopyOut(hMem, 4, 2, 0xFFFF);
    EXPECT_EQ(px[0], 0x0000);
    EXPECT_EQ(px[4], 0x07E0);
    DeleteDC(hMem);
    DeleteObject(d.hBitmap);
}

TEST_F(GdiBitmapTest, CopiesAreClippedToSourceAndDestination)
{
    IDirectDrawSurface7* pSrc = Surface(4, 4, 0x001F);
    IDirectDrawSurface7* pDst = Surface(6, 6, 0x0000);
    // Source (-2..6) x (-1..3) at destination (3, 2): source pixels from (0, 0) land from (5, 3),
    // one column wide once clipped to the 6-wide destination.
    EXPECT_TRUE(CopyBetween(pDst, 3, 2, 8, 4, pSrc, -2, -1));
    EXPECT_TRUE(CopyBetween(pDst, 100, 100, 4, 4, pSrc, 0, 0));  // nothing left: success, no write
    const std::vector<uint16_t> px = Pixels16(pDst);
    for (int y = 0; y < 6; y++) {
        for (int x = 0; x < 6; x++) {
            const bool bCopied = x == 5 && y >= 3 && y < 6;
            EXPECT_EQ(px[y * 6 + x], bCopied ? 0x001F : 0x0000) << x << "," << y;
        }
    }
}

TEST_F(GdiBitmapTest, CopyIntoAnAlphaTextureKeepsGreenAndLeavesAlphaZero)
{
    DDPIXELFORMAT pf = {};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
    pf.dwRGBBitCount = 16;
    pf.dwRGBAlphaBitMask = 0xF000;
    pf.dwRBitMask = 0x0F00;
    pf.dwGBitMask = 0x00F0;
    pf.dwBBitMask = 0x000F;
    IDirectDrawSurface7* pTex = Surface(2, 1, 0xFFFF, &pf);
    IDirectDrawSurface7* pSrc = Surface(2, 1, 0x07E0);
    ASSERT_NE(pTex, nullptr);
    EXPECT_TRUE(CopyBetween(pTex, 0, 0, 2, 1, pSrc, 0, 0));
    EXPECT_EQ(Pixels16(pTex), (std::vector<uint16_t>{0x00F0, 0x00F0}));
}

TEST_F(GdiBitmapTest, CompatibleBitmapsTakeTheContextsFormat)
{
    HDC hScreen = GetDC(nullptr);
    HBITMAP h565 = CreateCompatibleBitmap(hScreen, 10, 3);
    BITMAP bm = {};
    ASSERT_EQ(GetObjectA(h565, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmBitsPixel, 16);
    EXPECT_EQ(bm.bmWidth, 10);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBits, nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    HBITMAP hMono = CreateCompatibleBitmap(hMem, 10, 3);  // a fresh memory context is monochrome
    GetObjectA(hMono, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(CreateCompatibleBitmap(hScreen, 0, 3), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(hScreen, 40000, 3), nullptr);
    DeleteObject(hMono);
    DeleteDC(hMem);
    DeleteObject(h565);
    ReleaseDC(nullptr, hScreen);
}

TEST_F(GdiBitmapTest, PatBltFillsBlackWhiteAndBrushColours)
{
    HDC hScreen = GetDC(nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    HBITMAP hBmp = CreateCompatibleBitmap(hScreen, 4, 4);
    SelectObject(hMem, hBmp);
    EXPECT_TRUE(PatBlt(hMem, 0, 0, 4, 4, WHITENESS));
    EXPECT_TRUE(PatBlt(hMem, 4, 4, -2, -2, BLACKNESS));  // negative sizes count from the far corner
    HBRUSH hBrush = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(hMem, hBrush);
    EXPECT_TRUE(PatBlt(hMem, 0, 0, 1, 1, PATCOPY));
    EXPECT_FALSE(PatBlt(hMem, 0, 0, 1, 1, SRCCOPY));
    const std::vector<uint16_t> px = CopyOut(hMem, 4, 4, 0x1234);
    EXPECT_EQ(px[0], 0xF800);
    EXPECT_EQ(px[1], 0xFFFF);
    EXPECT_EQ(px[2 * 4 + 2], 0x0000);
    EXPECT_EQ(px[3 * 4 + 3], 0x0000);
    EXPECT_EQ(px[1 * 4 + 1], 0xFFFF);
    SelectObject(hMem, GetStockObject(WHITE_BRUSH));
    DeleteObject(hBrush);
    DeleteDC(hMem);
    DeleteObject(hBmp);
    ReleaseDC(nullptr, hScreen);
}

TEST_F(GdiBitmapTest, DeletingASelectedBitmapWaitsForItsContext)
{
    HDC hMem = CreateCompatibleDC(nullptr);
    DIB8 d = MakeDib8(2, 2);
    HGDIOBJ hOld = SelectObject(hMem, d.hBitmap);
    EXPECT_TRUE(DeleteObject(d.hBitmap));
    BITMAP bm = {};
    EXPECT_EQ(GetObjectA(d.hBitmap, sizeof(bm), &bm), 0);  // the handle is gone at once
    EXPECT_TRUE(PatBlt(hMem, 0, 0, 2, 2, WHITENESS));      // the context still draws on it
    EXPECT_NE(SelectObject(hMem, hOld), nullptr);          // freed here
    EXPECT_TRUE(DeleteDC(hMem));
    EXPECT_FALSE(DeleteDC(hMem));
    EXPECT_FALSE(DeleteObject(d.hBitmap));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
}

TEST_F(GdiBitmapTest, MalformedDibHeadersAreRefused)
{
    DIB8 d = MakeDib8(2, 2);
    BITMAPINFO* pbmi = reinterpret_cast<BITMAPINFO*>(d.header.data());
    const BITMAPINFOHEADER good = pbmi->bmiHeader;
    void* pv = reinterpret_cast<void*>(1);
    auto Refused = [&](void (*Spoil)(BITMAPINFOHEADER&)) {
        pbmi->bmiHeader = good;
        Spoil(pbmi->bmiHeader);
        return CreateDIBSection(nullptr, pbmi, DIB_RGB_COLORS, &pv, nullptr, 0) == nullptr && pv == nullptr;
    };
    EXPECT_TRUE(Refused([](BITMAPINFOHEADER& h) { h.biSize = 12; }));
    EXPECT_TRUE(Refused([](BITMAPINFOHEADER& h) { h.biWidth = 0; }));
    EXPECT_TRUE(Refused([](BITMAPINFOHEADER& h) { h.biHeight = 0; }));
    EXPECT_TRUE(Refused([](BITMAPINFOHEADER& h) { h.biHeight = -100000; }));
    EXPECT_TRUE(Refused([](BITMAPINFOHEADER& h) { h.biBitCount = 7; }));
    EXPECT_TRUE(Refused([](BITMAPINFOHEADER& h) { h.biPlanes = 2; }));
    EXPECT_TRUE(Refused([](BITMAPINFOHEADER& h) { h.biCompression = 1; }));
    EXPECT_TRUE(Refused([](BITMAPINFOHEADER& h) {
        h.biWidth = 30000;
        h.biHeight = 30000;
        h.biBitCount = 32;
    }));
    DeleteObject(d.hBitmap);
}

TEST(GdiQueries, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(MulDiv(12, 96, 72), 16);
    EXPECT_EQ(MulDiv(18, 96, 72), 24);
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(7, 1, 0), -1);
    EXPECT_EQ(MulDiv(0x40000000, 4, 1), -1);  // beyond 32 bits
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSY), 96);
}

TEST(GdiQueries, LeadBytesAreThoseOfCodePage932)
{
    int n = 0;
    for (int c = 0; c < 256; c++) {
        n += IsDBCSLeadByte(static_cast<BYTE>(c)) ? 1 : 0;
    }
    EXPECT_EQ(n, 31 + 29);
    EXPECT_TRUE(IsDBCSLeadByte(0x81));
    EXPECT_TRUE(IsDBCSLeadByte(0x9F));
    EXPECT_FALSE(IsDBCSLeadByte(0xA0));
    EXPECT_FALSE(IsDBCSLeadByte(0xDF));
    EXPECT_TRUE(IsDBCSLeadByte(0xE0));
    EXPECT_TRUE(IsDBCSLeadByte(0xFC));
    EXPECT_FALSE(IsDBCSLeadByte(0xFD));
}

TEST(GdiQueries, GlobalBlocksAreOursOnly)
{
    HGLOBAL h = GlobalAlloc(GHND, 1064);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 1064u);
    uint8_t* p = static_cast<uint8_t*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0] | p[1063], 0);
    EXPECT_FALSE(GlobalUnlock(h));
    int nForeign = 0;
    EXPECT_EQ(GlobalFree(&nForeign), &nForeign);
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalLock(h), nullptr);
}

}  // namespace
