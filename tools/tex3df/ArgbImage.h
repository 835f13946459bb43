// ArgbImage: a picture of 32-bit 0xAARRGGBB pixels, row-major, top row first.
//
// The converter's working form of every picture: PNG files are read into it, mip levels are made
// from it, texels are encoded from it and decoded into it. Owned by value by whoever made it.
#pragma once

#include <cstddef>
#include <vector>

#include "Types.h"

class ArgbImage
{
  public:
    ArgbImage() : m_nWidth(0), m_nHeight(0) {}
    ArgbImage(Int32 nWidth, Int32 nHeight)
        : m_nWidth(nWidth), m_nHeight(nHeight),
          m_anPixels(std::size_t(nWidth) * std::size_t(nHeight), 0)
    {
    }

    Int32 Width() const { return m_nWidth; }
    Int32 Height() const { return m_nHeight; }
    UInt32 Pixel(Int32 x, Int32 y) const
    {
        return m_anPixels[std::size_t(y) * std::size_t(m_nWidth) + std::size_t(x)];
    }
    void SetPixel(Int32 x, Int32 y, UInt32 nArgb)
    {
        m_anPixels[std::size_t(y) * std::size_t(m_nWidth) + std::size_t(x)] = nArgb;
    }
    const std::vector<UInt32>& Pixels() const { return m_anPixels; }
    std::vector<UInt32>& Pixels() { return m_anPixels; }

    // The next mip level: each side halved (a side of 1 stays 1), every channel the rounded mean
    // of the 2x2 (or 2x1) box it covers.
    ArgbImage Halved() const;

  private:
    Int32 m_nWidth;
    Int32 m_nHeight;
    std::vector<UInt32> m_anPixels;
};
