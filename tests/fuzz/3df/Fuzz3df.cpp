// fuzz-3df: feeds arbitrary bytes to the .3df reader, first as a stream (an in-memory FILE given
// to a Gu3dfReader), then as a file through gu3dfGetInfo and gu3dfLoad, the way a program reads
// one: header, size check, then table and texels into a buffer of exactly mem_required bytes.
// After a good load it also hands gu3dfLoad infos that no longer describe the file (a buffer one
// byte short, another format, no buffer): each must be refused. The sanitizers report any read
// or write out of bounds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glide.h>

#include "Gu3dfFormat.h"
#include "Gu3dfReader.h"

namespace
{
// The largest mip chain of any .3df file: 256x256 .. 1x1 of 16-bit texels.
const FxU32 kLargestChain = 174762;

std::string g_strPath;

void ReadStream(FILE* pFile)
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

// gu3dfLoad with an info that does not describe the file must fail without writing.
void LoadMismatched(const Gu3dfInfo& good)
{
    Gu3dfInfo info = good;
    std::vector<unsigned char> shortBuffer(good.mem_required > 0 ? good.mem_required - 1 : 0);
    info.mem_required = FxU32(shortBuffer.size());
    info.data = shortBuffer.empty() ? nullptr : shortBuffer.data();
    if (good.mem_required > 0 && gu3dfLoad(g_strPath.c_str(), &info))
    {
        __builtin_trap(); // loaded into a buffer smaller than the file's texels
    }
    info = good;
    info.data = nullptr;
    if (gu3dfLoad(g_strPath.c_str(), &info))
    {
        __builtin_trap(); // loaded into no buffer
    }
    // Another shape: the buffer is large enough for any file, so only the check can refuse.
    std::vector<unsigned char> largest(kLargestChain);
    Gu3dfInfo changed[4] = {good, good, good, good};
    changed[0].header.format ^= 1;
    changed[1].header.small_lod += 1;
    changed[2].header.aspect_ratio ^= 1;
    changed[3].header.width += 1;
    for (Gu3dfInfo& other : changed)
    {
        other.data = largest.data();
        other.mem_required = kLargestChain;
        if (gu3dfLoad(g_strPath.c_str(), &other))
        {
            __builtin_trap(); // loaded with an info of another file
        }
    }
}

// A file read as valid is of one of the 13 formats, and its header (the first 100 bytes) names
// that format, in any case.
void CheckFormatWord(const Gu3dfInfo& info, const uint8_t* pbData, size_t nSize)
{
    const char* pchToken = Gu3dfFormat::TokenOf(info.header.format);
    if (!Gu3dfFormat::IsKnownFormat(info.header.format) || pchToken == nullptr)
    {
        __builtin_trap();
    }
    const size_t nToken = std::strlen(pchToken);
    const size_t nHeader = nSize < 100 ? nSize : 100;
    const char* pchHeader = reinterpret_cast<const char*>(pbData);
    for (size_t nAt = 0; nAt + nToken <= nHeader; ++nAt)
    {
        if (strncasecmp(pchHeader + nAt, pchToken, nToken) == 0)
        {
            return;
        }
    }
    __builtin_trap();
}

void ReadFile(const uint8_t* pbData, size_t nSize)
{
    Gu3dfInfo info;
    std::memset(&info, 0, sizeof(info));
    if (!gu3dfGetInfo(g_strPath.c_str(), &info))
    {
        // An info gu3dfGetInfo refused must not load either.
        if (gu3dfLoad(g_strPath.c_str(), &info))
        {
            __builtin_trap();
        }
        return;
    }
    if (info.mem_required > kLargestChain)
    {
        __builtin_trap();
    }
    std::vector<unsigned char> data(info.mem_required);
    info.data = data.data();
    if (gu3dfLoad(g_strPath.c_str(), &info))
    {
        CheckFormatWord(info, pbData, nSize);
        LoadMismatched(info);
    }
}

// Once a process: null arguments and a file that is not there are refused, not dereferenced.
void CallWithoutFile()
{
    Gu3dfInfo info;
    std::memset(&info, 0, sizeof(info));
    const std::string strMissing = g_strPath + ".missing";
    if (gu3dfGetInfo(nullptr, &info) || gu3dfGetInfo(g_strPath.c_str(), nullptr) ||
        gu3dfGetInfo(strMissing.c_str(), &info) || gu3dfLoad(nullptr, &info) ||
        gu3dfLoad(g_strPath.c_str(), nullptr) || gu3dfLoad(strMissing.c_str(), &info))
    {
        __builtin_trap();
    }
}

void RemoveScratchFile()
{
    unlink(g_strPath.c_str());
}

// The file goes to memory-backed storage when there is some: millions of writes to a disk would
// make the disk, not the reader, the bottleneck.
std::string ScratchPath()
{
    struct stat shm;
    const char* pchDir = stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) ? "/dev/shm" : "/tmp";
    return std::string(pchDir) + "/moltrane-fuzz-3df-" + std::to_string(getpid()) + ".3df";
}

void WriteFile(const uint8_t* pbData, size_t nSize)
{
    FILE* pFile = std::fopen(g_strPath.c_str(), "wb");
    if (pFile == nullptr || (nSize != 0 && std::fwrite(pbData, 1, nSize, pFile) != nSize))
    {
        std::abort();
    }
    std::fclose(pFile);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbData, size_t nSize)
{
    if (g_strPath.empty())
    {
        g_strPath = ScratchPath();
        std::atexit(&RemoveScratchFile);
        CallWithoutFile();
    }
    if (nSize != 0)
    {
        // An empty in-memory stream cannot be opened; the empty file is read below.
        std::vector<uint8_t> copy(pbData, pbData + nSize);
        FILE* pFile = fmemopen(copy.data(), copy.size(), "rb");
        if (pFile != nullptr)
        {
            ReadStream(pFile);
            std::fclose(pFile);
        }
    }
    WriteFile(pbData, nSize);
    ReadFile(pbData, nSize);
    return 0;
}
