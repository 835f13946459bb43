// GDI: DIB section layouts, device contexts and selection, BitBlt, StretchDIBits, PatBlt and
// FillRect, read back from the window's picture; palettes accepted.
#include "StandInFixture.h"

#include <cstring>

namespace
{

// 5-6-5 to 8-8-8 by repeating the top bits, written out independently of the stand-in.
uint32_t Widen565(uint16_t uPixel)
{
    uint32_t r = uPixel >> 11, g = (uPixel >> 5) & 63, b = uPixel & 31;
    return (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

struct Info565
{
    BITMAPINFOHEADER header;
    DWORD adwMasks[3];
};

Info565 Header565(int nWidth, int nHeight)
{
    Info565 info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = nWidth;
    info.header.biHeight = nHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = 16;
    info.header.biCompression = BI_BITFIELDS;
    info.adwMasks[0] = 0xF800;
    info.adwMasks[1] = 0x07E0;
    info.adwMasks[2] = 0x001F;
    return info;
}

BITMAPINFO Header32(int nWidth, int nHeight)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

class GdiTest : public StandInTest
{
  protected:
    std::vector<uint32_t> Picture(HWND hWnd)
    {
        std::vector<uint32_t> pixels;
        int nWidth = 0, nHeight = 0;
        EXPECT_TRUE(StandIn_ReadWindowPixels(hWnd, pixels, nWidth, nHeight));
        m_nWidth = nWidth;
        return pixels;
    }
    uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) const
    {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) +
                      static_cast<size_t>(x)];
    }

    // A memory DC with a DIB section selected.
    HDC MemoryWith(const BITMAPINFO* pInfo, void** ppBits, HBITMAP* phBitmap = nullptr)
    {
        HDC hMemory = CreateCompatibleDC(nullptr);
        HBITMAP hBitmap = CreateDIBSection(hMemory, pInfo, DIB_RGB_COLORS, ppBits, nullptr, 0);
        EXPECT_NE(hBitmap, nullptr);
        EXPECT_NE(SelectObject(hMemory, hBitmap), nullptr);
        if (phBitmap)
            *phBitmap = hBitmap;
        return hMemory;
    }

    int m_nWidth = 0;
};

TEST_F(GdiTest, HighColourTopDownDibSectionHasWordAlignedRowsOfRealMemory)
{
    Info565 info = Header565(640, -480);
    void* pBits = reinterpret_cast<void*>(1);
    HBITMAP hBitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                       DIB_RGB_COLORS, &pBits, nullptr, 0);
    ASSERT_NE(hBitmap, nullptr);
    ASSERT_NE(pBits, nullptr);
    BITMAP bitmap = {};
    ASSERT_EQ(GetObjectA(hBitmap, sizeof(bitmap), &bitmap), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bitmap.bmWidth, 640);
    EXPECT_EQ(bitmap.bmHeight, 480);
    EXPECT_EQ(bitmap.bmWidthBytes, 1280);
    EXPECT_EQ(bitmap.bmBitsPixel, 16);
    EXPECT_EQ(bitmap.bmBits, pBits);
    const uint8_t* pBytes = static_cast<const uint8_t*>(pBits);
    for (size_t i = 0; i < 1280u * 480u; i += 997)
        ASSERT_EQ(pBytes[i], 0) << "zeroed at " << i;
    memset(pBits, 0xAB, 1280u * 480u); // every byte is the program's to write
    EXPECT_TRUE(DeleteObject(hBitmap));
}

TEST_F(GdiTest, OddWidthsPadRowsToWholeWords)
{
    struct Case
    {
        int nWidth, nBits, nStride;
    } aCases[] = {{643, 16, 1288}, {644, 16, 1288}, {1, 16, 4},
                  {3, 24, 12},     {5, 32, 20},     {5, 8, 8}};
    for (const Case& c : aCases)
    {
        std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
        BITMAPINFOHEADER* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
        pHeader->biSize = 40;
        pHeader->biWidth = c.nWidth;
        pHeader->biHeight = 2;
        pHeader->biPlanes = 1;
        pHeader->biBitCount = static_cast<WORD>(c.nBits);
        void* pBits = nullptr;
        HBITMAP hBitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()),
                                           DIB_RGB_COLORS, &pBits, nullptr, 0);
        ASSERT_NE(hBitmap, nullptr) << c.nWidth << " x " << c.nBits;
        BITMAP bitmap = {};
        GetObjectA(hBitmap, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidthBytes, c.nStride) << c.nWidth << " x " << c.nBits;
    }
}

