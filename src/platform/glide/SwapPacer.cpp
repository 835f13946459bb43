// SwapPacer: absolute-deadline pacing to virtual retraces.
#include "SwapPacer.h"

void SwapPacer::SetRefreshRate(Int32 nHertz)
{
    m_nHertz = nHertz > 0 ? nHertz : 60;
}

void SwapPacer::Wait(Int32 nRetraces)
{
    const Int64 nNow = m_Clock.Now();
    if (nRetraces <= 0 || !m_bAnchored)
    {
        m_nLastSwap = nNow;
        m_bAnchored = true;
        return;
    }
    const Int64 nFrequency = m_Clock.Frequency();
    const Int64 nDeadline = m_nLastSwap + nFrequency * nRetraces / m_nHertz;
    if (nNow >= nDeadline)
    {
        m_nLastSwap = nNow;
        return;
    }
    // Sleep in whole milliseconds towards the deadline; the last fraction of a millisecond is
    // not slept, so a coarse Sleep never pushes the swap past its retrace.
    for (Int64 nTime = nNow; nTime < nDeadline; nTime = m_Clock.Now())
    {
        const Int64 nMilliseconds = (nDeadline - nTime) * 1000 / nFrequency;
        if (nMilliseconds <= 0)
            break;
        m_Clock.Sleep(Int32(nMilliseconds));
    }
    m_nLastSwap = nDeadline;
}
