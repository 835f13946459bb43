// FrameTimes: what each replayed frame cost, and the figures of a whole run.
//
// Owner: ReplayRun, one per run; Add once per frame of every repetition. The summary line is
// the same for glide-replay and the peer, so that bench/peer/race reads both alike:
//   summary frames=N median-ms=X cpu-ms=Y fps=Z pixels=P
#pragma once
#include <vector>

#include "Types.h"

class FrameTimes
{
  public:
    // Wall and processor milliseconds of one frame and the pixels it wrote (-1: not counted).
    void Add(double dWallMs, double dCpuMs, Int64 llPixels);

    Int64 Count() const { return (Int64)m_adWallMs.size(); }
    double MedianWallMs() const;
    double MedianCpuMs() const;
    // Frames per second over the frames' own time.
    double FramesPerSecond() const;
    // Median pixels written a frame, or -1 when they were not counted.
    Int64 MedianPixels() const;

    // "summary frames=... " as above.
    void PrintSummary() const;

  private:
    static double Median(std::vector<double> adValues);

    std::vector<double> m_adWallMs;
    std::vector<double> m_adCpuMs;
    std::vector<double> m_adPixels;
    double m_dTotalWallMs = 0.0;
};
