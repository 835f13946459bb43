#include "SdlKeyMap.h"

#include <SDL.h>

namespace StandIn
{

namespace
{

struct KeyPair
{
    SDL_Keycode nSdl;
    UINT uVirtualKey;
};

const KeyPair kKeys[] = {
    {SDLK_RETURN, VK_RETURN},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_SEMICOLON, VK_OEM_1},
    {SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_COMMA, VK_OEM_COMMA},
    {SDLK_MINUS, VK_OEM_MINUS},
    {SDLK_PERIOD, VK_OEM_PERIOD},
    {SDLK_SLASH, VK_OEM_2},
    {SDLK_BACKQUOTE, VK_OEM_3},
    {SDLK_LEFTBRACKET, VK_OEM_4},
    {SDLK_BACKSLASH, VK_OEM_5},
    {SDLK_RIGHTBRACKET, VK_OEM_6},
    {SDLK_QUOTE, VK_OEM_7},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_UP, VK_UP},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_HOME, VK_HOME},
    {SDLK_END, VK_END},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},
    {SDLK_LGUI, VK_LWIN},
    {SDLK_RGUI, VK_RWIN},
    {SDLK_APPLICATION, VK_APPS},
    {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDLK_SCROLLLOCK, VK_SCROLL},
    {SDLK_PAUSE, VK_PAUSE},
    {SDLK_PRINTSCREEN, VK_SNAPSHOT},
    {SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY},
    {SDLK_KP_MINUS, VK_SUBTRACT},
    {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_ENTER, VK_RETURN},
};

// Keypad keys: the digit code with Num Lock on, the navigation code with it off.
struct KeypadKey
{
    SDL_Keycode nSdl;
    UINT uWithNumLock;
    UINT uWithoutNumLock;
};

const KeypadKey kKeypad[] = {
    {SDLK_KP_0, VK_NUMPAD0, VK_INSERT},      {SDLK_KP_1, VK_NUMPAD1, VK_END},
    {SDLK_KP_2, VK_NUMPAD2, VK_DOWN},        {SDLK_KP_3, VK_NUMPAD3, VK_NEXT},
    {SDLK_KP_4, VK_NUMPAD4, VK_LEFT},        {SDLK_KP_5, VK_NUMPAD5, VK_CLEAR},
    {SDLK_KP_6, VK_NUMPAD6, VK_RIGHT},       {SDLK_KP_7, VK_NUMPAD7, VK_HOME},
    {SDLK_KP_8, VK_NUMPAD8, VK_UP},          {SDLK_KP_9, VK_NUMPAD9, VK_PRIOR},
    {SDLK_KP_PERIOD, VK_DECIMAL, VK_DELETE},
};

} // namespace

UINT VirtualKeyFromSdl(int32_t sdlKeycode, uint16_t sdlMods)
{
    if (sdlKeycode >= SDLK_a && sdlKeycode <= SDLK_z)
        return static_cast<UINT>('A' + (sdlKeycode - SDLK_a));
    if (sdlKeycode >= SDLK_0 && sdlKeycode <= SDLK_9)
        return static_cast<UINT>(sdlKeycode);
    if (sdlKeycode >= SDLK_F1 && sdlKeycode <= SDLK_F12)
        return static_cast<UINT>(VK_F1 + (sdlKeycode - SDLK_F1));
    if (sdlKeycode >= SDLK_F13 && sdlKeycode <= SDLK_F24)
        return static_cast<UINT>(VK_F1 + 12 + (sdlKeycode - SDLK_F13));
    for (const KeyPair& key : kKeys)
    {
        if (key.nSdl == sdlKeycode)
            return key.uVirtualKey;
    }
    for (const KeypadKey& key : kKeypad)
    {
        if (key.nSdl == sdlKeycode)
            return (sdlMods & KMOD_NUM) ? key.uWithNumLock : key.uWithoutNumLock;
    }
    // A character key of another layout (its key code is the character it types).
    bool bCharacter =
        (sdlKeycode & SDLK_SCANCODE_MASK) == 0 && sdlKeycode > 0x20 && sdlKeycode != SDLK_DELETE;
    return bCharacter ? VK_OEM_102 : 0;
}

UINT MouseKeyFlagsFromSdl(uint32_t sdlButtons, uint16_t sdlMods)
{
    UINT uFlags = 0;
    if (sdlButtons & SDL_BUTTON_LMASK)
        uFlags |= MK_LBUTTON;
    if (sdlButtons & SDL_BUTTON_RMASK)
        uFlags |= MK_RBUTTON;
    if (sdlButtons & SDL_BUTTON_MMASK)
        uFlags |= MK_MBUTTON;
    if (sdlMods & KMOD_SHIFT)
        uFlags |= MK_SHIFT;
    if (sdlMods & KMOD_CTRL)
        uFlags |= MK_CONTROL;
    return uFlags;
}

} // namespace StandIn
