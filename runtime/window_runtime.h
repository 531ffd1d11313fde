#pragma once
// Start-up, window and message-loop services of the window runtime.
#include "runtime/control.h"
#include "runtime/window_form.h"

// Prepares the runtime on the calling (main) thread: OLE in a single-threaded
// apartment and the common controls. False when OLE could not be initialised.
bool StartRuntime();

// Creates the window and all its controls from the form, shows it, runs the
// form's creation event and returns without waiting for the window to close.
// An empty Window when the window could not be created.
Window LoadWindow(const WindowForm& form);

// Destroys the window if it is still open (on the window's own thread).
void UnloadWindow(const Window& window);

// Dispatches the calling thread's messages until the last window of the
// program has been closed (closing it posts the quit message); returns at
// once when no window is open.
void RunMessageLoop();

// Number of the program's windows that are open now.
int OpenWindowCount();
