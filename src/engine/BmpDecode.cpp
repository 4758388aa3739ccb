#include "engine/BmpDecode.h"

#include <algorithm>

#include "engine/BmpLoader.h"
#include "engine/SurfaceUtil.h"
#include "platform/gdi/Gdi.h"

// The refusal text names the limits.
static_assert(BMP_MAX_SIDE == 16384 && BMP_MAX_PIXELS == 16777216u);

namespace {

uint32_t ReadU16(const uint8_t* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8);
}

uint32_t ReadU32(const uint8_t* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

struct BMPHEADER {
    uint32_t nOffBits;
    uint32_t nInfoSize;
    int32_t nWidth;
    int32_t nHeight;  // as stored: negative for top-down
    uint32_t nPlanes;
    uint32_t nBitCount;
    uint32_t nCompression;
    uint32_t nClrUsed;
    uint32_t nEntrySize;  // of a colour table entry: 3 after a core header, else 4
    uint64_t nTablePos;   // where the colour table starts (after the masks of a 40-byte header)
    uint32_t nColors;     // entries of the colour table the indexes address (0 above 8 bits)
    DWORD dwMasks[3];     // red, green, blue of a 16- or 32-bit picture
    bool bTopDown;
    uint64_t nRowSize;    // of an uncompressed row
};

bool IsKnownInfoSize(uint32_t nSize)
{
    // The core header, then the info header and its versions 2 to 5.
    return nSize == BMP_COREHEADER_SIZE || nSize == BMP_INFOHEADER_SIZE || nSize == 52 || nSize == 56 ||
           nSize == 108 || nSize == 124;
}

void ReadCoreHeader(const uint8_t* pInfo, BMPHEADER* pH)
{
    pH->nWidth = (int32_t)ReadU16(pInfo + 4);
    pH->nHeight = (int32_t)ReadU16(pInfo + 6);
    pH->nPlanes = ReadU16(pInfo + 8);
    pH->nBitCount = ReadU16(pInfo + 10);
    pH->nCompression = BI_RGB;
    pH->nEntrySize = 3;
}

void ReadInfoHeader(const uint8_t* pInfo, BMPHEADER* pH)
{
    pH->nWidth = (int32_t)ReadU32(pInfo + 4);
    pH->nHeight = (int32_t)ReadU32(pInfo + 8);
    pH->nPlanes = ReadU16(pInfo + 12);
    pH->nBitCount = ReadU16(pInfo + 14);
    pH->nCompression = ReadU32(pInfo + 16);
    pH->nClrUsed = ReadU32(pInfo + 32);
    pH->nEntrySize = 4;
}

int CheckCompression(const BMPHEADER& h)
{
    const uint32_t c = h.nCompression;
    if (c == BI_JPEG) {
        return BMP_ERR_JPEG;
    }
    if (c == BI_PNG) {
        return BMP_ERR_PNG;
    }
    if (c != BI_RGB && c != BI_RLE8 && c != BI_RLE4 && c != BI_BITFIELDS) {
        return BMP_ERR_COMPRESSION;
    }
    const uint32_t b = h.nBitCount;
    const bool bCore = h.nInfoSize == BMP_COREHEADER_SIZE;
    const bool bBitsOk = b == 1 || b == 4 || b == 8 || b == 24 || (!bCore && (b == 16 || b == 32));
    if (!bBitsOk) {
        return BMP_ERR_BITCOUNT;
    }
    if ((c == BI_RLE8 && b != 8) || (c == BI_RLE4 && b != 4) || (c == BI_BITFIELDS && b != 16 && b != 32)) {
        return BMP_ERR_COMPRESSION_BITS;
    }
    return BMP_OK;
}

int CheckSize(const BMPHEADER& h)
{
    if (h.nWidth <= 0 || h.nWidth > BMP_MAX_SIDE || h.nHeight == 0 || h.nHeight < -BMP_MAX_SIDE ||
        h.nHeight > BMP_MAX_SIDE) {
        return BMP_ERR_SIZE;
    }
    const uint64_t nPixels = (uint64_t)h.nWidth * (uint64_t)(h.nHeight < 0 ? -h.nHeight : h.nHeight);
    return nPixels > BMP_MAX_PIXELS ? BMP_ERR_SIZE : BMP_OK;
}

// A mask is one run of bits inside the pixel, and no two share a bit. An empty mask is allowed:
// that channel is simply black.
int CheckMasks(const DWORD* pMasks, uint32_t nBitCount)
{
    const DWORD dwPixel = nBitCount == 32 ? 0xFFFFFFFFu : (1u << nBitCount) - 1;
    DWORD dwSeen = 0;
    for (int i = 0; i < 3; i++) {
        const DWORD dwRun = pMasks[i] >> MaskShift(pMasks[i]);
        if ((dwRun & (dwRun + 1)) != 0 || (pMasks[i] & ~dwPixel) != 0 || (pMasks[i] & dwSeen) != 0) {
            return BMP_ERR_MASKS;
        }
        dwSeen |= pMasks[i];
    }
    return BMP_OK;
}

// The masks of a 16- or 32-bit picture: its own with BI_BITFIELDS (inside headers of 52 bytes and
// more, else in the three words after the header), else the fixed 5-5-5 or 8-8-8 layout.
int ReadMasks(const uint8_t* pData, size_t nSize, BMPHEADER* pH)
{
    pH->nTablePos = (uint64_t)BMP_FILEHEADER_SIZE + pH->nInfoSize;
    if (pH->nCompression != BI_BITFIELDS) {
        const bool b16 = pH->nBitCount == 16;
        pH->dwMasks[0] = b16 ? 0x7C00 : 0xFF0000;
        pH->dwMasks[1] = b16 ? 0x03E0 : 0x00FF00;
        pH->dwMasks[2] = b16 ? 0x001F : 0x0000FF;
        return BMP_OK;
    }
    if (pH->nInfoSize == BMP_INFOHEADER_SIZE) {
        pH->nTablePos += 12;
        if (pH->nTablePos > nSize) {
            return BMP_ERR_TRUNCATED;
        }
    }
    // Either way the masks follow the first 40 bytes of the header.
    const uint8_t* pMasks = pData + BMP_FILEHEADER_SIZE + BMP_INFOHEADER_SIZE;
    for (int i = 0; i < 3; i++) {
        pH->dwMasks[i] = ReadU32(pMasks + 4 * i);
    }
    return CheckMasks(pH->dwMasks, pH->nBitCount);
}

// Above 8 bits a pixel a colour table may still be there (a hint for palette screens); the pixels
// never use it, and the data offset says where they start.
int ReadTableSize(BMPHEADER* pH)
{
    if (pH->nBitCount > 8) {
        pH->nColors = 0;
        return BMP_OK;
    }
    const uint32_t nMax = 1u << pH->nBitCount;
    if (pH->nClrUsed > nMax) {
        return BMP_ERR_PALETTE;
    }
    pH->nColors = pH->nClrUsed ? pH->nClrUsed : nMax;
    return BMP_OK;
}

int ReadFields(const uint8_t* pData, size_t nSize, BMPHEADER* pH)
{
    if (pH->nInfoSize == BMP_COREHEADER_SIZE) {
        ReadCoreHeader(pData + BMP_FILEHEADER_SIZE, pH);
    } else {
        ReadInfoHeader(pData + BMP_FILEHEADER_SIZE, pH);
    }
    if (pH->nPlanes != 1) {
        return BMP_ERR_PLANES;
    }
    int nResult = CheckCompression(*pH);
    if (nResult == BMP_OK) {
        nResult = CheckSize(*pH);
    }
    const bool bRle = pH->nCompression == BI_RLE8 || pH->nCompression == BI_RLE4;
    if (nResult == BMP_OK && bRle && pH->nHeight < 0) {
        nResult = BMP_ERR_RLE_TOPDOWN;
    }
    if (nResult == BMP_OK) {
        nResult = ReadMasks(pData, nSize, pH);
    }
    if (nResult == BMP_OK) {
        nResult = ReadTableSize(pH);
    }
    return nResult;
}

int ParseHeader(const uint8_t* pData, size_t nSize, BMPHEADER* pHeader)
{
    if (!pData || nSize < BMP_FILEHEADER_SIZE + 4) {
        return BMP_ERR_TRUNCATED;
    }
    if (pData[0] != 'B' || pData[1] != 'M') {
        return BMP_ERR_SIGNATURE;
    }
    BMPHEADER h = {};
    h.nOffBits = ReadU32(pData + 10);
    h.nInfoSize = ReadU32(pData + 14);
    if (!IsKnownInfoSize(h.nInfoSize)) {
        return BMP_ERR_HEADER;
    }
    if (nSize < (size_t)BMP_FILEHEADER_SIZE + h.nInfoSize) {
        return BMP_ERR_TRUNCATED;
    }
    const int nResult = ReadFields(pData, nSize, &h);
    if (nResult != BMP_OK) {
        return nResult;
    }
    h.bTopDown = h.nHeight < 0;
    h.nHeight = h.bTopDown ? -h.nHeight : h.nHeight;
    const uint64_t nTableEnd = h.nTablePos + (uint64_t)h.nColors * h.nEntrySize;
    if (nTableEnd > nSize) {
        return BMP_ERR_TRUNCATED;
    }
    if (h.nOffBits < nTableEnd || h.nOffBits > nSize) {
        return BMP_ERR_OFFSET;
    }
    h.nRowSize = (((uint64_t)h.nBitCount * (uint64_t)h.nWidth + 31) / 32) * 4;
    const bool bRle = h.nCompression == BI_RLE8 || h.nCompression == BI_RLE4;
    if (!bRle && (uint64_t)h.nOffBits + h.nRowSize * (uint64_t)h.nHeight > nSize) {
        return BMP_ERR_DATA;
    }
    *pHeader = h;
    return BMP_OK;
}

// The colour table as 0x00RRGGBB for every index a pixel can hold; the entries past the table's
// end stay black.
void ReadPalette(const uint8_t* pData, const BMPHEADER& h, uint32_t* pPalette)
{
    std::fill_n(pPalette, 256, 0u);
    const uint8_t* pTable = pData + h.nTablePos;
    for (uint32_t i = 0; i < h.nColors; i++) {
        const uint8_t* q = pTable + (size_t)i * h.nEntrySize;
        pPalette[i] = ((uint32_t)q[2] << 16) | ((uint32_t)q[1] << 8) | q[0];
    }
}

void DecodeRow(const uint8_t* pRow, const BMPHEADER& h, const uint32_t* pPalette, const CPixelPacker& masks,
               uint32_t* pOut)
{
    const int w = h.nWidth;
    switch (h.nBitCount) {
    case 1:
        for (int x = 0; x < w; x++) {
            pOut[x] = pPalette[(pRow[x >> 3] >> (7 - (x & 7))) & 1];
        }
        break;
    case 4:
        for (int x = 0; x < w; x++) {
            const uint8_t b = pRow[x >> 1];
            pOut[x] = pPalette[(x & 1) ? (b & 0x0F) : (b >> 4)];
        }
        break;
    case 8:
        for (int x = 0; x < w; x++) {
            pOut[x] = pPalette[pRow[x]];
        }
        break;
    case 16:
        for (int x = 0; x < w; x++) {
            pOut[x] = masks.Unpack(ReadU16(pRow + (size_t)x * 2));
        }
        break;
    case 24:
        for (int x = 0; x < w; x++) {
            const uint8_t* q = pRow + (size_t)x * 3;
            pOut[x] = ((uint32_t)q[2] << 16) | ((uint32_t)q[1] << 8) | q[0];
        }
        break;
    default:  // 32
        for (int x = 0; x < w; x++) {
            pOut[x] = masks.Unpack(ReadU32(pRow + (size_t)x * 4));
        }
        break;
    }
}

CPixelPacker MakeMaskPacker(const BMPHEADER& h)
{
    DDPIXELFORMAT pf = {};
    pf.dwRGBBitCount = h.nBitCount;
    pf.dwRBitMask = h.dwMasks[0];
    pf.dwGBitMask = h.dwMasks[1];
    pf.dwBBitMask = h.dwMasks[2];
    return CPixelPacker(pf);
}

void DecodeRows(const uint8_t* pData, const BMPHEADER& h, const uint32_t* pPalette, BMPIMAGE* pImage)
{
    const CPixelPacker masks = MakeMaskPacker(h);
    for (int y = 0; y < h.nHeight; y++) {
        const int nFileRow = h.bTopDown ? y : h.nHeight - 1 - y;
        const uint8_t* pRow = pData + h.nOffBits + h.nRowSize * (uint64_t)nFileRow;
        DecodeRow(pRow, h, pPalette, masks, pImage->pixels.data() + (size_t)y * h.nWidth);
    }
}

// Where a run-length stream's pen stands: x along the row, y counted from the bottom row.
struct RLEPEN {
    int x;
    int y;
};

// The index of pixel i of a run: RLE8 repeats its byte, RLE4 alternates the byte's two halves.
uint32_t RunIndex(bool bRle4, uint8_t c, int i)
{
    if (!bRle4) {
        return c;
    }
    return (i & 1) ? (c & 0x0F) : (c >> 4);
}

// Pixel i of a literal run: bytes for RLE8, nibbles (high first) for RLE4.
uint32_t LiteralIndex(bool bRle4, const uint8_t* p, int i)
{
    if (!bRle4) {
        return p[i];
    }
    return (i & 1) ? (p[i >> 1] & 0x0F) : (p[i >> 1] >> 4);
}

// Pixels past the row's end are dropped, as the pen never wraps to the next row; the pen stops at
// the row's end so that no count of runs can overflow it.
template <class INDEXOF>
void PutPixels(const BMPHEADER& h, const uint32_t* pPalette, RLEPEN* pPen, int n, INDEXOF indexOf,
               BMPIMAGE* pImage)
{
    const int nCount = std::min(n, h.nWidth - pPen->x);
    uint32_t* pRow = pImage->pixels.data() + (size_t)(h.nHeight - 1 - pPen->y) * h.nWidth;
    for (int i = 0; i < nCount; i++) {
        pRow[pPen->x + i] = pPalette[indexOf(i)];
    }
    pPen->x += nCount;
}

// Decodes the stream until its end-of-picture mark, or until the pen has left the top row (an
// end of line or a move past it): both finish the picture. A stream that runs out before then is
// cut short.
int DecodeRle(const uint8_t* pData, size_t nSize, const BMPHEADER& h, const uint32_t* pPalette, BMPIMAGE* pImage)
{
    const bool bRle4 = h.nCompression == BI_RLE4;
    std::fill(pImage->pixels.begin(), pImage->pixels.end(), pPalette[0]);
    const uint8_t* p = pData + h.nOffBits;
    const uint8_t* pEnd = pData + nSize;
    RLEPEN pen = {0, 0};
    while (pen.y < h.nHeight) {
        if (pEnd - p < 2) {
            return BMP_ERR_DATA;
        }
        const int n = p[0];
        const uint8_t c = p[1];
        p += 2;
        if (n > 0) {
            PutPixels(h, pPalette, &pen, n, [&](int i) { return RunIndex(bRle4, c, i); }, pImage);
            continue;
        }
        if (c == 0) {  // end of line
            pen.x = 0;
            pen.y++;
        } else if (c == 1) {  // end of picture
            return BMP_OK;
        } else if (c == 2) {  // move right and up
            if (pEnd - p < 2) {
                return BMP_ERR_DATA;
            }
            pen.x = std::min(pen.x + p[0], h.nWidth);
            pen.y += p[1];
            p += 2;
        } else {  // c pixels as they stand, padded to a whole word
            const size_t nBytes = bRle4 ? (c + 1u) / 2 : c;
            if ((size_t)(pEnd - p) < nBytes) {
                return BMP_ERR_DATA;
            }
            PutPixels(h, pPalette, &pen, c, [&](int i) { return LiteralIndex(bRle4, p, i); }, pImage);
            p += std::min((nBytes + 1) & ~(size_t)1, (size_t)(pEnd - p));
        }
    }
    return BMP_OK;
}

} // namespace

