// SString: sharing and counts, copy on write, pinned buffers, appending,
// concatenation, substrings, searches, trimming and direct buffer access.
#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <thread>
#include <vector>

#include "SString.h"
#include "SStringTestSupport.h"

namespace
{
// A string that owns an unshared buffer of exactly its length.
SString Owned(const char* psz)
{
    return SString(psz, static_cast<Int32>(strlen(psz)));
}
} // namespace

// ---- Construction and the shared empty ----

TEST(SStringEmpty, DefaultStringIsTheSharedEmpty)
{
    SString strA;
    SString strB;
    EXPECT_EQ(0, strA.GetLength());
    EXPECT_EQ(0, strA.GetAllocLength());
    EXPECT_TRUE(strA.IsEmpty());
    EXPECT_STREQ("", strA);
    EXPECT_EQ(static_cast<const char*>(strA), static_cast<const char*>(strB));
    EXPECT_EQ(-1, RefsOf(strA));
}

TEST(SStringEmpty, CopyingOrAssigningAnEmptyStringAllocatesNothing)
{
    SString strA;
    SString strB(strA);
    SString strC;
    strC = strA;
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(strB));
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(strC));
    EXPECT_EQ(-1, RefsOf(strC)); // the shared empty's count never changes
}

TEST(SStringEmpty, ZeroCountsGiveTheSharedEmpty)
{
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(SString("abc", 0)));
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(SString('x', 0)));
}

TEST(SStringConstruct, FromCharactersCopiesExactlyTheCountZerosIncluded)
{
    SString str("a\0b\0", 4);
    EXPECT_EQ(4, str.GetLength());
    EXPECT_EQ(4, str.GetAllocLength());
    EXPECT_EQ(0, memcmp(static_cast<const char*>(str), "a\0b\0", 5)); // terminator follows
    EXPECT_EQ(1, RefsOf(str));
}

TEST(SStringConstruct, FromRepeatedCharacter)
{
    SString str('x', 4);
    EXPECT_STREQ("xxxx", str);
    EXPECT_EQ(4, str.GetLength());
    EXPECT_EQ(4, str.GetAllocLength());
}

// ---- Sharing and counts ----

TEST(SStringShare, CopiesShareOneBufferAndCountIt)
{
    SString strA = Owned("hello");
    {
        SString strB(strA);
        EXPECT_EQ(static_cast<const char*>(strA), static_cast<const char*>(strB));
        EXPECT_EQ(2, RefsOf(strA));
        SString strC;
        strC = strB;
        EXPECT_EQ(static_cast<const char*>(strA), static_cast<const char*>(strC));
        EXPECT_EQ(3, RefsOf(strA));
    }
    EXPECT_EQ(1, RefsOf(strA));
    EXPECT_STREQ("hello", strA);
}

TEST(SStringShare, AssignmentDropsTheOldBuffer)
{
    SString strA = Owned("one");
    SString strKeep(strA); // keeps the old buffer alive to watch its count
    SString strB = Owned("two");
    EXPECT_EQ(2, RefsOf(strKeep));
    strA = strB;
    EXPECT_EQ(1, RefsOf(strKeep));
    EXPECT_EQ(2, RefsOf(strB));
    EXPECT_STREQ("two", strA);
}

TEST(SStringShare, SelfAssignmentChangesNothing)
{
    SString strA = Owned("same");
    const char* pchBefore = strA;
    const SString& strAlias = strA;
    strA = strAlias;
    EXPECT_EQ(pchBefore, static_cast<const char*>(strA));
    EXPECT_EQ(1, RefsOf(strA));
}

