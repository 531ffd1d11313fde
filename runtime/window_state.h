#pragma once
// The runtime's own record of a loaded window and its controls. Internal to
// the runtime: the program sees only Window and Control.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "runtime/control.h"
#include "runtime/window_form.h"

struct ControlState {
    Text name;
    ControlKind kind = ControlKind::Label;
    int page = 0;
    unsigned flags = 0;
    int id = 0;  // child-window id, also the list's redraw timer id
    ControlEvent event = ControlEvent::None;
    std::function<void()> handler;

    std::atomic<HWND> hwnd{nullptr};
    // The top-level window: its thread does the work that must happen there.
    std::atomic<HWND> owner{nullptr};

    // Labels: the text last stored, read by other threads without a message.
    std::mutex labelMutex;
    Text labelText;

    // List views: redraw is off from the first change of a fill until the
    // list has been left alone for a moment.
    std::atomic<bool> redrawSuspended{false};
    std::atomic<DWORD> lastChangeTick{0};

    // Edits: text appended on the window's thread that the control has not
    // taken yet (runtime/edit_appends.h).
    std::mutex editMutex;
    Text pendingAppend;
};

struct WindowState {
    Text name;
    std::atomic<HWND> hwnd{nullptr};
    std::shared_ptr<ControlState> tab;
    std::vector<std::shared_ptr<ControlState>> controls;  // tab control excluded
    std::vector<HFONT> ownedFonts;
    std::function<void(const Window&)> onCreated;
    // The tab control's procedure behind the runtime's, per window: a skin
    // engine may have put its own in front of the class's.
    std::atomic<WNDPROC> tabPreviousProc{nullptr};
};

// Private messages of the runtime's top-level window (sent, never posted).
// lParam is the ControlState* of the control concerned.
constexpr UINT kSuspendListRedrawMessage = WM_APP + 0x51;
constexpr UINT kSelectPageMessage = WM_APP + 0x52;  // wParam: page number
constexpr UINT kRefreshLabelMessage = WM_APP + 0x53;
// Private messages of the runtime's edits, handled before the control sees them.
constexpr UINT kFlushEditMessage = WM_APP + 0x54;   // posted: take the pending text
constexpr UINT kAppendEditMessage = WM_APP + 0x55;  // sent: lParam is a const Text*
