#include "runtime/edit_appends.h"

#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <string>

#include "runtime/paragraph_breaks.h"
#include "runtime/window_state.h"

namespace {

struct EditBox {
    ControlState* state;
    WNDPROC controlProc;  // the edit class's own procedure
    bool rich;
    ParagraphBreaks breaks;  // rich edits only
    HFONT font = nullptr;    // rich edits only
};

LRESULT CallEdit(const EditBox& box, HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(box.controlProc, edit, message, wParam, lParam);
}

// A position past the end selects the end: the text replaces nothing. The
// text is converted the way the system converts it for an ANSI caller.
void PutAtEnd(EditBox& box, HWND edit, const Text& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    if (box.rich) wide = box.breaks.ToBreaks(wide);
    CallEdit(box, edit, EM_SETSEL, static_cast<WPARAM>(INT_MAX), static_cast<LPARAM>(INT_MAX));
    CallEdit(box, edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    CallEdit(box, edit, EM_SCROLLCARET, 0, 0);
}

void TakePending(EditBox& box, HWND edit) {
    Text pending;
    {
        std::lock_guard<std::mutex> lock(box.state->editMutex);
        if (box.state->pendingAppend.empty()) return;
        pending.swap(box.state->pendingAppend);
    }
    PutAtEnd(box, edit, pending);
}

// The rich edit's text with its lone line ends restored.
std::wstring RestoredText(EditBox& box, HWND edit) {
    auto length = static_cast<std::size_t>(CallEdit(box, edit, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    auto copied = static_cast<std::size_t>(
        CallEdit(box, edit, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return box.breaks.Restore(std::move(text));
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = reinterpret_cast<EditBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!box) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(box->controlProc));
        LRESULT result = CallWindowProcW(box->controlProc, hwnd, message, wParam, lParam);
        delete box;
        return result;
    }
    TakePending(*box, hwnd);
    switch (message) {
        case kFlushEditMessage:
            return 0;
        case kAppendEditMessage:
            PutAtEnd(*box, hwnd, *reinterpret_cast<const Text*>(lParam));
            return 1;
        case WM_SETFONT:
            if (box->rich) box->font = reinterpret_cast<HFONT>(wParam);
            break;
        case WM_GETFONT:
            if (box->rich) return reinterpret_cast<LRESULT>(box->font);
            break;
        case WM_SETTEXT:
            if (box->rich) {
                // Text set directly replaces all: its line ends are noted afresh.
                box->breaks = ParagraphBreaks();
                const auto* text = reinterpret_cast<const wchar_t*>(lParam);
                std::wstring wide = box->breaks.ToBreaks(text ? std::wstring(text) : std::wstring());
                return CallEdit(*box, hwnd, message, wParam, reinterpret_cast<LPARAM>(wide.c_str()));
            }
            break;
        case WM_GETTEXTLENGTH:
            if (box->rich && !box->breaks.AllCrLf()) return static_cast<LRESULT>(RestoredText(*box, hwnd).size());
            break;
        case WM_GETTEXT:
            if (box->rich && !box->breaks.AllCrLf()) {
                if (wParam == 0) return 0;
                std::wstring text = RestoredText(*box, hwnd);
                std::size_t copied = std::min(text.size(), static_cast<std::size_t>(wParam) - 1);
                auto* out = reinterpret_cast<wchar_t*>(lParam);
                std::memcpy(out, text.data(), copied * sizeof(wchar_t));
                out[copied] = L'\0';
                return static_cast<LRESULT>(copied);
            }
            break;
        default:
            break;
    }
    return CallEdit(*box, hwnd, message, wParam, lParam);
}

}  // namespace

void HandleEditMessages(HWND edit, ControlState& state, bool richEdit) {
    // A Unicode procedure: the edit's own answers to Unicode callers (lengths
    // in characters) stay as they are; ANSI callers are converted as before.
    auto* box = new EditBox{&state, nullptr, richEdit, {}, nullptr};
    box->controlProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC));
    SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc));
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
