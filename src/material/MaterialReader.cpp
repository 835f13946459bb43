#include "MaterialReader.h"

#include <cctype>

Int32 MaterialReader::ReadColour(UInt32& nColour)
{
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;
    // A file that ends early or whose first item does not match is rejected:
    // the integers would otherwise be values that were never read.
    if (std::fscanf(m_pFile, "%i, %i, %i, %i\n", &a, &b, &c, &d) != 4)
        return 0;
    nColour = PackColour(a, b, c, d);
    return 1;
}

Int32 MaterialReader::ReadWord(char (&achWord)[kMaxWord + 1])
{
    static_assert(kMaxWord == 259, "the conversion width below must match the buffer");
    if (std::fscanf(m_pFile, "%259s", achWord) != 1)
        return 0;
    // The conversion stops at white space, at the end of the file, or at its
    // width. Only the last leaves a non-blank character behind: the word did
    // not fit, and a cut-down word would name something else.
    const int ch = std::fgetc(m_pFile);
    if (ch != EOF && !std::isspace(ch))
        return 0;
    return 1;
}

UInt32 MaterialReader::PackColour(Int32 a, Int32 b, Int32 c, Int32 d)
{
    // Unsigned arithmetic: out-of-range channels wrap into their neighbours
    // exactly as 32-bit integer sums do, without undefined signed overflow.
    return (UInt32(a) << 24) + (UInt32(b) << 16) + (UInt32(c) << 8) + UInt32(d);
}
