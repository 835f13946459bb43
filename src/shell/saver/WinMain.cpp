// Entry point of saver, the screensaver: the screensaver command line, then
// the start-up sequence, the main loop and the teardown.
#include <windows.h>

#include "Shell.h"
#include "ShellSteps.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd)
{
    (void)hPrevInstance;
    (void)nShowCmd;
    SetInstance(hInstance);
    if (RunCommandLine(lpCmdLine) == COMMANDLINE_EXIT)
        return 0;
    return RunProgram(g_SaverCheckLines);
}