TEST(SStringShare, CountsStayExactWhenCopiesComeAndGoOnSeveralThreads)
{
    SString strShared = Owned("shared across threads");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; t++)
    {
        threads.emplace_back(
            [&strShared]()
            {
                for (int i = 0; i < 20000; i++)
                {
                    SString strCopy(strShared);
                    SString strOther;
                    strOther = strCopy;
                }
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(1, RefsOf(strShared));
}

// ---- Copy on write ----

TEST(SStringCopyOnWrite, AppendingToASharedBufferGivesAnExactNewBuffer)
{
    SString strB = Owned("abc");
    SString strA;
    strA = strB;
    ASSERT_EQ(2, RefsOf(strB));
    strA += 'd';
    EXPECT_STREQ("abcd", strA);
    EXPECT_EQ(4, strA.GetAllocLength());
    EXPECT_EQ(1, RefsOf(strA));
    EXPECT_STREQ("abc", strB);
    EXPECT_EQ(1, RefsOf(strB));
    EXPECT_NE(static_cast<const char*>(strA), static_cast<const char*>(strB));
}

TEST(SStringCopyOnWrite, InPlaceChangesLeaveOtherCopiesAlone)
{
    struct Case
    {
        const char* pszName;
        const char* pszInput;
        void (*pfnChange)(SString&);
        const char* pszExpected;
    };
    const Case cases[] = {
        {"SetAt", "abcD e", [](SString& s) { s.SetAt(1, 'X'); }, "aXcD e"},
        {"ToUpper", "abcD e", [](SString& s) { s.ToUpper(); }, "ABCD E"},
        {"ToLower", "abcD e", [](SString& s) { s.ToLower(); }, "abcd e"},
        {"Reverse", "abcD e", [](SString& s) { s.Reverse(); }, "e Dcba"},
        {"TrimRight", "ab  ", [](SString& s) { s.TrimRight(); }, "ab"},
        {"TrimLeft", "  ab", [](SString& s) { s.TrimLeft(); }, "ab"},
        {"CommitBuffer", "abcD e", [](SString& s) { s.CommitBuffer(2); }, "ab"},
    };
    for (const Case& c : cases)
    {
        SString strOriginal = Owned(c.pszInput);
        SString strCopy(strOriginal);
        c.pfnChange(strCopy);
        EXPECT_STREQ(c.pszExpected, strCopy) << c.pszName;
        EXPECT_STREQ(c.pszInput, strOriginal) << c.pszName;
        EXPECT_NE(static_cast<const char*>(strOriginal), static_cast<const char*>(strCopy))
            << c.pszName;
        EXPECT_EQ(1, RefsOf(strOriginal)) << c.pszName;
        EXPECT_EQ(1, RefsOf(strCopy)) << c.pszName;
    }
}

TEST(SStringAssign, EmptyTextKeepsAnUnsharedBuffer)
{
    SString str = Owned("hello");
    const char* pchBefore = str;
    str = "";
    EXPECT_EQ(pchBefore, static_cast<const char*>(str));
    EXPECT_EQ(0, str.GetLength());
    EXPECT_EQ(5, str.GetAllocLength());
    EXPECT_STREQ("", str);
}

TEST(SStringAssign, EmptyTextOnASharedBufferGivesTheSharedEmpty)
{
    SString strOther = Owned("hello");
    SString str(strOther);
    str = "";
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(str));
    EXPECT_EQ(1, RefsOf(strOther));
    EXPECT_STREQ("hello", strOther);
}

TEST(SStringAssign, NullTextCountsAsEmptyAndCharacterAssigns)
{
    SString str = Owned("abc");
    str = static_cast<const char*>(nullptr);
    EXPECT_EQ(0, str.GetLength());
    str = 'q';
    EXPECT_STREQ("q", str);
    EXPECT_EQ(1, str.GetLength());
    EXPECT_EQ(3, str.GetAllocLength()); // fits, so the buffer is reused
}

TEST(SStringAssign, TextFromInsideTheOwnBuffer)
{
    SString str = Owned("abcdef");
    str = static_cast<const char*>(str) + 2;
    EXPECT_STREQ("cdef", str);
    EXPECT_EQ(4, str.GetLength());
}

// ---- Appending ----

TEST(SStringAppend, FullBufferGrowsToExactlyTheNewLength)
{
    SString str = Owned("abc");
    ASSERT_EQ(str.GetLength(), str.GetAllocLength());
    str += 'd';
    EXPECT_EQ(4, str.GetAllocLength());
    str += "ef";
    EXPECT_EQ(6, str.GetAllocLength());
    str += Owned("g");
    EXPECT_EQ(7, str.GetAllocLength());
    EXPECT_STREQ("abcdefg", str);
}

TEST(SStringAppend, RoomInTheBufferAppendsInPlace)
{
    SString str = Owned("ab");
    str.GetWriteBuffer(10);
    const char* pchBefore = str;
    str += "cd";
    EXPECT_EQ(pchBefore, static_cast<const char*>(str));
    EXPECT_EQ(10, str.GetAllocLength());
    EXPECT_EQ(4, str.GetLength());
    EXPECT_STREQ("abcd", str);
}

TEST(SStringAppend, SelfAppendDoublesOnBothPaths)
{
    SString strFull = Owned("abc");
    strFull += strFull; // reallocating path
    EXPECT_STREQ("abcabc", strFull);
    EXPECT_EQ(6, strFull.GetAllocLength());

    SString strRoomy = Owned("xyz");
    strRoomy.GetWriteBuffer(16);
    const char* pchBefore = strRoomy;
    strRoomy += strRoomy; // in-place path
    EXPECT_EQ(pchBefore, static_cast<const char*>(strRoomy));
    EXPECT_STREQ("xyzxyz", strRoomy);
    EXPECT_EQ(6, strRoomy.GetLength());

    SString strShared = Owned("pq");
    SString strCopy(strShared);
    strShared += strShared; // shared path
    EXPECT_STREQ("pqpq", strShared);
    EXPECT_STREQ("pq", strCopy);
}

TEST(SStringAppend, NothingToAppendChangesNothing)
{
    SString str = Owned("abc");
    const char* pchBefore = str;
    str += static_cast<const char*>(nullptr);
    str += "";
    str += SString();
    EXPECT_EQ(pchBefore, static_cast<const char*>(str));
    EXPECT_EQ(3, str.GetAllocLength());
}

TEST(SStringAppend, AppendingAStringKeepsItsZeroCharacters)
{
    SString str = Owned("a");
    str += SString("b\0c", 3);
    EXPECT_EQ(4, str.GetLength());
    EXPECT_EQ(0, memcmp(static_cast<const char*>(str), "ab\0c", 5));
}

// ---- Concatenation ----

TEST(SStringConcat, FiveOperatorsBuildExactFreshBuffers)
{
    const SString strAb = Owned("ab");
    const SString strCd = Owned("cd");
    struct Case
    {
        const char* pszName;
        SString strResult;
        const char* pszExpected;
    };
    const Case cases[] = {
        {"string + string", strAb + strCd, "abcd"},
        {"string + text", strAb + "xyz", "abxyz"},
        {"text + string", "xyz" + strCd, "xyzcd"},
        {"string + char", strAb + '!', "ab!"},
        {"char + string", '!' + strCd, "!cd"},
        {"string + null", strAb + static_cast<const char*>(nullptr), "ab"},
        {"null + string", static_cast<const char*>(nullptr) + strCd, "cd"},
    };
    for (const Case& c : cases)
    {
        EXPECT_STREQ(c.pszExpected, c.strResult) << c.pszName;
        EXPECT_EQ(static_cast<Int32>(strlen(c.pszExpected)), c.strResult.GetAllocLength())
            << c.pszName;
        EXPECT_EQ(1, RefsOf(c.strResult)) << c.pszName;
    }
    EXPECT_EQ(1, RefsOf(strAb));
    EXPECT_EQ(1, RefsOf(strCd));
}

TEST(SStringConcat, TwoEmptyOperandsGiveTheSharedEmpty)
{
    const SString strEmpty;
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(strEmpty + strEmpty));
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(strEmpty + ""));
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>("" + strEmpty));
}

