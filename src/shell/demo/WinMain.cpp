// Entry point of demo: the same engine and scene, started directly. The
// command line is never read.
#include <windows.h>

#include "Shell.h"
#include "ShellSteps.h"

namespace
{
// Lines of this program's checks, as its assertion boxes report them.
const CheckLines kDemoChecks = {209, 216, 232, 269, 276};
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd)
{
    (void)hPrevInstance;
    (void)lpCmdLine;
    (void)nShowCmd;
    SetInstance(hInstance);
    SetParentWindow(nullptr);
    return RunProgram(kDemoChecks);
}
