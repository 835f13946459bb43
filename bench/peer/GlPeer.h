// GlPeer: a trace replayed through Mesa's llvmpipe (OSMesa), the peer the software Glide is
// measured against.
//
// Owner: glide-peer, one per run; ReplayRun drives it. It draws what the scene's Glide calls
// draw with OpenGL 1.x state that matches: the screen-space vertices as they are, in an
// orthographic projection of the Glide screen; texture coordinates (s/w, t/w, 0, 1/w), so that
// OpenGL divides per pixel and texturing is perspective-correct while colour is interpolated
// in screen space as Glide does; the downloaded texels (PeerTextures); bilinear filtering and
// the nearest mip-map level; the colour combine as a texture environment; the blend factors;
// culling, the clip window as a scissor; no depth test. Triangles between two state changes
// go to glDrawArrays together. Calls with no counterpart here (other combine modes, fog,
// depth, chroma key, points, lines) are counted and listed at the end; the scene uses none.
// A frame ends with glFinish, so its time includes all of llvmpipe's work on it.
#pragma once
#include <GL/osmesa.h>

#include <map>
#include <string>
#include <vector>

#include "PeerTextures.h"
#include "ReplayTarget.h"
#include "Types.h"

class GlPeer : public ReplayTarget
{
  public:
    GlPeer() = default;
    ~GlPeer() override;
    GlPeer(const GlPeer&) = delete;
    GlPeer& operator=(const GlPeer&) = delete;

    void Play(const TraceRecord& rRecord) override;
    void FinishFrame() override;
    Int32 ReadFrame(RgbImage& rImage) override;
    void Reset() override;

    // "llvmpipe (LLVM ...)" once a context exists.
    const std::string& Renderer() const { return m_strRenderer; }
    // Calls that were not mirrored, with their counts.
    const std::map<std::string, Int64>& Unmirrored() const { return m_Unmirrored; }

  private:
    enum ColorSource
    {
        COLOR_ZERO,
        COLOR_CONSTANT,
        COLOR_ITERATED,
        COLOR_TEXTURE, // decal
        COLOR_TEXTURE_TIMES_CONSTANT,
        COLOR_TEXTURE_TIMES_ITERATED,
    };

    void Open(const TraceRecord& rRecord);
    void Close();
    void Flush();
    void Triangle(const TraceVertexBits& a, const TraceVertexBits& b, const TraceVertexBits& c);
    void Vertex(const TraceVertexBits& v);
    void SetColorCombine(UInt32 uFunction, UInt32 uFactor, UInt32 uLocal, UInt32 uOther);
    void SetGuColorCombine(UInt32 uMode);
    void ApplyState();
    void ApplyProjection();
    void ApplyClip();
    void Clear(const TraceRecord& rRecord);
    void DrawImage(const TraceRecord& rRecord);
    UInt32 ToArgb(UInt32 uColor) const;
    void Unmirrored(const TraceRecord& rRecord);

    OSMesaContext m_Context = nullptr;
    std::vector<Byte> m_abyBuffer;
    Int32 m_nWidth = 0;
    Int32 m_nHeight = 0;
    std::string m_strRenderer;

    UInt32 m_uColorFormat = 0;
    UInt32 m_uOrigin = 0;
    ColorSource m_eColor = COLOR_ITERATED;
    Int32 m_bTextured = 0;              // a texture is bound
    UInt32 m_uConstant = 0xFFFFFFFFu;   // 0xAARRGGBB
    UInt32 m_auBlend[4] = {4, 0, 4, 0}; // GR_BLEND_ONE, ZERO, ONE, ZERO
    UInt32 m_uCull = 0;
    UInt32 m_auClip[4] = {0, 0, 0, 0};
    Int32 m_bDirty = 1;

    std::vector<float> m_afPosition;
    std::vector<float> m_afTexCoord;
    std::vector<Byte> m_abyColor;
    PeerTextures m_Textures;
    std::map<std::string, Int64> m_Unmirrored;
};
