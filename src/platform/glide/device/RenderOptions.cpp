// RenderOptions: the process-wide drawing choices and their defaults from the environment.
#include "RenderOptions.h"
#include <cstdlib>
#include <cstring>

namespace
{
RenderOptions& Current()
{
    static RenderOptions s_Options = RenderOptions::FromEnvironment();
    return s_Options;
}
} // namespace

RenderOptions RenderOptions::FromEnvironment()
{
    RenderOptions options;
    // GLIDE_SW_SIMD=sse2 keeps the SSE2 kernels on an AVX2 processor, =scalar the portable
    // ones (for comparisons).
    const char* pchSimd = std::getenv("GLIDE_SW_SIMD");
    if (pchSimd && std::strcmp(pchSimd, "sse2") == 0)
        options.eKernels = KernelSet::Portable;
    else if (pchSimd && std::strcmp(pchSimd, "scalar") == 0)
        options.eKernels = KernelSet::Scalar;
    return options;
}

const RenderOptions& RenderOptions::Get()
{
    return Current();
}

void RenderOptions::Set(const RenderOptions& options)
{
    Current() = options;
}
