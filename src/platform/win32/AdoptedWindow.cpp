#include "AdoptedWindow.h"

#include "CloseRequest.h"
#include "NativeWindow.h"
#include "VideoSystem.h"
#include "WindowRegistry.h"

namespace StandIn
{

namespace
{

uint64_t g_uPending = 0;
int g_nPendingWidth = 0;
int g_nPendingHeight = 0;
uint64_t g_uBound = 0;
HWND g_hBound = nullptr;

} // namespace

bool AdoptedWindow::Prepare(uint64_t uNativeWindow, std::string* pstrWhy)
{
    if (VideoSystem::IsHeadless())
    {
        *pstrWhy = "there is no display to draw on";
        return false;
    }
    int nWidth = 0, nHeight = 0;
    const char* pszWhy = "";
    if (!NativeWindow::Query(uNativeWindow, &nWidth, &nHeight, &pszWhy))
    {
        *pstrWhy = pszWhy;
        return false;
    }
    g_uPending = uNativeWindow;
    g_nPendingWidth = nWidth;
    g_nPendingHeight = nHeight;
    return true;
}

uint64_t AdoptedWindow::TakePending(int* pnWidth, int* pnHeight)
{
    uint64_t uNative = g_uPending;
    *pnWidth = g_nPendingWidth;
    *pnHeight = g_nPendingHeight;
    g_uPending = 0;
    if (uNative)
        g_uBound = uNative;
    return uNative;
}

void AdoptedWindow::Bind(HWND hWnd)
{
    g_hBound = hWnd;
}

bool AdoptedWindow::IsAdopted(HWND hWnd)
{
    return hWnd && hWnd == g_hBound;
}

bool AdoptedWindow::GetScreenSize(int* pnWidth, int* pnHeight)
{
    if (Window* pWindow = WindowRegistry::Find(g_hBound))
    {
        *pnWidth = pWindow->ClientWidth();
        *pnHeight = pWindow->ClientHeight();
        return true;
    }
    if (g_uPending)
    {
        *pnWidth = g_nPendingWidth;
        *pnHeight = g_nPendingHeight;
        return true;
    }
    return false;
}

void AdoptedWindow::OnSystemEvent(const SDL_Event& event)
{
    if (g_uBound && NativeWindow::IsDestroyEvent(event, g_uBound))
        OnGone();
}

void AdoptedWindow::OnGone()
{
    if (Window* pWindow = WindowRegistry::Find(g_hBound))
        pWindow->surface.MarkGone();
    CloseRequest::Request();
}

void AdoptedWindow::OnDestroy(HWND hWnd)
{
    if (hWnd != g_hBound)
        return;
    g_hBound = nullptr;
    g_uBound = 0;
    NativeWindow::Forget();
}

void AdoptedWindow::Reset()
{
    g_uPending = 0;
    g_uBound = 0;
    g_hBound = nullptr;
    NativeWindow::Forget();
}

} // namespace StandIn
