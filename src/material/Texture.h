// Texture: one 3DF texture, read through Glide's utility loader and
// downloaded with all its mipmap levels to the first texture unit.
//
// Owner: its Material (Material::m_pTexture), which creates it in
// Material::Load and frees it in Material::ReleaseTexture.
// Lifecycle: Load once after construction. Destruction makes no Glide call:
// the board's texture memory is never handed back, so each reload of the
// material allocates a further copy.
// Per frame: nothing; Material::Apply selects it with guTexSource.
#pragma once

#include <glide.h>

#include "SString.h"
#include "Types.h"

class Texture
{
  public:
    Texture();
    ~Texture();

    // Reads the 3DF file at strPath (the full path, taken by value) and
    // downloads it. Returns 1 on success, 0 when the file cannot be read or
    // the texture memory cannot hold it.
    Int32 Load(SString strPath);

    // The handle from guTexAllocateMemory: 0 until a load allocates one,
    // GR_NULL_MIPMAP_HANDLE when the allocation failed.
    GrMipMapId_t m_nMipMapId;

  private:
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Allocates texture memory for info's levels and downloads pData into it.
    Int32 Download(Gu3dfInfo& info);
};
