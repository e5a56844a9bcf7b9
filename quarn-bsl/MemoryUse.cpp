#include "quarn-bsl/MemoryUse.h"

// Any header of the C library tells whether it is glibc.
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

void returnLargeBlocksWhenFreed()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

void returnFreeMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
