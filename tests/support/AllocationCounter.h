// AllocationCounter: the global operator new and delete of a test or benchmark
// program, replaced so that the program can count what a stretch of code
// allocates. Linking the allocation_counter library replaces them for the
// whole program; every form (plain, array, non-throwing, sized) allocates with
// malloc and releases with free, so any allocation pairs with any release.
//
// Owner: the program that links it; one counter per process. Start and Stop
// bracket the stretch to count (a frame, a Create); the counts stay readable
// after Stop until the next Start. Counts are atomic because the stand-in's
// SDL threads may allocate while a test counts.
//
// The operators live in AllocationCounter.cpp, a file of their own, so the
// compiler never pairs an inlined allocation with a mismatched release.
#pragma once

#include <cstddef>

class AllocationCounter
{
  public:
    // Zeroes the counts and counts from now on.
    static void Start();
    static void Stop();

    // Calls of operator new in any form, and of operator delete on a
    // non-null pointer, while counting.
    static long GetAllocations();
    static long GetReleases();

    // Calls of the non-throwing forms only (the engine's only way to
    // allocate). While counting, the one numbered nIndex (from 0, since
    // Start) returns null; -1 fails none. Stop ends the failure.
    static long GetNoThrowAllocations();
    static void FailNoThrowAt(long nIndex);

    // Follows the blocks of exactly uSize bytes, counting or not: how many
    // were made since WatchSize and how many of those are not yet released
    // (at most 16 are followed at once). 0 follows none.
    static void WatchSize(std::size_t uSize);
    static int GetWatchedMade();
    static int GetWatchedLive();
};
