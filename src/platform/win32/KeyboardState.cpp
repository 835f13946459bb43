#include "KeyboardState.h"

#include <cstring>

namespace StandIn
{

namespace
{

// Punctuation keys of the US layout: unshifted and shifted character.
struct OemKey
{
    UINT uVirtualKey;
    char chPlain;
    char chShifted;
};
const OemKey kOemKeys[] = {
    {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},     {VK_OEM_102, '\\', '|'},
};

int ControlCharacterForOem(UINT uVirtualKey)
{
    switch (uVirtualKey)
    {
    case VK_OEM_4:
        return 0x1B;
    case VK_OEM_5:
    case VK_OEM_102:
        return 0x1C;
    case VK_OEM_6:
        return 0x1D;
    default:
        return 0;
    }
}

int NumpadCharacter(UINT uVirtualKey)
{
    if (uVirtualKey >= VK_NUMPAD0 && uVirtualKey <= VK_NUMPAD9)
        return '0' + static_cast<int>(uVirtualKey - VK_NUMPAD0);
    switch (uVirtualKey)
    {
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    default:
        return 0;
    }
}

} // namespace

KeyboardState& KeyboardState::Input()
{
    static KeyboardState s_state;
    return s_state;
}

KeyboardState& KeyboardState::Thread()
{
    static KeyboardState s_state;
    return s_state;
}

void KeyboardState::SetKey(UINT uVirtualKey, bool bDown)
{
    uint8_t& bState = m_abState[uVirtualKey & 0xFF];
    bool bLockKey =
        uVirtualKey == VK_CAPITAL || uVirtualKey == VK_NUMLOCK || uVirtualKey == VK_SCROLL;
    if (bDown && bLockKey && !(bState & 0x80))
        bState ^= 0x01;
    bState = static_cast<uint8_t>(bDown ? (bState | 0x80) : (bState & ~0x80));
}

void KeyboardState::OnKeyMessage(const MSG& msg)
{
    switch (msg.message)
    {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        SetKey(static_cast<UINT>(msg.wParam), true);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        SetKey(static_cast<UINT>(msg.wParam), false);
        break;
    default:
        break;
    }
}

bool KeyboardState::IsDown(UINT uVirtualKey) const
{
    return (m_abState[uVirtualKey & 0xFF] & 0x80) != 0;
}

bool KeyboardState::IsToggled(UINT uVirtualKey) const
{
    return (m_abState[uVirtualKey & 0xFF] & 0x01) != 0;
}

void KeyboardState::Clear()
{
    memset(m_abState, 0, sizeof(m_abState));
}

int KeyboardState::CharacterFor(UINT uVirtualKey) const
{
    bool bShift = IsDown(VK_SHIFT);
    bool bControl = IsDown(VK_CONTROL);
    if (bControl && IsDown(VK_MENU))
        return 0; // AltGr: the US layout has no third level
    if (uVirtualKey >= 'A' && uVirtualKey <= 'Z')
    {
        if (bControl)
            return static_cast<int>(uVirtualKey - 'A' + 1);
        bool bUpper = bShift != IsToggled(VK_CAPITAL);
        return static_cast<int>(bUpper ? uVirtualKey : uVirtualKey - 'A' + 'a');
    }
    if (uVirtualKey >= '0' && uVirtualKey <= '9')
    {
        if (bControl)
            return 0;
        return bShift ? ")!@#$%^&*("[uVirtualKey - '0'] : static_cast<int>(uVirtualKey);
    }
    switch (uVirtualKey)
    {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return bControl ? '\n' : '\r';
    case VK_ESCAPE:
        return 0x1B;
    case VK_BACK:
        return bControl ? 0x7F : 0x08;
    case VK_TAB:
        return bControl ? 0 : '\t';
    default:
        break;
    }
    for (const OemKey& key : kOemKeys)
    {
        if (key.uVirtualKey == uVirtualKey)
        {
            if (bControl)
                return ControlCharacterForOem(uVirtualKey);
            return bShift ? key.chShifted : key.chPlain;
        }
    }
    return bControl ? 0 : NumpadCharacter(uVirtualKey);
}

bool KeyboardState::IsExtendedKey(UINT uVirtualKey)
{
    switch (uVirtualKey)
    {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
        return true;
    default:
        return false;
    }
}

} // namespace StandIn

extern "C" SHORT WINAPI GetKeyState(int nVirtKey)
{
    UINT uKey = static_cast<UINT>(nVirtKey);
    // The sided keys answer with their common key's state.
    if (uKey == VK_LSHIFT || uKey == VK_RSHIFT)
        uKey = VK_SHIFT;
    if (uKey == VK_LCONTROL || uKey == VK_RCONTROL)
        uKey = VK_CONTROL;
    if (uKey == VK_LMENU || uKey == VK_RMENU)
        uKey = VK_MENU;
    const StandIn::KeyboardState& state = StandIn::KeyboardState::Thread();
    int nResult = (state.IsDown(uKey) ? 0xFF80 : 0) | (state.IsToggled(uKey) ? 1 : 0);
    return static_cast<SHORT>(nResult);
}
