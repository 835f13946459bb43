// SString: the engine's string of 8-bit characters, with value semantics.
//
// Each string holds one pointer, m_pchData, to the first character of a
// reference-counted heap buffer: an SStringHeader directly followed by the
// characters and a zero terminator, so m_pchData is a C string at all times.
// Copies share the buffer until one of them writes (copy on write); the count
// changes only through InterlockedIncrement/InterlockedDecrement, so shared
// buffers may be released on different threads. Empty strings share one static
// representation and never allocate. Buffers are made for exactly the size
// asked for: no padding, no growth factor.
//
// A pinned buffer (PinBuffer, m_nRefs -1) belongs to exactly one string and is
// never shared: copies of it copy the characters.
//
// Lengths, capacities, positions and counts are Int32. Where noted they are
// compared as unsigned values, so a negative value counts as very large.
//
// Owner: whoever holds the string; the renderer's start, the material loader
// and the texture loader use it. Nothing here runs per frame.
#pragma once
#include <stdarg.h>
#include "Types.h"

struct SStringHeader
{
    Int32 m_nRefs;        // strings sharing the buffer; -1 pinned or the shared empty
    Int32 m_nLength;      // characters, terminator not counted
    Int32 m_nAllocLength; // capacity, terminator not counted

    char* GetData() { return reinterpret_cast<char*>(this + 1); }
};

#if defined(__GNUC__)
#define SSTRING_PRINTF(nFormat, nFirstArg) __attribute__((format(printf, nFormat, nFirstArg)))
#else
#define SSTRING_PRINTF(nFormat, nFirstArg)
#endif

class SString
{
  public:
    SString();
    SString(const SString& strSrc);
    // The first nLength characters from pch, zero characters among them.
    SString(const char* pch, Int32 nLength);
    // nRepeat copies of ch.
    SString(char ch, Int32 nRepeat);
    ~SString();

    const SString& operator=(const SString& strSrc);
    const SString& operator=(const char* psz); // null counts as empty
    const SString& operator=(char ch);
    const SString& operator+=(const SString& str);
    const SString& operator+=(const char* psz); // null counts as empty
    const SString& operator+=(char ch);

    friend SString operator+(const SString& str1, const SString& str2);
    friend SString operator+(const SString& str, const char* psz);
    friend SString operator+(const char* psz, const SString& str);
    friend SString operator+(const SString& str, char ch);
    friend SString operator+(char ch, const SString& str);

    // The read-only character view, always zero-terminated.
    operator const char*() const { return m_pchData; }
    Int32 GetLength() const { return GetHeader()->m_nLength; }
    Int32 GetAllocLength() const { return GetHeader()->m_nAllocLength; }
    Int32 IsEmpty() const { return GetHeader()->m_nLength == 0; }

    // Substrings; positions and counts beyond the end are cut.
    SString Mid(Int32 nFirst, Int32 nCount) const;
    SString Mid(Int32 nFirst) const;
    SString Left(Int32 nCount) const;
    SString Right(Int32 nCount) const;
    SString LeftWhileIn(const char* pszCharSet) const;
    SString LeftUntilIn(const char* pszCharSet) const;

    // Changes in place. SetAt does not test its position: it must be below
    // the length.
    void SetAt(Int32 nIndex, char ch);
    void ToUpper();
    void ToLower();
    void Reverse();
    void TrimRight();
    void TrimLeft();
    void Trim();
    void Clear();

    // Searches: a position counted from 0, or -1.
    Int32 Find(char ch) const;
    Int32 FindLast(char ch) const;
    Int32 FindAnyOf(const char* pszCharSet) const;
    Int32 Find(const char* pszSub) const;

    // Direct buffer access.
    char* GetWriteBuffer(Int32 nMinBufLength);
    void CommitBuffer(Int32 nNewLength = -1);
    char* ResizeBuffer(Int32 nNewLength);
    void Compact();
    char* PinBuffer();
    void UnpinBuffer();

    // printf-style formatting; replaces the content. The buffer is sized by an
    // estimate walked from the format; a result longer than the estimate is a
    // failed check (the text is never written past the capacity).
    void Format(const char* lpszFormat, ...) SSTRING_PRINTF(2, 3);
    void FormatArgs(const char* lpszFormat, va_list argList) SSTRING_PRINTF(2, 0);

  protected:
    SStringHeader* GetHeader() const { return reinterpret_cast<SStringHeader*>(m_pchData) - 1; }
    int IsSharedEmpty() const;

    void NewBuffer(Int32 nLength);
    void ReleaseData();
    static void ReleaseHeader(SStringHeader* pHeader);
    void MakeUnique();
    void PrepareWrite(Int32 nLength);
    void AssignChars(Int32 nLength, const char* pch);
    void ConcatInto(Int32 nLengthA, const char* pchA, Int32 nLengthB, const char* pchB);
    void AppendChars(Int32 nLength, const char* pch);
    void CopyRangeTo(SString& strDest, Int32 nCount, Int32 nIndex, Int32 nExtra) const;

    char* m_pchData;
};
