#include "MaterialTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

std::string MaterialDirectoryTest::s_strModulePath;
bool MaterialDirectoryTest::s_bFail = false;

void MaterialDirectoryTest::SetUp()
{
    std::string strTemplate =
        (std::filesystem::temp_directory_path() / "moltrane-material-XXXXXX").string();
    ASSERT_NE(mkdtemp(&strTemplate[0]), nullptr) << "cannot create a scratch directory";
    m_strDirectory = strTemplate + "/";
    s_strModulePath = m_strDirectory + "saver";
    s_bFail = false;
    m_pfnPrevious = ProgramDirectory::SetSource(&FakeModulePath);
}

void MaterialDirectoryTest::TearDown()
{
    ProgramDirectory::SetSource(m_pfnPrevious);
    std::error_code error;
    std::filesystem::remove_all(m_strDirectory, error);
}

void MaterialDirectoryTest::WriteFile(const std::string& strName, const std::string& strText) const
{
    std::ofstream file(m_strDirectory + strName, std::ios::binary);
    file << strText;
    ASSERT_TRUE(file.good()) << "cannot write " << strName;
}

void MaterialDirectoryTest::RemoveFile(const std::string& strName) const
{
    std::remove((m_strDirectory + strName).c_str());
}

void MaterialDirectoryTest::SetModulePath(const std::string& strPath)
{
    s_strModulePath = strPath;
}

void MaterialDirectoryTest::SetModulePathFailure()
{
    s_bFail = true;
}

DWORD MaterialDirectoryTest::FakeModulePath(LPSTR pchBuffer, DWORD nSize)
{
    // GetModuleFileNameA: a path that does not fit is cut to nSize - 1
    // characters and the result is nSize.
    if (s_bFail)
        return 0;
    const std::size_t nLength = s_strModulePath.size();
    const std::size_t nCopy = nLength < nSize ? nLength : nSize - 1;
    std::memcpy(pchBuffer, s_strModulePath.data(), nCopy);
    pchBuffer[nCopy] = '\0';
    return nLength < nSize ? DWORD(nLength) : nSize;
}

std::vector<std::string> MaterialItems(const std::string& strTexture)
{
    return {"255, 128, 0, 64",
            "GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB",
            "SRC_ALPHA",
            "ONE_MINUS_SRC_ALPHA",
            "ONE",
            "ZERO",
            "SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL",
            "TEXTURE_ALPHA",
            "DEPTH",
            "TEXTURE",
            "True",
            strTexture,
            "GR_TEXTURECOMBINE_DECAL"};
}

std::string JoinItems(const std::vector<std::string>& items, const std::string& strSeparator)
{
    std::string strText;
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        if (i != 0)
            strText += strSeparator;
        strText += items[i];
    }
    return strText + "\n";
}
