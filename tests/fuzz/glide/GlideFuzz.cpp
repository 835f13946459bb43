// fuzz-glide: arbitrary bytes as a program's Glide calls (GlideCallPlayer), drawn once per set of
// RenderOptions: the fast and the reference pixel path, the best and the portable kernels, one
// and two drawing threads. The first pass is recorded; every other pass must give the same pixel
// in every buffer at every frame point (FrameRecorder), and no pass may change the guard band
// around the clip window (FrameGuard). The sanitizers catch the rest: any read or write out of
// bounds, any undefined operation. Each input opens its own board and shuts Glide down, so inputs
// are independent.
//
// The harness knows glide.h and RenderOptions only: it runs unchanged over any device pipeline
// and any thread count.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FrameRecorder.h"
#include "FuzzInput.h"
#include "GlideCallPlayer.h"
#include "RenderOptions.h"

namespace
{
const RenderOptions kPasses[] = {
    {PixelPath::Fast, KernelSet::Best, 1},     {PixelPath::Reference, KernelSet::Best, 1},
    {PixelPath::Fast, KernelSet::Portable, 1}, {PixelPath::Reference, KernelSet::Portable, 1},
    {PixelPath::Fast, KernelSet::Best, 2},
};

std::string Describe(const RenderOptions& options)
{
    return std::string("path ") + (options.ePath == PixelPath::Fast ? "fast" : "reference") +
           ", kernels " + (options.eKernels == KernelSet::Best ? "best" : "portable") +
           ", threads " + std::to_string(options.nThreads);
}

void IgnoreError(const char* pchMessage, FxBool bFatal)
{
    // Refused calls are expected here; their messages would only slow the fuzzer down.
    (void)pchMessage;
    (void)bFatal;
}

// GLIDE_FUZZ_PLANT=pixel changes a pixel in the second pass only, =ring one in the guard band of
// the first pass: each must trap (scripts/run-fuzz checks that it does).
GlideCallPlayer::Plant g_ePlant = GlideCallPlayer::Plant::None;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* pnArgc, char*** pppchArgv)
{
    (void)pnArgc;
    (void)pppchArgv;
    if (const char* pchPlant = std::getenv("GLIDE_FUZZ_PLANT"))
        g_ePlant = std::strcmp(pchPlant, "ring") == 0 ? GlideCallPlayer::Plant::Ring
                                                      : GlideCallPlayer::Plant::Pixel;
    setenv("MOLTRANE_HEADLESS", "1", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("FX_GLIDE_SWAPINTERVAL", "0", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pbData, std::size_t nSize)
{
    static FrameRecorder s_Recorder;
    FrameRecorder& recorder = s_Recorder;
    bool bFirst = true;
    for (const RenderOptions& options : kPasses)
    {
        RenderOptions::Set(options);
        grErrorSetCallback(&IgnoreError);
        const std::string strPass = Describe(options);
        recorder.BeginPass(bFirst, strPass);
        FuzzInput input(pbData, nSize);
        GlideCallPlayer player(input, recorder, strPass);
        const bool bSecond = &options == &kPasses[1];
        if ((g_ePlant == GlideCallPlayer::Plant::Pixel && bSecond) ||
            (g_ePlant == GlideCallPlayer::Plant::Ring && bFirst))
            player.SetPlant(g_ePlant);
        player.Play();
        recorder.EndPass();
        bFirst = false;
    }
    return 0;
}
