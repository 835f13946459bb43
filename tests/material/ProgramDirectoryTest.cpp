// The program directory: where the path is cut, and the real lookup through
// GetModuleFileNameA on the running test program.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <string>

#include "ProgramDirectory.h"
#include "SString.h"

namespace
{

TEST(DirectoryLength, CutsAfterTheLastBackslashOrSlash)
{
    const struct
    {
        const char* pchPath;
        Int32 nLength;
    } kCases[] = {
        {"C:\\Games\\Moltrane\\saver.scr", 18},
        {"/usr/games/moltrane/demo", 20},
        {"C:\\Games/Moltrane\\demo.exe", 18},
        {"C:/Games\\Moltrane/demo.exe", 18},
        {"saver.scr", 0},
        {"", 0},
        {"\\", 1},
        {"/", 1},
        {"dir/", 4},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(ProgramDirectory::DirectoryLength(c.pchPath), c.nLength) << c.pchPath;
}

std::string s_strFakePath;

DWORD FakePath(LPSTR pchBuffer, DWORD nSize)
{
    // GetModuleFileNameA: a path that does not fit is cut and the result
    // is nSize.
    const DWORD nLength = DWORD(s_strFakePath.size());
    const DWORD nCopy = nLength < nSize ? nLength : nSize - 1;
    s_strFakePath.copy(pchBuffer, nCopy);
    pchBuffer[nCopy] = '\0';
    return nLength < nSize ? nLength : nSize;
}

TEST(ProgramDirectory, PathOf259CharactersFitsAndOf260DoesNot)
{
    const ModulePathSource pfnPrevious = ProgramDirectory::SetSource(&FakePath);
    SString strDirectory;
    s_strFakePath = "/" + std::string(249, 'd') + "/saver.sc"; // 259 characters
    ASSERT_EQ(s_strFakePath.size(), 259u);
    EXPECT_EQ(ProgramDirectory::Get(strDirectory), 1);
    EXPECT_EQ(strDirectory.GetLength(), 251);
    s_strFakePath += "r"; // 260: GetModuleFileNameA would cut it
    EXPECT_EQ(ProgramDirectory::Get(strDirectory), 0);
    s_strFakePath = "C:\\Moltrane\\saver.scr";
    EXPECT_EQ(ProgramDirectory::Get(strDirectory), 1);
    EXPECT_STREQ(strDirectory, "C:\\Moltrane\\");
    s_strFakePath = "saver.scr";
    EXPECT_EQ(ProgramDirectory::Get(strDirectory), 1);
    EXPECT_STREQ(strDirectory, "");
    ProgramDirectory::SetSource(pfnPrevious);
}

TEST(ProgramDirectory, NullSourceRestoresTheRealLookup)
{
    const ModulePathSource pfnPrevious = ProgramDirectory::SetSource(&FakePath);
    EXPECT_EQ(ProgramDirectory::SetSource(nullptr), &FakePath);
    const ModulePathSource pfnReal = ProgramDirectory::SetSource(pfnPrevious);
    EXPECT_NE(pfnReal, &FakePath);
    EXPECT_NE(pfnReal, nullptr);
}

TEST(ProgramDirectory, RealLookupGivesTheTestProgramsDirectory)
{
    char achExe[PATH_MAX];
    const ssize_t nLength = readlink("/proc/self/exe", achExe, sizeof(achExe) - 1);
    ASSERT_GT(nLength, 0);
    achExe[nLength] = '\0';
    std::string strExpected(achExe);
    strExpected.erase(strExpected.rfind('/') + 1);
    if (strExpected.size() >= ProgramDirectory::kBufferSize)
        GTEST_SKIP() << "the build directory is too deep for a 260-character path";
    SString strDirectory;
    ASSERT_EQ(ProgramDirectory::Get(strDirectory), 1);
    EXPECT_EQ(std::string(strDirectory), strExpected);
}

} // namespace
