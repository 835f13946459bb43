#include "ReplayOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace
{
const Int64 MAX_FRAME = Int64(1) << 40;

Int32 ParseCount(const std::string& strText, Int64 llMin, Int64 llMax, Int64& rValue)
{
    if (strText.empty() || strText[0] == '-' || strText[0] == '+')
        return 0;
    char* pszEnd = nullptr;
    errno = 0;
    const long long ll = strtoll(strText.c_str(), &pszEnd, 10);
    if (errno != 0 || *pszEnd != '\0' || ll < llMin || ll > llMax)
        return 0;
    rValue = ll;
    return 1;
}

Int32 ParseFrameList(const std::string& strList, ReplayOptions& rOptions)
{
    if (strList == "all")
    {
        rOptions.m_aFrameRanges.push_back(std::make_pair(Int64(1), MAX_FRAME));
        return 1;
    }
    size_t uStart = 0;
    while (uStart <= strList.size())
    {
        size_t uComma = strList.find(',', uStart);
        if (uComma == std::string::npos)
            uComma = strList.size();
        const std::string strItem = strList.substr(uStart, uComma - uStart);
        const size_t uDash = strItem.find('-');
        Int64 llFirst = 0, llLast = 0;
        if (uDash == std::string::npos)
        {
            if (!ParseCount(strItem, 1, MAX_FRAME, llFirst))
                return 0;
            llLast = llFirst;
        }
        else if (!ParseCount(strItem.substr(0, uDash), 1, MAX_FRAME, llFirst) ||
                 !ParseCount(strItem.substr(uDash + 1), llFirst, MAX_FRAME, llLast))
            return 0;
        rOptions.m_aFrameRanges.push_back(std::make_pair(llFirst, llLast));
        uStart = uComma + 1;
    }
    return 1;
}
} // namespace

Int32 ReplayOptions::WantsFrame(Int64 llFrame) const
{
    for (const std::pair<Int64, Int64>& rRange : m_aFrameRanges)
        if (llFrame >= rRange.first && llFrame <= rRange.second)
            return 1;
    return 0;
}

std::string ReplayUsage(const char* pszTool, const char* pszWhat)
{
    return std::string("usage: ") + pszTool +
           " TRACE [options]\n"
           "  " +
           pszWhat +
           "\n"
           "  as fast as it can, and prints each frame's time, the pixels drawn and the\n"
           "  frames per second.\n"
           "  --frames LIST   write these frames as PNG (numbers and ranges of the trace's\n"
           "                  frames, 1 for the first: 1,5,10-20; or all)\n"
           "  --out DIR       folder for the pictures (default: replay)\n"
           "  --check DIR     compare every frame that has a picture of the same name in DIR\n"
           "                  (as vellumtide-capture names them) pixel for pixel; exit 1 on\n"
           "                  any difference\n"
           "  --threads N     threads that draw (1 to 64)\n"
           "  --repeat K      play the trace K times (1 to 1000), for benchmarks\n"
           "  --quiet         print only the summary\n"
           "  --list          print how many records of each call the trace holds\n"
           "  --help          this text\n"
           "exit status: 0 done, 1 a damaged trace or a frame that differs, 2 a bad command\n"
           "line, 3 a file that cannot be read or written\n";
}

Int32 ParseReplayOptions(int argc, char** argv, ReplayOptions& rOptions, std::string& rError)
{
    for (int i = 1; i < argc; i++)
    {
        const std::string strArg = argv[i];
        if (strArg == "--help" || strArg == "-h")
        {
            rOptions.m_bHelp = 1;
            return 1;
        }
        if (strArg == "--quiet" || strArg == "--list")
        {
            (strArg == "--quiet" ? rOptions.m_bQuiet : rOptions.m_bList) = 1;
            continue;
        }
        if (strArg.size() > 1 && strArg[0] == '-')
        {
            if (strArg != "--frames" && strArg != "--out" && strArg != "--check" &&
                strArg != "--threads" && strArg != "--repeat")
            {
                rError = "unknown option '" + strArg + "'";
                return 0;
            }
            if (i + 1 >= argc)
            {
                rError = strArg + " needs a value";
                return 0;
            }
            const std::string strValue = argv[++i];
            Int64 llValue = 0;
            if (strArg == "--out")
                rOptions.m_strOutDir = strValue;
            else if (strArg == "--check")
                rOptions.m_strCheckDir = strValue;
            else if (strArg == "--frames" && !ParseFrameList(strValue, rOptions))
                rError = "--frames takes frame numbers from 1 and ranges such as 1,5,10-20, or "
                         "all; not '" +
                         strValue + "'";
            else if (strArg == "--threads" && !ParseCount(strValue, 1, 64, llValue))
                rError = "--threads takes a number of threads from 1 to 64";
            else if (strArg == "--repeat" && !ParseCount(strValue, 1, 1000, llValue))
                rError = "--repeat takes a count from 1 to 1000";
            if (!rError.empty())
                return 0;
            if (strArg == "--threads")
                rOptions.m_nThreads = (Int32)llValue;
            else if (strArg == "--repeat")
                rOptions.m_nRepeat = (Int32)llValue;
            continue;
        }
        if (!rOptions.m_strTracePath.empty())
        {
            rError = "one trace at a time ('" + rOptions.m_strTracePath + "' and '" + strArg + "')";
            return 0;
        }
        rOptions.m_strTracePath = strArg;
    }
    if (rOptions.m_strTracePath.empty())
    {
        rError = "no trace given";
        return 0;
    }
    return 1;
}
