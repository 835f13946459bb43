// SwapRate: the frames per second a program reaches, told on standard error every few seconds
// when GLIDE_SW_STATS asks for it (a count of seconds; unset or 0: never), and on Windows to
// the debugger's output too. For measuring a program that has no counter of its own, such as
// demo.exe under Wine.
//
// Owner: the Device; Start at every open, Count at every swap. Nothing is allocated.
#pragma once
#include "SwapClock.h"
#include "Types.h"

class SwapRate
{
  public:
    explicit SwapRate(SwapClock& clock) : m_Clock(clock) {}

    // Reads GLIDE_SW_STATS and starts counting.
    void Start();
    void Count();

  private:
    SwapClock& m_Clock;
    Int32 m_nSeconds = 0;
    Int64 m_nSince = 0; // ticks at the start of the stretch being counted
    Int32 m_nFrames = 0;
};
