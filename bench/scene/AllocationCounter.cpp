#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

bool g_bCounting = false;
long long g_llAllocations = 0;

namespace
{
void* CountedAllocate(std::size_t uSize)
{
    if (g_bCounting)
        g_llAllocations++;
    return std::malloc(uSize == 0 ? 1 : uSize);
}
} // namespace

void* operator new(std::size_t uSize)
{
    void* p = CountedAllocate(uSize);
    if (p == nullptr)
        std::abort();
    return p;
}
void* operator new[](std::size_t uSize)
{
    return operator new(uSize);
}
void* operator new(std::size_t uSize, const std::nothrow_t&) noexcept
{
    return CountedAllocate(uSize);
}
void* operator new[](std::size_t uSize, const std::nothrow_t&) noexcept
{
    return CountedAllocate(uSize);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
