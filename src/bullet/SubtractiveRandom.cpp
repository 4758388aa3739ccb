#include "bullet/SubtractiveRandom.h"

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
