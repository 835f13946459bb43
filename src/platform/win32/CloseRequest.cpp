#include "CloseRequest.h"

#include "MessageQueue.h"
#include "WindowRegistry.h"

#include <atomic>
#include <cstdint>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace StandIn
{

namespace
{

std::atomic<bool> g_bPending{false};
// Written by the signal handler; -1 until the handlers are installed.
volatile sig_atomic_t g_nSignalPipe = -1;

void OnSignal(int)
{
    const int nSavedErrno = errno; // the interrupted code may be looking at it
    const char chByte = 1;
    if (g_nSignalPipe >= 0)
    {
        ssize_t nWritten = write(g_nSignalPipe, &chByte, 1);
        (void)nWritten; // a full pipe already holds a request
    }
    errno = nSavedErrno;
}

void* WatchPipe(void* pReadEnd)
{
    const int nReadEnd = static_cast<int>(reinterpret_cast<intptr_t>(pReadEnd));
    for (;;)
    {
        char achBytes[16];
        ssize_t nRead = read(nReadEnd, achBytes, sizeof(achBytes));
        if (nRead > 0)
            CloseRequest::Request();
        else if (nRead < 0 && errno == EINTR)
            continue;
        else
            return nullptr;
    }
}

} // namespace

bool CloseRequest::InstallSignalHandlers()
{
    if (g_nSignalPipe >= 0)
        return true;
    int anPipe[2];
    if (pipe(anPipe) != 0)
        return false;
    for (int nEnd : anPipe)
        fcntl(nEnd, F_SETFD, FD_CLOEXEC);
    // The write end never blocks the handler: a full pipe means a request is already on its way.
    fcntl(anPipe[1], F_SETFL, O_NONBLOCK);
    // The watcher lives as long as the process; it is never joined.
    pthread_t thread;
    if (pthread_create(&thread, nullptr, WatchPipe,
                       reinterpret_cast<void*>(static_cast<intptr_t>(anPipe[0]))) != 0)
    {
        close(anPipe[0]);
        close(anPipe[1]);
        return false;
    }
    pthread_detach(thread);
    g_nSignalPipe = anPipe[1];
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int nSignal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(nSignal, &action, nullptr);
    return true;
}

void CloseRequest::Request()
{
    g_bPending = true;
    MessageQueue::Instance().Nudge();
}

void CloseRequest::DeliverIfPending()
{
    if (!g_bPending)
        return;
    bool bPosted = false;
    for (HWND hWnd : WindowRegistry::All())
    {
        Window* pWindow = WindowRegistry::Find(hWnd);
        if (!pWindow || !pWindow->IsTopLevel() || pWindow->bDestroying)
            continue;
        MessageQueue::Instance().Post(hWnd, WM_CLOSE, 0, 0);
        bPosted = true;
    }
    if (bPosted)
        g_bPending = false;
}

void CloseRequest::Reset()
{
    g_bPending = false;
}

} // namespace StandIn