// ---- Substrings ----

TEST(SStringSubstring, CutsAtTheEnds)
{
    const SString strAbc = Owned("abc");
    struct Case
    {
        const char* pszName;
        SString strResult;
        const char* pszExpected;
    };
    const Case cases[] = {
        {"Mid(2)", strAbc.Mid(2), "c"},
        {"Mid(0)", strAbc.Mid(0), "abc"},
        {"Mid(3)", strAbc.Mid(3), ""},
        {"Mid(5)", strAbc.Mid(5), ""},
        {"Mid(1, 1)", strAbc.Mid(1, 1), "b"},
        {"Mid(1, 10)", strAbc.Mid(1, 10), "bc"},
        {"Mid(5, 2)", strAbc.Mid(5, 2), ""},
        {"Mid(-1, 2): a negative position is very large", strAbc.Mid(-1, 2), ""},
        {"Mid(1, -1): a negative count is very large", strAbc.Mid(1, -1), "bc"},
        {"Left(10)", strAbc.Left(10), "abc"},
        {"Left(2)", strAbc.Left(2), "ab"},
        {"Left(0)", strAbc.Left(0), ""},
        {"Left(-1)", strAbc.Left(-1), "abc"},
        {"Right(2)", strAbc.Right(2), "bc"},
        {"Right(10)", strAbc.Right(10), "abc"},
        {"Right(-1)", strAbc.Right(-1), "abc"},
        {"LeftWhileIn(\"ab\")", strAbc.LeftWhileIn("ba"), "ab"},
        {"LeftWhileIn(\"x\")", strAbc.LeftWhileIn("x"), ""},
        {"LeftUntilIn(\"c\")", strAbc.LeftUntilIn("xc"), "ab"},
        {"LeftUntilIn(\"xyz\")", strAbc.LeftUntilIn("xyz"), "abc"},
    };
    for (const Case& c : cases)
    {
        EXPECT_STREQ(c.pszExpected, c.strResult) << c.pszName;
        EXPECT_EQ(static_cast<Int32>(strlen(c.pszExpected)), c.strResult.GetLength()) << c.pszName;
        EXPECT_EQ(static_cast<Int32>(strlen(c.pszExpected)), c.strResult.GetAllocLength())
            << c.pszName;
        if (c.pszExpected[0] == 0)
        {
            EXPECT_EQ(SharedEmpty(), static_cast<const char*>(c.strResult)) << c.pszName;
        }
    }
}

