#include "InputQueue.h"

#include "Cursor.h"
#include "FocusState.h"
#include "KeyboardState.h"
#include "MessageQueue.h"
#include "VideoSystem.h"
#include "WindowRegistry.h"

#include <Win32StandIn.h>

namespace StandIn
{

namespace
{

LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)),
                      static_cast<WORD>(static_cast<SHORT>(y)));
}

// Pointer input goes to the capture window when there is one, in its client coordinates.
HWND PointerTarget(const InputEvent& event, const Window& window, int* pnX, int* pnY)
{
    *pnX = event.nX;
    *pnY = event.nY;
    SetCursorScreenPosition({window.rcWindow.left + event.nX, window.rcWindow.top + event.nY});
    HWND hCapture = FocusState::Capture();
    Window* pCapture = WindowRegistry::Find(hCapture);
    if (!pCapture || hCapture == event.hWnd)
        return event.hWnd;
    *pnX += window.rcWindow.left - pCapture->rcWindow.left;
    *pnY += window.rcWindow.top - pCapture->rcWindow.top;
    return hCapture;
}

void DeliverPointer(const InputEvent& event, const Window& window)
{
    int x = 0, y = 0;
    HWND hTarget = PointerTarget(event, window, &x, &y);
    UINT uMessage = event.eKind == InputEvent::kMouseMove ? WM_MOUSEMOVE : event.uMessage;
    MessageQueue::Instance().PostInput(hTarget, uMessage, event.uKeyFlags, PointParam(x, y));
}

void DeliverWheel(const InputEvent& event, const Window& window)
{
    WPARAM wParam = MAKEWPARAM(
        event.uKeyFlags, static_cast<WORD>(static_cast<SHORT>(event.nWheelSteps * WHEEL_DELTA)));
    LPARAM lParam = PointParam(window.rcWindow.left + event.nX, window.rcWindow.top + event.nY);
    MessageQueue::Instance().PostInput(event.hWnd, WM_MOUSEWHEEL, wParam, lParam);
}

void DeliverKey(const InputEvent& event)
{
    KeyboardState& state = KeyboardState::Input();
    bool bWasDown = state.IsDown(event.uVirtualKey);
    state.SetKey(event.uVirtualKey, event.bDown);
    bool bAlt = state.IsDown(VK_MENU);
    bool bControl = state.IsDown(VK_CONTROL);
    bool bSystem = (bAlt && !bControl) || event.uVirtualKey == VK_F10 ||
                   (event.uVirtualKey == VK_MENU && !bControl);
    UINT uMessage = bSystem ? (event.bDown ? WM_SYSKEYDOWN : WM_SYSKEYUP)
                            : (event.bDown ? WM_KEYDOWN : WM_KEYUP);
    DWORD dwParam = 1;
    if (KeyboardState::IsExtendedKey(event.uVirtualKey))
        dwParam |= 1u << 24;
    if (bAlt)
        dwParam |= 1u << 29;
    if (!event.bDown || bWasDown)
        dwParam |= 1u << 30;
    if (!event.bDown)
        dwParam |= 1u << 31;
    MessageQueue::Instance().PostInput(event.hWnd, uMessage, event.uVirtualKey,
                                       static_cast<LPARAM>(dwParam));
}

void DeliverActivation(const InputEvent& event, Window& window)
{
    bool bActive = event.uState != WA_INACTIVE;
    if (event.bFromSystem)
    {
        bool bIsActive = FocusState::Active() == event.hWnd;
        if (bIsActive == bActive && window.bMinimized == event.bMinimized)
            return;
    }
    window.bMinimized = event.bMinimized;
    FocusState::FollowSystemActivation(event.hWnd, bActive, event.bMinimized);
    WPARAM wParam = MAKEWPARAM(event.uState, event.bMinimized ? 1 : 0);
    MessageQueue::Instance().PostInput(event.hWnd, WM_ACTIVATE, wParam, 0);
}

