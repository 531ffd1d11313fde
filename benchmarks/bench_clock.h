#pragma once
// Timing helpers shared by the benchmarks: a fine clock, a message pump for
// the window's thread, and the cost of one bare cross-thread round trip to a
// window, measured while that thread pumps the way it does during a flow.
#include <windows.h>

#include <atomic>
#include <functional>

#include "runtime/thread_start.h"

inline double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// Handles the window thread's messages until done() holds (or timeoutMs).
inline bool PumpWhile(const std::function<bool()>& done, double timeoutMs = 600000) {
    double start = NowMs();
    MSG msg;
    while (!done()) {
        if (NowMs() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return done();
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

inline void PumpForMs(double ms) {
    double start = NowMs();
    PumpWhile([&] { return NowMs() - start >= ms; });
}

// Milliseconds per bare SendMessage(WM_NULL) from a worker to window, the
// calling (window) thread pumping meanwhile: the floor of every service
// call a worker makes.
inline double MeasureRoundTripMs(HWND window, int count = 2000) {
    std::atomic<bool> done{false};
    double perCall = 0;
    StartThread([&] {
        for (int i = 0; i < 50; ++i) SendMessageA(window, WM_NULL, 0, 0);  // warm up
        double start = NowMs();
        for (int i = 0; i < count; ++i) SendMessageA(window, WM_NULL, 0, 0);
        perCall = (NowMs() - start) / count;
        done = true;
    });
    PumpWhile([&] { return done.load(); });
    return perCall;
}

// Records when a window last painted, to time "shown" rather than "filled".
// One watch at a time (no window property lookup on every message: under
// Wine that is a call to the window server and would slow what is measured).
class PaintWatch {
public:
    explicit PaintWatch(HWND hwnd) : hwnd_(hwnd) {
        current_ = this;
        // Of the window's own character set, so that no message is converted.
        unicode_ = IsWindowUnicode(hwnd_);
        auto proc = reinterpret_cast<LONG_PTR>(unicode_ ? &PaintWatch::ProcW : &PaintWatch::ProcA);
        previous_ = reinterpret_cast<WNDPROC>(unicode_ ? SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, proc)
                                                       : SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, proc));
    }
    ~PaintWatch() {
        auto proc = reinterpret_cast<LONG_PTR>(previous_);
        if (unicode_) {
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, proc);
        } else {
            SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, proc);
        }
        current_ = nullptr;
    }
    PaintWatch(const PaintWatch&) = delete;
    PaintWatch& operator=(const PaintWatch&) = delete;

    // Time (NowMs) at which the last WM_PAINT ended; 0 before any.
    double LastPaintEnd() const { return lastPaint_.load(); }

private:
    static LRESULT CALLBACK ProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        PaintWatch* self = current_;
        LRESULT result = CallWindowProcW(self->previous_, hwnd, message, wParam, lParam);
        if (message == WM_PAINT) self->lastPaint_ = NowMs();
        return result;
    }
    static LRESULT CALLBACK ProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        PaintWatch* self = current_;
        LRESULT result = CallWindowProcA(self->previous_, hwnd, message, wParam, lParam);
        if (message == WM_PAINT) self->lastPaint_ = NowMs();
        return result;
    }

    static inline PaintWatch* current_ = nullptr;
    HWND hwnd_;
    bool unicode_ = true;
    WNDPROC previous_ = nullptr;
    std::atomic<double> lastPaint_{0};
};
