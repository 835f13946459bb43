/*
 * glidesys.h - build-time sizes of the Glide 2.x interface. Included by glide.h.
 * GLIDE_NUM_TMU is the number of texture units a GrVertex and GrVoodooConfig_t carry
 * (published default 2; valid 1..3, glide-reference.md §2.4). The binary layout of our
 * glide2x depends on it, so it is fixed here rather than left to the including program.
 */
#ifndef MOLTRANE_GLIDESYS_H
#define MOLTRANE_GLIDESYS_H

#define GLIDE_NUM_TMU 2

#endif /* MOLTRANE_GLIDESYS_H */
