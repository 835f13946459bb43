// MaterialReader: reads the items of a material file with fscanf, one at a
// time, and says when an item is missing, malformed or too long.
//
// Owner: a local of Material::Load; it borrows the open FILE and never
// closes it. Runs during Renderer::Start, never per frame.
#pragma once

#include <cstdio>

#include "Types.h"

class MaterialReader
{
  public:
    // The longest word an item may hold (the 260-byte buffer less its zero).
    enum
    {
        kMaxWord = 259
    };

    explicit MaterialReader(std::FILE* pFile) : m_pFile(pFile) {}

    // Item 1, "%i, %i, %i, %i": four integers, a comma right after each of
    // the first three. Returns 1 and the packed colour when all four
    // matched, 0 otherwise (nColour untouched).
    Int32 ReadColour(UInt32& nColour);

    // One word: a run of characters other than white space. achWord
    // receives it with its zero. Returns 0 at the end of the file and for a
    // word longer than kMaxWord characters; such a word is never cut short
    // into a different one.
    Int32 ReadWord(char (&achWord)[kMaxWord + 1]);

    // (a << 24) + (b << 16) + (c << 8) + d in 32-bit wrap-around arithmetic,
    // with no masking: red, green, blue, alpha when each is 0 to 255.
    static UInt32 PackColour(Int32 a, Int32 b, Int32 c, Int32 d);

  private:
    std::FILE* m_pFile;
};
