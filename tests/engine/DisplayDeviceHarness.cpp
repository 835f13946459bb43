// display-harness: opens the engine in run mode 2 (windowed: full screen off,
// window not shown by the display) and runs the scene for a few seconds, so
// that every frame goes through the window mirror: read back from Glide's
// back buffer into the mirror's DIB and blitted into the window.
//
//   display-harness [SECONDS]      (default 4)
//
// The display leaves its window hidden in this run mode; the harness shows it
// itself so the mirrored frames can be looked at (the end-to-end test takes a
// screenshot). It prints what it checked on standard output and ends with 0
// when the engine opened in the mirrored state and drew frames, 1 otherwise.
#include <windows.h>

#include "Application.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "HighColorMirror.h"
#include "Shell.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace
{
// Runs the shell's loop shape (one message per pass, a frame when none is
// pending) until the time is up or the run ends. Returns the frames drawn.
long RunFor(DWORD dwMilliseconds)
{
    const DWORD dwStart = GetTickCount();
    long nFrames = 0;
    MSG msg;
    while (g_pEngine->IsRunning() && GetTickCount() - dwStart < dwMilliseconds)
    {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        else if (g_pEngine->IsActive())
        {
            g_pEngine->Tick();
            ++nFrames;
        }
        else
        {
            Sleep(10);
        }
    }
    return nFrames;
}

int Fail(const char* pchWhat)
{
    std::printf("display-harness: %s\n", pchWhat);
    std::fflush(stdout);
    return 1;
}
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    const long nSeconds = (lpCmdLine && *lpCmdLine) ? std::strtol(lpCmdLine, nullptr, 10) : 4;
    SetInstance(hInstance);
    SetRunMode(RUNMODE_WINDOWED);

    g_pEngine = new (std::nothrow) Engine;
    g_pApp = CreateApplication();
    if (g_pEngine == nullptr || g_pApp == nullptr)
        return Fail("out of memory");
    if (!g_pEngine->Open())
        return Fail("the engine did not open");

    DisplayDevice* pDisplay = g_pEngine->GetDisplay();
    HighColorMirror* pMirror = pDisplay->GetMirror();
    if (pDisplay->GetFullScreen() != 0 || pMirror == nullptr || pMirror->GetPixels() == nullptr)
        return Fail("the display is not in the mirrored state");
    const BITMAPINFOHEADER& header = pMirror->GetBitmapInfo()->bmiHeader;
    std::printf("display-harness: mirror %ldx%ld, 16-bit top-down, rows of %d bytes\n",
                static_cast<long>(header.biWidth), static_cast<long>(-header.biHeight),
                HighColorMirror::RowBytes(header.biWidth));

    ShowWindow(pDisplay->GetWindow(), SW_SHOWNORMAL);
    UpdateWindow(pDisplay->GetWindow());
    if (!g_pApp->Create())
        return Fail("the scene was not created");

    const long nFrames = RunFor(static_cast<DWORD>(nSeconds * 1000));
    std::printf("display-harness: %ld frames through the mirror, still mirrored: %s\n", nFrames,
                pDisplay->GetMirror() != nullptr ? "yes" : "no");
    std::fflush(stdout);

    g_pApp->Destroy();
    delete g_pApp;
    g_pApp = nullptr;
    g_pEngine->Close();
    delete g_pEngine;
    g_pEngine = nullptr;
    return nFrames > 0 ? 0 : 1;
}
