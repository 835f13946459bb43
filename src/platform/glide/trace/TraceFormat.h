// TraceFormat: the layout of a Glide call trace (docs/trace-format.md), shared by the writer
// and the reader.
//
// A trace is a 16-byte header followed by one record per call, all little-endian:
//   header  "GLIDETRC" | u16 version | u16 header bytes (16) | u32 flags (0)
//   record  u8 call | u32 payload bytes | payload
// A payload holds, in this order and as the call's shape says: its fixed 32-bit words (integers,
// enumerations, floats as their IEEE bits), its vertices (a u32 count first when the count is
// not fixed), and its data (a u32 byte count, then the bytes). Each vertex is a tag byte: 0 and
// the 15 floats of the GrVertex follow; 1..255 repeats the vertex written that many literal
// vertices ago (TraceVertexHistory).
//
// Call values are part of the file format: new calls are appended, none is renumbered.
#pragma once
#include "Types.h"
#include <cstddef>

enum class TraceCall : Byte
{
    Marker = 1, // text from the program that made the trace (the capture tool's frame clock)
    GlideInit,  // the board grGlideInit chose (TraceBoard) and its environment switches
    GlideShutdown,
    SstWinOpen,
    SstWinClose,
    SstControl,
    SstControlMode,
    SstOrigin,
    Hints,
    GlideSetState,
    BufferClear,
    BufferSwap,
    RenderBuffer,
    ClipWindow,
    ColorMask,
    LfbReadRegion,
    LfbWriteRegion,
    LfbLock,
    LfbUnlock,
    LfbConstantAlpha,
    LfbConstantDepth,
    LfbWriteColorFormat,
    LfbWriteColorSwizzle,
    BufferImage, // a whole buffer's 16-bit pixels, where a trace starts in the middle of a run
    DrawPoint,
    DrawLine,
    DrawTriangle,
    DrawPolygon,
    DrawPolygonVertexList,
    DrawPlanarPolygon,
    DrawPlanarPolygonVertexList,
    AADrawPoint,
    AADrawLine,
    AADrawTriangle,
    AADrawPolygon,
    AADrawPolygonVertexList,
    DrawTriangleWithClip,
    AADrawTriangleWithClip,
    DrawPolygonVertexListWithClip,
    CullMode,
    ColorCombine,
    AlphaCombine,
    AlphaControlsITRGBLighting,
    ColorCombineFunction,
    AlphaSource,
    ConstantColorValue,
    ConstantColorValue4,
    AlphaBlendFunction,
    AlphaTestFunction,
    AlphaTestReferenceValue,
    ChromakeyMode,
    ChromakeyValue,
    DepthBufferMode,
    DepthBufferFunction,
    DepthMask,
    DepthBiasLevel,
    DitherMode,
    FogMode,
    FogColorValue,
    FogTable,
    GammaCorrectionValue,
    DisableAllEffects,
    TexSource,
    TexDownloadMipMap,
    TexDownloadMipMapLevel,
    TexDownloadMipMapLevelPartial,
    TexDownloadTable,
    TexDownloadTablePartial,
    TexNCCTable,
    TexCombine,
    TexCombineFunction,
    GuTexCombineFunction,
    TexFilterMode,
    TexClampMode,
    TexMipMapMode,
    TexLodBiasValue,
    TexDetailControl,
    TexMultibase,
    TexMultibaseAddress,
    GuTexAllocateMemory,
    GuTexChangeAttributes,
    GuTexDownloadMipMap,
    GuTexDownloadMipMapLevel,
    GuTexSource,
    GuTexMemReset,
    End, // one past the last call
};

// The board of a GlideInit record (word 0).
enum class TraceBoard : UInt32
{
    Voodoo = 0,
    Voodoo2 = 1,
    Sst96 = 2,
    At3d = 3,
    None = 4,
};

// What a call's payload holds besides its words.
enum class TraceVertices : Byte
{
    None,
    One,
    Two,
    Three,
    Counted, // a u32 count, then that many vertices
};

struct TraceCallShape
{
    const char* pchName; // the Glide entry point, for messages
    Byte nWords;
    TraceVertices eVertices;
    bool bData;
    UInt32 nMinData; // data bytes allowed, when bData
    UInt32 nMaxData;
};

namespace TraceFormat
{
constexpr char Magic[8] = {'G', 'L', 'I', 'D', 'E', 'T', 'R', 'C'};
constexpr UInt32 Version = 1;
constexpr UInt32 HeaderBytes = 16;
constexpr UInt32 RecordHeaderBytes = 5;

// Floats in a GrVertex (x, y, z, r, g, b, ooz, a, oow and two TMUs' sow, tow, oow).
constexpr Int32 VertexFloats = 15;
constexpr UInt32 VertexBytes = VertexFloats * 4;
// The most words any call has (guTexAllocateMemory).
constexpr Int32 MaxWords = 15;
// The most vertices one record may hold: far more than any polygon a program draws, few enough
// that a damaged count cannot make the reader reserve much memory.
constexpr UInt32 MaxVertices = 1u << 16;
// The largest data of any call: a 1600x1200 frame of 32-bit pixels, with room to spare.
constexpr UInt32 MaxData = 16u << 20;
// Largest texture level (256x256 texels of 16 bits) and largest mip-map chain (all nine levels).
constexpr UInt32 MaxLevelBytes = 256 * 256 * 2;
constexpr UInt32 MaxChainBytes = 174762;
// An NCC table (GuNccTable) and a palette (GuTexPalette) as programs hold them.
constexpr UInt32 NccTableBytes = 112;
constexpr UInt32 PaletteBytes = 1024;
// grGlideGetState's saved state (GrState) and a fog table.
constexpr UInt32 StateBytes = 312;
constexpr UInt32 FogTableBytes = 64;

// The shape of a call, or null for a value that is no call.
const TraceCallShape* Shape(Byte nCall);
inline const TraceCallShape* Shape(TraceCall eCall)
{
    return Shape(Byte(eCall));
}

// Little-endian access that does not depend on the host's byte order or alignment.
inline UInt32 ReadU32(const Byte* pb)
{
    return UInt32(pb[0]) | (UInt32(pb[1]) << 8) | (UInt32(pb[2]) << 16) | (UInt32(pb[3]) << 24);
}
inline UInt32 ReadU16(const Byte* pb)
{
    return UInt32(pb[0]) | (UInt32(pb[1]) << 8);
}
inline void WriteU32(Byte* pb, UInt32 n)
{
    pb[0] = Byte(n);
    pb[1] = Byte(n >> 8);
    pb[2] = Byte(n >> 16);
    pb[3] = Byte(n >> 24);
}
inline void WriteU16(Byte* pb, UInt32 n)
{
    pb[0] = Byte(n);
    pb[1] = Byte(n >> 8);
}
} // namespace TraceFormat
