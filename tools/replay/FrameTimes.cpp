#include "FrameTimes.h"

#include <algorithm>
#include <cstdio>

void FrameTimes::Add(double dWallMs, double dCpuMs, Int64 llPixels)
{
    m_adWallMs.push_back(dWallMs);
    m_adCpuMs.push_back(dCpuMs);
    if (llPixels >= 0)
        m_adPixels.push_back((double)llPixels);
    m_dTotalWallMs += dWallMs;
}

double FrameTimes::Median(std::vector<double> adValues)
{
    if (adValues.empty())
        return 0.0;
    std::sort(adValues.begin(), adValues.end());
    const size_t n = adValues.size();
    return n % 2 != 0 ? adValues[n / 2] : 0.5 * (adValues[n / 2 - 1] + adValues[n / 2]);
}

double FrameTimes::MedianWallMs() const
{
    return Median(m_adWallMs);
}

double FrameTimes::MedianCpuMs() const
{
    return Median(m_adCpuMs);
}

double FrameTimes::FramesPerSecond() const
{
    return m_dTotalWallMs > 0.0 ? (double)Count() * 1000.0 / m_dTotalWallMs : 0.0;
}

Int64 FrameTimes::MedianPixels() const
{
    return m_adPixels.empty() ? -1 : (Int64)Median(m_adPixels);
}

void FrameTimes::PrintSummary() const
{
    printf("summary frames=%lld median-ms=%.3f cpu-ms=%.3f fps=%.1f pixels=%lld\n",
           (long long)Count(), MedianWallMs(), MedianCpuMs(), FramesPerSecond(),
           (long long)MedianPixels());
}
