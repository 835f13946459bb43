// SString: reference-counted, copy-on-write string. See SString.h.
#include "SString.h"

#include <ctype.h>
#include <limits.h>
#include <new>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include "Shell.h"

static_assert(sizeof(LONG) == sizeof(Int32),
              "reference counts are changed through the Interlocked calls");
static_assert(sizeof(SStringHeader) == 3 * sizeof(Int32),
              "the characters follow the header directly");

namespace
{
// The shared empty representation: a header directly followed by one zero
// character. It lives in writable memory because some operations store into it
// the values it already holds (length 0, the terminator, count -1).
struct SStringEmpty
{
    SStringHeader m_Header;
    char m_chZero;
};
SStringEmpty s_Empty = {{-1, 0, 0}, 0};

char* EmptyData()
{
    return s_Empty.m_Header.GetData();
}

Int32 SafeLength(const char* psz)
{
    return psz != nullptr ? static_cast<Int32>(strlen(psz)) : 0;
}

LONG volatile* RefCount(SStringHeader* pHeader)
{
    return reinterpret_cast<LONG volatile*>(&pHeader->m_nRefs);
}

// The stored text and place of the formatting check, as its box reports them.
const Int32 kFormatCheckId = 7;
const char kFormatCheckExpr[] =
    "vsprintf(m_pchData, lpszFormat, argListSave) <= (Int32)GetAllocLength()";
const char kCheckFile[] = "SString";
const Int32 kFormatCheckLine = 766;
// A buffer that cannot be allocated is reported the same way.
const Int32 kAllocCheckId = 8;
const char kAllocCheckExpr[] = "pHeader != NULL";
} // namespace

// ---- Internal operations ----

int SString::IsSharedEmpty() const
{
    return GetHeader() == &s_Empty.m_Header;
}

void SString::NewBuffer(Int32 nLength)
{
    if (nLength == 0)
    {
        m_pchData = EmptyData();
        return;
    }
    const size_t nBytes =
        sizeof(SStringHeader) + static_cast<size_t>(static_cast<UInt32>(nLength)) + 1;
    void* pMemory = ::operator new(nBytes, std::nothrow);
    if (pMemory == nullptr)
        AssertionFailed(kAllocCheckId, kAllocCheckExpr, kCheckFile, __LINE__);
    SStringHeader* pHeader = static_cast<SStringHeader*>(pMemory);
    pHeader->m_nRefs = 1;
    pHeader->m_nLength = nLength;
    pHeader->m_nAllocLength = nLength;
    m_pchData = pHeader->GetData();
    m_pchData[nLength] = 0;
}

void SString::ReleaseHeader(SStringHeader* pHeader)
{
    if (pHeader == &s_Empty.m_Header)
        return;
    // A pinned buffer goes from -1 to -2 and is freed as well.
    if (InterlockedDecrement(RefCount(pHeader)) <= 0)
        ::operator delete(pHeader);
}

void SString::ReleaseData()
{
    ReleaseHeader(GetHeader());
    m_pchData = EmptyData();
}

void SString::MakeUnique()
{
    if (GetHeader()->m_nRefs <= 1)
        return;
    // The old buffer stays alive through its other references.
    SStringHeader* pOld = GetHeader();
    ReleaseData();
    NewBuffer(pOld->m_nLength);
    memcpy(m_pchData, pOld->GetData(), static_cast<size_t>(pOld->m_nLength) + 1);
}

void SString::PrepareWrite(Int32 nLength)
{
    SStringHeader* pHeader = GetHeader();
    if (pHeader->m_nRefs > 1 ||
        static_cast<UInt32>(nLength) > static_cast<UInt32>(pHeader->m_nAllocLength))
    {
        ReleaseData();
        NewBuffer(nLength);
    }
}

void SString::AssignChars(Int32 nLength, const char* pch)
{
    PrepareWrite(nLength);
    // The source may lie inside this string's own buffer.
    if (nLength != 0)
        memmove(m_pchData, pch, static_cast<size_t>(nLength));
    GetHeader()->m_nLength = nLength;
    m_pchData[nLength] = 0;
}

