#pragma once

#include <csignal>
#include <sys/resource.h>

namespace loomara::testing {

// While it lives, a file may grow to `bytes` at most, and a write past that fails as on a full
// disk instead of ending the test program; the limit and the signal are put back after.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ok_ = getrlimit(RLIMIT_FSIZE, &before_) == 0;
        signalBefore_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = before_;
        lowered.rlim_cur = bytes;
        ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, signalBefore_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // Whether the limit holds.
    bool ok() const { return ok_; }

private:
    rlimit before_{};
    void (*signalBefore_)(int) = nullptr;
    bool ok_ = false;
};

} // namespace loomara::testing
