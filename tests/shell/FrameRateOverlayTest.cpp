// vellumtide's -fps text: the rate's wording, the cell size, and the pixels
// DrawText leaves in a window (the stand-in, headless).
#include "FrameRateOverlay.h"

#include <Win32StandIn.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{

TEST(FrameRateOverlayTest, FormatsTheRateWithOneDecimal)
{
    struct
    {
        float fRate;
        const char* pszText;
    } const cases[] = {{59.84f, "59.8 FPS"},   {60.0f, "60.0 FPS"},     {0.0f, "0.0 FPS"},
                       {-3.0f, "0.0 FPS"},     {NAN, "0.0 FPS"},        {999.9f, "999.9 FPS"},
                       {5000.0f, "999.9 FPS"}, {INFINITY, "999.9 FPS"}, {7.25f, "7.2 FPS"}};
    for (const auto& c : cases)
    {
        char szText[16];
        FrameRateOverlay::FormatRate(c.fRate, szText, sizeof(szText));
        EXPECT_STREQ(szText, c.pszText) << "rate " << c.fRate;
    }
}

TEST(FrameRateOverlayTest, CellsGrowWithTheWindowAndNeverVanish)
{
    EXPECT_EQ(FrameRateOverlay::CellSize(0), 1);
    EXPECT_EQ(FrameRateOverlay::CellSize(200), 1); // a preview pane
    EXPECT_EQ(FrameRateOverlay::CellSize(319), 1);
    EXPECT_EQ(FrameRateOverlay::CellSize(320), 2);
    EXPECT_EQ(FrameRateOverlay::CellSize(768), 4); // full screen
    EXPECT_EQ(FrameRateOverlay::CellSize(1200), 7);
    EXPECT_EQ(FrameRateOverlay::CellSize(-5), 1);
}

LRESULT CALLBACK PlainProc(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, uMessage, wParam, lParam);
}

class FrameRateDrawTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        StandIn_SetHeadless(true);
        StandIn_Reset();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "FrameRateDrawTest";
        ASSERT_NE(RegisterClassA(&wc), 0);
        m_hWnd = CreateWindowExA(0, "FrameRateDrawTest", "", WS_POPUP, 0, 0, kWidth, kHeight,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hWnd, nullptr);
        // A white window, so that the text's black box shows.
        HDC hDC = GetDC(m_hWnd);
        PatBlt(hDC, 0, 0, kWidth, kHeight, WHITENESS);
        ReleaseDC(m_hWnd, hDC);
    }
    void TearDown() override { StandIn_Reset(); }

    // The window's picture as rows of '#' (white) and '.' (black).
    std::vector<std::string> Picture()
    {
        std::vector<uint32_t> pixels;
        int nWidth = 0, nHeight = 0;
        EXPECT_TRUE(StandIn_ReadWindowPixels(m_hWnd, pixels, nWidth, nHeight));
        std::vector<std::string> rows(size_t(nHeight), std::string(size_t(nWidth), '?'));
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
            {
                const uint32_t uPixel = pixels[size_t(y * nWidth + x)] & 0xFFFFFF;
                rows[size_t(y)][size_t(x)] = uPixel == 0xFFFFFF ? '#' : (uPixel == 0 ? '.' : '?');
            }
        return rows;
    }

    static const int kWidth = 14;
    static const int kHeight = 9;
    HWND m_hWnd = nullptr;
};

TEST_F(FrameRateDrawTest, DrawsTheGlyphsOnABlackBoxAtTheGivenPlace)
{
    HDC hDC = GetDC(m_hWnd);
    FrameRateOverlay::DrawText(hDC, "1.", 1, 1, 1);
    ReleaseDC(m_hWnd, hDC);
    // Drawn by hand: a box of (2 glyphs x 4 + 1) x 7 cells at (1, 1); the
    // '1' (.#. / ##. / .#. / .#. / ###) and the '.' (a cell in the middle of
    // the bottom row) one cell in from its edges, one cell apart.
    const std::vector<std::string> expected = {
        "##############", //
        "#.........####", //
        "#..#......####", //
        "#.##......####", //
        "#..#......####", //
        "#..#......####", //
        "#.###..#..####", //
        "#.........####", //
        "##############", //
    };
    EXPECT_EQ(Picture(), expected);
}

TEST_F(FrameRateDrawTest, ScalesEveryCellAndDrawsUnknownCharactersAsSpaces)
{
    HDC hDC = GetDC(m_hWnd);
    FrameRateOverlay::DrawText(hDC, "?", 0, 0, 2); // a space: only the box
    ReleaseDC(m_hWnd, hDC);
    std::vector<std::string> expected(kHeight, std::string(kWidth, '#'));
    for (int y = 0; y < 7 * 2 && y < kHeight; ++y)
        expected[size_t(y)].replace(0, 5 * 2, std::string(5 * 2, '.'));
    EXPECT_EQ(Picture(), expected);

    hDC = GetDC(m_hWnd);
    FrameRateOverlay::DrawText(hDC, "7", 0, 0, 1); // 111 / 001 / 001 / 001 / 001
    FrameRateOverlay::DrawText(hDC, "", 0, 0, 1);  // nothing at all
    FrameRateOverlay::DrawText(hDC, "7", 0, 0, 0); // nor with no cell size
    ReleaseDC(m_hWnd, hDC);
    const std::vector<std::string> rows = Picture();
    EXPECT_EQ(rows[1].substr(0, 5), ".###.");
    for (int y = 2; y <= 5; ++y)
        EXPECT_EQ(rows[size_t(y)].substr(0, 5), "...#.") << "row " << y;
    EXPECT_EQ(rows[6].substr(0, 5), ".....");
}

TEST_F(FrameRateDrawTest, OnFrameWritesTheRateIntoTheWindowsCorner)
{
    FrameRateOverlay overlay;
    overlay.Start();
    EXPECT_EQ(overlay.GetRate(), 0.0f);
    overlay.OnFrame(m_hWnd); // "0.0 FPS" at one cell in: the box starts at (1, 1)
    const std::vector<std::string> rows = Picture();
    EXPECT_EQ(rows[0], std::string(kWidth, '#'));
    EXPECT_EQ(rows[1].substr(0, 2), "#.");
    EXPECT_EQ(rows[2].substr(0, 6), "#.###.") << "the first '0'";
    overlay.OnFrame(nullptr); // no window: nothing, no crash
}

} // namespace
