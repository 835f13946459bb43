// wsprintfA/wvsprintfA and the lstr* string calls.
//
// wsprintf is not printf: it writes at most 1024 characters including the terminator, knows
// only the conversions c C d i u x X s S p with the flags '-' '#' '0', a width, a precision and
// the size prefixes h, l and I64, and copies any other character after '%' as it stands
// (without taking an argument). "%ld" is a 32-bit LONG as on Windows.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <strings.h>
#include <wchar.h>

namespace
{

const int kWsprintfLimit = 1024; // characters, terminator included

// Output bounded to the caller's 1024 characters.
struct Output
{
    char* pchOut;
    int nLength;

    void Put(char ch)
    {
        if (nLength < kWsprintfLimit - 1)
            pchOut[nLength++] = ch;
    }
    void Repeat(char ch, int nCount)
    {
        for (int i = 0; i < nCount; ++i)
            Put(ch);
    }
};

struct Conversion
{
    bool bLeft = false;
    bool bPrefix = false; // '#': 0x before hexadecimal
    bool bZero = false;
    int nWidth = 0;
    int nPrecision = -1;
    int nSize = 0; // 'h' = -1, default 0, 'l' = 1, I64 = 2
};

// Writes text of nLength characters padded to the field width.
void PutField(Output& out, const Conversion& conv, const char* pchText, int nLength)
{
    int nPad = conv.nWidth > nLength ? conv.nWidth - nLength : 0;
    if (!conv.bLeft)
        out.Repeat(conv.bZero ? '0' : ' ', nPad);
    for (int i = 0; i < nLength; ++i)
        out.Put(pchText[i]);
    if (conv.bLeft)
        out.Repeat(' ', nPad);
}

void PutNumber(Output& out, const Conversion& conv, uint64_t ullMagnitude, bool bNegative,
               unsigned nBase, bool bUpper)
{
    char achDigits[32];
    int nDigits = 0;
    const char* pszDigits = bUpper ? "0123456789ABCDEF" : "0123456789abcdef";
    while (ullMagnitude != 0)
    {
        achDigits[nDigits++] = pszDigits[ullMagnitude % nBase];
        ullMagnitude /= nBase;
    }
    int nMinDigits = conv.nPrecision >= 0 ? conv.nPrecision : 1;
    char achText[64];
    int nLength = 0;
    if (bNegative)
        achText[nLength++] = '-';
    if (conv.bPrefix && nBase == 16)
    {
        achText[nLength++] = '0';
        achText[nLength++] = bUpper ? 'X' : 'x';
    }
    int nSignLength = nLength;
    for (int i = nDigits; i < nMinDigits && nLength < 40; ++i)
        achText[nLength++] = '0';
    while (nDigits > 0)
        achText[nLength++] = achDigits[--nDigits];
    // Zero padding goes between the sign or prefix and the digits.
    if (conv.bZero && !conv.bLeft && conv.nWidth > nLength)
    {
        for (int i = 0; i < nSignLength; ++i)
            out.Put(achText[i]);
        out.Repeat('0', conv.nWidth - nLength);
        for (int i = nSignLength; i < nLength; ++i)
            out.Put(achText[i]);
        return;
    }
    PutField(out, conv, achText, nLength);
}

void PutString(Output& out, const Conversion& conv, const char* pszText)
{
    if (!pszText)
        pszText = "(null)";
    int nLength = 0;
    while (pszText[nLength] && (conv.nPrecision < 0 || nLength < conv.nPrecision))
        ++nLength;
    Conversion field = conv;
    field.bZero = false;
    PutField(out, field, pszText, nLength);
}

// Wide text is narrowed character by character; what ASCII cannot hold becomes '?'.
void PutWideString(Output& out, const Conversion& conv, const wchar_t* pwszText)
{
    if (!pwszText)
    {
        PutString(out, conv, nullptr);
        return;
    }
    char achNarrow[kWsprintfLimit];
    int nLength = 0;
    while (pwszText[nLength] && nLength < kWsprintfLimit - 1 &&
           (conv.nPrecision < 0 || nLength < conv.nPrecision))
    {
        wchar_t wch = pwszText[nLength];
        achNarrow[nLength++] = (wch > 0 && wch < 0x80) ? static_cast<char>(wch) : '?';
    }
    Conversion field = conv;
    field.bZero = false;
    PutField(out, field, achNarrow, nLength);
}

const char* ReadConversion(const char* p, Conversion& conv)
{
    for (;; ++p)
    {
        if (*p == '-')
            conv.bLeft = true;
        else if (*p == '#')
            conv.bPrefix = true;
        else if (*p == '0')
            conv.bZero = true;
        else
            break;
    }
    while (*p >= '0' && *p <= '9' && conv.nWidth < 10000)
        conv.nWidth = conv.nWidth * 10 + (*p++ - '0');
    while (*p >= '0' && *p <= '9')
        ++p;
    if (*p == '.')
    {
        ++p;
        conv.nPrecision = 0;
        while (*p >= '0' && *p <= '9' && conv.nPrecision < 10000)
            conv.nPrecision = conv.nPrecision * 10 + (*p++ - '0');
        while (*p >= '0' && *p <= '9')
            ++p;
    }
    if (*p == 'h')
    {
        conv.nSize = -1;
        ++p;
    }
    else if (*p == 'l')
    {
        conv.nSize = 1;
        ++p;
    }
    else if (p[0] == 'I' && p[1] == '6' && p[2] == '4')
    {
        conv.nSize = 2;
        p += 3;
    }
    else if (p[0] == 'I' && p[1] == '3' && p[2] == '2')
    {
        p += 3;
    }
    return p;
}

// Signed argument of the conv's size. 'l' means LONG (32 bits): a wider long passed by a
// 64-bit caller is cut to its low 32 bits, as Windows would see it.
int64_t SignedArgument(const Conversion& conv, va_list& args)
{
    if (conv.nSize == 2)
        return va_arg(args, long long);
    if (conv.nSize == 1)
        return static_cast<int32_t>(va_arg(args, long));
    int nValue = va_arg(args, int);
    return conv.nSize < 0 ? static_cast<short>(nValue) : nValue;
}

uint64_t UnsignedArgument(const Conversion& conv, va_list& args)
{
    if (conv.nSize == 2)
        return va_arg(args, unsigned long long);
    if (conv.nSize == 1)
        return static_cast<uint32_t>(va_arg(args, unsigned long));
    unsigned nValue = va_arg(args, unsigned);
    return conv.nSize < 0 ? static_cast<unsigned short>(nValue) : nValue;
}

void Convert(Output& out, const Conversion& conv, char chType, va_list& args)
{
    switch (chType)
    {
    case 'd':
    case 'i':
    {
        int64_t llValue = SignedArgument(conv, args);
        uint64_t ullMagnitude =
            llValue < 0 ? 0 - static_cast<uint64_t>(llValue) : static_cast<uint64_t>(llValue);
        PutNumber(out, conv, ullMagnitude, llValue < 0, 10, false);
        break;
    }
    case 'u':
        PutNumber(out, conv, UnsignedArgument(conv, args), false, 10, false);
        break;
    case 'x':
    case 'X':
        PutNumber(out, conv, UnsignedArgument(conv, args), false, 16, chType == 'X');
        break;
    case 'p':
    {
        Conversion pointer = conv;
        pointer.nPrecision = static_cast<int>(sizeof(void*) * 2);
        PutNumber(out, pointer, reinterpret_cast<uintptr_t>(va_arg(args, void*)), false, 16, true);
        break;
    }
    case 'c':
    case 'C':
    {
        bool bWide = (chType == 'C') != (conv.nSize == 1) && conv.nSize >= 0;
        int nValue = bWide ? static_cast<int>(va_arg(args, wint_t)) : va_arg(args, int);
        char ch = bWide && (nValue <= 0 || nValue >= 0x80) ? '?' : static_cast<char>(nValue);
        Conversion field = conv;
        field.bZero = false;
        PutField(out, field, &ch, 1);
        break;
    }
    case 's':
    case 'S':
    {
        bool bWide = (chType == 'S') != (conv.nSize == 1) && conv.nSize >= 0;
        if (bWide)
            PutWideString(out, conv, va_arg(args, const wchar_t*));
        else
            PutString(out, conv, va_arg(args, const char*));
        break;
    }
    default:
        out.Put(chType);
        break; // unknown conversions print themselves
    }
}

} // namespace

