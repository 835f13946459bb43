// SwapPacer: absolute-deadline pacing to virtual retraces.
#include "SwapPacer.h"

void SwapPacer::SetRefreshRate(Int32 nHertz)
{
    m_nHertz = nHertz > 0 ? nHertz : 60;
}

void SwapPacer::Anchor(Int64 nNow)
{
    m_nAnchor = nNow;
    m_nRetraces = 0;
    m_bAnchored = true;
}

void SwapPacer::Wait(Int32 nRetraces)
{
    const Int64 nNow = m_Clock.Now();
    if (nRetraces <= 0 || !m_bAnchored)
    {
        Anchor(nNow);
        return;
    }
    const Int64 nFrequency = m_Clock.Frequency();
    const Int64 nTarget = m_nRetraces + nRetraces;
    const Int64 nDeadline = m_nAnchor + nFrequency * nTarget / m_nHertz;
    if (nNow >= nDeadline)
    {
        Anchor(nNow);
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
    m_nRetraces = nTarget;
    // A long run of swaps restarts the count now and then so the products stay small.
    if (m_nRetraces >= Int64(m_nHertz) * 3600)
    {
        m_nAnchor += nFrequency * m_nRetraces / m_nHertz;
        m_nRetraces = 0;
    }
}
