// Our additive textured quads against SDL2's software renderer and pixman's ADD composite on the
// same work, and the scene fader against the general pixel loop. The "ratio" counters are the
// other side's time over ours (above 1: ours is faster); the sides are timed in turn in one case,
// after checking that they draw the same picture.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "BenchPictures.h"
#include "BenchSide.h"
#include "platform/d3d/D3D.h"
#include "platform/d3d/D3DX.h"
#include "platform/d3d/Rasterizer.h"
#include "platform/ddraw/DDraw.h"

namespace {

constexpr int kW = 640, kH = 480;

// Additive textured quads at the game's glow set-up, one texel per pixel. All sides draw the same
// quads with the same texels and the same saturating add onto the same background; every run
// starts from that background (restored outside the timed part), and the pictures are compared
// before timing: a benchmark whose sides draw different pixels stops with an error.
// Argument 0 picks the texture: QT_FULL has no black texel, so every covered pixel changes;
// QT_BULLET is the main gun's strongest bullet cell from the data set, mostly black.
enum QUADTEXTURE { QT_FULL, QT_BULLET };
constexpr int kQuadsPerRun = 32;
constexpr uint16_t kQuadBackground = 0x2104;  // dim grey: the first add changes every channel

SDL_Surface* NewQuadTexture(int nWhich)
{
    if (nWhich == QT_BULLET) {
        return LoadDataPicture565("System/Vulcan.bmp", SDL_Rect{384, 0, 96, 72});
    }
    constexpr int kSide = 128;
    SDL_Surface* p = SDL_CreateRGBSurfaceWithFormat(0, kSide, kSide, 16, SDL_PIXELFORMAT_RGB565);
    for (int y = 0; y < kSide; y++) {
        for (int x = 0; x < kSide; x++) {
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(p->pixels) + y * p->pitch)[x] =
                (uint16_t)(0x0841 * ((x ^ y) & 31) | 0x0821);
        }
    }
    return p;
}

int QuadX(int i, int w)
{
    return (i * 41) % (kW - w);
}

int QuadY(int i, int h)
{
    return (i * 29) % (kH - h);
}

void FillRows(uint8_t* pBits, long lPitch, uint16_t w)
{
    for (int y = 0; y < kH; y++) {
        uint16_t* p = reinterpret_cast<uint16_t*>(pBits + y * lPitch);
        std::fill(p, p + kW, w);
    }
}

class CSdlQuads : public CBenchSide {
public:
    explicit CSdlQuads(SDL_Surface* pTexture) : m_nTexW(pTexture->w), m_nTexH(pTexture->h)
    {
        m_pTarget = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 16, SDL_PIXELFORMAT_RGB565);
        m_pRenderer = SDL_CreateSoftwareRenderer(m_pTarget);
        m_pTex = SDL_CreateTextureFromSurface(m_pRenderer, pTexture);
        SDL_SetTextureBlendMode(m_pTex, SDL_BLENDMODE_ADD);
    }
    ~CSdlQuads() override
    {
        SDL_DestroyTexture(m_pTex);
        SDL_DestroyRenderer(m_pRenderer);
        SDL_FreeSurface(m_pTarget);
    }
    CSdlQuads(const CSdlQuads&) = delete;
    CSdlQuads& operator=(const CSdlQuads&) = delete;

    void Reset() override { FillRows(static_cast<uint8_t*>(m_pTarget->pixels), m_pTarget->pitch, kQuadBackground); }
    void Run() override
    {
        for (int i = 0; i < kQuadsPerRun; i++) {
            const float x = (float)QuadX(i, m_nTexW), y = (float)QuadY(i, m_nTexH);
            const float r = x + (float)m_nTexW, b = y + (float)m_nTexH;
            SDL_Vertex v[4] = {{{x, y}, {255, 255, 255, 255}, {0, 0}},
                               {{r, y}, {255, 255, 255, 255}, {1, 0}},
                               {{r, b}, {255, 255, 255, 255}, {1, 1}},
                               {{x, b}, {255, 255, 255, 255}, {0, 1}}};
            const int idx[6] = {0, 1, 2, 0, 2, 3};
            SDL_RenderGeometry(m_pRenderer, m_pTex, v, 4, idx, 6);
        }
        SDL_RenderFlush(m_pRenderer);
        benchmark::DoNotOptimize(m_pTarget->pixels);
    }
    uint16_t Pixel(int x, int y) const { return PixelAt(m_pTarget->pixels, m_pTarget->pitch, x, y); }

