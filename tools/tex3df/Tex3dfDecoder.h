// Tex3dfDecoder: the levels of a .3df file as pictures.
//
// The file is read exactly as the engine reads it, through gu3dfGetInfo and gu3dfLoad, and every
// level is expanded to 8-bit ARGB by the device's TexelDecoder (with the file's NCC table or
// palette), so the pictures show what the software Glide would draw. Runs once per conversion.
#pragma once

#include <glide.h>
#include <string>
#include <vector>

#include "ArgbImage.h"

class Tex3dfDecoder
{
  public:
    // Fills pLevels (largest first) and *pHeader. Returns 0 and a message for a file the loader
    // refuses.
    static int Decode(const char* pchPath, std::vector<ArgbImage>* pLevels, Gu3dfHeader* pHeader,
                      std::string* pError);
};
