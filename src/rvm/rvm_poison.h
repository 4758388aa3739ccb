// To AddressSanitizer an arena is one valid allocation, so an overrun of a block would go unseen.
// The allocator tells it which arena bytes a block's owner may touch: a block's requested bytes
// are open, its slack, tail guard and every free data area closed, headers always open. Outside a
// sanitizer build these do nothing.
#pragma once
#include <cstddef>
#include <cstdint>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RVM_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(RVM_ASAN)
#define RVM_ASAN 1
#endif

#ifdef RVM_ASAN
#include <sanitizer/asan_interface.h>
#endif

inline void rvm_poison(const void* p, size_t n)
{
#ifdef RVM_ASAN
    ASAN_POISON_MEMORY_REGION(p, n);
#else
    (void)p;
    (void)n;
#endif
}

inline void rvm_unpoison(const void* p, size_t n)
{
#ifdef RVM_ASAN
    ASAN_UNPOISON_MEMORY_REGION(p, n);
#else
    (void)p;
    (void)n;
#endif
}

// Whether an access to the byte would be reported; never outside a sanitizer build.
inline bool rvm_is_poisoned(const void* p)
{
#ifdef RVM_ASAN
    return __asan_address_is_poisoned(p) != 0;
#else
    (void)p;
    return false;
#endif
}

// Copies arena bytes whatever their poisoning: the allocator's own checks read guards and slack.
// Byte by byte through volatile, so the copy never becomes a memcpy the sanitizer would check.
__attribute__((no_sanitize("address"))) inline void rvm_peek(void* pDst, const void* pSrc, size_t n)
{
    const volatile uint8_t* s = static_cast<const volatile uint8_t*>(pSrc);
    uint8_t* d = static_cast<uint8_t*>(pDst);
    for (size_t i = 0; i < n; i++)
        d[i] = s[i];
}
