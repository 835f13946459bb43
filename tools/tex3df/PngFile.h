// PngFile: reading and writing PNG pictures through libpng's simplified interface.
//
// Any PNG libpng understands (grey, palette, RGB, with or without alpha, 8 or 16 bits) is read
// as 8-bit non-premultiplied ARGB. Pictures larger than kMaxSide on a side are refused before
// any pixel memory is allocated. Stateless; used once per conversion.
#pragma once

#include <string>

#include "ArgbImage.h"

class PngFile
{
  public:
    enum
    {
        kMaxSide = 4096
    };
    // Returns 0 and a message in *pError when the file cannot be read or is not a PNG picture.
    static int Read(const char* pchPath, ArgbImage* pImage, std::string* pError);
    // Writes 8-bit RGBA. Returns 0 and a message when the file cannot be written.
    static int Write(const char* pchPath, const ArgbImage& image, std::string* pError);
};
