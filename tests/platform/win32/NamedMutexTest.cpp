// The named mutex across processes (fork): "already exists" while another process has it, free
// again after CloseHandle or when that process dies; ownership within the process.
#include <windows.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

std::string UniqueName(const char* pszWhat)
{
    return std::string("Moltrane test ") + pszWhat + " " + std::to_string(getpid());
}

// Runs CreateMutexA in a child process; its exit code is 1 when the mutex already existed,
// 0 when the child created it, 2 when the call failed.
int ChildSees(const std::string& strName)
{
    pid_t pid = fork();
    if (pid == 0)
    {
        HANDLE hMutex = CreateMutexA(nullptr, TRUE, strName.c_str());
        _exit(!hMutex ? 2 : GetLastError() == ERROR_ALREADY_EXISTS ? 1 : 0);
    }
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}

TEST(NamedMutexTest, AnotherProcessSeesTheMutexUntilItIsClosed)
{
    std::string strName = UniqueName("close");
    SetLastError(ERROR_ALREADY_EXISTS); // a stale value must not survive the call
    HANDLE hMutex = CreateMutexA(nullptr, TRUE, strName.c_str());
    ASSERT_NE(hMutex, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(ChildSees(strName), 1);
    EXPECT_TRUE(ReleaseMutex(hMutex));
    EXPECT_EQ(ChildSees(strName), 1) << "released but still open: it exists";
    EXPECT_TRUE(CloseHandle(hMutex));
    EXPECT_EQ(ChildSees(strName), 0);
}

TEST(NamedMutexTest, AProcessThatDiesReleasesItsMutex)
{
    std::string strName = UniqueName("crash");
    int anPipe[2];
    ASSERT_EQ(pipe(anPipe), 0);
    pid_t pid = fork();
    if (pid == 0)
    {
        HANDLE hMutex = CreateMutexA(nullptr, TRUE, strName.c_str());
        char chReady = hMutex && GetLastError() != ERROR_ALREADY_EXISTS ? 'y' : 'n';
        if (write(anPipe[1], &chReady, 1) != 1)
            _exit(3);
        pause(); // holds it until killed
        _exit(0);
    }
    char chReady = 0;
    ASSERT_EQ(read(anPipe[0], &chReady, 1), 1);
    EXPECT_EQ(chReady, 'y');
    HANDLE hWhileHeld = CreateMutexA(nullptr, TRUE, strName.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(ReleaseMutex(hWhileHeld)) << "not granted to a second opener";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
    CloseHandle(hWhileHeld);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    HANDLE hAfter = CreateMutexA(nullptr, TRUE, strName.c_str());
    ASSERT_NE(hAfter, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS))
        << "the crashed holder blocks nothing";
    EXPECT_TRUE(ReleaseMutex(hAfter));
    CloseHandle(hAfter);
    close(anPipe[0]);
    close(anPipe[1]);
}

TEST(NamedMutexTest, OpeningAgainInTheSameProcessSharesTheObject)
{
    std::string strName = UniqueName("same");
    HANDLE hFirst = CreateMutexA(nullptr, TRUE, strName.c_str());
    HANDLE hSecond = CreateMutexA(nullptr, TRUE, strName.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_NE(hSecond, nullptr);
    EXPECT_NE(hFirst, hSecond);
    EXPECT_TRUE(CloseHandle(hFirst));
    EXPECT_EQ(ChildSees(strName), 1) << "the second handle keeps it alive";
    EXPECT_TRUE(CloseHandle(hSecond));
    EXPECT_EQ(ChildSees(strName), 0);
}

TEST(NamedMutexTest, OwnershipCountsAndBelongsToTheCreatorOnly)
{
    HANDLE hOwned = CreateMutexA(nullptr, TRUE, UniqueName("owned").c_str());
    EXPECT_TRUE(ReleaseMutex(hOwned));
    EXPECT_FALSE(ReleaseMutex(hOwned)) << "released once already";
    HANDLE hNotOwned = CreateMutexA(nullptr, FALSE, UniqueName("free").c_str());
    EXPECT_FALSE(ReleaseMutex(hNotOwned));
    HANDLE hUnnamed = CreateMutexA(nullptr, TRUE, nullptr);
    ASSERT_NE(hUnnamed, nullptr);
    EXPECT_TRUE(ReleaseMutex(hUnnamed));
    for (HANDLE h : {hOwned, hNotOwned, hUnnamed})
        EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(hOwned));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(ReleaseMutex(nullptr));
}

TEST(NamedMutexTest, NamesWithAnyCharactersWork)
{
    std::string strName = UniqueName("../../etc/ slashes\\and \"quotes\" and a very long tail") +
                          std::string(400, 'x');
    HANDLE hMutex = CreateMutexA(nullptr, TRUE, strName.c_str());
    ASSERT_NE(hMutex, nullptr);
    EXPECT_EQ(ChildSees(strName), 1);
    CloseHandle(hMutex);
}

} // namespace