TEST_F(GdiTest, BrokenHeadersAreRefused)
{
    struct Case
    {
        const char* pszWhat;
        void (*pfnBreak)(Info565&);
    } aCases[] = {
        {"zero width", [](Info565& i) { i.header.biWidth = 0; }},
        {"zero height", [](Info565& i) { i.header.biHeight = 0; }},
        {"huge width", [](Info565& i) { i.header.biWidth = 100000; }},
        {"negative width", [](Info565& i) { i.header.biWidth = -4; }},
        {"12 bits", [](Info565& i) { i.header.biBitCount = 12; }},
        {"two planes", [](Info565& i) { i.header.biPlanes = 2; }},
        {"short header", [](Info565& i) { i.header.biSize = 12; }},
        {"overlapping masks", [](Info565& i) { i.adwMasks[1] = 0xFC00; }},
        {"mask with a hole", [](Info565& i) { i.adwMasks[2] = 0x0015; }},
        {"empty mask", [](Info565& i) { i.adwMasks[0] = 0; }},
        {"RLE", [](Info565& i) { i.header.biCompression = BI_RLE8; }},
    };
    for (const Case& c : aCases)
    {
        Info565 info = Header565(4, 4);
        c.pfnBreak(info);
        void* pBits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                   &pBits, nullptr, 0),
                  nullptr)
            << c.pszWhat;
        EXPECT_EQ(pBits, nullptr) << c.pszWhat;
    }
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST_F(GdiTest, BitBltShowsHighColourPixelsInTheWindow)
{
    HWND hWnd = CreateRecordedWindow(16, 4);
    Info565 info = Header565(8, -1);
    void* pBits = nullptr;
    HDC hMemory = MemoryWith(reinterpret_cast<BITMAPINFO*>(&info), &pBits);
    const uint16_t auSource[8] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410, 0x0841, 0x7BEF};
    memcpy(pBits, auSource, sizeof(auSource));
    HDC hWindow = GetDC(hWnd);
    ASSERT_TRUE(BitBlt(hWindow, 0, 0, 8, 1, hMemory, 0, 0, SRCCOPY));
    ReleaseDC(hWnd, hWindow);
    std::vector<uint32_t> pixels = Picture(hWnd);
    // Hand-worked: full channels stay full; 0x8410 is r 16, g 32, b 16.
    const uint32_t auExpected[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF,
                                    0x000000, 0x848284, 0x080808, 0x7B7D7B};
    for (int x = 0; x < 8; ++x)
    {
        EXPECT_EQ(At(pixels, x, 0), auExpected[x]) << "x " << x;
        EXPECT_EQ(At(pixels, x, 0), Widen565(auSource[x])) << "x " << x;
    }
    EXPECT_EQ(At(pixels, 8, 0), 0u) << "outside the blit";
}

TEST_F(GdiTest, BitBltCopiesTheUnroundedWidthAtTheGivenPlace)
{
    HWND hWnd = CreateRecordedWindow(700, 40);
    Info565 info = Header565(644, -2);
    void* pBits = nullptr;
    HDC hMemory = MemoryWith(reinterpret_cast<BITMAPINFO*>(&info), &pBits);
    uint16_t* puPixels = static_cast<uint16_t*>(pBits);
    std::fill(puPixels, puPixels + 644 * 2, 0xFFFF);
    puPixels[644] = 0xF800; // row 1, column 0
    HDC hWindow = GetDC(hWnd);
    BitBlt(hWindow, 0, 0, 643, 2, hMemory, 0, 0, SRCCOPY);
    BitBlt(hWindow, 10, 20, 2, 2, hMemory, 0, 0, SRCCOPY);
    ReleaseDC(hWnd, hWindow);
    std::vector<uint32_t> pixels = Picture(hWnd);
    EXPECT_EQ(At(pixels, 642, 0), 0xFFFFFFu);
    EXPECT_EQ(At(pixels, 643, 0), 0u) << "the padding column is not copied";
    EXPECT_EQ(At(pixels, 0, 1), 0xFF0000u) << "rows are top-down";
    EXPECT_EQ(At(pixels, 10, 21), 0xFF0000u);
    EXPECT_EQ(At(pixels, 10, 20), 0xFFFFFFu);
    EXPECT_EQ(At(pixels, 9, 20), 0u);
}

