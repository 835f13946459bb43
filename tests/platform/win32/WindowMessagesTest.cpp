// Windows and the messages sent synchronously while they are created, shown, focused and
// destroyed; DefWindowProcA's close chain; window user data; classes.
#include "StandInFixture.h"

#include <cstdint>

namespace
{

class WindowMessagesTest : public StandInTest
{
};

TEST_F(WindowMessagesTest, CreationSendsNcCreateThenCreateWithTheCreationData)
{
    int nCookie = 0;
    HWND hWnd = CreateWindowExA(0, kClassName, "title", WS_POPUP, 5, 6, 70, 80, nullptr, nullptr,
                                nullptr, &nCookie);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "creation queues nothing";
    RECT rc;
    ASSERT_TRUE(GetWindowRect(hWnd, &rc));
    EXPECT_EQ(rc.left, 5);
    EXPECT_EQ(rc.top, 6);
    EXPECT_EQ(rc.right, 75);
    EXPECT_EQ(rc.bottom, 86);
    ASSERT_TRUE(GetClientRect(hWnd, &rc));
    EXPECT_EQ(rc.right, 70);
    EXPECT_EQ(rc.bottom, 80);
    EXPECT_FALSE(IsWindowVisible(hWnd));
}

TEST_F(WindowMessagesTest, CreateStructCarriesTheArguments)
{
    int nCookie = 0;
    CREATESTRUCTA seen = {};
    Override() = [&](HWND, UINT uMessage, WPARAM, LPARAM lParam, LRESULT*)
    {
        if (uMessage == WM_CREATE)
            seen = *reinterpret_cast<const CREATESTRUCTA*>(lParam);
        return false;
    };
    HWND hWnd = CreateWindowExA(WS_EX_TOPMOST, kClassName, "title", WS_POPUP, 5, 6, 70, 80, nullptr,
                                nullptr, nullptr, &nCookie);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(seen.lpCreateParams, &nCookie);
    EXPECT_EQ(seen.x, 5);
    EXPECT_EQ(seen.y, 6);
    EXPECT_EQ(seen.cx, 70);
    EXPECT_EQ(seen.cy, 80);
    EXPECT_EQ(static_cast<DWORD>(seen.style), WS_POPUP);
    EXPECT_EQ(seen.dwExStyle, WS_EX_TOPMOST);
    EXPECT_STREQ(seen.lpszName, "title");
}

TEST_F(WindowMessagesTest, CreateAnsweringMinusOneFailsTheCreationAndDestroysTheWindow)
{
    Override() = [](HWND, UINT uMessage, WPARAM, LPARAM, LRESULT* plResult)
    {
        if (uMessage != WM_CREATE)
            return false;
        *plResult = -1;
        return true;
    };
    EXPECT_EQ(CreateRecordedWindow(), nullptr);
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    HWND hWnd = Log()[0].hWnd;
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST_F(WindowMessagesTest, NcCreateAnsweringFalseFailsBeforeCreate)
{
    Override() = [](HWND, UINT uMessage, WPARAM, LPARAM, LRESULT* plResult)
    {
        if (uMessage != WM_NCCREATE)
            return false;
        *plResult = FALSE;
        return true;
    };
    EXPECT_EQ(CreateRecordedWindow(), nullptr);
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_NCCREATE, WM_NCDESTROY}));
}

