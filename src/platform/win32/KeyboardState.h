// KeyboardState: which virtual keys are down (and which lock keys are toggled), and the
// character a key types in that state.
//
// Two instances exist, as on Windows: the input state, updated as input arrives (it decides
// between WM_KEYDOWN and WM_SYSKEYDOWN), and the thread state, updated as key messages are
// taken from the queue (GetKeyState and TranslateMessage read it).
// Owner: process-wide statics; window thread only.
#pragma once

#include <windows.h>

#include <cstdint>

namespace StandIn
{

class KeyboardState
{
  public:
    static KeyboardState& Input();
    static KeyboardState& Thread();

    // A key went down or up. A lock key (Caps, Num, Scroll) toggles on each press.
    void SetKey(UINT uVirtualKey, bool bDown);
    // Follows a key message (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP); others are ignored.
    void OnKeyMessage(const MSG& msg);
    bool IsDown(UINT uVirtualKey) const;
    bool IsToggled(UINT uVirtualKey) const;
    void Clear();

    // The character the key types in this state on a US keyboard layout, or 0 when it types
    // none. Printable keys, Enter ('\r'), Esc, Backspace and Tab type characters; arrows,
    // function keys, modifiers and the other editing keys do not. Ctrl with a letter types the
    // control character (Ctrl+C is 3), as Windows does.
    int CharacterFor(UINT uVirtualKey) const;

    // Navigation keys that Windows flags as extended in bit 24 of a key message's lParam.
    static bool IsExtendedKey(UINT uVirtualKey);

  private:
    uint8_t m_abState[256] = {}; // bit 0x80 down, bit 0x01 toggled
};

} // namespace StandIn
