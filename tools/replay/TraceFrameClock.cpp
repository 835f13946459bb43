#include "TraceFrameClock.h"

#include <cstdio>
#include <cstring>

Int32 TraceFrameClock::ReadMarker(const char* pchText, size_t nLength)
{
    const std::string strText(pchText, nLength);
    long long llFirst = 0, llNumerator = 0, llDenominator = 0;
    char chEnd = 0;
    if (sscanf(strText.c_str(), "vellumtide-capture first-frame=%lld step=%lld/%lld%c", &llFirst,
               &llNumerator, &llDenominator, &chEnd) != 3 ||
        llFirst < 1 || llNumerator <= 0 || llDenominator <= 0)
        return 0;
    m_bSceneTime = 1;
    m_llFirstFrame = llFirst;
    m_Step.m_llStepNumerator = llNumerator;
    m_Step.m_llStepDenominator = llDenominator;
    return 1;
}

double TraceFrameClock::SceneTime(Int64 llFrame) const
{
    return TimeOfFrame(m_Step, m_llFirstFrame + llFrame - 1);
}

std::string TraceFrameClock::FrameName(Int64 llFrame) const
{
    if (m_bSceneTime)
        return FrameFileName(SceneTime(llFrame));
    char szName[32];
    snprintf(szName, sizeof(szName), "frame-%05lld.png", (long long)llFrame);
    return szName;
}
