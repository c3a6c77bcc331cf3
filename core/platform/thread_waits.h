#pragma once

#include <cstdint>

namespace platform {

// How often the calling thread has given up the processor to wait (for a disk, a network, a
// lock) since it started; a thread that only computes and makes system calls answered from the
// caches does not. The difference over a piece of work tells whether that work waited.
std::uint64_t ThreadWaitCount();

} // namespace platform
