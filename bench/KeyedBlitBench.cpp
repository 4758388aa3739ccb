// Our colour-keyed RGB565 blit against SDL2's on the same game sprites (the heroine, her bike and
// stage 1's pictures from the generated data set, about two thirds key colour): SDL_BlitSurface
// with a colour key, and the same with SDL's run-length acceleration (SDL_SetSurfaceRLE). The three
// sides draw the same sprites at the same places; their pictures are compared before timing, and
// they are timed in turn in one case so that all see the same machine. "ratio_rle" and
// "ratio_plain" are SDL's time over ours (above 1: ours is faster).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchPictures.h"
#include "BenchSide.h"

namespace {

constexpr int kW = 640, kH = 480;
constexpr int kCopies = 8;  // each sprite drawn this many times per run
constexpr uint16_t kKey = 0x07E0;
constexpr uint16_t kBackground = 0x4208;

struct SPRITESOURCE {
    const char* pszPath;
    SDL_Rect rcCell;  // empty: the whole picture
};

// Rider frames and a bike cut from the heroine's sheet, and stage 1's keyed pictures.
const SPRITESOURCE kSprites[] = {
    {"System/ZorvaSheet.bmp", {0, 0, 160, 115}},   {"System/ZorvaSheet.bmp", {0, 115, 160, 115}},
    {"System/ZorvaSheet.bmp", {0, 1380, 190, 85}}, {"Stage01/Tree.bmp", {}},
    {"Stage01/Slope.bmp", {}},                     {"Stage01/People.bmp", {}},
    {"Stage01/Spike.bmp", {}},
};

SDL_Rect Placement(int nSprite, int nCopy, int w, int h)
{
    return SDL_Rect{(nCopy * 97 + nSprite * 53) % (kW - w), (nCopy * 61 + nSprite * 29) % (kH - h), w, h};
}

class CSdlSprites : public CBenchSide {
public:
    CSdlSprites(const std::vector<SDL_Surface*>& pictures, bool bRle)
    {
        m_pDst = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 16, SDL_PIXELFORMAT_RGB565);
        for (SDL_Surface* p : pictures) {
            SDL_Surface* pCopy = SDL_ConvertSurfaceFormat(p, SDL_PIXELFORMAT_RGB565, 0);
            SDL_SetColorKey(pCopy, SDL_TRUE, kKey);
            SDL_SetSurfaceRLE(pCopy, bRle ? 1 : 0);
            m_sprites.push_back(pCopy);
        }
    }
    ~CSdlSprites() override
    {
        for (SDL_Surface* p : m_sprites) {
            SDL_FreeSurface(p);
        }
        SDL_FreeSurface(m_pDst);
    }
    CSdlSprites(const CSdlSprites&) = delete;
    CSdlSprites& operator=(const CSdlSprites&) = delete;

    void Reset() override { SDL_FillRect(m_pDst, nullptr, kBackground); }
    void Run() override
    {
        for (int i = 0; i < kCopies; i++) {
            for (size_t k = 0; k < m_sprites.size(); k++) {
                SDL_Rect rc = Placement((int)k, i, m_sprites[k]->w, m_sprites[k]->h);
                SDL_BlitSurface(m_sprites[k], nullptr, m_pDst, &rc);
            }
        }
        benchmark::DoNotOptimize(m_pDst->pixels);
    }
    uint16_t Pixel(int x, int y) const { return PixelAt(m_pDst->pixels, m_pDst->pitch, x, y); }

private:
    SDL_Surface* m_pDst = nullptr;
    std::vector<SDL_Surface*> m_sprites;
};

