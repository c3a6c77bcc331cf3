#pragma once

#include <cstdint>

namespace platform {

// The time the thread that made it spends blocked: waiting for a disk, a network or a lock,
// neither running nor waiting for a processor to run on. A busy machine that keeps a thread
// waiting for its turn adds nothing, nor does work answered from the caches. Used on that
// thread only.
class BlockedTime {
public:
    BlockedTime();
    ~BlockedTime();
    BlockedTime(const BlockedTime&) = delete;
    BlockedTime& operator=(const BlockedTime&) = delete;

    // Nanoseconds on a clock that moves only while the thread is blocked: the difference of
    // two readings is the time blocked between them. Where the system does not tell the time
    // spent waiting for a processor, that time counts too.
    std::int64_t Now() const;

private:
    int statistics_ = -1; // the thread's scheduler statistics, where the system keeps them
};

} // namespace platform
