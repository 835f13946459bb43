// Linear frame-buffer access: grLfbReadRegion (5-6-5, top row first, any stride of at least
// twice the width; refused arguments give FXFALSE), region writes and locks.
#include "GlideTestSupport.h"
#include "Types.h"
#include <vector>

using namespace GlideTest;

namespace
{
// A known picture: pixel (x, y) = 565 (x & 31, y & 63, (x + y) & 31).
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

class GlideReadRegion : public ::testing::TestWithParam<int>
{
};

TEST_P(GlideReadRegion, CopiesRowsTopFirstAtAnyStride)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    DrawKnownPicture(board);
    const int nWidth = 37, nHeight = 11, nX = 13, nY = 200;
    const int nStride = GetParam(); // bytes
    std::vector<Byte> buffer(size_t(nStride * nHeight + 16), 0xCD);
    ASSERT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, nX, nY, nWidth, nHeight, FxU32(nStride),
                              buffer.data()),
              FXTRUE);
    for (int y = 0; y < nHeight; ++y)
    {
        for (int x = 0; x < nWidth; ++x)
        {
            const size_t nAt = size_t(y * nStride + 2 * x);
            const std::uint16_t nPixel = std::uint16_t(buffer[nAt] | buffer[nAt + 1] << 8);
            ASSERT_EQ(nPixel, Rgb565((nX + x) & 31, (nY + y) & 63, (nX + x + nY + y) & 31))
                << "x " << x << " y " << y;
        }
        // Bytes between rows are left alone.
        for (int k = 2 * nWidth; k < nStride; ++k)
            ASSERT_EQ(buffer[size_t(y * nStride + k)], 0xCD) << "row " << y << " byte " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Strides, GlideReadRegion, ::testing::Values(74, 75, 76, 80, 640, 1000));

TEST(GlideReadRegion, RefusesWhatWouldReadOutsideTheBuffer)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    std::vector<std::uint16_t> buffer(320 * 240 + 64);
    std::uint16_t* p = buffer.data();
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 320, 240, 640, p), FXTRUE);
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 10, 1, 19, p), FXFALSE); // stride
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 321, 1, 642, p), FXFALSE);
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 1, 241, 2, p), FXFALSE);
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 310, 0, 11, 1, 22, p), FXFALSE);
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0xFFFFFFF0u, 0, 32, 1, 64, p), FXFALSE);
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 1, 1, 2, nullptr), FXFALSE);
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_AUXBUFFER, 0, 0, 1, 1, 2, p), FXFALSE); // no aux
    EXPECT_EQ(grLfbReadRegion(7, 0, 0, 1, 1, 2, p), FXFALSE);
    // An empty region reads nothing and succeeds.
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 320, 240, 0, 0, 0, p), FXTRUE);
}

TEST(GlideReadRegion, OriginIsAlwaysTheUpperLeft)
{
    Board board("voodoo", GR_RESOLUTION_320x240, 0, GR_ORIGIN_LOWER_LEFT);
    ASSERT_TRUE(board.IsOpen());
    grConstantColorValue(0x00FFFFFFu);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    DrawRect(0, 0, 320, 1); // Glide's row 0 is the bottom screen row
    std::uint16_t anRow[320];
    ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 239, 320, 1, 640, anRow));
    EXPECT_EQ(anRow[100], 0xFFFF);
    ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 320, 1, 640, anRow));
    EXPECT_EQ(anRow[100], 0);
}

TEST(GlideWriteRegion, ConvertsSourceFormats)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // 1555: 0x7C1F = red 31, green 0, blue 31; 565 keeps red and blue, green 0.
    const std::uint16_t n1555 = 0x7C1F;
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 5, 5, GR_LFB_SRC_FMT_1555, 1, 1, 2,
                                 const_cast<std::uint16_t*>(&n1555)));
    EXPECT_EQ(board.Pixel(5, 5), Rgb565(31, 0, 31));
    // 8888 in the window's colour format (ARGB): (0x12, 0x34, 0x56) truncates to 565.
    const FxU32 n8888 = 0xFF123456u;
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 6, 5, GR_LFB_SRC_FMT_8888, 1, 1, 4,
                                 const_cast<FxU32*>(&n8888)));
    EXPECT_EQ(board.Pixel(6, 5), Truncated(0x12, 0x34, 0x56));
    EXPECT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 319, 0, GR_LFB_SRC_FMT_565, 2, 1, 4,
                               const_cast<std::uint16_t*>(&n1555)),
              FXFALSE);
    EXPECT_EQ(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, GR_LFB_SRC_FMT_RLE16, 1, 1, 2,
                               const_cast<std::uint16_t*>(&n1555)),
              FXFALSE);
}

TEST(GlideLock, ExposesTheBufferWithItsStride)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    GrLfbInfo_t info = {};
    info.size = sizeof info;
    ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                          GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    EXPECT_EQ(info.strideInBytes, 640u);
    static_cast<std::uint16_t*>(info.lfbPtr)[3 * 320 + 7] = 0x1234;
    EXPECT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_FALSE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_EQ(board.Pixel(7, 3), 0x1234);
    // A wrong structure size, or a reserved write mode, is refused.
    info.size = 12;
    EXPECT_FALSE(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ANY,
                           GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    info.size = sizeof info;
    EXPECT_FALSE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_RESERVED1,
                           GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
}
} // namespace
