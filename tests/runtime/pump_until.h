#pragma once
// Lets the calling (window) thread handle its messages while a test waits
// for something another thread or a timer does.
#include <windows.h>

#include <functional>

#include "runtime/event_pump.h"

// Pumps until done() holds or timeoutMs has passed; returns done().
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        ProcessPendingEvents();
    }
    return true;
}

// Pumps for ms milliseconds (lets timers of the runtime fire).
inline void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

// Removes a quit message left by a window closed in a test, so that it does
// not stop the pumping of the next one.
inline void DropQuitMessage() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
