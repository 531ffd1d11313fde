#pragma once
// Handles through which the program addresses a loaded window and its
// controls by their form names. Copies are cheap and may be handed to other
// threads; a handle of a destroyed window or an unknown name is empty, and
// every service on it yields the empty value of its kind.
#include <windows.h>

#include <memory>

#include "text/gbk_text.h"

struct ControlState;
struct WindowState;

class Control {
public:
    Control() = default;
    explicit Control(std::shared_ptr<ControlState> state) : state_(std::move(state)) {}

    bool IsValid() const { return state_ != nullptr; }
    // The control's window; null for an empty handle or a destroyed control.
    HWND Handle() const;
    ControlState* State() const { return state_.get(); }

private:
    std::shared_ptr<ControlState> state_;
};

class Window {
public:
    Window() = default;
    explicit Window(std::shared_ptr<WindowState> state) : state_(std::move(state)) {}

    bool IsValid() const { return state_ != nullptr; }
    // True while the window exists.
    bool IsOpen() const;
    HWND Handle() const;
    // The control of the form with that name (the tab control included).
    Control Find(const Text& name) const;

private:
    std::shared_ptr<WindowState> state_;
};
