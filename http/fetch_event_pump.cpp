#include "http/fetch_event_pump.h"

#include <atomic>

#include "runtime/event_pump.h"

namespace {
std::atomic<void (*)()> installedForTesting{nullptr};
}  // namespace

void PumpFetchEvents() {
    void (*pump)() = installedForTesting.load(std::memory_order_acquire);
    if (pump) {
        pump();
    } else {
        ProcessPendingEvents();
    }
}

ScopedFetchPumpForTesting::ScopedFetchPumpForTesting(void (*pump)())
    : previous_(installedForTesting.exchange(pump, std::memory_order_acq_rel)) {}

ScopedFetchPumpForTesting::~ScopedFetchPumpForTesting() {
    installedForTesting.store(previous_, std::memory_order_release);
}
