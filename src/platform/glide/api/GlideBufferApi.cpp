// Glide entry points: buffers, clears, swaps, clipping, masks and linear frame-buffer access.
#include "GlideContext.h"
#include "GlideTraceScope.h"
#include "GlideMap.h"
#include "LfbPixelFormat.h"
#include <cstdint>
#include <cstring>
#include <glide.h>

namespace
{
GlideContext& Context()
{
    return GlideContext::Get();
}

// The buffer a write of this format reaches: ZA16 carries only depth (or alpha), so it goes to
// the auxiliary buffer whichever buffer is named.
BufferId WriteTarget(BufferId eNamed, GrLfbWriteMode_t eMode)
{
    return eMode == GR_LFBWRITEMODE_ZA16 ? BufferId::Aux : eNamed;
}

// Checks grLfbLock's arguments and turns them into a lock request; false (after telling the
// error callback) for a value Glide does not define.
bool MakeLockRequest(GrLock_t type, BufferId eBuffer, GrLfbWriteMode_t writeMode,
                     GrOriginLocation_t origin, FxBool pixelPipeline, LfbLockRequest* pRequest)
{
    GlideContext& context = Context();
    switch (origin)
    {
    case GR_ORIGIN_UPPER_LEFT:
        pRequest->bLowerLeft = false;
        break;
    case GR_ORIGIN_LOWER_LEFT:
        pRequest->bLowerLeft = true;
        break;
    case GR_ORIGIN_ANY:
        pRequest->bLowerLeft = context.GetState().bOriginLowerLeft;
        break;
    default:
        context.Error("grLfbLock: unknown origin");
        return false;
    }
    pRequest->bWrite = (type & 0x1u) == GR_LFB_WRITE_ONLY;
    pRequest->eBuffer = eBuffer;
    if (!pRequest->bWrite)
        return true;
    GrLfbWriteMode_t eMode = writeMode;
    if (eMode == GR_LFBWRITEMODE_ANY)
        eMode = eBuffer == BufferId::Aux ? GR_LFBWRITEMODE_ZA16 : GR_LFBWRITEMODE_565;
    if (!LfbPixelFormat::IsWriteMode(eMode))
    {
        context.Error("grLfbLock: unknown write mode");
        return false;
    }
    if (eBuffer == BufferId::Aux && eMode != GR_LFBWRITEMODE_ZA16)
    {
        context.Error("grLfbLock: the auxiliary buffer takes only ZA16 writes");
        return false;
    }
    pRequest->eBuffer = WriteTarget(eBuffer, eMode);
    pRequest->format = LfbPixelFormat(eMode, context.m_eLfbColorFormat, context.m_bLfbSwizzleBytes,
                                      context.m_bLfbSwapWords);
    // Depth-only writes have no colour for the pipeline to shade; they are stored as given.
    pRequest->bPipeline = pixelPipeline != FXFALSE && eMode != GR_LFBWRITEMODE_ZA16;
    return true;
}

// The write mode grLfbLock reports: the buffer's own for reads.
GrLfbWriteMode_t ReportedMode(const LfbLockRequest& request)
{
    if (request.bWrite)
        return request.format.GetMode();
    return request.eBuffer == BufferId::Aux ? GR_LFBWRITEMODE_ZA16 : GR_LFBWRITEMODE_565;
}

// One row of grLfbWriteRegion: converted pixels into the colour row and, for formats that
// carry depth, the auxiliary row (either may be null).
void WriteRegionRow(const LfbPixelFormat& format, const Byte* pSource, FxU32 nWidth,
                    std::uint16_t* pColor, std::uint16_t* pAux)
{
    for (FxU32 x = 0; x < nWidth; ++x)
    {
        const LfbPixel pixel = format.Read(pSource, Int32(x));
        if (pColor)
            pColor[x] =
                std::uint16_t((((pixel.nArgb >> 19) & 0x1Fu) << 11) |
                              (((pixel.nArgb >> 10) & 0x3Fu) << 5) | ((pixel.nArgb >> 3) & 0x1Fu));
        if (pAux)
            pAux[x] = pixel.nDepth;
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
    if (!Context().IsOpen() || !GlideMap::Buffer(src_buffer, &eBuffer))
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
    if (!Context().IsOpen() || !GlideMap::Buffer(dst_buffer, &eBuffer) || !src_data)
        return FXFALSE;
    const GrLfbWriteMode_t eMode = GrLfbWriteMode_t(src_format);
    if (src_format > 0xFFu || !LfbPixelFormat::IsWriteMode(eMode))
    {
        Context().Error(src_format == GR_LFB_SRC_FMT_RLE16
                            ? "grLfbWriteRegion: RLE16 sources are not provided"
                            : "grLfbWriteRegion: unknown source format");
        return FXFALSE;
    }
    // Written without the pixel pipeline, in the channel order of grLfbWriteColorFormat. The
    // auxiliary buffer takes raw 16-bit values (565 or ZA16 sources).
    const LfbPixelFormat format(eMode, Context().m_eLfbColorFormat);
    const BufferId eTarget = WriteTarget(eBuffer, eMode);
    const bool bRaw16 =
        eMode == GR_LFBWRITEMODE_ZA16 ||
        (eMode == GR_LFBWRITEMODE_565 && (eTarget == BufferId::Aux || format.IsNative16()));
    if (eTarget == BufferId::Aux && !bRaw16)
        return FXFALSE;
    FrameBuffer& frameBuffer = Context().GetDevice().GetFrameBuffer();
    std::uint16_t* pDst = frameBuffer.GetBuffer(eTarget);
    std::uint16_t* pAux = eTarget != BufferId::Aux && format.HasDepth()
                              ? frameBuffer.GetBuffer(BufferId::Aux)
                              : nullptr;
    const FxU32 nWidth = FxU32(frameBuffer.GetWidth());
    const FxU32 nHeight = FxU32(frameBuffer.GetHeight());
    if (!pDst || dst_x > nWidth || dst_y > nHeight || src_width > nWidth - dst_x ||
        src_height > nHeight - dst_y)
        return FXFALSE;
    const Byte* pRow = static_cast<const Byte*>(src_data);
    for (FxU32 nRow = 0; nRow < src_height; ++nRow, pRow += src_stride)
    {
        const size_t nOffset = size_t(dst_y + nRow) * nWidth + dst_x;
        if (bRaw16)
            std::memcpy(pDst + nOffset, pRow, size_t(src_width) * 2);
        else
            WriteRegionRow(format, pRow, src_width, pDst + nOffset,
                           pAux ? pAux + nOffset : nullptr);
    }
    Context().GetDevice().GetCounters().nPixelsOut += src_width * src_height;
    return FXTRUE;
}

FxBool FX_CALL grLfbLock(GrLock_t type, GrBuffer_t buffer, GrLfbWriteMode_t writeMode,
                         GrOriginLocation_t origin, FxBool pixelPipeline, GrLfbInfo_t* info)
{
    GLIDE_TRACE(Record(TraceCall::LfbLock, type, buffer, writeMode, origin, pixelPipeline));
    BufferId eBuffer;
    if (!Context().IsOpen() || !info || info->size != int(sizeof(GrLfbInfo_t)) ||
        !GlideMap::Buffer(buffer, &eBuffer))
        return FXFALSE;
    LfbLockRequest request;
    if (!MakeLockRequest(type, eBuffer, writeMode, origin, pixelPipeline, &request))
        return FXFALSE;
    // Pixels the board's buffers hold as they are (565 upper-left, no pipeline) are the buffer
    // itself; every other lock is a copy written back at the last unlock (LfbLock.h).
    LfbLock& lock = Context().GetLfbLock(request.bWrite, eBuffer);
    if (lock.IsHeld())
    {
        if (!lock.Matches(request))
        {
            Context().Error("grLfbLock: the buffer is already locked another way");
            return FXFALSE;
        }
        lock.Hold();
    }
    else if (!lock.Acquire(Context().GetDevice(), request))
        return FXFALSE;
    Context().NoteLfbLocks();
    info->lfbPtr = lock.GetPixels();
    info->strideInBytes = FxU32(lock.GetStride());
    info->writeMode = ReportedMode(request);
    info->origin = request.bLowerLeft ? GR_ORIGIN_LOWER_LEFT : GR_ORIGIN_UPPER_LEFT;
    return FXTRUE;
}

FxBool FX_CALL grLfbUnlock(GrLock_t type, GrBuffer_t buffer)
{
    // Recorded after the unlock, with the pixels the lock's writes left (GlideTraceRecorder).
    const GlideTraceScope glideTraceScope;
    BufferId eBuffer;
    if (!GlideMap::Buffer(buffer, &eBuffer))
        return FXFALSE;
    LfbLock& lock = Context().GetLfbLock((type & 0x1u) == GR_LFB_WRITE_ONLY, eBuffer);
    if (!lock.IsHeld())
        return FXFALSE;
    lock.Release(Context().GetDevice(), Context().m_nLfbConstantAlpha,
                 Context().m_nLfbConstantDepth);
    Context().NoteLfbLocks();
    if (glideTraceScope.Records())
        glideTraceScope.Recorder().LfbUnlock(type, buffer);
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
    if (!Context().IsInitialized())
        return;
    if (colorFormat < GR_COLORFORMAT_ARGB || colorFormat > GR_COLORFORMAT_BGRA)
    {
        Context().Error("grLfbWriteColorFormat: unknown colour format");
        return;
    }
    // Orders the channels of the LFB writes that follow: locks taken from now on and region
    // writes.
    Context().m_eLfbColorFormat = colorFormat;
}

void FX_CALL grLfbWriteColorSwizzle(FxBool swizzleBytes, FxBool swapWords)
{
    GLIDE_TRACE(Record(TraceCall::LfbWriteColorSwizzle, swizzleBytes, swapWords));
    if (!Context().IsInitialized())
        return;
    // For write locks taken from now on: each 32-bit word the program writes has its bytes
    // reversed and/or its 16-bit halves exchanged before it is taken apart.
    Context().m_bLfbSwizzleBytes = swizzleBytes != FXFALSE;
    Context().m_bLfbSwapWords = swapWords != FXFALSE;
}
