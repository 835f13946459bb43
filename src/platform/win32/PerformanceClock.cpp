// PerformanceClock and the KERNEL time calls that read it.
#include "PerformanceClock.h"

#include <Win32StandIn.h>
#include <windows.h>

#include <cerrno>
#include <ctime>
#include <sched.h>
#include <unistd.h>

namespace StandIn
{

namespace
{
const int64_t kNanosecondsPerSecond = 1000000000;

int64_t MonotonicNanoseconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * kNanosecondsPerSecond + ts.tv_nsec;
}
} // namespace

PerformanceClock& PerformanceClock::Instance()
{
    static PerformanceClock s_clock;
    return s_clock;
}

int64_t PerformanceClock::GetCounter()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bTest ? m_llTestCounter : MonotonicNanoseconds();
}

int64_t PerformanceClock::GetFrequency()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bTest ? m_llTestFrequency : kNanosecondsPerSecond;
}

uint32_t PerformanceClock::GetTickCount()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_bTest)
    {
        // Split the division so that large counters do not overflow.
        int64_t llWhole = m_llTestCounter / m_llTestFrequency;
        int64_t llRest = m_llTestCounter % m_llTestFrequency;
        return static_cast<uint32_t>(llWhole * 1000 + llRest * 1000 / m_llTestFrequency);
    }
    return static_cast<uint32_t>(MonotonicNanoseconds() / 1000000);
}

void PerformanceClock::Sleep(uint32_t dwMilliseconds)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bTest && m_bSleepAdvances)
        {
            m_llTestCounter += static_cast<int64_t>(dwMilliseconds) * m_llTestFrequency / 1000;
            return;
        }
    }
    if (dwMilliseconds == 0)
    {
        sched_yield(); // Sleep(0) gives up the rest of the time slice.
        return;
    }
    if (dwMilliseconds == INFINITE)
    {
        for (;;)
            pause(); // Sleep(INFINITE) never returns.
    }
    timespec ts;
    ts.tv_sec = dwMilliseconds / 1000;
    ts.tv_nsec = static_cast<long>(dwMilliseconds % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR)
    {
    }
}

void PerformanceClock::SetTestClock(int64_t llFrequency, int64_t llCounter)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_bTest = llFrequency > 0;
    m_llTestFrequency = llFrequency;
    m_llTestCounter = llCounter;
}

void PerformanceClock::AdvanceTestClock(int64_t llCounts)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_bTest)
        m_llTestCounter += llCounts;
}

void PerformanceClock::UseRealClock()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_bTest = false;
    m_bSleepAdvances = false;
}

void PerformanceClock::SetSleepAdvancesTestClock(bool bAdvance)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_bSleepAdvances = bAdvance;
}

} // namespace StandIn

using StandIn::PerformanceClock;

extern "C" BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount)
{
    if (!lpPerformanceCount)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpPerformanceCount->QuadPart = PerformanceClock::Instance().GetCounter();
    return TRUE;
}

extern "C" BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency)
{
    if (!lpFrequency)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpFrequency->QuadPart = PerformanceClock::Instance().GetFrequency();
    return TRUE;
}

extern "C" DWORD WINAPI GetTickCount(void)
{
    return PerformanceClock::Instance().GetTickCount();
}

extern "C" void WINAPI Sleep(DWORD dwMilliseconds)
{
    PerformanceClock::Instance().Sleep(dwMilliseconds);
}

void StandIn_SetTestClock(int64_t llFrequency, int64_t llCounter)
{
    PerformanceClock::Instance().SetTestClock(llFrequency, llCounter);
}
void StandIn_AdvanceTestClock(int64_t llCounts)
{
    PerformanceClock::Instance().AdvanceTestClock(llCounts);
}
void StandIn_UseRealClock()
{
    PerformanceClock::Instance().UseRealClock();
}
void StandIn_SetSleepAdvancesTestClock(bool bAdvance)
{
    PerformanceClock::Instance().SetSleepAdvancesTestClock(bAdvance);
}
