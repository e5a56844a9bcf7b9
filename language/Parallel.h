#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <future>
#include <thread>
#include <vector>

// How many threads the machine runs at once: how many parts a long task is worth cutting into.
inline std::size_t coreCount()
{
    return std::max(1U, std::thread::hardware_concurrency());
}

// Runs work(0) to work(count - 1) on as many threads as the machine has cores, this one among
// them, each thread taking the next index as it finishes one. What the work throws comes out here
// once every thread is done with it.
template <typename Work>
void forEachInParallel(std::size_t count, const Work& work)
{
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            work(i);
    };
    const std::size_t threads = std::min(count, coreCount());
    std::vector<std::future<void>> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.push_back(std::async(std::launch::async | std::launch::deferred, worker));
    worker();
    for (std::future<void>& helper : helpers)
        helper.get();
}
