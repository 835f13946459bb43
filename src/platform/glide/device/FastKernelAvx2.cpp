// FastKernelAvx2: the fast path's kernel (FastKernel.h) on AVX2 lanes (LanesAvx2.h): the only file
// built with -mavx2, called only where the processor has AVX2.
#include "FastSpan.h"
#include "LanesAvx2.h"
#include "PixelMath.h"
#include <cstdint>

namespace
{
using namespace Avx2;
#include "FastKernel.h"
} // namespace

void FastKernelAvx2(FastChunk& chunk)
{
    ShadeChunk(chunk);
}
