// Glide entry points: buffers, clears, swaps, clipping, masks and linear frame-buffer access.
#include "GlideContext.h"
#include "GlideTraceScope.h"
#include "GlideMap.h"
#include <cstdint>
#include <cstring>
#include <glide.h>

namespace
{
GlideContext& Context()
{
    return GlideContext::Get();
}

bool MapBuffer(GrBuffer_t eBuffer, BufferId* pId)
{
    switch (eBuffer)
    {
    case GR_BUFFER_FRONTBUFFER:
        *pId = BufferId::Front;
        return true;
    case GR_BUFFER_BACKBUFFER:
        *pId = BufferId::Back;
        return true;
    case GR_BUFFER_AUXBUFFER:
    case GR_BUFFER_DEPTHBUFFER:
    case GR_BUFFER_ALPHABUFFER:
        // Depth and alpha share the auxiliary buffer's memory.
        *pId = BufferId::Aux;
        return true;
    default:
        return false;
    }
}

// Locks held per buffer (front, back, aux), for grLfbUnlock's result.
Int32 g_anLfbLocks[3] = {0, 0, 0};

// One source pixel of grLfbWriteRegion as 8-bit channels.
bool ReadLfbPixel(GrLfbSrcFmt_t eFormat, const Byte* pSource, Int32 x, UInt32* pArgb)
{
    std::uint16_t n16;
    UInt32 n32;
    switch (eFormat)
    {
    case GR_LFB_SRC_FMT_555:
    case GR_LFB_SRC_FMT_1555:
    {
        std::memcpy(&n16, pSource + 2 * x, 2);
        const UInt32 r = (n16 >> 10) & 0x1Fu, g = (n16 >> 5) & 0x1Fu, b = n16 & 0x1Fu;
        const UInt32 a = eFormat == GR_LFB_SRC_FMT_1555 ? ((n16 & 0x8000u) ? 255u : 0u) : 255u;
        *pArgb = (a << 24) | (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) |
                 ((b << 3) | (b >> 2));
        return true;
    }
    case GR_LFB_SRC_FMT_888:
    case GR_LFB_SRC_FMT_8888:
        std::memcpy(&n32, pSource + 4 * x, 4);
        *pArgb = GlideMap::ColorToArgb(n32, Context().GetColorFormat());
        if (eFormat == GR_LFB_SRC_FMT_888)
            *pArgb |= 0xFF000000u;
        return true;
    default:
        return false;
    }
}
} // namespace

void FX_CALL grBufferClear(GrColor_t color, GrAlpha_t alpha, FxU16 depth)
{
    GLIDE_TRACE(Record(TraceCall::BufferClear, color, alpha, depth));
    if (!Context().IsOpen())
        return;
    const UInt32 nArgb = GlideMap::ColorToArgb(color, Context().GetColorFormat());
    Context().GetDevice().Clear(nArgb & 0xFFFFFFu, alpha, depth);
}

int FX_CALL grBufferNumPending(void)
{
    // Swaps complete inside grBufferSwap: none is ever queued.
    return 0;
}

void FX_CALL grBufferSwap(int swap_interval)
{
    GLIDE_TRACE(BufferSwap(swap_interval));
    if (!Context().IsOpen())
        return;
    Int32 nInterval = Context().GetSwapOverride();
    if (nInterval < 0)
        nInterval = swap_interval < 0 ? 0 : (swap_interval > 255 ? 255 : swap_interval);
    Context().GetDevice().Swap(nInterval);
}

void FX_CALL grRenderBuffer(GrBuffer_t buffer)
{
    GLIDE_TRACE(Record(TraceCall::RenderBuffer, buffer));
    if (!Context().IsOpen())
        return;
    if (buffer == GR_BUFFER_FRONTBUFFER)
        Context().GetDevice().SetRenderBuffer(BufferId::Front);
    else if (buffer == GR_BUFFER_BACKBUFFER)
        Context().GetDevice().SetRenderBuffer(BufferId::Back);
    else
        Context().Error("grRenderBuffer: only the front and back buffers can be drawn to");
}

