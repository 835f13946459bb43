#include "ReplayRun.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "FrameTimes.h"
#include "PngFile.h"
#include "TraceFrameClock.h"

namespace
{
typedef std::chrono::steady_clock Clock;

struct TraceSummary
{
    Int64 m_llFrames = 0;
    UInt64 m_allCount[256] = {};
    UInt64 m_allBytes[256] = {};
    TraceFrameClock m_Clock;
};

// Calls that draw, clear, swap or write pixels: a frame's work begins with the first of them.
Int32 IsFrameWork(TraceCall eCall)
{
    return (eCall >= TraceCall::DrawPoint && eCall <= TraceCall::DrawPolygonVertexListWithClip) ||
           eCall == TraceCall::BufferClear || eCall == TraceCall::BufferSwap ||
           eCall == TraceCall::LfbWriteRegion;
}

double CpuMs()
{
    return (double)std::clock() * 1000.0 / (double)CLOCKS_PER_SEC;
}

// The first pass: every record checked, frames counted, the capture's frame clock found.
Int32 Survey(const char* pszTool, const std::string& strPath, size_t nBytes, TraceReader& rReader,
             TraceSummary& rSummary)
{
    TraceRecord record;
    UInt64 llLastOffset = 0;
    Byte nLastCall = 0;
    while (rReader.Next(&record))
    {
        if (nLastCall != 0)
            rSummary.m_allBytes[nLastCall] += record.llOffset - llLastOffset;
        llLastOffset = record.llOffset;
        nLastCall = Byte(record.eCall);
        rSummary.m_allCount[nLastCall]++;
        if (record.eCall == TraceCall::BufferSwap)
            rSummary.m_llFrames++;
        else if (record.eCall == TraceCall::Marker && !rSummary.m_Clock.HasSceneTime())
            rSummary.m_Clock.ReadMarker(reinterpret_cast<const char*>(record.pData), record.nData);
    }
    if (rReader.Failed())
    {
        fprintf(stderr, "%s: %s is damaged: %s\n", pszTool, strPath.c_str(),
                rReader.Error().c_str());
        return 0;
    }
    if (nLastCall != 0)
        rSummary.m_allBytes[nLastCall] += nBytes - llLastOffset;
    return 1;
}

void PrintList(const TraceSummary& rSummary)
{
    printf("%-34s %10s %12s\n", "call", "records", "bytes");
    for (Int32 n = 0; n < 256; n++)
        if (rSummary.m_allCount[n] != 0)
            printf("%-34s %10llu %12llu\n", TraceFormat::Shape(Byte(n))->pchName,
                   (unsigned long long)rSummary.m_allCount[n],
                   (unsigned long long)rSummary.m_allBytes[n]);
}

// Pixel-exact comparison with the picture of the same name in the folder, if there is one.
// Returns 1 equal, 0 different, -1 no picture to compare with.
Int32 CompareFrame(const std::string& strDir, const std::string& strName, const RgbImage& rImage)
{
    const std::string strPath = strDir + "/" + strName;
    std::error_code error;
    if (!std::filesystem::exists(strPath, error))
        return -1;
    RgbImage reference;
    std::string strError;
    if (!ReadPng(strPath, reference, strError))
    {
        printf("DIFFERENT %s: %s\n", strName.c_str(), strError.c_str());
        return 0;
    }
    if (reference.m_nWidth != rImage.m_nWidth || reference.m_nHeight != rImage.m_nHeight)
    {
        printf("DIFFERENT %s: reference is %dx%d, frame is %dx%d\n", strName.c_str(),
               reference.m_nWidth, reference.m_nHeight, rImage.m_nWidth, rImage.m_nHeight);
        return 0;
    }
    Int64 llDiffering = 0;
    Int32 nFirstX = -1, nFirstY = -1;
    for (Int32 y = 0; y < rImage.m_nHeight; y++)
        for (Int32 x = 0; x < rImage.m_nWidth; x++)
        {
            const Byte* pbyA = rImage.Pixel(x, y);
            const Byte* pbyB = reference.Pixel(x, y);
            if ((pbyA[0] != pbyB[0] || pbyA[1] != pbyB[1] || pbyA[2] != pbyB[2]) &&
                llDiffering++ == 0)
            {
                nFirstX = x;
                nFirstY = y;
            }
        }
    if (llDiffering == 0)
    {
        printf("equal     %s\n", strName.c_str());
        return 1;
    }
    const Byte* pbyA = rImage.Pixel(nFirstX, nFirstY);
    const Byte* pbyB = reference.Pixel(nFirstX, nFirstY);
    printf("DIFFERENT %s: %lld pixels differ; first at (%d, %d): replay %d,%d,%d, "
           "reference %d,%d,%d\n",
           strName.c_str(), (long long)llDiffering, nFirstX, nFirstY, pbyA[0], pbyA[1], pbyA[2],
           pbyB[0], pbyB[1], pbyB[2]);
    return 0;
}

struct PictureResult
{
    Int64 m_llCompared = 0;
    Int64 m_llDiffering = 0;
    Int32 m_bWriteFailed = 0;
};

void HandlePicture(const char* pszTool, const ReplayOptions& rOptions, const TraceSummary& rSummary,
                   Int64 llFrame, ReplayTarget& rTarget, PictureResult& rResult)
{
    const Int32 bWrite = rOptions.WantsFrame(llFrame);
    if (!bWrite && rOptions.m_strCheckDir.empty())
        return;
    RgbImage image;
    if (!rTarget.ReadFrame(image))
        return;
    const std::string strName = rSummary.m_Clock.FrameName(llFrame);
    if (bWrite)
    {
        std::string strError;
        const std::string strPath = rOptions.m_strOutDir + "/" + strName;
        if (!WritePng(strPath, image, strError))
        {
            fprintf(stderr, "%s: %s\n", pszTool, strError.c_str());
            rResult.m_bWriteFailed = 1;
        }
        else if (!rOptions.m_bQuiet)
            printf("  %s  (frame %lld of the trace)\n", strPath.c_str(), (long long)llFrame);
    }
    if (rOptions.m_strCheckDir.empty())
        return;
    const Int32 nEqual = CompareFrame(rOptions.m_strCheckDir, strName, image);
    if (nEqual < 0)
        return;
    rResult.m_llCompared++;
    if (nEqual == 0)
        rResult.m_llDiffering++;
}

// One repetition; the first also prints frame lines and handles pictures.
void PlayOnce(const char* pszTool, const ReplayOptions& rOptions, const TraceSummary& rSummary,
              TraceReader& rReader, ReplayTarget& rTarget, Int32 bFirst, FrameTimes& rTimes,
              PictureResult& rPictures)
{
    rReader.Rewind();
    rTarget.Begin();
    TraceRecord record;
    Int32 bInFrame = 0;
    Int64 llFrame = 0;
    Clock::time_point start;
    double dCpuStart = 0.0;
    while (rReader.Next(&record))
    {
        if (!bInFrame && IsFrameWork(record.eCall))
        {
            bInFrame = 1;
            rTarget.TakePixelCount();
            start = Clock::now();
            dCpuStart = CpuMs();
        }
        rTarget.Play(record);
        if (record.eCall != TraceCall::BufferSwap || !bInFrame)
            continue;
        rTarget.FinishFrame();
        const double dWallMs =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const double dCpuMs = CpuMs() - dCpuStart;
        const Int64 llPixels = rTarget.TakePixelCount();
        rTimes.Add(dWallMs, dCpuMs, llPixels);
        llFrame++;
        if (bFirst && !rOptions.m_bQuiet)
        {
            printf("frame %6lld  %8.3f ms  %8.3f ms processor  %9lld pixels  %s\n",
                   (long long)llFrame, dWallMs, dCpuMs, (long long)llPixels,
                   rSummary.m_Clock.FrameName(llFrame).c_str());
            fflush(stdout);
        }
        if (bFirst)
            HandlePicture(pszTool, rOptions, rSummary, llFrame, rTarget, rPictures);
        // The next frame starts where this one ends.
        start = Clock::now();
        dCpuStart = CpuMs();
        rTarget.TakePixelCount();
    }
    rTarget.Reset();
}
} // namespace

