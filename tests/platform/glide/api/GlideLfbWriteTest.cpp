// LFB writes: every write mode of grLfbLock with and without the pixel pipeline, the lock's
// origin, grLfbWriteColorFormat and grLfbWriteColorSwizzle, the depth-carrying formats of
// grLfbWriteRegion, and the pixels out of grSstPerfStats for clears and LFB writes.
#include "GlideTestSupport.h"
#include "Types.h"
#include <cstring>
#include <vector>

using namespace GlideTest;

namespace
{
// pixel (x, y) = 565 (x & 31, y & 63, (x + y) & 31), written raw.
void DrawKnownPicture(const Board& board)
{
    std::vector<std::uint16_t> pixels;
    for (int y = 0; y < board.Height(); ++y)
        for (int x = 0; x < board.Width(); ++x)
            pixels.push_back(Rgb565(x & 31, y & 63, (x + y) & 31));
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, GR_LFB_SRC_FMT_565,
                                 FxU32(board.Width()), FxU32(board.Height()),
                                 FxI32(board.Width() * 2), pixels.data()));
}

std::uint16_t Known(int x, int y)
{
    return Rgb565(x & 31, y & 63, (x + y) & 31);
}

GrLfbInfo_t Lock(GrLfbWriteMode_t eMode, GrOriginLocation_t eOrigin = GR_ORIGIN_UPPER_LEFT,
                 FxBool bPipeline = FXFALSE, GrBuffer_t eBuffer = GR_BUFFER_BACKBUFFER)
{
    GrLfbInfo_t info = {};
    info.size = sizeof info;
    EXPECT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, eBuffer, eMode, eOrigin, bPipeline, &info))
        << "mode " << eMode;
    return info;
}

void Poke16(const GrLfbInfo_t& info, int x, int y, FxU32 nValue)
{
    const std::uint16_t n = std::uint16_t(nValue);
    std::memcpy(static_cast<Byte*>(info.lfbPtr) + size_t(y) * info.strideInBytes + 2 * size_t(x),
                &n, 2);
}

void Poke32(const GrLfbInfo_t& info, int x, int y, FxU32 nValue)
{
    std::memcpy(static_cast<Byte*>(info.lfbPtr) + size_t(y) * info.strideInBytes + 4 * size_t(x),
                &nValue, 4);
}

struct WriteCase
{
    GrLfbWriteMode_t eMode;
    FxU32 nBits;             // what the program writes for pixel (7, 3)
    std::uint16_t nExpected; // the 565 pixel it becomes
    int nDepth;              // the depth it writes, or -1
    FxU32 nStride;           // bytes per row of a 320-pixel lock
};

class GlideLockWriteModes : public ::testing::TestWithParam<WriteCase>
{
};

TEST_P(GlideLockWriteModes, StoreTheirPixelAndLeaveTheRestAlone)
{
    const WriteCase& c = GetParam();
    Board board("voodoo", GR_RESOLUTION_320x240, 1);
    ASSERT_TRUE(board.IsOpen());
    DrawKnownPicture(board);
    const std::vector<std::uint16_t> aux(320 * 240, 0x0101);
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_AUXBUFFER, 0, 0, GR_LFB_SRC_FMT_ZA16, 320, 240, 640,
                                 const_cast<std::uint16_t*>(aux.data())));
    const GrLfbInfo_t info = Lock(c.eMode);
    EXPECT_EQ(info.strideInBytes, c.nStride);
    EXPECT_EQ(info.writeMode, c.eMode);
    EXPECT_EQ(info.origin, GR_ORIGIN_UPPER_LEFT);
    if (c.nStride == 1280)
        Poke32(info, 7, 3, c.nBits);
    else
        Poke16(info, 7, 3, c.nBits);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    const std::vector<std::uint16_t> color = board.Read();
    const std::vector<std::uint16_t> depth = board.Read(GR_BUFFER_AUXBUFFER);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
        {
            const bool bWritten = x == 7 && y == 3;
            const size_t i = size_t(y * 320 + x);
            ASSERT_EQ(color[i], bWritten ? c.nExpected : Known(x, y)) << x << ", " << y;
            ASSERT_EQ(depth[i], bWritten && c.nDepth >= 0 ? c.nDepth : 0x0101) << x << ", " << y;
        }
}

