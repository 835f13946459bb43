#include "SdlEvents.h"

#include "AdoptedWindow.h"
#include "FocusState.h"
#include "InputQueue.h"
#include "SdlKeyMap.h"
#include "WindowRegistry.h"

#include <SDL.h>

namespace StandIn
{

namespace
{

uint32_t g_uButtons = 0; // SDL button mask as of the last event taken in
uint16_t g_uMods = 0;    // SDL modifier state as of the last event taken in

// Keys go to the focus window, else to the active window, as Windows sends them.
HWND KeyTarget(HWND hEventWindow)
{
    if (FocusState::Focus())
        return FocusState::Focus();
    if (FocusState::Active())
        return FocusState::Active();
    return hEventWindow;
}

UINT ButtonMessage(Uint8 uButton, bool bDown)
{
    switch (uButton)
    {
    case SDL_BUTTON_LEFT:
        return bDown ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case SDL_BUTTON_RIGHT:
        return bDown ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case SDL_BUTTON_MIDDLE:
        return bDown ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default:
        return 0;
    }
}

void PushActivation(HWND hWnd, UINT uState, bool bMinimized)
{
    InputEvent input;
    input.eKind = InputEvent::kActivate;
    input.hWnd = hWnd;
    input.uState = uState;
    input.bMinimized = bMinimized;
    input.bFromSystem = true;
    InputQueue::Instance().Push(input);
}

// Activation, minimising and close requests are the owner's business for an adopted window
// (its owner decides when the program ends); sizes and exposures still apply.
bool IsInputEvent(const SDL_WindowEvent& event)
{
    switch (event.event)
    {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_CLOSE:
    case SDL_WINDOWEVENT_TAKE_FOCUS:
        return true;
    default:
        return false;
    }
}

void HandleWindowEvent(const SDL_WindowEvent& event)
{
    HWND hWnd = WindowRegistry::FindBySdlId(event.windowID);
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow || (AdoptedWindow::IsAdopted(hWnd) && IsInputEvent(event)))
        return;
    switch (event.event)
    {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        g_uMods = static_cast<uint16_t>(SDL_GetModState());
        PushActivation(hWnd, WA_ACTIVE, pWindow->bMinimized);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        PushActivation(hWnd, WA_INACTIVE, pWindow->bMinimized);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        if (FocusState::Active() == hWnd)
            PushActivation(hWnd, WA_INACTIVE, true);
        else
            pWindow->bMinimized = true;
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        pWindow->bMinimized = false;
        pWindow->surface.Present();
        break;
    case SDL_WINDOWEVENT_CLOSE:
    {
        InputEvent input;
        input.eKind = InputEvent::kCloseRequest;
        input.hWnd = hWnd;
        InputQueue::Instance().Push(input);
        break;
    }
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
        pWindow->surface.Present();
        break;
    case SDL_WINDOWEVENT_MOVED:
    {
        int nWidth = pWindow->ClientWidth(), nHeight = pWindow->ClientHeight();
        pWindow->rcWindow = {event.data1, event.data2, event.data1 + nWidth, event.data2 + nHeight};
        break;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    {
        pWindow->rcWindow.right = pWindow->rcWindow.left + event.data1;
        pWindow->rcWindow.bottom = pWindow->rcWindow.top + event.data2;
        pWindow->surface.Resize(event.data1, event.data2);
        pWindow->surface.Present();
        WindowRegistry::Send(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(event.data1, event.data2));
        break;
    }
    default:
        break;
    }
}

void HandlePointer(const SDL_Event& event)
{
    InputEvent input;
    input.bFromSystem = true;
    if (event.type == SDL_MOUSEMOTION)
    {
        input.eKind = InputEvent::kMouseMove;
        input.hWnd = WindowRegistry::FindBySdlId(event.motion.windowID);
        input.nX = event.motion.x;
        input.nY = event.motion.y;
        g_uButtons = event.motion.state;
    }
    else
    {
        bool bDown = event.type == SDL_MOUSEBUTTONDOWN;
        input.eKind = InputEvent::kMouseButton;
        input.hWnd = WindowRegistry::FindBySdlId(event.button.windowID);
        input.uMessage = ButtonMessage(event.button.button, bDown);
        input.nX = event.button.x;
        input.nY = event.button.y;
        Uint32 uMask = SDL_BUTTON(event.button.button);
        g_uButtons = bDown ? (g_uButtons | uMask) : (g_uButtons & ~uMask);
        if (input.uMessage == 0)
            return;
    }
    if (!input.hWnd || AdoptedWindow::IsAdopted(input.hWnd))
        return;
    input.uKeyFlags = MouseKeyFlagsFromSdl(g_uButtons, g_uMods);
    InputQueue::Instance().Push(input);
}

void HandleWheel(const SDL_MouseWheelEvent& event)
{
    InputEvent input;
    input.eKind = InputEvent::kMouseWheel;
    input.hWnd = KeyTarget(WindowRegistry::FindBySdlId(event.windowID));
    if (!input.hWnd || AdoptedWindow::IsAdopted(input.hWnd))
        return;
    SDL_GetMouseState(&input.nX, &input.nY);
    input.nWheelSteps = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    input.uKeyFlags = MouseKeyFlagsFromSdl(g_uButtons, g_uMods);
    InputQueue::Instance().Push(input);
}

void HandleKey(const SDL_KeyboardEvent& event)
{
    g_uMods = event.keysym.mod;
    UINT uVirtualKey = VirtualKeyFromSdl(event.keysym.sym, event.keysym.mod);
    HWND hTarget = KeyTarget(WindowRegistry::FindBySdlId(event.windowID));
    if (uVirtualKey == 0 || !hTarget || AdoptedWindow::IsAdopted(hTarget))
        return;
    InputEvent input;
    input.eKind = InputEvent::kKey;
    input.hWnd = hTarget;
    input.uVirtualKey = uVirtualKey;
    input.bDown = event.type == SDL_KEYDOWN;
    input.bFromSystem = true;
    InputQueue::Instance().Push(input);
}

} // namespace

void HandleSdlEvent(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        HandlePointer(event);
        break;
    case SDL_MOUSEWHEEL:
        HandleWheel(event.wheel);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        HandleKey(event.key);
        break;
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event.window);
        break;
    case SDL_SYSWMEVENT:
        AdoptedWindow::OnSystemEvent(event);
        break;
    default:
        break; // SDL_QUIT and the rest: Windows has no such message
    }
}

void ResetSdlEventState()
{
    g_uButtons = 0;
    g_uMods = 0;
}

} // namespace StandIn
