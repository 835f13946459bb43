// HighColorMirror on the headless Win32 stand-in: the surface's layout, where
// it presents, the palette steps, and its lifecycle.
#include "HighColorMirror.h"
#include "HighColorMirrorGdiLog.h"
#include "Win32StandIn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
using HighColorMirrorGdiLog::Value;
typedef std::vector<std::string> Names;

const char kClassName[] = "HighColorMirrorTest";

// A window's presented picture.
struct Picture
{
    std::vector<uint32_t> pixels;
    int nWidth = 0;
    int nHeight = 0;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * nWidth + x]; }
};

// The top 5, 6 and 5 bits of a 0x00RRGGBB pixel, packed as 5-6-5 again:
// the shown colour compared with the surface's, however 5-6-5 was widened.
uint16_t As565(uint32_t nPixel)
{
    return static_cast<uint16_t>((((nPixel >> 19) & 0x1F) << 11) | (((nPixel >> 10) & 0x3F) << 5) |
                                 ((nPixel >> 3) & 0x1F));
}

class HighColorMirrorTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        StandIn_SetHeadless(true);
        StandIn_SetScreenSize(800, 600);
    }

    void SetUp() override
    {
        StandIn_Reset();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = kClassName;
        ASSERT_NE(0, RegisterClassA(&wc) & 0xFFFF);
        m_hWnd = CreateWindowExA(0, kClassName, "mirror", WS_POPUP, 0, 0, 800, 600, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_hWnd);
    }

    void TearDown() override
    {
        HighColorMirrorGdiLog::Stop();
        DestroyWindow(m_hWnd);
        UnregisterClassA(kClassName, nullptr);
    }

    // Paints the whole window one colour, so untouched pixels can be told apart.
    void PaintWindow(COLORREF colour)
    {
        HDC hDC = GetDC(m_hWnd);
        HBRUSH hBrush = CreateSolidBrush(colour);
        RECT rect = {0, 0, 800, 600};
        FillRect(hDC, &rect, hBrush);
        DeleteObject(hBrush);
        ReleaseDC(m_hWnd, hDC);
    }

    Picture Read()
    {
        Picture picture;
        EXPECT_TRUE(
            StandIn_ReadWindowPixels(m_hWnd, picture.pixels, picture.nWidth, picture.nHeight));
        EXPECT_EQ(800, picture.nWidth);
        EXPECT_EQ(600, picture.nHeight);
        return picture;
    }

    // Fills the surface: pixel (x, y) = Pattern(x, y), rows nRowBytes apart.
    static void Fill(HighColorMirror& mirror, int nWidth, int nHeight, int nRowBytes)
    {
        Byte* pbyRows = static_cast<Byte*>(mirror.GetPixels());
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
            {
                const uint16_t nPixel = Pattern(x, y);
                std::memcpy(pbyRows + y * nRowBytes + 2 * x, &nPixel, 2);
            }
    }

    // Red from x, green from y, blue fixed: rows and columns told apart.
    static uint16_t Pattern(int x, int y)
    {
        return static_cast<uint16_t>(((x & 0x1F) << 11) | ((y & 0x3F) << 5) | 0x15);
    }

    HWND m_hWnd = nullptr;
};

// ---------------------------------------------------------------- the surface

TEST_F(HighColorMirrorTest, HeaderIsTopDown565BitFieldsWithTheMasks)
{
    RECT rect = {0, 0, 640, 480};
    HighColorMirror mirror(m_hWnd, &rect);
    const BITMAPINFO* pInfo = mirror.GetBitmapInfo();
    EXPECT_EQ(40u, pInfo->bmiHeader.biSize);
    EXPECT_EQ(640, pInfo->bmiHeader.biWidth);
    EXPECT_EQ(-480, pInfo->bmiHeader.biHeight);
    EXPECT_EQ(1, pInfo->bmiHeader.biPlanes);
    EXPECT_EQ(16, pInfo->bmiHeader.biBitCount);
    EXPECT_EQ(3u, pInfo->bmiHeader.biCompression);
    EXPECT_EQ(0u, pInfo->bmiHeader.biSizeImage);
    EXPECT_EQ(0u, pInfo->bmiHeader.biClrUsed);
    EXPECT_EQ(0u, pInfo->bmiHeader.biClrImportant);
    const DWORD expectedMasks[3] = {0xF800, 0x07E0, 0x001F};
    for (int i = 0; i < 3; ++i)
    {
        DWORD nMask = 0;
        std::memcpy(&nMask, &pInfo->bmiColors[i], sizeof(nMask));
        EXPECT_EQ(expectedMasks[i], nMask) << "entry " << i;
    }
    EXPECT_NE(nullptr, mirror.GetPixels());
    EXPECT_NE(nullptr, mirror.GetMemoryDC());
}

