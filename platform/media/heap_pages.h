#pragma once
// Decoding frees tens of megabytes of mixed sizes; glibc keeps them with the thread's heap until
// they are handed back, so a long run would grow by a photo's worth per thread.

#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
#define KAVREL_OWN_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KAVREL_OWN_HEAP 1
#endif
#endif

inline void ReturnFreeHeapPages() {
#ifndef KAVREL_OWN_HEAP
    malloc_trim(0);
#endif
    // Under the address sanitizer glibc's heap holds nothing of ours, and its first trim, made
    // by two threads at once, races glibc's own setting up of that heap.
}