// Channels widen by repeating their top bits and are truncated back to 5-6-5: a 5-bit green g
// becomes (g << 1) | (g >> 4).
INSTANTIATE_TEST_SUITE_P(
    AllModes, GlideLockWriteModes,
    ::testing::Values(
        WriteCase{GR_LFBWRITEMODE_565, 0x1234, 0x1234, -1, 640},
        // x R5 G5 B5: red 31, green 16 (6 bits: 33), blue 1.
        WriteCase{GR_LFBWRITEMODE_555, (31u << 10) | (16u << 5) | 1u, Rgb565(31, 33, 1), -1, 640},
        // A1 R5 G5 B5: green 31.
        WriteCase{GR_LFBWRITEMODE_1555, 0x8000u | (31u << 5), Rgb565(0, 63, 0), -1, 640},
        WriteCase{GR_LFBWRITEMODE_888, 0x00123456u, Truncated(0x12, 0x34, 0x56), -1, 1280},
        WriteCase{GR_LFBWRITEMODE_8888, 0x80ABCDEFu, Truncated(0xAB, 0xCD, 0xEF), -1, 1280},
        // Depth in the high half, the 16-bit colour in the low half.
        WriteCase{GR_LFBWRITEMODE_565_DEPTH, 0xBEEFF800u, Rgb565(31, 0, 0), 0xBEEF, 1280},
        WriteCase{GR_LFBWRITEMODE_555_DEPTH, 0x1234001Fu, Rgb565(0, 0, 31), 0x1234, 1280},
        WriteCase{GR_LFBWRITEMODE_1555_DEPTH, 0x432183E0u, Rgb565(0, 63, 0), 0x4321, 1280},
        // Depth only, to the auxiliary buffer: the colour stays.
        WriteCase{GR_LFBWRITEMODE_ZA16, 0x5678, Known(7, 3), 0x5678, 640}));

TEST(GlideLockOrigin, LowerLeftLocksCountRowsFromTheBottom)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    DrawKnownPicture(board);
    for (GrLfbWriteMode_t eMode : {GR_LFBWRITEMODE_565, GR_LFBWRITEMODE_888})
    {
        const GrLfbInfo_t info = Lock(eMode, GR_ORIGIN_LOWER_LEFT);
        EXPECT_EQ(info.origin, GR_ORIGIN_LOWER_LEFT);
        if (eMode == GR_LFBWRITEMODE_565)
            Poke16(info, 4, 0, 0xFFFF);
        else
            Poke32(info, 5, 1, 0x00FFFFFFu);
        ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    }
    EXPECT_EQ(board.Pixel(4, 239), 0xFFFF);
    EXPECT_EQ(board.Pixel(5, 238), 0xFFFF);
    EXPECT_EQ(board.Pixel(4, 0), Known(4, 0));
    EXPECT_EQ(board.Pixel(5, 1), Known(5, 1));

    // A lower-left read lock shows the bottom row first.
    GrLfbInfo_t info = {};
    info.size = sizeof info;
    ASSERT_TRUE(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ANY,
                          GR_ORIGIN_LOWER_LEFT, FXFALSE, &info));
    const std::uint16_t* pRows = static_cast<const std::uint16_t*>(info.lfbPtr);
    EXPECT_EQ(pRows[2 * 320 + 9], Known(9, 237));
    EXPECT_EQ(pRows[4], 0xFFFF);
    EXPECT_TRUE(grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER));
}

