// Closing from outside: StandIn_RequestClose from another thread and the
// signals after StandIn_CloseOnSignals end in WM_CLOSE to every top-level
// window, waking a blocked WaitMessage; and what a window of another program
// needs when there is no display (headless: it cannot be adopted).
#include "StandInFixture.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace
{

class CloseRequestTest : public StandInTest
{
  protected:
    static std::vector<HWND> ClosedWindows();
    static int CloseOnSignalInChild(int nSignal);
};

std::vector<HWND> CloseRequestTest::ClosedWindows()
{
    std::vector<HWND> windows;
    for (const RecordedMessage& message : StandInTest::Log())
    {
        if (message.uMessage == WM_CLOSE)
            windows.push_back(message.hWnd);
    }
    return windows;
}

TEST_F(CloseRequestTest, ARequestFromAnotherThreadWakesWaitMessageAndClosesEveryTopLevelWindow)
{
    HWND hFirst = CreateRecordedWindow();
    HWND hSecond = CreateRecordedWindow();
    HWND hChild =
        CreateWindowExA(0, kClassName, "", WS_CHILD, 0, 0, 8, 8, hFirst, nullptr, nullptr, nullptr);
    ASSERT_NE(hChild, nullptr);
    // Keep the windows: WM_CLOSE's default answer would destroy them.
    Override() = [](HWND, UINT uMessage, WPARAM, LPARAM, LRESULT* plResult)
    {
        *plResult = 0;
        return uMessage == WM_CLOSE;
    };
    Drain();
    std::thread requester(
        []
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            StandIn_RequestClose();
        });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitMessage());
    const auto waited = std::chrono::steady_clock::now() - start;
    requester.join();
    EXPECT_GE(waited, std::chrono::milliseconds(40)) << "WaitMessage returned before the request";
    Drain();
    std::vector<HWND> closed = ClosedWindows();
    std::sort(closed.begin(), closed.end());
    std::vector<HWND> expected = {hFirst, hSecond};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(closed, expected) << "the child window gets no WM_CLOSE; each top-level one gets one";
    Log().clear();
    Drain();
    EXPECT_TRUE(ClosedWindows().empty()) << "one request, one WM_CLOSE each";
}

TEST_F(CloseRequestTest, ARequestMadeBeforeAnyWindowWaitsForTheFirstOne)
{
    StandIn_RequestClose();
    Drain(); // no window yet: nothing to close, and the request stays
    EXPECT_TRUE(ClosedWindows().empty());
    HWND hWnd = CreateRecordedWindow();
    Drain();
    EXPECT_EQ(ClosedWindows(), std::vector<HWND>{hWnd});
    EXPECT_FALSE(IsWindow(hWnd)) << "the default answer destroys the window";
}

TEST_F(CloseRequestTest, ResetDropsAPendingRequest)
{
    StandIn_RequestClose();
    StandIn_Reset();
    CreateRecordedWindow();
    Drain();
    EXPECT_TRUE(ClosedWindows().empty());
}

// Signal handlers stay for the life of a process: each case runs in a child.
int CloseRequestTest::CloseOnSignalInChild(int nSignal)
{
    pid_t pid = fork();
    if (pid == 0)
    {
        // The fixture has reset the stand-in and registered its class.
        if (!StandIn_CloseOnSignals())
            _exit(10);
        HWND hWnd = CreateWindowExA(0, StandInTest::kClassName, "", WS_POPUP, 0, 0, 8, 8, nullptr,
                                    nullptr, nullptr, nullptr);
        if (!hWnd)
            _exit(12);
        StandInTest::Log().clear();
        raise(nSignal); // still running here: the signal only asked for a close
        // Look at the queue until the close arrives (the watcher thread makes the request).
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (ClosedWindows().empty() && std::chrono::steady_clock::now() < deadline)
        {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        _exit(ClosedWindows() == std::vector<HWND>{hWnd} ? 0 : 11);
    }
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    if (WIFSIGNALED(nStatus))
        return 100 + WTERMSIG(nStatus);
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}

TEST_F(CloseRequestTest, TermIntAndHangUpBecomeACloseInsteadOfEndingTheProcess)
{
    for (int nSignal : {SIGTERM, SIGINT, SIGHUP})
    {
        EXPECT_EQ(CloseOnSignalInChild(nSignal), 0)
            << "signal " << nSignal << " (1xx: the child was killed by signal xx; 10: no "
            << "handlers; 11: no WM_CLOSE within 5 s; 12: no window)";
    }
}

TEST_F(CloseRequestTest, NoWindowOfAnotherProgramIsAdoptedWithoutADisplay)
{
    std::string strWhy;
    EXPECT_FALSE(StandIn_AdoptNativeWindow(0x400008, &strWhy));
    EXPECT_NE(strWhy.find("no display"), std::string::npos) << strWhy;
    EXPECT_EQ(StandIn_GetRootNativeWindow(), 0u);
    // Nothing waits to be adopted: the next window is an ordinary one, and the screen keeps
    // its headless size.
    StandIn_SetScreenSize(320, 200);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
    HWND hWnd = CreateRecordedWindow(100, 50);
    RECT client;
    ASSERT_TRUE(GetClientRect(hWnd, &client));
    EXPECT_EQ(client.right, 100);
    EXPECT_EQ(client.bottom, 50);
    StandIn_SetScreenSize(640, 480);
}

} // namespace
