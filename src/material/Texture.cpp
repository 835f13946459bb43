#include "Texture.h"

#include <new>

Texture::Texture() : m_nMipMapId(0) {}

Texture::~Texture() {}

Int32 Texture::Load(SString strPath)
{
    Gu3dfInfo info = {};
    if (!gu3dfGetInfo(strPath, &info))
        return 0;
    // The texel buffer lives only until the download; every path below
    // frees it. Its allocation is checked: a failure fails the load.
    Byte* pData = new (std::nothrow) Byte[info.mem_required];
    if (pData == nullptr)
        return 0;
    info.data = pData;
    Int32 nResult = 0;
    if (gu3dfLoad(strPath, &info))
        nResult = Download(info);
    delete[] pData;
    return nResult;
}

Int32 Texture::Download(Gu3dfInfo& info)
{
    // Wrap in both directions: the grid and the dome both run their
    // coordinates over the texture's whole width and height.
    m_nMipMapId = guTexAllocateMemory(
        GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, info.header.width, info.header.height, info.header.format,
        GR_MIPMAP_NEAREST, info.header.small_lod, info.header.large_lod, info.header.aspect_ratio,
        GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP, GR_TEXTUREFILTER_BILINEAR,
        GR_TEXTUREFILTER_BILINEAR, 0.0f, FXFALSE);
    if (m_nMipMapId == GR_NULL_MIPMAP_HANDLE)
        return 0;
    guTexDownloadMipMap(m_nMipMapId, info.data, &info.table.nccTable);
    return 1;
}
