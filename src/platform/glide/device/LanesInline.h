// LanesInline: every lane operation is inlined where it is used; on the portable lanes each is a
// loop of eight, and only inlined can the compiler fuse the loops of a formula into one.
#pragma once
#if defined(__GNUC__)
#define LANES_INLINE inline __attribute__((always_inline))
#else
#define LANES_INLINE inline
#endif
