// The item reader: item 1's four integers with the %i rules and the packing
// into one colour, and the word items with their end-of-file and length
// checks.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "MaterialReader.h"

namespace
{

// A read-only stream over a string, closed when the test case ends.
class StringFile
{
  public:
    explicit StringFile(const std::string& strText) : m_strText(strText)
    {
        // fmemopen cannot open an empty buffer for reading on every libc;
        // an empty file is a temporary file with nothing written.
        m_pFile =
            m_strText.empty() ? std::tmpfile() : fmemopen(&m_strText[0], m_strText.size(), "r");
    }
    ~StringFile()
    {
        if (m_pFile != nullptr)
            std::fclose(m_pFile);
    }
    std::FILE* Get() const { return m_pFile; }

  private:
    std::string m_strText;
    std::FILE* m_pFile;
};

struct ColourCase
{
    const char* pchText;
    Int32 nResult;
    UInt32 nColour; // expected when nResult is 1
};

class ReadColour : public testing::TestWithParam<ColourCase>
{
};

TEST_P(ReadColour, MatchesTheFourIntegerPattern)
{
    const ColourCase& c = GetParam();
    StringFile file(c.pchText);
    ASSERT_NE(file.Get(), nullptr);
    MaterialReader reader(file.Get());
    UInt32 nColour = 0xDEADBEEFu;
    ASSERT_EQ(reader.ReadColour(nColour), c.nResult) << "input: \"" << c.pchText << "\"";
    EXPECT_EQ(nColour, c.nResult ? c.nColour : 0xDEADBEEFu) << "input: \"" << c.pchText << "\"";
}

const ColourCase kColourCases[] = {
    {"255, 128, 0, 64\n", 1, 0xFF800040u},
    {"255,128,0,64", 1, 0xFF800040u},
    {"255,\n128,\t0,   64   ", 1, 0xFF800040u},
    // Hexadecimal and octal as %i reads them: 0x7f = 127, 010 = 8, 0377 = 255.
    {"0x7f, 0XFF, 010, 0377", 1, 0x7FFF08FFu},
    {"+1, 2, 3, 4", 1, 0x01020304u},
    // No masking, 32-bit wrap-around: 256 in the alpha slot carries into
    // blue, -1 as red fills the top byte and borrows nothing below it.
    {"0, 0, 0, 256", 1, 0x00000100u},
    {"-1, 0, 0, 0", 1, 0xFF000000u},
    {"0, 0, 0, -1", 1, 0xFFFFFFFFu},
    {"1, 0, 0, -128", 1, 0x00FFFF80u},
    {"0, 0, 1, 256", 1, 0x00000200u},
    // A space before a comma stops the match after the first integer.
    {"255 , 128, 0, 64", 0, 0},
    {"255, 128 ,0, 64", 0, 0},
    {"255; 128; 0; 64", 0, 0},
    {"255, 128, 0", 0, 0},
    {"255, 128, 0,", 0, 0},
    {"red, 128, 0, 64", 0, 0},
    {"", 0, 0},
    {"   \n\n", 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Items, ReadColour, testing::ValuesIn(kColourCases));

TEST(PackColour, PlacesRedGreenBlueAlphaFromTheTopByteDown)
{
    EXPECT_EQ(MaterialReader::PackColour(255, 128, 0, 64), 0xFF800040u);
    EXPECT_EQ(MaterialReader::PackColour(0, 0, 0, 0), 0u);
    EXPECT_EQ(MaterialReader::PackColour(1, 2, 3, 4), 0x01020304u);
    // The built-in material's constant colour, -128: white with alpha 128.
    EXPECT_EQ(MaterialReader::PackColour(255, 255, 255, 128), 0xFFFFFF80u);
    EXPECT_EQ(MaterialReader::PackColour(0x7FFFFFFF, 0, 0, 0), 0xFF000000u);
}

TEST(ReadWord, ReadsWhitespaceSeparatedWordsInOrder)
{
    StringFile file("  ONE\tTWO\n\n three\r\nfour");
    MaterialReader reader(file.Get());
    char achWord[MaterialReader::kMaxWord + 1];
    const char* const kExpected[] = {"ONE", "TWO", "three", "four"};
    for (const char* pchExpected : kExpected)
    {
        ASSERT_EQ(reader.ReadWord(achWord), 1) << "reading " << pchExpected;
        EXPECT_STREQ(achWord, pchExpected);
    }
    EXPECT_EQ(reader.ReadWord(achWord), 0) << "past the end of the file";
}

TEST(ReadWord, AcceptsExactly259CharactersAndRejectsLongerWords)
{
    char achWord[MaterialReader::kMaxWord + 1];
    const std::string str259(259, 'a');
    const std::string str260(260, 'b');
    {
        StringFile file(str259); // ends at the end of the file
        MaterialReader reader(file.Get());
        ASSERT_EQ(reader.ReadWord(achWord), 1);
        EXPECT_EQ(std::string(achWord), str259);
    }
    {
        StringFile file(str259 + "\nNEXT");
        MaterialReader reader(file.Get());
        ASSERT_EQ(reader.ReadWord(achWord), 1);
        ASSERT_EQ(reader.ReadWord(achWord), 1);
        EXPECT_STREQ(achWord, "NEXT");
    }
    {
        StringFile file(str260 + "\n");
        MaterialReader reader(file.Get());
        EXPECT_EQ(reader.ReadWord(achWord), 0) << "a 260-character word must not be cut";
    }
    {
        StringFile file(std::string(5000, 'c'));
        MaterialReader reader(file.Get());
        EXPECT_EQ(reader.ReadWord(achWord), 0);
    }
}

TEST(ReadWord, FailsOnAnEmptyOrBlankFile)
{
    char achWord[MaterialReader::kMaxWord + 1];
    StringFile empty("");
    MaterialReader emptyReader(empty.Get());
    EXPECT_EQ(emptyReader.ReadWord(achWord), 0);
    StringFile blank(" \n\t\n");
    MaterialReader blankReader(blank.Get());
    EXPECT_EQ(blankReader.ReadWord(achWord), 0);
}

} // namespace
