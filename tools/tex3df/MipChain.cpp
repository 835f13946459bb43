// MipChain: checks the picture's shape and box-filters the levels.
#include "MipChain.h"

#include "Gu3dfFormat.h"

namespace
{
bool IsPowerOfTwo(Int32 n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

int CheckPicture(const ArgbImage& picture, GrAspectRatio_t* pAspect, std::string* pError)
{
    const Int32 nWidth = picture.Width();
    const Int32 nHeight = picture.Height();
    const std::string size = std::to_string(nWidth) + "x" + std::to_string(nHeight);
    if (!IsPowerOfTwo(nWidth) || !IsPowerOfTwo(nHeight))
    {
        *pError = "the picture is " + size + "; both sides must be powers of two (1, 2, 4 .. 256)";
        return 0;
    }
    const Int32 nLong = nWidth > nHeight ? nWidth : nHeight;
    const Int32 nShort = nWidth > nHeight ? nHeight : nWidth;
    if (nLong / nShort > 8 ||
        !Gu3dfFormat::AspectFromPair(nWidth / nShort, nHeight / nShort, pAspect))
    {
        *pError = "the picture is " + size +
                  "; its aspect ratio must be one of 8:1, 4:1, 2:1, 1:1, "
                  "1:2, 1:4, 1:8";
        return 0;
    }
    return 1;
}

int SideToLod(Int32 nSide, const char* pchWhat, GrLOD_t* pLod, std::string* pError)
{
    if (!Gu3dfFormat::LodFromSide(nSide, pLod))
    {
        *pError = std::string("the ") + pchWhat + " level side " + std::to_string(nSide) +
                  " is not a power of two from 1 to 256";
        return 0;
    }
    return 1;
}
} // namespace

int MipChain::Build(const ArgbImage& picture, Int32 nLargeSide, Int32 nSmallSide, MipChain* pChain,
                    std::string* pError)
{
    if (!CheckPicture(picture, &pChain->aspect, pError))
    {
        return 0;
    }
    const Int32 nPictureSide =
        picture.Width() > picture.Height() ? picture.Width() : picture.Height();
    const Int32 nLarge = nLargeSide > 0 ? nLargeSide : (nPictureSide < 256 ? nPictureSide : 256);
    const Int32 nSmall = nSmallSide == kOnlyLargest ? nLarge : (nSmallSide > 0 ? nSmallSide : 1);
    if (!SideToLod(nLarge, "largest", &pChain->largeLod, pError) ||
        !SideToLod(nSmall, "smallest", &pChain->smallLod, pError))
    {
        return 0;
    }
    if (nLarge > nPictureSide || nSmall > nLarge)
    {
        *pError = "the level sides must satisfy smallest (" + std::to_string(nSmall) +
                  ") <= largest (" + std::to_string(nLarge) + ") <= the picture's long side (" +
                  std::to_string(nPictureSide) + ")";
        return 0;
    }
    ArgbImage level = picture;
    for (Int32 nSide = nPictureSide; nSide > nLarge; nSide /= 2)
    {
        level = level.Halved();
    }
    pChain->levels.clear();
    for (Int32 nSide = nLarge; nSide >= nSmall; nSide /= 2)
    {
        pChain->levels.push_back(level);
        level = level.Halved();
    }
    return 1;
}