TEST_F(GdiTest, BottomUpSectionsStoreTheBottomRowFirst)
{
    HWND hWnd = CreateRecordedWindow(4, 2);
    BITMAPINFO info = Header32(2, 2);
    void* pBits = nullptr;
    HDC hMemory = MemoryWith(&info, &pBits);
    uint32_t* puPixels = static_cast<uint32_t*>(pBits);
    puPixels[0] = 0x000011; // first row in memory: the bottom row
    puPixels[2] = 0x000022; // second row in memory: the top row
    HDC hWindow = GetDC(hWnd);
    BitBlt(hWindow, 0, 0, 2, 2, hMemory, 0, 0, SRCCOPY);
    ReleaseDC(hWnd, hWindow);
    std::vector<uint32_t> pixels = Picture(hWnd);
    EXPECT_EQ(At(pixels, 0, 0), 0x000022u);
    EXPECT_EQ(At(pixels, 0, 1), 0x000011u);
}

TEST_F(GdiTest, BlitsAreClippedToBothSurfaces)
{
    HWND hWnd = CreateRecordedWindow(10, 10);
    BITMAPINFO info = Header32(4, -4);
    void* pBits = nullptr;
    HDC hMemory = MemoryWith(&info, &pBits);
    std::fill(static_cast<uint32_t*>(pBits), static_cast<uint32_t*>(pBits) + 16, 0x123456u);
    HDC hWindow = GetDC(hWnd);
    EXPECT_TRUE(BitBlt(hWindow, 8, 8, 5, 5, hMemory, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(hWindow, -2, -2, 4, 4, hMemory, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(hWindow, 0, 5, 4, 4, hMemory, 2, 2, SRCCOPY)); // source runs out after 2
    ReleaseDC(hWnd, hWindow);
    std::vector<uint32_t> pixels = Picture(hWnd);
    EXPECT_EQ(At(pixels, 9, 9), 0x123456u);
    EXPECT_EQ(At(pixels, 7, 9), 0u);
    EXPECT_EQ(At(pixels, 1, 1), 0x123456u);
    EXPECT_EQ(At(pixels, 2, 2), 0u);
    EXPECT_EQ(At(pixels, 1, 6), 0x123456u);
    EXPECT_EQ(At(pixels, 2, 6), 0u);
    EXPECT_EQ(At(pixels, 0, 7), 0u);
}

TEST_F(GdiTest, StretchDIBitsScalesByTheNearestSourcePixel)
{
    HWND hWnd = CreateRecordedWindow(8, 8);
    BITMAPINFO info = Header32(2, -2);
    const uint32_t auSource[4] = {0xA, 0xB, 0xC, 0xD};
    HDC hWindow = GetDC(hWnd);
    EXPECT_EQ(
        StretchDIBits(hWindow, 1, 1, 4, 4, 0, 0, 2, 2, auSource, &info, DIB_RGB_COLORS, SRCCOPY),
        2);
    ReleaseDC(hWnd, hWindow);
    std::vector<uint32_t> pixels = Picture(hWnd);
    const uint32_t auRows[4][4] = {
        {0xA, 0xA, 0xB, 0xB}, {0xA, 0xA, 0xB, 0xB}, {0xC, 0xC, 0xD, 0xD}, {0xC, 0xC, 0xD, 0xD}};
    for (int y = 0; y < 4; ++y)
    {
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(pixels, 1 + x, 1 + y), auRows[y][x]) << x << "," << y;
    }
    EXPECT_EQ(At(pixels, 0, 0), 0u);
    EXPECT_EQ(At(pixels, 5, 5), 0u);
}

TEST_F(GdiTest, StretchDIBitsShrinksToTheSourcePixelUnderEachCentre)
{
    HWND hWnd = CreateRecordedWindow(4, 1);
    BITMAPINFO info = Header32(4, -1);
    const uint32_t auSource[4] = {10, 11, 12, 13};
    HDC hWindow = GetDC(hWnd);
    StretchDIBits(hWindow, 0, 0, 2, 1, 0, 0, 4, 1, auSource, &info, DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(hWnd, hWindow);
    std::vector<uint32_t> pixels = Picture(hWnd);
    EXPECT_EQ(At(pixels, 0, 0), 11u); // centre of destination pixel 0 lies over source pixel 1
    EXPECT_EQ(At(pixels, 1, 0), 13u);
}

TEST_F(GdiTest, StretchDIBitsFillsAScreenFromAHighColourFrame)
{
    HWND hWnd = CreateRecordedWindow(1024, 768);
    Info565 info = Header565(640, -480);
    std::vector<uint16_t> frame(640 * 480);
    for (int y = 0; y < 480; ++y)
    {
        for (int x = 0; x < 640; ++x)
            frame[static_cast<size_t>(y * 640 + x)] = static_cast<uint16_t>(x * 7 + y * 131);
    }
    HDC hWindow = GetDC(hWnd);
    EXPECT_EQ(StretchDIBits(hWindow, 0, 0, 1024, 768, 0, 0, 640, 480, frame.data(),
                            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY),
              480);
    ReleaseDC(hWnd, hWindow);
    std::vector<uint32_t> pixels = Picture(hWnd);
    // Destination -> source, worked out by hand from floor((2i + 1) * 640 / 2048) and the
    // same for rows: 0 -> 0, 512 -> 320, 1023 -> 639; 0 -> 0, 384 -> 240, 767 -> 479.
    struct Point
    {
        int xd, yd, xs, ys;
    } aPoints[] = {
        {0, 0, 0, 0}, {512, 384, 320, 240}, {1023, 767, 639, 479}, {1, 1, 0, 0}, {2, 2, 1, 1}};
    for (const Point& p : aPoints)
    {
        uint16_t uSource = frame[static_cast<size_t>(p.ys * 640 + p.xs)];
        EXPECT_EQ(At(pixels, p.xd, p.yd), Widen565(uSource)) << p.xd << "," << p.yd;
    }
}

TEST_F(GdiTest, StretchDIBitsReadsBottomUpSourcesFromTheBottomAndMirrorsOnOppositeSigns)
{
    HWND hWnd = CreateRecordedWindow(4, 4);
    BITMAPINFO info = Header32(2, 2);                  // bottom-up: memory row 0 is the bottom row
    const uint32_t auSource[4] = {0xA, 0xB, 0xC, 0xD}; // bottom: A B, top: C D
    HDC hWindow = GetDC(hWnd);
    StretchDIBits(hWindow, 0, 0, 1, 1, 0, 0, 1, 1, auSource, &info, DIB_RGB_COLORS, SRCCOPY);
    StretchDIBits(hWindow, 0, 2, 2, 2, 0, 0, 2, 2, auSource, &info, DIB_RGB_COLORS, SRCCOPY);
    StretchDIBits(hWindow, 4, 0, -2, 1, 0, 0, 2, 1, auSource, &info, DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(hWnd, hWindow);
    std::vector<uint32_t> pixels = Picture(hWnd);
    EXPECT_EQ(At(pixels, 0, 0), 0xAu) << "source (0,0) is the bottom-left pixel";
    EXPECT_EQ(At(pixels, 0, 2), 0xCu);
    EXPECT_EQ(At(pixels, 1, 2), 0xDu);
    EXPECT_EQ(At(pixels, 0, 3), 0xAu);
    EXPECT_EQ(At(pixels, 2, 0), 0xBu) << "mirrored: the right source pixel lands left";
    EXPECT_EQ(At(pixels, 3, 0), 0xAu);
}

TEST_F(GdiTest, StretchDIBitsRefusesWhatItCannotRead)
{
    HWND hWnd = CreateRecordedWindow(4, 4);
    BITMAPINFO info = Header32(2, 2);
    info.bmiHeader.biBitCount = 15;
    uint32_t auSource[4] = {};
    HDC hWindow = GetDC(hWnd);
    EXPECT_EQ(
        StretchDIBits(hWindow, 0, 0, 2, 2, 0, 0, 2, 2, auSource, &info, DIB_RGB_COLORS, SRCCOPY),
        0);
    info.bmiHeader.biBitCount = 32;
    EXPECT_EQ(
        StretchDIBits(hWindow, 0, 0, 2, 2, 0, 0, 2, 2, nullptr, &info, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(
        StretchDIBits(nullptr, 0, 0, 2, 2, 0, 0, 2, 2, auSource, &info, DIB_RGB_COLORS, SRCCOPY),
        0);
    ReleaseDC(hWnd, hWindow);
}

TEST_F(GdiTest, PatBltAndFillRectPaintSolidColours)
{
    HWND hWnd = CreateRecordedWindow(6, 1);
    HDC hWindow = GetDC(hWnd);
    EXPECT_TRUE(PatBlt(hWindow, 0, 0, 1, 1, WHITENESS));
    RECT rc = {1, 0, 2, 1};
    EXPECT_EQ(FillRect(hWindow, &rc, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))), 1);
    HBRUSH hBrush = CreateSolidBrush(RGB(1, 2, 3));
    rc = {2, 0, 3, 1};
    FillRect(hWindow, &rc, hBrush);
    SelectObject(hWindow, hBrush);
    EXPECT_TRUE(PatBlt(hWindow, 4, 1, 1, -1, PATCOPY)); // negative height: the row above
    PatBlt(hWindow, 0, 0, 1, 1, BLACKNESS);
    EXPECT_FALSE(PatBlt(hWindow, 0, 0, 1, 1, 0x00550009)) << "DSTINVERT is not offered";
    ReleaseDC(hWnd, hWindow);
    std::vector<uint32_t> pixels = Picture(hWnd);
    EXPECT_EQ(At(pixels, 0, 0), 0u);
    EXPECT_EQ(At(pixels, 1, 0), 0x808080u);
    EXPECT_EQ(At(pixels, 2, 0), 0x010203u);
    EXPECT_EQ(At(pixels, 4, 0), 0x010203u);
    EXPECT_EQ(At(pixels, 5, 0), 0u);
}

TEST_F(GdiTest, ShowingAndPaintingErasesWithTheClassBrush)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "WhiteClass";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, "WhiteClass", "", WS_POPUP, 0, 0, 3, 3, nullptr, nullptr,
                                nullptr, nullptr);
    EXPECT_EQ(Picture(hWnd)[4], 0u) << "not painted before it is shown";
    ShowWindow(hWnd, SW_SHOWNORMAL);
    UpdateWindow(hWnd);
    for (uint32_t uPixel : Picture(hWnd))
        EXPECT_EQ(uPixel, 0xFFFFFFu);
}

TEST_F(GdiTest, SelectObjectSwapsAndReturnsWhatWasSelected)
{
    Info565 info = Header565(4, -4);
    HDC hMemory = CreateCompatibleDC(nullptr);
    ASSERT_NE(hMemory, nullptr);
    HBITMAP hBitmap = CreateDIBSection(hMemory, reinterpret_cast<BITMAPINFO*>(&info),
                                       DIB_RGB_COLORS, nullptr, nullptr, 0);
    HGDIOBJ hDefault = SelectObject(hMemory, hBitmap);
    ASSERT_NE(hDefault, nullptr) << "a memory DC starts with a bitmap of its own";
    EXPECT_NE(hDefault, hBitmap);
    HDC hOther = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(hOther, hBitmap), nullptr) << "a bitmap is in one DC at a time";
    EXPECT_FALSE(DeleteObject(hBitmap)) << "still selected";
    EXPECT_EQ(SelectObject(hMemory, hDefault), hBitmap);
    EXPECT_TRUE(DeleteObject(hBitmap));
    EXPECT_FALSE(DeleteObject(hBitmap)) << "already gone";
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH))) << "stock objects survive deletion";
    HWND hWnd = CreateRecordedWindow();
    HDC hWindow = GetDC(hWnd);
    HBITMAP hAnother = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                        DIB_RGB_COLORS, nullptr, nullptr, 0);
    EXPECT_EQ(SelectObject(hWindow, hAnother), nullptr) << "bitmaps go into memory DCs only";
    EXPECT_EQ(ReleaseDC(hWnd, hWindow), 1);
    EXPECT_EQ(ReleaseDC(nullptr, hMemory), 0) << "a memory DC is deleted, not released";
    EXPECT_TRUE(DeleteDC(hMemory));
    EXPECT_TRUE(DeleteDC(hOther));
    EXPECT_FALSE(DeleteDC(hOther));
}

