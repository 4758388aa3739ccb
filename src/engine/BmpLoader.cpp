#include "engine/BmpLoader.h"

#include <algorithm>
#include <cstring>

#include "engine/Log.h"
#include "engine/SurfaceUtil.h"
#include "pack/teskFile.h"

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
    int nWidth;
    int nHeight;  // always positive here
    bool bTopDown;
    uint32_t nBitCount;
    uint32_t nColors;  // entries of the colour table (0 above 8 bits a pixel)
    uint64_t nRowSize;
};

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
    if (h.nInfoSize < BMP_INFOHEADER_SIZE || h.nInfoSize > 1024) {
        return BMP_ERR_HEADER;
    }
    if (nSize < (size_t)BMP_FILEHEADER_SIZE + h.nInfoSize) {
        return BMP_ERR_TRUNCATED;
    }
    const uint8_t* pInfo = pData + BMP_FILEHEADER_SIZE;
    const int32_t nWidth = (int32_t)ReadU32(pInfo + 4);
    const int32_t nHeight = (int32_t)ReadU32(pInfo + 8);
    const uint32_t nPlanes = ReadU16(pInfo + 12);
    h.nBitCount = ReadU16(pInfo + 14);
    const uint32_t nCompression = ReadU32(pInfo + 16);
    const uint32_t nClrUsed = ReadU32(pInfo + 32);
    if (nPlanes != 1 || nCompression != 0) {
        return BMP_ERR_HEADER;
    }
    if (h.nBitCount != 1 && h.nBitCount != 4 && h.nBitCount != 8 && h.nBitCount != 24 && h.nBitCount != 32) {
        return BMP_ERR_BITCOUNT;
    }
    if (nWidth <= 0 || nWidth > BMP_MAX_SIDE || nHeight == 0 || nHeight < -BMP_MAX_SIDE || nHeight > BMP_MAX_SIDE) {
        return BMP_ERR_SIZE;
    }
    h.nWidth = nWidth;
    h.nHeight = nHeight < 0 ? -nHeight : nHeight;
    h.bTopDown = nHeight < 0;
    if (h.nBitCount <= 8) {
        const uint32_t nMax = 1u << h.nBitCount;
        if (nClrUsed > nMax) {
            return BMP_ERR_PALETTE;
        }
        h.nColors = nClrUsed ? nClrUsed : nMax;
    }
    const uint64_t nTableEnd = (uint64_t)BMP_FILEHEADER_SIZE + h.nInfoSize + (uint64_t)h.nColors * 4;
    if (nTableEnd > nSize) {
        return BMP_ERR_TRUNCATED;
    }
    if (h.nOffBits < nTableEnd || h.nOffBits > nSize) {
        return BMP_ERR_OFFSET;
    }
    h.nRowSize = (((uint64_t)h.nBitCount * (uint64_t)h.nWidth + 31) / 32) * 4;
    if ((uint64_t)h.nOffBits + h.nRowSize * (uint64_t)h.nHeight > nSize) {
        return BMP_ERR_TRUNCATED;
    }
    *pHeader = h;
    return BMP_OK;
}

uint32_t PaletteColor(const uint8_t* pTable, uint32_t nColors, uint32_t nIndex)
{
    if (nIndex >= nColors) {
        return 0;
    }
    const uint8_t* q = pTable + (size_t)nIndex * 4;
    return ((uint32_t)q[2] << 16) | ((uint32_t)q[1] << 8) | q[0];
}

void DecodeRow(const uint8_t* pRow, const BMPHEADER& h, const uint8_t* pTable, uint32_t* pOut)
{
    const int w = h.nWidth;
    switch (h.nBitCount) {
    case 1:
        for (int x = 0; x < w; x++) {
            pOut[x] = PaletteColor(pTable, h.nColors, (pRow[x >> 3] >> (7 - (x & 7))) & 1);
        }
        break;
    case 4:
        for (int x = 0; x < w; x++) {
            const uint8_t b = pRow[x >> 1];
            pOut[x] = PaletteColor(pTable, h.nColors, (x & 1) ? (b & 0x0F) : (b >> 4));
        }
        break;
    case 8:
        for (int x = 0; x < w; x++) {
            pOut[x] = PaletteColor(pTable, h.nColors, pRow[x]);
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
            const uint8_t* q = pRow + (size_t)x * 4;
            pOut[x] = ((uint32_t)q[2] << 16) | ((uint32_t)q[1] << 8) | q[0];
        }
        break;
    }
}

