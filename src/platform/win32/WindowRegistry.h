// WindowRegistry: the live windows by handle, and the synchronous delivery of a message to a
// window's procedure (what SendMessageA and the system's own sent messages do).
// Owner: process-wide; window thread only.
#pragma once

#include <windows.h>

#include "Window.h"

#include <cstdint>
#include <vector>

namespace StandIn
{

class WindowRegistry
{
  public:
    // A new window object (reset to its defaults) and its handle; null when out of handles.
    static HWND Add(Window** ppWindow);
    // Forgets the handle; the caller has released the window's surface.
    static void Remove(HWND hWnd);
    static Window* Find(HWND hWnd);
    static HWND FindBySdlId(uint32_t uSdlId);
    static std::vector<HWND> All();
    // The first window (in creation-slot order) for which fn(handle, window) is true; null when
    // none is. Allocates nothing, so it may run on every look at the queue.
    template <typename F> static HWND FindFirst(F fn);
    // Calls the window's procedure now; 0 for a window that does not exist (any more).
    static LRESULT Send(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam);
    static HWND TopLevelOf(HWND hWnd);
    static bool ClassInUse(ATOM atomClass);
    // Presents every window whose picture changed since its last present.
    static void PresentChanged();
    // StandIn_Reset: every window goes, without messages.
    static void DestroyAllSilently();
};

// The table itself is private to WindowRegistry.cpp; FindFirst goes through this hook.
HWND FindFirstWindow(bool (*pfnTest)(HWND, Window&, void*), void* pContext);

template <typename F> HWND WindowRegistry::FindFirst(F fn)
{
    return FindFirstWindow([](HWND hWnd, Window& window, void* pContext)
                           { return (*static_cast<F*>(pContext))(hWnd, window); },
                           &fn);
}

} // namespace StandIn
