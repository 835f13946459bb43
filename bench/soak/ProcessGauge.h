// ProcessGauge: what the running process holds, read from /proc/self: resident memory and open
// file descriptors. The soak driver reads it between frames, never inside one (the reads
// allocate). Linux only, as the soak is.
#pragma once

class ProcessGauge
{
  public:
    // Resident set size in KiB (the second field of /proc/self/statm, in pages); -1 when the
    // file cannot be read.
    static long GetResidentKiB();

    // Entries of /proc/self/fd, not counting the one that the count itself opens; -1 when the
    // directory cannot be read.
    static int GetOpenDescriptors();
};