TEST_F(WindowMessagesTest, ShowingActivatesAndFocusesSynchronously)
{
    HWND hWnd = CreateRecordedWindow();
    Log().clear();
    EXPECT_FALSE(ShowWindow(hWnd, SW_SHOWNORMAL)) << "the window was hidden before";
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_NCACTIVATE,
                                             WM_ACTIVATE, WM_SETFOCUS, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(Log()[0].wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(Log()[3].wParam, MAKEWPARAM(WA_ACTIVE, 0));
    EXPECT_EQ(Log()[5].lParam, MAKELPARAM(64, 48));
    EXPECT_EQ(GetActiveWindow(), hWnd);
    EXPECT_EQ(GetForegroundWindow(), hWnd);
    EXPECT_EQ(GetFocus(), hWnd);
    EXPECT_TRUE(IsWindowVisible(hWnd));
    EXPECT_TRUE(GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_VISIBLE);

    Log().clear();
    EXPECT_TRUE(ShowWindow(hWnd, SW_SHOWNORMAL)) << "visible before the second call";
    EXPECT_TRUE(Received().empty()) << "nothing changes, nothing is sent";
}

TEST_F(WindowMessagesTest, ShowWithoutActivationLeavesTheActiveWindowAlone)
{
    HWND hFirst = CreateRecordedWindow();
    ShowWindow(hFirst, SW_SHOWNORMAL);
    HWND hSecond = CreateRecordedWindow();
    Log().clear();
    ShowWindow(hSecond, SW_SHOWNOACTIVATE);
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_SHOWWINDOW, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(GetActiveWindow(), hFirst);
}

TEST_F(WindowMessagesTest, VisibleStyleShowsDuringCreation)
{
    HWND hWnd = CreateRecordedWindow(64, 48, WS_POPUP | WS_VISIBLE);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(Received({WM_CREATE, WM_SHOWWINDOW, WM_ACTIVATE}),
              (std::vector<UINT>{WM_CREATE, WM_SHOWWINDOW, WM_ACTIVATE}));
    EXPECT_EQ(GetActiveWindow(), hWnd);
}

TEST_F(WindowMessagesTest, UpdateWindowPaintsOnceAndTheBackgroundIsErased)
{
    HWND hWnd = CreateRecordedWindow();
    ShowWindow(hWnd, SW_SHOWNORMAL);
    Log().clear();
    EXPECT_TRUE(UpdateWindow(hWnd));
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    Log().clear();
    UpdateWindow(hWnd);
    EXPECT_TRUE(Received().empty()) << "validated by the default WM_PAINT";
}

TEST_F(WindowMessagesTest, PaintIsGeneratedWhenNothingElseIsQueued)
{
    HWND hWnd = CreateRecordedWindow();
    ShowWindow(hWnd, SW_SHOWNORMAL);
    PostMessageA(hWnd, WM_USER, 1, 2);
    std::vector<MSG> taken = Drain();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(taken[1].message, static_cast<UINT>(WM_PAINT));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        << "DefWindowProcA validated the window";
}

TEST_F(WindowMessagesTest, SetFocusOnAnotherWindowMovesActivation)
{
    HWND hFirst = CreateRecordedWindow();
    HWND hSecond = CreateRecordedWindow();
    ShowWindow(hFirst, SW_SHOWNORMAL);
    ShowWindow(hSecond, SW_SHOWNOACTIVATE);
    Log().clear();
    EXPECT_EQ(SetFocus(hSecond), hFirst);
    ASSERT_EQ(Received({WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}),
              (std::vector<UINT>{WM_ACTIVATE, WM_KILLFOCUS, WM_ACTIVATE, WM_SETFOCUS}));
    std::vector<RecordedMessage> activations;
    for (const RecordedMessage& entry : Log())
    {
        if (entry.uMessage == WM_ACTIVATE)
            activations.push_back(entry);
    }
    EXPECT_EQ(activations[0].hWnd, hFirst);
    EXPECT_EQ(activations[0].wParam, MAKEWPARAM(WA_INACTIVE, 0));
    EXPECT_EQ(activations[0].lParam, reinterpret_cast<LPARAM>(hSecond));
    EXPECT_EQ(activations[1].hWnd, hSecond);
    EXPECT_EQ(activations[1].wParam, MAKEWPARAM(WA_ACTIVE, 0));
    EXPECT_EQ(GetFocus(), hSecond);
    EXPECT_EQ(GetActiveWindow(), hSecond);
}

TEST_F(WindowMessagesTest, DestroyingTheActiveWindowDeactivatesThenDestroys)
{
    HWND hWnd = CreateRecordedWindow();
    ShowWindow(hWnd, SW_SHOWNORMAL);
    SetCapture(hWnd);
    PostMessageA(hWnd, WM_USER, 0, 0);
    Log().clear();
    EXPECT_TRUE(DestroyWindow(hWnd));
    EXPECT_EQ(Received(),
              (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_ACTIVATEAPP,
                                 WM_CAPTURECHANGED, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "its queued message went with it";
    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(hWnd));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowMessagesTest, SystemCloseCommandClosesAndCloseDestroys)
{
    HWND hWnd = CreateRecordedWindow();
    Log().clear();
    EXPECT_EQ(SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST_F(WindowMessagesTest, CloseHandledByTheProcedureKeepsTheWindow)
{
    Override() = [](HWND, UINT uMessage, WPARAM, LPARAM, LRESULT*) { return uMessage == WM_CLOSE; };
    HWND hWnd = CreateRecordedWindow();
    SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(hWnd));
}

TEST_F(WindowMessagesTest, OtherSystemCommandsDoNotClose)
{
    HWND hWnd = CreateRecordedWindow();
    Log().clear();
    SendMessageA(hWnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    SendMessageA(hWnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_SYSCOMMAND, WM_SYSCOMMAND}));
    EXPECT_TRUE(IsWindow(hWnd));
}

TEST_F(WindowMessagesTest, AltF4AsksForASystemClose)
{
    HWND hWnd = CreateRecordedWindow();
    Log().clear();
    SendMessageA(hWnd, WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(1 | (1 << 29)));
    EXPECT_EQ(Received(), (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY,
                                             WM_NCDESTROY}));
}

TEST_F(WindowMessagesTest, UserDataHoldsAWholePointer)
{
    HWND hWnd = CreateRecordedWindow();
    EXPECT_EQ(GetWindowLongPtrA(hWnd, GWLP_USERDATA), 0) << "zero after creation";
    LONG_PTR lWide = static_cast<LONG_PTR>(reinterpret_cast<intptr_t>(&hWnd));
    EXPECT_EQ(SetWindowLongPtrA(hWnd, GWLP_USERDATA, lWide), 0);
    EXPECT_EQ(GetWindowLongPtrA(hWnd, GWLP_USERDATA), lWide);
    // The 32-bit names reach the same pointer-sized slot.
    EXPECT_EQ(GetWindowLongA(hWnd, GWL_USERDATA), lWide);
    EXPECT_EQ(SetWindowLongA(hWnd, GWL_USERDATA, 0), lWide) << "returns the previous value";
    EXPECT_EQ(GetWindowLongPtrA(hWnd, GWLP_USERDATA), 0);
}

TEST_F(WindowMessagesTest, WindowLongsReportProcedureAndStylesAndRefuseUnknownSlots)
{
    HWND hWnd = CreateRecordedWindow();
    EXPECT_NE(GetWindowLongPtrA(hWnd, GWLP_WNDPROC), 0);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE)), WS_POPUP);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrA(hWnd, 4), 0) << "the class has no extra bytes";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongPtrA(nullptr, GWLP_USERDATA), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowMessagesTest, ClassesAreFoundByNameWithoutCaseAndGuardedWhileInUse)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "standintestclass";
    SetLastError(0);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    HWND hWnd = CreateWindowExA(0, "STANDINTESTCLASS", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_FALSE(UnregisterClassA(kClassName, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(hWnd);
    EXPECT_TRUE(UnregisterClassA(kClassName, nullptr));
    EXPECT_FALSE(UnregisterClassA(kClassName, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_EQ(CreateRecordedWindow(), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(WindowMessagesTest, EachClassHasItsOwnProcedure)
{
    static int s_nOtherCalls = 0;
    s_nOtherCalls = 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT
    {
        ++s_nOtherCalls;
        return DefWindowProcA(h, m, w, l);
    };
    wc.lpszClassName = "OtherClass";
    ATOM atom = RegisterClassA(&wc);
    EXPECT_GE(atom, 0xC000) << "class atoms are in the string-atom range";
    HWND hOther = CreateWindowExA(0, "OtherClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(hOther, nullptr);
    EXPECT_EQ(s_nOtherCalls, 2); // WM_NCCREATE, WM_CREATE
    EXPECT_TRUE(Log().empty()) << "the recording class saw nothing";
}

TEST_F(WindowMessagesTest, ScreenMetricsAreTheHeadlessScreen)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    StandIn_SetScreenSize(800, 600);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    StandIn_SetScreenSize(640, 480);
}

TEST_F(WindowMessagesTest, CaptureChangesAreAnnounced)
{
    HWND hFirst = CreateRecordedWindow();
    HWND hSecond = CreateRecordedWindow();
    EXPECT_EQ(SetCapture(hFirst), nullptr);
    Log().clear();
    EXPECT_EQ(SetCapture(hSecond), hFirst);
    EXPECT_EQ(GetCapture(), hSecond);
    ASSERT_EQ(Received(), (std::vector<UINT>{WM_CAPTURECHANGED}));
    EXPECT_EQ(Log()[0].hWnd, hFirst);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Log().back().hWnd, hSecond);
}

} // namespace
