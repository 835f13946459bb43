// The thread's message queue: order, PeekMessageA/GetMessageA/WM_QUIT, filters, WaitMessage,
// TranslateMessage's WM_CHAR rules, dispatch.
#include "StandInFixture.h"

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace
{

class MessageQueueTest : public StandInTest
{
};

std::vector<UINT> TakeAll(HWND hFilter = nullptr, UINT uMin = 0, UINT uMax = 0)
{
    std::vector<UINT> messages;
    MSG msg;
    while (PeekMessageA(&msg, hFilter, uMin, uMax, PM_REMOVE))
    {
        messages.push_back(msg.message);
        if (msg.message == WM_QUIT || msg.message == WM_PAINT)
            break;
    }
    return messages;
}

TEST_F(MessageQueueTest, PostedMessagesComeFirstInOrderThenInputThenQuit)
{
    HWND hWnd = CreateRecordedWindow();
    StandIn_PostKey(hWnd, 'A', true); // input
    PostQuitMessage(3);
    PostMessageA(hWnd, WM_USER + 1, 0, 0);
    PostMessageA(hWnd, WM_USER + 2, 0, 0);
    StandIn_PostMouseMove(hWnd, 1, 2, 0);     // input
    PostMessageA(nullptr, WM_USER + 3, 0, 0); // thread message
    EXPECT_EQ(TakeAll(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_KEYDOWN,
                                            WM_MOUSEMOVE, WM_QUIT}));
}

