#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace loomara {

// Calls work(i) for every i from 0 to count - 1 on `workers` workers of their own (at least one,
// and no more than there is work), each taking the next i as soon as it is free. Once a call
// returns false no worker takes a further i. On the calling thread, which waits for the workers,
// progress(done) follows each i done; its calls never overlap and a slow one holds up no worker.
inline void onWorkers(std::size_t count, int workers, const std::function<bool(std::size_t)>& work,
                      const std::function<void(std::size_t done)>& progress = {}) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t done = 0;
    const int started = std::clamp(workers, 1, static_cast<int>(std::max<std::size_t>(1, count)));
    int running = started;
    const auto take = [&] {
        for (std::size_t i = next++; i < count && !stopped; i = next++) {
            if (!work(i)) {
                stopped = true;
            }
            const std::lock_guard lock(mutex);
            ++done;
            changed.notify_one();
        }
        const std::lock_guard lock(mutex);
        --running;
        changed.notify_one();
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < started; ++t) {
        pool.emplace_back(take);
    }
    {
        std::unique_lock lock(mutex);
        std::size_t reported = 0;
        // Until every worker has ended and all they did is told: the workers may end before this
        // thread first waits, and what was done while progress was told is told on the next
        // round, the last included.
        for (;;) {
            changed.wait(lock, [&] { return done != reported || running == 0; });
            if (done == reported) {
                break;
            }
            reported = done;
            if (progress) {
                lock.unlock();
                progress(reported);
                lock.lock();
            }
        }
    }
    for (std::thread& worker : pool) {
        worker.join();
    }
}

} // namespace loomara
