// libFuzzer target for the material file reader: each input is written as
// Default.mtl into a scratch program directory and loaded. Whatever the
// bytes, Material::Load must return 0 or 1 without reading or writing out of
// bounds. Texture names in the input are looked up in the same directory
// through the software Glide's 3DF reader; the scratch directory holds no
// .3df file, so those lookups fail cleanly.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

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

void MakeScratchDirectory()
{
    char achTemplate[] = "/tmp/moltrane-fuzz-material-XXXXXX";
    if (mkdtemp(achTemplate) == nullptr)
        std::abort();
    s_strDirectory = std::string(achTemplate) + "/";
    ProgramDirectory::SetSource(&ScratchModulePath);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    if (s_strDirectory.empty())
        MakeScratchDirectory();
    const std::string strPath = s_strDirectory + "Default.mtl";
    std::FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (pFile == nullptr)
        std::abort();
    if (nSize != 0 && std::fwrite(pData, 1, nSize, pFile) != nSize)
        std::abort();
    std::fclose(pFile);

    Material material;
    const Int32 nResult = material.Load(SString("Default.mtl", 11));
    if (nResult != 0 && nResult != 1)
        std::abort();
    // A texture name longer than a word can hold never reaches the material.
    if (material.m_strTextureName.GetLength() > 259)
        std::abort();
    return 0;
}
