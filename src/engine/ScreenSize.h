// ScreenSize: the render size of the display, width then height in pixels.
// Filled by DisplayDevice::GetScreenSize; the renderer reads it at each start
// to place the screen centre. A plain record, copied by value.
#pragma once
#include "Types.h"

struct ScreenSize
{
    Int32 m_nWidth;
    Int32 m_nHeight;
};