TEST(GlideLockOrigin, AnyFollowsTheCurrentOrigin)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    GrLfbInfo_t info = Lock(GR_LFBWRITEMODE_565, GR_ORIGIN_ANY);
    EXPECT_EQ(info.origin, GR_ORIGIN_LOWER_LEFT);
    Poke16(info, 0, 0, 0x001F);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(0, 239), 0x001F);
    grSstOrigin(GR_ORIGIN_UPPER_LEFT);
    info = Lock(GR_LFBWRITEMODE_565, GR_ORIGIN_ANY);
    EXPECT_EQ(info.origin, GR_ORIGIN_UPPER_LEFT);
    Poke16(info, 0, 0, 0x07E0);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(0, 0), 0x07E0);
}

TEST(GlideLfbColorFormat, OrdersTheChannelsOfEveryColourMode)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // ABGR: 565 holds blue in the top five bits.
    grLfbWriteColorFormat(GR_COLORFORMAT_ABGR);
    GrLfbInfo_t info = Lock(GR_LFBWRITEMODE_565);
    Poke16(info, 1, 1, 0xF800);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(0, 0, 31));
    // RGBA: 1555 is R5 G5 B5 A1.
    grLfbWriteColorFormat(GR_COLORFORMAT_RGBA);
    info = Lock(GR_LFBWRITEMODE_1555);
    Poke16(info, 2, 1, 0xF801);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(2, 1), Rgb565(31, 0, 0));
    // BGRA: 0xBBGGRRAA.
    grLfbWriteColorFormat(GR_COLORFORMAT_BGRA);
    info = Lock(GR_LFBWRITEMODE_8888);
    Poke32(info, 3, 1, 0x563412FFu);
    // Taken at the lock: a change now applies to the next lock only.
    grLfbWriteColorFormat(GR_COLORFORMAT_ARGB);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(3, 1), Truncated(0x12, 0x34, 0x56));
    // Region writes follow it too.
    grLfbWriteColorFormat(GR_COLORFORMAT_ABGR);
    const FxU32 n888 = 0x00563412u; // 0xAABBGGRR
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 4, 1, GR_LFB_SRC_FMT_888, 1, 1, 4,
                                 const_cast<FxU32*>(&n888)));
    EXPECT_EQ(board.Pixel(4, 1), Truncated(0x12, 0x34, 0x56));
    // An unknown format changes nothing.
    grLfbWriteColorFormat(7);
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 5, 1, GR_LFB_SRC_FMT_888, 1, 1, 4,
                                 const_cast<FxU32*>(&n888)));
    EXPECT_EQ(board.Pixel(5, 1), Truncated(0x12, 0x34, 0x56));
}

TEST(GlideLfbColorFormat, StartsAsTheWindowsColourFormat)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grSstWinClose();
    ASSERT_TRUE(grSstWinOpen(0, GR_RESOLUTION_320x240, GR_REFRESH_60Hz, GR_COLORFORMAT_ABGR,
                             GR_ORIGIN_UPPER_LEFT, 2, 0));
    grDitherMode(GR_DITHER_DISABLE);
    const GrLfbInfo_t info = Lock(GR_LFBWRITEMODE_8888);
    Poke32(info, 0, 0, 0xFF563412u); // 0xAABBGGRR
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(0, 0), Truncated(0x12, 0x34, 0x56));
}

