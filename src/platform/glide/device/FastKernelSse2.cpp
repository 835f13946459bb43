// FastKernelSse2: the fast path's kernel (FastKernel.h) on SSE2 lanes (LanesSse2.h), the x86
// baseline.
#include "FastSpan.h"
#include "LanesSse2.h"
#include "PixelMath.h"
#include <cstdint>

namespace
{
using namespace Sse2;
#include "FastKernel.h"
} // namespace

void FastKernelSse2(FastChunk& chunk)
{
    ShadeChunk(chunk);
}
