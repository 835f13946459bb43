#include "PngFile.h"

#include <png.h>

#include <cstdio>

void RgbImage::Resize(Int32 nWidth, Int32 nHeight)
{
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_abyPixels.assign((size_t)nWidth * (size_t)nHeight * 3, 0);
}

namespace
{
// libpng reports errors through longjmp; the jump lands in the function that
// called setjmp, which then closes the file and reports failure.
struct FileCloser
{
    FILE* m_pFile;
    ~FileCloser()
    {
        if (m_pFile != nullptr)
            fclose(m_pFile);
    }
};

Int32 WriteRows(FILE* pFile, const RgbImage& rImage, std::string& rError)
{
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = pPng != nullptr ? png_create_info_struct(pPng) : nullptr;
    if (pInfo == nullptr)
    {
        png_destroy_write_struct(&pPng, nullptr);
        rError = "out of memory";
        return 0;
    }
    if (setjmp(png_jmpbuf(pPng)))
    {
        png_destroy_write_struct(&pPng, &pInfo);
        rError = "libpng could not write the picture";
        return 0;
    }
    png_init_io(pPng, pFile);
    png_set_IHDR(pPng, pInfo, (png_uint_32)rImage.m_nWidth, (png_uint_32)rImage.m_nHeight, 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(pPng, pInfo);
    for (Int32 y = 0; y < rImage.m_nHeight; y++)
        png_write_row(pPng, rImage.Pixel(0, y));
    png_write_end(pPng, pInfo);
    png_destroy_write_struct(&pPng, &pInfo);
    return 1;
}

Int32 ReadRows(FILE* pFile, RgbImage& rImage, std::string& rError)
{
    png_structp pPng = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = pPng != nullptr ? png_create_info_struct(pPng) : nullptr;
    if (pInfo == nullptr)
    {
        png_destroy_read_struct(&pPng, nullptr, nullptr);
        rError = "out of memory";
        return 0;
    }
    if (setjmp(png_jmpbuf(pPng)))
    {
        png_destroy_read_struct(&pPng, &pInfo, nullptr);
        rError = "not a readable PNG file";
        return 0;
    }
    png_init_io(pPng, pFile);
    png_read_info(pPng, pInfo);
    const png_uint_32 uWidth = png_get_image_width(pPng, pInfo);
    const png_uint_32 uHeight = png_get_image_height(pPng, pInfo);
    if (png_get_color_type(pPng, pInfo) != PNG_COLOR_TYPE_RGB ||
        png_get_bit_depth(pPng, pInfo) != 8 || uWidth == 0 || uHeight == 0 || uWidth > 16384 ||
        uHeight > 16384)
    {
        png_destroy_read_struct(&pPng, &pInfo, nullptr);
        rError = "not an 8-bit RGB picture of a sensible size";
        return 0;
    }
    rImage.Resize((Int32)uWidth, (Int32)uHeight);
    for (Int32 y = 0; y < rImage.m_nHeight; y++)
        png_read_row(pPng, rImage.Pixel(0, y), nullptr);
    png_read_end(pPng, nullptr);
    png_destroy_read_struct(&pPng, &pInfo, nullptr);
    return 1;
}
} // namespace

Int32 WritePng(const std::string& rPath, const RgbImage& rImage, std::string& rError)
{
    FileCloser file = {fopen(rPath.c_str(), "wb")};
    if (file.m_pFile == nullptr)
    {
        rError = "cannot create " + rPath;
        return 0;
    }
    if (!WriteRows(file.m_pFile, rImage, rError))
        return 0;
    FILE* pFile = file.m_pFile;
    file.m_pFile = nullptr;
    if (fclose(pFile) != 0)
    {
        rError = "cannot finish writing " + rPath;
        return 0;
    }
    return 1;
}

Int32 ReadPng(const std::string& rPath, RgbImage& rImage, std::string& rError)
{
    FileCloser file = {fopen(rPath.c_str(), "rb")};
    if (file.m_pFile == nullptr)
    {
        rError = "cannot open " + rPath;
        return 0;
    }
    if (!ReadRows(file.m_pFile, rImage, rError))
    {
        rError = rPath + ": " + rError;
        return 0;
    }
    return 1;
}