TEST(GlideLfbSwizzle, ReversesBytesAndSwapsHalvesOfEachWord)
{
    Board board("voodoo", GR_RESOLUTION_320x240, 1);
    ASSERT_TRUE(board.IsOpen());
    // Pixels 6 and 7 (0x1234, 0xABCD) share a word: 0xABCD1234 with the left pixel low.
    grLfbWriteColorSwizzle(FXTRUE, FXFALSE); // the word as a big-endian host stores it
    GrLfbInfo_t info = Lock(GR_LFBWRITEMODE_565);
    Poke32(info, 3, 3, 0x3412CDABu);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(6, 3), 0x1234);
    EXPECT_EQ(board.Pixel(7, 3), 0xABCD);
    grLfbWriteColorSwizzle(FXFALSE, FXTRUE); // halves exchanged
    info = Lock(GR_LFBWRITEMODE_565);
    Poke32(info, 3, 4, 0x1234ABCDu);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(6, 4), 0x1234);
    EXPECT_EQ(board.Pixel(7, 4), 0xABCD);
    // 32-bit pixels: the bytes of 0xFF123456 reversed; colour and depth exchanged.
    grLfbWriteColorSwizzle(FXTRUE, FXFALSE);
    info = Lock(GR_LFBWRITEMODE_8888);
    Poke32(info, 8, 5, 0x563412FFu);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(8, 5), Truncated(0x12, 0x34, 0x56));
    grLfbWriteColorSwizzle(FXFALSE, FXTRUE);
    info = Lock(GR_LFBWRITEMODE_565_DEPTH);
    Poke32(info, 9, 5, 0xF800BEEFu);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(9, 5), Rgb565(31, 0, 0));
    EXPECT_EQ(board.Pixel(9, 5, GR_BUFFER_AUXBUFFER), 0xBEEF);
}

TEST(GlideLockPipeline, BlendsWithTheConstantAlphaWhenTheFormatHasNone)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                         GR_BLEND_ZERO);
    grLfbConstantAlpha(128);
    GrLfbInfo_t info = Lock(GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXTRUE);
    Poke16(info, 10, 10, 0xFFFF);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    // (255 * 129) >> 8 = 128 over black.
    EXPECT_EQ(board.Pixel(10, 10), Truncated(128, 128, 128));
    // 8888 brings its own alpha: 64 -> (255 * 65) >> 8 = 64 plus 128 * (191 + 1) >> 8 = 96
    // (the 128 grey widens to 132 / 130: (132 * 192) >> 8 = 99, (130 * 192) >> 8 = 97).
    info = Lock(GR_LFBWRITEMODE_8888, GR_ORIGIN_UPPER_LEFT, FXTRUE);
    Poke32(info, 10, 10, 0x40FFFFFFu);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(10, 10), Truncated(64 + 99, 64 + 97, 64 + 99));
    // Without the pipeline the same write is stored as it is.
    info = Lock(GR_LFBWRITEMODE_8888);
    Poke32(info, 11, 10, 0x40FFFFFFu);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(11, 10), 0xFFFF);
}

TEST(GlideLockPipeline, ChromaKeyAlphaTestAndClipWindowDropPixels)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    grChromakeyValue(0x00FF00FFu); // magenta, 565 0xF81F widened
    grAlphaTestFunction(GR_CMP_GREATER);
    grAlphaTestReferenceValue(0);
    grClipWindow(0, 0, 100, 100);
    grSstResetPerfStats();
    GrLfbInfo_t info = Lock(GR_LFBWRITEMODE_1555, GR_ORIGIN_UPPER_LEFT, FXTRUE);
    Poke16(info, 20, 20, 0xFC1F);  // magenta, opaque: keyed out
    Poke16(info, 21, 20, 0x7FFF);  // white, alpha 0: fails the alpha test
    Poke16(info, 22, 20, 0xFFFF);  // white, opaque: drawn
    Poke16(info, 150, 20, 0xFFFF); // outside the clip window
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(20, 20), 0);
    EXPECT_EQ(board.Pixel(21, 20), 0);
    EXPECT_EQ(board.Pixel(22, 20), 0xFFFF);
    EXPECT_EQ(board.Pixel(150, 20), 0);
    GrSstPerfStats_t stats;
    grSstPerfStats(&stats);
    EXPECT_EQ(stats.pixelsIn, 3u);
    EXPECT_EQ(stats.chromaFail, 1u);
    EXPECT_EQ(stats.aFuncFail, 1u);
    EXPECT_EQ(stats.pixelsOut, 1u);
    // Without the pipeline none of them applies.
    info = Lock(GR_LFBWRITEMODE_1555);
    Poke16(info, 20, 21, 0xFC1F);
    Poke16(info, 150, 21, 0x7FFF);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(20, 21), 0xF81F);
    EXPECT_EQ(board.Pixel(150, 21), 0xFFFF);
}

