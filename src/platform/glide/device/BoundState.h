// BoundState: the pipeline state a queued triangle or clear is drawn with, fixed when it was
// queued.
//
// The API half changes the Device's DeviceState between draws; whenever it (or the render
// buffer, or a TMU's contents) has changed since the last draw, the Device takes a new BoundState:
// a copy of the state, the decoded textures the state reads and their bilinear quads (found on
// the calling thread, so the threads that draw never touch texture memory), and a serial that
// tells renderers whether their plan is still the one for it. Plain data.
#pragma once
#include "BilinearQuads.h"
#include "DecodedTexture.h"
#include "DeviceState.h"
#include "FrameBuffer.h"
#include "GlideConfig.h"
#include "Types.h"

// The texture a TMU samples for a state, and its quads for the fast path's bilinear filter.
struct TextureBinding
{
    const DecodedTexture* pTexture = nullptr;
    const BilinearQuads* pQuads = nullptr;
};

struct BoundState
{
    DeviceState state;
    TextureBinding aBinding[GlideConfig::MaxTmus];
    BufferId eTarget = BufferId::Back;
    Int32 nTmus = 0;
    Int32 nFracMask = 0xF0;                             // the board's bilinear fraction precision
    UInt32 anGeneration[GlideConfig::MaxTmus] = {0, 0}; // the TMUs' contents when bound
    UInt32 nSerial = 0; // different for every BoundState a Device takes
};
