// FrameTimer: the performance counter as running time and per-frame step.
#include "FrameTimer.h"

#include <windows.h>

FrameTimer g_FrameTimer;

FrameTimer::FrameTimer()
    : m_fStartTime(0.0f), m_fTime(0.0f), m_fDelta(0.0f), m_fSecondsPerCount(0.0f),
      m_llStartCount(0), m_llCount(0), m_llFrequency(0)
{
}

FrameTimer::~FrameTimer() {}

Int32 FrameTimer::Start(float fScale, float fStartTime)
{
    m_fStartTime = fStartTime;
    m_fTime = fStartTime;
    m_fDelta = 0.0f;

    LARGE_INTEGER liValue;
    QueryPerformanceFrequency(&liValue);
    m_llFrequency = liValue.QuadPart;
    // A counter that reports no frequency stands still: the time stays at the
    // start time instead of becoming infinite.
    m_fSecondsPerCount =
        m_llFrequency > 0
            ? static_cast<float>(static_cast<double>(fScale) / static_cast<double>(m_llFrequency))
            : 0.0f;

    const Int32 nResult = QueryPerformanceCounter(&liValue);
    m_llStartCount = liValue.QuadPart;
    m_llCount = m_llStartCount;
    return nResult;
}

Int32 FrameTimer::Update()
{
    LARGE_INTEGER liValue;
    QueryPerformanceCounter(&liValue);
    m_llCount = liValue.QuadPart;
    // A 64-bit difference, wrapping rather than overflowing.
    m_llCount =
        static_cast<Int64>(static_cast<UInt64>(m_llCount) - static_cast<UInt64>(m_llStartCount));
    // Both in double precision from the count and the stored floats: the time
    // is recomputed from the start each frame, never summed from the steps.
    m_fDelta = static_cast<float>(static_cast<double>(m_llCount) *
                                      static_cast<double>(m_fSecondsPerCount) +
                                  static_cast<double>(m_fStartTime) - static_cast<double>(m_fTime));
    m_fTime = static_cast<float>(static_cast<double>(m_fTime) + static_cast<double>(m_fDelta));
    return 1;
}

float FrameTimer::GetTime() const
{
    return m_fTime;
}
