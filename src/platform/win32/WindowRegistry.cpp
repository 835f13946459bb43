#include "WindowRegistry.h"

#include "HandleTable.h"

namespace StandIn
{

namespace
{
HandleTable<Window> g_windows(kHandleWindow);

uintptr_t Value(HWND hWnd)
{
    return reinterpret_cast<uintptr_t>(hWnd);
}
HWND Handle(uintptr_t uValue)
{
    return reinterpret_cast<HWND>(uValue);
}
} // namespace

HWND WindowRegistry::Add(Window** ppWindow)
{
    return Handle(g_windows.Add(ppWindow));
}

void WindowRegistry::Remove(HWND hWnd)
{
    g_windows.Remove(Value(hWnd));
}

Window* WindowRegistry::Find(HWND hWnd)
{
    return hWnd ? g_windows.Find(Value(hWnd)) : nullptr;
}

HWND WindowRegistry::FindBySdlId(uint32_t uSdlId)
{
    HWND hFound = nullptr;
    if (uSdlId == 0)
        return nullptr;
    g_windows.ForEach(
        [&](uintptr_t h, Window& window)
        {
            if (!hFound && window.surface.GetSdlId() == uSdlId)
                hFound = Handle(h);
        });
    return hFound;
}

std::vector<HWND> WindowRegistry::All()
{
    std::vector<HWND> windows;
    for (uintptr_t h : g_windows.Handles())
        windows.push_back(Handle(h));
    return windows;
}

LRESULT WindowRegistry::Send(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam)
{
    Window* pWindow = Find(hWnd);
    if (!pWindow || !pWindow->pfnProc)
        return 0;
    // The procedure may destroy the window: nothing of it is touched after the call.
    WNDPROC pfnProc = pWindow->pfnProc;
    return pfnProc(hWnd, uMessage, wParam, lParam);
}

HWND WindowRegistry::TopLevelOf(HWND hWnd)
{
    Window* pWindow = Find(hWnd);
    for (int nDepth = 0; pWindow && !pWindow->IsTopLevel() && nDepth < 64; ++nDepth)
    {
        Window* pParent = Find(pWindow->hParent);
        if (!pParent)
            break;
        hWnd = pWindow->hParent;
        pWindow = pParent;
    }
    return pWindow ? hWnd : nullptr;
}

bool WindowRegistry::ClassInUse(ATOM atomClass)
{
    bool bInUse = false;
    g_windows.ForEach([&](uintptr_t, Window& window)
                      { bInUse = bInUse || window.atomClass == atomClass; });
    return bInUse;
}

HWND FindFirstWindow(bool (*pfnTest)(HWND, Window&, void*), void* pContext)
{
    HWND hFound = nullptr;
    g_windows.ForEach(
        [&](uintptr_t h, Window& window)
        {
            if (!hFound && pfnTest(Handle(h), window, pContext))
                hFound = Handle(h);
        });
    return hFound;
}

void WindowRegistry::PresentChanged()
{
    g_windows.ForEach([](uintptr_t, Window& window) { window.surface.PresentIfChanged(); });
}

void WindowRegistry::DestroyAllSilently()
{
    for (uintptr_t h : g_windows.Handles())
    {
        Window* pWindow = g_windows.Find(h);
        if (pWindow)
            pWindow->surface.Release();
        g_windows.Remove(h);
    }
}

} // namespace StandIn