// Writes part of a picture into a pixel plane of the format, clipped to both.
void WriteToPlane(const BMPIMAGE& img, uint8_t* pBits, long lPitch, int nPlaneW, int nPlaneH, const DDPIXELFORMAT& pf,
                  int x, int y, int w, int h, int sx, int sy)
{
    if (sx < 0) {
        x -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        y -= sy;
        h += sy;
        sy = 0;
    }
    if (x < 0) {
        sx -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        sy -= y;
        h += y;
        y = 0;
    }
    w = std::min({w, nPlaneW - x, img.nWidth - sx});
    h = std::min({h, nPlaneH - y, img.nHeight - sy});
    if (w <= 0 || h <= 0) {
        return;
    }
    const int nBytes = (int)(pf.dwRGBBitCount / 8);
    const CPixelPacker packer(pf);
    for (int r = 0; r < h; r++) {
        const uint32_t* pSrc = img.pixels.data() + (size_t)(sy + r) * img.nWidth + sx;
        uint8_t* pDst = pBits + (size_t)(y + r) * lPitch + (size_t)x * nBytes;
        for (int c = 0; c < w; c++) {
            const DWORD v = packer.Pack(pSrc[c]);
            if (nBytes == 2) {
                const uint16_t w16 = (uint16_t)v;
                std::memcpy(pDst + c * 2, &w16, 2);
            } else if (nBytes == 4) {
                std::memcpy(pDst + c * 4, &v, 4);
            }
        }
    }
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
    const int nResult = ParseHeader(pData, nSize, &h);
    if (nResult != BMP_OK) {
        return nResult;
    }
    const uint8_t* pTable = pData + BMP_FILEHEADER_SIZE + h.nInfoSize;
    pImage->nWidth = h.nWidth;
    pImage->nHeight = h.nHeight;
    pImage->pixels.assign((size_t)h.nWidth * h.nHeight, 0);
    for (int y = 0; y < h.nHeight; y++) {
        const int nFileRow = h.bTopDown ? y : h.nHeight - 1 - y;
        const uint8_t* pRow = pData + h.nOffBits + h.nRowSize * (uint64_t)nFileRow;
        DecodeRow(pRow, h, pTable, pImage->pixels.data() + (size_t)y * h.nWidth);
    }
    return BMP_OK;
}

const char* GetBitmapErrorText(int nResult)
{
    switch (nResult) {
    case BMP_OK:
        return "ok";
    case BMP_ERR_TRUNCATED:
        return "file ends before its data";
    case BMP_ERR_SIGNATURE:
        return "not a bitmap file";
    case BMP_ERR_HEADER:
        return "unsupported header, planes or compression";
    case BMP_ERR_BITCOUNT:
        return "unsupported bit count";
    case BMP_ERR_SIZE:
        return "bad picture size";
    case BMP_ERR_PALETTE:
        return "bad colour table size";
    case BMP_ERR_OFFSET:
        return "bad pixel data offset";
    default:
        return "unknown error";
    }
}

// ---- CPixelPacker ---------------------------------------------------------------------------------
CPixelPacker::CPixelPacker(const DDPIXELFORMAT& pf)
    : m_Channels{MakeChannel(pf.dwRBitMask), MakeChannel(pf.dwGBitMask), MakeChannel(pf.dwBBitMask)}
{
}

