// The processor time the whole process has used, user and system: beside a
// wall time it shows how much of a core a paced upload keeps busy.
#pragma once

#include <sys/resource.h>

inline double processorSeconds()
{
    rusage usage {};
    ::getrusage (RUSAGE_SELF, &usage);
    const auto seconds = [] (const timeval& t) { return (double) t.tv_sec + (double) t.tv_usec / 1e6; };
    return seconds (usage.ru_utime) + seconds (usage.ru_stime);
}
