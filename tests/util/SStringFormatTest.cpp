// SString::Format: the estimate that sizes the buffer, the arguments it takes
// with the caller's types, and the bounded write when the estimate is short.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <string>

#include <Win32StandIn.h>

#include "SString.h"
#include "SStringTestSupport.h"

namespace
{
// Boxes go to standard error, where the death tests read them.
const bool s_bHeadless = (StandIn_SetHeadless(true), true);

int s_nCount = 0;

// Formats a text the compiler must not check (malformed on purpose).
void FormatUnchecked(SString& str, const char* pszFormat, ...)
{
    va_list argList;
    va_start(argList, pszFormat);
    str.FormatArgs(pszFormat, argList);
    va_end(argList);
}

struct FormatCase
{
    const char* pszName;
    SString strResult;
    Int32 nCapacity; // the estimate, worked out by hand from the format
    const char* pszText;
};

void CheckCases(const FormatCase* pCases, size_t nCases)
{
    for (size_t i = 0; i < nCases; i++)
    {
        const FormatCase& c = pCases[i];
        EXPECT_EQ(c.nCapacity, c.strResult.GetAllocLength()) << c.pszName;
        EXPECT_STREQ(c.pszText, c.strResult) << c.pszName;
        EXPECT_EQ(static_cast<Int32>(strlen(c.pszText)), c.strResult.GetLength()) << c.pszName;
    }
}

SString Owned(const char* psz)
{
    return SString(psz, static_cast<Int32>(strlen(psz)));
}

SString Formatted(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));
SString Formatted(const char* pszFormat, ...)
{
    SString str;
    va_list argList;
    va_start(argList, pszFormat);
    str.FormatArgs(pszFormat, argList);
    va_end(argList);
    return str;
}
} // namespace

TEST(SStringFormat, EstimatesOfTheBasicConversions)
{
    // volatile: the optimiser must not see the null and reject the call at compile time.
    const char* volatile pszNull = nullptr;
    const FormatCase cases[] = {
        {"lone integer", Formatted("%d", 5), 32, "5"},
        {"plain text", Formatted("abc"), 3, "abc"},
        {"doubled percent", Formatted("100%%"), 4, "100%"},
        {"null string", Formatted("%s", pszNull), 6, "(null)"},
        {"empty string counts 1", Formatted("[%s]", ""), 3, "[]"},
        {"string", Formatted("%s!", "hello"), 6, "hello!"},
        {"string widened", Formatted("%-10s|", "ab"), 11, "ab        |"},
        {"string cut by precision", Formatted("%.2s", "abcdef"), 2, "ab"},
        {"string precision above length", Formatted("%.9s", "abc"), 3, "abc"},
        {"character", Formatted("%c", 'x'), 2, "x"},
        {"character widened", Formatted("%5c", 'x'), 5, "    x"},
        {"hex with #: two more", Formatted("%#x", 255), 34, "0xff"},
        {"integer width + precision below 32", Formatted("%10.5d", 42), 32, "     00042"},
        {"integer width + precision above 32", Formatted("%30.10d", 42), 40,
         "                    0000000042"},
        {"integer width from an argument", Formatted("%*d", 40, 7), 40,
         "                                       7"},
        {"double", Formatted("%.3f", 1.5), 128, "1.500"},
        {"double precision from an argument", Formatted("%.*f", 2, 2.25), 128, "2.25"},
        {"count written: estimated 0", Formatted("ab%n", &s_nCount), 2, "ab"},
    };
    CheckCases(cases, sizeof(cases) / sizeof(cases[0]));
    EXPECT_EQ(2, s_nCount);
}