// ---- Searches ----

TEST(SStringSearch, PositionsOrMinusOne)
{
    const SString str = Owned("abcab");
    EXPECT_EQ(-1, str.Find('z'));
    EXPECT_EQ(1, str.Find('b'));
    EXPECT_EQ(5, str.Find('\0')); // the terminator
    EXPECT_EQ(4, str.FindLast('b'));
    EXPECT_EQ(-1, str.FindLast('z'));
    EXPECT_EQ(2, str.FindAnyOf("xc"));
    EXPECT_EQ(-1, str.FindAnyOf("xyz"));
    EXPECT_EQ(0, str.Find(""));
    EXPECT_EQ(1, str.Find("bca"));
    EXPECT_EQ(-1, str.Find("abd"));
    EXPECT_EQ(-1, SString().Find('a'));
    EXPECT_EQ(0, SString().Find(""));
}

// ---- Case and order ----

TEST(SStringCase, DefaultLocaleChangesOnlyLetters)
{
    SString str = Owned("aZ09-_\xe9!");
    str.ToUpper();
    EXPECT_STREQ("AZ09-_\xe9!", str);
    str.ToLower();
    EXPECT_STREQ("az09-_\xe9!", str);
}

TEST(SStringReverse, ReversesInPlace)
{
    const char* cases[][2] = {{"abcd", "dcba"}, {"abc", "cba"}, {"a", "a"}, {"", ""}};
    for (const auto& c : cases)
    {
        SString str = Owned(c[0]);
        str.Reverse();
        EXPECT_STREQ(c[1], str) << c[0];
    }
}

