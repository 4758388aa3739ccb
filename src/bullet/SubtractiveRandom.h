// The explosions' and the hit effects' shared generators; the generator classes themselves live in
// the effect library, where the heroine's puffs use them too.
#pragma once
#include "effect/EffectRandom.h"

// The explosions' generator: where sparks fly and how long a burst lasts. How long a burst lasts
// decides when a destroyed label leaves the stage, so it starts over at every stage start and never
// takes the time.
CEffectRandom& GetExplosionRandom();
// The looks' generator: the heroine's hit effects reseed it with the time at every hit; the effect
// classes' own generators take their seeds from it.
CEffectRandom& GetLookRandom();
