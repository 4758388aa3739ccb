// The explosions' and the hit effects' shared generators; the generator classes themselves live in
// the effect library, where the heroine's puffs use them too.
#pragma once
#include <cstdint>

#include "effect/EffectRandom.h"

// The explosions' generator: where sparks fly and how long a burst lasts. How long a burst lasts
// decides when a destroyed label leaves the stage, so it starts over at every stage start and never
// takes the time.
CEffectRandom& GetExplosionRandom();
// The looks' generator: the heroine's hit effects reseed it with the time at every hit; the effect
// classes' own generators take their seeds from it.
CEffectRandom& GetLookRandom();
// The seed the looks' generator takes at a hit or a charge: the time, unless a run that must draw
// the same frames every time has fixed it (0 lets the time seed again).
uint32_t GetLookSeed();
void FixLookSeed(uint32_t nSeed);
