#pragma once

#include <mutex>

namespace loomara {

// libjpeg finds a picture's coded data ending before its last block only as a warning, and fills
// the blocks it never reached with flat grey; the toolkit's reader passes the warning on as a Qt
// message and returns the half picture as if it were whole. While a watch lives, that one warning
// raised on the watching thread is noted; every message still reaches the handler that was there
// before, which the watch puts back when it ends. One watch lives at a time: a second waits.
class PrematureEndWatch {
public:
    PrematureEndWatch();
    PrematureEndWatch(const PrematureEndWatch&) = delete;
    PrematureEndWatch& operator=(const PrematureEndWatch&) = delete;
    ~PrematureEndWatch();

    bool dataEndedEarly() const { return endedEarly_; }

private:
    std::unique_lock<std::mutex> onlyWatch_;
    bool endedEarly_ = false;
};

} // namespace loomara
