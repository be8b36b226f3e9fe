#pragma once

namespace loomara {

// By default a write past the process's file-size limit ends the process (SIGXFSZ), and with it
// the design on screen. Once this has run, such a write fails instead, and a save reports it as
// it reports a full disk. main() calls it before the window opens.
void letWritesPastTheFileSizeLimitFail();

} // namespace loomara
