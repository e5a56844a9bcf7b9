#include "platform/ThreadPriority.h"

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

void lowerCurrentThreadPriority()
{
#ifdef __linux__
    // A nice value belongs to a thread on Linux, and threads inherit it from the thread that
    // starts them. At four, the window's thread has about two and a half times a worker's share
    // of a core the two want at once, and the worker still gets on while the window loads.
    constexpr int kBackgroundNice = 4;
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    if (getpriority(PRIO_PROCESS, thread) < kBackgroundNice)
        setpriority(PRIO_PROCESS, thread, kBackgroundNice);
#endif
}
