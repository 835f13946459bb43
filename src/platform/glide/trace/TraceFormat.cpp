// TraceFormat: the shape of every call's record.
#include "TraceFormat.h"

namespace
{
using V = TraceVertices;
constexpr UInt32 D = TraceFormat::MaxData;
constexpr UInt32 Level = TraceFormat::MaxLevelBytes;
constexpr UInt32 Chain = TraceFormat::MaxChainBytes;
constexpr UInt32 Ncc = TraceFormat::NccTableBytes;
constexpr UInt32 Palette = TraceFormat::PaletteBytes;

// In the order of TraceCall, from Marker. Words are the call's arguments in the order of
// glide.h unless docs/trace-format.md says otherwise.
constexpr TraceCallShape g_aShapes[] = {
    {"marker", 0, V::None, true, 0, 4096},
    {"grGlideInit", 3, V::None, false, 0, 0},
    {"grGlideShutdown", 0, V::None, false, 0, 0},
    {"grSstWinOpen", 7, V::None, false, 0, 0},
    {"grSstWinClose", 0, V::None, false, 0, 0},
    {"grSstControl", 1, V::None, false, 0, 0},
    {"grSstControlMode", 1, V::None, false, 0, 0},
    {"grSstOrigin", 1, V::None, false, 0, 0},
    {"grHints", 2, V::None, false, 0, 0},
    {"grGlideSetState", 0, V::None, true, TraceFormat::StateBytes, TraceFormat::StateBytes},
    {"grBufferClear", 3, V::None, false, 0, 0},
    {"grBufferSwap", 1, V::None, false, 0, 0},
    {"grRenderBuffer", 1, V::None, false, 0, 0},
    {"grClipWindow", 4, V::None, false, 0, 0},
    {"grColorMask", 2, V::None, false, 0, 0},
    {"grLfbReadRegion", 6, V::None, false, 0, 0},
    {"grLfbWriteRegion", 6, V::None, true, 0, D},
    {"grLfbLock", 5, V::None, false, 0, 0},
    {"grLfbUnlock", 2, V::None, true, 0, D},
    {"grLfbConstantAlpha", 1, V::None, false, 0, 0},
    {"grLfbConstantDepth", 1, V::None, false, 0, 0},
    {"grLfbWriteColorFormat", 1, V::None, false, 0, 0},
    {"grLfbWriteColorSwizzle", 2, V::None, false, 0, 0},
    {"buffer image", 3, V::None, true, 0, D},
    {"grDrawPoint", 0, V::One, false, 0, 0},
    {"grDrawLine", 0, V::Two, false, 0, 0},
    {"grDrawTriangle", 0, V::Three, false, 0, 0},
    {"grDrawPolygon", 0, V::Counted, false, 0, 0},
    {"grDrawPolygonVertexList", 0, V::Counted, false, 0, 0},
    {"grDrawPlanarPolygon", 0, V::Counted, false, 0, 0},
    {"grDrawPlanarPolygonVertexList", 0, V::Counted, false, 0, 0},
    {"grAADrawPoint", 0, V::One, false, 0, 0},
    {"grAADrawLine", 0, V::Two, false, 0, 0},
    {"grAADrawTriangle", 3, V::Three, false, 0, 0},
    {"grAADrawPolygon", 0, V::Counted, false, 0, 0},
    {"grAADrawPolygonVertexList", 0, V::Counted, false, 0, 0},
    {"guDrawTriangleWithClip", 0, V::Three, false, 0, 0},
    {"guAADrawTriangleWithClip", 0, V::Three, false, 0, 0},
    {"guDrawPolygonVertexListWithClip", 0, V::Counted, false, 0, 0},
    {"grCullMode", 1, V::None, false, 0, 0},
    {"grColorCombine", 5, V::None, false, 0, 0},
    {"grAlphaCombine", 5, V::None, false, 0, 0},
    {"grAlphaControlsITRGBLighting", 1, V::None, false, 0, 0},
    {"guColorCombineFunction", 1, V::None, false, 0, 0},
    {"guAlphaSource", 1, V::None, false, 0, 0},
    {"grConstantColorValue", 1, V::None, false, 0, 0},
    {"grConstantColorValue4", 4, V::None, false, 0, 0},
    {"grAlphaBlendFunction", 4, V::None, false, 0, 0},
    {"grAlphaTestFunction", 1, V::None, false, 0, 0},
    {"grAlphaTestReferenceValue", 1, V::None, false, 0, 0},
    {"grChromakeyMode", 1, V::None, false, 0, 0},
    {"grChromakeyValue", 1, V::None, false, 0, 0},
    {"grDepthBufferMode", 1, V::None, false, 0, 0},
    {"grDepthBufferFunction", 1, V::None, false, 0, 0},
    {"grDepthMask", 1, V::None, false, 0, 0},
    {"grDepthBiasLevel", 1, V::None, false, 0, 0},
    {"grDitherMode", 1, V::None, false, 0, 0},
    {"grFogMode", 1, V::None, false, 0, 0},
    {"grFogColorValue", 1, V::None, false, 0, 0},
    {"grFogTable", 0, V::None, true, TraceFormat::FogTableBytes, TraceFormat::FogTableBytes},
    {"grGammaCorrectionValue", 1, V::None, false, 0, 0},
    {"grDisableAllEffects", 0, V::None, false, 0, 0},
    {"grTexSource", 8, V::None, false, 0, 0},
    {"grTexDownloadMipMap", 8, V::None, true, 0, Chain},
    {"grTexDownloadMipMapLevel", 7, V::None, true, 0, Level},
    {"grTexDownloadMipMapLevelPartial", 10, V::None, true, 0, Level},
    {"grTexDownloadTable", 4, V::None, true, 0, Palette},
    {"grTexDownloadTablePartial", 6, V::None, true, 0, Palette},
    {"grTexNCCTable", 2, V::None, false, 0, 0},
    {"grTexCombine", 7, V::None, false, 0, 0},
    {"grTexCombineFunction", 2, V::None, false, 0, 0},
    {"guTexCombineFunction", 2, V::None, false, 0, 0},
    {"grTexFilterMode", 3, V::None, false, 0, 0},
    {"grTexClampMode", 3, V::None, false, 0, 0},
    {"grTexMipMapMode", 3, V::None, false, 0, 0},
    {"grTexLodBiasValue", 2, V::None, false, 0, 0},
    {"grTexDetailControl", 4, V::None, false, 0, 0},
    {"grTexMultibase", 2, V::None, false, 0, 0},
    {"grTexMultibaseAddress", 9, V::None, false, 0, 0},
    {"guTexAllocateMemory", 15, V::None, false, 0, 0},
    {"guTexChangeAttributes", 12, V::None, false, 0, 0},
    {"guTexDownloadMipMap", 2, V::None, true, 0, Chain + Palette},
    {"guTexDownloadMipMapLevel", 2, V::None, true, 0, Level},
    {"guTexSource", 1, V::None, false, 0, 0},
    {"guTexMemReset", 0, V::None, false, 0, 0},
};
static_assert(sizeof(g_aShapes) / sizeof(g_aShapes[0]) ==
                  size_t(TraceCall::End) - size_t(TraceCall::Marker),
              "one shape per call");
static_assert(Ncc <= Palette, "an NCC table fits the largest table data");
} // namespace

const TraceCallShape* TraceFormat::Shape(Byte nCall)
{
    if (nCall < Byte(TraceCall::Marker) || nCall >= Byte(TraceCall::End))
        return nullptr;
    return &g_aShapes[nCall - Byte(TraceCall::Marker)];
}
