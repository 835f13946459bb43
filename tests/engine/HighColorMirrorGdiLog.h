// HighColorMirrorGdiLog: the GDI calls a window mirror makes, in order, for
// the mirror tests.
//
// The mirror test program is linked with the linker's symbol wrapping (see
// tests/engine/CMakeLists.txt) around the GDI calls below; each wrapped call
// is logged while logging is on, then goes on to the real call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct GdiCall
{
    std::string name;                  // "SelectPalette"
    std::vector<uintptr_t> args;       // handles and integers in call order (pointers as values)
    uintptr_t result;                  // the handle or value the real call returned
    std::vector<PALETTEENTRY> palette; // CreatePalette: the entries given
    unsigned nPaletteVersion;          // CreatePalette: palVersion
};

namespace HighColorMirrorGdiLog
{
// Clears the log and starts logging.
void Start();
// Stops logging (the log stays readable).
void Stop();
const std::vector<GdiCall>& Calls();
// The names of the logged calls, in order.
std::vector<std::string> Names();

inline uintptr_t Value(const void* p)
{
    return reinterpret_cast<uintptr_t>(p);
}
} // namespace HighColorMirrorGdiLog
