#define GL_GLEXT_PROTOTYPES 1
#include "GlPeer.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <glide.h>

#include <cstring>

namespace
{
// Screen sizes of the Glide resolutions (sst1vid.h); 640x480 for any other value.
void ScreenSize(UInt32 uResolution, Int32& rnWidth, Int32& rnHeight)
{
    static const Int32 anSizes[][2] = {{320, 200},  {320, 240},   {400, 256},   {512, 384},
                                       {640, 200},  {640, 350},   {640, 400},   {640, 480},
                                       {800, 600},  {960, 720},   {856, 480},   {512, 256},
                                       {1024, 768}, {1280, 1024}, {1600, 1200}, {400, 300}};
    const UInt32 uIndex = uResolution < 16 ? uResolution : GR_RESOLUTION_640x480;
    rnWidth = anSizes[uIndex][0];
    rnHeight = anSizes[uIndex][1];
}

// Glide blend factors as OpenGL's: values 0x2 and 0x6 name the other colour as a source factor
// (DST_COLOR, ONE_MINUS_DST_COLOR) and the source colour as a destination factor.
GLenum BlendFactor(UInt32 uFactor, Int32 bSource)
{
    switch (uFactor)
    {
    case GR_BLEND_ZERO:
        return GL_ZERO;
    case GR_BLEND_SRC_ALPHA:
        return GL_SRC_ALPHA;
    case GR_BLEND_SRC_COLOR:
        return bSource ? GL_DST_COLOR : GL_SRC_COLOR;
    case GR_BLEND_DST_ALPHA:
        return GL_DST_ALPHA;
    case GR_BLEND_ONE:
        return GL_ONE;
    case GR_BLEND_ONE_MINUS_SRC_ALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case GR_BLEND_ONE_MINUS_SRC_COLOR:
        return bSource ? GL_ONE_MINUS_DST_COLOR : GL_ONE_MINUS_SRC_COLOR;
    case GR_BLEND_ONE_MINUS_DST_ALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case GR_BLEND_ALPHA_SATURATE:
        return bSource ? GL_SRC_ALPHA_SATURATE : GL_ONE;
    default:
        return bSource ? GL_ONE : GL_ZERO;
    }
}

Byte Channel(float f)
{
    // Iterated colour is clamped to 0..255, as the software Glide does.
    if (!(f > 0.0f))
        return 0;
    return f >= 255.0f ? 255 : (Byte)f;
}

float FloatOf(UInt32 u)
{
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

// Offsets of the floats of a GrVertex.
enum
{
    V_X = 0,
    V_Y = 1,
    V_R = 3,
    V_G = 4,
    V_B = 5,
    V_A = 7,
    V_OOW = 8,
    V_SOW = 9,
    V_TOW = 10,
};
} // namespace

GlPeer::~GlPeer()
{
    Close();
}

void GlPeer::Close()
{
    if (m_Context == nullptr)
        return;
    m_Textures.Reset();
    OSMesaDestroyContext(m_Context);
    m_Context = nullptr;
}

void GlPeer::Open(const TraceRecord& rRecord)
{
    // grSstWinOpen(window, resolution, refresh, colour format, origin, buffers, aux buffers).
    Int32 nWidth, nHeight;
    ScreenSize(rRecord.anWords[1], nWidth, nHeight);
    m_uColorFormat = rRecord.anWords[3];
    m_uOrigin = rRecord.anWords[4];
    if (m_Context == nullptr || nWidth != m_nWidth || nHeight != m_nHeight)
    {
        Close();
        m_nWidth = nWidth;
        m_nHeight = nHeight;
        m_abyBuffer.assign((size_t)nWidth * (size_t)nHeight * 4, 0);
        m_Context = OSMesaCreateContextExt(OSMESA_RGBA, 0, 0, 0, nullptr);
        if (m_Context == nullptr ||
            !OSMesaMakeCurrent(m_Context, m_abyBuffer.data(), GL_UNSIGNED_BYTE, nWidth, nHeight))
        {
            fprintf(stderr, "glide-peer: OSMesa could not make a %dx%d context\n", nWidth, nHeight);
            Close();
            return;
        }
        const char* pszRenderer = (const char*)glGetString(GL_RENDERER);
        m_strRenderer = pszRenderer ? pszRenderer : "?";
    }
    // The state grSstWinOpen resets, as far as it is mirrored.
    m_eColor = COLOR_ITERATED;
    m_bTextured = 0;
    m_uConstant = 0xFFFFFFFFu;
    m_auBlend[0] = GR_BLEND_ONE;
    m_auBlend[1] = GR_BLEND_ZERO;
    m_uCull = GR_CULL_DISABLE;
    m_auClip[0] = m_auClip[1] = 0;
    m_auClip[2] = (UInt32)m_nWidth;
    m_auClip[3] = (UInt32)m_nHeight;
    m_bDirty = 1;

    glViewport(0, 0, m_nWidth, m_nHeight);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    glShadeModel(GL_SMOOTH);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    // No alpha buffer: destination alpha reads as one, as on the board.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    ApplyProjection();
    ApplyClip();
}

void GlPeer::ApplyProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Glide's screen: y down from the top with the upper-left origin.
    if (m_uOrigin == GR_ORIGIN_LOWER_LEFT)
        glOrtho(0.0, m_nWidth, 0.0, m_nHeight, -1.0, 1.0);
    else
        glOrtho(0.0, m_nWidth, m_nHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GlPeer::ApplyClip()
{
    const Int32 nMinX = (Int32)m_auClip[0], nMinY = (Int32)m_auClip[1];
    const Int32 nMaxX = (Int32)m_auClip[2], nMaxY = (Int32)m_auClip[3];
    if (nMinX <= 0 && nMinY <= 0 && nMaxX >= m_nWidth && nMaxY >= m_nHeight)
    {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    // Clip rows count in Glide's y; the scissor in OpenGL's, from the bottom.
    const Int32 nBottom = m_uOrigin == GR_ORIGIN_LOWER_LEFT ? nMinY : m_nHeight - nMaxY;
    glScissor(nMinX, nBottom, nMaxX - nMinX, nMaxY - nMinY);
}

void GlPeer::ApplyState()
{
    m_bDirty = 0;
    const Int32 bTexture = m_bTextured && m_eColor >= COLOR_TEXTURE;
    if (bTexture)
    {
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE,
                  m_eColor == COLOR_TEXTURE ? GL_REPLACE : GL_MODULATE);
    }
    else
        glDisable(GL_TEXTURE_2D);
    if (m_auBlend[0] == GR_BLEND_ONE && m_auBlend[1] == GR_BLEND_ZERO)
        glDisable(GL_BLEND);
    else
    {
        glEnable(GL_BLEND);
        glBlendFunc(BlendFactor(m_auBlend[0], 1), BlendFactor(m_auBlend[1], 0));
    }
    if (m_uCull == GR_CULL_DISABLE)
        glDisable(GL_CULL_FACE);
    else
    {
        // The projection mirrors y with the upper-left origin: a triangle of positive Glide
        // area is then clockwise for OpenGL.
        const Int32 bMirrored = m_uOrigin != GR_ORIGIN_LOWER_LEFT;
        const Int32 bCullPositive = m_uCull == GR_CULL_POSITIVE;
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(bCullPositive == bMirrored ? GL_BACK : GL_FRONT);
    }
}

void GlPeer::Flush()
{
    const GLsizei nVertices = (GLsizei)(m_afPosition.size() / 2);
    if (nVertices == 0 || m_Context == nullptr)
        return;
    if (m_bDirty)
        ApplyState();
    glVertexPointer(2, GL_FLOAT, 0, m_afPosition.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, m_abyColor.data());
    glTexCoordPointer(4, GL_FLOAT, 0, m_afTexCoord.data());
    glDrawArrays(GL_TRIANGLES, 0, nVertices);
    m_afPosition.clear();
    m_afTexCoord.clear();
    m_abyColor.clear();
}

void GlPeer::Vertex(const TraceVertexBits& v)
{
    const UInt32* pu = v.anFloats;
    m_afPosition.push_back(FloatOf(pu[V_X]));
    m_afPosition.push_back(FloatOf(pu[V_Y]));
    // s/w and t/w with q = 1/w: OpenGL divides per pixel, as Glide does.
    m_afTexCoord.push_back(FloatOf(pu[V_SOW]) * m_Textures.ScaleS());
    m_afTexCoord.push_back(FloatOf(pu[V_TOW]) * m_Textures.ScaleT());
    m_afTexCoord.push_back(0.0f);
    m_afTexCoord.push_back(FloatOf(pu[V_OOW]));
    Byte abyColor[4] = {0, 0, 0, 0};
    if (m_eColor == COLOR_CONSTANT || m_eColor == COLOR_TEXTURE_TIMES_CONSTANT)
    {
        abyColor[0] = (Byte)(m_uConstant >> 16);
        abyColor[1] = (Byte)(m_uConstant >> 8);
        abyColor[2] = (Byte)m_uConstant;
        abyColor[3] = (Byte)(m_uConstant >> 24);
    }
    else if (m_eColor != COLOR_ZERO)
    {
        abyColor[0] = Channel(FloatOf(pu[V_R]));
        abyColor[1] = Channel(FloatOf(pu[V_G]));
        abyColor[2] = Channel(FloatOf(pu[V_B]));
        abyColor[3] = Channel(FloatOf(pu[V_A]));
    }
    m_abyColor.insert(m_abyColor.end(), abyColor, abyColor + 4);
}

void GlPeer::Triangle(const TraceVertexBits& a, const TraceVertexBits& b, const TraceVertexBits& c)
{
    Vertex(a);
    Vertex(b);
    Vertex(c);
}

UInt32 GlPeer::ToArgb(UInt32 u) const
{
    switch (m_uColorFormat)
    {
    case GR_COLORFORMAT_ABGR:
        return (u & 0xFF00FF00u) | ((u >> 16) & 0xFFu) | ((u & 0xFFu) << 16);
    case GR_COLORFORMAT_RGBA:
        return (u >> 8) | (u << 24);
    case GR_COLORFORMAT_BGRA:
        return ((u & 0xFFu) << 24) | ((u >> 24) & 0xFFu) << 0 | ((u >> 16) & 0xFFu) << 8 |
               ((u >> 8) & 0xFFu) << 16;
    default:
        return u;
    }
}

void GlPeer::SetGuColorCombine(UInt32 uMode)
{
    switch (uMode)
    {
    case GR_COLORCOMBINE_ZERO:
        m_eColor = COLOR_ZERO;
        return;
    case GR_COLORCOMBINE_CCRGB:
        m_eColor = COLOR_CONSTANT;
        return;
    case GR_COLORCOMBINE_ITRGB:
        m_eColor = COLOR_ITERATED;
        return;
    case GR_COLORCOMBINE_DECAL_TEXTURE:
        m_eColor = COLOR_TEXTURE;
        return;
    case GR_COLORCOMBINE_TEXTURE_TIMES_CCRGB:
        m_eColor = COLOR_TEXTURE_TIMES_CONSTANT;
        return;
    case GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB:
        m_eColor = COLOR_TEXTURE_TIMES_ITERATED;
        return;
    default:
        m_Unmirrored["guColorCombineFunction (other modes)"]++;
        m_eColor = COLOR_TEXTURE_TIMES_ITERATED;
        return;
    }
}

void GlPeer::SetColorCombine(UInt32 uFunction, UInt32 uFactor, UInt32 uLocal, UInt32 uOther)
{
    // The grColorCombine forms of the modes above.
    if (uFunction == GR_COMBINE_FUNCTION_ZERO)
        m_eColor = COLOR_ZERO;
    else if (uFunction == GR_COMBINE_FUNCTION_LOCAL)
        m_eColor = uLocal == GR_COMBINE_LOCAL_CONSTANT ? COLOR_CONSTANT : COLOR_ITERATED;
    else if (uFunction == GR_COMBINE_FUNCTION_SCALE_OTHER && uFactor == GR_COMBINE_FACTOR_ONE)
        m_eColor = uOther == GR_COMBINE_OTHER_TEXTURE    ? COLOR_TEXTURE
                   : uOther == GR_COMBINE_OTHER_CONSTANT ? COLOR_CONSTANT
                                                         : COLOR_ITERATED;
    else if (uFunction == GR_COMBINE_FUNCTION_SCALE_OTHER && uFactor == GR_COMBINE_FACTOR_LOCAL &&
             uOther == GR_COMBINE_OTHER_TEXTURE)
        m_eColor = uLocal == GR_COMBINE_LOCAL_CONSTANT ? COLOR_TEXTURE_TIMES_CONSTANT
                                                       : COLOR_TEXTURE_TIMES_ITERATED;
    else
    {
        m_Unmirrored["grColorCombine (other forms)"]++;
        m_eColor = COLOR_TEXTURE_TIMES_ITERATED;
    }
}

void GlPeer::Clear(const TraceRecord& rRecord)
{
    const UInt32 uArgb = ToArgb(rRecord.anWords[0]);
    glClearColor((float)((uArgb >> 16) & 0xFF) / 255.0f, (float)((uArgb >> 8) & 0xFF) / 255.0f,
                 (float)(uArgb & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void GlPeer::DrawImage(const TraceRecord& rRecord)
{
    // The back buffer the trace starts from: 5-6-5 pixels, top row first.
    const Int32 nWidth = (Int32)rRecord.anWords[1];
    const Int32 nHeight = (Int32)rRecord.anWords[2];
    if (rRecord.anWords[0] != GR_BUFFER_BACKBUFFER || nWidth != m_nWidth || nHeight != m_nHeight ||
        rRecord.nData < (UInt32)(nWidth * nHeight * 2))
        return;
    std::vector<Byte> abyRgba((size_t)nWidth * (size_t)nHeight * 4);
    for (Int32 y = 0; y < nHeight; y++)
        for (Int32 x = 0; x < nWidth; x++)
        {
            const Byte* pbyIn = rRecord.pData + ((size_t)y * nWidth + x) * 2;
            const UInt32 u = (UInt32)pbyIn[0] | ((UInt32)pbyIn[1] << 8);
            const Int32 nRow = m_uOrigin == GR_ORIGIN_LOWER_LEFT ? y : nHeight - 1 - y;
            Byte* pbyOut = &abyRgba[((size_t)nRow * nWidth + x) * 4];
            pbyOut[0] = (Byte)(((u >> 11) & 0x1F) << 3 | ((u >> 13) & 0x7));
            pbyOut[1] = (Byte)(((u >> 5) & 0x3F) << 2 | ((u >> 9) & 0x3));
            pbyOut[2] = (Byte)((u & 0x1F) << 3 | ((u >> 2) & 0x7));
            pbyOut[3] = 255;
        }
    glDisable(GL_SCISSOR_TEST);
    glWindowPos2i(0, 0);
    glDrawPixels(nWidth, nHeight, GL_RGBA, GL_UNSIGNED_BYTE, abyRgba.data());
    ApplyClip();
}

void GlPeer::Unmirrored(const TraceRecord& rRecord)
{
    m_Unmirrored[rRecord.pShape->pchName]++;
}

void GlPeer::Play(const TraceRecord& rRecord)
{
    const TraceRecord& r = rRecord;
    const TraceVertexBits* pV = r.pVertices;
    switch (r.eCall)
    {
    case TraceCall::DrawTriangle:
    case TraceCall::DrawTriangleWithClip:
    case TraceCall::AADrawTriangle:
        if (m_Context != nullptr)
            Triangle(pV[0], pV[1], pV[2]);
        return;
    case TraceCall::DrawPolygon:
    case TraceCall::DrawPolygonVertexList:
    case TraceCall::DrawPlanarPolygon:
    case TraceCall::DrawPlanarPolygonVertexList:
    case TraceCall::AADrawPolygon:
    case TraceCall::AADrawPolygonVertexList:
    case TraceCall::DrawPolygonVertexListWithClip:
        for (Int32 i = 1; i + 1 < r.nVertices && m_Context != nullptr; i++)
            Triangle(pV[0], pV[i], pV[i + 1]);
        return;
    case TraceCall::Marker:
    case TraceCall::GlideInit:
    case TraceCall::GlideShutdown:
    case TraceCall::SstControl:
    case TraceCall::SstControlMode:
    case TraceCall::Hints:
    case TraceCall::DitherMode:
    case TraceCall::SstWinClose:
        // Nothing to draw differently.
        return;
    default:
        break;
    }
    // Everything else changes state: the triangles so far are drawn with the state before it.
    Flush();
    if (m_Context == nullptr && r.eCall != TraceCall::SstWinOpen)
        return;
    switch (r.eCall)
    {
    case TraceCall::SstWinOpen:
        return Open(r);
    case TraceCall::SstOrigin:
        m_uOrigin = r.anWords[0];
        ApplyProjection();
        ApplyClip();
        m_bDirty = 1;
        return;
    case TraceCall::BufferClear:
        return Clear(r);
    case TraceCall::BufferSwap:
        return;
    case TraceCall::ClipWindow:
        std::memcpy(m_auClip, r.anWords, sizeof m_auClip);
        return ApplyClip();
    case TraceCall::ColorMask:
    {
        const GLboolean bRgb = r.anWords[0] ? GL_TRUE : GL_FALSE;
        glColorMask(bRgb, bRgb, bRgb, GL_FALSE);
        return;
    }
    case TraceCall::LfbReadRegion:
    {
        // The program read pixels back: so does the peer (same region, 16-bit pixels).
        const UInt32 uWidth = r.anWords[3], uHeight = r.anWords[4];
        if (uWidth == 0 || uHeight == 0 || uWidth > (UInt32)m_nWidth || uHeight > (UInt32)m_nHeight)
            return;
        std::vector<Byte> aby((size_t)uWidth * uHeight * 2);
        glReadPixels(0, 0, (GLsizei)uWidth, (GLsizei)uHeight, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                     aby.data());
        return;
    }
    case TraceCall::BufferImage:
        return DrawImage(r);
    case TraceCall::CullMode:
        m_uCull = r.anWords[0];
        m_bDirty = 1;
        return;
    case TraceCall::ColorCombine:
        SetColorCombine(r.anWords[0], r.anWords[1], r.anWords[2], r.anWords[3]);
        m_bDirty = 1;
        return;
    case TraceCall::ColorCombineFunction:
        SetGuColorCombine(r.anWords[0]);
        m_bDirty = 1;
        return;
    case TraceCall::AlphaCombine:
        // Alpha feeds only the blend factors that read source alpha; iterated alpha (times a
        // texture's alpha under GL_MODULATE) is what the scene's material asks for.
        if (r.anWords[3] != GR_COMBINE_OTHER_ITERATED)
            Unmirrored(r);
        return;
    case TraceCall::ConstantColorValue:
        m_uConstant = ToArgb(r.anWords[0]);
        return;
    case TraceCall::AlphaBlendFunction:
        m_auBlend[0] = r.anWords[0];
        m_auBlend[1] = r.anWords[1];
        m_bDirty = 1;
        return;
    case TraceCall::AlphaTestFunction:
        if (r.anWords[0] >= GR_CMP_ALWAYS)
            glDisable(GL_ALPHA_TEST);
        else
        {
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_NEVER + r.anWords[0], 0.0f);
            Unmirrored(r);
        }
        return;
    case TraceCall::TexCombineFunction:
    case TraceCall::GuTexCombineFunction:
        // The TMU passes its texel on (decal); other texture combines are not mirrored.
        if (r.anWords[1] != GR_TEXTURECOMBINE_DECAL)
            Unmirrored(r);
        return;
    case TraceCall::GuTexAllocateMemory:
        return m_Textures.Allocate(r);
    case TraceCall::GuTexDownloadMipMap:
        return m_Textures.Download(r);
    case TraceCall::GuTexSource:
        m_bTextured = m_Textures.Source(r);
        m_bDirty = 1;
        return;
    case TraceCall::GuTexMemReset:
        m_Textures.Reset();
        m_bTextured = 0;
        m_bDirty = 1;
        return;
    default:
        return Unmirrored(r);
    }
}

void GlPeer::FinishFrame()
{
    Flush();
    if (m_Context != nullptr)
        glFinish();
}

Int32 GlPeer::ReadFrame(RgbImage& rImage)
{
    if (m_Context == nullptr)
        return 0;
    std::vector<Byte> abyRgba((size_t)m_nWidth * (size_t)m_nHeight * 4);
    glReadPixels(0, 0, m_nWidth, m_nHeight, GL_RGBA, GL_UNSIGNED_BYTE, abyRgba.data());
    rImage.Resize(m_nWidth, m_nHeight);
    for (Int32 y = 0; y < m_nHeight; y++)
    {
        // OpenGL's rows run from the bottom.
        const Int32 nRow = m_uOrigin == GR_ORIGIN_LOWER_LEFT ? y : m_nHeight - 1 - y;
        for (Int32 x = 0; x < m_nWidth; x++)
        {
            const Byte* pbyIn = &abyRgba[((size_t)nRow * m_nWidth + x) * 4];
            Byte* pbyOut = rImage.Pixel(x, y);
            pbyOut[0] = pbyIn[0];
            pbyOut[1] = pbyIn[1];
            pbyOut[2] = pbyIn[2];
        }
    }
    return 1;
}

void GlPeer::Reset()
{
    // The next repetition starts from a new grSstWinOpen; its textures are downloaded again.
    if (m_Context != nullptr)
        m_Textures.Reset();
    m_afPosition.clear();
    m_afTexCoord.clear();
    m_abyColor.clear();
    m_bTextured = 0;
}