TEST(GlideLockPipeline, DepthTestsTheWrittenOrTheConstantDepth)
{
    Board board("voodoo", GR_RESOLUTION_320x240, 1);
    ASSERT_TRUE(board.IsOpen());
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    grBufferClear(0, 0, 0x8000);
    GrLfbInfo_t info = Lock(GR_LFBWRITEMODE_565_DEPTH, GR_ORIGIN_UPPER_LEFT, FXTRUE);
    Poke32(info, 30, 5, 0x7000FFFFu); // nearer than 0x8000 under LESS: drawn
    Poke32(info, 31, 5, 0x9000FFFFu); // fails
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(30, 5), 0xFFFF);
    EXPECT_EQ(board.Pixel(30, 5, GR_BUFFER_AUXBUFFER), 0x7000);
    EXPECT_EQ(board.Pixel(31, 5), 0);
    EXPECT_EQ(board.Pixel(31, 5, GR_BUFFER_AUXBUFFER), 0x8000);
    // 565 has no depth: the constant depth stands in.
    grLfbConstantDepth(0x1000);
    info = Lock(GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXTRUE);
    Poke16(info, 32, 5, 0x07E0);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(32, 5), 0x07E0);
    EXPECT_EQ(board.Pixel(32, 5, GR_BUFFER_AUXBUFFER), 0x1000);
    grLfbConstantDepth(0xF000);
    info = Lock(GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXTRUE);
    Poke16(info, 32, 5, 0x001F);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(32, 5), 0x07E0);
}

TEST(GlideLockPipeline, WritesTheLockedBuffer)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const GrLfbInfo_t info =
        Lock(GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXTRUE, GR_BUFFER_FRONTBUFFER);
    Poke16(info, 1, 2, 0xFFFF);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER));
    EXPECT_EQ(board.Pixel(1, 2, GR_BUFFER_FRONTBUFFER), 0xFFFF);
    EXPECT_EQ(board.Pixel(1, 2, GR_BUFFER_BACKBUFFER), 0);
}

TEST(GlideWriteRegion, DepthCarryingFormatsWriteColourAndDepth)
{
    Board board("voodoo", GR_RESOLUTION_320x240, 1);
    ASSERT_TRUE(board.IsOpen());
    const FxU32 anPixels[2] = {0xBEEFF800u, 0x1234001Fu};
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 40, 7, GR_LFB_SRC_FMT_565_DEPTH, 1, 1, 4,
                                 const_cast<FxU32*>(&anPixels[0])));
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 41, 7, GR_LFB_SRC_FMT_555_DEPTH, 1, 1, 4,
                                 const_cast<FxU32*>(&anPixels[1])));
    EXPECT_EQ(board.Pixel(40, 7), Rgb565(31, 0, 0));
    EXPECT_EQ(board.Pixel(40, 7, GR_BUFFER_AUXBUFFER), 0xBEEF);
    EXPECT_EQ(board.Pixel(41, 7), Rgb565(0, 0, 31));
    EXPECT_EQ(board.Pixel(41, 7, GR_BUFFER_AUXBUFFER), 0x1234);
    // ZA16 reaches the auxiliary buffer whichever buffer is named.
    const std::uint16_t nDepth = 0x4242;
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 42, 7, GR_LFB_SRC_FMT_ZA16, 1, 1, 2,
                                 const_cast<std::uint16_t*>(&nDepth)));
    EXPECT_EQ(board.Pixel(42, 7), 0);
    EXPECT_EQ(board.Pixel(42, 7, GR_BUFFER_AUXBUFFER), 0x4242);
    // Colour formats other than raw 565 do not go to the auxiliary buffer.
    EXPECT_FALSE(grLfbWriteRegion(GR_BUFFER_AUXBUFFER, 0, 0, GR_LFB_SRC_FMT_8888, 1, 1, 4,
                                  const_cast<FxU32*>(&anPixels[0])));
}

