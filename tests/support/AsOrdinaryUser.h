#pragma once

#include <QtGlobal>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace loomara::test {

// Root passes every permission check. For the cases a user meets, this thread gives that up
// (CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH leave its effective set) until the end of the scope,
// and so do the threads it starts meanwhile; the store runs its SQLite connection on the thread
// that made it.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (geteuid() != 0) {
            return;
        }
        if (syscall(SYS_capget, &header_, data_) != 0) {
            ok_ = false;
            return;
        }
        saved_ = data_[0].effective;
        data_[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        ok_ = syscall(SYS_capset, &header_, data_) == 0;
        dropped_ = ok_;
    }
    ~AsOrdinaryUser() {
        if (dropped_) {
            data_[0].effective = saved_;
            syscall(SYS_capset, &header_, data_);
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;
    bool ok() const { return ok_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data_[2]{};
    quint32 saved_ = 0;
    bool ok_ = true;
    bool dropped_ = false;
};

} // namespace loomara::test