void DeliverOne(const InputEvent& event)
{
    Window* pWindow = WindowRegistry::Find(event.hWnd);
    if (!pWindow)
        return; // the window went away before its input was taken in
    MessageQueue& queue = MessageQueue::Instance();
    switch (event.eKind)
    {
    case InputEvent::kMouseMove:
    case InputEvent::kMouseButton:
        DeliverPointer(event, *pWindow);
        break;
    case InputEvent::kMouseWheel:
        DeliverWheel(event, *pWindow);
        break;
    case InputEvent::kKey:
        DeliverKey(event);
        break;
    case InputEvent::kCharacter:
        queue.PostInput(event.hWnd, WM_CHAR, static_cast<unsigned char>(event.chCharacter), 1);
        break;
    case InputEvent::kActivate:
        DeliverActivation(event, *pWindow);
        break;
    case InputEvent::kCloseRequest:
        queue.PostInput(event.hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

// From the window thread the window must exist now; from another thread it is checked when
// the input is taken in.
bool PushFor(HWND hWnd, const InputEvent& event)
{
    if (VideoSystem::IsWindowThread() && !WindowRegistry::Find(hWnd))
        return false;
    InputQueue::Instance().Push(event);
    return true;
}

} // namespace

InputQueue& InputQueue::Instance()
{
    static InputQueue s_queue;
    return s_queue;
}

void InputQueue::Push(const InputEvent& event)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_events.push_back(event);
    }
    MessageQueue::Instance().Nudge();
}

bool InputQueue::HasPending()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return !m_events.empty();
}

void InputQueue::Deliver()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_events.empty())
            return;
        m_delivering.swap(m_events);
    }
    for (const InputEvent& event : m_delivering)
        DeliverOne(event);
    m_delivering.clear();
}

void InputQueue::Clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_events.clear();
}

} // namespace StandIn

using StandIn::InputEvent;

bool StandIn_PostMouseMove(HWND hWnd, int x, int y, UINT uMkFlags)
{
    InputEvent event;
    event.eKind = InputEvent::kMouseMove;
    event.hWnd = hWnd;
    event.nX = x;
    event.nY = y;
    event.uKeyFlags = uMkFlags;
    return StandIn::PushFor(hWnd, event);
}

bool StandIn_PostMouseButton(HWND hWnd, UINT uMessage, int x, int y, UINT uMkFlags)
{
    if (uMessage < WM_LBUTTONDOWN || uMessage > WM_MBUTTONDBLCLK)
        return false;
    InputEvent event;
    event.eKind = InputEvent::kMouseButton;
    event.hWnd = hWnd;
    event.uMessage = uMessage;
    event.nX = x;
    event.nY = y;
    event.uKeyFlags = uMkFlags;
    return StandIn::PushFor(hWnd, event);
}

bool StandIn_PostKey(HWND hWnd, UINT uVirtualKey, bool bDown)
{
    if (uVirtualKey == 0 || uVirtualKey > 0xFE)
        return false;
    InputEvent event;
    event.eKind = InputEvent::kKey;
    event.hWnd = hWnd;
    event.uVirtualKey = uVirtualKey;
    event.bDown = bDown;
    return StandIn::PushFor(hWnd, event);
}

bool StandIn_PostChar(HWND hWnd, char chCharacter)
{
    InputEvent event;
    event.eKind = InputEvent::kCharacter;
    event.hWnd = hWnd;
    event.chCharacter = chCharacter;
    return StandIn::PushFor(hWnd, event);
}

bool StandIn_PostActivate(HWND hWnd, UINT uState, bool bMinimized)
{
    if (uState > WA_CLICKACTIVE)
        return false;
    InputEvent event;
    event.eKind = InputEvent::kActivate;
    event.hWnd = hWnd;
    event.uState = uState;
    event.bMinimized = bMinimized;
    return StandIn::PushFor(hWnd, event);
}

bool StandIn_PostCloseRequest(HWND hWnd)
{
    InputEvent event;
    event.eKind = InputEvent::kCloseRequest;
    event.hWnd = hWnd;
    return StandIn::PushFor(hWnd, event);
}
