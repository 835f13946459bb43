#include "CaptureOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
// The longest run the tool accepts, in scene seconds; keeps frame numbers
// and run times sensible whatever is typed.
const double MAX_SECONDS = 24.0 * 3600.0;
const Int64 MAX_FRAMES_WRITTEN = 10000;

Int32 ParseNumber(const char* pszText, double& rValue)
{
    if (pszText == nullptr || *pszText == '\0')
        return 0;
    char* pszEnd = nullptr;
    errno = 0;
    const double d = strtod(pszText, &pszEnd);
    if (errno != 0 || *pszEnd != '\0' || !std::isfinite(d))
        return 0;
    rValue = d;
    return 1;
}

Int32 ParseInteger(const char* pszText, Int64& rValue)
{
    if (pszText == nullptr || *pszText == '\0')
        return 0;
    char* pszEnd = nullptr;
    errno = 0;
    const long long ll = strtoll(pszText, &pszEnd, 10);
    if (errno != 0 || *pszEnd != '\0')
        return 0;
    rValue = ll;
    return 1;
}

// "1/30" or a decimal such as "0.05" (taken as a fraction of microseconds).
Int32 ParseStep(const char* pszText, CaptureOptions& rOptions)
{
    const char* pszSlash = strchr(pszText, '/');
    Int64 llNum = 0;
    Int64 llDen = 0;
    if (pszSlash != nullptr)
    {
        const std::string strNum(pszText, (size_t)(pszSlash - pszText));
        if (!ParseInteger(strNum.c_str(), llNum) || !ParseInteger(pszSlash + 1, llDen))
            return 0;
    }
    else
    {
        double d = 0.0;
        if (!ParseNumber(pszText, d) || d <= 0.0 || d > 10.0)
            return 0;
        llNum = (Int64)std::llround(d * 1000000.0);
        llDen = 1000000;
    }
    // A step from 1 ms (frame names carry milliseconds) to 10 s.
    if (llNum <= 0 || llDen <= 0 || llNum > 1000000 || llDen > 1000000 ||
        (double)llNum / (double)llDen > 10.0 || (double)llNum / (double)llDen < 0.001)
        return 0;
    rOptions.m_llStepNumerator = llNum;
    rOptions.m_llStepDenominator = llDen;
    return 1;
}

Int32 ParseTimeList(const char* pszText, std::vector<double>& rTimes)
{
    std::string strList(pszText);
    size_t uStart = 0;
    while (uStart <= strList.size())
    {
        size_t uComma = strList.find(',', uStart);
        if (uComma == std::string::npos)
            uComma = strList.size();
        double d = 0.0;
        if (!ParseNumber(strList.substr(uStart, uComma - uStart).c_str(), d))
            return 0;
        rTimes.push_back(d);
        uStart = uComma + 1;
    }
    return 1;
}

// Frame numbers of the traced stretch, from scene times; the whole stretch must lie inside the
// run's day.
Int32 ParseTraceStretch(CaptureOptions& rOptions, double dFrom, double dTo, std::string& rError)
{
    if (rOptions.m_strTracePath.empty())
    {
        if (dFrom >= 0.0 || dTo >= 0.0)
            rError = "--trace-from and --trace-to need --trace FILE";
        return rError.empty() ? 1 : 0;
    }
    if (dTo < 0.0)
    {
        rError = "--trace needs --trace-to, the scene time of the last traced frame";
        return 0;
    }
    if (dFrom > dTo || dTo > MAX_SECONDS)
    {
        rError = "the traced stretch runs from --trace-from up to --trace-to, within one day";
        return 0;
    }
    rOptions.m_llTraceFrom = dFrom < 0.0 ? 1 : FrameForTime(rOptions, dFrom);
    rOptions.m_llTraceTo = FrameForTime(rOptions, dTo);
    if (rOptions.m_llTraceFrom < 1)
        rOptions.m_llTraceFrom = 1;
    if (rOptions.m_llTraceTo < rOptions.m_llTraceFrom)
    {
        rError = "the traced stretch holds no frame: the first is drawn one step after the start";
        return 0;
    }
    return 1;
}

const char* NextValue(int argc, char** argv, int& i)
{
    if (i + 1 >= argc)
        return nullptr;
    return argv[++i];
}
} // namespace

const char* CaptureUsage()
{
    return "usage: vellumtide-capture [options]\n"
           "  Runs the Vellumtide scene with no display at a fixed time step and\n"
           "  writes the frames asked for as PNG files.\n"
           "  --out DIR          folder for the pictures (default: capture)\n"
           "  --at T1,T2,...     scene times in seconds of the frames to write\n"
           "  --seconds N        run N seconds of scene time ...\n"
           "  --every S          ... writing a frame every S seconds (default 1)\n"
           "  --step A/B | X     time step per frame (default 1/30)\n"
           "  --sheet            also write sheet.png, all written frames side by side\n"
           "  --compare DIR      compare each written frame with DIR/<same name>,\n"
           "                     pixel for pixel; exit 1 on any difference\n"
           "  --trace FILE       write the Glide calls of the frames from --trace-from\n"
           "                     (default: the first) to --trace-to (scene times) to FILE,\n"
           "                     for glide-replay\n"
           "  --help             this text\n";
}

