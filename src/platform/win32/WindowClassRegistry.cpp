// WindowClassRegistry and RegisterClassA/UnregisterClassA.
#include "WindowClassRegistry.h"

#include "WindowRegistry.h"

#include <strings.h>
#include <vector>

namespace StandIn
{

namespace
{
std::vector<WindowClass> g_classes;
ATOM g_atomNext = 0xC000; // class atoms live in 0xC000..0xFFFF on Windows

std::vector<WindowClass>::iterator FindEntry(LPCSTR lpClassName)
{
    for (auto it = g_classes.begin(); it != g_classes.end(); ++it)
    {
        bool bMatch = IS_INTRESOURCE(lpClassName)
                          ? it->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(lpClassName))
                          : strcasecmp(it->strName.c_str(), lpClassName) == 0;
        if (bMatch)
            return it;
    }
    return g_classes.end();
}

ATOM NextAtom()
{
    ATOM atom = g_atomNext;
    g_atomNext = static_cast<ATOM>(g_atomNext == 0xFFFF ? 0xC000 : g_atomNext + 1);
    return atom;
}
} // namespace

const WindowClass* WindowClassRegistry::Find(LPCSTR lpClassName)
{
    if (!lpClassName)
        return nullptr;
    auto it = FindEntry(lpClassName);
    return it == g_classes.end() ? nullptr : &*it;
}

void WindowClassRegistry::Clear()
{
    g_classes.clear();
}

} // namespace StandIn

using namespace StandIn;

extern "C" ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass)
{
    if (!lpWndClass || !lpWndClass->lpszClassName || IS_INTRESOURCE(lpWndClass->lpszClassName) ||
        !lpWndClass->lpfnWndProc || lpWndClass->cbWndExtra < 0 || lpWndClass->cbClsExtra < 0)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (WindowClassRegistry::Find(lpWndClass->lpszClassName))
    {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClass entry;
    entry.atom = NextAtom();
    entry.strName = lpWndClass->lpszClassName;
    entry.wc = *lpWndClass;
    entry.wc.lpszClassName = nullptr;
    entry.wc.lpszMenuName = nullptr;
    g_classes.push_back(entry);
    return entry.atom;
}

extern "C" BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE)
{
    auto it = lpClassName ? FindEntry(lpClassName) : g_classes.end();
    if (it == g_classes.end())
    {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (WindowRegistry::ClassInUse(it->atom))
    {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    g_classes.erase(it);
    return TRUE;
}
