// SwapRate: frames per second on standard error.
#include "SwapRate.h"
#include <cstdio>
#if defined(_WIN32)
#include <windows.h>
#endif
#include <cstdlib>

void SwapRate::Start()
{
    const char* pchSeconds = std::getenv("GLIDE_SW_STATS");
    const long nSeconds = pchSeconds ? std::strtol(pchSeconds, nullptr, 10) : 0;
    m_nSeconds = nSeconds > 0 && nSeconds <= 3600 ? Int32(nSeconds) : 0;
    m_nSince = m_Clock.Now();
    m_nFrames = 0;
}

void SwapRate::Count()
{
    if (m_nSeconds == 0)
        return;
    ++m_nFrames;
    const Int64 nNow = m_Clock.Now();
    const Int64 nTicks = nNow - m_nSince;
    if (nTicks < Int64(m_nSeconds) * m_Clock.Frequency())
        return;
    const double dSeconds = double(nTicks) / double(m_Clock.Frequency());
    char achLine[96];
    std::snprintf(achLine, sizeof achLine, "glide: %d frames in %.2f s: %.1f frames per second\n",
                  m_nFrames, dSeconds, double(m_nFrames) / dSeconds);
    std::fputs(achLine, stderr);
    std::fflush(stderr);
#if defined(_WIN32)
    // A Windows program's standard error is usually nowhere: the debugger's output (DebugView,
    // or Wine's +debugstr channel) shows the line too.
    OutputDebugStringA(achLine);
#endif
    m_nSince = nNow;
    m_nFrames = 0;
}
