#include "runtime/list_redraw.h"

#include "runtime/tab_pages.h"
#include "runtime/window_state.h"

void NoteListChange(ControlState& list) {
    list.lastChangeTick = GetTickCount();
    if (list.redrawSuspended.exchange(true)) return;
    HWND owner = list.owner.load();
    if (owner) SendMessageA(owner, kSuspendListRedrawMessage, 0, reinterpret_cast<LPARAM>(&list));
}

void SuspendListRedraw(HWND owner, ControlState& list) {
    HWND hwnd = list.hwnd.load();
    if (!hwnd) return;
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    SetTimer(owner, static_cast<UINT_PTR>(list.id), kListQuietMs, nullptr);
}

void OnListRedrawTimer(HWND owner, ControlState& list) {
    if (GetTickCount() - list.lastChangeTick.load() < kListQuietMs) return;
    KillTimer(owner, static_cast<UINT_PTR>(list.id));
    // Cleared first: a change that comes in now suspends redraw anew.
    list.redrawSuspended = false;
    HWND hwnd = list.hwnd.load();
    if (!hwnd) return;
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    // Turning redraw on may mark the list visible again: restore what its
    // page says before painting.
    ApplyPageVisibility(list);
    InvalidateRect(hwnd, nullptr, TRUE);
}
