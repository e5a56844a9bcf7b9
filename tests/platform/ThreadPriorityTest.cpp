#include "platform/ThreadPriority.h"

#include <gtest/gtest.h>

#include <thread>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

int niceOfThisThread()
{
    return getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
}

// A worker yields to the window's thread, and so do the threads it starts to share its work;
// the thread that started the worker keeps its place.
TEST(ThreadPriority, AWorkerAndTheThreadsItStartsYieldToTheRest)
{
    const int before = niceOfThisThread();
    int worker = 0;
    int helper = 0;
    std::thread([&] {
        lowerCurrentThreadPriority();
        worker = niceOfThisThread();
        std::thread([&] { helper = niceOfThisThread(); }).join();
        // Lowered once, a worker is not lowered further by its next job.
        lowerCurrentThreadPriority();
        EXPECT_EQ(niceOfThisThread(), worker);
    }).join();
    EXPECT_GE(worker, before);
    if (before == 0)
        EXPECT_GT(worker, 0);
    EXPECT_EQ(helper, worker);
    EXPECT_EQ(niceOfThisThread(), before);
}

} // namespace
#endif
