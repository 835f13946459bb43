// DeviceState: the software board's pipeline state in its own terms.
//
// The API half (the gr* and gu* entry points) checks every Glide argument and maps it into these
// types with exhaustive switches; the device half (setup, rasteriser, span renderer, texture
// units, frame buffer) reads only these and never sees a Glide constant. The combine units are
// kept in the chip's decomposed form (zero-other, subtract-local, add, factor select and invert),
// which is how every Glide combine function is built (glide-reference.md §5.2).
//
// Owner: the Device holds one DeviceState; the API half writes it between draws, the span
// renderer reads it when a triangle is set up. Plain data, copied freely.
#pragma once
#include "GlideConfig.h"
#include "TexelDecoder.h"
#include "Types.h"
#include <cstdint>
#include <type_traits>

// Inputs of the colour and alpha combine units.
enum class CombineOther : Byte
{
    Iterated, // iterated RGB / alpha
    Texture,  // TMU 0's output
    Constant, // constant colour / alpha
};

enum class CombineLocal : Byte
{
    Iterated,
    Constant,
    Depth, // alpha unit only: bits 15..8 of the iterated Z
};

// What the factor f of a combine unit reads (bits 2..0 of the chip's factor select).
enum class CombineFactor : Byte
{
    Zero,
    Local,        // the local input (per channel in the colour unit)
    OtherAlpha,   // the alpha unit's other input
    LocalAlpha,   // the alpha unit's local input
    TextureAlpha, // TMU 0's output alpha
    TextureRgb,   // colour unit: TMU 0's output colour, per channel
    DetailFactor, // texture unit: the detail blend factor
    LodFraction,  // texture unit: the fractional level of detail
};

// The term added after scaling.
enum class CombineAdd : Byte
{
    None,
    Local,
    LocalAlpha,
};

// One combine unit: result = ((zero-other ? 0 : other) - (subtract ? local : 0)) * f + add,
// clamped to 0..255 and optionally inverted; f is inverted (1 - f) when bInvertFactor is set.
struct CombineUnitState
{
    CombineOther eOther = CombineOther::Iterated;
    CombineLocal eLocal = CombineLocal::Iterated;
    CombineFactor eFactor = CombineFactor::Zero;
    bool bInvertFactor = true;
    bool bZeroOther = false;
    bool bSubtractLocal = false;
    CombineAdd eAdd = CombineAdd::None;
    bool bInvertOutput = false;
};

// Blend factors by meaning, separately for source and destination.
enum class BlendFactor : Byte
{
    Zero,
    One,
    SrcAlpha,
    OneMinusSrcAlpha,
    DstAlpha,
    OneMinusDstAlpha,
    SrcColor,         // destination factor only
    OneMinusSrcColor, // destination factor only
    DstColor,         // source factor only
    OneMinusDstColor, // source factor only
    AlphaSaturate,    // source factor only: min(As, 1 - Ad)
    PrefogColor,      // destination factor only: the source colour before fog
};

struct BlendState
{
    BlendFactor eRgbSrc = BlendFactor::One;
    BlendFactor eRgbDst = BlendFactor::Zero;
    BlendFactor eAlphaSrc = BlendFactor::One;
    BlendFactor eAlphaDst = BlendFactor::Zero;
};

enum class CompareFunc : Byte
{
    Never,
    Less,
    Equal,
    LessEqual,
    Greater,
    NotEqual,
    GreaterEqual,
    Always,
};

enum class DepthMode : Byte
{
    Disabled,
    ZBuffer,
    WBuffer,
    ZCompareToBias,
    WCompareToBias,
};

enum class FogMode : Byte
{
    Disabled,
    IteratedAlpha,
    Table,
    IteratedZ,
};

enum class DitherMode : Byte
{
    Disabled,
    Dither2x2,
    Dither4x4,
};

enum class CullMode : Byte
{
    Disabled,
    Negative, // rejects triangles of negative signed area
    Positive, // rejects triangles of positive signed area
};

enum class TextureFilter : Byte
{
    Point,
    Bilinear,
};

enum class TextureClamp : Byte
{
    Wrap,
    Clamp,
};

enum class MipMapMode : Byte
{
    Disabled,
    Nearest,
    NearestDither,
};