private:
    int m_nTexW, m_nTexH;
    SDL_Surface* m_pTarget = nullptr;
    SDL_Renderer* m_pRenderer = nullptr;
    SDL_Texture* m_pTex = nullptr;
};

// pixman's ADD of the RGB565 texture onto the RGB565 frame: each quad is one composite.
class CPixmanQuads : public CBenchSide {
public:
    explicit CPixmanQuads(const SDL_Surface* pTexture)
        : m_nTexW(pTexture->w), m_nTexH(pTexture->h), m_frame((size_t)kW * kH),
          m_texels((size_t)TexStride(pTexture->w) / 2 * pTexture->h)
    {
        const int nStride = TexStride(m_nTexW);
        for (int y = 0; y < m_nTexH; y++) {
            std::memcpy(reinterpret_cast<uint8_t*>(m_texels.data()) + (size_t)y * nStride,
                        static_cast<const uint8_t*>(pTexture->pixels) + y * pTexture->pitch, (size_t)m_nTexW * 2);
        }
        m_pDst = pixman_image_create_bits(PIXMAN_r5g6b5, kW, kH, reinterpret_cast<uint32_t*>(m_frame.data()), kW * 2);
        m_pSrc = pixman_image_create_bits(PIXMAN_r5g6b5, m_nTexW, m_nTexH,
                                          reinterpret_cast<uint32_t*>(m_texels.data()), nStride);
    }
    ~CPixmanQuads() override
    {
        pixman_image_unref(m_pSrc);
        pixman_image_unref(m_pDst);
    }
    CPixmanQuads(const CPixmanQuads&) = delete;
    CPixmanQuads& operator=(const CPixmanQuads&) = delete;

    void Reset() override { std::fill(m_frame.begin(), m_frame.end(), kQuadBackground); }
    void Run() override
    {
        for (int i = 0; i < kQuadsPerRun; i++) {
            pixman_image_composite32(PIXMAN_OP_ADD, m_pSrc, nullptr, m_pDst, 0, 0, 0, 0, QuadX(i, m_nTexW),
                                     QuadY(i, m_nTexH), m_nTexW, m_nTexH);
        }
        benchmark::DoNotOptimize(m_frame.data());
    }
    uint16_t Pixel(int x, int y) const { return m_frame[(size_t)y * kW + x]; }

private:
    // pixman rows start on 4-byte boundaries.
    static int TexStride(int w) { return (w * 2 + 3) & ~3; }

    int m_nTexW, m_nTexH;
    std::vector<uint16_t> m_frame;
    std::vector<uint16_t> m_texels;
    pixman_image_t* m_pDst = nullptr;
    pixman_image_t* m_pSrc = nullptr;
};

IDirectDrawSurface7* NewBackBuffer(IDirectDraw7* pDD)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    desc.dwWidth = kW;
    desc.dwHeight = kH;
    IDirectDrawSurface7* p = nullptr;
    pDD->CreateSurface(&desc, &p, nullptr);
    return p;
}

// A device drawing into pBack through the game's camera: screen pixel (x, y) is world (x, -y).
IDirect3DDevice7* NewOrthoDevice(IDirectDraw7* pDD, IDirectDrawSurface7* pBack, IDirect3D7** ppD3D)
{
    void* pv = nullptr;
    pDD->QueryInterface(IID_IDirect3D7, &pv);
    *ppD3D = static_cast<IDirect3D7*>(pv);
    IDirect3DDevice7* pDev = nullptr;
    (*ppD3D)->CreateDevice(IID_IDirect3DRGBDevice, pBack, &pDev);
    D3DXMATRIX m;
    pDev->SetTransform(D3DTRANSFORMSTATE_PROJECTION, D3DXMatrixOrtho(&m, 640.0f, 480.0f, 1.0f, 1000.0f));
    pDev->SetTransform(D3DTRANSFORMSTATE_VIEW, D3DXMatrixTranslation(&m, -320.0f, 240.0f, 240.0f));
    pDev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    return pDev;
}

