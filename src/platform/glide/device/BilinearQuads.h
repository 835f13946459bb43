// BilinearQuads: a decoded texture's levels laid out for the fast path's bilinear filter.
//
// Bilinear filtering reads four texels per pixel: (u, v), (u + 1, v), (u, v + 1), (u + 1, v + 1),
// each axis wrapped or clamped (PixelMath::BilinearAddress). Here every such quad is stored as
// four consecutive texels, so the fast path fetches a pixel's texels with one load. Per level
// of w x h texels the table has w columns on a wrapping axis (quad at column c starts at texel c)
// and w + 1 on a clamping one (quad at column c starts at texel c - 1, clamped), rows likewise;
// PixelMath::BilinearQuadIndex finds a pixel's quad. Built from the decoded texels, so a quad
// holds exactly the texels the reference reads.
//
// Owner: the DecodedTexture it describes, one per combination of clamp modes, built on first
// use by the TextureCache (when a triangle is planned, never per pixel) and again only after the
// texture is decoded anew. Its storage is kept and reused.
#pragma once
#include "GlideConfig.h"
#include "Types.h"

struct DecodedTexture;

class BilinearQuads
{
  public:
    BilinearQuads() = default;
    ~BilinearQuads();
    BilinearQuads(const BilinearQuads&) = delete;
    BilinearQuads& operator=(const BilinearQuads&) = delete;

    // Lays out every level of the texture for the clamp modes; false when memory runs out.
    bool Build(const DecodedTexture& texture, bool bClampS, bool bClampT);
    // The quads of level nLod (four texels each), or null before a successful Build.
    const UInt32* Level(Int32 nLod) const { return m_apLevel[nLod]; }
    // Which decoding of its texture the quads were built from (the texture's serial).
    UInt32 BuiltFrom() const { return m_nBuiltFrom; }
    void SetBuiltFrom(UInt32 nSerial) { m_nBuiltFrom = nSerial; }

  private:
    UInt32* m_pStorage = nullptr;
    size_t m_nCapacity = 0; // texels
    const UInt32* m_apLevel[GlideConfig::LevelCount] = {};
    UInt32 m_nBuiltFrom = 0;
};
