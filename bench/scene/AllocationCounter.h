// Counts global operator new calls while g_bCounting is set. The replacement
// operators live in AllocationCounter.cpp, a file of their own, so the
// compiler never pairs an inlined allocation with a mismatched release.
#pragma once

extern bool g_bCounting;
extern long long g_llAllocations;