class COurQuads : public CBenchSide {
public:
    explicit COurQuads(const SDL_Surface* pTexture) : m_nTexW(pTexture->w), m_nTexH(pTexture->h)
    {
        m_pDD = NewDirectDraw();
        m_pBack = NewBackBuffer(m_pDD);
        m_pTex = NewSurfaceFrom(m_pDD, pTexture, DDSCAPS_TEXTURE);
        m_pDev = NewOrthoDevice(m_pDD, m_pBack, &m_pD3D);
        m_pDev->SetTexture(0, m_pTex);
        m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    }
    ~COurQuads() override
    {
        m_pDev->SetTexture(0, nullptr);
        m_pDev->Release();
        m_pD3D->Release();
        m_pTex->Release();
        m_pBack->Release();
        m_pDD->Release();
    }
    COurQuads(const COurQuads&) = delete;
    COurQuads& operator=(const COurQuads&) = delete;

    void Reset() override
    {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        m_pBack->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
        FillRows(static_cast<uint8_t*>(desc.lpSurface), desc.lPitch, kQuadBackground);
        m_pBack->Unlock(nullptr);
        m_pBits = static_cast<const uint8_t*>(desc.lpSurface);
        m_lPitch = desc.lPitch;
    }
    void Run() override
    {
        for (int i = 0; i < kQuadsPerRun; i++) {
            const float x = (float)QuadX(i, m_nTexW), y = (float)QuadY(i, m_nTexH);
            const float r = x + (float)m_nTexW, b = y + (float)m_nTexH;
            D3DLVERTEX v[4] = {};
            const float xs[4] = {x, r, r, x}, ys[4] = {y, y, b, b};
            const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
            for (int k = 0; k < 4; k++) {
                v[k].x = xs[k];
                v[k].y = -ys[k];
                v[k].color = 0xFFFFFFFF;
                v[k].tu = us[k];
                v[k].tv = vs[k];
            }
            m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0);
        }
    }
    uint16_t Pixel(int x, int y) const { return PixelAt(m_pBits, m_lPitch, x, y); }

private:
    int m_nTexW, m_nTexH;
    IDirectDraw7* m_pDD = nullptr;
    IDirectDrawSurface7* m_pBack = nullptr;
    IDirectDrawSurface7* m_pTex = nullptr;
    IDirect3D7* m_pD3D = nullptr;
    IDirect3DDevice7* m_pDev = nullptr;
    const uint8_t* m_pBits = nullptr;
    long m_lPitch = 0;
};

// One run of each side from the background, compared pixel by pixel with ours. Returns the number
// of pixels ours changed, or -1 (with the reason in state) when a picture differs.
long CompareQuadPictures(benchmark::State& state, COurQuads& ours, CSdlQuads& sdl, CPixmanQuads& pixman)
{
    ours.Reset();
    ours.Run();
    sdl.Reset();
    sdl.Run();
    pixman.Reset();
    pixman.Run();
    long nCovered = 0, nSdl = 0, nPixman = 0;
    for (int y = 0; y < kH; y++) {
        for (int x = 0; x < kW; x++) {
            const uint16_t w = ours.Pixel(x, y);
            nCovered += w != kQuadBackground;
            nSdl += sdl.Pixel(x, y) != w;
            nPixman += pixman.Pixel(x, y) != w;
        }
    }
    if (nSdl || nPixman) {
        const std::string sWhy = "pictures differ: " + std::to_string(nSdl) + " pixels (SDL), " +
                                 std::to_string(nPixman) + " pixels (pixman)";
        state.SkipWithError(sWhy.c_str());
        return -1;
    }
    return nCovered;
}

// Our side alone, for profiling.
void BM_OursAdditiveQuad(benchmark::State& state)
{
    SDL_Surface* pTexture = NewQuadTexture((int)state.range(0));
    if (!pTexture) {
        state.SkipWithError("cannot read the texture");
        return;
    }
    {
        COurQuads ours(pTexture);
        TimeSidesInTurn(state, {{"ours", &ours}}, true);
    }
    SDL_FreeSurface(pTexture);
}

