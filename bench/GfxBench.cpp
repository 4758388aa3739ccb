// Our keyed RGB565 blit and additive textured quad against SDL2's software paths on the same work.
// The "ratio" counter of each of our cases is SDL's time per run divided by ours (above 1: ours is
// faster); SDL's time is measured in a first run of the matching SDL case.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

#include "platform/d3d/D3D.h"
#include "platform/d3d/D3DX.h"
#include "platform/ddraw/DDraw.h"

namespace {

constexpr int kW = 640, kH = 480;
constexpr int kSpriteW = 128, kSpriteH = 96;
constexpr int kBlitsPerRun = 64;
constexpr uint16_t kKey = 0x07E0;

double g_fSdlBlitNs = 0.0;
double g_fSdlQuadNs = 0.0;

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

// Additive textured quads, 128 x 128 each, at the game's glow set-up.
constexpr int kQuad = 128;
constexpr int kQuadsPerRun = 32;

void BM_SdlAdditiveQuad(benchmark::State& state)
{
    SDL_Surface* pTarget = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 16, SDL_PIXELFORMAT_RGB565);
    SDL_Renderer* pRenderer = SDL_CreateSoftwareRenderer(pTarget);
    SDL_Surface* pTexSurf = SDL_CreateRGBSurfaceWithFormat(0, kQuad, kQuad, 16, SDL_PIXELFORMAT_RGB565);
    for (int y = 0; y < kQuad; y++) {
        for (int x = 0; x < kQuad; x++) {
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(pTexSurf->pixels) + y * pTexSurf->pitch)[x] =
                (uint16_t)(0x0841 * ((x ^ y) & 31));
        }
    }
    SDL_Texture* pTex = SDL_CreateTextureFromSurface(pRenderer, pTexSurf);
    SDL_SetTextureBlendMode(pTex, SDL_BLENDMODE_ADD);
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int i = 0; i < kQuadsPerRun; i++) {
            const float x = (float)((i * 41) % (kW - kQuad)), y = (float)((i * 29) % (kH - kQuad));
            SDL_Vertex v[4] = {{{x, y}, {255, 255, 255, 255}, {0, 0}},
                               {{x + kQuad, y}, {255, 255, 255, 255}, {1, 0}},
                               {{x + kQuad, y + kQuad}, {255, 255, 255, 255}, {1, 1}},
                               {{x, y + kQuad}, {255, 255, 255, 255}, {0, 1}}};
            const int idx[6] = {0, 1, 2, 0, 2, 3};
            SDL_RenderGeometry(pRenderer, pTex, v, 4, idx, 6);
        }
        SDL_RenderFlush(pRenderer);
        benchmark::DoNotOptimize(pTarget->pixels);
    }
    g_fSdlQuadNs = NsPerIteration(state, t0);
    SDL_DestroyTexture(pTex);
    SDL_FreeSurface(pTexSurf);
    SDL_DestroyRenderer(pRenderer);
    SDL_FreeSurface(pTarget);
}

void BM_OursAdditiveQuad(benchmark::State& state)
{
    void* pv = nullptr;
    IDirectDraw7* pDD = NewDirectDraw();
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    desc.dwWidth = kW;
    desc.dwHeight = kH;
    IDirectDrawSurface7 *pBack = nullptr, *pTex = nullptr;
    pDD->CreateSurface(&desc, &pBack, nullptr);
    desc.dwFlags |= DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    desc.dwWidth = desc.dwHeight = kQuad;
    pBack->GetPixelFormat(&desc.ddpfPixelFormat);
    pDD->CreateSurface(&desc, &pTex, nullptr);
    pTex->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    for (int y = 0; y < kQuad; y++) {
        for (int x = 0; x < kQuad; x++) {
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch)[x] =
                (uint16_t)(0x0841 * ((x ^ y) & 31));
        }
    }
    pTex->Unlock(nullptr);
    pDD->QueryInterface(IID_IDirect3D7, &pv);
    IDirect3D7* pD3D = static_cast<IDirect3D7*>(pv);
    IDirect3DDevice7* pDev = nullptr;
    pD3D->CreateDevice(IID_IDirect3DRGBDevice, pBack, &pDev);
    D3DXMATRIX m;
    pDev->SetTransform(D3DTRANSFORMSTATE_PROJECTION, D3DXMatrixOrtho(&m, 640.0f, 480.0f, 1.0f, 1000.0f));
    pDev->SetTransform(D3DTRANSFORMSTATE_VIEW, D3DXMatrixTranslation(&m, -320.0f, 240.0f, 240.0f));
    pDev->SetTexture(0, pTex);
    pDev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    pDev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    pDev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    pDev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    pDev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    pDev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int i = 0; i < kQuadsPerRun; i++) {
            const float x = (float)((i * 41) % (kW - kQuad)), y = (float)((i * 29) % (kH - kQuad));
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
            pDev->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0);
        }
    }
    const double ns = NsPerIteration(state, t0);
    state.counters["ratio"] = ns > 0.0 ? g_fSdlQuadNs / ns : 0.0;
    pDev->SetTexture(0, nullptr);
    pDev->Release();
    pD3D->Release();
    pTex->Release();
    pBack->Release();
    pDD->Release();
}

BENCHMARK(BM_SdlKeyedBlit);
BENCHMARK(BM_OursKeyedBlit);
BENCHMARK(BM_SdlAdditiveQuad);
BENCHMARK(BM_OursAdditiveQuad);

} // namespace

BENCHMARK_MAIN();
