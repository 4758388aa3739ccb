#include "scene/Game.h"

#include <cmath>

#include "engine/RenderState.h"
#include "engine/WinMain.h"

namespace {

constexpr WORD kKey = 0x07E0;  // pure green: transparent in keyed pictures
constexpr int kPicSize = 64;
constexpr int kHoldTicks = 60;

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

D3DLVERTEX GlowVertex(float x, float y, DWORD dwColor)
{
    D3DLVERTEX v = {};
    v.x = x;
    v.y = -y;
    v.z = 0.0f;
    v.color = dwColor;
    v.specular = 0;
    return v;
}

} // namespace

CGame::~CGame()
{
    Release();
}

void CGame::InitFader()
{
    m_Fader.Init();
    m_Fader.SetSpeed(0.01f);
}

bool CGame::Init(IDirect3DDevice7* lpDevice)
{
    m_lpDevice = lpDevice;
    m_lpSprite = CreatePicture(false);
    m_lpTexture = CreatePicture(true);
    if (!m_lpSprite || !m_lpTexture) {
        return false;
    }
    m_nTick = 0;
    m_nFadeStage = 0;
    m_nHoldTicks = 0;
    m_Fader.SetKind(CFadePlane::KIND_IN_BLACK);
    m_Fader.Start();
    return true;
}

// In from black, then out to white, in from white, out to black, and round again, holding a
// second between fades.
void CGame::StepFadeCycle()
{
    static const int kCycle[4] = {CFadePlane::KIND_OUT_WHITE, CFadePlane::KIND_IN_WHITE,
                                  CFadePlane::KIND_OUT_BLACK, CFadePlane::KIND_IN_BLACK};
    if (!m_Fader.IsDone()) {
        return;
    }
    if (++m_nHoldTicks < kHoldTicks) {
        return;
    }
    m_nHoldTicks = 0;
    m_Fader.SetKind(kCycle[m_nFadeStage]);
    m_Fader.Start();
    m_nFadeStage = (m_nFadeStage + 1) % 4;
}

void CGame::Update()
{
    m_nTick++;
    StepFadeCycle();
    m_Fader.Draw(m_lpDevice);
}

void CGame::DrawTest2D(IDirectDrawSurface7* lpBackBuffer)
{
    static const WORD kBar[8] = {
        Rgb565(255, 255, 255), Rgb565(255, 255, 0), Rgb565(0, 255, 255), Rgb565(0, 255, 0),
        Rgb565(255, 0, 255),   Rgb565(255, 0, 0),   Rgb565(0, 0, 255),   Rgb565(0, 0, 0),
    };
    for (int i = 0; i < 8; i++) {
        FillRect(lpBackBuffer, i * 80, 300, i * 80 + 80, 480, kBar[i]);
    }
    FillRect(lpBackBuffer, 0, 0, 640, 300, Rgb565(40, 48, 72));

    RECT rcPic = {0, 0, kPicSize, kPicSize};
    const LONG xMove = 16 + (m_nTick * 2) % 560;
    RECT rcMoving = {xMove, 320, xMove + kPicSize, 320 + kPicSize};
    lpBackBuffer->Blt(&rcMoving, m_lpSprite, &rcPic, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);

    RECT rcPlain = {24, 24, 24 + kPicSize, 24 + kPicSize};
    lpBackBuffer->Blt(&rcPlain, m_lpSprite, &rcPic, DDBLT_WAIT, nullptr);
    RECT rcKeyed = {104, 24, 104 + kPicSize, 24 + kPicSize};
    lpBackBuffer->Blt(&rcKeyed, m_lpSprite, &rcPic, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    RECT rcStretched = {24, 104, 24 + kPicSize * 2, 104 + kPicSize * 3 / 2};
    lpBackBuffer->Blt(&rcStretched, m_lpSprite, &rcPic, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    // Partly off the bottom-right corner: clipped, never written past the buffer.
    RECT rcClipped = {600, 440, 600 + kPicSize, 440 + kPicSize};
    lpBackBuffer->Blt(&rcClipped, m_lpSprite, &rcPic, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

void CGame::DrawTest3D(IDirect3DDevice7* lpDevice)
{
    if (FAILED(lpDevice->BeginScene())) {
        return;
    }

    // A lit, keyed, textured quad turning about its centre.
    const float fAngle = static_cast<float>(m_nTick) * 0.02f;
    const float c = std::cos(fAngle);
    const float s = std::sin(fAngle);
    D3DMATRIX mWorld = {};
    mWorld._11 = c;
    mWorld._12 = s;
    mWorld._21 = -s;
    mWorld._22 = c;
    mWorld._33 = 1.0f;
    mWorld._41 = 440.0f;
    mWorld._42 = -140.0f;
    mWorld._44 = 1.0f;
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    D3DVERTEX quad[4] = {};
    const float h = 80.0f;
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
    D3DMATRIX mIdentity = {};
    mIdentity._11 = mIdentity._22 = mIdentity._33 = mIdentity._44 = 1.0f;
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mIdentity);

    // Three additive glows whose overlaps saturate towards white.
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    DWORD dwColorOp = 0;
    lpDevice->GetTextureStageState(0, D3DTSS_COLOROP, &dwColorOp);
    lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    static const DWORD kGlow[3] = {0x00D02020, 0x0020D020, 0x002020D0};
    static const float kCentre[3][2] = {{560, 90}, {590, 140}, {530, 140}};
    for (int i = 0; i < 3; i++) {
        const float x = kCentre[i][0];
        const float y = kCentre[i][1];
        D3DLVERTEX glow[4] = {GlowVertex(x - 40, y - 40, kGlow[i]), GlowVertex(x + 40, y - 40, kGlow[i]),
                              GlowVertex(x + 40, y + 40, kGlow[i]), GlowVertex(x - 40, y + 40, kGlow[i])};
        lpDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, glow, 4, 0);
    }
    lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, dwColorOp);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);

    lpDevice->EndScene();
}

void CGame::Render(IDirectDrawSurface7* lpBackBuffer, IDirect3DDevice7* lpDevice)
{
    if (!lpBackBuffer || !lpDevice || !m_lpSprite) {
        return;
    }
    DrawTest2D(lpBackBuffer);
    DrawTest3D(lpDevice);
    m_Fader.Draw(lpDevice);
}

void CGame::Release()
{
    if (m_lpSprite) {
        m_lpSprite->Release();
        m_lpSprite = nullptr;
    }
    if (m_lpTexture) {
        m_lpTexture->Release();
        m_lpTexture = nullptr;
    }
    m_lpDevice = nullptr;
}

void CGame::DebugRestart()
{
    m_nTick = 0;
    m_nFadeStage = 0;
    m_nHoldTicks = 0;
    m_Fader.SetKind(CFadePlane::KIND_IN_BLACK);
    m_Fader.Start();
}
