// SDL's key codes, buttons and modifiers in Windows terms (the mapping real input goes through).
#include "SdlKeyMap.h"

#include <SDL.h>

#include <gtest/gtest.h>

namespace
{

using StandIn::MouseKeyFlagsFromSdl;
using StandIn::VirtualKeyFromSdl;

struct KeyCase
{
    SDL_Keycode nSdl;
    uint16_t uMods;
    UINT uExpected;
};

class SdlKeyMapTest : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(SdlKeyMapTest, KeyCodeGivesTheVirtualKey)
{
    const KeyCase& c = GetParam();
    EXPECT_EQ(VirtualKeyFromSdl(c.nSdl, c.uMods), c.uExpected) << SDL_GetKeyName(c.nSdl);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SdlKeyMapTest,
    ::testing::Values(KeyCase{SDLK_a, 0, 'A'}, KeyCase{SDLK_z, KMOD_SHIFT, 'Z'},
                      KeyCase{SDLK_0, 0, '0'}, KeyCase{SDLK_9, 0, '9'},
                      KeyCase{SDLK_SPACE, 0, VK_SPACE}, KeyCase{SDLK_RETURN, 0, VK_RETURN},
                      KeyCase{SDLK_ESCAPE, 0, VK_ESCAPE}, KeyCase{SDLK_BACKSPACE, 0, VK_BACK},
                      KeyCase{SDLK_TAB, 0, VK_TAB}, KeyCase{SDLK_LEFT, 0, VK_LEFT},
                      KeyCase{SDLK_UP, 0, VK_UP}, KeyCase{SDLK_F1, 0, VK_F1},
                      KeyCase{SDLK_F12, 0, VK_F12}, KeyCase{SDLK_F13, 0, 0x7C},
                      KeyCase{SDLK_LSHIFT, 0, VK_SHIFT}, KeyCase{SDLK_RSHIFT, 0, VK_SHIFT},
                      KeyCase{SDLK_LCTRL, 0, VK_CONTROL}, KeyCase{SDLK_RCTRL, 0, VK_CONTROL},
                      KeyCase{SDLK_LALT, 0, VK_MENU}, KeyCase{SDLK_DELETE, 0, VK_DELETE},
                      KeyCase{SDLK_COMMA, 0, VK_OEM_COMMA}, KeyCase{SDLK_SLASH, 0, VK_OEM_2},
                      KeyCase{SDLK_KP_5, KMOD_NUM, VK_NUMPAD5}, KeyCase{SDLK_KP_8, 0, VK_UP},
                      KeyCase{SDLK_KP_ENTER, 0, VK_RETURN}, KeyCase{SDLK_CAPSLOCK, 0, VK_CAPITAL},
                      KeyCase{0xE9 /* e acute on a French layout */, 0, VK_OEM_102},
                      KeyCase{SDLK_VOLUMEUP, 0, 0}));

TEST(SdlMouseFlagsTest, ButtonsAndModifiersGiveTheMkFlags)
{
    EXPECT_EQ(MouseKeyFlagsFromSdl(0, 0), 0u);
    EXPECT_EQ(MouseKeyFlagsFromSdl(SDL_BUTTON_LMASK, 0), static_cast<UINT>(MK_LBUTTON));
    EXPECT_EQ(MouseKeyFlagsFromSdl(SDL_BUTTON_RMASK, 0), static_cast<UINT>(MK_RBUTTON));
    EXPECT_EQ(MouseKeyFlagsFromSdl(SDL_BUTTON_MMASK, 0), static_cast<UINT>(MK_MBUTTON));
    EXPECT_EQ(MouseKeyFlagsFromSdl(0, KMOD_LSHIFT), static_cast<UINT>(MK_SHIFT));
    EXPECT_EQ(MouseKeyFlagsFromSdl(0, KMOD_RCTRL), static_cast<UINT>(MK_CONTROL));
    EXPECT_EQ(MouseKeyFlagsFromSdl(SDL_BUTTON_LMASK | SDL_BUTTON_RMASK, KMOD_LSHIFT | KMOD_LCTRL),
              static_cast<UINT>(0x0F));
    EXPECT_EQ(MouseKeyFlagsFromSdl(SDL_BUTTON_X1MASK, KMOD_ALT | KMOD_NUM), 0u)
        << "no MK flag for these";
}

} // namespace
