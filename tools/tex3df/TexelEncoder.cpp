// TexelEncoder: field layouts of glide-reference.md §4.2, nearest values found through the
// device's TexelDecoder so that encoding is the exact inverse of its expansion.
#include "TexelEncoder.h"

#include "TexelDecoder.h"

TexelEncoder::TexelEncoder(GrTextureFormat_t format) : m_format(format), m_nFields(0)
{
    switch (format)
    {
    case GR_TEXFMT_RGB_332:
        AddField(kRed, 5, 3);
        AddField(kGreen, 2, 3);
        AddField(kBlue, 0, 2);
        break;
    case GR_TEXFMT_ALPHA_8:
        AddField(kAlpha, 0, 8);
        break;
    case GR_TEXFMT_INTENSITY_8:
        AddField(kIntensity, 0, 8);
        break;
    case GR_TEXFMT_ALPHA_INTENSITY_44:
        AddField(kAlpha, 4, 4);
        AddField(kIntensity, 0, 4);
        break;
    case GR_TEXFMT_ARGB_8332:
        AddField(kAlpha, 8, 8);
        AddField(kRed, 5, 3);
        AddField(kGreen, 2, 3);
        AddField(kBlue, 0, 2);
        break;
    case GR_TEXFMT_RGB_565:
        AddField(kRed, 11, 5);
        AddField(kGreen, 5, 6);
        AddField(kBlue, 0, 5);
        break;
    case GR_TEXFMT_ARGB_1555:
        AddField(kAlpha, 15, 1);
        AddField(kRed, 10, 5);
        AddField(kGreen, 5, 5);
        AddField(kBlue, 0, 5);
        break;
    case GR_TEXFMT_ARGB_4444:
        AddField(kAlpha, 12, 4);
        AddField(kRed, 8, 4);
        AddField(kGreen, 4, 4);
        AddField(kBlue, 0, 4);
        break;
    case GR_TEXFMT_ALPHA_INTENSITY_88:
        AddField(kAlpha, 8, 8);
        AddField(kIntensity, 0, 8);
        break;
    case GR_TEXFMT_AYIQ_8422:
    case GR_TEXFMT_AP_88:
        AddField(kAlpha, 8, 8);
        break;
    default:
        break;
    }
}

int TexelEncoder::IsDirect(GrTextureFormat_t format)
{
    return format != GR_TEXFMT_YIQ_422 && format != GR_TEXFMT_AYIQ_8422 &&
           format != GR_TEXFMT_P_8 && format != GR_TEXFMT_AP_88;
}

UInt32 TexelEncoder::Encode(UInt32 nArgb) const
{
    UInt32 nTexel = 0;
    for (Int32 i = 0; i < m_nFields; ++i)
    {
        const Field& field = m_aFields[i];
        nTexel |= UInt32(m_aabNearest[i][ChannelOf(nArgb, field.eChannel)]) << field.nShift;
    }
    return nTexel;
}

// For every input byte, the field value whose expansion is nearest (the lower one on a tie).
// The expansion is read back from the decoder with only this field set; for the YIQ and palette
// formats the alpha field is in the high byte and decodes independently of the table.
void TexelEncoder::AddField(Channel eChannel, Int32 nShift, Int32 nBits)
{
    Field& field = m_aFields[m_nFields];
    field.eChannel = eChannel;
    field.nShift = nShift;
    field.nBits = nBits;
    const TexelFormat eFormat = static_cast<TexelFormat>(m_format);
    const Channel eDecoded = eChannel == kIntensity ? kRed : eChannel;
    const NccTable zeroNcc = {};
    const UInt32 anZeroPalette[256] = {};
    for (UInt32 v = 0; v < 256; ++v)
    {
        Int32 nBestError = 1 << 30;
        for (UInt32 x = 0; x < (1u << nBits); ++x)
        {
            const UInt32 nDecoded =
                TexelDecoder::Decode(eFormat, x << nShift, &zeroNcc, anZeroPalette);
            const Int32 nError = Int32(ChannelOf(nDecoded, eDecoded)) - Int32(v);
            if (nError * nError < nBestError)
            {
                nBestError = nError * nError;
                m_aabNearest[m_nFields][v] = Byte(x);
            }
        }
    }
    ++m_nFields;
}

UInt32 TexelEncoder::ChannelOf(UInt32 nArgb, Channel eChannel)
{
    if (eChannel == kIntensity)
    {
        const UInt32 r = (nArgb >> 16) & 0xFF, g = (nArgb >> 8) & 0xFF, b = nArgb & 0xFF;
        return (299 * r + 587 * g + 114 * b + 500) / 1000;
    }
    return (nArgb >> (24 - 8 * Int32(eChannel))) & 0xFFu;
}
