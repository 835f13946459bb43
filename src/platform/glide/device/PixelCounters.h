// PixelCounters: the pixel counts of grSstPerfStats.
//
// Each renderer counts the pixels it draws into its own set; the Device adds them up when they
// are asked for. Plain data.
#pragma once
#include "Types.h"

struct PixelCounters
{
    UInt32 nPixelsIn = 0;
    UInt32 nChromaFail = 0;
    UInt32 nDepthFail = 0;
    UInt32 nAlphaFail = 0;
    UInt32 nPixelsOut = 0;
    // Chunks the fast path drew: not a Glide count, a check for tests and benchmarks.
    UInt32 nFastChunks = 0;

    PixelCounters& operator+=(const PixelCounters& other)
    {
        nPixelsIn += other.nPixelsIn;
        nChromaFail += other.nChromaFail;
        nDepthFail += other.nDepthFail;
        nAlphaFail += other.nAlphaFail;
        nPixelsOut += other.nPixelsOut;
        nFastChunks += other.nFastChunks;
        return *this;
    }
};
