#pragma once

#include "load_view.h"

#include <cstdint>
#include <thread>

// Lets the view's events run every tenth call, counted across everything of one load that
// calls it on the view's thread (a scan that runs there, then the comparison, continue one
// count). Calls from a scan's own thread do nothing: only the view's thread may run them.
class EventThrottle {
public:
    explicit EventThrottle(LoadView& view) : view_(view), owner_(std::this_thread::get_id()) {}

    void MaybeDoEvents() {
        if (std::this_thread::get_id() != owner_)
            return;
        if (++counter_ >= 10) {
            counter_ = 0;
            view_.PumpEvents();
        }
    }
    int counter() const { return counter_; }

private:
    LoadView& view_;
    const std::thread::id owner_;
    std::int16_t counter_ = 0;
};
