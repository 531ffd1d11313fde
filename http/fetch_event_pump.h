#pragma once
// The window-message pump that the page fetch calls at its fixed points.
// By default it is ProcessPendingEvents; tests may put their own routine in
// its place for a scope (to count the calls).

// Calls the active pump once.
void PumpFetchEvents();

// Installs pump for the lifetime of this object. Meant for tests on one
// thread; nesting restores the outer pump.
class ScopedFetchPumpForTesting {
public:
    explicit ScopedFetchPumpForTesting(void (*pump)());
    ~ScopedFetchPumpForTesting();
    ScopedFetchPumpForTesting(const ScopedFetchPumpForTesting&) = delete;
    ScopedFetchPumpForTesting& operator=(const ScopedFetchPumpForTesting&) = delete;

private:
    void (*previous_)();
};
