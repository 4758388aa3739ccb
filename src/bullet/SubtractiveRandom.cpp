#include "bullet/SubtractiveRandom.h"

#include <ctime>

namespace {
uint32_t g_nFixedLookSeed = 0;
}

CEffectRandom& GetExplosionRandom()
{
    static CEffectRandom s_Random;
    return s_Random;
}

CEffectRandom& GetLookRandom()
{
    static CEffectRandom s_Random;
    return s_Random;
}

uint32_t GetLookSeed()
{
    return g_nFixedLookSeed ? g_nFixedLookSeed : (uint32_t)std::time(nullptr);
}

void FixLookSeed(uint32_t nSeed)
{
    g_nFixedLookSeed = nSeed;
}
