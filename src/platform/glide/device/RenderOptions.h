// RenderOptions: how the device draws, process-wide: which pixel path, which kernels, how many
// threads. Every choice gives the same pixels; the choices exist so that tests, the differential
// fuzzer and the benchmarks can hold them against each other.
//
// Read by the device at every draw (cheap: a few loads); set by tests and tools between frames,
// never while a frame is being drawn. The defaults come from the environment (GLIDE_SW_SIMD,
// GLIDE_SW_THREADS) at the first Get.
#pragma once
#include "Types.h"

enum class PixelPath : Byte
{
    Fast,      // the fast path for the states it covers, the reference for the rest
    Reference, // every pixel through the staged reference pipeline
};

enum class KernelSet : Byte
{
    Best,     // the widest the processor and the build offer (AVX2 where available)
    Portable, // the baseline of the build (SSE2 on x86, scalar elsewhere)
    Scalar,   // no vector instructions of our own (the compiler may still use them)
};

struct RenderOptions
{
    PixelPath ePath = PixelPath::Fast;
    KernelSet eKernels = KernelSet::Best;
    Int32 nThreads = 1; // threads that draw (GLIDE_SW_THREADS); 1 draws on the calling thread

    static const RenderOptions& Get();
    static void Set(const RenderOptions& options);
    // The options the environment asks for (what Get returns until a Set).
    static RenderOptions FromEnvironment();
};