TEST_F(HighColorMirrorTest, A640By480SurfaceHas1280ByteRowsTopRowFirst)
{
    PaintWindow(RGB(0, 0, 255));
    RECT rect = {0, 0, 640, 480};
    HighColorMirror mirror(m_hWnd, &rect);
    EXPECT_EQ(1280, HighColorMirror::RowBytes(640));
    Fill(mirror, 640, 480, 1280);
    mirror.Present();

    const Picture picture = Read();
    for (int y : {0, 1, 2, 63, 64, 65, 240, 478, 479})
        for (int x : {0, 1, 31, 32, 320, 638, 639})
            EXPECT_EQ(Pattern(x, y), As565(picture.At(x, y))) << x << "," << y;
    // Nothing beyond the surface.
    EXPECT_EQ(0x0000FFu, picture.At(640, 0));
    EXPECT_EQ(0x0000FFu, picture.At(0, 480));
}

TEST_F(HighColorMirrorTest, A643WideSurfaceIs644WideButPresents643)
{
    PaintWindow(RGB(0, 0, 255));
    RECT rect = {0, 0, 643, 10};
    HighColorMirror mirror(m_hWnd, &rect);
    EXPECT_EQ(644, mirror.GetBitmapInfo()->bmiHeader.biWidth);
    EXPECT_EQ(-10, mirror.GetBitmapInfo()->bmiHeader.biHeight);
    EXPECT_EQ(1288, HighColorMirror::RowBytes(643));
    // Every one of the 644 columns is written, the padding column too.
    Fill(mirror, 644, 10, 1288);

    HighColorMirrorGdiLog::Start();
    mirror.Present();
    HighColorMirrorGdiLog::Stop();
    ASSERT_EQ(Names({"GetDC", "SelectPalette", "RealizePalette", "BitBlt", "ReleaseDC"}),
              HighColorMirrorGdiLog::Names());
    const GdiCall& blit = HighColorMirrorGdiLog::Calls()[3];
    EXPECT_EQ(643u, blit.args[3]);
    EXPECT_EQ(10u, blit.args[4]);

    const Picture picture = Read();
    for (int y : {0, 5, 9})
    {
        EXPECT_EQ(Pattern(0, y), As565(picture.At(0, y)));
        EXPECT_EQ(Pattern(642, y), As565(picture.At(642, y)));
        // The padding column stays off the window.
        EXPECT_EQ(0x0000FFu, picture.At(643, y)) << "row " << y;
    }
}

TEST_F(HighColorMirrorTest, RoundingToAMultipleOf4)
{
    const int cases[][2] = {{1, 4},     {2, 4},     {3, 4},     {4, 4},     {5, 8},    {639, 640},
                            {640, 640}, {641, 644}, {642, 644}, {643, 644}, {644, 644}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(c[1], HighColorMirror::RoundedWidth(c[0])) << c[0];
        EXPECT_EQ(2 * c[1], HighColorMirror::RowBytes(c[0])) << c[0];
    }
}

// ---------------------------------------------------------------- where it presents

