// tex3df: converts PNG pictures to .3df textures and back (see Tex3dfOptions.h for the usage).
#include <cstdio>
#include <string>

#include "Tex3dfTool.h"

int main(int argc, char** argv)
{
    std::string out;
    std::string err;
    const int nStatus = Tex3dfTool::Run(argc, argv, &out, &err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return nStatus;
}
