// FrameReadBack: copies the frame just presented out of Glide's front buffer.
//
// The scene ends each frame with DisplayDevice::EndFrame (the swap: the
// finished frame becomes the front buffer) and DisplayDevice::Clear (the new
// back buffer is cleared), so right after Application::Frame the finished
// picture is the front buffer. grLfbReadRegion gives it as 5-6-5 pixels, top
// row first.
#pragma once
#include <glide.h>

#include <vector>

#include "PngFile.h"
#include "Types.h"

class FrameReadBack
{
  public:
    // Sizes the 16-bit buffer once, so reading a frame allocates nothing.
    FrameReadBack(Int32 nWidth, Int32 nHeight);

    // Reads the front buffer; 1 on success.
    Int32 Read();

    // The last frame read, widened to 8 bits a channel.
    void ToRgb(RgbImage& rImage) const;

  private:
    Int32 m_nWidth;
    Int32 m_nHeight;
    std::vector<FxU16> m_auPixels;
};
