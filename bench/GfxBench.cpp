// Our keyed RGB565 blit and additive textured quad against SDL2's software paths on the same work.
// The "ratio" counters are SDL's time per run divided by ours (above 1: ours is faster). For the
// blit SDL's time is measured in a first run of the SDL case; the quads are timed in turn in one
// case, after checking that both sides draw the same picture.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

#include "platform/d3d/D3D.h"
#include "platform/d3d/D3DX.h"
#include "platform/d3d/Rasterizer.h"
#include "platform/ddraw/DDraw.h"

namespace {

constexpr int kW = 640, kH = 480;
constexpr int kSpriteW = 128, kSpriteH = 96;
constexpr int kBlitsPerRun = 64;
constexpr uint16_t kKey = 0x07E0;

double g_fSdlBlitNs = 0.0;

// Sprite picture: a ring of colour with the key around it and in its middle.
uint16_t SpritePixel(int x, int y)
{
    const int dx = x - kSpriteW / 2, dy = y - kSpriteH / 2;
    const int r2 = dx * dx + dy * dy;
    return (r2 < 40 * 40 && r2 > 15 * 15) ? (uint16_t)(0x1082 * ((x + y) % 31) | 0x8000) : kKey;
}

double NsPerIteration(benchmark::State& state, std::chrono::steady_clock::time_point t0)
{
    const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
    return state.iterations() ? ns / (double)state.iterations() : 0.0;
}

void BM_SdlKeyedBlit(benchmark::State& state)
{
    SDL_Surface* pDst = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 16, SDL_PIXELFORMAT_RGB565);
    SDL_Surface* pSrc = SDL_CreateRGBSurfaceWithFormat(0, kSpriteW, kSpriteH, 16, SDL_PIXELFORMAT_RGB565);
    for (int y = 0; y < kSpriteH; y++) {
        for (int x = 0; x < kSpriteW; x++) {
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(pSrc->pixels) + y * pSrc->pitch)[x] = SpritePixel(x, y);
        }
    }
    SDL_SetColorKey(pSrc, SDL_TRUE, kKey);
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int i = 0; i < kBlitsPerRun; i++) {
            SDL_Rect rc = {(i * 37) % (kW - kSpriteW), (i * 53) % (kH - kSpriteH), kSpriteW, kSpriteH};
            SDL_BlitSurface(pSrc, nullptr, pDst, &rc);
        }
        benchmark::DoNotOptimize(pDst->pixels);
    }
    g_fSdlBlitNs = NsPerIteration(state, t0);
    SDL_FreeSurface(pSrc);
    SDL_FreeSurface(pDst);
}

IDirectDraw7* NewDirectDraw()
{
    void* pv = nullptr;
    DirectDrawCreateEx(nullptr, &pv, IID_IDirectDraw7, nullptr);
    return static_cast<IDirectDraw7*>(pv);
}

void BM_OursKeyedBlit(benchmark::State& state)
{
    IDirectDraw7* pDD = NewDirectDraw();
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = kW;
    desc.dwHeight = kH;
    IDirectDrawSurface7 *pDst = nullptr, *pSrc = nullptr;
    pDD->CreateSurface(&desc, &pDst, nullptr);
    desc.dwWidth = kSpriteW;
    desc.dwHeight = kSpriteH;
    pDD->CreateSurface(&desc, &pSrc, nullptr);
    pSrc->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    for (int y = 0; y < kSpriteH; y++) {
        for (int x = 0; x < kSpriteW; x++) {
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch)[x] = SpritePixel(x, y);
        }
    }
    pSrc->Unlock(nullptr);
    DDCOLORKEY ck = {kKey, kKey};
    pSrc->SetColorKey(DDCKEY_SRCBLT, &ck);
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int i = 0; i < kBlitsPerRun; i++) {
            const LONG x = (i * 37) % (kW - kSpriteW), y = (i * 53) % (kH - kSpriteH);
            RECT rc = {x, y, x + kSpriteW, y + kSpriteH};
            pDst->Blt(&rc, pSrc, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
        }
    }
    const double ns = NsPerIteration(state, t0);
    state.counters["ratio"] = ns > 0.0 ? g_fSdlBlitNs / ns : 0.0;
    pSrc->Release();
    pDst->Release();
    pDD->Release();
}

// Additive textured quads, 128 x 128 each, at the game's glow set-up. Both sides draw the same
// quads with the same texels and the same ONE/ONE blend onto the same background; every run starts
// from that background (restored outside the timed part), and the pictures are compared before
// timing: a benchmark whose two sides draw different pixels stops with an error.
constexpr int kQuad = 128;
constexpr int kQuadsPerRun = 32;
constexpr uint16_t kQuadBackground = 0x2104;  // dim grey: the first add changes every channel

