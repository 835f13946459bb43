// PixelKernels: the portable kernel table and the choice of table for this processor.
#include "PixelKernels.h"
#include "PixelStages.h"
#include "RenderOptions.h"

#if defined(GLIDE_HAVE_AVX2_KERNELS)
// Defined in PixelKernelsAvx2.cpp, built for AVX2.
const PixelKernels& Avx2PixelKernels();
#endif

namespace
{
// The portable perspective division (SSE2 four lanes at a time, scalar tail).
void Coordinates(float fW0, float fDw, float fS0, float fDs, float fT0, float fDt, Int32 n,
                 float* pW, Int32* pS, Int32* pT)
{
    PixelStages::Coordinates(fW0, fDw, fS0, fDs, fT0, fDt, n, pW, pS, pT);
}

const PixelKernels g_Portable = {GLIDE_SSE2 ? 8 : 1,
                                 GLIDE_SSE2 ? "sse2" : "scalar",
                                 PixelStages::Combine,
                                 PixelStages::Iterate,
                                 PixelStages::Blend,
                                 PixelStages::Invert,
                                 PixelStages::Expand565,
                                 PixelStages::PackDithered,
                                 PixelStages::Unpack,
                                 PixelStages::Bilerp,
                                 nullptr,
                                 Coordinates,
                                 nullptr};
} // namespace

const PixelKernels& PixelKernels::Portable()
{
    return g_Portable;
}

const PixelKernels* PixelKernels::Avx2()
{
#if defined(GLIDE_HAVE_AVX2_KERNELS)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2"))
        return &Avx2PixelKernels();
#endif
    return nullptr;
}

const PixelKernels& PixelKernels::Get()
{
    static const PixelKernels* s_pBest = Avx2() ? Avx2() : &g_Portable;
    return RenderOptions::Get().eKernels == KernelSet::Portable ? g_Portable : *s_pBest;
}
