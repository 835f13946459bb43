// SdlKeyMap: SDL's key codes, buttons and modifiers in Windows terms.
#pragma once

#include <windows.h>

#include <cstdint>

namespace StandIn
{

// The virtual-key code of an SDL key code, or 0 for a key Windows has no code for. Letters
// and digits give their upper-case ASCII value; the keypad gives VK_NUMPADn while Num Lock is on
// (sdlMods holds KMOD_NUM) and the navigation keys otherwise; both Shift keys give VK_SHIFT,
// both Ctrl keys VK_CONTROL and both Alt keys VK_MENU, as WM_KEYDOWN reports them. A printable
// key of another layout that has no US code gives VK_OEM_102, so that it still types.
UINT VirtualKeyFromSdl(int32_t sdlKeycode, uint16_t sdlMods);

// MK_* flags for SDL's button mask and modifier state: left, right and middle buttons, Shift
// and Ctrl.
UINT MouseKeyFlagsFromSdl(uint32_t sdlButtons, uint16_t sdlMods);

} // namespace StandIn
