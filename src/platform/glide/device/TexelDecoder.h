// TexelDecoder: expands texels of every Glide 2.x texture format to 8-bit ARGB.
//
// Device side, with no other dependency: the TMU's texture cache uses it when a texture is first
// drawn, and the tex3df converter uses it to turn .3df levels into pictures. Stateless; every
// operation is a pure function of its arguments. Expansion rules are the chip's
// (glide-reference.md §4.2, §4.3): channels narrower than 8 bits are widened by bit replication,
// formats without alpha give alpha 255, NCC ("YIQ") texels go through a decoded NCC table and
// P_8/AP_88 texels through a 256-entry palette.
#pragma once
#include "Types.h"

// The TMU's texel formats, numbered as the chip's texture-mode format field (and
// GrTextureFormat_t).
enum class TexelFormat : Int32
{
    Rgb332 = 0x0,
    Yiq422 = 0x1,
    Alpha8 = 0x2,
    Intensity8 = 0x3,
    AlphaIntensity44 = 0x4,
    P8 = 0x5,
    Argb8332 = 0x8,
    Ayiq8422 = 0x9,
    Rgb565 = 0xA,
    Argb1555 = 0xB,
    Argb4444 = 0xC,
    AlphaIntensity88 = 0xD,
    Ap88 = 0xE,
};

// A decoded NCC table: 16 luminance values (0..255) and four I and four Q entries, each a signed
// 9-bit offset per channel (red, green, blue).
struct NccTable
{
    Int32 anY[16];
    Int32 anI[4][3];
    Int32 anQ[4][3];
};

class TexelDecoder
{
  public:
    // 1 for the 8-bit formats (values below 0x8), 2 for the 16-bit ones.
    static Int32 BytesPerTexel(TexelFormat eFormat);

    // True when nValue names one of the thirteen formats above (the reserved values 0x6, 0x7 and
    // 0xF and anything outside 0..0xF are not formats).
    static bool IsFormat(Int32 nValue);

    // Decodes the chip's register image of an NCC table: 4 words of Y (entry 4k+n in bits
    // 8n+7..8n of word k), 4 words of I and 4 of Q (red in bits 26..18, green 17..9, blue 8..0,
    // each 9-bit two's complement).
    static NccTable UnpackNcc(const UInt32 aPacked[12]);

    // One texel: nRaw holds the texel's 8 or 16 bits. pNcc is used by the YIQ formats, pPalette
    // (256 entries, RGB in the low 24 bits) by P_8 and AP_88; either may be null, which reads as
    // an all-zero table. Returns 0xAARRGGBB.
    static UInt32 Decode(TexelFormat eFormat, UInt32 nRaw, const NccTable* pNcc,
                         const UInt32* pPalette);

    // nCount texels from pSrc (bytes for 8-bit formats, native-order 16-bit words for 16-bit
    // formats; no alignment needed) into pOut as 0xAARRGGBB.
    static void DecodeTexels(TexelFormat eFormat, const void* pSrc, Int32 nCount,
                             const NccTable* pNcc, const UInt32* pPalette, UInt32* pOut);

  private:
    static UInt32 DecodeByte(TexelFormat eFormat, UInt32 nByte, const NccTable* pNcc,
                             const UInt32* pPalette);
    static UInt32 NccColour(UInt32 nYiq, const NccTable* pNcc);
};
