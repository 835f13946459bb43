// The saver's command-line step: the screensaver switches /c, /p and /s.
#include <ctype.h>
#include <stdio.h>

#include "Shell.h"
#include "ShellSteps.h"

namespace
{
// The token is cut to this many characters; only its second one is read.
const int kTokenLength = 255;
const char kBadParameters[] = "Bad command line parameters.\nParams: %s";
} // namespace

Int32 RunCommandLine(const char* pszCmdLine)
{
    char szToken[kTokenLength + 1] = "";
    const int nRead = pszCmdLine != nullptr ? sscanf(pszCmdLine, "%255s", szToken) : 0;
    if (nRead != 1)
    {
        // Empty or blank: the configuration box with no owner.
        SetRunMode(RUNMODE_CONFIGURATION);
        SetParentWindow(nullptr);
    }
    else
    {
        // The first character is the switch prefix, whatever it is: /s, -s
        // and xs are alike. A one-character token reads its terminator here.
        switch (toupper(static_cast<unsigned char>(szToken[1])))
        {
        case 'C': // anything after the letter (":1234") is ignored
            SetRunMode(RUNMODE_CONFIGURATION);
            SetParentWindow(GetForegroundWindow());
            break;
        case 'P': // preview: end at once, no box, no priority change, no mutex
            return COMMANDLINE_EXIT;
        case 'S':
            SetRunMode(RUNMODE_SCREENSAVER);
            SetParentWindow(nullptr);
            break;
        default:
            SetRunMode(RUNMODE_RUN);
            SetParentWindow(nullptr);
            break;
        }
    }

    if (GetRunMode() == RUNMODE_CONFIGURATION)
    {
        ShowConfiguration();
        return COMMANDLINE_EXIT;
    }
    if (GetRunMode() == RUNMODE_RUN)
    {
        // The whole command line, cut to the box's buffer; after the box the
        // run goes on as a screensaver run.
        char szText[1024];
        snprintf(szText, sizeof(szText), kBadParameters, pszCmdLine);
        MessageBoxA(nullptr, szText, "Error", MB_OK);
    }
    SetParentWindow(nullptr);
    return COMMANDLINE_START;
}
