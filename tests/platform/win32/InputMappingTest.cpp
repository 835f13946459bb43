// Input as Windows delivers it: pointer motion and buttons (lParam, wParam), keys (virtual-key
// codes and the lParam bits), activation (WA_* and the minimised flag), the close request.
#include "StandInFixture.h"

namespace
{

class InputMappingTest : public StandInTest
{
};

MSG TakeOne()
{
    MSG msg = {};
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    return msg;
}

struct MoveCase
{
    int x, y;
    UINT uFlags;
    LPARAM lExpected; // hand-built: low word x, high word y, as 16-bit two's complement
};

class MouseMoveTest : public InputMappingTest, public ::testing::WithParamInterface<MoveCase>
{
};

TEST_P(MouseMoveTest, MotionBecomesMouseMoveWithClientPointAndKeyFlags)
{
    const MoveCase& c = GetParam();
    HWND hWnd = CreateRecordedWindow(640, 480);
    ASSERT_TRUE(StandIn_PostMouseMove(hWnd, c.x, c.y, c.uFlags));
    MSG msg = TakeOne();
    EXPECT_EQ(msg.hwnd, hWnd);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(msg.lParam, c.lExpected) << "x " << c.x << " y " << c.y;
    EXPECT_EQ(msg.wParam, c.uFlags);
    EXPECT_EQ(LOWORD(msg.lParam), static_cast<WORD>(c.x));
    EXPECT_EQ(HIWORD(msg.lParam), static_cast<WORD>(c.y));
}

INSTANTIATE_TEST_SUITE_P(
    Points, MouseMoveTest,
    ::testing::Values(MoveCase{0, 0, 0, 0x00000000}, MoveCase{31, 7, 0, 0x0007001F},
                      MoveCase{639, 479, MK_LBUTTON, 0x01DF027F},
                      MoveCase{100, 200, MK_RBUTTON | MK_SHIFT, 0x00C80064},
                      MoveCase{1, 2, MK_MBUTTON | MK_CONTROL, 0x00020001},
                      MoveCase{-1, -2, 0, 0xFFFEFFFF})); // captured, left of and above

TEST_F(InputMappingTest, KeyFlagValuesAreTheWindowsOnes)
{
    EXPECT_EQ(MK_LBUTTON, 0x0001);
    EXPECT_EQ(MK_RBUTTON, 0x0002);
    EXPECT_EQ(MK_SHIFT, 0x0004);
    EXPECT_EQ(MK_CONTROL, 0x0008);
    EXPECT_EQ(MK_MBUTTON, 0x0010);
}

TEST_F(InputMappingTest, MovesNotYetTakenMergeIntoTheLatest)
{
    HWND hWnd = CreateRecordedWindow();
    StandIn_PostMouseMove(hWnd, 1, 1, 0);
    StandIn_PostMouseMove(hWnd, 2, 2, 0);
    StandIn_PostMouseMove(hWnd, 3, 3, MK_LBUTTON); // different key state: kept apart
    std::vector<MSG> taken = Drain();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].lParam, MAKELPARAM(2, 2));
    EXPECT_EQ(taken[1].lParam, MAKELPARAM(3, 3));
    EXPECT_EQ(taken[1].wParam, static_cast<WPARAM>(MK_LBUTTON));
}

TEST_F(InputMappingTest, PointerInputGoesToTheCaptureWindowInItsCoordinates)
{
    HWND hCapture = CreateWindowExA(0, kClassName, "", WS_POPUP, 100, 50, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
    HWND hOther = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr,
                                  nullptr, nullptr);
    SetCapture(hCapture);
    StandIn_PostMouseMove(hOther, 20, 30, 0);
    MSG msg = TakeOne();
    EXPECT_EQ(msg.hwnd, hCapture);
    EXPECT_EQ(static_cast<SHORT>(LOWORD(msg.lParam)), -80);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(msg.lParam)), -20);
    POINT pt;
    GetCursorPos(&pt);
    EXPECT_EQ(pt.x, 20);
    EXPECT_EQ(pt.y, 30);
}

TEST_F(InputMappingTest, ButtonsCarryTheirMessageAndPoint)
{
    HWND hWnd = CreateRecordedWindow();
    ASSERT_TRUE(StandIn_PostMouseButton(hWnd, WM_RBUTTONDOWN, 4, 5, MK_RBUTTON));
    EXPECT_FALSE(StandIn_PostMouseButton(hWnd, WM_KEYDOWN, 4, 5, 0)) << "not a button message";
    MSG msg = TakeOne();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_RBUTTONDOWN));
    EXPECT_EQ(msg.lParam, MAKELPARAM(4, 5));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(MK_RBUTTON));
}