void SString::ConcatInto(Int32 nLengthA, const char* pchA, Int32 nLengthB, const char* pchB)
{
    const Int32 nTotal = nLengthA + nLengthB;
    if (nTotal == 0)
        return;
    NewBuffer(nTotal);
    if (nLengthA != 0)
        memcpy(m_pchData, pchA, static_cast<size_t>(nLengthA));
    if (nLengthB != 0)
        memcpy(m_pchData + nLengthA, pchB, static_cast<size_t>(nLengthB));
}

void SString::AppendChars(Int32 nLength, const char* pch)
{
    if (nLength == 0)
        return;
    SStringHeader* pHeader = GetHeader();
    const UInt32 uNewLength =
        static_cast<UInt32>(pHeader->m_nLength) + static_cast<UInt32>(nLength);
    if (pHeader->m_nRefs > 1 || uNewLength > static_cast<UInt32>(pHeader->m_nAllocLength))
    {
        // The old buffer is released only after the copy, so appending a
        // string to itself reads intact characters.
        ConcatInto(pHeader->m_nLength, m_pchData, nLength, pch);
        ReleaseHeader(pHeader);
        return;
    }
    memmove(m_pchData + pHeader->m_nLength, pch, static_cast<size_t>(nLength));
    pHeader->m_nLength += nLength;
    m_pchData[pHeader->m_nLength] = 0;
}

void SString::CopyRangeTo(SString& strDest, Int32 nCount, Int32 nIndex, Int32 nExtra) const
{
    const Int32 nNewLength = nCount + nExtra;
    if (nNewLength == 0)
    {
        strDest.m_pchData = EmptyData();
        return;
    }
    strDest.NewBuffer(nNewLength);
    memcpy(strDest.m_pchData, m_pchData + nIndex, static_cast<size_t>(nCount));
}

// ---- Construction and destruction ----

SString::SString() : m_pchData(EmptyData()) {}

SString::SString(const SString& strSrc) : m_pchData(EmptyData())
{
    SStringHeader* pSrc = strSrc.GetHeader();
    if (pSrc->m_nRefs < 0)
    {
        // Pinned (or the shared empty): never shared, the characters are
        // copied up to the first zero.
        *this = strSrc.m_pchData;
        return;
    }
    m_pchData = strSrc.m_pchData;
    InterlockedIncrement(RefCount(pSrc));
}

SString::SString(const char* pch, Int32 nLength) : m_pchData(EmptyData())
{
    if (nLength != 0)
    {
        NewBuffer(nLength);
        memcpy(m_pchData, pch, static_cast<size_t>(nLength));
    }
}

SString::SString(char ch, Int32 nRepeat) : m_pchData(EmptyData())
{
    if (nRepeat != 0)
    {
        NewBuffer(nRepeat);
        memset(m_pchData, ch, static_cast<size_t>(nRepeat));
    }
}

SString::~SString()
{
    ReleaseHeader(GetHeader());
}

// ---- Assignment and appending ----

const SString& SString::operator=(const SString& strSrc)
{
    if (m_pchData == strSrc.m_pchData)
        return *this;
    const int bPinned = GetHeader()->m_nRefs < 0 && !IsSharedEmpty();
    if (bPinned || strSrc.GetHeader()->m_nRefs < 0)
    {
        AssignChars(strSrc.GetLength(), strSrc.m_pchData);
        return *this;
    }
    ReleaseData();
    m_pchData = strSrc.m_pchData;
    InterlockedIncrement(RefCount(GetHeader()));
    return *this;
}

const SString& SString::operator=(const char* psz)
{
    AssignChars(SafeLength(psz), psz);
    return *this;
}

const SString& SString::operator=(char ch)
{
    AssignChars(1, &ch);
    return *this;
}

const SString& SString::operator+=(const SString& str)
{
    AppendChars(str.GetLength(), str.m_pchData);
    return *this;
}

const SString& SString::operator+=(const char* psz)
{
    AppendChars(SafeLength(psz), psz);
    return *this;
}

const SString& SString::operator+=(char ch)
{
    AppendChars(1, &ch);
    return *this;
}

// ---- Concatenation ----

