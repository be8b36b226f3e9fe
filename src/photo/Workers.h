#pragma once

#include <algorithm>
#include <thread>
#include <vector>

namespace loomara::photo {

// At most this many workers share a picture's pixels; the machines it is meant for have two to
// eight cores.
inline constexpr unsigned kMostWorkers = 4;

inline int workerCount() {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, kMostWorkers));
}

// Runs work(w) for every worker w in [0, workers), all at once; worker 0 on the calling thread.
template <typename Work> void onWorkers(int workers, Work&& work) {
    std::vector<std::thread> running;
    for (int w = 1; w < workers; ++w) {
        running.emplace_back([&work, w] { work(w); });
    }
    work(0);
    for (std::thread& worker : running) {
        worker.join();
    }
}

// The part [first, end) of count items that worker w of workers takes.
struct Share {
    int first = 0;
    int end = 0;
};
inline Share shareOf(int count, int w, int workers) {
    return {static_cast<int>(static_cast<long long>(count) * w / workers),
            static_cast<int>(static_cast<long long>(count) * (w + 1) / workers)};
}

} // namespace loomara::photo
