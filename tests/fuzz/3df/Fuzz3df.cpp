// fuzz-3df: feeds arbitrary bytes to the .3df reader as a file (an in-memory stream), the way
// gu3dfGetInfo and gu3dfLoad read one: header, size check, then table and texels into a buffer
// of exactly mem_required bytes. The sanitizers report any read or write out of bounds.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <glide.h>

#include "Gu3dfReader.h"

namespace
{
// The largest mip chain of any .3df file: 256x256 .. 1x1 of 16-bit texels.
const FxU32 kLargestChain = 174762;

void ReadOnce(FILE* pFile)
{
    Gu3dfReader reader;
    reader.Attach(pFile);
    Gu3dfInfo info;
    std::memset(&info, 0, sizeof(info));
    if (!reader.ReadInfo(&info))
    {
        return;
    }
    if (info.mem_required > kLargestChain)
    {
        __builtin_trap(); // the header was trusted beyond the format's limits
    }
    std::vector<unsigned char> data(info.mem_required);
    info.data = data.data();
    reader.Load(&info);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbData, size_t nSize)
{
    if (nSize == 0)
    {
        return 0; // an empty in-memory stream cannot be opened; an empty file is tested elsewhere
    }
    std::vector<uint8_t> copy(pbData, pbData + nSize);
    FILE* pFile = fmemopen(copy.data(), copy.size(), "rb");
    if (pFile != nullptr)
    {
        ReadOnce(pFile);
        std::fclose(pFile);
    }
    return 0;
}