Int32 ReplayRun::Run(const char* pszTool, const ReplayOptions& rOptions, ReplayTarget& rTarget)
{
    std::vector<Byte> abTrace;
    std::string strError;
    if (!TraceReader::LoadFile(rOptions.m_strTracePath.c_str(), &abTrace, &strError))
    {
        fprintf(stderr, "%s: %s\n", pszTool, strError.c_str());
        return 3;
    }
    TraceReader reader;
    TraceSummary summary;
    if (!reader.Open(abTrace.data(), abTrace.size()))
    {
        fprintf(stderr, "%s: %s is damaged: %s\n", pszTool, rOptions.m_strTracePath.c_str(),
                reader.Error().c_str());
        return 1;
    }
    if (!Survey(pszTool, rOptions.m_strTracePath, abTrace.size(), reader, summary))
        return 1;
    if (rOptions.m_bList)
        PrintList(summary);
    if (summary.m_llFrames == 0)
    {
        // Sound, but nothing to time or compare.
        fflush(stdout);
        fprintf(stderr, "%s: %s holds no frame (no grBufferSwap); nothing to play\n", pszTool,
                rOptions.m_strTracePath.c_str());
        return rOptions.m_strCheckDir.empty() ? 0 : 1;
    }
    if (!rOptions.m_aFrameRanges.empty())
    {
        std::error_code error;
        std::filesystem::create_directories(rOptions.m_strOutDir, error);
        if (error)
        {
            fprintf(stderr, "%s: cannot create %s: %s\n", pszTool, rOptions.m_strOutDir.c_str(),
                    error.message().c_str());
            return 3;
        }
    }

    FrameTimes times;
    PictureResult pictures;
    for (Int32 nRun = 0; nRun < rOptions.m_nRepeat; nRun++)
        PlayOnce(pszTool, rOptions, summary, reader, rTarget, nRun == 0, times, pictures);

    const Int64 llPixels = times.MedianPixels();
    char szPixels[48] = "";
    if (llPixels >= 0)
        snprintf(szPixels, sizeof(szPixels), ", %lld pixels written", (long long)llPixels);
    printf("%s: %lld frames (%lld a run, %d runs); a frame: median %.3f ms, %.3f ms of "
           "processor time%s; %.1f frames per second\n",
           pszTool, (long long)times.Count(), (long long)summary.m_llFrames, rOptions.m_nRepeat,
           times.MedianWallMs(), times.MedianCpuMs(), szPixels, times.FramesPerSecond());
    times.PrintSummary();
    if (pictures.m_bWriteFailed)
        return 3;
    if (!rOptions.m_strCheckDir.empty())
    {
        if (pictures.m_llCompared == 0)
        {
            fprintf(stderr, "%s: no frame of the trace has a picture in %s\n", pszTool,
                    rOptions.m_strCheckDir.c_str());
            return 1;
        }
        printf("%s: %lld of %lld frames compared differ\n", pszTool,
               (long long)pictures.m_llDiffering, (long long)pictures.m_llCompared);
        if (pictures.m_llDiffering != 0)
            return 1;
    }
    return 0;
}
