// DeviceVertex: a screen-space vertex as the device reads it.
//
// The API half copies a GrVertex into one of these, resolving which s, t and 1/w each TMU
// reads (the STW hint), so the device sees exactly one set of coordinates per TMU.
#pragma once
#include "GlideConfig.h"

struct DeviceVertex
{
    float x = 0.0f, y = 0.0f;                     // pixels, before 1/16 snapping
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f; // 0..255
    float ooz = 0.0f;                             // Z-buffer value, 0..65535
    float oow = 0.0f;                             // 1/w of the pixel pipeline (W buffer, fog)
    float asow[GlideConfig::MaxTmus] = {};        // s/w per TMU, 256-texel units
    float atow[GlideConfig::MaxTmus] = {};        // t/w per TMU
    float aoow[GlideConfig::MaxTmus] = {};        // 1/w per TMU
};