// All sides in turn: "ratio_sdl" and "ratio_pixman" are their times over ours.
void BM_AdditiveQuadRatio(benchmark::State& state)
{
    SDL_Surface* pTexture = NewQuadTexture((int)state.range(0));
    if (!pTexture) {
        state.SkipWithError("cannot read the texture");
        return;
    }
    {
        COurQuads ours(pTexture);
        CSdlQuads sdl(pTexture);
        CPixmanQuads pixman(pTexture);
        const long nCovered = CompareQuadPictures(state, ours, sdl, pixman);
        if (nCovered >= 0) {
            TimeSidesInTurn(state, {{"ours", &ours}, {"sdl", &sdl}, {"pixman", &pixman}}, true);
            state.counters["covered"] = (double)nCovered;
        }
    }
    SDL_FreeSurface(pTexture);
}

// The scene fader: a full-screen lit quad in a flat material colour, SRCALPHA / INVSRCALPHA, depth
// tested against a cleared Z buffer and not written. Argument 0 is the alpha (0..255), argument 1
// turns the fast paths on (1) or off (0, the general per-pixel loop).
// A 16-bit Z buffer attached to pBack.
IDirectDrawSurface7* NewZBuffer(IDirectDraw7* pDD, IDirectDrawSurface7* pBack)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = kW;
    desc.dwHeight = kH;
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat = DDPIXELFORMAT{};
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_ZBUFFER;
    desc.ddpfPixelFormat.dwZBufferBitDepth = 16;
    desc.ddpfPixelFormat.dwZBitMask = 0xFFFF;
    IDirectDrawSurface7* pZ = nullptr;
    pDD->CreateSurface(&desc, &pZ, nullptr);
    pBack->AddAttachedSurface(pZ);
    return pZ;
}

class CFaderQuad {
public:
    CFaderQuad()
    {
        m_pDD = NewDirectDraw();
        m_pBack = NewBackBuffer(m_pDD);
        m_pZ = NewZBuffer(m_pDD, m_pBack);
        m_pDev = NewOrthoDevice(m_pDD, m_pBack, &m_pD3D);
        D3DLIGHT7 light = {};
        light.dltType = D3DLIGHT_DIRECTIONAL;
        light.dcvDiffuse = D3DCOLORVALUE{{1.0f}, {1.0f}, {1.0f}, {1.0f}};
        light.dvDirection.z = 1.0f;
        m_pDev->SetLight(0, &light);
        m_pDev->LightEnable(0, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
        m_pDev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_CURRENT);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TEXTURE);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_BLENDDIFFUSEALPHA);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        m_pDev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
        m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, RGB_MAKE(40, 48, 72), 1.0f, 0);
    }
    ~CFaderQuad()
    {
        m_pDev->Release();
        m_pD3D->Release();
        m_pZ->Release();
        m_pBack->Release();
        m_pDD->Release();
    }
    CFaderQuad(const CFaderQuad&) = delete;
    CFaderQuad& operator=(const CFaderQuad&) = delete;

    void SetAlpha(int nAlpha)
    {
        D3DMATERIAL7 mtrl = {};
        mtrl.diffuse = mtrl.ambient = D3DCOLORVALUE{{0.0f}, {0.0f}, {0.0f}, {(float)nAlpha / 255.0f}};
        mtrl.ambient.a = 0.0f;
        m_pDev->SetMaterial(&mtrl);
    }
    void Run()
    {
        D3DVERTEX v[4] = {};
        const float xs[4] = {0, 640, 640, 0}, ys[4] = {0, 0, -480, -480};
        for (int i = 0; i < 4; i++) {
            v[i].x = xs[i];
            v[i].y = ys[i];
            v[i].nz = -1.0f;
        }
        m_pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, v, 4, 0);
    }

private:
    IDirectDraw7* m_pDD = nullptr;
    IDirectDrawSurface7* m_pBack = nullptr;
    IDirectDrawSurface7* m_pZ = nullptr;
    IDirect3D7* m_pD3D = nullptr;
    IDirect3DDevice7* m_pDev = nullptr;
};