int ReadBitmapHeaderSize(const uint8_t* pData, size_t nSize, int* pnWidth, int* pnHeight)
{
    BMPHEADER h;
    const int nResult = ParseHeader(pData, nSize, &h);
    if (nResult == BMP_OK) {
        if (pnWidth) {
            *pnWidth = h.nWidth;
        }
        if (pnHeight) {
            *pnHeight = h.nHeight;
        }
    }
    return nResult;
}

int DecodeBitmap(const uint8_t* pData, size_t nSize, BMPIMAGE* pImage)
{
    BMPHEADER h;
    int nResult = ParseHeader(pData, nSize, &h);
    if (nResult != BMP_OK) {
        return nResult;
    }
    uint32_t palette[256];
    ReadPalette(pData, h, palette);
    pImage->nWidth = h.nWidth;
    pImage->nHeight = h.nHeight;
    pImage->pixels.resize((size_t)h.nWidth * h.nHeight);
    if (h.nCompression == BI_RLE8 || h.nCompression == BI_RLE4) {
        nResult = DecodeRle(pData, nSize, h, palette, pImage);
    } else {
        DecodeRows(pData, h, palette, pImage);
    }
    if (nResult != BMP_OK) {
        *pImage = BMPIMAGE();
    }
    return nResult;
}

