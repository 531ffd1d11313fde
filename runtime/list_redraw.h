#pragma once
// Keeps a list view from repainting on every row of a fill: a visible report
// list repaints per inserted row otherwise, even on its own thread. The first
// change of a fill turns redraw off; a timer on the window's thread turns it
// back on once the list has been left alone for kListQuietMs.
#include <windows.h>

struct ControlState;

constexpr DWORD kListQuietMs = 60;

// Call before every change of a list, from any thread.
void NoteListChange(ControlState& list);

// On the window's thread: handling of kSuspendListRedrawMessage and of the
// list's timer (whose id is the list's control id).
void SuspendListRedraw(HWND owner, ControlState& list);
void OnListRedrawTimer(HWND owner, ControlState& list);
