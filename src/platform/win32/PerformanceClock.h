// PerformanceClock: the source of QueryPerformanceCounter/Frequency, GetTickCount and Sleep.
//
// Normally CLOCK_MONOTONIC counted in nanoseconds (frequency 1e9). A test may switch it to a
// test clock whose frequency and counter it sets and advances (Win32StandIn.h); GetTickCount
// then follows the same clock, and Sleep may advance it instead of waiting.
// Owner: one process-wide instance. Any thread may read it or advance the test clock.
#pragma once

#include <cstdint>
#include <mutex>

namespace StandIn
{

class PerformanceClock
{
  public:
    static PerformanceClock& Instance();

    int64_t GetCounter();
    int64_t GetFrequency();
    // Milliseconds since an arbitrary start, wrapping at 2^32 as GetTickCount does.
    uint32_t GetTickCount();
    void Sleep(uint32_t dwMilliseconds);

    void SetTestClock(int64_t llFrequency, int64_t llCounter);
    void AdvanceTestClock(int64_t llCounts);
    void UseRealClock();
    void SetSleepAdvancesTestClock(bool bAdvance);

  private:
    std::mutex m_lock;
    bool m_bTest = false;
    bool m_bSleepAdvances = false;
    int64_t m_llTestFrequency = 0;
    int64_t m_llTestCounter = 0;
};

} // namespace StandIn
