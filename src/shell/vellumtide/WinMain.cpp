// Entry point of vellumtide, the XScreenSaver display mode: the same engine
// and scene as demo, started directly, drawn into the window XScreenSaver
// hands it (XSCREENSAVER_WINDOW, -window-id, -root) or, with none, into a
// window of its own as demo opens it. SIGTERM, SIGINT and the given window's
// destruction end the run through the engine's own close (WM_CLOSE), so the
// teardown is the ordinary one and the exit status 0. Linux only: it reaches
// the Win32 stand-in's own API to adopt the window and to hear the signals.
#include <windows.h>

#include <Win32StandIn.h>

#include "DisplayDevice.h"
#include "DisplayModeOptions.h"
#include "Engine.h"
#include "FrameRateOverlay.h"
#include "Shell.h"
#include "ShellSteps.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
FrameRateOverlay s_FrameRate;

void DrawFrameRate()
{
    Engine* pEngine = GetEngine();
    DisplayDevice* pDisplay = pEngine != nullptr ? pEngine->GetDisplay() : nullptr;
    if (pDisplay != nullptr)
        s_FrameRate.OnFrame(pDisplay->GetWindow());
}

// In a window it was given, a box would open behind the host's window and
// wait for a user who cannot see it: boxes go to standard error instead.
int ReportBox(const StandInMessageBox& box)
{
    std::fprintf(stderr, "vellumtide: %s: %s\n", box.strCaption.c_str(), box.strText.c_str());
    return IDOK;
}

// The options that choose the display and the board are the environment
// variables the stand-in and the software Glide read when they start.
void ApplyEnvironment(const DisplayModeOptions& options)
{
    if (!options.GetDisplay().empty())
        setenv("DISPLAY", options.GetDisplay().c_str(), 1);
    if (!options.GetBoard().empty())
        setenv("GLIDE_SW_BOARD", options.GetBoard().c_str(), 1);
    if (options.GetSwapInterval() >= 0)
        setenv("FX_GLIDE_SWAPINTERVAL", std::to_string(options.GetSwapInterval()).c_str(), 1);
}

// 1 when the next window is the given one (or the program opens its own).
Int32 AdoptTarget(const DisplayModeOptions& options)
{
    if (options.GetTarget() == DisplayModeOptions::TARGET_OWN_WINDOW)
        return 1;
    const bool bRoot = options.GetTarget() == DisplayModeOptions::TARGET_ROOT;
    const uint64_t uWindow = bRoot ? StandIn_GetRootNativeWindow() : options.GetWindowId();
    std::string strWhy = "there is no X display";
    if (uWindow == 0 || !StandIn_AdoptNativeWindow(uWindow, &strWhy))
    {
        std::fprintf(stderr, "vellumtide: cannot draw on %s 0x%llx: %s\n",
                     bRoot ? "the root window" : "window", static_cast<unsigned long long>(uWindow),
                     strWhy.c_str());
        return 0;
    }
    // The host starts one instance per window (its preview pane, each
    // screen) and ends each itself: no instance turns another away.
    SetInstanceGuard(0);
    StandIn_SetMessageBoxHook(ReportBox);
    return 1;
}
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd)
{
    (void)hPrevInstance;
    (void)nShowCmd;
    SetInstance(hInstance);
    DisplayModeOptions options;
    if (!options.Parse(lpCmdLine, std::getenv("XSCREENSAVER_WINDOW")))
    {
        std::fprintf(stderr, "vellumtide: %s\n%s", options.GetError().c_str(),
                     DisplayModeOptions::Usage());
        return 1;
    }
    if (options.GetHelp())
    {
        std::fputs(DisplayModeOptions::Usage(), stdout);
        return 0;
    }
    ApplyEnvironment(options);
    if (!StandIn_CloseOnSignals())
        std::fprintf(stderr, "vellumtide: signals will end the run abruptly\n");
    if (!AdoptTarget(options))
        return 1;
    SetParentWindow(nullptr);

    // The start-up, loop and teardown of demo; the checks report demo's lines.
    Int32 nExitCode = 0;
    if (!StartUp(g_DemoCheckLines, &nExitCode))
        return nExitCode;
    if (options.GetShowFrameRate())
        s_FrameRate.Start();
    RunMainLoop(options.GetShowFrameRate() ? DrawFrameRate : nullptr);
    TearDown(g_DemoCheckLines);
    return 0;
}
