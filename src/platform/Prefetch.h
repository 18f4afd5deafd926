// A hint to the memory that the line at p will soon be read: the lookups
// of large hash tables ask for their slots some keys ahead. It changes no
// result. An instruction of its own on x86, as the compiler drops the
// builtin in some loops whose only effect it is.
#pragma once

inline void PrefetchLine(const void* p) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
    __builtin_prefetch(p);
#endif
}
