/* soak-tally: a library preloaded (LD_PRELOAD) into a program under soak, so that the program
 * can be watched without changing it.
 *
 *  - It counts the calls of malloc in all its forms (calloc, realloc, reallocarray, memalign,
 *    posix_memalign, aligned_alloc, valloc, pvalloc; operator new comes through malloc), in
 *    every thread, and hands them on to the C library's own allocator. The count is also
 *    readable in process: SoakTally_GetAllocations.
 *  - Calls made inside SDL_UpdateWindowSurface, the Win32 stand-in's present of a frame, are
 *    the window system's (SDL and the X libraries) and are counted apart.
 *  - With SOAK_TALLY_POOL_BLOCKS=T,N (the sizes of the renderer's Triangle and of its list
 *    node; soak-engine --pool-blocks prints them), blocks of exactly those sizes allocated by
 *    the main thread outside the present are taken as the triangle pool's growth, one Triangle
 *    and one node for each triangle added; the pool itself cannot be seen from here.
 *  - It counts the presented frames and, at the first present and then each time
 *    SOAK_TALLY_SECONDS (default 60) seconds have passed, writes one line to standard error:
 *        sample FRAME SECONDS RSS_KIB FDS FRAMES OTHER - GROWTH POOL PRESENT
 *    the frames presented so far, the seconds since the first present, resident memory and
 *    open file descriptors (from /proc/self); then, since the previous line, the frames
 *    presented, the malloc calls that were neither pool growth nor the present's, the frames
 *    that grew the pool; the triangles in the pool so far; and the present's calls since the
 *    previous line. The eighth field (operator new) is soak-engine's. Reading /proc and
 *    writing the line allocate nothing, so the sample does not count itself.
 *
 * Linux with glibc only: the allocator's own entry points are glibc's __libc_malloc family. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

extern void* __libc_malloc(size_t uSize);
extern void* __libc_calloc(size_t uCount, size_t uSize);
extern void* __libc_realloc(void* p, size_t uSize);
extern void* __libc_memalign(size_t uAlignment, size_t uSize);
extern void* __libc_valloc(size_t uSize);
extern void* __libc_pvalloc(size_t uSize);

typedef struct SDL_Window SDL_Window;
typedef int (*UpdateSurfaceFunction)(SDL_Window*);

static long long g_llAllocations;
static long long g_llPresentAllocations;
static long long g_llTriangleBlocks;
static long long g_llNodeBlocks;
static size_t g_uTriangleBytes;
static size_t g_uNodeBytes;
static pid_t g_nMainThread;
static __thread int t_bInPresent;

/* What the last line reported, to give the differences since it. */
static long long g_llFrames;
static long long g_llSampleFrames;
static long long g_llSampleOther;
static long long g_llSamplePresent;
static long long g_llGrowthFrames;
static long long g_llPoolAtLastPresent;
static long long g_llFirstNanoseconds = -1;
static long long g_llNextSampleNanoseconds;
static UpdateSurfaceFunction g_pfnUpdateSurface;

/* Before main: the main thread, and the pool's block sizes from the environment. */
__attribute__((constructor)) static void StartTally(void)
{
    g_nMainThread = (pid_t)syscall(SYS_gettid);
    const char* pszBlocks = getenv("SOAK_TALLY_POOL_BLOCKS");
    unsigned long uTriangle = 0;
    unsigned long uNode = 0;
    if (pszBlocks != NULL && sscanf(pszBlocks, "%lu,%lu", &uTriangle, &uNode) == 2)
    {
        g_uTriangleBytes = uTriangle;
        g_uNodeBytes = uNode;
    }
}

static void Count(size_t uSize)
{
    __atomic_add_fetch(&g_llAllocations, 1, __ATOMIC_RELAXED);
    if (t_bInPresent)
    {
        g_llPresentAllocations++; /* the main thread's own counter */
        return;
    }
    if (uSize == 0 || (uSize != g_uTriangleBytes && uSize != g_uNodeBytes) ||
        (pid_t)syscall(SYS_gettid) != g_nMainThread)
        return;
    if (uSize == g_uTriangleBytes)
        g_llTriangleBlocks++;
    else
        g_llNodeBlocks++;
}

long long SoakTally_GetAllocations(void)
{
    return __atomic_load_n(&g_llAllocations, __ATOMIC_RELAXED);
}

/* Triangles added to the pool so far: each is one Triangle and one node. */
static long long PoolTriangles(void)
{
    return g_llTriangleBlocks < g_llNodeBlocks ? g_llTriangleBlocks : g_llNodeBlocks;
}

/* Calls that were neither the present's nor the pool's growth, so far. */
static long long OtherAllocations(void)
{
    return SoakTally_GetAllocations() - g_llPresentAllocations - 2 * PoolTriangles();
}

void* malloc(size_t uSize)
{
    Count(uSize);
    return __libc_malloc(uSize);
}

void* calloc(size_t uCount, size_t uSize)
{
    Count(uCount * uSize);
    return __libc_calloc(uCount, uSize);
}