void BM_FaderQuad(benchmark::State& state)
{
    CFaderQuad fader;
    fader.SetAlpha((int)state.range(0));
    CRasterizer::EnableFastPaths(state.range(1) != 0);
    for (auto _ : state) {
        fader.Run();
    }
    CRasterizer::EnableFastPaths(true);
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

// The enemy laser's body: an added glow drawn as a strip of quads 5 px wide and up to 200 rows
// tall, depth tested against a cleared Z buffer and not written, as the stage draws it. Nearly
// every span is a few pixels long, so this times what a span costs beyond its pixels.
class CGlowStrip {
public:
    explicit CGlowStrip(const SDL_Surface* pTexture)
    {
        m_pDD = NewDirectDraw();
        m_pBack = NewBackBuffer(m_pDD);
        m_pZ = NewZBuffer(m_pDD, m_pBack);
        m_pTex = NewSurfaceFrom(m_pDD, pTexture, DDSCAPS_TEXTURE);
        m_pDev = NewOrthoDevice(m_pDD, m_pBack, &m_pD3D);
        m_pDev->SetTexture(0, m_pTex);
        m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        m_pDev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, RGB_MAKE(20, 24, 36), 1.0f, 0);
        // Pairs every 5 px, the half height flaring out as the laser's does.
        for (int k = 0; 2 * k + 1 < kStripVertices; k++) {
            const float x = 20.0f + 5.0f * (float)k, h = 12.0f * std::log((float)(4 * k + 1)) + 2.0f;
            const float u = (float)(k & 1);
            SetVertex(m_v[2 * k], x, -240.0f + h, u, 0.0f);
            SetVertex(m_v[2 * k + 1], x, -240.0f - h, u, 1.0f);
        }
    }
    ~CGlowStrip()
    {
        m_pDev->SetTexture(0, nullptr);
        m_pDev->Release();
        m_pD3D->Release();
        m_pTex->Release();
        m_pZ->Release();
        m_pBack->Release();
        m_pDD->Release();
    }
    CGlowStrip(const CGlowStrip&) = delete;
    CGlowStrip& operator=(const CGlowStrip&) = delete;

    void Run() { m_pDev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_LVERTEX, m_v, kStripVertices, 0); }

    static constexpr int kStripVertices = 240;  // 119 quads, 595 px

private:
    static void SetVertex(D3DLVERTEX& v, float x, float y, float u, float fV)
    {
        v = D3DLVERTEX{};
        v.x = x;
        v.y = y;
        v.color = 0xFFFFFFFF;
        v.tu = u;
        v.tv = fV;
    }

    IDirectDraw7* m_pDD = nullptr;
    IDirectDrawSurface7* m_pBack = nullptr;
    IDirectDrawSurface7* m_pZ = nullptr;
    IDirectDrawSurface7* m_pTex = nullptr;
    IDirect3D7* m_pD3D = nullptr;
    IDirect3DDevice7* m_pDev = nullptr;
    D3DLVERTEX m_v[kStripVertices];
};

// A beam across a 64 x 64 texture: bright in the middle, fading out, black at the edges.
SDL_Surface* NewBeamTexture()
{
    constexpr int kSide = 64;
    SDL_Surface* p = SDL_CreateRGBSurfaceWithFormat(0, kSide, kSide, 16, SDL_PIXELFORMAT_RGB565);
    for (int y = 0; y < kSide; y++) {
        const int nFade = std::max(0, 24 - std::abs(2 * y + 1 - kSide) / 2);  // 0..24
        for (int x = 0; x < kSide; x++) {
            const int r = std::min(31, nFade + (x & 3)), g = std::min(63, 2 * nFade + 8 * (nFade > 20)), b = nFade / 2;
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(p->pixels) + y * p->pitch)[x] =
                nFade ? (uint16_t)(r << 11 | g << 5 | b) : 0;
        }
    }
    return p;
}

void BM_GlowStrip(benchmark::State& state)
{
    SDL_Surface* pTexture = NewBeamTexture();
    {
        CGlowStrip strip(pTexture);
        for (auto _ : state) {
            strip.Run();
        }
    }
    SDL_FreeSurface(pTexture);
}

BENCHMARK(BM_OursAdditiveQuad)->Arg(QT_FULL)->Arg(QT_BULLET)->UseManualTime();
BENCHMARK(BM_AdditiveQuadRatio)->Arg(QT_FULL)->Arg(QT_BULLET)->UseManualTime();
BENCHMARK(BM_FaderQuad)->ArgsProduct({{0, 128, 255}, {1, 0}});
BENCHMARK(BM_GlowStrip);

} // namespace

BENCHMARK_MAIN();