TEST_F(HighColorMirrorTest, PresentDrawsAtTheOriginAndPresentToAtTheRectangle)
{
    RECT rect = {10, 20, 110, 120};
    HighColorMirror mirror(m_hWnd, &rect);
    EXPECT_EQ(100, mirror.GetBitmapInfo()->bmiHeader.biWidth);
    Fill(mirror, 100, 100, 200);

    PaintWindow(RGB(0, 0, 255));
    mirror.Present();
    Picture picture = Read();
    EXPECT_EQ(Pattern(0, 0), As565(picture.At(0, 0)));
    EXPECT_EQ(Pattern(99, 99), As565(picture.At(99, 99)));
    EXPECT_EQ(Pattern(10, 20), As565(picture.At(10, 20)));
    EXPECT_EQ(0x0000FFu, picture.At(100, 0));
    EXPECT_EQ(0x0000FFu, picture.At(0, 100));

    PaintWindow(RGB(0, 0, 255));
    HDC hDC = GetDC(m_hWnd);
    EXPECT_TRUE(mirror.PresentTo(hDC));
    ReleaseDC(m_hWnd, hDC);
    picture = Read();
    EXPECT_EQ(0x0000FFu, picture.At(0, 0));
    EXPECT_EQ(0x0000FFu, picture.At(9, 20));
    EXPECT_EQ(0x0000FFu, picture.At(10, 19));
    EXPECT_EQ(Pattern(0, 0), As565(picture.At(10, 20)));
    EXPECT_EQ(Pattern(99, 99), As565(picture.At(109, 119)));
    EXPECT_EQ(0x0000FFu, picture.At(110, 119));
    EXPECT_EQ(0x0000FFu, picture.At(109, 120));
}

TEST_F(HighColorMirrorTest, PresentToRealizesThePaletteIntoTheGivenContextFirst)
{
    RECT rect = {10, 20, 110, 120};
    HighColorMirror mirror(m_hWnd, &rect);
    HDC hDC = GetDC(m_hWnd);
    HighColorMirrorGdiLog::Start();
    mirror.PresentTo(hDC);
    HighColorMirrorGdiLog::Stop();
    ReleaseDC(m_hWnd, hDC);

    ASSERT_EQ(Names({"SelectPalette", "RealizePalette", "BitBlt"}), HighColorMirrorGdiLog::Names());
    const std::vector<GdiCall>& calls = HighColorMirrorGdiLog::Calls();
    EXPECT_EQ(std::vector<uintptr_t>({Value(hDC), Value(mirror.GetPalette()), FALSE}),
              calls[0].args);
    EXPECT_EQ(std::vector<uintptr_t>({Value(hDC)}), calls[1].args);
    EXPECT_EQ(std::vector<uintptr_t>(
                  {Value(hDC), 10, 20, 100, 100, Value(mirror.GetMemoryDC()), 0, 0, SRCCOPY}),
              calls[2].args);
}

TEST_F(HighColorMirrorTest, PresentTakesAndGivesBackTheWindowsContext)
{
    RECT rect = {0, 0, 64, 48};
    HighColorMirror mirror(m_hWnd, &rect);
    HighColorMirrorGdiLog::Start();
    mirror.Present();
    HighColorMirrorGdiLog::Stop();
    const std::vector<GdiCall>& calls = HighColorMirrorGdiLog::Calls();
    ASSERT_EQ(5u, calls.size());
    const uintptr_t hDC = calls[0].result;
    EXPECT_EQ(std::vector<uintptr_t>({Value(m_hWnd)}), calls[0].args);
    EXPECT_EQ(std::vector<uintptr_t>({hDC, Value(mirror.GetPalette()), FALSE}), calls[1].args);
    EXPECT_EQ(std::vector<uintptr_t>({hDC}), calls[2].args);
    EXPECT_EQ(
        std::vector<uintptr_t>({hDC, 0, 0, 64, 48, Value(mirror.GetMemoryDC()), 0, 0, SRCCOPY}),
        calls[3].args);
    EXPECT_EQ(std::vector<uintptr_t>({Value(m_hWnd), hDC}), calls[4].args);
}

// ---------------------------------------------------------------- palette

