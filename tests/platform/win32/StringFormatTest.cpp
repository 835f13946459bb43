// wsprintfA/wvsprintfA with the Win32 rules, and the lstr* calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{

struct FormatCase
{
    std::string strResult;
    const char* pszExpected;
};

// Every case is formatted by the call in the table; the expected text is written out.
TEST(WsprintfTest, ConversionsFollowTheWin32Rules)
{
    char szBuffer[1024];
    const char* volatile pszNull = nullptr; // hidden from the compiler's own format check
    auto Format = [&](int nLength)
    {
        EXPECT_EQ(nLength, static_cast<int>(strlen(szBuffer)));
        return std::string(szBuffer);
    };
    const FormatCase aCases[] = {
        {Format(
             wsprintfA(szBuffer, "Assert Failed: %s\nIn: %s\nLine: %d", "g_pApp", "WinMain", 215)),
         "Assert Failed: g_pApp\nIn: WinMain\nLine: 215"},
        {Format(wsprintfA(szBuffer, "%d|%i|%u", -42, 7, 4000000000u)), "-42|7|4000000000"},
        {Format(wsprintfA(szBuffer, "%x|%X|%#x|%08X", 255u, 255u, 255u, 0xBEEFu)),
         "ff|FF|0xff|0000BEEF"},
        {Format(wsprintfA(szBuffer, "[%5d][%-5d][%05d][%.3d]", 42, 42, -42, 7)),
         "[   42][42   ][-0042][007]"},
        {Format(wsprintfA(szBuffer, "[%5s][%-5s][%.2s]", "ab", "ab", "abcdef")),
         "[   ab][ab   ][ab]"},
        {Format(wsprintfA(szBuffer, "%c%c%%", 'o', 'k')), "ok%"},
        {Format(wsprintfA(szBuffer, "%ld|%lu|%lx", -5L, 5UL, 0xABCDUL)), "-5|5|abcd"},
        {Format(wsprintfA(szBuffer, "%hd|%hu", 70000, 70000)), "4464|4464"}, // 70000 cut to 16 bits
        {Format(wsprintfA(szBuffer, "%s", pszNull)), "(null)"},
        {Format(wsprintfA(szBuffer, "no conversions")), "no conversions"},
        {Format(wsprintfA(szBuffer, "%d", -2147483647 - 1)), "-2147483648"},
    };
    for (const FormatCase& c : aCases)
        EXPECT_EQ(c.strResult, c.pszExpected);
}

TEST(WsprintfTest, LongIsThirtyTwoBitsAsOnWindows)
{
    char szBuffer[64];
    wsprintfA(szBuffer, "%ld", 0x100000005L); // a 64-bit long is seen as its low 32 bits
    EXPECT_STREQ(szBuffer, "5");
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
#pragma GCC diagnostic ignored "-Wformat-extra-args"
TEST(WsprintfTest, UnknownConversionsPrintTheirLetterAndTakeNoArgument)
{
    char szBuffer[64];
    EXPECT_EQ(wsprintfA(szBuffer, "%f %y %d", 3), 5);
    EXPECT_STREQ(szBuffer, "f y 3");
    EXPECT_EQ(wsprintfA(szBuffer, "%I64d", static_cast<long long>(-12345678901LL)), 12);
    EXPECT_STREQ(szBuffer, "-12345678901");
    EXPECT_EQ(wsprintfA(szBuffer, "end%"), 3);
    EXPECT_STREQ(szBuffer, "end");
}
#pragma GCC diagnostic pop

TEST(WsprintfTest, OutputStopsAt1024CharactersWithTheTerminator)
{
    std::string strLong(2000, 'a');
    std::vector<char> buffer(1100, '#');
    int nLength = wsprintfA(buffer.data(), "%s%s", strLong.c_str(), "tail");
    EXPECT_EQ(nLength, 1023);
    EXPECT_EQ(buffer[1022], 'a');
    EXPECT_EQ(buffer[1023], '\0');
    EXPECT_EQ(buffer[1024], '#') << "nothing beyond the 1024 characters";
    nLength = wsprintfA(buffer.data(), "%2000d", 5);
    EXPECT_EQ(nLength, 1023);
    EXPECT_EQ(buffer[1023], '\0');
}

void CallThroughVaList(char* pszOut, const char* pszFormat, ...)
    __attribute__((format(printf, 2, 3)));
void CallThroughVaList(char* pszOut, const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    wvsprintfA(pszOut, pszFormat, args);
    va_end(args);
}

TEST(WsprintfTest, VaListVersionFormatsTheSame)
{
    char szBuffer[64];
    CallThroughVaList(szBuffer, "%s=%d", "x", 9);
    EXPECT_STREQ(szBuffer, "x=9");
}

TEST(LstrTest, LengthsCopiesAndComparisons)
{
    EXPECT_EQ(lstrlenA("Vellumtide"), 10);
    EXPECT_EQ(lstrlenA(nullptr), 0);
    char szBuffer[8] = "zzzzzzz";
    lstrcpynA(szBuffer, "Moltrane", 5);
    EXPECT_STREQ(szBuffer, "Molt");
    EXPECT_EQ(szBuffer[5], 'z');
    lstrcpyA(szBuffer, "ab");
    lstrcatA(szBuffer, "cd");
    EXPECT_STREQ(szBuffer, "abcd");
    EXPECT_EQ(lstrcmpA("a", "b"), -1);
    EXPECT_EQ(lstrcmpA("b", "a"), 1);
    EXPECT_EQ(lstrcmpA("a", "a"), 0);
    EXPECT_EQ(lstrcmpiA("Vellumtide", "VELLUMTIDE"), 0);
}

} // namespace
