// Text shown as pictures: a text is written once with GDI onto an off-screen surface whose
// background is the pure-green key, then blitted like any image. Texts are code page 932 bytes.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/gdi/Gdi.h"

#define FONT_UI_GOTHIC "MS UI Gothic"
// "ＭＳ ゴシック" in code page 932, as every text of the game.
#define FONT_MS_GOTHIC "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E"

// The point size of the outlined text and the work surface of the shadowed one.
#define OUTLINED_TEXT_POINTS 12
#define SHADOW_TEXT_WORK_WIDTH 500
#define SHADOW_TEXT_WORK_HEIGHT 50

#define OUTLINE_TEXT_COLOR RGB(224, 0, 0)
#define SHADOW_TEXT_COLOR RGB(0x7F, 0x7F, 0x7F)

// A font of the face and height (GDI heights: negative for the character height), weight 400,
// Shift-JIS, proof quality, fixed pitch. The caller deletes it. The first argument is not used.
HFONT CreateTextFont(int nUnused, const char* pszFace, int nHeight, int nEscapement);
// Writes the text in "MS UI Gothic" of the height with the context's colours; returns 1.
int DrawGothicText(HDC hdc, int x, int y, const char* pszText, int nLength, int nHeight);
// Writes the text in the font and colour and returns its extent; the context's font and colour
// are restored.
SIZE DrawTextWithFont(HDC hdc, int x, int y, const char* pszText, int nLength, HFONT hFont, COLORREF color);

// The text in white with a one-pixel ring of red 224, 12-point "MS UI Gothic", on a pure-green
// surface of (width + 3) x (height + 3). No colour key is set. Null on failure.
IDirectDrawSurface7* CreateOutlinedTextSurface(IDirect3DDevice7* lpDevice, const char* pszText, int nLength);
// CreateShadowTextSurfaceFace in "ＭＳ ゴシック".
IDirectDrawSurface7* CreateShadowTextSurface(IDirect3DDevice7* lpDevice, const char* pszText, int nLength, int nAdvance,
                                             int nShadowHeight, int nFrontHeight, COLORREF color, int nChunk);
// The text laid out in chunks of nChunk bytes, chunk k at x = 1 + nAdvance * (its byte offset),
// each first in grey with the shadow font and then in the colour with the front font, on pure
// green. The result is (length * advance + 1) x (shadow height + 1), limited to the 500 x 50
// work surface. Null on failure.
IDirectDrawSurface7* CreateShadowTextSurfaceFace(IDirect3DDevice7* lpDevice, const char* pszText, int nLength,
                                                 int nAdvance, int nShadowHeight, int nFrontHeight, COLORREF color,
                                                 int nChunk, const char* pszFace);