CPixelPacker::CHANNEL CPixelPacker::MakeChannel(DWORD dwMask)
{
    CHANNEL c = {};
    c.dwMask = dwMask;
    c.nShift = MaskShift(dwMask);
    const int nWidth = CountBits(dwMask);
    if (nWidth == 0) {
        return c;  // the mask keeps every result 0
    }
    c.nPackRight = nWidth >= 8 ? 0 : 8 - nWidth;
    c.nPackLeft = (nWidth >= 8 ? nWidth - 8 : 0) + c.nShift;
    if (nWidth >= 8) {
        c.nRepeat = 1;
        c.nUnpackRight = nWidth - 8;
        return c;
    }
    // The copies do not overlap (the value is below 2^width), so adding them is placing them.
    const int nCopies = (8 + nWidth - 1) / nWidth;
    for (int i = 0; i < nCopies; i++) {
        c.nRepeat |= 1u << (i * nWidth);
    }
    c.nUnpackRight = nCopies * nWidth - 8;
    return c;
}

DWORD PackColorToFormat(uint32_t dwRgb, const DDPIXELFORMAT& pf)
{
    return CPixelPacker(pf).Pack(dwRgb);
}

uint32_t UnpackColorFromFormat(DWORD dwPixel, const DDPIXELFORMAT& pf)
{
    return CPixelPacker(pf).Unpack(dwPixel);
}

// ---- CBmpLoader -----------------------------------------------------------------------------------
int CBmpLoader::Load(const char* pszPath)
{
    Release();
    CFile* pFile = nullptr;
    if (!pszPath || FileOpen(&pFile, pszPath) != FILE_OK || !pFile) {
        return 0;
    }
    const int nResult = DecodeBitmap(pFile->GetMemory(), pFile->GetSize(), &m_Image);
    FileClose(pFile);
    if (nResult != BMP_OK) {
        DebugPrintf("%s : %s\n", pszPath, GetBitmapErrorText(nResult));
        m_Image = BMPIMAGE();
        return 0;
    }
    m_bLoaded = true;
    return 1;
}

void CBmpLoader::Release()
{
    m_Image = BMPIMAGE();
    m_bLoaded = false;
}

void CBmpLoader::GetSize(int* pnWidth, int* pnHeight) const
{
    if (pnWidth) {
        *pnWidth = m_Image.nWidth;
    }
    if (pnHeight) {
        *pnHeight = m_Image.nHeight;
    }
}

int CBmpLoader::CopyTo(IDirectDrawSurface7* lpSurface, int x, int y, int w, int h, int sx, int sy) const
{
    if (!lpSurface || !m_bLoaded) {
        return 0;
    }
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    if (lpSurface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) != DD_OK) {
        return 0;
    }
    WriteToPlane(m_Image, (uint8_t*)ddsd.lpSurface, ddsd.lPitch, (int)ddsd.dwWidth, (int)ddsd.dwHeight,
                 ddsd.ddpfPixelFormat, x, y, w, h, sx, sy);
    lpSurface->Unlock(nullptr);
    return 1;
}

void ReadBitmapFileSize(const char* pszPath, int* pnWidth, int* pnHeight)
{
    int w = -1, h = -1;
    CFile* pFile = nullptr;
    if (pszPath && FileOpen(&pFile, pszPath) == FILE_OK && pFile) {
        if (ReadBitmapHeaderSize(pFile->GetMemory(), pFile->GetSize(), &w, &h) != BMP_OK) {
            w = h = -1;
        }
        FileClose(pFile);
    }
    if (pnWidth) {
        *pnWidth = w;
    }
    if (pnHeight) {
        *pnHeight = h;
    }
}

int DeleteObject(CBmpLoader* pLoader)
{
    delete pLoader;
    return 1;
}

BOOL BitBlt(HDC hdcDest, int x, int y, int w, int h, CBmpLoader* pLoader, int sx, int sy, DWORD dwRop)
{
    DDSURFACEDC* pDC = DDGetSurfaceDC(hdcDest);
    if (!pLoader || !pLoader->IsLoaded() || !pDC || dwRop != SRCCOPY) {
        return 0;
    }
    WriteToPlane(pLoader->GetImage(), (uint8_t*)pDC->lpBits, pDC->lPitch, (int)pDC->dwWidth, (int)pDC->dwHeight,
                 pDC->ddpf, x, y, w, h, sx, sy);
    return 1;
}
