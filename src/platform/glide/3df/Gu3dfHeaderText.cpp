// Gu3dfHeaderText.cpp - scanning and checking the text header of a .3df file.
#include "Gu3dfHeaderText.h"

#include "Gu3dfFormat.h"

namespace
{
// Glide's header pattern (glide-reference.md §8.2); %s and %i take the fields in this order.
const char s_achPattern[] = "3df v%s %s lod range: %i %i aspect ratio: %i %i";

// Large enough for any valid field and far below overflow: a saturated value is simply invalid.
const long kSaturated = 1L << 30;

int IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

const char* SkipBlanks(const char* pch)
{
    while (IsBlank(*pch))
    {
        ++pch;
    }
    return pch;
}

// %s: one word of non-blank characters. A word that does not fit is refused; no valid header
// has one.
const char* ScanWord(const char* pch, char* pchWord, int nCapacity)
{
    pch = SkipBlanks(pch);
    int nLength = 0;
    while (*pch != '\0' && !IsBlank(*pch))
    {
        if (nLength + 1 >= nCapacity)
        {
            return nullptr;
        }
        pchWord[nLength++] = *pch++;
    }
    pchWord[nLength] = '\0';
    return nLength > 0 ? pch : nullptr;
}

int DigitValue(char ch)
{
    if (ch >= '0' && ch <= '9')
    {
        return ch - '0';
    }
    if (ch >= 'a' && ch <= 'f')
    {
        return ch - 'a' + 10;
    }
    return (ch >= 'A' && ch <= 'F') ? ch - 'A' + 10 : 99;
}

int BaseOf(const char** ppch)
{
    const char* pch = *ppch;
    if (pch[0] == '0' && (pch[1] == 'x' || pch[1] == 'X') && DigitValue(pch[2]) < 16)
    {
        *ppch = pch + 2;
        return 16;
    }
    return pch[0] == '0' ? 8 : 10;
}

// %i: optional sign, then digits in the base the prefix selects; at least one digit.
const char* ScanInteger(const char* pch, long* pnValue)
{
    pch = SkipBlanks(pch);
    const int bNegative = *pch == '-';
    if (*pch == '-' || *pch == '+')
    {
        ++pch;
    }
    const int nBase = BaseOf(&pch);
    if (DigitValue(*pch) >= nBase)
    {
        return nullptr;
    }
    long nValue = 0;
    while (DigitValue(*pch) < nBase)
    {
        nValue = nValue * nBase + DigitValue(*pch++);
        nValue = nValue > kSaturated ? kSaturated : nValue;
    }
    *pnValue = bNegative ? -nValue : nValue;
    return pch;
}
} // namespace

int Gu3dfHeaderText::Scan(const char* pchText, Gu3dfHeaderFields* pFields)
{
    char* apchWords[2] = {pFields->achVersion, pFields->achFormat};
    long* apnIntegers[4] = {&pFields->nSmallSide, &pFields->nLargeSide, &pFields->nAspectWidth,
                            &pFields->nAspectHeight};
    int nWords = 0;
    int nIntegers = 0;
    const char* pch = pchText;
    for (const char* pchPattern = s_achPattern; *pchPattern != '\0' && pch != nullptr; ++pchPattern)
    {
        if (pchPattern[0] == '%')
        {
            ++pchPattern;
            pch = *pchPattern == 's'
                      ? ScanWord(pch, apchWords[nWords++], Gu3dfHeaderFields::kMaxWord)
                      : ScanInteger(pch, apnIntegers[nIntegers++]);
        }
        else if (IsBlank(*pchPattern))
        {
            pch = SkipBlanks(pch);
        }
        else
        {
            pch = *pch == *pchPattern ? pch + 1 : nullptr;
        }
    }
    return pch != nullptr;
}

int Gu3dfHeaderText::Check(const Gu3dfHeaderFields& fields, Gu3dfHeader* pHeader)
{
    GrTextureFormat_t format = 0;
    GrAspectRatio_t aspect = 0;
    GrLOD_t smallLod = 0;
    GrLOD_t largeLod = 0;
    // The lod sides are checked although Glide did not check them: with any other value it left
    // the GrLOD_t fields unassigned. GR_LOD_1 is 8 and GR_LOD_256 is 0, so "small side not above
    // the large one" is smallLod >= largeLod.
    if (!Gu3dfFormat::FormatFromToken(fields.achFormat, &format) ||
        !Gu3dfFormat::AspectFromPair(fields.nAspectWidth, fields.nAspectHeight, &aspect) ||
        !Gu3dfFormat::LodFromSide(fields.nSmallSide, &smallLod) ||
        !Gu3dfFormat::LodFromSide(fields.nLargeSide, &largeLod) || smallLod < largeLod)
    {
        return 0;
    }
    FxU32 nWidth = 0;
    FxU32 nHeight = 0;
    Gu3dfFormat::LevelSize(largeLod, aspect, &nWidth, &nHeight);
    pHeader->width = nWidth;
    pHeader->height = nHeight;
    pHeader->small_lod = smallLod;
    pHeader->large_lod = largeLod;
    pHeader->aspect_ratio = aspect;
    pHeader->format = format;
    return 1;
}
