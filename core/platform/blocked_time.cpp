#include "blocked_time.h"

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

std::int64_t Nanos(clockid_t clock) {
    timespec t{};
    ::clock_gettime(clock, &t);
    return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

} // namespace

BlockedTime::BlockedTime()
    : statistics_(::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC)) {}

BlockedTime::~BlockedTime() {
    if (statistics_ >= 0)
        ::close(statistics_);
}

std::int64_t BlockedTime::Now() const {
    // The time on a processor from the clock that counts it to the nanosecond; the statistics'
    // own figure for it lags behind while the thread runs. Their time waiting for a processor
    // is complete for every wait that has ended.
    const std::int64_t now = Nanos(CLOCK_MONOTONIC) - Nanos(CLOCK_THREAD_CPUTIME_ID);
    if (statistics_ >= 0) {
        // "<time on a processor> <time waiting for one> <time slices>", in nanoseconds.
        char text[96];
        const ssize_t n = ::pread(statistics_, text, sizeof text - 1, 0);
        long long running = 0, waiting = 0;
        if (n > 0) {
            text[n] = '\0';
            if (std::sscanf(text, "%lld %lld", &running, &waiting) == 2)
                return now - waiting;
        }
    }
    return now;
}

} // namespace platform
