// FastKernels: the processor check and the choice of kernel.
#include "FastKernels.h"

bool FastKernels::HasAvx2()
{
#if defined(GLIDE_HAVE_AVX2)
    static const bool s_bHas = []
    {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return s_bHas;
#else
    return false;
#endif
}

FastKernelFn FastKernels::For(KernelSet eKernels)
{
    switch (eKernels)
    {
    case KernelSet::Best:
#if defined(GLIDE_HAVE_AVX2)
        if (HasAvx2())
            return FastKernelAvx2;
#endif
        return For(KernelSet::Portable);
    case KernelSet::Portable:
#if defined(GLIDE_HAVE_SSE2)
        return FastKernelSse2;
#else
        return FastKernelScalar;
#endif
    case KernelSet::Scalar:
        return FastKernelScalar;
    }
    return FastKernelScalar;
}

Int32 FastKernels::Available(Entry aEntries[3])
{
    Int32 n = 0;
#if defined(GLIDE_HAVE_AVX2)
    if (HasAvx2())
        aEntries[n++] = {"avx2", KernelSet::Best, FastKernelAvx2};
#endif
#if defined(GLIDE_HAVE_SSE2)
    aEntries[n++] = {"sse2", KernelSet::Portable, FastKernelSse2};
#endif
    aEntries[n++] = {"scalar", KernelSet::Scalar, FastKernelScalar};
    return n;
}
