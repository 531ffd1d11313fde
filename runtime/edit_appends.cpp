#include "runtime/edit_appends.h"

#include <atomic>
#include <climits>
#include <mutex>
#include <string>

#include "runtime/window_state.h"

namespace {

// The edit class's own procedure (the same for every edit).
std::atomic<WNDPROC> editControlProc{nullptr};

LRESULT CallEdit(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(editControlProc.load(), edit, message, wParam, lParam);
}

// A position past the end selects the end: the text replaces nothing. The
// text is converted the way the system converts it for an ANSI caller.
void PutAtEnd(HWND edit, const Text& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    CallEdit(edit, EM_SETSEL, static_cast<WPARAM>(INT_MAX), static_cast<LPARAM>(INT_MAX));
    CallEdit(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    CallEdit(edit, EM_SCROLLCARET, 0, 0);
}

void TakePending(HWND edit, ControlState& state) {
    Text pending;
    {
        std::lock_guard<std::mutex> lock(state.editMutex);
        if (state.pendingAppend.empty()) return;
        pending.swap(state.pendingAppend);
    }
    PutAtEnd(edit, pending);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<ControlState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editControlProc.load()));
        return CallEdit(hwnd, message, wParam, lParam);
    }
    if (state) {
        TakePending(hwnd, *state);
        if (message == kFlushEditMessage) return 0;
        if (message == kAppendEditMessage) {
            PutAtEnd(hwnd, *reinterpret_cast<const Text*>(lParam));
            return 1;
        }
    }
    return CallEdit(hwnd, message, wParam, lParam);
}

}  // namespace

void HandleEditMessages(HWND edit, ControlState& state) {
    // A Unicode procedure: the edit's own answers to Unicode callers (lengths
    // in characters) stay as they are; ANSI callers are converted as before.
    SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    WNDPROC none = nullptr;
    editControlProc.compare_exchange_strong(none, previous);
}

bool AppendToEdit(ControlState& edit, const Text& text) {
    HWND hwnd = edit.hwnd.load();
    if (!hwnd) return false;
    if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) {
        return SendMessageA(hwnd, kAppendEditMessage, 0, reinterpret_cast<LPARAM>(&text)) != 0;
    }
    bool first;
    {
        std::lock_guard<std::mutex> lock(edit.editMutex);
        first = edit.pendingAppend.empty();
        edit.pendingAppend += text;
    }
    // The first of a run of appends makes sure the thread hands them over
    // when it next pumps; without a queued message, hand them over now.
    if (first && !PostMessageA(hwnd, kFlushEditMessage, 0, 0)) {
        SendMessageA(hwnd, kFlushEditMessage, 0, 0);
    }
    return true;
}