SString operator+(const SString& str1, const SString& str2)
{
    SString strResult;
    strResult.ConcatInto(str1.GetLength(), str1.m_pchData, str2.GetLength(), str2.m_pchData);
    return strResult;
}

SString operator+(const SString& str, const char* psz)
{
    SString strResult;
    strResult.ConcatInto(str.GetLength(), str.m_pchData, SafeLength(psz), psz);
    return strResult;
}

SString operator+(const char* psz, const SString& str)
{
    SString strResult;
    strResult.ConcatInto(SafeLength(psz), psz, str.GetLength(), str.m_pchData);
    return strResult;
}

SString operator+(const SString& str, char ch)
{
    SString strResult;
    strResult.ConcatInto(str.GetLength(), str.m_pchData, 1, &ch);
    return strResult;
}

SString operator+(char ch, const SString& str)
{
    SString strResult;
    strResult.ConcatInto(1, &ch, str.GetLength(), str.m_pchData);
    return strResult;
}

// ---- Substrings ----

SString SString::Mid(Int32 nFirst, Int32 nCount) const
{
    // Compared as unsigned values, the sum without wrapping, so a negative
    // position or count counts as very large.
    const UInt32 uLength = static_cast<UInt32>(GetLength());
    const UInt32 uFirst = static_cast<UInt32>(nFirst);
    UInt32 uCount = static_cast<UInt32>(nCount);
    if (static_cast<Int64>(uFirst) + static_cast<Int64>(uCount) > static_cast<Int64>(uLength))
        uCount = uLength - uFirst;
    if (uFirst > uLength)
        uCount = 0;
    SString strDest;
    CopyRangeTo(strDest, static_cast<Int32>(uCount), nFirst, 0);
    return strDest;
}

SString SString::Mid(Int32 nFirst) const
{
    return Mid(nFirst, GetLength() - nFirst);
}

SString SString::Left(Int32 nCount) const
{
    if (static_cast<UInt32>(nCount) > static_cast<UInt32>(GetLength()))
        nCount = GetLength();
    SString strDest;
    CopyRangeTo(strDest, nCount, 0, 0);
    return strDest;
}

SString SString::Right(Int32 nCount) const
{
    if (static_cast<UInt32>(nCount) > static_cast<UInt32>(GetLength()))
        nCount = GetLength();
    SString strDest;
    CopyRangeTo(strDest, nCount, GetLength() - nCount, 0);
    return strDest;
}

SString SString::LeftWhileIn(const char* pszCharSet) const
{
    return Left(static_cast<Int32>(strspn(m_pchData, pszCharSet != nullptr ? pszCharSet : "")));
}

SString SString::LeftUntilIn(const char* pszCharSet) const
{
    return Left(static_cast<Int32>(strcspn(m_pchData, pszCharSet != nullptr ? pszCharSet : "")));
}

// ---- Changes in place ----

void SString::SetAt(Int32 nIndex, char ch)
{
    MakeUnique();
    m_pchData[nIndex] = ch;
}

void SString::ToUpper()
{
    MakeUnique();
    for (char* pch = m_pchData; *pch != 0; pch++)
        *pch = static_cast<char>(toupper(static_cast<unsigned char>(*pch)));
}

void SString::ToLower()
{
    MakeUnique();
    for (char* pch = m_pchData; *pch != 0; pch++)
        *pch = static_cast<char>(tolower(static_cast<unsigned char>(*pch)));
}

void SString::Reverse()
{
    MakeUnique();
    const Int32 nLength = GetLength();
    for (Int32 i = 0, j = nLength - 1; i < j; i++, j--)
    {
        const char ch = m_pchData[i];
        m_pchData[i] = m_pchData[j];
        m_pchData[j] = ch;
    }
}

void SString::TrimRight()
{
    MakeUnique();
    // Remember where the current run of white space began; any other
    // character forgets it.
    char* pchRun = nullptr;
    char* pch = m_pchData;
    for (; *pch != 0; pch++)
    {
        if (isspace(static_cast<unsigned char>(*pch)))
        {
            if (pchRun == nullptr)
                pchRun = pch;
        }
        else
        {
            pchRun = nullptr;
        }
    }
    if (pchRun != nullptr)
    {
        *pchRun = 0;
        GetHeader()->m_nLength = static_cast<Int32>(pchRun - m_pchData);
    }
}

