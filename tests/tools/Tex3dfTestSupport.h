// Tex3dfTestSupport.h - helpers of the tex3df tests: test pictures, running the tool in-process,
// scratch paths, and per-channel error statistics.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ArgbImage.h"
#include "PngFile.h"
#include "Tex3dfTool.h"

namespace Tex3dfTest
{
inline std::string Scratch(const std::string& name)
{
    return ::testing::TempDir() + "tex3df-" + name;
}

struct ToolResult
{
    int nStatus;
    std::string out;
    std::string err;
};

inline ToolResult RunTool(const std::vector<std::string>& args)
{
    std::vector<const char*> argv(1, "tex3df");
    for (const std::string& arg : args)
    {
        argv.push_back(arg.c_str());
    }
    ToolResult result;
    result.nStatus = Tex3dfTool::Run(int(argv.size()), argv.data(), &result.out, &result.err);
    return result;
}

inline std::string WritePicture(const std::string& name, const ArgbImage& picture)
{
    const std::string path = Scratch(name);
    std::string error;
    EXPECT_TRUE(PngFile::Write(path.c_str(), picture, &error)) << error;
    return path;
}

inline ArgbImage ReadPicture(const std::string& path)
{
    ArgbImage picture;
    std::string error;
    EXPECT_TRUE(PngFile::Read(path.c_str(), &picture, &error)) << error;
    return picture;
}

// A picture filled by a function of (x, y) returning 0xAARRGGBB.
template <class F> ArgbImage MakePicture(Int32 nWidth, Int32 nHeight, F fill)
{
    ArgbImage picture(nWidth, nHeight);
    for (Int32 y = 0; y < nHeight; ++y)
    {
        for (Int32 x = 0; x < nWidth; ++x)
        {
            picture.SetPixel(x, y, fill(x, y));
        }
    }
    return picture;
}

// A fixed pseudo-random sequence (a 32-bit LCG), so test pictures are the same on every run.
class Lcg
{
  public:
    explicit Lcg(UInt32 nSeed) : m_nState(nSeed) {}
    UInt32 Next(UInt32 nBound)
    {
        m_nState = m_nState * 1664525u + 1013904223u;
        return (m_nState >> 8) % nBound;
    }

  private:
    UInt32 m_nState;
};

struct ChannelError
{
    double fMean; // mean absolute error over the R, G, B channels of every pixel
    int nMax;     // largest absolute error of any R, G or B channel
};

inline ChannelError RgbError(const ArgbImage& a, const ArgbImage& b)
{
    ChannelError error = {0.0, 0};
    double fSum = 0;
    for (size_t i = 0; i < a.Pixels().size(); ++i)
    {
        for (int nShift = 0; nShift <= 16; nShift += 8)
        {
            const int nA = int((a.Pixels()[i] >> nShift) & 0xFF);
            const int nB = int((b.Pixels()[i] >> nShift) & 0xFF);
            const int nDiff = nA > nB ? nA - nB : nB - nA;
            fSum += nDiff;
            error.nMax = nDiff > error.nMax ? nDiff : error.nMax;
        }
    }
    error.fMean = fSum / (3.0 * double(a.Pixels().size()));
    return error;
}

inline std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::vector<unsigned char> bytes;
    FILE* pFile = std::fopen(path.c_str(), "rb");
    if (pFile != nullptr)
    {
        int ch = 0;
        while ((ch = std::fgetc(pFile)) != EOF)
        {
            bytes.push_back((unsigned char)ch);
        }
        std::fclose(pFile);
    }
    return bytes;
}

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* pFile = std::fopen(path.c_str(), "wb");
    ASSERT_NE(pFile, nullptr) << path;
    if (!bytes.empty())
    {
        std::fwrite(bytes.data(), 1, bytes.size(), pFile);
    }
    std::fclose(pFile);
}
} // namespace Tex3dfTest
