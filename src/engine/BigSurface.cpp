#include "engine/BigSurface.h"

#include <algorithm>

namespace {

typedef int (CBigSurface::*PFNBIGCREATE)(IDirect3DDevice7*, IDirectDrawSurface7*, const RECT*, int);

// Loads the picture into a temporary system-memory surface and hands it to the creator.
int CreateFromTemp(CBigSurface* pBig, PFNBIGCREATE pfnCreate, IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpTemp,
                   const RECT* prc, int nMemFlag)
{
    if (!lpTemp) {
        return 0;
    }
    const int nResult = (pBig->*pfnCreate)(lpDevice, lpTemp, prc, nMemFlag);
    lpTemp->Release();
    return nResult;
}

} // namespace

int CBigSurface::Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc, const RECT* prc, int nMemFlag)
{
    ClearTiles();
    if (!lpSrc) {
        return 0;
    }
    int w = 0, h = 0, x0 = 0, y0 = 0;
    GetPictureRect(lpSrc, prc, &x0, &y0, &w, &h);
    if (w <= 0 || h <= 0 || m_nTileWidth <= 0 || m_nTileHeight <= 0) {
        return 0;
    }
    if (w <= m_nTileWidth && h <= m_nTileHeight) {
        CDSurface* pTile = new CDSurface();
        if (!pTile->Create(lpDevice, lpSrc, prc, nMemFlag)) {
            delete pTile;
            return 0;
        }
        m_Tiles.push_back(pTile);
        m_nColumns = m_nRows = 1;
    } else {
        m_nColumns = (w + m_nTileWidth - 1) / m_nTileWidth;
        m_nRows = (h + m_nTileHeight - 1) / m_nTileHeight;
        for (int r = 0; r < m_nRows; r++) {
            for (int c = 0; c < m_nColumns; c++) {
                const RECT rc = {x0 + c * m_nTileWidth, y0 + r * m_nTileHeight,
                                 x0 + std::min((c + 1) * m_nTileWidth, w), y0 + std::min((r + 1) * m_nTileHeight, h)};
                if (rc.right <= rc.left || rc.bottom <= rc.top) {
                    continue;
                }
                CDSurface* pTile = new CDSurface();
                if (!pTile->Create(lpDevice, lpSrc, &rc, nMemFlag)) {
                    delete pTile;
                    ClearTiles();
                    return 0;
                }
                m_Tiles.push_back(pTile);
            }
        }
    }
    m_nWidth = w;
    m_nHeight = h;
    return 1;
}

int CBigSurface::LoadFromIndex(IDirect3DDevice7* lpDevice, const IMGKEY& key, const RECT* prc, int nMemFlag)
{
    return CreateFromTemp(this, &CBigSurface::Create, lpDevice, LoadIndexSurface(lpDevice, key, MEM_SYSTEM), prc,
                          nMemFlag);
}

int CBigSurface::LoadFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc, int nMemFlag)
{
    return CreateFromTemp(this, &CBigSurface::Create, lpDevice, LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM), prc,
                          nMemFlag);
}

int CBigSurface::CreateBlended(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpSrc, const RECT* prc, int nMemFlag)
{
    ClearTiles();
    IDirectDrawSurface7* lpFlash = CreateBlendedCopy(lpDevice, lpSrc);
    if (!lpFlash) {
        return 0;
    }
    const int nResult = Create(lpDevice, lpFlash, prc, nMemFlag);
    lpFlash->Release();
    if (nResult && !m_Tiles.empty()) {
        SetColorKey(GetFlashColorKey(m_Tiles.front()->GetSurface()));
    }
    return nResult;
}

int CBigSurface::LoadBlendedFromIndex(IDirect3DDevice7* lpDevice, const IMGKEY& key, const RECT* prc, int nMemFlag)
{
    return CreateFromTemp(this, &CBigSurface::CreateBlended, lpDevice, LoadIndexSurface(lpDevice, key, MEM_SYSTEM), prc,
                          nMemFlag);
}

int CBigSurface::LoadBlendedFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const RECT* prc, int nMemFlag)
{
    return CreateFromTemp(this, &CBigSurface::CreateBlended, lpDevice,
                          LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM), prc, nMemFlag);
}

void CBigSurface::ClearTiles()
{
    for (CDSurface* pTile : m_Tiles) {
        delete pTile;
    }
    m_Tiles.clear();
    m_bKeyed = 0;
}

void CBigSurface::SetTileSize(int nWidth, int nHeight)
{
    m_nTileWidth = nWidth;
    m_nTileHeight = nHeight;
}

void CBigSurface::GetSize(int* pnWidth, int* pnHeight) const
{
    if (pnWidth) {
        *pnWidth = m_nWidth;
    }
    if (pnHeight) {
        *pnHeight = m_nHeight;
    }
}

void CBigSurface::FillColor(float fRed, float fGreen, float fBlue)
{
    for (CDSurface* pTile : m_Tiles) {
        pTile->FillColor(fRed, fGreen, fBlue);
    }
}

void CBigSurface::SetColorKey(DWORD dwKey)
{
    for (CDSurface* pTile : m_Tiles) {
        SetSourceColorKey(pTile->GetSurface(), dwKey);
    }
    m_bKeyed = 1;
}

void CBigSurface::SetColorKeyGreen()
{
    if (m_Tiles.empty()) {
        return;
    }
    DWORD dwGreen = 0;
    GetRGBMasks(m_Tiles.front()->GetSurface(), nullptr, &dwGreen, nullptr);
    SetColorKey(dwGreen);
}

int CBigSurface::Draw(IDirectDrawSurface7* lpDest, int x, int y, int, DWORD dwFlags, int)
{
    if (!lpDest || m_nColumns <= 0) {
        return 1;
    }
    if (m_bKeyed) {
        dwFlags |= DDBLT_KEYSRC;
    }
    RECT rcVis, rcDest;
    GetClippedBltRects(x, y, m_nWidth, m_nHeight, &rcVis, &rcDest);
    if (rcVis.left >= rcVis.right || rcVis.top >= rcVis.bottom) {
        return 1;
    }
    POINT ptCursor = {rcDest.left, rcDest.top};
    for (size_t i = 0; i < m_Tiles.size(); i++) {
        const int nLeft = (int)(i % m_nColumns) * m_nTileWidth;
        const int nTop = (int)(i / m_nColumns) * m_nTileHeight;
        int w = 0, h = 0;
        m_Tiles[i]->GetSize(&w, &h);
        const RECT rcTile = {std::max<LONG>(nLeft, rcVis.left), std::max<LONG>(nTop, rcVis.top),
                             std::min<LONG>(nLeft + w, rcVis.right), std::min<LONG>(nTop + h, rcVis.bottom)};
        if (rcTile.left >= rcTile.right || rcTile.top >= rcTile.bottom) {
            continue;
        }
        RECT rcSrc = {rcTile.left - nLeft, rcTile.top - nTop, rcTile.right - nLeft, rcTile.bottom - nTop};
        const int nW = rcSrc.right - rcSrc.left;
        const int nH = rcSrc.bottom - rcSrc.top;
        RECT rcTo = {ptCursor.x, ptCursor.y, ptCursor.x + nW, ptCursor.y + nH};
        m_Tiles[i]->BltTo(lpDest, &rcTo, &rcSrc, dwFlags, nullptr);
        ptCursor.x += nW;
        if (ptCursor.x >= rcDest.right) {
            ptCursor.x = rcDest.left;
            ptCursor.y += nH;
        }
    }
    return 1;
}
