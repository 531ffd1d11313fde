#include "runtime/control.h"

#include "runtime/window_state.h"

HWND Control::Handle() const { return state_ ? state_->hwnd.load() : nullptr; }

bool Window::IsOpen() const { return Handle() != nullptr; }

HWND Window::Handle() const { return state_ ? state_->hwnd.load() : nullptr; }

Control Window::Find(const Text& name) const {
    if (!state_) return Control();
    if (state_->tab && state_->tab->name == name) return Control(state_->tab);
    for (const auto& control : state_->controls) {
        if (control->name == name) return Control(control);
    }
    return Control();
}
