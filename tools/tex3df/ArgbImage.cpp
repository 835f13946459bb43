// ArgbImage: box-filtered halving for mip levels.
#include "ArgbImage.h"

ArgbImage ArgbImage::Halved() const
{
    const Int32 nStepX = m_nWidth > 1 ? 2 : 1;
    const Int32 nStepY = m_nHeight > 1 ? 2 : 1;
    const UInt32 nCount = UInt32(nStepX * nStepY);
    ArgbImage half(m_nWidth / nStepX, m_nHeight / nStepY);
    for (Int32 y = 0; y < half.Height(); ++y)
    {
        for (Int32 x = 0; x < half.Width(); ++x)
        {
            UInt32 anSum[4] = {0, 0, 0, 0};
            for (Int32 dy = 0; dy < nStepY; ++dy)
            {
                for (Int32 dx = 0; dx < nStepX; ++dx)
                {
                    const UInt32 nPixel = Pixel(x * nStepX + dx, y * nStepY + dy);
                    for (Int32 c = 0; c < 4; ++c)
                    {
                        anSum[c] += (nPixel >> (24 - 8 * c)) & 0xFFu;
                    }
                }
            }
            UInt32 nMean = 0;
            for (Int32 c = 0; c < 4; ++c)
            {
                nMean |= ((anSum[c] + nCount / 2) / nCount) << (24 - 8 * c);
            }
            half.SetPixel(x, y, nMean);
        }
    }
    return half;
}
