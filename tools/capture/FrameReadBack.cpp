#include "FrameReadBack.h"

FrameReadBack::FrameReadBack(Int32 nWidth, Int32 nHeight)
    : m_nWidth(nWidth), m_nHeight(nHeight), m_auPixels((size_t)nWidth * (size_t)nHeight, 0)
{
}

Int32 FrameReadBack::Read()
{
    const FxU32 uStride = (FxU32)m_nWidth * 2;
    return grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 0, (FxU32)m_nWidth, (FxU32)m_nHeight, uStride,
                           m_auPixels.data())
               ? 1
               : 0;
}

void FrameReadBack::ToRgb(RgbImage& rImage) const
{
    rImage.Resize(m_nWidth, m_nHeight);
    for (Int32 y = 0; y < m_nHeight; y++)
    {
        for (Int32 x = 0; x < m_nWidth; x++)
        {
            const FxU16 uPixel = m_auPixels[(size_t)y * m_nWidth + x];
            const Int32 nRed = (uPixel >> 11) & 0x1F;
            const Int32 nGreen = (uPixel >> 5) & 0x3F;
            const Int32 nBlue = uPixel & 0x1F;
            // Widened by repeating the top bits, so 0 stays 0 and full stays 255.
            Byte* pby = rImage.Pixel(x, y);
            pby[0] = (Byte)((nRed << 3) | (nRed >> 2));
            pby[1] = (Byte)((nGreen << 2) | (nGreen >> 4));
            pby[2] = (Byte)((nBlue << 3) | (nBlue >> 2));
        }
    }
}
