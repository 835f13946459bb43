// Device::ShadePixels: pixels that come from the linear frame buffer go through the pipeline
// after the combine units, at screen rows, clipped in the current origin's coordinates.
#include "Device.h"
#include <gtest/gtest.h>
#include <cstdint>

namespace
{
class ShadedBoard
{
  public:
    ShadedBoard()
    {
        m_bOpen = m_Device.Open(BoardConfig(), 32, 16, 2, 1, nullptr, 60);
        DeviceState& state = m_Device.GetState();
        state.eDither = DitherMode::Disabled;
        state.nClipMaxX = 32;
        state.nClipMaxY = 16;
    }
    bool IsOpen() const { return m_bOpen; }
    Device& GetDevice() { return m_Device; }
    DeviceState& State() { return m_Device.GetState(); }
    std::uint16_t Pixel(Int32 x, Int32 y, BufferId eBuffer = BufferId::Back)
    {
        return m_Device.GetFrameBuffer().GetBuffer(eBuffer)[y * 32 + x];
    }

  private:
    Device m_Device;
    bool m_bOpen = false;
};

// Red 0xF8, green 0xFC, blue 0x08 truncate to 565 (31, 63, 1); the others to zero-ish steps.
const UInt32 g_anArgb[4] = {0xFFF8FC08u, 0xFF000000u, 0x80FFFFFFu, 0xFF084010u};
const std::uint16_t g_anDepth[4] = {0x1000, 0x2000, 0x3000, 0x4000};

TEST(GlideShadePixels, WritesTheGivenColoursWhateverTheCombineUnitsSay)
{
    ShadedBoard board;
    ASSERT_TRUE(board.IsOpen());
    // A colour unit that would give zero, an alpha unit giving the constant: neither runs.
    board.State().colorCombine.bZeroOther = true;
    board.State().colorCombine.eAdd = CombineAdd::None;
    board.State().alphaCombine.eOther = CombineOther::Constant;
    board.GetDevice().ShadePixels(BufferId::Back, 2, 3, 4, g_anArgb, g_anDepth);
    EXPECT_EQ(board.Pixel(3, 2), std::uint16_t((31 << 11) | (63 << 5) | 1));
    EXPECT_EQ(board.Pixel(4, 2), 0);
    EXPECT_EQ(board.Pixel(5, 2), 0xFFFF);
    EXPECT_EQ(board.Pixel(6, 2), std::uint16_t((1 << 11) | (16 << 5) | 2));
    EXPECT_EQ(board.Pixel(7, 2), 0);
    EXPECT_EQ(board.Pixel(2, 2), 0);
    const PixelCounters& counters = board.GetDevice().GetCounters();
    EXPECT_EQ(counters.nPixelsIn, 4u);
    EXPECT_EQ(counters.nPixelsOut, 4u);
}

TEST(GlideShadePixels, RowsAreScreenRowsAndTheClipWindowFollowsTheOrigin)
{
    ShadedBoard board;
    ASSERT_TRUE(board.IsOpen());
    board.State().bOriginLowerLeft = true;
    // Screen row 2 is row 13 for a lower-left origin: a clip window of row 2 drops it.
    board.State().nClipMinY = 2;
    board.State().nClipMaxY = 3;
    board.GetDevice().ShadePixels(BufferId::Back, 2, 0, 4, g_anArgb, g_anDepth);
    EXPECT_EQ(board.Pixel(0, 2), 0);
    board.State().nClipMinY = 13;
    board.State().nClipMaxY = 14;
    // Columns are clipped too: 1 and 2 of 0..3.
    board.State().nClipMinX = 1;
    board.State().nClipMaxX = 3;
    board.GetDevice().ShadePixels(BufferId::Back, 2, 0, 4, g_anArgb, g_anDepth);
    EXPECT_EQ(board.Pixel(0, 2), 0);
    EXPECT_EQ(board.Pixel(1, 2), 0);
    EXPECT_EQ(board.Pixel(2, 2), 0xFFFF);
    EXPECT_EQ(board.Pixel(3, 2), 0);
    EXPECT_EQ(board.GetDevice().GetCounters().nPixelsIn, 2u);
}

TEST(GlideShadePixels, DepthAndBlendingUseTheGivenValues)
{
    ShadedBoard board;
    ASSERT_TRUE(board.IsOpen());
    DeviceState& state = board.State();
    state.eDepthMode = DepthMode::ZBuffer;
    state.eDepthFunc = CompareFunc::Less;
    state.bDepthMask = true;
    std::uint16_t* pAux = board.GetDevice().GetFrameBuffer().GetBuffer(BufferId::Aux);
    for (Int32 x = 0; x < 4; ++x)
        pAux[5 * 32 + x] = 0x2800;
    // Depths 0x1000 and 0x2000 pass LESS against 0x2800; 0x3000 and 0x4000 fail.
    board.GetDevice().ShadePixels(BufferId::Back, 5, 0, 4, g_anArgb, g_anDepth);
    EXPECT_EQ(pAux[5 * 32 + 0], 0x1000);
    EXPECT_EQ(pAux[5 * 32 + 1], 0x2000);
    EXPECT_EQ(pAux[5 * 32 + 2], 0x2800);
    EXPECT_EQ(board.Pixel(2, 5), 0);
    EXPECT_EQ(board.GetDevice().GetCounters().nDepthFail, 2u);
    // White at source alpha 0x80 over black: (255 * 129) >> 8 = 128, 565 (16, 32, 16); over
    // white it adds (255 * (127 + 1)) >> 8 = 127 to that.
    state.eDepthMode = DepthMode::Disabled;
    state.blend.eRgbSrc = BlendFactor::SrcAlpha;
    state.blend.eRgbDst = BlendFactor::OneMinusSrcAlpha;
    board.GetDevice().GetFrameBuffer().GetBuffer(BufferId::Front)[32 + 8] = 0xFFFF;
    board.GetDevice().ShadePixels(BufferId::Front, 0, 5, 3, g_anArgb, g_anDepth);
    board.GetDevice().ShadePixels(BufferId::Front, 1, 6, 3, g_anArgb, g_anDepth);
    EXPECT_EQ(board.Pixel(7, 0, BufferId::Front), std::uint16_t((16 << 11) | (32 << 5) | 16));
    EXPECT_EQ(board.Pixel(8, 1, BufferId::Front), 0xFFFF);
    EXPECT_EQ(board.Pixel(7, 0, BufferId::Back), 0);
}

TEST(GlideShadePixels, RefusesWhatItCannotShade)
{
    ShadedBoard board;
    ASSERT_TRUE(board.IsOpen());
    Device& device = board.GetDevice();
    device.ShadePixels(BufferId::Aux, 0, 0, 4, g_anArgb, g_anDepth);
    device.ShadePixels(BufferId::Back, -1, 0, 4, g_anArgb, g_anDepth);
    device.ShadePixels(BufferId::Back, 16, 0, 4, g_anArgb, g_anDepth);
    device.ShadePixels(BufferId::Back, 0, 0, 4, nullptr, g_anDepth);
    device.ShadePixels(BufferId::Back, 0, 0, 0, g_anArgb, g_anDepth);
    device.ShadePixels(BufferId::Back, 0, 30, 4, g_anArgb, g_anDepth); // clipped at x = 32
    EXPECT_EQ(device.GetCounters().nPixelsIn, 2u);
    EXPECT_EQ(board.Pixel(30, 0), std::uint16_t((31 << 11) | (63 << 5) | 1));
    EXPECT_EQ(board.Pixel(0, 0, BufferId::Aux), 0);
}
} // namespace
