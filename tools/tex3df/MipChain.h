// MipChain: the levels of a .3df texture made from one picture.
//
// The picture's sides must be powers of two with a ratio from 8:1 to 1:8 (the seven Glide
// aspect ratios). The largest level's long side is at most 256; a larger picture is reduced by
// box filtering first. Each further level is the box-filtered half of the one before (a side of
// 1 stays 1), down to the smallest level asked for. Built once per conversion.
#pragma once

#include <glide.h>
#include <string>
#include <vector>

#include "ArgbImage.h"

struct MipChain
{
    GrAspectRatio_t aspect;
    GrLOD_t largeLod;
    GrLOD_t smallLod;
    std::vector<ArgbImage> levels; // largest first

    enum
    {
        kOnlyLargest = -1 // as nSmallSide: one level only
    };
    // nLargeSide: long side of the largest level, 0 for "the picture's, at most 256";
    // nSmallSide: long side of the smallest level, 0 for 1 (every level), kOnlyLargest for the
    // largest level alone. Returns 0 and a message
    // for a picture or sides that make no Glide texture.
    static int Build(const ArgbImage& picture, Int32 nLargeSide, Int32 nSmallSide, MipChain* pChain,
                     std::string* pError);
};
