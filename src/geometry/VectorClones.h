// The engine's widest loops are compiled twice on x86-64, for AVX2 and for
// any x86-64 processor, and the program takes the one the processor can run
// when it starts. Both do the same operations in the same order: the build
// never contracts a multiply and an add into one (see the compile options),
// and the loops keep a fixed number of lanes whatever the register width,
// so the two give the same bits. BRELUND_ONE_CLONE builds the second alone,
// to compare.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(BRELUND_ONE_CLONE)
#define BRELUND_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define BRELUND_VECTOR_CLONES
#endif