TEST_F(MessageQueueTest, PaintComesAfterEverythingElse)
{
    HWND hWnd = CreateRecordedWindow();
    ShowWindow(hWnd, SW_SHOWNORMAL);
    PostMessageA(hWnd, WM_USER, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(TakeAll(), (std::vector<UINT>{WM_USER, WM_QUIT}));
    EXPECT_EQ(TakeAll(), (std::vector<UINT>{WM_PAINT}));
}

TEST_F(MessageQueueTest, PeekWithoutRemovingLeavesTheMessage)
{
    HWND hWnd = CreateRecordedWindow();
    PostMessageA(hWnd, WM_USER, 7, 8);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, hWnd);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.lParam, 8);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, GetMessageReturnsZeroForQuitWithTheExitCode)
{
    HWND hWnd = CreateRecordedWindow();
    PostMessageA(hWnd, WM_USER, 0, 0);
    PostQuitMessage(42);
    MSG msg;
    EXPECT_GT(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 42u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "the quit request is taken once";
}

TEST_F(MessageQueueTest, QuitStaysWhilePeekedWithoutRemoving)
{
    PostQuitMessage(1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
}

TEST_F(MessageQueueTest, FiltersByWindowAndRangeButNeverHoldBackQuit)
{
    HWND hFirst = CreateRecordedWindow();
    HWND hSecond = CreateRecordedWindow();
    PostMessageA(hFirst, WM_USER + 1, 0, 0);
    PostMessageA(hSecond, WM_USER + 2, 0, 0);
    PostMessageA(nullptr, WM_USER + 3, 0, 0);
    EXPECT_EQ(TakeAll(hSecond), (std::vector<UINT>{WM_USER + 2}));
    EXPECT_EQ(TakeAll(reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))),
              (std::vector<UINT>{WM_USER + 3}));
    PostMessageA(hFirst, WM_USER + 10, 0, 0);
    EXPECT_EQ(TakeAll(nullptr, WM_USER + 5, WM_USER + 20), (std::vector<UINT>{WM_USER + 10}));
    EXPECT_EQ(TakeAll(), (std::vector<UINT>{WM_USER + 1}));
    PostMessageA(hFirst, WM_USER, 0, 0);
    PostQuitMessage(0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hSecond, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) == FALSE)
        << "quit waits until the posted message is gone";
    ASSERT_TRUE(PeekMessageA(&msg, hFirst, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(PeekMessageA(&msg, hSecond, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(MessageQueueTest, BadArgumentsAreRefused)
{
    MSG msg;
    HWND hGone = CreateRecordedWindow();
    DestroyWindow(hGone);
    EXPECT_EQ(GetMessageA(&msg, hGone, 0, 0), -1);
    EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
    EXPECT_FALSE(PeekMessageA(&msg, hGone, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessageA(hGone, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(MessageQueueTest, DispatchCallsTheWindowProcedureAndReturnsItsResult)
{
    HWND hWnd = CreateRecordedWindow();
    Override() = [](HWND, UINT uMessage, WPARAM wParam, LPARAM lParam, LRESULT* plResult)
    {
        if (uMessage != WM_USER)
            return false;
        *plResult = static_cast<LRESULT>(wParam + static_cast<WPARAM>(lParam));
        return true;
    };
    PostMessageA(hWnd, WM_USER, 30, 12);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    Log().clear();
    EXPECT_EQ(DispatchMessageA(&msg), 42);
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].hWnd, hWnd);
    MSG thread = {};
    thread.message = WM_USER;
    EXPECT_EQ(DispatchMessageA(&thread), 0) << "a thread message has no procedure";
}

TEST_F(MessageQueueTest, GetMessageAndWaitMessageSleepUntilAnotherThreadPosts)
{
    HWND hWnd = CreateRecordedWindow();
    rusage before;
    getrusage(RUSAGE_THREAD, &before);
    std::thread poster(
        [hWnd]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            PostMessageA(hWnd, WM_USER, 1, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            PostMessageA(hWnd, WM_USER, 2, 0);
        });
    MSG msg;
    ASSERT_GT(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_TRUE(WaitMessage());
    poster.join();
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    rusage after;
    getrusage(RUSAGE_THREAD, &after);
    double fCpu = (after.ru_utime.tv_sec - before.ru_utime.tv_sec) +
                  (after.ru_stime.tv_sec - before.ru_stime.tv_sec) +
                  ((after.ru_utime.tv_usec - before.ru_utime.tv_usec) +
                   (after.ru_stime.tv_usec - before.ru_stime.tv_usec)) /
                      1e6;
    // About 0.6 s of waiting: a thread that polled would burn most of it.
    EXPECT_LT(fCpu, 0.1) << "waiting must not spin";
}

TEST_F(MessageQueueTest, WaitMessageWaitsForSomethingNewNotForWhatWasAlreadySeen)
{
    HWND hWnd = CreateRecordedWindow();
    PostMessageA(hWnd, WM_USER, 0, 0);
    std::atomic<bool> bPosted{false};
    std::thread poster(
        [&]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            bPosted = true;
            PostMessageA(hWnd, WM_USER + 1, 0, 0);
        });
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)); // seen, left in the queue
    WaitMessage();
    EXPECT_TRUE(bPosted) << "returned only when the second message arrived";
    poster.join();
}

TEST_F(MessageQueueTest, SyntheticInputFromAnotherThreadWakesTheWait)
{
    HWND hWnd = CreateRecordedWindow();
    std::thread poster(
        [hWnd]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            StandIn_PostChar(hWnd, 'q');
        });
    MSG msg;
    ASSERT_GT(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('q'));
    poster.join();
}

// TranslateMessage: which keys give WM_CHAR, and which character, with the modifiers held.
struct CharCase
{
    std::vector<UINT> held; // keys down before the key
    UINT uKey;
    int nExpected; // 0: no WM_CHAR
};

class TranslateMessageTest : public StandInTest, public ::testing::WithParamInterface<CharCase>
{
};

TEST_P(TranslateMessageTest, KeyDownTypesTheExpectedCharacterOrNone)
{
    const CharCase& c = GetParam();
    HWND hWnd = CreateRecordedWindow();
    for (UINT uHeld : c.held)
        StandIn_PostKey(hWnd, uHeld, true);
    StandIn_PostKey(hWnd, c.uKey, true);
    StandIn_PostKey(hWnd, c.uKey, false);
    std::vector<MSG> taken = Drain();
    std::vector<int> characters;
    for (const MSG& msg : taken)
    {
        if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR)
            characters.push_back(static_cast<int>(msg.wParam));
    }
    if (c.nExpected == 0)
    {
        EXPECT_TRUE(characters.empty())
            << "key 0x" << std::hex << c.uKey << " typed " << characters[0];
    }
    else
    {
        ASSERT_EQ(characters.size(), 1u) << "key 0x" << std::hex << c.uKey;
        EXPECT_EQ(characters[0], c.nExpected) << "key 0x" << std::hex << c.uKey;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TranslateMessageTest,
    ::testing::Values(
        CharCase{{}, 'A', 'a'}, CharCase{{VK_SHIFT}, 'A', 'A'}, CharCase{{VK_CAPITAL}, 'Q', 'Q'},
        CharCase{{VK_CAPITAL, VK_SHIFT}, 'Q', 'q'}, CharCase{{VK_CONTROL}, 'C', 3},
        CharCase{{}, '7', '7'}, CharCase{{VK_SHIFT}, '1', '!'}, CharCase{{}, VK_SPACE, ' '},
        CharCase{{}, VK_RETURN, '\r'}, CharCase{{}, VK_ESCAPE, 0x1B}, CharCase{{}, VK_BACK, 0x08},
        CharCase{{}, VK_TAB, '\t'}, CharCase{{}, VK_OEM_COMMA, ','},
        CharCase{{VK_SHIFT}, VK_OEM_2, '?'}, CharCase{{}, VK_NUMPAD5, '5'},
        CharCase{{}, VK_MULTIPLY, '*'}, CharCase{{VK_MENU}, 'X', 'x'}, // WM_SYSCHAR
        CharCase{{}, VK_LEFT, 0}, CharCase{{}, VK_UP, 0}, CharCase{{}, VK_F1, 0},
        CharCase{{}, VK_F12, 0}, CharCase{{}, VK_SHIFT, 0}, CharCase{{}, VK_CONTROL, 0},
        CharCase{{}, VK_MENU, 0}, CharCase{{}, VK_CAPITAL, 0}, CharCase{{}, VK_INSERT, 0},
        CharCase{{}, VK_DELETE, 0}, CharCase{{}, VK_HOME, 0}, CharCase{{}, VK_PRIOR, 0},
        CharCase{{VK_CONTROL}, '5', 0}));

TEST_F(MessageQueueTest, TranslatedCharacterComesBeforeTheKeyUpAndKeepsTheKeyLParam)
{
    HWND hWnd = CreateRecordedWindow();
    StandIn_PostKey(hWnd, 'B', true);
    StandIn_PostKey(hWnd, 'B', false);
    std::vector<MSG> taken = Drain();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(taken[1].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(taken[1].lParam, taken[0].lParam);
    EXPECT_EQ(taken[2].message, static_cast<UINT>(WM_KEYUP));
}

TEST_F(MessageQueueTest, TranslateMessageAnswersNonZeroForKeyMessagesOnly)
{
    MSG msg = {};
    for (UINT uMessage : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP})
    {
        msg.message = uMessage;
        msg.wParam = VK_F2;
        EXPECT_TRUE(TranslateMessage(&msg)) << MessageName(uMessage);
    }
    msg.message = WM_MOUSEMOVE;
    EXPECT_FALSE(TranslateMessage(&msg));
    EXPECT_TRUE(TakeAll().empty()) << "F2 types nothing";
}

TEST_F(MessageQueueTest, KeyStateFollowsTheMessagesTaken)
{
    HWND hWnd = CreateRecordedWindow();
    StandIn_PostKey(hWnd, VK_SHIFT, true);
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000) << "not taken yet";
    Drain();
    EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
    EXPECT_TRUE(GetKeyState(VK_LSHIFT) & 0x8000);
    StandIn_PostKey(hWnd, VK_SHIFT, false);
    Drain();
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
}

} // namespace
