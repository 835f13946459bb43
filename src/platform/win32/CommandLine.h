// CommandLine: the Windows command line that the stand-in's main() hands to WinMain.
#pragma once

#include <string>

namespace StandIn
{

// The arguments after the program name, joined with single spaces. An argument that is empty
// or holds a space, a tab or a double quote is quoted so that the Windows rules for splitting
// a command line give it back unchanged (quotes escaped as \", backslashes before a quote or
// the closing quote doubled).
std::string BuildCommandLine(int argc, const char* const* argv);

} // namespace StandIn
