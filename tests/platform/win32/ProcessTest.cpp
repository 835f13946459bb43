// Process calls: module path and its truncation, module handle, priority class, ExitProcess,
// the performance counter and its test clock, Sleep, the interlocked calls.
#include <Win32StandIn.h>
#include <windows.h>

#include <gtest/gtest.h>
#include <chrono>
#include <atomic>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

std::string RealExecutablePath()
{
    char szPath[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", szPath, sizeof(szPath) - 1);
    return n > 0 ? std::string(szPath, static_cast<size_t>(n)) : std::string();
}

TEST(ModulePathTest, FullPathWhenItFits)
{
    std::string strExpected = RealExecutablePath();
    ASSERT_FALSE(strExpected.empty());
    char szPath[MAX_PATH * 4];
    memset(szPath, 'x', sizeof(szPath));
    SetLastError(0);
    DWORD nLength = GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
    EXPECT_EQ(nLength, strExpected.size());
    EXPECT_EQ(std::string(szPath), strExpected);
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), szPath, sizeof(szPath)), nLength)
        << "the program's own module handle names the same file";
}

TEST(ModulePathTest, TooSmallBufferGetsTheStartTerminatedAndTheSizeBack)
{
    std::string strExpected = RealExecutablePath();
    size_t nLength = strExpected.size();
    // Sizes: one short of the terminator, exactly the characters, a few, one.
    for (DWORD nSize :
         {static_cast<DWORD>(nLength), static_cast<DWORD>(nLength - 1), DWORD{5}, DWORD{1}})
    {
        std::vector<char> buffer(nSize + 8, '#');
        SetLastError(0);
        DWORD nResult = GetModuleFileNameA(nullptr, buffer.data(), nSize);
        EXPECT_EQ(nResult, nSize) << "size " << nSize;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER))
            << "size " << nSize;
        EXPECT_EQ(std::string(buffer.data()), strExpected.substr(0, nSize - 1)) << "size " << nSize;
        EXPECT_EQ(buffer[nSize], '#') << "nothing written past the buffer, size " << nSize;
    }
    char chUntouched = '#';
    EXPECT_EQ(GetModuleFileNameA(nullptr, &chUntouched, 0), 0u);
    EXPECT_EQ(chUntouched, '#');
    char szSmall[8];
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(0x1234), szSmall, sizeof(szSmall)), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(ModulePathTest, ModuleHandleIsStableAndFoundByName)
{
    HMODULE hModule = GetModuleHandleA(nullptr);
    EXPECT_NE(hModule, nullptr);
    std::string strPath = RealExecutablePath();
    std::string strBase = strPath.substr(strPath.rfind('/') + 1);
    EXPECT_EQ(GetModuleHandleA(strBase.c_str()), hModule);
    EXPECT_EQ(GetModuleHandleA((strBase + ".exe").c_str()), hModule);
    EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
}

// Runs fn in a child process and returns its exit status (or -1).
template <typename F> int InChild(F fn)
{
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0)
        _exit(fn());
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}

TEST(PriorityTest, IdleClassPutsTheProcessInTheIdlePolicyOrLowestNiceness)
{
    int nStatus = InChild(
        []
        {
            if (!SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS))
                return 10;
            if (GetPriorityClass(GetCurrentProcess()) != IDLE_PRIORITY_CLASS)
                return 11;
            bool bIdle = sched_getscheduler(0) == SCHED_IDLE || getpriority(PRIO_PROCESS, 0) == 19;
            return bIdle ? 0 : 12;
        });
    EXPECT_EQ(nStatus, 0);
    // The class is the process's: a thread that runs already takes it, and one started after
    // inherits it.
    nStatus = InChild(
        []
        {
            std::atomic<int> nStage{0};
            std::atomic<bool> bEarlyIdle{false};
            std::thread early(
                [&]
                {
                    while (nStage.load() == 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    bEarlyIdle =
                        sched_getscheduler(0) == SCHED_IDLE || getpriority(PRIO_PROCESS, 0) == 19;
                });
            if (!SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS))
                return 10;
            nStage = 1;
            early.join();
            bool bLateIdle = false;
            std::thread late(
                [&] {
                    bLateIdle =
                        sched_getscheduler(0) == SCHED_IDLE || getpriority(PRIO_PROCESS, 0) == 19;
                });
            late.join();
            return bEarlyIdle ? (bLateIdle ? 0 : 14) : 13;
        });
    EXPECT_EQ(nStatus, 0) << "13: a running thread kept its priority; 14: a new one did";
    EXPECT_FALSE(SetPriorityClass(reinterpret_cast<HANDLE>(0x10), IDLE_PRIORITY_CLASS));
    EXPECT_FALSE(SetPriorityClass(GetCurrentProcess(), 0x12345));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