void FX_CALL grClipWindow(FxU32 minx, FxU32 miny, FxU32 maxx, FxU32 maxy)
{
    GLIDE_TRACE(Record(TraceCall::ClipWindow, minx, miny, maxx, maxy));
    if (!Context().IsInitialized())
        return;
    // Min inclusive, max exclusive, kept inside the screen; an inverted window is empty.
    const FxU32 nWidth = FxU32(Context().GetScreenWidth());
    const FxU32 nHeight = FxU32(Context().GetScreenHeight());
    maxx = maxx < nWidth ? maxx : nWidth;
    maxy = maxy < nHeight ? maxy : nHeight;
    minx = minx < maxx ? minx : maxx;
    miny = miny < maxy ? miny : maxy;
    DeviceState& state = Context().GetState();
    state.nClipMinX = Int32(minx);
    state.nClipMinY = Int32(miny);
    state.nClipMaxX = Int32(maxx);
    state.nClipMaxY = Int32(maxy);
}

void FX_CALL grColorMask(FxBool rgb, FxBool a)
{
    GLIDE_TRACE(Record(TraceCall::ColorMask, rgb, a));
    if (!Context().IsInitialized())
        return;
    Context().GetState().bRgbMask = rgb != FXFALSE;
    Context().GetState().bAlphaMask = a != FXFALSE;
}

FxBool FX_CALL grLfbReadRegion(GrBuffer_t src_buffer, FxU32 src_x, FxU32 src_y, FxU32 src_width,
                               FxU32 src_height, FxU32 dst_stride, void* dst_data)
{
    GLIDE_TRACE(Record(TraceCall::LfbReadRegion, src_buffer, src_x, src_y, src_width, src_height,
                       dst_stride));
    // Origin always upper left. A region outside the buffer, a stride below twice the width or
    // a missing buffer is refused with FXFALSE instead of reading past the frame buffer
    // (docs/fidelity.md).
    BufferId eBuffer;
    if (!Context().IsOpen() || !MapBuffer(src_buffer, &eBuffer))
        return FXFALSE;
    const FxU32 nLimit = 0x7FFFFFFFu;
    if (src_x > nLimit || src_y > nLimit || src_width > nLimit || src_height > nLimit ||
        dst_stride > nLimit)
        return FXFALSE;
    return Context().GetDevice().GetFrameBuffer().ReadRegion(eBuffer, Int32(src_x), Int32(src_y),
                                                             Int32(src_width), Int32(src_height),
                                                             Int32(dst_stride), dst_data)
               ? FXTRUE
               : FXFALSE;
}

FxBool FX_CALL grLfbWriteRegion(GrBuffer_t dst_buffer, FxU32 dst_x, FxU32 dst_y,
                                GrLfbSrcFmt_t src_format, FxU32 src_width, FxU32 src_height,
                                FxI32 src_stride, void* src_data)
{
    GLIDE_TRACE(LfbWriteRegion(dst_buffer, dst_x, dst_y, src_format, src_width, src_height,
                               src_stride, src_data));
    BufferId eBuffer;
    if (!Context().IsOpen() || !MapBuffer(dst_buffer, &eBuffer) || !src_data)
        return FXFALSE;
    FrameBuffer& frameBuffer = Context().GetDevice().GetFrameBuffer();
    std::uint16_t* pDst = frameBuffer.GetBuffer(eBuffer);
    const FxU32 nWidth = FxU32(frameBuffer.GetWidth());
    const FxU32 nHeight = FxU32(frameBuffer.GetHeight());
    if (!pDst || dst_x > nWidth || dst_y > nHeight || src_width > nWidth - dst_x ||
        src_height > nHeight - dst_y)
        return FXFALSE;
    const bool bRaw16 = src_format == GR_LFB_SRC_FMT_565 || src_format == GR_LFB_SRC_FMT_ZA16;
    const Byte* pRow = static_cast<const Byte*>(src_data);
    for (FxU32 nRow = 0; nRow < src_height; ++nRow, pRow += src_stride)
    {
        std::uint16_t* pOut = pDst + size_t(dst_y + nRow) * nWidth + dst_x;
        if (bRaw16)
        {
            std::memcpy(pOut, pRow, size_t(src_width) * 2);
            continue;
        }
        for (FxU32 x = 0; x < src_width; ++x)
        {
            UInt32 nArgb;
            if (eBuffer == BufferId::Aux || !ReadLfbPixel(src_format, pRow, Int32(x), &nArgb))
                return FXFALSE;
            pOut[x] = std::uint16_t((((nArgb >> 19) & 0x1Fu) << 11) |
                                    (((nArgb >> 10) & 0x3Fu) << 5) | ((nArgb >> 3) & 0x1Fu));
        }
    }
    return FXTRUE;
}

