// ReplayOptions: the command line of glide-replay and of the peer renderer (bench/peer).
//
//   glide-replay TRACE [--frames LIST] [--out DIR] [--check DIR] [--threads N] [--repeat K]
//                      [--quiet] [--list]
//
// LIST is frame numbers of the trace (1 for its first frame) and ranges, separated by commas
// ("1,5,10-20"), or "all".
#pragma once
#include <string>
#include <vector>

#include "Types.h"

struct ReplayOptions
{
    std::string m_strTracePath;
    // Frame ranges to write as PNG, [first, last] inclusive.
    std::vector<std::pair<Int64, Int64>> m_aFrameRanges;
    std::string m_strOutDir = "replay";
    std::string m_strCheckDir;
    Int32 m_nThreads = 0; // 0: not given
    Int32 m_nRepeat = 1;
    Int32 m_bQuiet = 0;
    Int32 m_bList = 0;
    Int32 m_bHelp = 0;

    // True when frame llFrame (1 for the first) is to be written.
    Int32 WantsFrame(Int64 llFrame) const;
};

// Parses argv[1..]; returns 1, or 0 with a message for the user in rError. pszTool names the
// program in messages.
Int32 ParseReplayOptions(int argc, char** argv, ReplayOptions& rOptions, std::string& rError);

// The usage text printed for --help and after a bad command line.
std::string ReplayUsage(const char* pszTool, const char* pszWhat);