TEST_F(HighColorMirrorTest, CreatingOneRealisesAGreyRampOnTheScreen)
{
    RECT rect = {0, 0, 640, 480};
    HighColorMirrorGdiLog::Start();
    HighColorMirror mirror(m_hWnd, &rect);
    HighColorMirrorGdiLog::Stop();

    ASSERT_EQ(Names({"CreateCompatibleDC", "CreateDIBSection", "SelectObject", "CreatePalette",
                     "GetDC", "SelectPalette", "RealizePalette", "UpdateColors", "ReleaseDC"}),
              HighColorMirrorGdiLog::Names());
    const std::vector<GdiCall>& calls = HighColorMirrorGdiLog::Calls();
    // The memory DC is compatible with the screen; the DIB goes into it.
    EXPECT_EQ(std::vector<uintptr_t>({0}), calls[0].args);
    EXPECT_EQ(calls[0].result, calls[1].args[0]);
    EXPECT_EQ(uintptr_t(DIB_RGB_COLORS), calls[1].args[2]);
    EXPECT_EQ(0u, calls[1].args[4]);
    EXPECT_EQ(0u, calls[1].args[5]);
    EXPECT_EQ(std::vector<uintptr_t>({calls[0].result, calls[1].result}), calls[2].args);

    const GdiCall& create = calls[3];
    EXPECT_EQ(0x300u, create.nPaletteVersion);
    ASSERT_EQ(256u, create.palette.size());
    for (int i = 0; i < 256; ++i)
    {
        EXPECT_EQ(i, create.palette[i].peRed) << i;
        EXPECT_EQ(i, create.palette[i].peGreen) << i;
        EXPECT_EQ(i, create.palette[i].peBlue) << i;
        EXPECT_EQ(0, create.palette[i].peFlags) << i;
    }
    const uintptr_t hPalette = create.result;
    EXPECT_EQ(Value(mirror.GetPalette()), hPalette);

    // The screen's context: selected, realised, colours updated, given back.
    EXPECT_EQ(std::vector<uintptr_t>({0}), calls[4].args);
    const uintptr_t hScreen = calls[4].result;
    EXPECT_EQ(std::vector<uintptr_t>({hScreen, hPalette, FALSE}), calls[5].args);
    EXPECT_EQ(std::vector<uintptr_t>({hScreen}), calls[6].args);
    EXPECT_EQ(std::vector<uintptr_t>({hScreen}), calls[7].args);
    EXPECT_EQ(std::vector<uintptr_t>({0, hScreen}), calls[8].args);
}

TEST_F(HighColorMirrorTest, BuildPaletteAgainReplacesTheOldPalette)
{
    RECT rect = {0, 0, 16, 16};
    HighColorMirror mirror(m_hWnd, &rect);
    const uintptr_t hOld = Value(mirror.GetPalette());
    HighColorMirrorGdiLog::Start();
    mirror.BuildPalette();
    HighColorMirrorGdiLog::Stop();
    ASSERT_EQ(Names({"DeleteObject", "CreatePalette", "GetDC", "SelectPalette", "RealizePalette",
                     "UpdateColors", "ReleaseDC"}),
              HighColorMirrorGdiLog::Names());
    EXPECT_EQ(std::vector<uintptr_t>({hOld}), HighColorMirrorGdiLog::Calls()[0].args);
    EXPECT_EQ(Value(mirror.GetPalette()), HighColorMirrorGdiLog::Calls()[1].result);
}

TEST_F(HighColorMirrorTest, SetPaletteDoesNothing)
{
    RECT rect = {0, 0, 8, 8};
    HighColorMirror mirror(m_hWnd, &rect);
    Fill(mirror, 8, 8, 16);
    const HPALETTE hPalette = mirror.GetPalette();
    std::vector<Byte> rgb(768);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<Byte>(i % 3 == 0 ? 255 : 0); // all red

    HighColorMirrorGdiLog::Start();
    WindowMirror& base = mirror;
    base.SetPalette(rgb.data());
    HighColorMirrorGdiLog::Stop();
    EXPECT_TRUE(HighColorMirrorGdiLog::Calls().empty());
    EXPECT_EQ(hPalette, mirror.GetPalette());
    const uint16_t* pPixels = static_cast<const uint16_t*>(mirror.GetPixels());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(Pattern(x, y), pPixels[y * 8 + x]);
}

// ---------------------------------------------------------------- lifecycle

