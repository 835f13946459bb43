// SwapPacer: holds each buffer swap to a virtual display's vertical retraces.
//
// Owner: the Device. Wait runs once per grBufferSwap: a swap after n retraces happens n periods
// of the refresh rate after the previous one, measured against absolute deadlines (no drift from
// sleep overshoot). A frame that took longer than its deadline swaps at once, and the schedule
// restarts from that moment (re-anchored) instead of trying to catch up. n = 0 never waits.
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
    // Waits until nRetraces periods after the previous swap.
    void Wait(Int32 nRetraces);

private:
    SwapClock& m_Clock;
    Int32 m_nHertz = 60;
    bool m_bAnchored = false;
    Int64 m_nLastSwap = 0; // ticks
};