void SString::TrimLeft()
{
    MakeUnique();
    const char* pch = m_pchData;
    while (isspace(static_cast<unsigned char>(*pch)))
        pch++;
    const Int32 nSkipped = static_cast<Int32>(pch - m_pchData);
    if (nSkipped == 0)
        return;
    const Int32 nNewLength = GetLength() - nSkipped;
    memmove(m_pchData, pch, static_cast<size_t>(nNewLength) + 1);
    GetHeader()->m_nLength = nNewLength;
}

void SString::Trim()
{
    TrimLeft();
    TrimRight();
}

void SString::Clear()
{
    if (GetLength() == 0)
        return;
    if (GetHeader()->m_nRefs >= 0)
        ReleaseData();
    else
        *this = ""; // pinned: the same buffer stays pinned, with length 0
}

// ---- Searches ----

Int32 SString::Find(char ch) const
{
    const char* pch = strchr(m_pchData, ch);
    return pch != nullptr ? static_cast<Int32>(pch - m_pchData) : -1;
}

Int32 SString::FindLast(char ch) const
{
    const char* pch = strrchr(m_pchData, ch);
    return pch != nullptr ? static_cast<Int32>(pch - m_pchData) : -1;
}

Int32 SString::FindAnyOf(const char* pszCharSet) const
{
    const char* pch = strpbrk(m_pchData, pszCharSet != nullptr ? pszCharSet : "");
    return pch != nullptr ? static_cast<Int32>(pch - m_pchData) : -1;
}

Int32 SString::Find(const char* pszSub) const
{
    const char* pch = strstr(m_pchData, pszSub != nullptr ? pszSub : "");
    return pch != nullptr ? static_cast<Int32>(pch - m_pchData) : -1;
}

// ---- Direct buffer access ----

char* SString::GetWriteBuffer(Int32 nMinBufLength)
{
    SStringHeader* pHeader = GetHeader();
    if (pHeader->m_nRefs > 1 ||
        static_cast<UInt32>(nMinBufLength) > static_cast<UInt32>(pHeader->m_nAllocLength))
    {
        const Int32 nLength = pHeader->m_nLength;
        NewBuffer(nMinBufLength > nLength ? nMinBufLength : nLength);
        memcpy(m_pchData, pHeader->GetData(), static_cast<size_t>(nLength) + 1);
        GetHeader()->m_nLength = nLength;
        ReleaseHeader(pHeader);
    }
    return m_pchData;
}

void SString::CommitBuffer(Int32 nNewLength)
{
    MakeUnique();
    if (nNewLength == -1)
        nNewLength = static_cast<Int32>(strlen(m_pchData));
    GetHeader()->m_nLength = nNewLength;
    m_pchData[nNewLength] = 0;
}

char* SString::ResizeBuffer(Int32 nNewLength)
{
    GetWriteBuffer(nNewLength);
    GetHeader()->m_nLength = nNewLength;
    m_pchData[nNewLength] = 0;
    return m_pchData;
}

void SString::Compact()
{
    SStringHeader* pHeader = GetHeader();
    if (pHeader->m_nLength == pHeader->m_nAllocLength)
        return;
    NewBuffer(pHeader->m_nLength);
    if (pHeader->m_nLength != 0)
        memcpy(m_pchData, pHeader->GetData(), static_cast<size_t>(pHeader->m_nLength));
    ReleaseHeader(pHeader);
}

char* SString::PinBuffer()
{
    GetWriteBuffer(0);
    GetHeader()->m_nRefs = -1;
    return m_pchData;
}

void SString::UnpinBuffer()
{
    if (!IsSharedEmpty())
        GetHeader()->m_nRefs = 1;
}

// ---- Formatting ----

void SString::Format(const char* lpszFormat, ...)
{
    va_list argList;
    va_start(argList, lpszFormat);
    FormatArgs(lpszFormat, argList);
    va_end(argList);
}

