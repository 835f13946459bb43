#include "ExitLeakCheck.h"

// GCC says __SANITIZE_ADDRESS__; Clang says __has_feature(address_sanitizer).
#if defined(__SANITIZE_ADDRESS__)
#define MOLTRANE_EXIT_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOLTRANE_EXIT_LEAK_CHECK 1
#endif
#endif

#if defined(MOLTRANE_EXIT_LEAK_CHECK)
#include <sanitizer/lsan_interface.h>

#include <cstdlib>
#include <cstring>

namespace
{
// Size of the block the probe loses: odd enough to pick out of a report.
const std::size_t kProbeBytes = 4242;

// MOLTRANE_LEAK_PROBE=1 loses one block just before the check, so that a test can see the
// check report it and fail the run. Only sanitizer builds read the variable.
void LeakProbeBlock()
{
    const char* pszProbe = getenv("MOLTRANE_LEAK_PROBE");
    if (pszProbe == nullptr || strcmp(pszProbe, "1") != 0)
        return;
    // Written through a volatile pointer so the block is really made; the pointer is then
    // overwritten, so no register or stack slot of this frame still holds it.
    void* volatile pBlock = malloc(kProbeBytes);
    memset(pBlock, 0x5a, kProbeBytes);
    pBlock = nullptr;
}
} // namespace

void StandIn::ExitLeakCheck::Run()
{
    LeakProbeBlock();
    // Reports and ends the process when something leaked; a later call does nothing.
    __lsan_do_leak_check();
}

bool StandIn::ExitLeakCheck::IsActive()
{
    return true;
}

#else

void StandIn::ExitLeakCheck::Run() {}

bool StandIn::ExitLeakCheck::IsActive()
{
    return false;
}

#endif
