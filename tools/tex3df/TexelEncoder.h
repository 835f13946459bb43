// TexelEncoder: ARGB pixels to the raw texels of the Glide formats that hold their colour in
// bit fields (every format but the YIQ and palette ones), and the alpha byte of AYIQ_8422/AP_88.
//
// Each field takes the value whose expansion by the device's own TexelDecoder lies nearest the
// 8-bit input, so a picture already in a format's colours comes back exactly. Intensity formats
// take the luminance 0.299 R + 0.587 G + 0.114 B, rounded. Built once per conversion (the
// constructor fills 256-entry lookup tables); not used at run time by the engine.
#pragma once

#include <glide.h>

#include "Types.h"

class TexelEncoder
{
  public:
    // format: any of the 13 Glide 2.x formats; for the YIQ and palette formats only the alpha
    // field (AYIQ_8422, AP_88) is encoded and the low byte is left 0 for the quantiser.
    explicit TexelEncoder(GrTextureFormat_t format);
    // One texel: 8 or 16 bits in the low bits of the result.
    UInt32 Encode(UInt32 nArgb) const;
    // Formats whose texels this encoder fills completely.
    static int IsDirect(GrTextureFormat_t format);

  private:
    enum Channel
    {
        kAlpha,
        kRed,
        kGreen,
        kBlue,
        kIntensity
    };
    struct Field
    {
        Channel eChannel;
        Int32 nShift;
        Int32 nBits;
    };
    void AddField(Channel eChannel, Int32 nShift, Int32 nBits);
    static UInt32 ChannelOf(UInt32 nArgb, Channel eChannel);

    GrTextureFormat_t m_format;
    Int32 m_nFields;
    Field m_aFields[4];
    Byte m_aabNearest[4][256]; // per field: input byte -> field value
};
