// Writes into a heap arena where the sanitizer build forbids it (a block's slack and tail guard):
// the tests that damage a block on purpose must reach the allocator's own checks.
#pragma once
#include <cstddef>
#include <cstdint>

__attribute__((no_sanitize("address"))) inline void PokeArena(void* pDst, uint8_t nValue)
{
    *static_cast<volatile uint8_t*>(pDst) = nValue;
}
