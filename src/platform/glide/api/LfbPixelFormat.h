// LfbPixelFormat: how a program lays out one pixel of a linear frame-buffer write.
//
// API half; used by grLfbLock (the lock's pixels, read back at grLfbUnlock) and grLfbWriteRegion.
// A format is a write mode (GR_LFBWRITEMODE_* = GR_LFB_SRC_FMT_*, glide-reference.md §2.4), the
// colour format that orders its channels (grLfbWriteColorFormat; the window's cformat until
// then) and, for locks, the two swizzles of grLfbWriteColorSwizzle. Plain data.
//
// Layouts, most significant bit first. 16-bit colours with the ARGB and ABGR orders: 565 is
// R5 G6 B5, 555 x1 R5 G5 B5, 1555 A1 R5 G5 B5; with RGBA and BGRA the alpha (or unused) bit
// moves to the bottom: 565 R5 G6 B5, 555 R5 G5 B5 x1, 1555 R5 G5 B5 A1. ABGR and BGRA exchange
// red and blue. 32-bit colours (888, 8888) are packed as the colour format packs a GrColor_t
// (§2.3); 888's alpha byte is unused. The depth-carrying modes hold their 16-bit colour in the
// low half of a 32-bit word and the depth in the high half; ZA16 is a bare 16-bit depth (or
// alpha) value.
//
// Swizzles work on the 32-bit words the chip receives: byte swizzling reverses a word's bytes,
// word swapping exchanges its halves. Two 16-bit pixels share a word, the left one in the low
// half, so a lock's rows are whole words.
#pragma once
#include "Types.h"
#include <cstdint>
#include <glide.h>

// One pixel as 8-bit channels and a 16-bit depth.
struct LfbPixel
{
    UInt32 nArgb = 0xFF000000u; // 0xAARRGGBB
    std::uint16_t nDepth = 0;
};

class LfbPixelFormat
{
  public:
    // True for the nine write modes (565, 555, 1555, 888, 8888, the three depth-carrying ones,
    // ZA16); false for the reserved numbers, ANY and RLE16.
    static bool IsWriteMode(GrLfbWriteMode_t eMode);

    LfbPixelFormat() = default;
    // eMode must be a write mode; eOrder one of the four colour formats.
    LfbPixelFormat(GrLfbWriteMode_t eMode, GrColorFormat_t eOrder, bool bSwizzleBytes = false,
                   bool bSwapWords = false);

    bool operator==(const LfbPixelFormat& other) const
    {
        return m_eMode == other.m_eMode && m_eOrder == other.m_eOrder &&
               m_bSwizzleBytes == other.m_bSwizzleBytes && m_bSwapWords == other.m_bSwapWords;
    }
    GrLfbWriteMode_t GetMode() const { return m_eMode; }
    Int32 BytesPerPixel() const;
    bool HasColor() const { return m_eMode != GR_LFBWRITEMODE_ZA16; }
    bool HasAlpha() const;
    bool HasDepth() const;
    // 16-bit pixels laid out as the board stores them (565 in the chip's channel order, or
    // ZA16), with no swizzle: a lock of this format can be the buffer itself.
    bool IsNative16() const;
    // Bytes of a row of nWidth pixels in a lock: whole 32-bit words.
    Int32 LockRowBytes(Int32 nWidth) const;

    // Pixel x of a row. The channels a format lacks read as alpha 255 and depth 0. With a
    // swizzle, a 16-bit pixel reads the whole word it shares with its neighbour.
    LfbPixel Read(const Byte* pRow, Int32 x) const;
    // Stores pixel x of a row (a pixel read back from the board, for a lock's first contents);
    // 16-bit pixels keep the other half of their word.
    void Write(Byte* pRow, Int32 x, const LfbPixel& pixel) const;
    // The bits of pixel x (16 in the low half, or 32) after the swizzles: equal bits, equal
    // pixel.
    UInt32 Bits(const Byte* pRow, Int32 x) const;

  private:
    UInt32 Swizzled(UInt32 nWord) const;
    UInt32 DecodeColor16(UInt32 nBits, bool bAlpha, bool b565) const;
    UInt32 EncodeColor16(UInt32 nArgb, bool bAlpha, bool b565) const;
    UInt32 DecodeColor32(UInt32 nBits) const;
    UInt32 EncodeColor32(UInt32 nArgb) const;
    void SetBits(Byte* pRow, Int32 x, UInt32 nBits) const;

    GrLfbWriteMode_t m_eMode = GR_LFBWRITEMODE_565;
    GrColorFormat_t m_eOrder = GR_COLORFORMAT_ARGB;
    bool m_bSwizzleBytes = false;
    bool m_bSwapWords = false;
};