namespace
{
// Size modifiers of a conversion. The estimate must take each argument with the
// type the caller passed, or every later conversion reads the wrong argument.
enum SizeModifier
{
    SIZE_DEFAULT, // none, h, hh: promoted to int
    SIZE_LONG,    // l
    SIZE_LLONG,   // ll, q, j
    SIZE_SIZE_T,  // z
    SIZE_PTRDIFF, // t
    SIZE_LDOUBLE  // L
};

// A decimal number in a format, saturated so that absurd widths cannot overflow.
Int32 ReadDecimal(const char*& pch)
{
    Int64 nValue = 0;
    while (*pch >= '0' && *pch <= '9')
    {
        if (nValue < INT_MAX)
            nValue = nValue * 10 + (*pch - '0');
        pch++;
    }
    return nValue < INT_MAX ? static_cast<Int32>(nValue) : INT_MAX;
}

SizeModifier ReadSizeModifier(const char*& pch)
{
    switch (*pch)
    {
    case 'F': // far and near pointers of the 16-bit runtimes: no size of their own
    case 'N':
        pch++;
        return SIZE_DEFAULT;
    case 'L':
        pch++;
        return SIZE_LDOUBLE;
    case 'h':
        pch += pch[1] == 'h' ? 2 : 1;
        return SIZE_DEFAULT;
    case 'l':
        if (pch[1] == 'l')
        {
            pch += 2;
            return SIZE_LLONG;
        }
        pch++;
        return SIZE_LONG;
    case 'q':
    case 'j':
        pch++;
        return SIZE_LLONG;
    case 'z':
        pch++;
        return SIZE_SIZE_T;
    case 't':
        pch++;
        return SIZE_PTRDIFF;
    default:
        return SIZE_DEFAULT;
    }
}

void SkipInteger(SizeModifier eSize, va_list& argList)
{
    switch (eSize)
    {
    case SIZE_LONG:
        (void)va_arg(argList, long);
        break;
    case SIZE_LLONG:
    case SIZE_LDOUBLE: // "%Ld" is a long long where the runtime accepts it
        (void)va_arg(argList, long long);
        break;
    case SIZE_SIZE_T:
        (void)va_arg(argList, size_t);
        break;
    case SIZE_PTRDIFF:
        (void)va_arg(argList, ptrdiff_t);
        break;
    default:
        (void)va_arg(argList, int);
        break;
    }
}

Int64 EstimateString(char chConversion, SizeModifier eSize, va_list& argList)
{
    // 'S' and "ls" are wide strings; each wide character becomes at most
    // MB_CUR_MAX bytes.
    if (chConversion == 'S' || eSize == SIZE_LONG)
    {
        const wchar_t* pwsz = va_arg(argList, const wchar_t*);
        if (pwsz == nullptr)
            return 6; // "(null)"
        const Int64 nLength = static_cast<Int64>(wcslen(pwsz)) * static_cast<Int64>(MB_CUR_MAX);
        return nLength > 0 ? nLength : 1;
    }
    const char* psz = va_arg(argList, const char*);
    if (psz == nullptr)
        return 6; // "(null)"
    const Int64 nLength = static_cast<Int64>(strlen(psz));
    return nLength > 0 ? nLength : 1;
}

// Walks the format and the arguments; the longest result the format can give
// for these arguments, as far as the walk can tell.
Int64 EstimateFormat(const char* pch, va_list& argList)
{
    Int64 nMaxLength = 0;
    while (*pch != 0)
    {
        if (*pch != '%')
        {
            nMaxLength++;
            pch++;
            continue;
        }
        const char* pchItem = pch; // the '%' of this conversion
        pch++;
        if (*pch == '%')
        {
            nMaxLength++;
            pch++;
            continue;
        }
        if (*pch == 0)
        {
            nMaxLength++; // a lone '%' at the end: room for it, and the walk stops here
            break;
        }

        // Flags, and a width taken from an argument.
        Int32 nWidth = 0;
        int bWidthFromArgument = 0;
        for (;; pch++)
        {
            if (*pch == '#')
            {
                nMaxLength += 2; // 0x prefix
            }
            else if (*pch == '*')
            {
                nWidth = va_arg(argList, int);
                bWidthFromArgument = 1;
            }
            else if (*pch != '-' && *pch != '+' && *pch != '0' && *pch != ' ')
            {
                break;
            }
        }
        // A negative width from an argument pads on the left to its magnitude.
        if (nWidth < 0)
            nWidth = nWidth == INT_MIN ? INT_MAX : -nWidth;
        if (!bWidthFromArgument)
            nWidth = ReadDecimal(pch);

        Int32 nPrecision = 0;
        if (*pch == '.')
        {
            pch++;
            if (*pch == '*')
            {
                nPrecision = va_arg(argList, int);
                pch++;
                if (nPrecision < 0)
                    nPrecision = 0; // a negative precision counts as none
            }
            else
            {
                nPrecision = ReadDecimal(pch);
            }
        }

        const SizeModifier eSize = ReadSizeModifier(pch);
        const char chConversion = *pch;
        Int64 nItemLength = 0;
        switch (chConversion)
        {
        case 'c':
        case 'C':
            nItemLength = 2;
            (void)va_arg(argList, int);
            break;
        case 's':
        case 'S':
            nItemLength = EstimateString(chConversion, eSize, argList);
            break;
        case 'd':
        case 'i':
        case 'o':
        case 'u':
        case 'x':
        case 'X':
            SkipInteger(eSize, argList);
            nItemLength = static_cast<Int64>(nWidth) + nPrecision;
            if (nItemLength < 32)
                nItemLength = 32;
            break;
        case 'p':
            (void)va_arg(argList, void*);
            nItemLength = static_cast<Int64>(nWidth) + nPrecision;
            if (nItemLength < 32)
                nItemLength = 32;
            break;
        case 'e':
        case 'E':
        case 'f':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (eSize == SIZE_LDOUBLE)
                (void)va_arg(argList, long double);
            else
                (void)va_arg(argList, double);
            nItemLength = static_cast<Int64>(nWidth) + nPrecision;
            if (nItemLength < 128)
                nItemLength = 128;
            break;
        case 'n':
            (void)va_arg(argList, void*);
            nItemLength = 0;
            break;
        default:
            // Unknown, or the format ends inside the conversion: no argument
            // is taken, and room is left for the runtime to print the
            // conversion's own text.
            nItemLength = static_cast<Int64>(pch - pchItem) + (chConversion != 0 ? 1 : 0);
            break;
        }
        // Character and string items are widened to the width and cut to a
        // non-zero precision.
        if (chConversion == 'c' || chConversion == 'C' || chConversion == 's' ||
            chConversion == 'S')
        {
            if (nWidth > nItemLength)
                nItemLength = nWidth;
            if (nPrecision != 0 && nPrecision < nItemLength)
                nItemLength = nPrecision;
        }
        nMaxLength += nItemLength;
        if (chConversion == 0)
            break; // the format ended inside a conversion
        pch++;
    }
    return nMaxLength;
}
} // namespace

void SString::FormatArgs(const char* lpszFormat, va_list argList)
{
    va_list argListSave;
    va_copy(argListSave, argList);

    va_list argListWalk;
    va_copy(argListWalk, argList);
    Int64 nMaxLength = EstimateFormat(lpszFormat, argListWalk);
    va_end(argListWalk);
    if (nMaxLength > INT_MAX - 64)
        nMaxLength = INT_MAX - 64;

    GetWriteBuffer(static_cast<Int32>(nMaxLength));
    // Bounded by the capacity: a result longer than the estimate is cut and
    // reported, never written past the buffer.
    const Int32 nAllocLength = GetAllocLength();
    const int nWritten =
        vsnprintf(m_pchData, static_cast<size_t>(nAllocLength) + 1, lpszFormat, argListSave);
    va_end(argListSave);
    if (nWritten > nAllocLength)
        AssertionFailed(kFormatCheckId, kFormatCheckExpr, kCheckFile, kFormatCheckLine);
    // A format the runtime rejects (a lone '%' at the end, for one) formats
    // to nothing.
    if (nWritten < 0)
        m_pchData[0] = 0;
    CommitBuffer(-1);
}
