// GlideTestSupport: opening the software board in tests and reading its pixels back.
//
// Every test that draws opens its own board (grGlideInit + grSstWinOpen with no window) in a
// small resolution and closes it again (grGlideShutdown), so no state leaks between tests. The
// board kind comes from GLIDE_SW_BOARD, set here for the duration of one test.
#pragma once
#include <glide.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <string>
#include <vector>

namespace GlideTest
{
// Sets (or with null unsets) an environment variable until destroyed.
class ScopedEnv
{
  public:
    ScopedEnv(const char* pchName, const char* pchValue);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string m_strName;
    bool m_bHadValue;
    std::string m_strOldValue;
};

// A board opened with the given resolution (320x240 unless stated), ARGB colour format, upper
// left origin, two colour buffers and nAuxBuffers auxiliary buffers. Dithering is switched off
// so pixels are plain truncations unless a test turns it on.
class Board
{
  public:
    explicit Board(const char* pchKind = "voodoo",
                   GrScreenResolution_t eResolution = GR_RESOLUTION_320x240, int nAuxBuffers = 0,
                   GrOriginLocation_t eOrigin = GR_ORIGIN_UPPER_LEFT);
    ~Board();
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    bool IsOpen() const { return m_bOpen; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    // The whole back buffer (or another buffer), top row first.
    std::vector<std::uint16_t> Read(GrBuffer_t eBuffer = GR_BUFFER_BACKBUFFER) const;
    std::uint16_t Pixel(int x, int y, GrBuffer_t eBuffer = GR_BUFFER_BACKBUFFER) const;

  private:
    ScopedEnv m_Env;
    bool m_bOpen = false;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

// A vertex at (x, y) with colour (r, g, b, a), 1/w = oow and texture coordinates s, t (already
// in texture space; s/w and t/w are formed here).
GrVertex Vertex(float x, float y, float r = 0.0f, float g = 0.0f, float b = 0.0f, float a = 0.0f,
                float s = 0.0f, float t = 0.0f, float oow = 1.0f);

// A screen-aligned rectangle [x0, x1) x [y0, y1) as two triangles, with per-corner texture
// coordinates (s0, t0) at the top left and (s1, t1) at the bottom right, flat colour.
void DrawRect(float x0, float y0, float x1, float y1, float s0 = 0.0f, float t0 = 0.0f,
              float s1 = 0.0f, float t1 = 0.0f, float r = 0.0f, float g = 0.0f, float b = 0.0f,
              float a = 0.0f);

// Channels of a 565 pixel.
inline int Red5(std::uint16_t p)
{
    return p >> 11;
}
inline int Green6(std::uint16_t p)
{
    return (p >> 5) & 0x3F;
}
inline int Blue5(std::uint16_t p)
{
    return p & 0x1F;
}
inline std::uint16_t Rgb565(int r5, int g6, int b5)
{
    return std::uint16_t((r5 << 11) | (g6 << 5) | b5);
}
// An 8-bit colour as the board stores it with dithering off (truncation).
inline std::uint16_t Truncated(int r, int g, int b)
{
    return Rgb565(r >> 3, g >> 2, b >> 3);
}

// Makes a one-level texture of the given format current on TMU 0 through the gu manager, with
// point sampling, clamping and decal combine; returns its identifier.
GrMipMapId_t LoadTexture(GrTextureFormat_t eFormat, GrLOD_t eLod, GrAspectRatio_t eAspect,
                         const void* pTexels, const GuNccTable* pTable = nullptr,
                         GrTextureFilterMode_t eFilter = GR_TEXTUREFILTER_POINT_SAMPLED,
                         GrTextureClampMode_t eClamp = GR_TEXTURECLAMP_CLAMP);

// Colour combine that shows the texture unchanged (decal) with no blending.
void ShowTextureOnly();
} // namespace GlideTest
