#include "ProcessMemory.h"

#include <fstream>
#include <string>

#include <malloc.h>

ProcessMemory processMemory()
{
    ProcessMemory memory;
    std::ifstream status("/proc/self/status");
    std::string field;
    double kibibytes = 0;
    while (status >> field) {
        if (field == "VmRSS:" && status >> kibibytes)
            memory.resident = kibibytes * 1024;
        else if (field == "VmHWM:" && status >> kibibytes)
            memory.peak = kibibytes * 1024;
    }
    return memory;
}

void releaseFreeMemory()
{
    malloc_trim(0);
}

bool resetPeakMemory()
{
    // "5" resets the high-water mark of the resident set (Linux 4.0 on).
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
}
