// The stand-in's program entry: builds the Windows command line from the arguments and calls
// the program's WinMain, whose result becomes the exit status (as the C runtime of a Windows
// program does with WinMain's result).
#include <windows.h>

#include "CommandLine.h"

#include <vector>

int main(int argc, char** argv)
{
    std::string strLine = StandIn::BuildCommandLine(argc, argv);
    // WinMain may write into its command line, so it gets a writable copy.
    std::vector<char> line(strLine.begin(), strLine.end());
    line.push_back('\0');
    return WinMain(GetModuleHandleA(nullptr), nullptr, line.data(), SW_SHOWNORMAL);
}