TEST(GlidePerfStats, ClearsAndLfbWritesCountAsPixelsOut)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grSstResetPerfStats();
    GrSstPerfStats_t stats;
    // A 10 x 20 clip window: 200 pixels; with RGB writes off and no auxiliary buffer, none.
    grClipWindow(5, 5, 15, 25);
    grBufferClear(0x00FFFFFFu, 0, 0);
    grSstPerfStats(&stats);
    EXPECT_EQ(stats.pixelsOut, 200u);
    grColorMask(FXFALSE, FXFALSE);
    grBufferClear(0, 0, 0);
    grColorMask(FXTRUE, FXFALSE);
    grSstPerfStats(&stats);
    EXPECT_EQ(stats.pixelsOut, 200u);
    // A 3 x 4 region: 12.
    const std::vector<std::uint16_t> region(12, 0x1111);
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 100, 100, GR_LFB_SRC_FMT_565, 3, 4, 6,
                                 const_cast<std::uint16_t*>(region.data())));
    grSstPerfStats(&stats);
    EXPECT_EQ(stats.pixelsOut, 212u);
    // Locks count the pixels they change: 5 through the buffer itself, 7 through a copy.
    GrLfbInfo_t info = Lock(GR_LFBWRITEMODE_565);
    for (int x = 0; x < 5; ++x)
        Poke16(info, 200 + x, 50, 0x2222);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    info = Lock(GR_LFBWRITEMODE_888);
    for (int x = 0; x < 7; ++x)
        Poke32(info, 200 + x, 60, 0x00334455u);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    grSstPerfStats(&stats);
    EXPECT_EQ(stats.pixelsOut, 224u);
    EXPECT_EQ(stats.pixelsIn, 0u);
}

TEST(GlideLockArguments, RefusedOrSharedAsTheyCome)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    GrLfbInfo_t info = {};
    info.size = sizeof info;
    // No auxiliary buffer: ZA16 has nowhere to go.
    EXPECT_FALSE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ZA16,
                           GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    EXPECT_FALSE(
        grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, 7, FXFALSE, &info));
    EXPECT_FALSE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, 0x9, GR_ORIGIN_UPPER_LEFT,
                           FXFALSE, &info));
    EXPECT_FALSE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    // The same lock twice shares its pixels and needs two unlocks; another way is refused.
    const GrLfbInfo_t first = Lock(GR_LFBWRITEMODE_888);
    const GrLfbInfo_t second = Lock(GR_LFBWRITEMODE_888);
    EXPECT_EQ(first.lfbPtr, second.lfbPtr);
    EXPECT_FALSE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                           GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    Poke32(first, 0, 0, 0x00FFFFFFu);
    EXPECT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(0, 0), 0); // still held
    EXPECT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(0, 0), 0xFFFF);
    EXPECT_FALSE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    // A lock held when the board closes is gone: nothing is written, unlocking fails.
    Lock(GR_LFBWRITEMODE_8888);
    grSstWinClose();
    EXPECT_FALSE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
}

TEST(GlideLockArguments, TheAuxiliaryBufferTakesOnlyDepthWrites)
{
    Board board("voodoo", GR_RESOLUTION_320x240, 1);
    ASSERT_TRUE(board.IsOpen());
    GrLfbInfo_t info = {};
    info.size = sizeof info;
    EXPECT_FALSE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_AUXBUFFER, GR_LFBWRITEMODE_565,
                           GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_AUXBUFFER, GR_LFBWRITEMODE_ANY,
                          GR_ORIGIN_LOWER_LEFT, FXTRUE, &info));
    EXPECT_EQ(info.writeMode, GR_LFBWRITEMODE_ZA16);
    Poke16(info, 3, 0, 0x7777);
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_AUXBUFFER));
    EXPECT_EQ(board.Pixel(3, 239, GR_BUFFER_AUXBUFFER), 0x7777);
    EXPECT_EQ(board.Pixel(3, 239), 0);
}
} // namespace