// ---- Trimming ----

TEST(SStringTrim, CutsWhiteSpaceAtTheEndsOnly)
{
    struct Case
    {
        const char* pszInput;
        const char* pszRight;
        const char* pszLeft;
        const char* pszBoth;
    };
    const Case cases[] = {
        {"ab  \t", "ab", "ab  \t", "ab"},
        {" \n ab", " \n ab", "ab", "ab"},
        {"  a b  ", "  a b", "a b  ", "a b"},
        {"a  b", "a  b", "a  b", "a  b"},
        {"    ", "", "", ""},
        {"x", "x", "x", "x"},
    };
    for (const Case& c : cases)
    {
        SString strRight = Owned(c.pszInput);
        SString strLeft = Owned(c.pszInput);
        SString strBoth = Owned(c.pszInput);
        const char* pchBoth = strBoth;
        strRight.TrimRight();
        strLeft.TrimLeft();
        strBoth.Trim();
        EXPECT_STREQ(c.pszRight, strRight) << '"' << c.pszInput << '"';
        EXPECT_EQ(static_cast<Int32>(strlen(c.pszRight)), strRight.GetLength())
            << '"' << c.pszInput << '"';
        EXPECT_STREQ(c.pszLeft, strLeft) << '"' << c.pszInput << '"';
        EXPECT_EQ(static_cast<Int32>(strlen(c.pszLeft)), strLeft.GetLength())
            << '"' << c.pszInput << '"';
        EXPECT_STREQ(c.pszBoth, strBoth) << '"' << c.pszInput << '"';
        EXPECT_EQ(static_cast<Int32>(strlen(c.pszBoth)), strBoth.GetLength())
            << '"' << c.pszInput << '"';
        // Trimming never reallocates an unshared buffer.
        EXPECT_EQ(pchBoth, static_cast<const char*>(strBoth)) << '"' << c.pszInput << '"';
        EXPECT_EQ(static_cast<Int32>(strlen(c.pszInput)), strBoth.GetAllocLength())
            << '"' << c.pszInput << '"';
    }
}

// ---- Clear ----

TEST(SStringClear, DropsAnOrdinaryBufferButKeepsAPinnedOne)
{
    SString strPlain = Owned("abc");
    strPlain.Clear();
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(strPlain));

    SString strPinned = Owned("abc");
    char* pchPinned = strPinned.PinBuffer();
    strPinned.Clear();
    EXPECT_EQ(pchPinned, static_cast<const char*>(strPinned));
    EXPECT_EQ(0, strPinned.GetLength());
    EXPECT_EQ(3, strPinned.GetAllocLength());
    EXPECT_EQ(-1, RefsOf(strPinned));

    SString strEmpty;
    strEmpty.Clear();
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(strEmpty));
}

// ---- Pinned buffers ----

TEST(SStringPinned, CopiesNeverShareAPinnedBuffer)
{
    SString strPinned = Owned("ab");
    strPinned.ResizeBuffer(4);
    char* pch = strPinned.PinBuffer();
    pch[2] = 0; // a zero character before the end
    pch[3] = 'd';
    ASSERT_EQ(4, strPinned.GetLength());

    SString strCopied(strPinned);
    EXPECT_NE(pch, static_cast<const char*>(strCopied));
    EXPECT_EQ(2, strCopied.GetLength()); // copy construction ends at the zero
    EXPECT_STREQ("ab", strCopied);

    SString strAssigned;
    strAssigned = strPinned;
    EXPECT_NE(pch, static_cast<const char*>(strAssigned));
    EXPECT_EQ(4, strAssigned.GetLength()); // assignment copies the full length
    EXPECT_EQ(0, memcmp(static_cast<const char*>(strAssigned), "ab\0d", 5));
    EXPECT_EQ(-1, RefsOf(strPinned));

    strPinned.UnpinBuffer();
    EXPECT_EQ(1, RefsOf(strPinned));
    SString strShared(strPinned);
    EXPECT_EQ(pch, static_cast<const char*>(strShared));
    EXPECT_EQ(2, RefsOf(strPinned));
}

