#include "ProcessGauge.h"

#include <cstdio>
#include <dirent.h>
#include <unistd.h>

long ProcessGauge::GetResidentKiB()
{
    FILE* pFile = fopen("/proc/self/statm", "r");
    if (pFile == nullptr)
        return -1;
    long lSize = 0;
    long lResident = 0;
    const int nRead = fscanf(pFile, "%ld %ld", &lSize, &lResident);
    fclose(pFile);
    if (nRead != 2)
        return -1;
    return lResident * (sysconf(_SC_PAGESIZE) / 1024);
}

int ProcessGauge::GetOpenDescriptors()
{
    DIR* pDir = opendir("/proc/self/fd");
    if (pDir == nullptr)
        return -1;
    int nEntries = 0;
    while (const dirent* pEntry = readdir(pDir))
    {
        if (pEntry->d_name[0] != '.')
            nEntries++;
    }
    closedir(pDir);
    return nEntries - 1; // the directory's own descriptor
}
