// RenderOptions: the process-wide drawing choices and their defaults from the environment.
#include "RenderOptions.h"
#include "GlideConfig.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

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
    // GLIDE_SW_THREADS: how many threads draw (1: the calling thread); by default the
    // machine's processors, at most four. A value that is not a count is reported and ignored.
    const unsigned nCores = std::thread::hardware_concurrency();
    options.nThreads = nCores == 0 ? 1 : (nCores > 4 ? 4 : Int32(nCores));
    if (const char* pchThreads = std::getenv("GLIDE_SW_THREADS"))
    {
        char* pchEnd = nullptr;
        const long nValue = std::strtol(pchThreads, &pchEnd, 10);
        if (pchEnd != pchThreads && *pchEnd == '\0' && nValue >= 1 &&
            nValue <= GlideConfig::MaxThreads)
            options.nThreads = Int32(nValue);
        else
            std::fprintf(stderr, "glide: GLIDE_SW_THREADS=%s is not a count of 1 to %d; using %d\n",
                         pchThreads, GlideConfig::MaxThreads, options.nThreads);
    }
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
