#pragma once

// This process's memory as the kernel counts it, in bytes.
struct ProcessMemory {
    double resident = 0;  // VmRSS
    double peak = 0;      // VmHWM: the most resident at once since start, or since resetPeakMemory()
};

ProcessMemory processMemory();

// Gives the heap's free memory back to the system, so that memory an earlier benchmark freed is
// not counted as resident, nor reused unseen by the next one.
void releaseFreeMemory();

// Lowers the peak to what is resident now, so that the next reading of the peak tells what one
// step needed; false where the kernel does not allow it, and the peak then still counts from the
// start of the process.
bool resetPeakMemory();