// Texture memory parity of the levels held at a start address.
enum LevelParity : UInt32
{
    ParityEven = 1u, // levels 256, 64, 16, 4, 1 (level numbers 0, 2, 4, 6, 8)
    ParityOdd = 2u,  // levels 128, 32, 8, 2 (level numbers 1, 3, 5, 7)
    ParityBoth = 3u,
};

// Where a TMU's texture lives and how it is laid out. Levels are numbered as the chip does:
// 0 is the 256-texel level, 8 the 1-texel level; nLargeLod <= nSmallLod.
struct TextureSource
{
    bool bValid = false;
    TexelFormat eFormat = TexelFormat::Rgb565;
    std::int8_t nLargeLod = 0;
    std::int8_t nSmallLod = 0;
    std::int8_t nAspectLog = 0; // log2(width / height): +3 for 8x1 .. -3 for 1x8
    std::uint8_t nParity = ParityBoth;
    UInt32 nStartAddress = 0;
    // Multibase addressing: separate start addresses for level 0, 1, 2 and levels 3..8.
    bool bMultibase = false;
    UInt32 anBaseAddress[4] = {0, 0, 0, 0};
};

// Per-TMU sampling state.
struct SamplerState
{
    TextureFilter eMinFilter = TextureFilter::Point;
    TextureFilter eMagFilter = TextureFilter::Point;
    TextureClamp eClampS = TextureClamp::Clamp;
    TextureClamp eClampT = TextureClamp::Clamp;
    MipMapMode eMipMap = MipMapMode::Disabled;
    bool bLodBlend = false;
    std::int16_t nLodBias = 0; // 8.8 fixed-point levels, a multiple of 0.25
    // Detail factor: (nDetailBias - LOD in quarter levels) << nDetailScale, clamped to 0..max.
    std::int16_t nDetailBias = 0;
    std::int16_t nDetailScale = 1;
    std::int16_t nDetailMax = 255;
    std::int8_t nNccTable = 0; // which of the two NCC tables the YIQ formats use
};

struct TmuState
{
    TextureSource source;
    SamplerState sampler;
    // The texture unit's combine: local = this TMU's texel, other = the upstream TMU's output.
    CombineUnitState rgbCombine;
    CombineUnitState alphaCombine;
};

struct DeviceState
{
    CombineUnitState colorCombine;
    CombineUnitState alphaCombine;
    // Constant colour as 8-bit channels (grConstantColorValue), and the delta-0 colour
    // (grConstantColorValue4) that replaces iterated RGB while bDelta0 is set.
    std::int16_t nConstR = 255, nConstG = 255, nConstB = 255, nConstA = 255;
    bool bDelta0 = false;
    float fDelta0R = 0.0f, fDelta0G = 0.0f, fDelta0B = 0.0f;
    // Texture alpha MSB chooses the colour unit's local input: 0 iterated, 1 constant.
    bool bAlphaControlsLighting = false;

    BlendState blend;
    CompareFunc eAlphaTest = CompareFunc::Always;
    Int32 nAlphaRef = 0;
    bool bChromaKey = false;
    UInt32 nChromaRgb = 0; // 0x00RRGGBB

    DepthMode eDepthMode = DepthMode::Disabled;
    CompareFunc eDepthFunc = CompareFunc::Less;
    bool bDepthMask = false;
    Int32 nDepthBias = 0;

    FogMode eFogMode = FogMode::Disabled;
    bool bFogMult = false; // colour becomes f * fog colour
    bool bFogAdd = false;  // fog colour taken as zero
    UInt32 nFogRgb = 0;
    Byte abFogTable[64] = {};

    DitherMode eDither = DitherMode::Dither4x4;
    CullMode eCull = CullMode::Disabled;
    bool bRgbMask = true;
    bool bAlphaMask = false;
    bool bOriginLowerLeft = false;
    // Clip window in the current origin's coordinates: min inclusive, max exclusive.
    Int32 nClipMinX = 0, nClipMinY = 0, nClipMaxX = 0, nClipMaxY = 0;

    bool bAllowMipMapDither = false;

    TmuState aTmu[GlideConfig::MaxTmus];
};

// Copied and compared as bytes by the span renderer's plan cache and by grGlideGetState.
static_assert(std::is_trivially_copyable<DeviceState>::value, "DeviceState must stay plain data");
