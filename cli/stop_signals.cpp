#include "stop_signals.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> stopSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "read and written in a signal handler");

extern "C" void OnStopSignal(int) {
    stopSignalled.store(true, std::memory_order_relaxed);
}

} // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopSignalled() {
    return stopSignalled.load(std::memory_order_relaxed);
}
