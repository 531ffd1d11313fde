#pragma once
// Builds the Win32 controls of a form. Window's thread only.
#include <windows.h>

#include <memory>

#include "runtime/window_form.h"
#include "runtime/window_state.h"

// The tab control as the only child of the window, with its pages.
std::shared_ptr<ControlState> CreateTabControl(HWND window, const TabForm& form, WindowState& state);

// One control of the form as a child of the tab control, hidden (the page
// decides visibility afterwards). Null state hwnd when creation failed.
std::shared_ptr<ControlState> CreateFormControl(HWND tab, const ControlForm& form, int id,
                                                WindowState& state);
