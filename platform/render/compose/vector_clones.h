#pragma once
// Marks a loop written for the compiler to vectorise: an AVX2 version is built beside the
// baseline one and picked at run time where the processor has it. GCC only: clang 14 names the
// run-time choice so that other files cannot call the function, and builds the baseline alone.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KAVREL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KAVREL_VECTOR_CLONES
#endif
