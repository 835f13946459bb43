// GlideTestSupport: board fixture and drawing helpers for the Glide tests.
#include "GlideTestSupport.h"
#include <cstdlib>

namespace GlideTest
{
ScopedEnv::ScopedEnv(const char* pchName, const char* pchValue) : m_strName(pchName)
{
    const char* pchOld = std::getenv(pchName);
    m_bHadValue = pchOld != nullptr;
    if (pchOld)
        m_strOldValue = pchOld;
    if (pchValue)
        setenv(pchName, pchValue, 1);
    else
        unsetenv(pchName);
}

ScopedEnv::~ScopedEnv()
{
    if (m_bHadValue)
        setenv(m_strName.c_str(), m_strOldValue.c_str(), 1);
    else
        unsetenv(m_strName.c_str());
}

Board::Board(const char* pchKind, GrScreenResolution_t eResolution, int nAuxBuffers,
             GrOriginLocation_t eOrigin)
    : m_Env("GLIDE_SW_BOARD", pchKind)
{
    grGlideInit();
    GrHwConfiguration hw;
    if (!grSstQueryHardware(&hw))
        return;
    grSstSelect(0);
    m_bOpen = grSstWinOpen(0, eResolution, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, eOrigin, 2,
                           nAuxBuffers) != FXFALSE;
    if (!m_bOpen)
        return;
    m_nWidth = int(grSstScreenWidth());
    m_nHeight = int(grSstScreenHeight());
    grDitherMode(GR_DITHER_DISABLE);
    grBufferClear(0, 0, 0);
}

Board::~Board()
{
    grGlideShutdown();
}

std::vector<std::uint16_t> Board::Read(GrBuffer_t eBuffer) const
{
    std::vector<std::uint16_t> pixels(size_t(m_nWidth) * size_t(m_nHeight));
    EXPECT_TRUE(grLfbReadRegion(eBuffer, 0, 0, FxU32(m_nWidth), FxU32(m_nHeight),
                                FxU32(m_nWidth * 2), pixels.data()));
    return pixels;
}

std::uint16_t Board::Pixel(int x, int y, GrBuffer_t eBuffer) const
{
    std::uint16_t nPixel = 0xDEAD;
    EXPECT_TRUE(grLfbReadRegion(eBuffer, FxU32(x), FxU32(y), 1, 1, 2, &nPixel));
    return nPixel;
}

GrVertex Vertex(float x, float y, float r, float g, float b, float a, float s, float t, float oow)
{
    GrVertex v = {};
    v.x = x;
    v.y = y;
    v.r = r;
    v.g = g;
    v.b = b;
    v.a = a;
    v.oow = oow;
    v.tmuvtx[0].sow = s * oow;
    v.tmuvtx[0].tow = t * oow;
    v.tmuvtx[0].oow = oow;
    return v;
}

void DrawRect(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1,
              float r, float g, float b, float a)
{
    const GrVertex v0 = Vertex(x0, y0, r, g, b, a, s0, t0);
    const GrVertex v1 = Vertex(x1, y0, r, g, b, a, s1, t0);
    const GrVertex v2 = Vertex(x1, y1, r, g, b, a, s1, t1);
    const GrVertex v3 = Vertex(x0, y1, r, g, b, a, s0, t1);
    grDrawTriangle(&v0, &v1, &v2);
    grDrawTriangle(&v0, &v2, &v3);
}

GrMipMapId_t LoadTexture(GrTextureFormat_t eFormat, GrLOD_t eLod, GrAspectRatio_t eAspect,
                         const void* pTexels, const GuNccTable* pTable,
                         GrTextureFilterMode_t eFilter, GrTextureClampMode_t eClamp)
{
    const GrMipMapId_t id =
        guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 0, 0, eFormat, GR_MIPMAP_DISABLE,
                            eLod, eLod, eAspect, eClamp, eClamp, eFilter, eFilter, 0.0f, FXFALSE);
    EXPECT_NE(id, GR_NULL_MIPMAP_HANDLE);
    guTexDownloadMipMap(id, pTexels, pTable);
    guTexSource(id);
    return id;
}

void ShowTextureOnly()
{
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    guAlphaSource(GR_ALPHASOURCE_TEXTURE_ALPHA);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
}
} // namespace GlideTest
