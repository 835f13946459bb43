// Tex3dfDecoder: gu3dfGetInfo/gu3dfLoad, then TexelDecoder per level.
#include "Tex3dfDecoder.h"

#include <cstring>

#include "Gu3dfFormat.h"
#include "TexelDecoder.h"

int Tex3dfDecoder::Decode(const char* pchPath, std::vector<ArgbImage>* pLevels,
                          Gu3dfHeader* pHeader, std::string* pError)
{
    Gu3dfInfo info;
    std::memset(&info, 0, sizeof(info));
    if (!gu3dfGetInfo(pchPath, &info))
    {
        *pError =
            std::string("'") + pchPath +
            "' is not a readable .3df file of a Glide 2.x format (missing, damaged, truncated "
            "or with bytes past its last level)";
        return 0;
    }
    std::vector<Byte> abData(info.mem_required);
    info.data = abData.data();
    if (!gu3dfLoad(pchPath, &info))
    {
        *pError = std::string("cannot load the texels of '") + pchPath + "'";
        return 0;
    }
    const GrTextureFormat_t format = info.header.format;
    UInt32 anPacked[12];
    UInt32 anPalette[256];
    for (Int32 n = 0; n < 12; ++n)
    {
        anPacked[n] = UInt32(info.table.nccTable.packed_data[n]);
    }
    for (Int32 n = 0; n < 256 && Gu3dfFormat::IsPaletteFormat(format); ++n)
    {
        anPalette[n] = UInt32(info.table.palette.data[n]);
    }
    const NccTable ncc = TexelDecoder::UnpackNcc(anPacked);
    const Byte* pbLevel = abData.data();
    pLevels->clear();
    for (GrLOD_t lod = info.header.large_lod; lod <= info.header.small_lod; ++lod)
    {
        FxU32 nWidth = 0, nHeight = 0;
        Gu3dfFormat::LevelSize(lod, info.header.aspect_ratio, &nWidth, &nHeight);
        ArgbImage level(static_cast<Int32>(nWidth), static_cast<Int32>(nHeight));
        TexelDecoder::DecodeTexels(
            static_cast<TexelFormat>(format), pbLevel, Int32(nWidth * nHeight),
            Gu3dfFormat::IsNccFormat(format) ? &ncc : nullptr,
            Gu3dfFormat::IsPaletteFormat(format) ? anPalette : nullptr, level.Pixels().data());
        pbLevel += nWidth * nHeight * Gu3dfFormat::BytesPerTexel(format);
        pLevels->push_back(level);
    }
    *pHeader = info.header;
    return 1;
}
