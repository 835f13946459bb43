// Gu3dfCalls.cpp - gu3dfGetInfo and gu3dfLoad, the .3df entry points of glide2x
// (glide-reference.md §8.2). Both read the file through a Gu3dfReader of their own.
#include <glide.h>

#include "Gu3dfReader.h"

// Returns FXFALSE unless the file opens and is a complete, valid .3df file of a Glide 2.x format;
// then fills info->header and info->mem_required only.
FxBool FX_CALL gu3dfGetInfo(const char* filename, Gu3dfInfo* info)
{
    Gu3dfReader reader;
    if (filename == nullptr || info == nullptr || !reader.Open(filename))
    {
        return FXFALSE;
    }
    return reader.ReadInfo(info) ? FXTRUE : FXFALSE;
}

// info must come from gu3dfGetInfo for this file, with info->data holding mem_required bytes.
// Fills info->table (for the YIQ and palette formats) and the texels of every level.
FxBool FX_CALL gu3dfLoad(const char* filename, Gu3dfInfo* info)
{
    Gu3dfReader reader;
    if (filename == nullptr || info == nullptr || !reader.Open(filename))
    {
        return FXFALSE;
    }
    return reader.Load(info) ? FXTRUE : FXFALSE;
}