struct NoisyDestructor
{
    int nFd = -1;
    ~NoisyDestructor()
    {
        if (nFd >= 0 && write(nFd, "D", 1) != 1)
            abort();
    }
};

TEST(ExitProcessTest, FlushesStreamsEndsWithTheCodeAndSkipsDestructors)
{
    int anPipe[2];
    ASSERT_EQ(pipe(anPipe), 0);
    int nStatus = InChild(
        [&]
        {
            static NoisyDestructor s_noisy;
            s_noisy.nFd = anPipe[1];
            dup2(anPipe[1], STDOUT_FILENO);
            printf("buffered"); // still in stdio's buffer when ExitProcess is called
            ExitProcess(7);
            return 0;
        });
    close(anPipe[1]);
    char szOutput[64] = {};
    ssize_t nRead = read(anPipe[0], szOutput, sizeof(szOutput) - 1);
    close(anPipe[0]);
    EXPECT_EQ(nStatus, 7);
    EXPECT_EQ(std::string(szOutput, nRead > 0 ? static_cast<size_t>(nRead) : 0), "buffered")
        << "flushed, and no static destructor ran";
}

TEST(ClockTest, RealCounterIsMonotonicNanoseconds)
{
    StandIn_UseRealClock();
    LARGE_INTEGER frequency, first, second;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1000000000);
    ASSERT_TRUE(QueryPerformanceCounter(&first));
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    ASSERT_TRUE(QueryPerformanceCounter(&second));
    int64_t llMonotonic = static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    EXPECT_LE(first.QuadPart, llMonotonic);
    EXPECT_LE(llMonotonic, second.QuadPart);
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

TEST(ClockTest, TestClockDrivesCounterTickCountAndOptionallySleep)
{
    StandIn_SetTestClock(3579545, 1000);
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    EXPECT_EQ(value.QuadPart, 3579545);
    QueryPerformanceCounter(&value);
    EXPECT_EQ(value.QuadPart, 1000);
    StandIn_AdvanceTestClock(3579545 * 2);
    QueryPerformanceCounter(&value);
    EXPECT_EQ(value.QuadPart, 1000 + 3579545 * 2);
    EXPECT_EQ(GetTickCount(), 2000u);
    StandIn_SetSleepAdvancesTestClock(true);
    Sleep(500); // returns at once, half a second later on the test clock
    QueryPerformanceCounter(&value);
    EXPECT_EQ(value.QuadPart, 1000 + 3579545 * 2 + 3579545 / 2);
    StandIn_UseRealClock();
    QueryPerformanceFrequency(&value);
    EXPECT_EQ(value.QuadPart, 1000000000);
}

TEST(InterlockedTest, IncrementsAndDecrementsAreAtomicAndReturnTheNewValue)
{
    LONG volatile nCount = 0;
    EXPECT_EQ(InterlockedIncrement(&nCount), 1);
    EXPECT_EQ(InterlockedDecrement(&nCount), 0);
    EXPECT_EQ(InterlockedDecrement(&nCount), -1);
    nCount = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back(
            [&]
            {
                for (int i = 0; i < 100000; ++i)
                {
                    InterlockedIncrement(&nCount);
                    InterlockedIncrement(&nCount);
                    InterlockedDecrement(&nCount);
                }
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(nCount, 400000);
}

} // namespace
