// Named mutexes (CreateMutexA, ReleaseMutex, CloseHandle) on lock files.
//
// A named mutex exists, across processes, while some process has a handle to it. Each process
// that opens one keeps the lock file named after the mutex open with a shared lock on it; the
// creator takes the lock exclusively first and then downgrades it atomically, so "is anybody
// else holding it" and "create it" are one step and two starts racing cannot both win. The
// locks are open-file-description locks, released when the last handle closes and by the
// system when the process ends, so a crashed run never blocks the next start.
// Lock files live in $XDG_RUNTIME_DIR, or in /tmp/moltrane-<uid> (mode 0700) without it.
// Ownership (ReleaseMutex) is kept per thread inside the process, as Win32 keeps it.
#include <windows.h>

#include "HandleTable.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <memory>
#include <pthread.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace StandIn
{
namespace
{

// One mutex of this process, shared by all its handles.
struct MutexObject
{
    std::string strName; // empty for an unnamed mutex
    int nFd = -1;        // lock file, -1 for an unnamed mutex
    DWORD dwOwner = 0;   // owning thread id, 0 when not owned
    int nRecursion = 0;
    int nHandles = 0;
};

struct KernelEntry
{
    std::shared_ptr<MutexObject> pMutex;
};

HandleTable<KernelEntry> g_handles(kHandleKernel);
std::map<std::string, std::shared_ptr<MutexObject>> g_namedMutexes;

const size_t kMaxNameInFile = 200;

// Letters, digits, '.', '-' and '_' stay; every other byte becomes '_'.
std::string SanitisedName(const char* pszName)
{
    std::string strName;
    for (const char* p = pszName; *p && strName.size() < kMaxNameInFile; ++p)
    {
        char ch = *p;
        bool bKeep = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                     (ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '_';
        strName += bKeep ? ch : '_';
    }
    return strName;
}

bool IsOwnDirectory(const std::string& strDir)
{
    struct stat st;
    return lstat(strDir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

std::string LockDirectory()
{
    const char* pszRuntime = getenv("XDG_RUNTIME_DIR");
    if (pszRuntime && pszRuntime[0] == '/' && access(pszRuntime, W_OK | X_OK) == 0)
        return pszRuntime;
    std::string strDir = "/tmp/moltrane-" + std::to_string(getuid());
    mkdir(strDir.c_str(), 0700);
    return IsOwnDirectory(strDir) ? strDir : std::string();
}

bool SetLock(int nFd, short nType, bool bWait)
{
    struct flock fl = {};
    fl.l_type = nType;
    fl.l_whence = SEEK_SET;
    for (;;)
    {
        if (fcntl(nFd, bWait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

// Opens the lock file and joins the mutex. Returns the descriptor (-1 on failure) and whether
// another process already had it.
int JoinLockFile(const char* pszName, bool* pbExisted)
{
    std::string strDir = LockDirectory();
    if (strDir.empty())
        return -1;
    std::string strPath = strDir + "/moltrane-mutex-" + SanitisedName(pszName) + ".lock";
    int nFd = open(strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (nFd < 0)
        return -1;
    if (SetLock(nFd, F_WRLCK, false))
    {
        *pbExisted = false;
        SetLock(nFd, F_RDLCK, false); // atomic downgrade: others may now join
        return nFd;
    }
    if (errno == EAGAIN || errno == EACCES)
    {
        *pbExisted = true;
        if (SetLock(nFd, F_RDLCK, true))
            return nFd; // waits only out another's creation step
    }
    else if (errno == EINVAL)
    {
        // A kernel without description locks: whole-file flock, held exclusively by one process.
        *pbExisted = flock(nFd, LOCK_EX | LOCK_NB) != 0;
        return nFd;
    }
    close(nFd);
    return -1;
}

// A forked child does not share its parent's mutex handles (Windows has no fork; a child
// started by CreateProcess inherits none of these handles either).
void ForgetMutexesInChild()
{
    g_handles.ForEach(
        [](uintptr_t, KernelEntry& entry)
        {
            if (entry.pMutex && entry.pMutex->nFd >= 0)
            {
                close(entry.pMutex->nFd);
                entry.pMutex->nFd = -1;
            }
        });
    for (uintptr_t h : g_handles.Handles())
        g_handles.Remove(h);
    g_namedMutexes.clear();
}

void RegisterForkHandler()
{
    static bool s_bRegistered = false;
    if (!s_bRegistered)
    {
        pthread_atfork(nullptr, nullptr, ForgetMutexesInChild);
        s_bRegistered = true;
    }
}

HANDLE NewHandle(const std::shared_ptr<MutexObject>& pMutex)
{
    KernelEntry* pEntry = nullptr;
    uintptr_t h = g_handles.Add(&pEntry);
    if (!h)
        return nullptr;
    pEntry->pMutex = pMutex;
    ++pMutex->nHandles;
    return reinterpret_cast<HANDLE>(h);
}

void Acquire(MutexObject& mutex)
{
    mutex.dwOwner = GetCurrentThreadId();
    ++mutex.nRecursion;
}

} // namespace
} // namespace StandIn

using namespace StandIn;

extern "C" HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCSTR lpName)
{
    RegisterForkHandler();
    if (lpName && lpName[0])
    {
        auto it = g_namedMutexes.find(lpName);
        if (it != g_namedMutexes.end())
        {
            // Opened again in this process: a new handle to the same object, never owned by it.
            HANDLE h = NewHandle(it->second);
            SetLastError(h ? ERROR_ALREADY_EXISTS : ERROR_NOT_ENOUGH_MEMORY);
            return h;
        }
    }
    auto pMutex = std::make_shared<MutexObject>();
    bool bExisted = false;
    if (lpName && lpName[0])
    {
        pMutex->strName = lpName;
        pMutex->nFd = JoinLockFile(lpName, &bExisted);
        if (pMutex->nFd < 0)
        {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
    }
    HANDLE h = NewHandle(pMutex);
    if (!h)
    {
        if (pMutex->nFd >= 0)
            close(pMutex->nFd);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!pMutex->strName.empty())
        g_namedMutexes[pMutex->strName] = pMutex;
    // The initial owner is granted only to the creator, as Win32 does.
    if (bInitialOwner && !bExisted)
        Acquire(*pMutex);
    SetLastError(bExisted ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
}

extern "C" BOOL WINAPI ReleaseMutex(HANDLE hMutex)
{
    KernelEntry* pEntry = g_handles.Find(reinterpret_cast<uintptr_t>(hMutex));
    if (!pEntry || !pEntry->pMutex)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    MutexObject& mutex = *pEntry->pMutex;
    if (mutex.nRecursion == 0 || mutex.dwOwner != GetCurrentThreadId())
    {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    if (--mutex.nRecursion == 0)
        mutex.dwOwner = 0;
    return TRUE;
}

extern "C" BOOL WINAPI CloseHandle(HANDLE hObject)
{
    if (hObject == GetCurrentProcess())
        return TRUE; // the pseudo-handle needs no closing
    uintptr_t h = reinterpret_cast<uintptr_t>(hObject);
    KernelEntry* pEntry = g_handles.Find(h);
    if (!pEntry)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::shared_ptr<MutexObject> pMutex = pEntry->pMutex;
    g_handles.Remove(h);
    if (pMutex && --pMutex->nHandles == 0)
    {
        // Last handle in this process: the object leaves the process and its lock is dropped.
        if (pMutex->nFd >= 0)
            close(pMutex->nFd);
        pMutex->nFd = -1;
        if (!pMutex->strName.empty())
            g_namedMutexes.erase(pMutex->strName);
    }
    return TRUE;
}
