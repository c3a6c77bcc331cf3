#include "maybe_do_events.h"

#include <cstdint>

namespace {

std::int16_t g_counter = 0;
thread_local bool t_worker = false;

std::function<void()>& Pump() {
    static std::function<void()> pump;
    return pump;
}

} // namespace

void MaybeDoEvents() {
    if (t_worker)
        return;
    if (++g_counter >= 10) {
        g_counter = 0;
        if (Pump())
            Pump()();
    }
}

void SetEventPump(std::function<void()> pump) {
    Pump() = std::move(pump);
}

void DoEventsNow() {
    if (!t_worker && Pump())
        Pump()();
}

void MarkAsWorkerThread() {
    t_worker = true;
}

int MaybeDoEventsCounter() {
    return g_counter;
}

void ResetMaybeDoEventsCounter() {
    g_counter = 0;
}
