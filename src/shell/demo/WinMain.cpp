// Entry point of demo: the same engine and scene, started directly. The
// command line is never read.
#include <windows.h>

#include "Shell.h"
#include "ShellSteps.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd)
{
    (void)hPrevInstance;
    (void)lpCmdLine;
    (void)nShowCmd;
    SetInstance(hInstance);
    SetParentWindow(nullptr);
    return RunProgram(g_DemoCheckLines);
}
