// The stand-in's own API (Win32StandIn.h): headless choice, headless screen size, reading a
// window's picture, and the reset between tests. The message-box, input and clock parts live
// with their modules (MessageBox.cpp, InputQueue.cpp, PerformanceClock.cpp).
#include <Win32StandIn.h>

#include "AdoptedWindow.h"
#include "CloseRequest.h"
#include "Cursor.h"
#include "NativeWindow.h"
#include "DeviceContexts.h"
#include "FocusState.h"
#include "GdiObjects.h"
#include "InputQueue.h"
#include "KeyboardState.h"
#include "MessageQueue.h"
#include "PerformanceClock.h"
#include "SdlEvents.h"
#include "VideoSystem.h"
#include "WindowClassRegistry.h"
#include "WindowRegistry.h"

using namespace StandIn;

void StandIn_SetHeadless(bool bHeadless)
{
    VideoSystem::ForceHeadless(bHeadless);
}

bool StandIn_IsHeadless()
{
    return VideoSystem::IsHeadless();
}

void StandIn_SetScreenSize(int nWidth, int nHeight)
{
    VideoSystem::SetHeadlessScreenSize(nWidth, nHeight);
}

bool StandIn_AdoptNativeWindow(uint64_t uNativeWindow, std::string* pstrWhy)
{
    std::string strWhy;
    bool bDone = AdoptedWindow::Prepare(uNativeWindow, &strWhy);
    if (pstrWhy)
        *pstrWhy = strWhy;
    return bDone;
}

uint64_t StandIn_GetRootNativeWindow()
{
    return VideoSystem::IsHeadless() ? 0 : NativeWindow::Root();
}

bool StandIn_CloseOnSignals()
{
    return CloseRequest::InstallSignalHandlers();
}

void StandIn_RequestClose()
{
    CloseRequest::Request();
}

bool StandIn_ReadWindowPixels(HWND hWnd, std::vector<uint32_t>& pixels, int& nWidth, int& nHeight)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow)
        return false;
    pixels = pWindow->surface.GetPixels();
    nWidth = pWindow->surface.GetWidth();
    nHeight = pWindow->surface.GetHeight();
    return true;
}

void StandIn_Reset()
{
    VideoSystem::PollEvents(); // events of the old windows go with them
    WindowRegistry::DestroyAllSilently();
    AdoptedWindow::Reset();
    CloseRequest::Reset();
    WindowClassRegistry::Clear();
    InputQueue::Instance().Clear();
    MessageQueue::Instance().Clear();
    DeviceContexts::Reset();
    GdiObjects::ResetNonStock();
    FocusState::Reset();
    KeyboardState::Input().Clear();
    KeyboardState::Thread().Clear();
    ResetSdlEventState();
    ResetCursor();
    StandIn_SetMessageBoxHook(nullptr);
    StandIn_ClearMessageBoxes();
    PerformanceClock::Instance().UseRealClock();
    SetLastError(0);
}
