// Process-level KERNEL calls: priority class, process and thread ids, module handle and path,
// ExitProcess, OutputDebugStringA.
#include <windows.h>

#include "ExitLeakCheck.h"

#include <cerrno>
#include <dirent.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sched.h>
#include <strings.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{

// GetCurrentProcess() is a pseudo-handle, as on Windows.
HANDLE const kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
// The program's module handle: the classic image base of a Win32 executable.
HMODULE const kProgramModule = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x00400000));

DWORD g_dwPriorityClass = NORMAL_PRIORITY_CLASS;

// Niceness that stands for each class when the scheduler has no matching policy.
bool NiceForClass(DWORD dwClass, int* pNice)
{
    switch (dwClass)
    {
    case IDLE_PRIORITY_CLASS:
        *pNice = 19;
        return true;
    case BELOW_NORMAL_PRIORITY_CLASS:
        *pNice = 10;
        return true;
    case NORMAL_PRIORITY_CLASS:
        *pNice = 0;
        return true;
    case ABOVE_NORMAL_PRIORITY_CLASS:
        *pNice = -5;
        return true;
    case HIGH_PRIORITY_CLASS:
        *pNice = -10;
        return true;
    case REALTIME_PRIORITY_CLASS:
        *pNice = -20;
        return true;
    default:
        return false;
    }
}

bool IsProgramModule(HMODULE hModule)
{
    return hModule == nullptr || hModule == kProgramModule;
}

} // namespace

extern "C" HANDLE WINAPI GetCurrentProcess(void)
{
    return kCurrentProcess;
}

extern "C" DWORD WINAPI GetCurrentProcessId(void)
{
    return static_cast<DWORD>(getpid());
}

extern "C" DWORD WINAPI GetCurrentThreadId(void)
{
    return static_cast<DWORD>(syscall(SYS_gettid));
}

// One thread's scheduling for a class: true when the thread took it.
bool ScheduleThread(pid_t nThread, DWORD dwPriorityClass, int nNice)
{
    sched_param param;
    memset(&param, 0, sizeof(param));
    if (dwPriorityClass == IDLE_PRIORITY_CLASS)
    {
        if (sched_setscheduler(nThread, SCHED_IDLE, &param) == 0)
            return true;
        return setpriority(PRIO_PROCESS, id_t(nThread), nNice) == 0;
    }
    if (sched_getscheduler(nThread) == SCHED_IDLE)
        sched_setscheduler(nThread, SCHED_OTHER, &param);
    return sched_getscheduler(nThread) != SCHED_IDLE &&
           setpriority(PRIO_PROCESS, id_t(nThread), nNice) == 0;
}

// Idle class: Linux's SCHED_IDLE policy runs the process only when nothing else wants the CPU,
// which is what the idle class means; where that policy is refused, the lowest niceness. The
// class is the process's, as on Windows: every thread it has takes it (Linux schedules threads
// one by one), and threads it starts later inherit it from the thread that starts them.
extern "C" BOOL WINAPI SetPriorityClass(HANDLE hProcess, DWORD dwPriorityClass)
{
    if (hProcess != kCurrentProcess)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    int nNice = 0;
    if (!NiceForClass(dwPriorityClass, &nNice))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const pid_t nSelf = pid_t(syscall(SYS_gettid));
    const bool bDone = ScheduleThread(nSelf, dwPriorityClass, nNice);
    if (bDone)
    {
        if (DIR* pTasks = opendir("/proc/self/task"))
        {
            while (const dirent* pEntry = readdir(pTasks))
            {
                const pid_t nThread = pid_t(std::atoi(pEntry->d_name));
                if (nThread > 0 && nThread != nSelf)
                    ScheduleThread(nThread, dwPriorityClass, nNice);
            }
            closedir(pTasks);
        }
    }
    if (!bDone)
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    g_dwPriorityClass = dwPriorityClass;
    return TRUE;
}

extern "C" DWORD WINAPI GetPriorityClass(HANDLE hProcess)
{
    if (hProcess != kCurrentProcess)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return g_dwPriorityClass;
}

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName)
{
    if (!lpModuleName)
        return kProgramModule;
    // By name: the program itself, with or without an .exe suffix.
    char szPath[MAX_PATH];
    DWORD nLength = GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
    if (nLength > 0 && nLength < sizeof(szPath))
    {
        const char* pszBase = strrchr(szPath, '/');
        pszBase = pszBase ? pszBase + 1 : szPath;
        size_t nBase = strlen(pszBase);
        if (strcasecmp(lpModuleName, pszBase) == 0)
            return kProgramModule;
        if (strncasecmp(lpModuleName, pszBase, nBase) == 0 &&
            strcasecmp(lpModuleName + nBase, ".exe") == 0)
            return kProgramModule;
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

// The real path of the running executable. A buffer too small gets the first nSize - 1
// characters and a terminator; the result is then nSize with ERROR_INSUFFICIENT_BUFFER.
extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize)
{
    if (!IsProgramModule(hModule))
    {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    char szPath[4096];
    ssize_t nRead = readlink("/proc/self/exe", szPath, sizeof(szPath) - 1);
    if (nRead <= 0)
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    szPath[nRead] = '\0';
    DWORD nLength = static_cast<DWORD>(nRead);
    if (nSize == 0 || !lpFilename)
    {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (nLength >= nSize)
    {
        memcpy(lpFilename, szPath, nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    memcpy(lpFilename, szPath, nLength + 1);
    return nLength;
}

// Ends the process at once: standard streams are flushed, static destructors and exit
// handlers do not run. Open files, locks (the named mutex) and the display connection are
// released by the system. A sanitizer build first makes the leak check that the skipped exit
// handlers would have made; a leak ends the process there with the sanitizer's exit code.
extern "C" void WINAPI ExitProcess(UINT uExitCode)
{
    fflush(nullptr);
    StandIn::ExitLeakCheck::Run();
    _exit(static_cast<int>(uExitCode));
}

// Without a debugger attached Windows shows these nowhere; MOLTRANE_DEBUG_OUTPUT=1 sends them to
// standard error.
extern "C" void WINAPI OutputDebugStringA(LPCSTR lpOutputString)
{
    static const char* s_pszEnabled = getenv("MOLTRANE_DEBUG_OUTPUT");
    if (lpOutputString && s_pszEnabled && strcmp(s_pszEnabled, "1") == 0)
        fputs(lpOutputString, stderr);
}