TEST_F(GdiTest, MemoryToMemoryBlitsConvertBetweenLayouts)
{
    BITMAPINFO info32 = Header32(2, -1);
    Info565 info16 = Header565(2, -1);
    void* pBits32 = nullptr;
    void* pBits16 = nullptr;
    HDC hWide = MemoryWith(&info32, &pBits32);
    HDC hNarrow = MemoryWith(reinterpret_cast<BITMAPINFO*>(&info16), &pBits16);
    static_cast<uint32_t*>(pBits32)[0] = 0xFF8040; // r 31, g 32, b 8 once narrowed
    static_cast<uint16_t*>(pBits16)[1] = 0x8410;
    BitBlt(hNarrow, 0, 0, 1, 1, hWide, 0, 0, SRCCOPY);
    BitBlt(hWide, 1, 0, 1, 1, hNarrow, 1, 0, SRCCOPY);
    EXPECT_EQ(static_cast<uint16_t*>(pBits16)[0], 0xFC08);
    EXPECT_EQ(static_cast<uint32_t*>(pBits32)[1], 0x848284u);
}

TEST_F(GdiTest, OverlappingBlitWithinOneBitmapCopiesTheOriginalPixels)
{
    BITMAPINFO info = Header32(4, -1);
    void* pBits = nullptr;
    HDC hMemory = MemoryWith(&info, &pBits);
    uint32_t* puPixels = static_cast<uint32_t*>(pBits);
    for (int i = 0; i < 4; ++i)
        puPixels[i] = static_cast<uint32_t>(i + 1);
    BitBlt(hMemory, 1, 0, 3, 1, hMemory, 0, 0, SRCCOPY);
    EXPECT_EQ(puPixels[0], 1u);
    EXPECT_EQ(puPixels[1], 1u);
    EXPECT_EQ(puPixels[2], 2u);
    EXPECT_EQ(puPixels[3], 3u);
}

