// ProgramDirectory: the directory of the running program, where the material
// file and its texture live.
//
// No owner, no state beyond the module-path source (a test seam). Used by
// Material::Load during Renderer::Start, never per frame.
#pragma once

#include <windows.h>

#include "SString.h"
#include "Types.h"

// Fills pchBuffer (nSize bytes) with the program's full path the way
// GetModuleFileNameA does: returns the characters stored, nSize when the path
// did not fit, 0 on failure.
typedef DWORD (*ModulePathSource)(LPSTR pchBuffer, DWORD nSize);

class ProgramDirectory
{
  public:
    // The buffer the path is read into (MAX_PATH); a path or directory holds
    // at most kBufferSize - 1 characters.
    enum
    {
        kBufferSize = 260
    };

    // The program directory with its trailing separator, or the empty string
    // when the program's path holds no separator. Returns 0 when the path
    // cannot be had or does not fit the buffer.
    static Int32 Get(SString& strDirectory);

    // Length of the directory part of pchPath: everything up to and
    // including the last backslash or slash; 0 when there is neither.
    static Int32 DirectoryLength(const char* pchPath);

    // Tests point the lookup elsewhere; null restores GetModuleFileNameA on
    // the program's instance. Returns the previous source.
    static ModulePathSource SetSource(ModulePathSource pfnSource);
};
