// SystemClock: Win32 performance counter and Sleep.
#include "SystemClock.h"
#include <windows.h>

Int64 SystemClock::Now()
{
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return Int64(count.QuadPart);
}

Int64 SystemClock::Frequency()
{
    if (m_nFrequency <= 0)
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        m_nFrequency = Int64(frequency.QuadPart) > 0 ? Int64(frequency.QuadPart) : 1;
    }
    return m_nFrequency;
}

void SystemClock::Sleep(Int32 nMilliseconds)
{
    ::Sleep(DWORD(nMilliseconds > 0 ? nMilliseconds : 0));
}
