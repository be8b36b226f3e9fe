// The workers: every piece of work done once, progress told in order on the calling thread, and
// no piece started after one has failed.

#include "model/Workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace loomara;

TEST(Workers, EveryPieceIsDoneOnceAndProgressCountsUpToAllOnTheCallingThread) {
    const std::thread::id caller = std::this_thread::get_id();
    for (const auto& [count, workers] :
         {std::pair{std::size_t{0}, 3}, std::pair{std::size_t{1}, 8}, std::pair{std::size_t{50}, 1},
          std::pair{std::size_t{500}, 4}, std::pair{std::size_t{7}, 0}}) {
        std::vector<std::atomic<int>> times(count);
        std::vector<std::size_t> told;
        std::atomic<bool> elsewhere = false;
        onWorkers(
            count, workers,
            [&](std::size_t i) {
                if (std::this_thread::get_id() == caller) {
                    elsewhere = true;
                }
                ++times[i];
                return true;
            },
            [&](std::size_t done) {
                if (std::this_thread::get_id() != caller) {
                    elsewhere = true;
                }
                told.push_back(done);
            });
        SCOPED_TRACE(count);
        EXPECT_FALSE(elsewhere);
        EXPECT_TRUE(std::ranges::all_of(times, [](const auto& n) { return n == 1; }));
        EXPECT_TRUE(std::ranges::is_sorted(told));
        EXPECT_EQ(told.empty() ? 0 : told.back(), count);
    }
}

TEST(Workers, NoPieceStartsAfterOneFails) {
    std::atomic<int> started = 0;
    onWorkers(100, 1, [&](std::size_t i) {
        ++started;
        return i != 3;
    });
    EXPECT_EQ(started, 4);
}
