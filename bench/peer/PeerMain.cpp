// glide-peer: plays a Glide call trace through Mesa's llvmpipe (OSMesa) with the same command
// line and the same frame timing as glide-replay, so the two can be raced on the same trace
// (bench/peer/race). --threads N sets LP_NUM_THREADS, llvmpipe's count of drawing threads.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "GlPeer.h"
#include "ReplayOptions.h"
#include "ReplayRun.h"

int main(int argc, char** argv)
{
    ReplayOptions options;
    std::string strError;
    if (!ParseReplayOptions(argc, argv, options, strError))
    {
        fprintf(stderr, "glide-peer: %s (see glide-peer --help)\n", strError.c_str());
        return 2;
    }
    if (options.m_bHelp)
    {
        printf("%s", ReplayUsage("glide-peer", "Plays a Glide call trace through Mesa's llvmpipe "
                                               "(OSMesa), headless,")
                         .c_str());
        return 0;
    }
    if (!options.m_strCheckDir.empty())
    {
        fprintf(stderr, "glide-peer: --check compares the software Glide's pictures; the "
                        "peer's differ in dithering and precision (see bench/peer/side-by-side)\n");
        return 2;
    }
    if (options.m_nThreads > 0)
        setenv("LP_NUM_THREADS", std::to_string(options.m_nThreads).c_str(), 1);

    GlPeer peer;
    const int nStatus = ReplayRun::Run("glide-peer", options, peer);
    const char* pszThreads = getenv("LP_NUM_THREADS");
    printf("glide-peer: OpenGL renderer %s, LP_NUM_THREADS=%s\n", peer.Renderer().c_str(),
           pszThreads ? pszThreads : "(unset: one per processor)");
    for (const auto& rEntry : peer.Unmirrored())
        printf("glide-peer: not mirrored in OpenGL: %s (%lld calls)\n", rEntry.first.c_str(),
               (long long)rEntry.second);
    return nStatus;
}
