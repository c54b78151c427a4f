// What the process holds in memory, for the hostile-data cases that measure it.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

namespace hostiledata {

// Resident now.
inline long ResidentKilobytes()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The most the process has held so far. A case that reports its own peak has to run in a process
// of its own (--benchmark_filter), since earlier cases may have peaked higher.
inline long PeakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace hostiledata
