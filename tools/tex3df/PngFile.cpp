// PngFile: libpng's simplified read and write (png_image), converted to and from 0xAARRGGBB.
#include "PngFile.h"

#include <cstring>
#include <png.h>
#include <vector>

int PngFile::Read(const char* pchPath, ArgbImage* pImage, std::string* pError)
{
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, pchPath))
    {
        *pError = std::string("cannot read PNG '") + pchPath + "': " + image.message;
        return 0;
    }
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide)
    {
        *pError = std::string("'") + pchPath + "' is " + std::to_string(image.width) + "x" +
                  std::to_string(image.height) + "; pictures up to " + std::to_string(kMaxSide) +
                  " pixels a side are accepted";
        png_image_free(&image);
        return 0;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> abPixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, abPixels.data(), 0, nullptr))
    {
        *pError = std::string("cannot decode PNG '") + pchPath + "': " + image.message;
        png_image_free(&image);
        return 0;
    }
    *pImage = ArgbImage(Int32(image.width), Int32(image.height));
    std::vector<UInt32>& anPixels = pImage->Pixels();
    for (size_t i = 0; i < anPixels.size(); ++i)
    {
        const png_byte* pb = abPixels.data() + 4 * i;
        anPixels[i] = (UInt32(pb[3]) << 24) | (UInt32(pb[0]) << 16) | (UInt32(pb[1]) << 8) | pb[2];
    }
    return 1;
}

int PngFile::Write(const char* pchPath, const ArgbImage& image, std::string* pError)
{
    std::vector<png_byte> abPixels(image.Pixels().size() * 4);
    for (size_t i = 0; i < image.Pixels().size(); ++i)
    {
        const UInt32 nArgb = image.Pixels()[i];
        abPixels[4 * i + 0] = png_byte(nArgb >> 16);
        abPixels[4 * i + 1] = png_byte(nArgb >> 8);
        abPixels[4 * i + 2] = png_byte(nArgb);
        abPixels[4 * i + 3] = png_byte(nArgb >> 24);
    }
    png_image png;
    std::memset(&png, 0, sizeof(png));
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.Width());
    png.height = png_uint_32(image.Height());
    png.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&png, pchPath, 0, abPixels.data(), 0, nullptr))
    {
        *pError = std::string("cannot write PNG '") + pchPath + "': " + png.message;
        png_image_free(&png);
        return 0;
    }
    return 1;
}
