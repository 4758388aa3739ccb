// The fixed screen the program shows until the scene machine exists. It puts every drawing path
// on screen at once: colour fills, plain, keyed, stretched, slanted and clipped blits, pictures
// from each system index file with their mirrored and flash copies, a lit textured quad and
// sprites turning in the 3D pass, additive glows, a line of Japanese text, anti-aliased glyphs and
// the frame-rate display.
#pragma once
#include "engine/DSurface.h"
#include "engine/Sprite.h"
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class CTestScreen {
public:
    CTestScreen() = default;
    ~CTestScreen() { Release(); }
    CTestScreen(const CTestScreen&) = delete;
    CTestScreen& operator=(const CTestScreen&) = delete;

    // False when the pictures made in code cannot be made; pictures from the data set that are
    // missing are left out of the screen.
    bool Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Update() { m_nTick++; }
    void Reset() { m_nTick = 0; }
    void Draw(IDirectDrawSurface7* lpBackBuffer, IDirect3DDevice7* lpDevice);

private:
    void LoadIndexPictures(IDirect3DDevice7* lpDevice);
    void LoadText(IDirect3DDevice7* lpDevice);
    void Draw2D(IDirectDrawSurface7* lpBackBuffer);
    void DrawIndexPictures(IDirectDrawSurface7* lpBackBuffer);
    void Draw3D(IDirect3DDevice7* lpDevice);

    int m_nTick = 0;
    IDirectDrawSurface7* m_lpPicture = nullptr;
    IDirectDrawSurface7* m_lpTexture = nullptr;
    CDSurface m_Pause;
    CDSurface m_Icons;
    CDSurface m_BossName;
    CDSurfaceEx m_Face;
    CDSurface m_Beacon;
    CDSurface m_Yen;
    CSprite m_Option;
    CDSurface m_Text;
    CDSurface m_Glyphs;
};
