// vellumtide-capture: the Vellumtide scene run headless at a fixed time step,
// its frames written as PNG files. See CaptureOptions.h for the command line.
//
// Exit codes: 0 done (and, with --compare, every frame equal), 1 a frame
// differs from its reference, 2 a bad command line, 3 the run failed.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "CaptureOptions.h"
#include "CaptureRun.h"
#include "ContactSheet.h"
#include "PngFile.h"

namespace
{
std::string FrameName(double dTime)
{
    return FrameFileName(dTime);
}

std::string TimeLabel(double dTime)
{
    char szLabel[32];
    snprintf(szLabel, sizeof(szLabel), "%.3fs", dTime);
    return szLabel;
}

Int32 WriteFrames(const CaptureOptions& rOptions, const CaptureResult& rResult)
{
    for (const CapturedFrame& rFrame : rResult.m_aFrames)
    {
        const std::string strPath = rOptions.m_strOutDir + "/" + FrameName(rFrame.m_dTime);
        std::string strError;
        if (!WritePng(strPath, rFrame.m_Image, strError))
        {
            fprintf(stderr, "vellumtide-capture: %s\n", strError.c_str());
            return 0;
        }
        printf("  %s  (frame %lld, scene time %.3f s)\n", strPath.c_str(),
               (long long)rFrame.m_llFrame, rFrame.m_dTime);
    }
    if (!rOptions.m_bSheet)
        return 1;

    std::vector<RgbImage> aImages;
    std::vector<std::string> astrLabels;
    for (const CapturedFrame& rFrame : rResult.m_aFrames)
    {
        aImages.push_back(rFrame.m_Image);
        astrLabels.push_back(TimeLabel(rFrame.m_dTime));
    }
    RgbImage sheet;
    BuildContactSheet(aImages, astrLabels, sheet);
    const std::string strPath = rOptions.m_strOutDir + "/sheet.png";
    std::string strError;
    if (!WritePng(strPath, sheet, strError))
    {
        fprintf(stderr, "vellumtide-capture: %s\n", strError.c_str());
        return 0;
    }
    printf("  %s  (contact sheet of %zu frames)\n", strPath.c_str(), aImages.size());
    return 1;
}

// Pixel-exact comparison with reference pictures; prints one line a frame.
Int32 CompareFrames(const CaptureOptions& rOptions, const CaptureResult& rResult)
{
    Int32 bAllEqual = 1;
    for (const CapturedFrame& rFrame : rResult.m_aFrames)
    {
        const std::string strPath = rOptions.m_strCompareDir + "/" + FrameName(rFrame.m_dTime);
        RgbImage reference;
        std::string strError;
        if (!ReadPng(strPath, reference, strError))
        {
            printf("DIFFERENT %s: %s\n", FrameName(rFrame.m_dTime).c_str(), strError.c_str());
            bAllEqual = 0;
            continue;
        }
        const RgbImage& rImage = rFrame.m_Image;
        if (reference.m_nWidth != rImage.m_nWidth || reference.m_nHeight != rImage.m_nHeight)
        {
            printf("DIFFERENT %s: reference is %dx%d, frame is %dx%d\n",
                   FrameName(rFrame.m_dTime).c_str(), reference.m_nWidth, reference.m_nHeight,
                   rImage.m_nWidth, rImage.m_nHeight);
            bAllEqual = 0;
            continue;
        }
        Int64 llDiffering = 0;
        Int32 nFirstX = -1;
        Int32 nFirstY = -1;
        for (Int32 y = 0; y < rImage.m_nHeight; y++)
            for (Int32 x = 0; x < rImage.m_nWidth; x++)
            {
                const Byte* pbyA = rImage.Pixel(x, y);
                const Byte* pbyB = reference.Pixel(x, y);
                if (pbyA[0] != pbyB[0] || pbyA[1] != pbyB[1] || pbyA[2] != pbyB[2])
                {
                    if (llDiffering++ == 0)
                    {
                        nFirstX = x;
                        nFirstY = y;
                    }
                }
            }
        if (llDiffering == 0)
        {
            printf("equal     %s\n", FrameName(rFrame.m_dTime).c_str());
            continue;
        }
        const Byte* pbyA = rImage.Pixel(nFirstX, nFirstY);
        const Byte* pbyB = reference.Pixel(nFirstX, nFirstY);
        printf("DIFFERENT %s: %lld pixels differ; first at (%d, %d): frame %d,%d,%d, "
               "reference %d,%d,%d\n",
               FrameName(rFrame.m_dTime).c_str(), (long long)llDiffering, nFirstX, nFirstY, pbyA[0],
               pbyA[1], pbyA[2], pbyB[0], pbyB[1], pbyB[2]);
        bAllEqual = 0;
    }
    return bAllEqual;
}
} // namespace

int main(int argc, char** argv)
{
    CaptureOptions options;
    std::string strError;
    if (!ParseCaptureOptions(argc, argv, options, strError))
    {
        fprintf(stderr, "vellumtide-capture: %s (see vellumtide-capture --help)\n",
                strError.c_str());
        return 2;
    }
    if (options.m_bHelp)
    {
        printf("%s", CaptureUsage());
        return 0;
    }

    std::error_code error;
    std::filesystem::create_directories(options.m_strOutDir, error);
    if (error)
    {
        fprintf(stderr, "vellumtide-capture: cannot create %s: %s\n", options.m_strOutDir.c_str(),
                error.message().c_str());
        return 3;
    }

    CaptureResult result;
    if (!RunCapture(options, result, strError))
    {
        fprintf(stderr, "vellumtide-capture: %s\n", strError.c_str());
        return 3;
    }

    printf("vellumtide-capture: %zu pictures in %s\n", result.m_aFrames.size(),
           options.m_strOutDir.c_str());
    if (!options.m_strTracePath.empty())
        printf("  %s  (Glide calls of frames %lld to %lld, scene time %.3f to %.3f s)\n",
               options.m_strTracePath.c_str(), (long long)options.m_llTraceFrom,
               (long long)options.m_llTraceTo, TimeOfFrame(options, options.m_llTraceFrom),
               TimeOfFrame(options, options.m_llTraceTo));
    if (!WriteFrames(options, result))
        return 3;
    const double dFrames = (double)result.m_llFramesDrawn;
    const double dFps = result.m_dDrawSeconds > 0.0 ? dFrames / result.m_dDrawSeconds : 0.0;
    const double dCpuFps =
        result.m_dDrawCpuSeconds > 0.0 ? dFrames / result.m_dDrawCpuSeconds : 0.0;
    printf("engine: %lld frames of 640x480, step %lld/%lld s, swaps not waiting\n",
           (long long)result.m_llFramesDrawn, (long long)options.m_llStepNumerator,
           (long long)options.m_llStepDenominator);
    printf("engine: %.1f frames per second (%.3f s of drawing); %.1f per second of processor "
           "time; first frame %.1f ms after start\n",
           dFps, result.m_dDrawSeconds, dCpuFps, result.m_dFirstFrameSeconds * 1000.0);

    if (!options.m_strCompareDir.empty())
        return CompareFrames(options, result) ? 0 : 1;
    return 0;
}
