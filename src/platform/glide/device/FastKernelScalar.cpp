// FastKernelScalar: the fast path's kernel (FastKernel.h) on the portable lanes (LanesScalar.h).
#include "FastSpan.h"
#include "LanesScalar.h"
#include "PixelMath.h"
#include <cstdint>

namespace
{
using namespace Scalar;
#include "FastKernel.h"
} // namespace

void FastKernelScalar(FastChunk& chunk)
{
    ShadeChunk(chunk);
}
