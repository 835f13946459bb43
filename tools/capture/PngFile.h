// PngFile: writes 8-bit RGB pictures as PNG files with libpng.
//
// Used by the capture tool for single frames and contact sheets. The files
// carry no time stamp or other varying chunk, so the same pixels always give
// the same bytes.
#pragma once
#include <string>
#include <vector>

#include "Types.h"

// An 8-bit RGB picture, rows top first, three bytes a pixel.
struct RgbImage
{
    Int32 m_nWidth = 0;
    Int32 m_nHeight = 0;
    std::vector<Byte> m_abyPixels;

    void Resize(Int32 nWidth, Int32 nHeight);
    Byte* Pixel(Int32 x, Int32 y) { return &m_abyPixels[((size_t)y * m_nWidth + x) * 3]; }
    const Byte* Pixel(Int32 x, Int32 y) const
    {
        return &m_abyPixels[((size_t)y * m_nWidth + x) * 3];
    }
};

// Writes the picture; returns 1, or 0 with a message in rError.
Int32 WritePng(const std::string& rPath, const RgbImage& rImage, std::string& rError);

// Reads an 8-bit RGB PNG (as written by WritePng); returns 1, or 0 with a
// message in rError. Used by the golden-frame comparison.
Int32 ReadPng(const std::string& rPath, RgbImage& rImage, std::string& rError);
