#include "ProgramDirectory.h"

#include <cstring>

#include "Shell.h"

namespace
{

DWORD ModulePathOfProgram(LPSTR pchBuffer, DWORD nSize)
{
    return GetModuleFileNameA(GetInstance(), pchBuffer, nSize);
}

ModulePathSource s_pfnSource = &ModulePathOfProgram;

} // namespace

Int32 ProgramDirectory::Get(SString& strDirectory)
{
    char achPath[kBufferSize];
    std::memset(achPath, 0, sizeof(achPath));
    const DWORD nLength = s_pfnSource(achPath, kBufferSize);
    // A result of the buffer's size means the path was cut short; a cut path
    // names a different directory, so the lookup fails instead.
    if (nLength == 0 || nLength >= DWORD(kBufferSize))
        return 0;
    achPath[nLength] = '\0';
    strDirectory = SString(achPath, DirectoryLength(achPath));
    return 1;
}

Int32 ProgramDirectory::DirectoryLength(const char* pchPath)
{
    // The program directory ends at the last separator. Windows paths use
    // the backslash; the slash is accepted as well so the files beside the
    // executable are found on every platform.
    const char* pchLast = std::strrchr(pchPath, '\\');
    const char* pchSlash = std::strrchr(pchPath, '/');
    if (pchSlash != nullptr && (pchLast == nullptr || pchSlash > pchLast))
        pchLast = pchSlash;
    return pchLast == nullptr ? 0 : Int32(pchLast - pchPath) + 1;
}

ModulePathSource ProgramDirectory::SetSource(ModulePathSource pfnSource)
{
    const ModulePathSource pfnPrevious = s_pfnSource;
    s_pfnSource = pfnSource != nullptr ? pfnSource : &ModulePathOfProgram;
    return pfnPrevious;
}
