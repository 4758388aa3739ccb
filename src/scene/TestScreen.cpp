#include "scene/TestScreen.h"

#include <cmath>

#include "engine/AntiCharBmp.h"
#include "engine/FPSChar.h"
#include "engine/RenderState.h"
#include "engine/SurfaceUtil.h"
#include "engine/TextSprite.h"
#include "engine/WinMain.h"
#include "platform/d3d/D3DX.h"

namespace {

constexpr WORD kKey = 0x07E0;  // pure green: transparent in keyed pictures
constexpr int kPicSize = 64;

// Game text is code page 932: "ぞるばくるむ！ 日本語の表示テスト" and "ゾルバ".
const char kTextLine[] = "\x82\xBC\x82\xE9\x82\xCE\x82\xAD\x82\xE9\x82\xDE\x81\x49\x20\x93\xFA\x96\x7B\x8C\xEA"
                         "\x82\xCC\x95\x5C\x8E\xA6\x83\x65\x83\x58\x83\x67";
const char kGlyphText[] = "\x83\x5D\x83\x8B\x83\x6F";

const IMGKEY kPauseKey = {"SystemIndex.txt", "Pause.bmp"};
const IMGKEY kIconsKey = {"CockpitIndex.txt", "SubWeaponIcon.bmp"};
const IMGKEY kBossNameKey = {"BossIndex.txt", "BossName.bmp"};
const IMGKEY kFaceKey = {"CockpitIndex.txt", "FaceNormal"};
const IMGKEY kBeaconKey = {"SystemIndex.txt", "DangerBeacon1.bmp"};
const IMGKEY kYenKey = {"CockpitIndex.txt", "Yen.bmp"};
const IMGKEY kOptionKey = {"CockpitIndex.txt", "Option"};

WORD Rgb565(int r, int g, int b)
{
    return static_cast<WORD>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// A disc with a white ring and a blue square at its centre, on the key colour.
WORD TestPixel(int x, int y)
{
    const int dx = x - kPicSize / 2;
    const int dy = y - kPicSize / 2;
    const int d2 = dx * dx + dy * dy;
    if (dx >= -8 && dx < 8 && dy >= -8 && dy < 8) {
        return Rgb565(40, 80, 255);
    }
    if (d2 < 24 * 24) {
        return Rgb565(230, 40, 40);
    }
    if (d2 < 29 * 29) {
        return Rgb565(255, 255, 255);
    }
    return kKey;
}

IDirectDrawSurface7* CreatePicture(bool bTexture)
{
    if (!g_lpDD) {
        return nullptr;
    }
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    ddsd.dwWidth = kPicSize;
    ddsd.dwHeight = kPicSize;
    ddsd.ddsCaps.dwCaps = bTexture ? DDSCAPS_TEXTURE : (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
    ddsd.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    ddsd.ddpfPixelFormat.dwFlags = DDPF_RGB;
    ddsd.ddpfPixelFormat.dwRGBBitCount = 16;
    ddsd.ddpfPixelFormat.dwRBitMask = 0xF800;
    ddsd.ddpfPixelFormat.dwGBitMask = 0x07E0;
    ddsd.ddpfPixelFormat.dwBBitMask = 0x001F;
    IDirectDrawSurface7* lpSurface = nullptr;
    if (FAILED(g_lpDD->CreateSurface(&ddsd, &lpSurface, nullptr))) {
        return nullptr;
    }
    DDSURFACEDESC2 lock = {};
    lock.dwSize = sizeof(lock);
    if (SUCCEEDED(lpSurface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr))) {
        auto* pRow = static_cast<BYTE*>(lock.lpSurface);
        for (int y = 0; y < kPicSize; y++, pRow += lock.lPitch) {
            auto* pPixel = reinterpret_cast<WORD*>(pRow);
            for (int x = 0; x < kPicSize; x++) {
                pPixel[x] = TestPixel(x, y);
            }
        }
        lpSurface->Unlock(nullptr);
    }
    DDCOLORKEY ck = {kKey, kKey};
    lpSurface->SetColorKey(DDCKEY_SRCBLT, &ck);
    return lpSurface;
}

void FillRect(IDirectDrawSurface7* lpTarget, LONG l, LONG t, LONG r, LONG b, WORD wColor)
{
    RECT rc = {l, t, r, b};
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = wColor;
    lpTarget->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

// A keyed blit of the whole surface at (x, y).
void BltKeyed(IDirectDrawSurface7* lpTarget, IDirectDrawSurface7* lpSource, LONG x, LONG y)
{
    if (!lpSource) {
        return;
    }
    int w = 0;
    int h = 0;
    GetSurfaceSize(lpSource, &w, &h);
    RECT rcDest = {x, y, x + w, y + h};
    lpTarget->Blt(&rcDest, lpSource, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

D3DLVERTEX GlowVertex(float x, float y, DWORD dwColor)
{
    D3DLVERTEX v = {};
    v.x = x;
    v.y = -y;
    v.color = dwColor;
    return v;
}

// Scale, then turn about z, then move to the screen point (x, y).
D3DXMATRIX PlaceMatrix(float x, float y, float fScale, float fAngle)
{
    D3DXMATRIX mScale;
    D3DXMATRIX mTurn;
    D3DXMATRIX mMove;
    D3DXMATRIX mScaleTurn;
    D3DXMATRIX mOut;
    D3DXMatrixScaling(&mScale, fScale, fScale, 1.0f);
    D3DXMatrixRotationZ(&mTurn, fAngle);
    D3DXMatrixTranslation(&mMove, x, -y, 0.0f);
    D3DXMatrixMultiply(&mScaleTurn, &mScale, &mTurn);
    D3DXMatrixMultiply(&mOut, &mScaleTurn, &mMove);
    return mOut;
}

IDirectDrawSurface7* CreateKeyedPlane(int w, int h, bool bKeyed)
{
    IDirectDrawSurface7* lpSurface = CreatePlaneSurface(g_lpDD, w, h, MEM_SYSTEM);
    if (!lpSurface) {
        return nullptr;
    }
    FillSurfaceColor(lpSurface, 0.0f, bKeyed ? 1.0f : 0.0f, 0.0f, nullptr);
    if (bKeyed) {
        DDCOLORKEY ck = {kKey, kKey};
        lpSurface->SetColorKey(DDCKEY_SRCBLT, &ck);
    }
    return lpSurface;
}

} // namespace

bool CTestScreen::Load(IDirect3DDevice7* lpDevice)
{
    m_lpPicture = CreatePicture(false);
    m_lpTexture = CreatePicture(true);
    if (!m_lpPicture || !m_lpTexture) {
        return false;
    }
    LoadIndexPictures(lpDevice);
    LoadText(lpDevice);
    GetFPSChar().Load(lpDevice);
    GetFPSChar().SetPosition(8.0f, 398.0f);
    m_nTick = 0;
    return true;
}

void CTestScreen::LoadIndexPictures(IDirect3DDevice7* lpDevice)
{
    struct {
        CDSurface* pSurface;
        const IMGKEY* pKey;
    } const kPictures[] = {
        {&m_Pause, &kPauseKey}, {&m_Icons, &kIconsKey}, {&m_BossName, &kBossNameKey},
        {&m_Beacon, &kBeaconKey}, {&m_Yen, &kYenKey},
    };
    for (const auto& picture : kPictures) {
        if (picture.pSurface->LoadFromIndex(lpDevice, *picture.pKey, nullptr, MEM_SYSTEM)) {
            picture.pSurface->SetColorKeyGreen();
        }
    }
    if (IDirectDrawSurface7* lpFace = LoadIndexSurface(lpDevice, kFaceKey, MEM_SYSTEM)) {
        m_Face.Create(lpDevice, lpFace, nullptr, MEM_SYSTEM);
        lpFace->Release();
    }
    if (IDirectDrawSurface7* lpOption = LoadIndexSurface(lpDevice, kOptionKey, MEM_SYSTEM)) {
        m_Option.Create(lpDevice, lpOption, nullptr);
        lpOption->Release();
    }
}

void CTestScreen::LoadText(IDirect3DDevice7*)
{
    HDC hdc = nullptr;
    if (m_Text.Attach(CreateKeyedPlane(400, 24, true)) && SUCCEEDED(m_Text.GetSurface()->GetDC(&hdc))) {
        HFONT hFont = CreateTextFont(0, FONT_MS_GOTHIC, -20, 0);
        SetBkMode(hdc, TRANSPARENT);
        DrawTextWithFont(hdc, 0, 2, kTextLine, static_cast<int>(sizeof(kTextLine) - 1), hFont, RGB(255, 255, 255));
        DeleteObject(hFont);
        m_Text.GetSurface()->ReleaseDC(hdc);
    }
    if (!m_Glyphs.Attach(CreateKeyedPlane(180, 52, false)) || FAILED(m_Glyphs.GetSurface()->GetDC(&hdc))) {
        return;
    }
    HFONT hFont = CreateTextFont(0, FONT_MS_GOTHIC, -44, 0);
    int x = 4;
    for (size_t i = 0; i + 1 < sizeof(kGlyphText); i += 2) {
        CAntiCharBmp glyph;
        if (glyph.Create(0, hFont, kGlyphText + i, 2, GGO_GRAY4_BITMAP, 255)) {
            BitBlt(hdc, x, 4, glyph.GetWidth(), glyph.GetHeight(), glyph.GetDC(), 0, 0, SRCCOPY);
            x += glyph.GetCellIncX();
        }
    }
    DeleteObject(hFont);
    m_Glyphs.GetSurface()->ReleaseDC(hdc);
}

void CTestScreen::Release()
{
    SafeRelease(m_lpPicture);
    SafeRelease(m_lpTexture);
    m_Pause.Release();
    m_Icons.Release();
    m_BossName.Release();
    m_Face.Release();
    m_Beacon.Release();
    m_Yen.Release();
    m_Option.Release();
    m_Text.Release();
    m_Glyphs.Release();
    GetFPSChar().Release();
}

void CTestScreen::Draw(IDirectDrawSurface7* lpBackBuffer, IDirect3DDevice7* lpDevice)
{
    if (!lpBackBuffer || !lpDevice || !m_lpPicture) {
        return;
    }
    Draw2D(lpBackBuffer);
    DrawIndexPictures(lpBackBuffer);
    Draw3D(lpDevice);
}

void CTestScreen::Draw2D(IDirectDrawSurface7* lpBackBuffer)
{
    static const WORD kBar[8] = {
        Rgb565(255, 255, 255), Rgb565(255, 255, 0), Rgb565(0, 255, 255), Rgb565(0, 255, 0),
        Rgb565(255, 0, 255),   Rgb565(255, 0, 0),   Rgb565(0, 0, 255),   Rgb565(0, 0, 0),
    };
    FillRect(lpBackBuffer, 0, 0, 640, 420, Rgb565(40, 48, 72));
    for (int i = 0; i < 8; i++) {
        FillRect(lpBackBuffer, i * 80, 420, i * 80 + 80, 480, kBar[i]);
    }

    RECT rcPic = {0, 0, kPicSize, kPicSize};
    RECT rcPlain = {8, 8, 8 + kPicSize, 8 + kPicSize};
    lpBackBuffer->Blt(&rcPlain, m_lpPicture, &rcPic, DDBLT_WAIT, nullptr);
    BltKeyed(lpBackBuffer, m_lpPicture, 80, 8);
    RECT rcStretched = {152, 8, 152 + kPicSize * 2, 8 + kPicSize * 3 / 2};
    lpBackBuffer->Blt(&rcStretched, m_lpPicture, &rcPic, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    const LONG xMove = 16 + (m_nTick * 2) % 560;
    BltKeyed(lpBackBuffer, m_lpPicture, xMove, 350);
    // Partly off the bottom-right corner: clipped, never written past the buffer.
    BltKeyed(lpBackBuffer, m_lpPicture, 600, 440);

    BltKeyed(lpBackBuffer, m_Text.GetSurface(), 232, 268);
    if (m_Glyphs.GetSurface()) {
        RECT rcGlyphs = {232, 296, 412, 348};
        lpBackBuffer->Blt(&rcGlyphs, m_Glyphs.GetSurface(), nullptr, DDBLT_WAIT, nullptr);
    }
    GetFPSChar().Draw(lpBackBuffer);
}

void CTestScreen::DrawIndexPictures(IDirectDrawSurface7* lpBackBuffer)
{
    BltKeyed(lpBackBuffer, m_Pause.GetSurface(), 8, 120);
    BltKeyed(lpBackBuffer, m_Icons.GetSurface(), 176, 120);
    if (m_BossName.GetSurface()) {
        // The first of the stacked name frames.
        RECT rcFrame = {0, 0, 107, 25};
        RECT rcDest = {424, 128, 531, 153};
        lpBackBuffer->Blt(&rcDest, m_BossName.GetSurface(), &rcFrame, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    }
    const int kKinds[4] = {CDSurfaceEx::IMAGE_NORMAL, CDSurfaceEx::IMAGE_MIRROR, CDSurfaceEx::IMAGE_FLASH,
                           CDSurfaceEx::IMAGE_FLASH_MIRROR};
    for (int i = 0; i < 4; i++) {
        BltKeyed(lpBackBuffer, m_Face.GetImage(kKinds[i]), 8 + i * 108, 172);
    }
    if (m_Beacon.GetSurface()) {
        int w = 0;
        int h = 0;
        m_Beacon.GetSize(&w, &h);
        BltSlanted(lpBackBuffer, 470, 176, m_Beacon.GetSurface(), w, h);
    }
    if (m_Yen.GetSurface()) {
        RECT rcDest = {584, 172, 624, 240};
        lpBackBuffer->Blt(&rcDest, m_Yen.GetSurface(), nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    }
}

void CTestScreen::Draw3D(IDirect3DDevice7* lpDevice)
{
    if (FAILED(lpDevice->BeginScene())) {
        return;
    }
    const float fAngle = static_cast<float>(m_nTick) * 0.02f;

    // A lit, keyed, textured quad turning about its centre.
    D3DXMATRIX mWorld = PlaceMatrix(560.0f, 70.0f, 1.0f, fAngle);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    D3DVERTEX quad[4] = {};
    const float h = 52.0f;
    const float corner[4][4] = {{-h, h, 0, 0}, {h, h, 1, 0}, {h, -h, 1, 1}, {-h, -h, 0, 1}};
    for (int i = 0; i < 4; i++) {
        quad[i].x = corner[i][0];
        quad[i].y = corner[i][1];
        quad[i].nz = -1.0f;
        quad[i].tu = corner[i][2];
        quad[i].tv = corner[i][3];
    }
    CRenderState::Apply(lpDevice, CRenderState::PRESET_OPAQUE);
    lpDevice->SetTexture(0, m_lpTexture);
    lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, quad, 4, 0);
    lpDevice->SetTexture(0, nullptr);
    D3DXMATRIX mIdentity;
    D3DXMatrixIdentity(&mIdentity);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mIdentity);

    // The same sprite turned and scaled both ways.
    const D3DXMATRIX mBig = PlaceMatrix(64.0f, 310.0f, 1.25f, fAngle);
    const D3DXMATRIX mSmall = PlaceMatrix(168.0f, 310.0f, 0.6f, -2.0f * fAngle);
    m_Option.Draw(lpDevice, &mBig);
    m_Option.Draw(lpDevice, &mSmall);

    // Three additive glows whose overlaps saturate towards white.
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    DWORD dwColorOp = 0;
    lpDevice->GetTextureStageState(0, D3DTSS_COLOROP, &dwColorOp);
    lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    static const DWORD kGlow[3] = {0x00D02020, 0x0020D020, 0x002020D0};
    static const float kCentre[3][2] = {{420, 44}, {450, 84}, {390, 84}};
    for (int i = 0; i < 3; i++) {
        const float x = kCentre[i][0];
        const float y = kCentre[i][1];
        D3DLVERTEX glow[4] = {GlowVertex(x - 32, y - 32, kGlow[i]), GlowVertex(x + 32, y - 32, kGlow[i]),
                              GlowVertex(x + 32, y + 32, kGlow[i]), GlowVertex(x - 32, y + 32, kGlow[i])};
        lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, glow, 4, 0);
    }
    lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, dwColorOp);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);

    lpDevice->EndScene();
}