TEST_F(HighColorMirrorTest, DestroyReleasesPaletteThenSurfaceAndLeavesItEmpty)
{
    RECT rect = {0, 0, 32, 32};
    HighColorMirror mirror(m_hWnd, &rect);
    const uintptr_t hPalette = Value(mirror.GetPalette());
    const uintptr_t hMemDC = Value(mirror.GetMemoryDC());
    HighColorMirrorGdiLog::Start();
    WindowMirror& base = mirror;
    base.Destroy(); // virtual: the variant's
    HighColorMirrorGdiLog::Stop();

    ASSERT_EQ(Names({"DeleteObject", "SelectObject", "DeleteObject", "DeleteDC"}),
              HighColorMirrorGdiLog::Names());
    const std::vector<GdiCall>& calls = HighColorMirrorGdiLog::Calls();
    EXPECT_EQ(std::vector<uintptr_t>({hPalette}), calls[0].args);
    // The DIB leaves the DC before it is deleted.
    EXPECT_EQ(hMemDC, calls[1].args[0]);
    EXPECT_EQ(calls[1].result, calls[2].args[0]);
    EXPECT_EQ(std::vector<uintptr_t>({hMemDC}), calls[3].args);

    EXPECT_EQ(nullptr, mirror.GetPalette());
    EXPECT_EQ(nullptr, mirror.GetMemoryDC());
    EXPECT_EQ(nullptr, mirror.GetPixels());

    HighColorMirrorGdiLog::Start();
    base.Destroy();
    HighColorMirrorGdiLog::Stop();
    EXPECT_TRUE(HighColorMirrorGdiLog::Calls().empty());
}

TEST_F(HighColorMirrorTest, RecreateBuildsTheSurfaceAnewForTheNewRectangle)
{
    RECT rect = {0, 0, 32, 32};
    HighColorMirror mirror(m_hWnd, &rect);
    RECT larger = {5, 6, 5 + 201, 6 + 50};
    HighColorMirrorGdiLog::Start();
    mirror.Recreate(&larger);
    HighColorMirrorGdiLog::Stop();
    ASSERT_EQ(Names({"DeleteObject", "SelectObject", "DeleteObject", "DeleteDC",
                     "CreateCompatibleDC", "CreateDIBSection", "SelectObject", "CreatePalette",
                     "GetDC", "SelectPalette", "RealizePalette", "UpdateColors", "ReleaseDC"}),
              HighColorMirrorGdiLog::Names());
    EXPECT_EQ(m_hWnd, mirror.GetWindow());
    EXPECT_EQ(204, mirror.GetBitmapInfo()->bmiHeader.biWidth);
    EXPECT_EQ(-50, mirror.GetBitmapInfo()->bmiHeader.biHeight);
    EXPECT_EQ(5, mirror.GetRect().left);
    EXPECT_EQ(56, mirror.GetRect().bottom);
    ASSERT_NE(nullptr, mirror.GetPixels());
    // The new surface is writable over its whole size.
    Fill(mirror, 204, 50, 408);

    // Recreating from its own rectangle keeps it.
    mirror.Recreate(&mirror.GetRect());
    EXPECT_EQ(5, mirror.GetRect().left);
    EXPECT_EQ(204, mirror.GetBitmapInfo()->bmiHeader.biWidth);
}

TEST_F(HighColorMirrorTest, WithNoRectangleItCoversTheClientArea)
{
    HighColorMirror mirror(m_hWnd);
    EXPECT_EQ(0, mirror.GetRect().left);
    EXPECT_EQ(0, mirror.GetRect().top);
    EXPECT_EQ(800, mirror.GetRect().right);
    EXPECT_EQ(600, mirror.GetRect().bottom);
    EXPECT_EQ(800, mirror.GetBitmapInfo()->bmiHeader.biWidth);
    EXPECT_EQ(-600, mirror.GetBitmapInfo()->bmiHeader.biHeight);
}

TEST_F(HighColorMirrorTest, DeletingItReleasesEverything)
{
    RECT rect = {0, 0, 32, 32};
    HighColorMirror* pMirror = new HighColorMirror(m_hWnd, &rect);
    HighColorMirrorGdiLog::Start();
    delete pMirror;
    HighColorMirrorGdiLog::Stop();
    EXPECT_EQ(Names({"DeleteObject", "SelectObject", "DeleteObject", "DeleteDC"}),
              HighColorMirrorGdiLog::Names());
}
} // namespace
