// SwapPacer: holds each buffer swap to a virtual display's vertical retraces.
//
// Owner: the Device. Wait runs once per grBufferSwap: retraces happen at anchor + k / refresh
// for k = 1, 2, ...; a swap after n retraces waits for the n-th retrace after the previous
// swap's. Deadlines are absolute (counted from the anchor), so sleep overshoot never
// accumulates. A frame that took longer than its deadline swaps at once and the schedule starts
// again from that moment (re-anchored) instead of trying to catch up. n = 0 never waits.
#pragma once
#include "SwapClock.h"
#include "Types.h"

class SwapPacer
{
  public:
    explicit SwapPacer(SwapClock& clock) : m_Clock(clock) {}

    void SetRefreshRate(Int32 nHertz);
    // Forgets the schedule: the next swap happens at once and starts a new one.
    void Reset() { m_bAnchored = false; }
    // Waits until the nRetraces-th retrace after the previous swap.
    void Wait(Int32 nRetraces);

  private:
    void Anchor(Int64 nNow);

    SwapClock& m_Clock;
    Int32 m_nHertz = 60;
    bool m_bAnchored = false;
    Int64 m_nAnchor = 0;   // ticks
    Int64 m_nRetraces = 0; // retraces from the anchor to the previous swap
};