const char* GetBitmapErrorText(int nResult)
{
    switch (nResult) {
    case BMP_OK:
        return "ok";
    case BMP_ERR_TRUNCATED:
        return "the file ends inside its headers or colour table";
    case BMP_ERR_SIGNATURE:
        return "not a bitmap file (no \"BM\" at its start)";
    case BMP_ERR_HEADER:
        return "unknown info header size";
    case BMP_ERR_BITCOUNT:
        return "unsupported bit count";
    case BMP_ERR_SIZE:
        return "absurd picture size (width or height 0, negative width, a side over 16384 pixels, or over "
               "16777216 pixels in all)";
    case BMP_ERR_PALETTE:
        return "more colours than the bit count can address";
    case BMP_ERR_OFFSET:
        return "pixel data offset inside the headers or past the end of the file";
    case BMP_ERR_PLANES:
        return "plane count is not 1";
    case BMP_ERR_COMPRESSION:
        return "unknown compression";
    case BMP_ERR_JPEG:
        return "JPEG compression inside a bitmap is not read";
    case BMP_ERR_PNG:
        return "PNG compression inside a bitmap is not read";
    case BMP_ERR_COMPRESSION_BITS:
        return "compression does not fit the bit count (RLE8 needs 8 bits, RLE4 4, colour masks 16 or 32)";
    case BMP_ERR_MASKS:
        return "colour masks overlap, have gaps or pass the pixel's bits";
    case BMP_ERR_RLE_TOPDOWN:
        return "run-length compressed picture stored top-down";
    case BMP_ERR_DATA:
        return "pixel data cut short";
    default:
        return "unknown error";
    }
}
