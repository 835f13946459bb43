// libFuzzer target for the material file reader: each input is written as
// Default.mtl into a scratch program directory and loaded. Whatever the
// bytes, Material::Load must return 0 or 1 without reading or writing out of
// bounds. Texture names in the input are looked up in the same directory
// through the software Glide's 3DF reader: the directory holds one valid
// texture, Texture.3df, which loads onto an open board; every other name
// fails cleanly.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <glide.h>

#include "Material.h"
#include "ProgramDirectory.h"
#include "SString.h"

namespace
{

std::string s_strDirectory;

DWORD ScratchModulePath(LPSTR pchBuffer, DWORD nSize)
{
    const std::string strPath = s_strDirectory + "fuzz";
    if (strPath.size() >= nSize)
        return 0;
    std::memcpy(pchBuffer, strPath.c_str(), strPath.size() + 1);
    return DWORD(strPath.size());
}

void WriteScratchFile(const char* pchName, const void* pData, std::size_t nSize)
{
    const std::string strPath = s_strDirectory + pchName;
    std::FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (pFile == nullptr)
        std::abort();
    if (nSize != 0 && std::fwrite(pData, 1, nSize, pFile) != nSize)
        std::abort();
    std::fclose(pFile);
}

// An 8x8 RGB 565 texture of one level.
void WriteTexture()
{
    const char achHeader[] = "3df v1.1\nrgb565\nlod range: 8 8\naspect ratio: 1 1\n";
    std::string strFile(achHeader, sizeof achHeader - 1);
    for (int i = 0; i < 64; ++i)
    {
        strFile.push_back(char(i * 4));
        strFile.push_back(char(255 - i));
    }
    WriteScratchFile("Texture.3df", strFile.data(), strFile.size());
}

void RemoveScratchDirectory()
{
    for (const char* pchName : {"Default.mtl", "Texture.3df"})
        unlink((s_strDirectory + pchName).c_str());
    rmdir(s_strDirectory.c_str());
}

// Memory-backed storage when there is some: millions of writes to a disk
// would make the disk, not the reader, the bottleneck.
DWORD TooLongModulePath(LPSTR pchBuffer, DWORD nSize)
{
    // As GetModuleFileNameA answers for a path that does not fit: cut short, the size returned.
    std::memset(pchBuffer, 'd', nSize - 1);
    pchBuffer[nSize - 1] = '\0';
    return nSize;
}

// Once a process: the program's own directory is found through the default source, and a
// program path too long for the buffer fails the load instead of naming another directory.
void CheckProgramDirectory()
{
    SString strDirectory;
    if (!ProgramDirectory::Get(strDirectory) || strDirectory.GetLength() == 0)
        std::abort();
    ProgramDirectory::SetSource(&TooLongModulePath);
    Material material;
    if (material.Load(SString("Default.mtl", 11)) != 0)
        std::abort();
}

void MakeScratchDirectory()
{
    CheckProgramDirectory();
    struct stat shm;
    std::string strTemplate = stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode)
                                  ? "/dev/shm/moltrane-fuzz-material-XXXXXX"
                                  : "/tmp/moltrane-fuzz-material-XXXXXX";
    if (mkdtemp(&strTemplate[0]) == nullptr)
        std::abort();
    s_strDirectory = strTemplate + "/";
    std::atexit(&RemoveScratchDirectory);
    ProgramDirectory::SetSource(&ScratchModulePath);
    WriteTexture();
}

// The texture loader allocates and downloads on the board, as the engine's
// does once the display is open.
void OpenBoard()
{
    setenv("MOLTRANE_HEADLESS", "1", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    grGlideInit();
    GrHwConfiguration hw;
    if (!grSstQueryHardware(&hw))
        std::abort();
    grSstSelect(0);
    if (!grSstWinOpen(0, GR_RESOLUTION_320x240, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                      GR_ORIGIN_UPPER_LEFT, 2, 0))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* pnArgc, char*** pppchArgv)
{
    (void)pnArgc;
    (void)pppchArgv;
    MakeScratchDirectory();
    OpenBoard();
    // A material file that is not there gives the built-in material and a successful load.
    Material missing;
    if (missing.Load(SString("Missing.mtl", 11)) != 1)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    WriteScratchFile("Default.mtl", pData, nSize);
    // Texture memory is never handed back by the material: start each input afresh.
    guTexMemReset();

    Material material;
    const Int32 nResult = material.Load(SString("Default.mtl", 11));
    if (nResult != 0 && nResult != 1)
        std::abort();
    // A loaded material is applied as the renderer does: its values go to Glide as they are.
    if (nResult == 1)
        material.Apply();
    // A texture name longer than a word can hold never reaches the material.
    if (material.m_strTextureName.GetLength() > 259)
        std::abort();
    return 0;
}