// No texel is black, so every covered pixel changes.
uint16_t QuadTexel(int x, int y)
{
    return (uint16_t)(0x0841 * ((x ^ y) & 31) | 0x0821);
}

float QuadX(int i)
{
    return (float)((i * 41) % (kW - kQuad));
}

float QuadY(int i)
{
    return (float)((i * 29) % (kH - kQuad));
}

void FillRows(uint8_t* pBits, long lPitch, uint16_t w)
{
    for (int y = 0; y < kH; y++) {
        uint16_t* p = reinterpret_cast<uint16_t*>(pBits + y * lPitch);
        std::fill(p, p + kW, w);
    }
}

class CSdlQuads {
public:
    CSdlQuads()
    {
        m_pTarget = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 16, SDL_PIXELFORMAT_RGB565);
        m_pRenderer = SDL_CreateSoftwareRenderer(m_pTarget);
        SDL_Surface* pTexSurf = SDL_CreateRGBSurfaceWithFormat(0, kQuad, kQuad, 16, SDL_PIXELFORMAT_RGB565);
        for (int y = 0; y < kQuad; y++) {
            for (int x = 0; x < kQuad; x++) {
                reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(pTexSurf->pixels) + y * pTexSurf->pitch)[x] =
                    QuadTexel(x, y);
            }
        }
        m_pTex = SDL_CreateTextureFromSurface(m_pRenderer, pTexSurf);
        SDL_FreeSurface(pTexSurf);
        SDL_SetTextureBlendMode(m_pTex, SDL_BLENDMODE_ADD);
    }
    ~CSdlQuads()
    {
        SDL_DestroyTexture(m_pTex);
        SDL_DestroyRenderer(m_pRenderer);
        SDL_FreeSurface(m_pTarget);
    }
    CSdlQuads(const CSdlQuads&) = delete;
    CSdlQuads& operator=(const CSdlQuads&) = delete;

    void Reset() { FillRows(static_cast<uint8_t*>(m_pTarget->pixels), m_pTarget->pitch, kQuadBackground); }
    void Run()
    {
        for (int i = 0; i < kQuadsPerRun; i++) {
            const float x = QuadX(i), y = QuadY(i);
            SDL_Vertex v[4] = {{{x, y}, {255, 255, 255, 255}, {0, 0}},
                               {{x + kQuad, y}, {255, 255, 255, 255}, {1, 0}},
                               {{x + kQuad, y + kQuad}, {255, 255, 255, 255}, {1, 1}},
                               {{x, y + kQuad}, {255, 255, 255, 255}, {0, 1}}};
            const int idx[6] = {0, 1, 2, 0, 2, 3};
            SDL_RenderGeometry(m_pRenderer, m_pTex, v, 4, idx, 6);
        }
        SDL_RenderFlush(m_pRenderer);
        benchmark::DoNotOptimize(m_pTarget->pixels);
    }
    uint16_t Pixel(int x, int y) const
    {
        return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(m_pTarget->pixels) +
                                                 y * m_pTarget->pitch)[x];
    }

private:
    SDL_Surface* m_pTarget = nullptr;
    SDL_Renderer* m_pRenderer = nullptr;
    SDL_Texture* m_pTex = nullptr;
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

