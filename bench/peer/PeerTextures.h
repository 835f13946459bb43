// PeerTextures: the gu mip-maps of a trace as OpenGL textures, for the peer renderer.
//
// Owner: GlPeer, one per run. guTexAllocateMemory gives handles 0, 1, ... as Glide's manager
// does (the peer does not model running out of texture memory); guTexDownloadMipMap expands
// the texels with the software Glide's own texel decoder (every Glide format, NCC tables and
// palettes) and hands the levels to glTexImage2D; guTexSource binds the texture with the
// filters, clamping and mip-mapping the handle was allocated with. Downloads are set-up, not
// per frame; Source runs per material per frame.
#pragma once
#include <GL/gl.h>

#include <vector>

#include "TraceReader.h"
#include "Types.h"

class PeerTextures
{
  public:
    PeerTextures() = default;
    ~PeerTextures();
    PeerTextures(const PeerTextures&) = delete;
    PeerTextures& operator=(const PeerTextures&) = delete;

    void Allocate(const TraceRecord& rRecord);
    void Download(const TraceRecord& rRecord);
    // Binds the handle's texture; 0 when the handle has none.
    Int32 Source(const TraceRecord& rRecord);
    // Deletes every texture (at close and between repetitions); needs the context current.
    void Reset();

    // Multipliers from Glide's texture coordinates (texels of a 256-texel level) to OpenGL's
    // (0..1 over the largest level) for the bound texture.
    float ScaleS() const { return m_fScaleS; }
    float ScaleT() const { return m_fScaleT; }

  private:
    struct Entry
    {
        UInt32 m_uFormat, m_uSmallLod, m_uLargeLod, m_uAspect;
        UInt32 m_uClampS, m_uClampT, m_uMinFilter, m_uMagFilter, m_uMipMap;
        GLuint m_uTexture;
    };

    std::vector<Entry> m_aEntries;
    std::vector<UInt32> m_auArgb;
    std::vector<Byte> m_abyRgba;
    float m_fScaleS = 1.0f / 256.0f;
    float m_fScaleT = 1.0f / 256.0f;
};