TEST_F(GdiTest, PalettesAreAcceptedWithNoVisibleEffect)
{
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    LOGPALETTE* pPalette = reinterpret_cast<LOGPALETTE*>(storage.data());
    pPalette->palVersion = 0x300;
    pPalette->palNumEntries = 256;
    for (int i = 0; i < 256; ++i)
    {
        pPalette->palPalEntry[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i),
                                    static_cast<BYTE>(i), 0};
    }
    HPALETTE hPalette = CreatePalette(pPalette);
    ASSERT_NE(hPalette, nullptr);
    WORD wEntries = 0;
    EXPECT_EQ(GetObjectA(hPalette, sizeof(wEntries), &wEntries), 2);
    EXPECT_EQ(wEntries, 256);
    HDC hScreen = GetDC(nullptr);
    ASSERT_NE(hScreen, nullptr);
    HPALETTE hPrevious = SelectPalette(hScreen, hPalette, FALSE);
    EXPECT_NE(hPrevious, nullptr);
    EXPECT_NE(RealizePalette(hScreen), GDI_ERROR);
    EXPECT_TRUE(UpdateColors(hScreen));
    EXPECT_FALSE(DeleteObject(hPalette)) << "selected into the screen DC";
    EXPECT_EQ(ReleaseDC(nullptr, hScreen), 1);
    EXPECT_TRUE(DeleteObject(hPalette));
    pPalette->palVersion = 0x200;
    EXPECT_EQ(CreatePalette(pPalette), nullptr);
}

TEST_F(GdiTest, DrawingIntoTheScreenOrAGoneWindowShowsNothingAndFailsNothing)
{
    BITMAPINFO info = Header32(2, -2);
    void* pBits = nullptr;
    HDC hMemory = MemoryWith(&info, &pBits);
    HDC hScreen = GetDC(nullptr);
    EXPECT_TRUE(BitBlt(hScreen, 0, 0, 2, 2, hMemory, 0, 0, SRCCOPY));
    ReleaseDC(nullptr, hScreen);
    HWND hWnd = CreateRecordedWindow();
    HDC hWindow = GetDC(hWnd);
    DestroyWindow(hWnd);
    EXPECT_TRUE(BitBlt(hWindow, 0, 0, 2, 2, hMemory, 0, 0, SRCCOPY));
    EXPECT_EQ(ReleaseDC(hWnd, hWindow), 1);
    std::vector<uint32_t> pixels;
    int nWidth = 0, nHeight = 0;
    EXPECT_FALSE(StandIn_ReadWindowPixels(hWnd, pixels, nWidth, nHeight));
    EXPECT_EQ(GetDC(hWnd), nullptr);
}

} // namespace