// On a 64-bit host pointers and longs are wider than the 32-bit integers: the
// walk must take each argument with the caller's type, or every later
// conversion is estimated from the wrong argument.
TEST(SStringFormat, ArgumentsAreTakenWithTheCallersTypes)
{
    int nLocal = 0;
    char szPointer[64];
    snprintf(szPointer, sizeof(szPointer), "%p", static_cast<void*>(&nLocal));
    const std::string strExpected = std::string("ab/") + szPointer + "/7/xyz";

    const FormatCase cases[] = {
        {"string, pointer, integer, string",
         Formatted("%s/%p/%d/%s", "ab", static_cast<void*>(&nLocal), 7, "xyz"),
         2 + 1 + 32 + 1 + 32 + 1 + 3, strExpected.c_str()},
        {"long then string", Formatted("%ld %s", 1099511627776L, "abc"), 32 + 1 + 3,
         "1099511627776 abc"},
        {"long long then string", Formatted("%lld %s", -1099511627776LL, "abc"), 32 + 1 + 3,
         "-1099511627776 abc"},
        {"size_t then string", Formatted("%zu %s", static_cast<size_t>(1) << 40, "abc"), 32 + 1 + 3,
         "1099511627776 abc"},
        {"short then string", Formatted("%hd %s", static_cast<short>(-3), "abc"), 32 + 1 + 3,
         "-3 abc"},
        {"long double then string", Formatted("%.1Lf %s", static_cast<long double>(2.5), "abc"),
         128 + 1 + 3, "2.5 abc"},
        {"upper-case exponent then string", Formatted("%E|%s", 1.5, "q"), 128 + 1 + 1,
         "1.500000E+00|q"},
        {"wide string then string", Formatted("%ls|%s", L"wide", "q"), 4 + 1 + 1, "wide|q"},
        {"count then string", Formatted("%n%s", &s_nCount, "abc"), 3, "abc"},
    };
    CheckCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(SStringFormat, NegativeWidthsFromArgumentsPadToTheirMagnitude)
{
    SString strString;
    FormatUnchecked(strString, "%*s|", -10, "ab");
    EXPECT_EQ(11, strString.GetAllocLength());
    EXPECT_STREQ("ab        |", strString);

    SString strNumber;
    FormatUnchecked(strNumber, "%*d|", -40, 42);
    EXPECT_EQ(41, strNumber.GetAllocLength());
    EXPECT_EQ(std::string("42") + std::string(38, ' ') + "|", static_cast<const char*>(strNumber));

    SString strPrecision; // a negative precision counts as none
    FormatUnchecked(strPrecision, "%.*s|", -1, "abc");
    EXPECT_EQ(4, strPrecision.GetAllocLength());
    EXPECT_STREQ("abc|", strPrecision);
}

TEST(SStringFormat, MalformedFormatsNeverTakeArgumentsTheyDoNotName)
{
    SString strUnknown;
    FormatUnchecked(strUnknown, "a%yb%s",
                    "cd"); // unknown conversion: no argument, room for its text
    EXPECT_STREQ("a%ybcd", strUnknown);
    EXPECT_EQ(1 + 2 + 1 + 2, strUnknown.GetAllocLength());

    SString strTrailing = Owned("previous");
    FormatUnchecked(strTrailing, "50%");
    EXPECT_EQ(0, strTrailing.GetLength()); // the runtime rejects it: nothing
    EXPECT_STREQ("", strTrailing);
}

TEST(SStringFormat, ALargerBufferIsKeptAndASharedOneLeftAlone)
{
    SString strRoomy = Owned("x");
    strRoomy.GetWriteBuffer(100);
    strRoomy.Format("%d", 5);
    EXPECT_EQ(100, strRoomy.GetAllocLength()); // nothing is compacted
    EXPECT_STREQ("5", strRoomy);

    SString strOther = Owned("keep");
    SString strShared(strOther);
    strShared.Format("%s", "new");
    EXPECT_STREQ("keep", strOther);
    EXPECT_EQ(1, RefsOf(strOther));
    EXPECT_STREQ("new", strShared);
}

// A result longer than the estimate: the text stops at the capacity, the
// failed check is reported and the process ends with exit code 1.
TEST(SStringFormatDeathTest, AShortEstimateIsBoundedAndReported)
{
    const char* pszExpected =
        "Assertion: Assert Failed: vsprintf\\(m_pchData, lpszFormat, argListSave\\) <= "
        "\\(Int32\\)GetAllocLength\\(\\)\nIn: SString\nLine: 766";
    EXPECT_EXIT(
        {
            SString str;
            str.Format("%f", 1e200); // 201 digits and six decimals; the estimate is 128
        },
        ::testing::ExitedWithCode(1), pszExpected);
}

TEST(SStringFormatDeathTest, TheTextStopsAtTheCapacity)
{
    EXPECT_EXIT(
        {
            static SString s_str;
            // Looks at the string when the box comes, before the process ends.
            StandIn_SetMessageBoxHook(
                [](const StandInMessageBox& box)
                {
                    fprintf(stderr, "box %s; length %d of capacity %d\n", box.strCaption.c_str(),
                            static_cast<int>(strlen(s_str)),
                            static_cast<int>(s_str.GetAllocLength()));
                    return IDOK;
                });
            s_str.Format("%s%f", "abc", 1e200);
        },
        ::testing::ExitedWithCode(1), "box Assertion; length 131 of capacity 131");
}
