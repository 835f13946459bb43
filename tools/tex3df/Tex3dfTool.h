// Tex3dfTool: the tex3df program's work, callable in-process (tests run it without a process).
//
// Run parses the command line (Tex3dfOptions), converts, and returns the exit status: 0 done,
// 1 an input could not be read or converted or an output not written, 2 a bad command line.
// Messages go to *pOut (what was written) and *pErr (what went wrong, "tex3df: ..."); nothing is
// printed here. Bad input of any kind gives a message, never a crash.
#pragma once

#include <string>

struct Tex3dfOptions;

class Tex3dfTool
{
  public:
    static int Run(int argc, const char* const* argv, std::string* pOut, std::string* pErr);

  private:
    static int Encode(const Tex3dfOptions& options, std::string* pOut, std::string* pErr);
    static int Decode(const Tex3dfOptions& options, std::string* pOut, std::string* pErr);
};