TEST(SStringPinned, AssigningToAPinnedStringCopiesIntoIt)
{
    SString strPinned = Owned("abcdef");
    char* pch = strPinned.PinBuffer();
    SString strSource = Owned("xy");
    strPinned = strSource;
    EXPECT_EQ(pch, static_cast<const char*>(strPinned));
    EXPECT_STREQ("xy", strPinned);
    EXPECT_EQ(-1, RefsOf(strPinned));
    EXPECT_EQ(1, RefsOf(strSource));
}

TEST(SStringPinned, PinningASharedBufferMakesItOwn)
{
    SString strOther = Owned("abc");
    SString str(strOther);
    char* pch = str.PinBuffer();
    EXPECT_NE(static_cast<const char*>(strOther), pch);
    EXPECT_EQ(1, RefsOf(strOther));
    EXPECT_EQ(-1, RefsOf(str));
    EXPECT_STREQ("abc", str);
}

TEST(SStringPinned, TheSharedEmptyStaysAsItIs)
{
    SString str;
    EXPECT_EQ(SharedEmpty(), str.PinBuffer());
    str.UnpinBuffer();
    EXPECT_EQ(-1, RefsOf(str));
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(str));
}

// ---- Direct buffer access ----

TEST(SStringBuffer, WriteBufferGrowsKeepsTheTextAndTheLength)
{
    SString str = Owned("abc");
    char* pch = str.GetWriteBuffer(10);
    EXPECT_EQ(10, str.GetAllocLength());
    EXPECT_EQ(3, str.GetLength());
    EXPECT_STREQ("abc", pch);
    strcpy(pch, "abcdefgh");
    str.CommitBuffer();
    EXPECT_EQ(8, str.GetLength());
    EXPECT_STREQ("abcdefgh", str);

    // A smaller request keeps the buffer.
    EXPECT_EQ(pch, str.GetWriteBuffer(4));
    EXPECT_EQ(10, str.GetAllocLength());
}

TEST(SStringBuffer, WriteBufferOfASharedStringUnshares)
{
    SString strOther = Owned("abc");
    SString str(strOther);
    char* pch = str.GetWriteBuffer(2);
    EXPECT_NE(static_cast<const char*>(strOther), pch);
    EXPECT_EQ(3, str.GetAllocLength()); // max(minimum, length)
    EXPECT_EQ(1, RefsOf(strOther));
    pch[0] = 'X';
    EXPECT_STREQ("abc", strOther);
}

TEST(SStringBuffer, CommitAndResizeSetTheLength)
{
    SString str;
    char* pch = str.ResizeBuffer(5);
    EXPECT_EQ(5, str.GetLength());
    EXPECT_EQ(5, str.GetAllocLength());
    memcpy(pch, "hello", 5);
    EXPECT_STREQ("hello", str);
    str.CommitBuffer(2);
    EXPECT_STREQ("he", str);
    EXPECT_EQ(2, str.GetLength());
    str.ResizeBuffer(1);
    EXPECT_STREQ("h", str);
    EXPECT_EQ(5, str.GetAllocLength());
}

TEST(SStringBuffer, CompactShrinksToTheLength)
{
    SString str = Owned("abc");
    str.GetWriteBuffer(40);
    str.Compact();
    EXPECT_EQ(3, str.GetAllocLength());
    EXPECT_STREQ("abc", str);
    const char* pchCompact = str;
    str.Compact(); // already exact: nothing happens
    EXPECT_EQ(pchCompact, static_cast<const char*>(str));

    SString strEmptied = Owned("abc");
    strEmptied = "";
    strEmptied.Compact();
    EXPECT_EQ(SharedEmpty(), static_cast<const char*>(strEmptied));
}
