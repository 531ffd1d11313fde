#include "runtime/tab_pages.h"

#include <windows.h>
#include <commctrl.h>

#include "runtime/window_state.h"

namespace {

int CurrentPageOf(HWND tab) { return tab ? static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0)) : -1; }

}  // namespace

void ApplyPageVisibility(ControlState& control) {
    HWND hwnd = control.hwnd.load();
    if (!hwnd) return;
    HWND tab = GetParent(hwnd);
    bool show = (control.flags & ControlFlag::Visible) && control.page == CurrentPageOf(tab);
    ShowWindow(hwnd, show ? SW_SHOWNA : SW_HIDE);
}

void ShowCurrentPage(WindowState& window) {
    for (auto& control : window.controls) ApplyPageVisibility(*control);
}

void SelectPage(WindowState& window, int page) {
    HWND tab = window.tab ? window.tab->hwnd.load() : nullptr;
    if (!tab) return;
    int count = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return;
    if (page >= count) page = count - 1;
    if (page < 0) page = 0;
    SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    ShowCurrentPage(window);
}
