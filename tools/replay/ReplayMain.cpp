// glide-replay: plays a Glide call trace (GLIDE_SW_TRACE, vellumtide-capture --trace) through
// the software Glide with no window, as fast as it can. See ReplayOptions.h for the command
// line and ReplayRun.h for what is timed.
#include <cstdio>

#include "RenderOptions.h"
#include "ReplayOptions.h"
#include "ReplayRun.h"
#include "TracePlayer.h"

int main(int argc, char** argv)
{
    ReplayOptions options;
    std::string strError;
    if (!ParseReplayOptions(argc, argv, options, strError))
    {
        fprintf(stderr, "glide-replay: %s (see glide-replay --help)\n", strError.c_str());
        return 2;
    }
    if (options.m_bHelp)
    {
        printf("%s", ReplayUsage("glide-replay",
                                 "Plays a Glide call trace through the software Glide, headless,")
                         .c_str());
        return 0;
    }
    RenderOptions render = RenderOptions::Get();
    render.nThreads = options.m_nThreads > 0 ? options.m_nThreads : 1;
    RenderOptions::Set(render);

    TracePlayer player;
    return ReplayRun::Run("glide-replay", options, player);
}
