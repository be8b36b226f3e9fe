#include "io/FileSizeLimit.h"

#include <csignal>

namespace loomara {

void letWritesPastTheFileSizeLimitFail() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace loomara
