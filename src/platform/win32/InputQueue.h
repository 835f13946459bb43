// InputQueue: input as the system reports it (from SDL or from StandIn_Post*), waiting to be
// turned into messages. The message calls take it in before they look at the message queue,
// so input reaches the program exactly as Windows delivers it:
//   pointer motion -> WM_MOUSEMOVE, client x and y in the low and high 16 bits of lParam, MK_*
//                     flags in wParam (to the capture window when there is one)
//   buttons        -> WM_LBUTTONDOWN ... WM_MBUTTONUP, the same lParam and wParam
//   wheel          -> WM_MOUSEWHEEL, WHEEL_DELTA steps in the high word of wParam
//   keys           -> WM_KEYDOWN/WM_KEYUP by virtual-key code (WM_SYSKEYDOWN/UP while Alt is
//                     held without Ctrl, and for F10), lParam: repeat count 1, extended bit 24,
//                     Alt bit 29, previous state bit 30, transition bit 31
//   characters     -> WM_CHAR
//   activation     -> WM_ACTIVATE, WA_* in the low word of wParam and the minimised flag in the
//                     high word; the active and focus windows follow
//   close request  -> WM_SYSCOMMAND with SC_CLOSE
// Owner: process-wide. Push may be called from any thread; Deliver runs on the window thread.
#pragma once

#include <windows.h>

#include <deque>
#include <mutex>

namespace StandIn
{

struct InputEvent
{
    enum Kind
    {
        kMouseMove,
        kMouseButton,
        kMouseWheel,
        kKey,
        kCharacter,
        kActivate,
        kCloseRequest
    };
    Kind eKind = kMouseMove;
    HWND hWnd = nullptr;
    int nX = 0; // client coordinates
    int nY = 0;
    UINT uKeyFlags = 0;  // MK_* flags
    UINT uMessage = 0;   // button message
    int nWheelSteps = 0; // wheel: positive away from the user
    UINT uVirtualKey = 0;
    bool bDown = false;
    char chCharacter = 0;
    UINT uState = WA_INACTIVE; // activation
    bool bMinimized = false;
    // From the system (SDL): an activation that changes nothing is dropped, since SDL repeats
    // focus events that the stand-in already delivered when the window was shown.
    bool bFromSystem = false;
};

class InputQueue
{
  public:
    static InputQueue& Instance();

    void Push(const InputEvent& event);
    bool HasPending();
    // Turns every pending event into messages.
    void Deliver();
    void Clear();

  private:
    std::mutex m_lock;
    std::deque<InputEvent> m_events;
    std::deque<InputEvent> m_delivering;
};

} // namespace StandIn