void* realloc(void* p, size_t uSize)
{
    Count(0);
    return __libc_realloc(p, uSize);
}

void* reallocarray(void* p, size_t uCount, size_t uSize)
{
    size_t uBytes;
    if (__builtin_mul_overflow(uCount, uSize, &uBytes))
    {
        errno = ENOMEM;
        return NULL;
    }
    return realloc(p, uBytes);
}

void* memalign(size_t uAlignment, size_t uSize)
{
    Count(uSize);
    return __libc_memalign(uAlignment, uSize);
}

void* aligned_alloc(size_t uAlignment, size_t uSize)
{
    return memalign(uAlignment, uSize);
}

int posix_memalign(void** pp, size_t uAlignment, size_t uSize)
{
    if (uAlignment < sizeof(void*) || (uAlignment & (uAlignment - 1)) != 0)
        return EINVAL;
    void* p = memalign(uAlignment, uSize);
    if (p == NULL)
        return ENOMEM;
    *pp = p;
    return 0;
}

void* valloc(size_t uSize)
{
    Count(0);
    return __libc_valloc(uSize);
}

void* pvalloc(size_t uSize)
{
    Count(0);
    return __libc_pvalloc(uSize);
}

static long long NowNanoseconds(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

/* Resident memory in KiB from /proc/self/statm (its second field, in pages); -1 if unread. */
static long long ResidentKiB(void)
{
    char szText[128];
    int fd = open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    ssize_t nRead = read(fd, szText, sizeof(szText) - 1);
    close(fd);
    if (nRead <= 0)
        return -1;
    szText[nRead] = '\0';
    const char* psz = strchr(szText, ' ');
    if (psz == NULL)
        return -1;
    return strtoll(psz + 1, NULL, 10) * (sysconf(_SC_PAGESIZE) / 1024);
}

/* Entries of /proc/self/fd but the one this count opens; -1 if unread. */
static int OpenDescriptors(void)
{
    char aBuffer[4096] __attribute__((aligned(8)));
    int fd = open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int nEntries = 0;
    long nRead;
    while ((nRead = syscall(SYS_getdents64, fd, aBuffer, sizeof(aBuffer))) > 0)
    {
        for (long nAt = 0; nAt < nRead;)
        {
            /* linux_dirent64: ino (8), off (8), reclen (2), type (1), name */
            unsigned short uLength;
            memcpy(&uLength, aBuffer + nAt + 16, sizeof(uLength));
            if (aBuffer[nAt + 19] != '.')
                nEntries++;
            nAt += uLength;
        }
    }
    close(fd);
    return nRead < 0 ? -1 : nEntries - 1;
}

static long long SampleInterval(void)
{
    const char* pszSeconds = getenv("SOAK_TALLY_SECONDS");
    long long llSeconds = pszSeconds != NULL ? strtoll(pszSeconds, NULL, 10) : 60;
    return (llSeconds > 0 ? llSeconds : 60) * 1000000000LL;
}

static void WriteSample(long long llNow)
{
    const long long llOther = OtherAllocations();
    const long long llMilliseconds = (llNow - g_llFirstNanoseconds) / 1000000;
    char szLine[256];
    int nLength = snprintf(
        szLine, sizeof(szLine), "sample %lld %lld.%03lld %lld %d %lld %lld - %lld %lld %lld\n",
        g_llFrames, llMilliseconds / 1000, llMilliseconds % 1000, ResidentKiB(), OpenDescriptors(),
        g_llFrames - g_llSampleFrames, llOther - g_llSampleOther, g_llGrowthFrames, PoolTriangles(),
        g_llPresentAllocations - g_llSamplePresent);
    if (nLength > 0 && write(STDERR_FILENO, szLine, (size_t)nLength) < 0)
        return;
    g_llSampleFrames = g_llFrames;
    g_llSampleOther = llOther;
    g_llSamplePresent = g_llPresentAllocations;
    g_llGrowthFrames = 0;
}

/* One frame: the pool grew in it when triangles were added since the last present. */
static void CountFrame(void)
{
    g_llFrames++;
    const long long llPool = PoolTriangles();
    if (llPool != g_llPoolAtLastPresent)
        g_llGrowthFrames++;
    g_llPoolAtLastPresent = llPool;
}

int SDL_UpdateWindowSurface(SDL_Window* pWindow)
{
    t_bInPresent = 1;
    if (g_pfnUpdateSurface == NULL)
        g_pfnUpdateSurface = (UpdateSurfaceFunction)dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
    const int nResult = g_pfnUpdateSurface != NULL ? g_pfnUpdateSurface(pWindow) : -1;
    t_bInPresent = 0;
    CountFrame();
    const long long llNow = NowNanoseconds();
    if (g_llFirstNanoseconds < 0)
    {
        g_llFirstNanoseconds = llNow;
        g_llNextSampleNanoseconds = llNow;
    }
    if (llNow >= g_llNextSampleNanoseconds)
    {
        WriteSample(llNow);
        g_llNextSampleNanoseconds += SampleInterval();
    }
    return nResult;
}