TEST_F(InputMappingTest, KeyMessagesCarryTheWindowsLParamBits)
{
    HWND hWnd = CreateRecordedWindow();
    StandIn_PostKey(hWnd, 'A', true);
    StandIn_PostKey(hWnd, 'A', true); // auto-repeat
    StandIn_PostKey(hWnd, 'A', false);
    StandIn_PostKey(hWnd, VK_LEFT, true);
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        taken.push_back(msg);
    ASSERT_EQ(taken.size(), 4u);
    EXPECT_EQ(taken[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(taken[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(taken[0].lParam, 0x00000001) << "repeat count 1, first press";
    EXPECT_EQ(taken[1].lParam, 0x40000001) << "previous state down";
    EXPECT_EQ(taken[2].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(taken[2].lParam, static_cast<LPARAM>(0xC0000001u)) << "previous state and transition";
    EXPECT_EQ(taken[3].wParam, static_cast<WPARAM>(VK_LEFT));
    EXPECT_EQ(taken[3].lParam, 0x01000001) << "an extended key";
}

TEST_F(InputMappingTest, AltTurnsKeysIntoSystemKeysButNotWithCtrl)
{
    HWND hWnd = CreateRecordedWindow();
    StandIn_PostKey(hWnd, VK_MENU, true);
    StandIn_PostKey(hWnd, 'X', true);
    StandIn_PostKey(hWnd, VK_CONTROL, true);
    StandIn_PostKey(hWnd, 'Y', true);
    StandIn_PostKey(hWnd, VK_F10, true);
    std::vector<UINT> messages;
    std::vector<LPARAM> params;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        messages.push_back(msg.message);
        params.push_back(msg.lParam);
    }
    EXPECT_EQ(messages, (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_KEYDOWN, WM_KEYDOWN,
                                           WM_SYSKEYDOWN}));
    EXPECT_EQ(params[1], 0x20000001) << "context bit: Alt held";
}

struct ActivationCase
{
    UINT uState;
    bool bMinimized;
    WPARAM wExpected;
    bool bActiveAfter;
};

class ActivationTest : public InputMappingTest, public ::testing::WithParamInterface<ActivationCase>
{
};

TEST_P(ActivationTest, ActivationBecomesWmActivateWithStateAndMinimisedFlag)
{
    const ActivationCase& c = GetParam();
    HWND hWnd = CreateRecordedWindow();
    ShowWindow(hWnd, c.uState == WA_INACTIVE ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
    Drain();
    ASSERT_TRUE(StandIn_PostActivate(hWnd, c.uState, c.bMinimized));
    Log().clear();
    MSG msg = TakeOne();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(msg.wParam, c.wExpected);
    EXPECT_EQ(LOWORD(msg.wParam), c.uState);
    EXPECT_EQ(HIWORD(msg.wParam), c.bMinimized ? 1 : 0);
    EXPECT_EQ(GetActiveWindow() == hWnd, c.bActiveAfter);
    EXPECT_EQ(IsIconic(hWnd) != FALSE, c.bMinimized);
}

INSTANTIATE_TEST_SUITE_P(States, ActivationTest,
                         ::testing::Values(ActivationCase{WA_ACTIVE, false, 0x00000001, true},
                                           ActivationCase{WA_CLICKACTIVE, false, 0x00000002, true},
                                           ActivationCase{WA_ACTIVE, true, 0x00010001, true},
                                           ActivationCase{WA_INACTIVE, false, 0x00000000, false},
                                           ActivationCase{WA_INACTIVE, true, 0x00010000, false}));

TEST_F(InputMappingTest, LosingActivationAlsoLosesTheFocus)
{
    HWND hWnd = CreateRecordedWindow();
    ShowWindow(hWnd, SW_SHOWNORMAL);
    ASSERT_EQ(GetFocus(), hWnd);
    StandIn_PostActivate(hWnd, WA_INACTIVE, false);
    Drain();
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(InputMappingTest, CloseRequestIsASystemCloseThatDestroysByDefault)
{
    HWND hWnd = CreateRecordedWindow();
    ASSERT_TRUE(StandIn_PostCloseRequest(hWnd));
    Log().clear();
    MSG msg = TakeOne();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(SC_CLOSE));
    DispatchMessageA(&msg);
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST_F(InputMappingTest, CharactersArriveAsWmChar)
{
    HWND hWnd = CreateRecordedWindow();
    StandIn_PostChar(hWnd, 'z');
    MSG msg = TakeOne();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('z'));
}

TEST_F(InputMappingTest, InputForAMissingWindowIsRefusedOrDropped)
{
    HWND hWnd = CreateRecordedWindow();
    DestroyWindow(hWnd);
    EXPECT_FALSE(StandIn_PostMouseMove(hWnd, 1, 1, 0));
    EXPECT_FALSE(StandIn_PostKey(hWnd, 'A', true));
    EXPECT_FALSE(StandIn_PostChar(hWnd, 'a'));
    EXPECT_FALSE(StandIn_PostActivate(hWnd, WA_ACTIVE, false));
    EXPECT_FALSE(StandIn_PostCloseRequest(hWnd));
    HWND hLive = CreateRecordedWindow();
    StandIn_PostMouseMove(hLive, 1, 1, 0);
    DestroyWindow(hLive); // before the input was taken in
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(InputMappingTest, MessagesAreStampedWithTimeAndCursor)
{
    HWND hWnd = CreateWindowExA(0, kClassName, "", WS_POPUP, 10, 20, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
    StandIn_SetTestClock(1000, 5000); // 5 s
    StandIn_PostMouseMove(hWnd, 3, 4, 0);
    MSG msg = TakeOne();
    EXPECT_EQ(msg.time, 5000u);
    EXPECT_EQ(msg.pt.x, 13);
    EXPECT_EQ(msg.pt.y, 24);
    EXPECT_EQ(GetMessageTime(), 5000u);
}

} // namespace