FxBool FX_CALL grLfbLock(GrLock_t type, GrBuffer_t buffer, GrLfbWriteMode_t writeMode,
                         GrOriginLocation_t origin, FxBool pixelPipeline, GrLfbInfo_t* info)
{
    GLIDE_TRACE(Record(TraceCall::LfbLock, type, buffer, writeMode, origin, pixelPipeline));
    BufferId eBuffer;
    if (!Context().IsOpen() || !info || info->size != int(sizeof(GrLfbInfo_t)) ||
        !MapBuffer(buffer, &eBuffer))
        return FXFALSE;
    FrameBuffer& frameBuffer = Context().GetDevice().GetFrameBuffer();
    std::uint16_t* pPixels = frameBuffer.GetBuffer(eBuffer);
    if (!pPixels)
        return FXFALSE;
    const bool bWrite = (type & 0x1u) == GR_LFB_WRITE_ONLY;
    // The software board exposes its buffers directly: 16-bit pixels, rows top first, written
    // as they are (no pixel pipeline); other write formats cannot be offered that way.
    if (bWrite &&
        (pixelPipeline || (writeMode != GR_LFBWRITEMODE_565 && writeMode != GR_LFBWRITEMODE_ANY &&
                           writeMode != GR_LFBWRITEMODE_ZA16)))
        return FXFALSE;
    (void)origin;
    info->lfbPtr = pPixels;
    info->strideInBytes = FxU32(frameBuffer.GetWidth()) * 2;
    info->writeMode = eBuffer == BufferId::Aux ? GR_LFBWRITEMODE_ZA16 : GR_LFBWRITEMODE_565;
    info->origin = GR_ORIGIN_UPPER_LEFT;
    ++g_anLfbLocks[Int32(eBuffer)];
    return FXTRUE;
}

FxBool FX_CALL grLfbUnlock(GrLock_t type, GrBuffer_t buffer)
{
    GLIDE_TRACE(LfbUnlock(type, buffer));
    (void)type;
    BufferId eBuffer;
    if (!MapBuffer(buffer, &eBuffer) || g_anLfbLocks[Int32(eBuffer)] <= 0)
        return FXFALSE;
    --g_anLfbLocks[Int32(eBuffer)];
    return FXTRUE;
}

void FX_CALL grLfbConstantAlpha(GrAlpha_t alpha)
{
    GLIDE_TRACE(Record(TraceCall::LfbConstantAlpha, alpha));
    Context().m_nLfbConstantAlpha = alpha;
}

void FX_CALL grLfbConstantDepth(FxU16 depth)
{
    GLIDE_TRACE(Record(TraceCall::LfbConstantDepth, depth));
    Context().m_nLfbConstantDepth = depth;
}

void FX_CALL grLfbWriteColorFormat(GrColorFormat_t colorFormat)
{
    GLIDE_TRACE(Record(TraceCall::LfbWriteColorFormat, colorFormat));
    // LFB writes through a lock are raw 565; region writes of 32-bit pixels use the window's
    // colour format.
    (void)colorFormat;
}

void FX_CALL grLfbWriteColorSwizzle(FxBool swizzleBytes, FxBool swapWords)
{
    GLIDE_TRACE(Record(TraceCall::LfbWriteColorSwizzle, swizzleBytes, swapWords));
    // Host and board share byte order here; nothing to swizzle.
    (void)swizzleBytes;
    (void)swapWords;
}
