#include "engine/BmpLoader.h"

#include <algorithm>
#include <cstring>

#include "engine/Log.h"
#include "engine/SurfaceUtil.h"
#include "pack/teskFile.h"

namespace {

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
        ReportDataError(pszPath, "the picture is missing or cannot be read");
        return 0;
    }
    const int nResult = DecodeBitmap(pFile->GetMemory(), pFile->GetSize(), &m_Image);
    FileClose(pFile);
    if (nResult != BMP_OK) {
        ReportDataError(pszPath, "the picture is refused: %s", GetBitmapErrorText(nResult));
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
