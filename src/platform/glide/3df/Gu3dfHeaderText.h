// Gu3dfHeaderText.h - the four text lines at the start of a .3df file, scanned and checked
// (glide-reference.md §8.1, §8.2).
//
// Scan matches the text against Glide's own pattern
//     "3df v%s %s lod range: %i %i aspect ratio: %i %i"
// with the rules of the C library's scanf, which Glide used: a blank in the pattern matches any
// run of white space (also none), %s takes one word, %i takes an integer in decimal, or in hex
// after "0x" or octal after "0" (so "lod range: 0x1 0x100" is a valid header, as it was for
// Glide). Check then turns the six fields into a Gu3dfHeader, refusing what Glide let through
// unchecked: lod sides that are not powers of two in 1..256, a range whose small side exceeds
// the large one.
//
// Used by Gu3dfReader once per gu3dfGetInfo/gu3dfLoad; not per frame.
#pragma once

#include <glide.h>

struct Gu3dfHeaderFields
{
    enum
    {
        kMaxWord = 32 // longer words are no known version or format
    };
    char achVersion[kMaxWord];
    char achFormat[kMaxWord];
    long nSmallSide;
    long nLargeSide;
    long nAspectWidth;
    long nAspectHeight;
};

class Gu3dfHeaderText
{
  public:
    // Scans a NUL-terminated header text. Returns 0 unless all six fields matched.
    static int Scan(const char* pchText, Gu3dfHeaderFields* pFields);
    // Fills width, height, small_lod, large_lod, aspect_ratio and format. Returns 0 for an unknown
    // format word, an aspect pair that is none of the seven, or a bad lod range.
    static int Check(const Gu3dfHeaderFields& fields, Gu3dfHeader* pHeader);
};
