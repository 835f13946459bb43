// KeyColour: one vertex colour of a scene key frame.
//
// Owned in arrays by the WarpScene (one record per grid vertex, indexed like
// the grid's vertices and corners). Written once a second by
// WarpScene::NewKeyFrame and read every frame by WarpScene::Blend.
#pragma once
#include "Types.h"

struct KeyColour
{
    Byte m_byRed;
    Byte m_byGreen;
    Byte m_byBlue;
    Byte m_byUnused; // keeps the record at four bytes; nothing reads it
};

static_assert(sizeof(KeyColour) == 4, "a key-frame colour is four bytes");
