// WindowClassRegistry: window classes by name (compared without regard to case, as Win32
// does) or by atom, each with its one window procedure and the defaults its windows take.
// Owner: process-wide; window thread only.
#pragma once

#include <windows.h>

#include <string>

namespace StandIn
{

struct WindowClass
{
    ATOM atom = 0;
    std::string strName;
    WNDCLASSA wc = {}; // lpszClassName and lpszMenuName are not kept
};

class WindowClassRegistry
{
  public:
    // By name or by MAKEINTATOM value; null when no such class is registered.
    static const WindowClass* Find(LPCSTR lpClassName);
    static void Clear();
};

} // namespace StandIn
