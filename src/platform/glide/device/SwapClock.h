// SwapClock: the time source and sleep of buffer-swap pacing.
//
// An interface so the pacing can be tested with a simulated clock; SystemClock is the real one
// (QueryPerformanceCounter and Sleep). Used per swap.
#pragma once
#include "Types.h"

class SwapClock
{
  public:
    virtual ~SwapClock() = default;
    virtual Int64 Now() = 0;       // ticks
    virtual Int64 Frequency() = 0; // ticks per second
    virtual void Sleep(Int32 nMilliseconds) = 0;
};
