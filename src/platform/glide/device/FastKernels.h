// FastKernels: which build of the fast path's kernel runs, chosen for the processor.
//
// The portable kernel always exists; on x86 the SSE2 one is the baseline of the build, and the
// AVX2 one is built beside it (x86-64 and the 32-bit Windows DLL alike) and used only where the
// processor has AVX2. Every kernel computes the same pixels. Stateless; asked at every plan.
#pragma once
#include "FastSpan.h"
#include "RenderOptions.h"

class FastKernels
{
  public:
    // The kernel for a choice of RenderOptions::eKernels.
    static FastKernelFn For(KernelSet eKernels);
    // The kernels this build and processor offer, best first: a name and the function.
    struct Entry
    {
        const char* pchName;
        KernelSet eSet;
        FastKernelFn pfn;
    };
    static Int32 Available(Entry aEntries[3]);
    static bool HasAvx2();
};