class COurSprites : public CBenchSide {
public:
    explicit COurSprites(const std::vector<SDL_Surface*>& pictures)
    {
        m_pDD = NewDirectDraw();
        SDL_Surface* pFrame = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 16, SDL_PIXELFORMAT_RGB565);
        m_pDst = NewSurfaceFrom(m_pDD, pFrame, 0);
        SDL_FreeSurface(pFrame);
        DDCOLORKEY ck = {kKey, kKey};
        for (SDL_Surface* p : pictures) {
            IDirectDrawSurface7* pSprite = NewSurfaceFrom(m_pDD, p, 0);
            pSprite->SetColorKey(DDCKEY_SRCBLT, &ck);
            m_sprites.push_back(pSprite);
            m_sizes.push_back(SDL_Rect{0, 0, p->w, p->h});
        }
    }
    ~COurSprites() override
    {
        for (IDirectDrawSurface7* p : m_sprites) {
            p->Release();
        }
        m_pDst->Release();
        m_pDD->Release();
    }
    COurSprites(const COurSprites&) = delete;
    COurSprites& operator=(const COurSprites&) = delete;

    void Reset() override
    {
        DDBLTFX fx = {};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = kBackground;
        m_pDst->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
    void Run() override
    {
        for (int i = 0; i < kCopies; i++) {
            for (size_t k = 0; k < m_sprites.size(); k++) {
                const SDL_Rect rc = Placement((int)k, i, m_sizes[k].w, m_sizes[k].h);
                RECT rcDest = {rc.x, rc.y, rc.x + rc.w, rc.y + rc.h};
                m_pDst->Blt(&rcDest, m_sprites[k], nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
            }
        }
    }
    // The frame as it stands, row after row.
    std::vector<uint16_t> Frame()
    {
        std::vector<uint16_t> frame((size_t)kW * kH);
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        if (SUCCEEDED(m_pDst->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
            for (int y = 0; y < kH; y++) {
                for (int x = 0; x < kW; x++) {
                    frame[(size_t)y * kW + x] = PixelAt(desc.lpSurface, desc.lPitch, x, y);
                }
            }
            m_pDst->Unlock(nullptr);
        }
        return frame;
    }

private:
    IDirectDraw7* m_pDD = nullptr;
    IDirectDrawSurface7* m_pDst = nullptr;
    std::vector<IDirectDrawSurface7*> m_sprites;
    std::vector<SDL_Rect> m_sizes;
};

// The sprites of the data set (none, with the reason in state, when one is missing), and the share
// of their pixels that are key colour.
class CSpriteSet {
public:
    explicit CSpriteSet(benchmark::State& state)
    {
        long nKey = 0, nAll = 0;
        for (const SPRITESOURCE& s : kSprites) {
            SDL_Surface* p = LoadDataPicture565(s.pszPath, s.rcCell);
            if (!p) {
                state.SkipWithError((std::string("cannot read ") + s.pszPath).c_str());
                Free();
                return;
            }
            for (int y = 0; y < p->h; y++) {
                for (int x = 0; x < p->w; x++) {
                    nKey += PixelAt(p->pixels, p->pitch, x, y) == kKey;
                }
            }
            nAll += (long)p->w * p->h;
            m_pictures.push_back(p);
        }
        m_fKeyShare = nAll ? (double)nKey / (double)nAll : 0.0;
    }
    ~CSpriteSet() { Free(); }
    CSpriteSet(const CSpriteSet&) = delete;
    CSpriteSet& operator=(const CSpriteSet&) = delete;

    const std::vector<SDL_Surface*>& Pictures() const { return m_pictures; }
    double KeyShare() const { return m_fKeyShare; }

private:
    void Free()
    {
        for (SDL_Surface* p : m_pictures) {
            SDL_FreeSurface(p);
        }
        m_pictures.clear();
    }

    std::vector<SDL_Surface*> m_pictures;
    double m_fKeyShare = 0.0;
};

// One run of each side from the background, compared pixel by pixel; false (with the reason in
// state) when a picture differs from ours.
bool SamePictures(benchmark::State& state, COurSprites& ours, CSdlSprites& rle, CSdlSprites& plain)
{
    ours.Reset();
    ours.Run();
    rle.Reset();
    rle.Run();
    plain.Reset();
    plain.Run();
    const std::vector<uint16_t> frame = ours.Frame();
    long nRle = 0, nPlain = 0;
    for (int y = 0; y < kH; y++) {
        for (int x = 0; x < kW; x++) {
            const uint16_t w = frame[(size_t)y * kW + x];
            nRle += rle.Pixel(x, y) != w;
            nPlain += plain.Pixel(x, y) != w;
        }
    }
    if (nRle || nPlain) {
        const std::string sWhy = "pictures differ: " + std::to_string(nRle) + " pixels (SDL RLE), " +
                                 std::to_string(nPlain) + " pixels (SDL plain)";
        state.SkipWithError(sWhy.c_str());
        return false;
    }
    return true;
}

void BM_KeyedBlit(benchmark::State& state)
{
    const CSpriteSet sprites(state);
    if (sprites.Pictures().empty()) {
        return;
    }
    COurSprites ours(sprites.Pictures());
    CSdlSprites rle(sprites.Pictures(), true);
    CSdlSprites plain(sprites.Pictures(), false);
    if (SamePictures(state, ours, rle, plain)) {
        // A run draws the same picture over its own, so runs follow each other without a reset
        // (which would favour ours: SDL fills with stores that bypass the cache).
        TimeSidesInTurn(state, {{"ours", &ours}, {"rle", &rle}, {"plain", &plain}}, false);
        state.counters["key_share"] = sprites.KeyShare();
    }
}

// Our side alone, for profiling.
void BM_OursKeyedBlit(benchmark::State& state)
{
    const CSpriteSet sprites(state);
    if (sprites.Pictures().empty()) {
        return;
    }
    COurSprites ours(sprites.Pictures());
    for (auto _ : state) {
        ours.Run();
    }
}

BENCHMARK(BM_KeyedBlit)->UseManualTime();
BENCHMARK(BM_OursKeyedBlit);

} // namespace
