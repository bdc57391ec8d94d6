// Independent pieces of work shared out among threads.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace marvane {

// The threads to use when `requested` is 0: one per processor, at most 8.
inline int DefaultThreads(int requested) {
    if (requested > 0) {
        return requested;
    }
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
}

// Calls work(item, worker) for every item below `count`, on up to `threads` threads
// (this one included); `worker` (0 .. threads-1) lets each thread keep scratch space of
// its own. The items must not depend on one another: which thread takes which, and in
// what order, is left open. A thread that cannot be started leaves its share to the
// others. Returns false when memory ran out (the items not yet begun are then skipped).
template <class Work> bool ParallelFor(size_t count, int threads, const Work& work) {
    const size_t workers = std::min(static_cast<size_t>(std::max(threads, 1)), count);
    std::atomic<size_t> next{0};
    std::atomic<bool> outOfMemory{false};
    const auto loop = [&](int worker) {
        try {
            for (size_t item = next++; item < count && !outOfMemory; item = next++) {
                work(item, worker);
            }
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    };
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < workers; ++t) {
        try {
            helpers.emplace_back(loop, static_cast<int>(t));
        } catch (const std::system_error&) {
            break;
        }
    }
    loop(0);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    return !outOfMemory;
}

} // namespace marvane
