// The message calls: PeekMessageA, GetMessageA, WaitMessage, TranslateMessage,
// DispatchMessageA, PostMessageA, SendMessageA, PostQuitMessage, GetMessageTime.
//
// Each look at the queue first takes in what the system reported (SDL's events, synthetic
// input), then takes posted messages, input, WM_QUIT and WM_PAINT in that order
// (MessageQueue, WindowPaint). Waiting costs no processor time: with a display the thread
// sleeps in SDL_WaitEvent (a post from another thread wakes it with an SDL event); without one
// it sleeps on the queue's condition variable.
#include <windows.h>

#include "CloseRequest.h"
#include "InputQueue.h"
#include "KeyboardState.h"
#include "MessageQueue.h"
#include "VideoSystem.h"
#include "WindowPaint.h"
#include "WindowRegistry.h"

using namespace StandIn;

namespace
{

DWORD g_dwLastMessageTime = 0;
HWND const kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));

void TakeInInput()
{
    WindowRegistry::PresentChanged(); // what was drawn is on screen before the program waits
    VideoSystem::PollEvents();
    InputQueue::Instance().Deliver();
    CloseRequest::DeliverIfPending();
}

bool FilterIsValid(HWND hWnd)
{
    return !hWnd || hWnd == kThreadMessagesOnly || WindowRegistry::Find(hWnd);
}

bool Look(MSG* pMsg, HWND hFilter, UINT uMin, UINT uMax, bool bRemove)
{
    TakeInInput();
    MessageQueue& queue = MessageQueue::Instance();
    queue.TakeNewFlag(); // the program has looked: only later arrivals count as new
    if (queue.Take(pMsg, hFilter, uMin, uMax, bRemove))
    {
        if (bRemove)
            KeyboardState::Thread().OnKeyMessage(*pMsg);
        g_dwLastMessageTime = pMsg->time;
        return true;
    }
    return FindPaintMessage(hFilter, uMin, uMax, pMsg);
}

// Sleeps until something may have arrived after nSequence was read.
void WaitAfter(uint64_t nSequence)
{
    if (InputQueue::Instance().HasPending())
        return;
    if (VideoSystem::IsActive())
        VideoSystem::WaitForEvent();
    else
        MessageQueue::Instance().WaitForChange(nSequence);
}

} // namespace

extern "C" BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                                    UINT wRemoveMsg)
{
    if (!lpMsg)
        return FALSE;
    if (!FilterIsValid(hWnd))
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return Look(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0);
}

// 0 for WM_QUIT, -1 for a bad argument, non-zero for any other message.
extern "C" BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    if (!lpMsg || !FilterIsValid(hWnd))
    {
        SetLastError(lpMsg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return -1;
    }
    for (;;)
    {
        uint64_t nSequence = MessageQueue::Instance().GetSequence();
        if (Look(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true))
            return lpMsg->message != WM_QUIT;
        WaitAfter(nSequence);
    }
}

// Returns once a message arrived that the program has not looked at yet.
extern "C" BOOL WINAPI WaitMessage(void)
{
    MessageQueue& queue = MessageQueue::Instance();
    for (;;)
    {
        uint64_t nSequence = queue.GetSequence();
        TakeInInput();
        if (queue.TakeNewFlag())
            return TRUE;
        WaitAfter(nSequence);
    }
}

// Key downs that type a character post WM_CHAR (WM_SYSCHAR with Alt) carrying the key's
// lParam; the result is non-zero for every key message, as on Windows.
extern "C" BOOL WINAPI TranslateMessage(const MSG* lpMsg)
{
    if (!lpMsg)
        return FALSE;
    if (lpMsg->message == WM_KEYDOWN || lpMsg->message == WM_SYSKEYDOWN)
    {
        int nCharacter = KeyboardState::Thread().CharacterFor(static_cast<UINT>(lpMsg->wParam));
        if (nCharacter)
        {
            UINT uMessage = lpMsg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
            MessageQueue::Instance().Post(lpMsg->hwnd, uMessage, static_cast<WPARAM>(nCharacter),
                                          lpMsg->lParam);
        }
        return TRUE;
    }
    return lpMsg->message == WM_KEYUP || lpMsg->message == WM_SYSKEYUP;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* lpMsg)
{
    if (!lpMsg || !lpMsg->hwnd)
        return 0; // thread messages have no window procedure
    if (!WindowRegistry::Find(lpMsg->hwnd))
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return WindowRegistry::Send(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

// A null window posts a thread message. From another thread the window is checked when the
// message is dispatched.
extern "C" BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd && VideoSystem::IsWindowThread() && !WindowRegistry::Find(hWnd))
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    MessageQueue::Instance().Post(hWnd, Msg, wParam, lParam);
    return TRUE;
}

// The procedure runs at once on the calling thread: the stand-in serves programs whose windows
// all live on their one thread.
extern "C" LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (!WindowRegistry::Find(hWnd))
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return WindowRegistry::Send(hWnd, Msg, wParam, lParam);
}

extern "C" void WINAPI PostQuitMessage(int nExitCode)
{
    MessageQueue::Instance().PostQuit(nExitCode);
}

extern "C" DWORD WINAPI GetMessageTime(void)
{
    return g_dwLastMessageTime;
}
