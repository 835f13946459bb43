#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<bool> g_bCounting{false};
std::atomic<long> g_nAllocations{0};
std::atomic<long> g_nReleases{0};
std::atomic<long> g_nNoThrowAllocations{0};
std::atomic<long> g_nFailAt{-1};

// The watched blocks; only a single-threaded test watches.
const int kWatchedMax = 16;
std::size_t g_uWatchedSize = 0;
int g_nWatchedMade = 0;
int g_nWatchedLive = 0;
void* g_apWatched[kWatchedMax];

void Watch(void* p, std::size_t uSize)
{
    if (p != nullptr && g_uWatchedSize != 0 && uSize == g_uWatchedSize &&
        g_nWatchedLive < kWatchedMax)
    {
        g_apWatched[g_nWatchedLive++] = p;
        ++g_nWatchedMade;
    }
}

void Unwatch(void* p)
{
    for (int i = 0; i < g_nWatchedLive; ++i)
    {
        if (g_apWatched[i] == p)
        {
            g_apWatched[i] = g_apWatched[--g_nWatchedLive];
            return;
        }
    }
}

void* CountedAllocate(std::size_t uSize)
{
    if (g_bCounting)
        ++g_nAllocations;
    void* p = std::malloc(uSize == 0 ? 1 : uSize);
    Watch(p, uSize);
    return p;
}

void* CountedAllocateOrAbort(std::size_t uSize)
{
    void* p = CountedAllocate(uSize);
    if (p == nullptr)
        std::abort(); // the engine is built without exceptions
    return p;
}

void* CountedAllocateNoThrow(std::size_t uSize)
{
    if (g_bCounting && g_nNoThrowAllocations++ == g_nFailAt)
    {
        ++g_nAllocations;
        return nullptr;
    }
    return CountedAllocate(uSize);
}

void CountedRelease(void* p)
{
    if (p == nullptr)
        return;
    if (g_bCounting)
        ++g_nReleases;
    if (g_nWatchedLive > 0)
        Unwatch(p);
    std::free(p);
}
} // namespace

void AllocationCounter::Start()
{
    g_nAllocations = 0;
    g_nReleases = 0;
    g_nNoThrowAllocations = 0;
    g_bCounting = true;
}

void AllocationCounter::Stop()
{
    g_bCounting = false;
    g_nFailAt = -1;
}

long AllocationCounter::GetAllocations()
{
    return g_nAllocations;
}

long AllocationCounter::GetReleases()
{
    return g_nReleases;
}

long AllocationCounter::GetNoThrowAllocations()
{
    return g_nNoThrowAllocations;
}

void AllocationCounter::FailNoThrowAt(long nIndex)
{
    g_nFailAt = nIndex;
}

void AllocationCounter::WatchSize(std::size_t uSize)
{
    g_uWatchedSize = uSize;
    g_nWatchedMade = 0;
    g_nWatchedLive = 0;
}

int AllocationCounter::GetWatchedMade()
{
    return g_nWatchedMade;
}

int AllocationCounter::GetWatchedLive()
{
    return g_nWatchedLive;
}

void* operator new(std::size_t uSize)
{
    return CountedAllocateOrAbort(uSize);
}
void* operator new[](std::size_t uSize)
{
    return CountedAllocateOrAbort(uSize);
}
void* operator new(std::size_t uSize, const std::nothrow_t&) noexcept
{
    return CountedAllocateNoThrow(uSize);
}
void* operator new[](std::size_t uSize, const std::nothrow_t&) noexcept
{
    return CountedAllocateNoThrow(uSize);
}
void operator delete(void* p) noexcept
{
    CountedRelease(p);
}
void operator delete[](void* p) noexcept
{
    CountedRelease(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    CountedRelease(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    CountedRelease(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    CountedRelease(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    CountedRelease(p);
}