Int64 FrameForTime(const CaptureOptions& rOptions, double dSeconds)
{
    return (Int64)std::llround(dSeconds * (double)rOptions.m_llStepDenominator /
                               (double)rOptions.m_llStepNumerator);
}

double TimeOfFrame(const CaptureOptions& rOptions, Int64 llFrame)
{
    return (double)llFrame * (double)rOptions.m_llStepNumerator /
           (double)rOptions.m_llStepDenominator;
}

Int64 LastFrame(const CaptureOptions& rOptions)
{
    const Int64 llWritten = rOptions.m_allFrames.empty() ? 0 : rOptions.m_allFrames.back();
    return llWritten > rOptions.m_llTraceTo ? llWritten : rOptions.m_llTraceTo;
}

std::string FrameFileName(double dSeconds)
{
    char szName[64];
    snprintf(szName, sizeof(szName), "frame-%.3fs.png", dSeconds);
    return szName;
}

Int32 ParseCaptureOptions(int argc, char** argv, CaptureOptions& rOptions, std::string& rError)
{
    std::vector<double> adTimes;
    double dSeconds = -1.0;
    double dEvery = 1.0;
    double dTraceFrom = -1.0;
    double dTraceTo = -1.0;
    for (int i = 1; i < argc; i++)
    {
        const std::string strArg = argv[i];
        const char* pszValue = nullptr;
        if (strArg == "--help" || strArg == "-h")
        {
            rOptions.m_bHelp = 1;
            return 1;
        }
        if (strArg == "--sheet")
        {
            rOptions.m_bSheet = 1;
            continue;
        }
        if (strArg != "--out" && strArg != "--at" && strArg != "--seconds" && strArg != "--every" &&
            strArg != "--step" && strArg != "--compare" && strArg != "--trace" &&
            strArg != "--trace-from" && strArg != "--trace-to")
        {
            rError = "unknown option '" + strArg + "'";
            return 0;
        }
        pszValue = NextValue(argc, argv, i);
        if (pszValue == nullptr)
        {
            rError = strArg + " needs a value";
            return 0;
        }
        if (strArg == "--out")
            rOptions.m_strOutDir = pszValue;
        else if (strArg == "--compare")
            rOptions.m_strCompareDir = pszValue;
        else if (strArg == "--at" && !ParseTimeList(pszValue, adTimes))
            rError = "--at takes scene times in seconds separated by commas, not '" +
                     std::string(pszValue) + "'";
        else if (strArg == "--seconds" &&
                 (!ParseNumber(pszValue, dSeconds) || dSeconds <= 0.0 || dSeconds > MAX_SECONDS))
            rError = "--seconds takes a number of seconds above 0 and up to one day";
        else if (strArg == "--every" && (!ParseNumber(pszValue, dEvery) || dEvery <= 0.0))
            rError = "--every takes a number of seconds above 0";
        else if (strArg == "--step" && !ParseStep(pszValue, rOptions))
            rError = "--step takes a fraction such as 1/30 or a number of seconds, "
                     "from 0.001 to 10";
        else if (strArg == "--trace")
            rOptions.m_strTracePath = pszValue;
        else if ((strArg == "--trace-from" || strArg == "--trace-to") &&
                 !ParseNumber(pszValue, strArg == "--trace-from" ? dTraceFrom : dTraceTo))
            rError = strArg + " takes a scene time in seconds";
        else if ((strArg == "--trace-from" && dTraceFrom < 0.0) ||
                 (strArg == "--trace-to" && dTraceTo < 0.0))
            rError = strArg + " takes a scene time of 0 s or more";
        if (!rError.empty())
            return 0;
    }

    if (dSeconds > 0.0)
    {
        // Frames at every, 2 * every, ... up to and including the last second.
        for (Int64 k = 1; (double)k * dEvery <= dSeconds + 1e-9; k++)
        {
            if (k > MAX_FRAMES_WRITTEN)
            {
                rError = "--seconds and --every ask for too many frames";
                return 0;
            }
            adTimes.push_back((double)k * dEvery);
        }
    }
    if (!ParseTraceStretch(rOptions, dTraceFrom, dTraceTo, rError))
        return 0;
    if (adTimes.empty() && rOptions.m_strTracePath.empty())
    {
        rError = "nothing to capture: give --at, --seconds or --trace";
        return 0;
    }
    if (adTimes.size() > (size_t)MAX_FRAMES_WRITTEN)
    {
        rError = "too many frames asked for";
        return 0;
    }

    for (size_t u = 0; u < adTimes.size(); u++)
    {
        const double dTime = adTimes[u];
        if (dTime > MAX_SECONDS || dTime < 0.0)
        {
            rError = "scene times run from the first frame up to one day";
            return 0;
        }
        const Int64 llFrame = FrameForTime(rOptions, dTime);
        if (llFrame < 1)
        {
            char szTime[32];
            snprintf(szTime, sizeof(szTime), "%g", dTime);
            rError = std::string("the first frame is drawn one step after the start; time ") +
                     szTime + " s comes before it";
            return 0;
        }
        rOptions.m_allFrames.push_back(llFrame);
    }
    std::sort(rOptions.m_allFrames.begin(), rOptions.m_allFrames.end());
    rOptions.m_allFrames.erase(
        std::unique(rOptions.m_allFrames.begin(), rOptions.m_allFrames.end()),
        rOptions.m_allFrames.end());
    return 1;
}
