#include "PeerTextures.h"

#include <glide.h>

#include <cstring>

#include "TexelDecoder.h"

namespace
{
// Width and height of level nLod (0: the 256-texel level) of an aspect GR_ASPECT_8x1 .. 1x8.
void LevelSize(UInt32 uLod, UInt32 uAspect, Int32& rnWidth, Int32& rnHeight)
{
    const Int32 nLong = 256 >> uLod;
    const Int32 nLog = 3 - (Int32)uAspect; // log2(width / height)
    rnWidth = nLog >= 0 ? nLong : nLong >> -nLog;
    rnHeight = nLog <= 0 ? nLong : nLong >> nLog;
    if (rnWidth < 1)
        rnWidth = 1;
    if (rnHeight < 1)
        rnHeight = 1;
}

GLint Filter(UInt32 uFilter, UInt32 uMipMap, Int32 bMin)
{
    const Int32 bLinear = uFilter == GR_TEXTUREFILTER_BILINEAR;
    if (!bMin || uMipMap == GR_MIPMAP_DISABLE)
        return bLinear ? GL_LINEAR : GL_NEAREST;
    // Glide's nearest level (dithered or not) with the level's own filter.
    return bLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
}
} // namespace

PeerTextures::~PeerTextures()
{
    m_aEntries.clear();
}

void PeerTextures::Reset()
{
    for (Entry& rEntry : m_aEntries)
        if (rEntry.m_uTexture != 0)
            glDeleteTextures(1, &rEntry.m_uTexture);
    m_aEntries.clear();
}

void PeerTextures::Allocate(const TraceRecord& rRecord)
{
    const UInt32* pu = rRecord.anWords;
    // guTexAllocateMemory(tmu, odd_even, width, height, fmt, mm_mode, smallest, largest,
    // aspect, s_clamp, t_clamp, minfilter, magfilter, lod_bias, trilinear).
    if (pu[6] > GR_LOD_1 || pu[7] > pu[6] || pu[8] > GR_ASPECT_1x8 ||
        !TexelDecoder::IsFormat((Int32)pu[4]) || m_aEntries.size() >= 1024)
        return;
    Entry entry;
    entry.m_uFormat = pu[4];
    entry.m_uMipMap = pu[5];
    entry.m_uSmallLod = pu[6];
    entry.m_uLargeLod = pu[7];
    entry.m_uAspect = pu[8];
    entry.m_uClampS = pu[9];
    entry.m_uClampT = pu[10];
    entry.m_uMinFilter = pu[11];
    entry.m_uMagFilter = pu[12];
    entry.m_uTexture = 0;
    m_aEntries.push_back(entry);
}

void PeerTextures::Download(const TraceRecord& rRecord)
{
    const UInt32 uId = rRecord.anWords[0];
    if (uId >= m_aEntries.size())
        return;
    Entry& rEntry = m_aEntries[uId];
    const TexelFormat eFormat = (TexelFormat)rEntry.m_uFormat;
    const UInt32 uTableBytes = rRecord.anWords[1];
    const Byte* pbyTable = rRecord.pData + (rRecord.nData - uTableBytes);
    NccTable ncc;
    std::memset(&ncc, 0, sizeof ncc);
    UInt32 auPalette[256] = {};
    if (uTableBytes == sizeof(GuNccTable))
    {
        GuNccTable table;
        std::memcpy(&table, pbyTable, sizeof table);
        UInt32 auPacked[12];
        for (Int32 i = 0; i < 12; i++)
            auPacked[i] = table.packed_data[i];
        ncc = TexelDecoder::UnpackNcc(auPacked);
    }
    else if (uTableBytes == sizeof(GuTexPalette))
        std::memcpy(auPalette, pbyTable, sizeof auPalette);

    if (rEntry.m_uTexture == 0)
        glGenTextures(1, &rEntry.m_uTexture);
    glBindTexture(GL_TEXTURE_2D, rEntry.m_uTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const Byte* pbyLevel = rRecord.pData;
    const Byte* pbyEnd = rRecord.pData + (rRecord.nData - uTableBytes);
    const Int32 nTexelBytes = TexelDecoder::BytesPerTexel(eFormat);
    for (UInt32 uLod = rEntry.m_uLargeLod; uLod <= rEntry.m_uSmallLod; uLod++)
    {
        Int32 nWidth, nHeight;
        LevelSize(uLod, rEntry.m_uAspect, nWidth, nHeight);
        const size_t nTexels = (size_t)nWidth * (size_t)nHeight;
        if ((size_t)(pbyEnd - pbyLevel) < nTexels * (size_t)nTexelBytes)
            break;
        m_auArgb.resize(nTexels);
        TexelDecoder::DecodeTexels(eFormat, pbyLevel, (Int32)nTexels, &ncc, auPalette,
                                   m_auArgb.data());
        m_abyRgba.resize(nTexels * 4);
        for (size_t i = 0; i < nTexels; i++)
        {
            const UInt32 u = m_auArgb[i];
            m_abyRgba[i * 4 + 0] = (Byte)(u >> 16);
            m_abyRgba[i * 4 + 1] = (Byte)(u >> 8);
            m_abyRgba[i * 4 + 2] = (Byte)u;
            m_abyRgba[i * 4 + 3] = (Byte)(u >> 24);
        }
        glTexImage2D(GL_TEXTURE_2D, (GLint)(uLod - rEntry.m_uLargeLod), GL_RGBA8, nWidth, nHeight,
                     0, GL_RGBA, GL_UNSIGNED_BYTE, m_abyRgba.data());
        pbyLevel += nTexels * (size_t)nTexelBytes;
    }
    // A chain that stops above 1x1 is complete at its own smallest level.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL,
                    (GLint)(rEntry.m_uSmallLod - rEntry.m_uLargeLod));
}

Int32 PeerTextures::Source(const TraceRecord& rRecord)
{
    const UInt32 uId = rRecord.anWords[0];
    if (uId >= m_aEntries.size() || m_aEntries[uId].m_uTexture == 0)
        return 0;
    const Entry& rEntry = m_aEntries[uId];
    glBindTexture(GL_TEXTURE_2D, rEntry.m_uTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    Filter(rEntry.m_uMinFilter, rEntry.m_uMipMap, 1));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                    Filter(rEntry.m_uMagFilter, rEntry.m_uMipMap, 0));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S,
                    rEntry.m_uClampS == GR_TEXTURECLAMP_WRAP ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T,
                    rEntry.m_uClampT == GR_TEXTURECLAMP_WRAP ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    // Glide's coordinates count texels of a 256-texel level along the long side.
    Int32 nWidth, nHeight;
    LevelSize(rEntry.m_uLargeLod, rEntry.m_uAspect, nWidth, nHeight);
    const float fLong = (float)(nWidth > nHeight ? nWidth : nHeight);
    m_fScaleS = fLong / (256.0f * (float)nWidth);
    m_fScaleT = fLong / (256.0f * (float)nHeight);
    return 1;
}
