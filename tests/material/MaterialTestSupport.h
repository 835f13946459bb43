// Shared helpers of the material tests: a scratch directory that stands in
// for the program directory, and material file texts.
//
// The fixture points ProgramDirectory at a fake module path inside its
// scratch directory (the loader's own test seam) and restores the real
// lookup afterwards; GetModuleFileNameA itself is never faked.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramDirectory.h"

class MaterialDirectoryTest : public testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes strText to the file strName inside the scratch directory.
    void WriteFile(const std::string& strName, const std::string& strText) const;
    // Deletes that file.
    void RemoveFile(const std::string& strName) const;
    // The program path the loader will see (default: <scratch>/saver).
    static void SetModulePath(const std::string& strPath);
    // Makes the module-path source fail the way GetModuleFileNameA does:
    // 0 for an error.
    static void SetModulePathFailure();

    // The scratch directory with its trailing slash.
    std::string m_strDirectory;

  private:
    static DWORD FakeModulePath(LPSTR pchBuffer, DWORD nSize);

    ModulePathSource m_pfnPrevious = nullptr;
    static std::string s_strModulePath;
    static bool s_bFail;
};

// The thirteen items of a well-formed material file, one per element.
std::vector<std::string> MaterialItems(const std::string& strTexture = "Null");
// Items joined with strSeparator, ending with a line break.
std::string JoinItems(const std::vector<std::string>& items,
                      const std::string& strSeparator = "\n");
