// The present of a window without a graphics card: the 16-bit frame into the window's 32-bit
// picture, as it is in a window and scaled with its aspect kept at full screen. Ours (the frame
// scaler the SDL host writes the window's picture with) against SDL's own software renderer doing
// the same (a streaming RGB565 texture updated and copied into the picture, as SDL_RENDERER_SOFTWARE
// presents). The sides are checked to draw the same picture first; "ratio_sdl" is SDL's time over
// ours (above 1: ours is faster).

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>

#include "BenchSide.h"
#include "platform/host/FrameScaler.h"
#include "platform/host/Host.h"

namespace {

constexpr int kW = 640, kH = 480;

// Output sizes: the window itself, and a 1280 x 1024 desktop at full screen, where the picture is
// doubled (at sizes in between SDL's stretch takes some other columns than the nearest pixel's).
const int kOutSizes[][2] = {{640, 480}, {1280, 1024}};

// A frame in which every 16-bit value appears, so that the sides' conversions are compared on all.
SDL_Surface* NewFrame()
{
    SDL_Surface* p = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 16, SDL_PIXELFORMAT_RGB565);
    for (int y = 0; y < kH; y++) {
        uint16_t* pRow = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(p->pixels) + y * p->pitch);
        for (int x = 0; x < kW; x++) {
            pRow[x] = (uint16_t)((uint32_t)(y * kW + x) * 40503u);
        }
    }
    return p;
}

SDL_Surface* NewOutput(int w, int h)
{
    return SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888);
}

class COurPresent : public CBenchSide {
public:
    COurPresent(const SDL_Surface* pFrame, int w, int h) : m_pFrame(pFrame), m_pOut(NewOutput(w, h)) {}
    ~COurPresent() override { SDL_FreeSurface(m_pOut); }
    COurPresent(const COurPresent&) = delete;
    COurPresent& operator=(const COurPresent&) = delete;
    void Reset() override {}
    void Run() override
    {
        m_scaler.Draw(static_cast<const uint16_t*>(m_pFrame->pixels), m_pFrame->pitch, kW, kH,
                      static_cast<uint8_t*>(m_pOut->pixels), m_pOut->pitch, m_pOut->w, m_pOut->h, FRAMEOUT_XRGB8888);
    }
    const SDL_Surface* Output() const { return m_pOut; }

private:
    const SDL_Surface* m_pFrame;
    SDL_Surface* m_pOut;
    CFrameScaler m_scaler;
};

class CSdlPresent : public CBenchSide {
public:
    CSdlPresent(const SDL_Surface* pFrame, int w, int h) : m_pFrame(pFrame), m_pOut(NewOutput(w, h))
    {
        m_pRenderer = SDL_CreateSoftwareRenderer(m_pOut);
        m_pTexture = SDL_CreateTexture(m_pRenderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, kW, kH);
    }
    ~CSdlPresent() override
    {
        SDL_DestroyTexture(m_pTexture);
        SDL_DestroyRenderer(m_pRenderer);
        SDL_FreeSurface(m_pOut);
    }
    CSdlPresent(const CSdlPresent&) = delete;
    CSdlPresent& operator=(const CSdlPresent&) = delete;
    void Reset() override {}
    void Run() override
    {
        SDL_UpdateTexture(m_pTexture, nullptr, m_pFrame->pixels, m_pFrame->pitch);
        const HOSTRECT fit = FitKeepingAspect(kW, kH, m_pOut->w, m_pOut->h);
        const SDL_Rect dst{fit.x, fit.y, fit.w, fit.h};
        SDL_SetRenderDrawColor(m_pRenderer, 0, 0, 0, 255);
        SDL_RenderClear(m_pRenderer);
        SDL_RenderCopy(m_pRenderer, m_pTexture, nullptr, &dst);
        SDL_RenderPresent(m_pRenderer);
    }
    const SDL_Surface* Output() const { return m_pOut; }

private:
    const SDL_Surface* m_pFrame;
    SDL_Surface* m_pOut;
    SDL_Renderer* m_pRenderer = nullptr;
    SDL_Texture* m_pTexture = nullptr;
};

// Pixels whose colour differs between the two outputs by more than one in a channel, the unused
// top byte aside. SDL truncates where a channel is widened, the window's picture rounds to nearest
// as a graphics card shows a 16-bit texture: no channel differs by more.
long Differences(const SDL_Surface* a, const SDL_Surface* b)
{
    long n = 0;
    for (int y = 0; y < a->h; y++) {
        const uint32_t* pA = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(a->pixels) + y * a->pitch);
        const uint32_t* pB = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(b->pixels) + y * b->pitch);
        for (int x = 0; x < a->w; x++) {
            bool bFar = false;
            for (int nShift = 0; nShift < 24; nShift += 8) {
                const int d = (int)((pA[x] >> nShift) & 0xFF) - (int)((pB[x] >> nShift) & 0xFF);
                bFar = bFar || d > 1 || d < -1;
            }
            n += bFar;
        }
    }
    return n;
}

void BM_PresentRatio(benchmark::State& state)
{
    const int w = kOutSizes[state.range(0)][0], h = kOutSizes[state.range(0)][1];
    SDL_Surface* pFrame = NewFrame();
    {
        COurPresent ours(pFrame, w, h);
        CSdlPresent sdl(pFrame, w, h);
        ours.Run();
        sdl.Run();
        const long nDiffer = Differences(ours.Output(), sdl.Output());
        if (nDiffer != 0) {
            state.SkipWithError(("the sides draw " + std::to_string(nDiffer) + " pixels differently").c_str());
        } else {
            TimeSidesInTurn(state, {{"ours", &ours}, {"sdl", &sdl}}, false);
        }
    }
    SDL_FreeSurface(pFrame);
    state.SetLabel(std::to_string(w) + "x" + std::to_string(h));
}

} // namespace

BENCHMARK(BM_PresentRatio)->Arg(0)->Arg(1)->UseManualTime();