extern "C" int WINAPI wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist)
{
    if (!lpOut)
        return 0;
    Output out = {lpOut, 0};
    va_list args;
    va_copy(args, arglist);
    for (const char* p = lpFmt ? lpFmt : ""; *p;)
    {
        if (*p != '%')
        {
            out.Put(*p++);
            continue;
        }
        Conversion conv;
        p = ReadConversion(p + 1, conv);
        if (!*p)
            break;
        Convert(out, conv, *p++, args);
    }
    va_end(args);
    lpOut[out.nLength] = '\0';
    return out.nLength;
}

extern "C" int WINAPIV wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...)
{
    va_list args;
    va_start(args, lpFmt);
    int nLength = wvsprintfA(lpOut, lpFmt, args);
    va_end(args);
    return nLength;
}

extern "C" int WINAPI lstrlenA(LPCSTR lpString)
{
    return lpString ? static_cast<int>(strlen(lpString)) : 0;
}

extern "C" LPSTR WINAPI lstrcpyA(LPSTR lpString1, LPCSTR lpString2)
{
    if (!lpString1 || !lpString2)
        return nullptr;
    return strcpy(lpString1, lpString2);
}

// Copies at most iMaxLength - 1 characters and always terminates (when iMaxLength > 0).
extern "C" LPSTR WINAPI lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength)
{
    if (!lpString1 || !lpString2)
        return nullptr;
    if (iMaxLength <= 0)
        return lpString1;
    int i = 0;
    for (; i < iMaxLength - 1 && lpString2[i]; ++i)
        lpString1[i] = lpString2[i];
    lpString1[i] = '\0';
    return lpString1;
}

extern "C" LPSTR WINAPI lstrcatA(LPSTR lpString1, LPCSTR lpString2)
{
    if (!lpString1 || !lpString2)
        return nullptr;
    return strcat(lpString1, lpString2);
}

// Byte order comparison; Windows compares by its locale's word sort, which agrees for the
// ASCII letters and digits the engine compares.
extern "C" int WINAPI lstrcmpA(LPCSTR lpString1, LPCSTR lpString2)
{
    int nResult = strcmp(lpString1 ? lpString1 : "", lpString2 ? lpString2 : "");
    return (nResult > 0) - (nResult < 0);
}

extern "C" int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2)
{
    int nResult = strcasecmp(lpString1 ? lpString1 : "", lpString2 ? lpString2 : "");
    return (nResult > 0) - (nResult < 0);
}
