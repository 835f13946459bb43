// Gu3dfTestFiles.h - helpers of the .3df loader tests: writing self-made files into a scratch
// directory, reading whole files, and the location of the shared real-world fixtures.
#pragma once

#include <cstdio>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace Gu3dfTestFiles
{
typedef std::vector<unsigned char> Bytes;

// The directory of the real-world .3df fixtures beside the source tree.
inline std::string FixtureDir()
{
    return std::string(MOLTRANE_SOURCE_DIR) + "/../shared/fixtures/3df";
}

inline bool FixturesPresent()
{
    FILE* pFile = std::fopen((FixtureDir() + "/README.md").c_str(), "rb");
    if (pFile != nullptr)
    {
        std::fclose(pFile);
    }
    return pFile != nullptr;
}

inline Bytes ReadAll(const std::string& path)
{
    Bytes bytes;
    FILE* pFile = std::fopen(path.c_str(), "rb");
    if (pFile == nullptr)
    {
        return bytes;
    }
    unsigned char ab[4096];
    size_t n = 0;
    while ((n = std::fread(ab, 1, sizeof(ab), pFile)) > 0)
    {
        bytes.insert(bytes.end(), ab, ab + n);
    }
    std::fclose(pFile);
    return bytes;
}

// The scratch files this test program wrote, removed when it ends (by the process that wrote
// them, not by a child it forked).
struct ScratchFiles
{
    pid_t owner = getpid();
    std::set<std::string> paths;
    ~ScratchFiles()
    {
        if (getpid() != owner)
            return;
        for (const std::string& path : paths)
            std::remove(path.c_str());
    }
};

// Writes bytes to a file of this name in the test's scratch directory; returns its path.
inline std::string WriteScratch(const std::string& name, const Bytes& bytes)
{
    // The scratch directory is shared: the process id keeps test programs that run side by
    // side (ctest -j) off each other's files.
    static ScratchFiles s_written;
    const std::string path =
        ::testing::TempDir() + "gu3df-" + std::to_string(getpid()) + "-" + name;
    s_written.paths.insert(path);
    FILE* pFile = std::fopen(path.c_str(), "wb");
    EXPECT_NE(pFile, nullptr) << path;
    if (pFile != nullptr)
    {
        if (!bytes.empty())
        {
            std::fwrite(bytes.data(), 1, bytes.size(), pFile);
        }
        std::fclose(pFile);
    }
    return path;
}

// A header text followed by a body of the given size whose byte i is (i * 7 + 3) & 0xFF.
inline Bytes MakeFile(const std::string& header, size_t nBodyBytes)
{
    Bytes bytes(header.begin(), header.end());
    for (size_t i = 0; i < nBodyBytes; ++i)
    {
        bytes.push_back(static_cast<unsigned char>((i * 7 + 3) & 0xFF));
    }
    return bytes;
}
} // namespace Gu3dfTestFiles