class COurQuads {
public:
    COurQuads()
    {
        m_pDD = NewDirectDraw();
        m_pBack = NewBackBuffer(m_pDD);
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        desc.dwWidth = desc.dwHeight = kQuad;
        m_pBack->GetPixelFormat(&desc.ddpfPixelFormat);
        m_pDD->CreateSurface(&desc, &m_pTex, nullptr);
        m_pTex->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
        for (int y = 0; y < kQuad; y++) {
            for (int x = 0; x < kQuad; x++) {
                reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch)[x] =
                    QuadTexel(x, y);
            }
        }
        m_pTex->Unlock(nullptr);
        m_pDev = NewOrthoDevice(m_pDD, m_pBack, &m_pD3D);
        m_pDev->SetTexture(0, m_pTex);
        m_pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
        m_pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        m_pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
        m_pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        m_pDev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    }
    ~COurQuads()
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

    void Reset()
    {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        m_pBack->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
        FillRows(static_cast<uint8_t*>(desc.lpSurface), desc.lPitch, kQuadBackground);
        m_pBack->Unlock(nullptr);
        m_pBits = static_cast<const uint8_t*>(desc.lpSurface);
        m_lPitch = desc.lPitch;
    }
    void Run()
    {
        for (int i = 0; i < kQuadsPerRun; i++) {
            const float x = QuadX(i), y = QuadY(i);
            D3DLVERTEX v[4] = {};
            const float xs[4] = {x, x + kQuad, x + kQuad, x}, ys[4] = {y, y, y + kQuad, y + kQuad};
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
    uint16_t Pixel(int x, int y) const { return reinterpret_cast<const uint16_t*>(m_pBits + y * m_lPitch)[x]; }

private:
    IDirectDraw7* m_pDD = nullptr;
    IDirectDrawSurface7* m_pBack = nullptr;
    IDirectDrawSurface7* m_pTex = nullptr;
    IDirect3D7* m_pD3D = nullptr;
    IDirect3DDevice7* m_pDev = nullptr;
    const uint8_t* m_pBits = nullptr;
    long m_lPitch = 0;
};

// One run of each side from the background, compared pixel by pixel. Returns the number of
// covered pixels, or -1 (with the reason in state) when the two pictures differ.
long CompareQuadPictures(benchmark::State& state, CSdlQuads& sdl, COurQuads& ours)
{
    sdl.Reset();
    sdl.Run();
    ours.Reset();
    ours.Run();
    long nSdlCovered = 0, nOurCovered = 0, nDiffer = 0;
    for (int y = 0; y < kH; y++) {
        for (int x = 0; x < kW; x++) {
            const uint16_t a = sdl.Pixel(x, y), b = ours.Pixel(x, y);
            nSdlCovered += a != kQuadBackground;
            nOurCovered += b != kQuadBackground;
            nDiffer += a != b;
        }
    }
    if (nSdlCovered != nOurCovered || nDiffer != 0) {
        const std::string sWhy = "pictures differ: covered " + std::to_string(nSdlCovered) + " (SDL) vs " +
                                 std::to_string(nOurCovered) + " (ours), " + std::to_string(nDiffer) +
                                 " pixels differ";
        state.SkipWithError(sWhy.c_str());
        return -1;
    }
    return nOurCovered;
}

template <class T>
double TimedRun(T& side)
{
    side.Reset();
    const auto t0 = std::chrono::steady_clock::now();
    side.Run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_SdlAdditiveQuad(benchmark::State& state)
{
    CSdlQuads sdl;
    for (auto _ : state) {
        state.SetIterationTime(TimedRun(sdl));
    }
}

void BM_OursAdditiveQuad(benchmark::State& state)
{
    COurQuads ours;
    for (auto _ : state) {
        state.SetIterationTime(TimedRun(ours));
    }
}

// Both sides in turn, so that both see the same machine: "ratio" is SDL's total time over ours
// (above 1: ours is faster).
void BM_AdditiveQuadRatio(benchmark::State& state)
{
    CSdlQuads sdl;
    COurQuads ours;
    const long nCovered = CompareQuadPictures(state, sdl, ours);
    if (nCovered < 0) {
        return;
    }
    double fSdl = 0.0, fOurs = 0.0;
    for (auto _ : state) {
        const double a = TimedRun(sdl);
        const double b = TimedRun(ours);
        fSdl += a;
        fOurs += b;
        state.SetIterationTime(a + b);
    }
    state.counters["covered"] = (double)nCovered;
    state.counters["ratio"] = fOurs > 0.0 ? fSdl / fOurs : 0.0;
}

// The scene fader: a full-screen lit quad in a flat material colour, SRCALPHA / INVSRCALPHA, depth
// tested against a cleared Z buffer and not written. Argument 0 is the alpha (0..255), argument 1
// turns the fast paths on (1) or off (0, the general per-pixel loop).
class CFaderQuad {
public:
    CFaderQuad()
    {
        m_pDD = NewDirectDraw();
        m_pBack = NewBackBuffer(m_pDD);
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
        m_pDD->CreateSurface(&desc, &m_pZ, nullptr);
        m_pBack->AddAttachedSurface(m_pZ);
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

BENCHMARK(BM_SdlKeyedBlit);
BENCHMARK(BM_OursKeyedBlit);
BENCHMARK(BM_SdlAdditiveQuad)->UseManualTime();
BENCHMARK(BM_OursAdditiveQuad)->UseManualTime();
BENCHMARK(BM_AdditiveQuadRatio)->UseManualTime();
BENCHMARK(BM_FaderQuad)->ArgsProduct({{0, 128, 255}, {1, 0}});

} // namespace

BENCHMARK_MAIN();
