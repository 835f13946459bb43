/*
 * 3dfx.h - basic types and calling convention of the Glide 2.x interface.
 *
 * Part of our own Glide 2.x header set (glide.h includes it). Values and sizes are the
 * published ones (glide-reference.md §1): on 32-bit Windows FxU32/FxI32 are long, elsewhere
 * exact 32-bit integers so that the structure layouts keep their 4-byte fields on LP64 hosts.
 */
#ifndef MOLTRANE_3DFX_H
#define MOLTRANE_3DFX_H

#if defined(_WIN32)
typedef unsigned char FxU8;
typedef signed char FxI8;
typedef unsigned short FxU16;
typedef signed short FxI16;
typedef unsigned long FxU32;
typedef signed long FxI32;
#else
#include <stdint.h>
typedef uint8_t FxU8;
typedef int8_t FxI8;
typedef uint16_t FxU16;
typedef int16_t FxI16;
typedef uint32_t FxU32;
typedef int32_t FxI32;
#endif
typedef int FxBool;
typedef float FxFloat;
typedef double FxDouble;

#define FXTRUE 1
#define FXFALSE 0
#define FXBIT(i) (1L << (i))

/*
 * FX_CALL: every Glide entry point is __stdcall on 32-bit Windows (the callee pops its
 * arguments), which gives the decorated export names _name@N of glide2x.dll. Elsewhere empty.
 * FX_ENTRY: imported by programs linking the DLL on Windows, plain extern on other hosts.
 * While glide2x.dll itself is built (GLIDE2X_BUILD_DLL) it is plain extern as well: the
 * module-definition file names every export as _name@N, and a dllexport mark would add a
 * second export, name@N without the leading underscore, that no real glide2x.dll has.
 */
#if defined(_WIN32) && !defined(_WIN64)
#define FX_CALL __stdcall
#else
#define FX_CALL
#endif

#if defined(_WIN32)
#if defined(GLIDE2X_BUILD_DLL)
#define FX_ENTRY extern
#else
#define FX_ENTRY extern __declspec(dllimport)
#endif
#else
#define FX_ENTRY extern
#endif

#endif /* MOLTRANE_3DFX_H */
