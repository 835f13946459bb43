// GlideConfig: the software Glide's limits, in one place.
//
// Every fixed-size array and every fixed-point format of the device half is sized from these
// numbers; the static_asserts say why each limit is safe. Nothing here is per frame.
#pragma once
#include <cstddef>
#include "Types.h"

namespace GlideConfig
{
// Largest colour buffer any emulated board can open: 1600x1200 is the largest published Glide 2.x
// resolution (glide-reference.md §2.1).
constexpr Int32 MaxScreenWidth = 1600;
constexpr Int32 MaxScreenHeight = 1200;

// Vertex positions are snapped to 1/16 pixel, the chip's 12.4 format (§6.1).
constexpr Int32 SubpixelBits = 4;
constexpr Int32 SubpixelOne = 1 << SubpixelBits;

// The chip keeps a vertex position as a 16-bit 12.4 value (§6.1): snapped positions wrap into
// -MaxCoordinate .. MaxCoordinate - 1/16 pixels, so whole multiples of CoordinateWrap pixels fall
// away. Programs that add (float)(3 << 18) = 192 * 4096 to snap x and y and never subtract it
// again rely on this.
constexpr Int32 CoordinateBits = 16;
constexpr Int32 CoordinateWrap = (1 << CoordinateBits) / SubpixelOne; // 4096 pixels
constexpr Int32 MaxCoordinate = CoordinateWrap / 2;                   // 2048 pixels

// Iterated colour, alpha and depth are 12-bit fractions (the chip's 12.12 / 20.12 iterators).
constexpr Int32 ColorFracBits = 12;

// Texture coordinates after the perspective divide carry 12 fraction bits of a texel of the
// (possibly absent) 256-texel level; valid s and t lie in -32768..32767 (§4.5).
constexpr Int32 TexCoordFracBits = 12;
constexpr float MaxTexCoord = 32767.0f;

// Texture memory: 1, 2 or 4 MB per TMU (§4.6); two TMUs at most (GLIDE_NUM_TMU).
constexpr UInt32 MaxTmuBytes = 4u << 20;
constexpr Int32 MaxTmus = 2;
// A single mip-map never straddles this boundary (§4.6).
constexpr UInt32 TmuBoundary = 2u << 20;

// The gu texture manager hands out at most this many handles per board (MAX_MIPMAPS_PER_SST).
constexpr Int32 MaxMipMaps = 1024;

// Largest texture level is 256x256; nine levels 256..1.
constexpr Int32 MaxTextureSize = 256;
constexpr Int32 LevelCount = 9;

// Render threads at most (GLIDE_SW_THREADS); each owns bands of rows.
constexpr Int32 MaxThreads = 16;

// Pixels processed per pass of the span renderer's stages (and per call of the fast path).
constexpr Int32 SpanChunk = 64;

static_assert(MaxScreenWidth <= 2048 && MaxScreenHeight <= 2048,
              "pixel indices must fit the 11-bit x and y of the dither and clip arithmetic");
static_assert(Int64(2 * MaxCoordinate * SubpixelOne) * (2 * MaxCoordinate * SubpixelOne) * 4 <
                  (Int64(1) << 62),
              "edge functions on wrapped 12.4 coordinates must not overflow 64 bits");
static_assert(MaxCoordinate * SubpixelOne < (1 << 20),
              "snapped coordinates must fit the 20-bit subpixel range used by the setup");
static_assert(MaxScreenWidth <= MaxCoordinate && MaxScreenHeight <= MaxCoordinate,
              "every pixel of the largest screen must have its own wrapped coordinate");
static_assert((3 << 18) % CoordinateWrap == 0 && (1 << 19) % CoordinateWrap == 0,
              "the usual snap biases, 3 * 2^18 and 2^19, must fall away in the wrap");
static_assert(Int64(MaxTexCoord) << TexCoordFracBits < (Int64(1) << 31),
              "fixed-point texture coordinates must fit a signed 32-bit integer");
static_assert((MaxTmuBytes & (MaxTmuBytes - 1)) == 0, "TMU size must be a power of two");
static_assert(MaxTmus >= 1 && MaxTmus <= 2, "GrVertex carries two TMU coordinate sets");
static_assert(MaxMipMaps == 1024, "the published handle limit is MAX_MIPMAPS_PER_SST = 1024");
static_assert((MaxTextureSize >> (LevelCount - 1)) == 1, "nine levels from 256 down to 1");
static_assert(SpanChunk % 8 == 0, "span chunks are whole dither periods and whole groups of eight");
} // namespace GlideConfig
