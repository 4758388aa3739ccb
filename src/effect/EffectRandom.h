// The effects' random numbers. They choose only how an effect looks or how long a burst lasts, and
// never come from or reach the game's own rand: an effect that reseeds its generator with the time
// changes nothing a replay depends on.
#pragma once
#include <cstdint>

// A 55-word subtractive generator (the classic one, 0-based, without the modulus correction). Each
// effect class keeps one instance, seeded on first use.
class CSubtractiveRandom {
public:
    virtual ~CSubtractiveRandom() = default;
    void Seed(uint32_t nSeed);
    uint32_t Next();
    int IsSeeded() const { return m_bSeeded; }

private:
    uint32_t m_nTable[55] = {};
    uint32_t m_nI = 0;
    uint32_t m_nJ = 31;
    int m_bSeeded = 0;
};

// A stand-alone copy of the runtime's generator (RAND_MAX 32767, the same step as the game's
// rand), so an effect can draw and reseed without touching anyone else's sequence.
class CEffectRandom {
public:
    explicit CEffectRandom(uint32_t nSeed = 1) : m_nState(nSeed) {}
    virtual ~CEffectRandom() = default;
    int Rand()
    {
        m_nState = m_nState * 214013u + 2531011u;
        return static_cast<int>((m_nState >> 16) & 0x7FFF);
    }
    void Srand(uint32_t nSeed) { m_nState = nSeed; }

private:
    uint32_t m_nState;
};
