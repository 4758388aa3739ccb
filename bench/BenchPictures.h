// Pictures of the generated data set for the drawing benchmarks: the data set is written once per
// run into a temporary folder (removed at exit) and pictures are read from it as RGB565.
#pragma once
#include <SDL.h>

#include <string>

#include "platform/ddraw/DDraw.h"

// A cell of a picture of the data set (path below GameData/, a rectangle of it; an empty rectangle
// is the whole picture) as a new RGB565 surface, or null when the data or the picture is missing.
SDL_Surface* LoadDataPicture565(const char* pszPath, const SDL_Rect& rcCell);
// A new off-screen surface of ours with the pixels of an RGB565 SDL surface; dwCaps adds caps
// (e.g. DDSCAPS_TEXTURE).
IDirectDrawSurface7* NewSurfaceFrom(IDirectDraw7* pDD, const SDL_Surface* pPicture, DWORD dwCaps);
IDirectDraw7* NewDirectDraw();
// Pixel x of row y of an RGB565 plane.
inline uint16_t PixelAt(const void* pBits, long lPitch, int x, int y)
{
    return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(pBits) + y * lPitch)[x];
}
