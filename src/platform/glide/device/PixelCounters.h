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

    PixelCounters& operator+=(const PixelCounters& other)
    {
        nPixelsIn += other.nPixelsIn;
        nChromaFail += other.nChromaFail;
        nDepthFail += other.nDepthFail;
        nAlphaFail += other.nAlphaFail;
        nPixelsOut += other.nPixelsOut;
        return *this;
    }
};
