#pragma once
// Appending to an edit without paying the control's cost per call. Each
// text the control takes costs it a pass over its lines and, when it is
// shown, a scroll of its window: a chapter appended paragraph by paragraph
// would cost that per paragraph. So appends made on the window's own thread
// are gathered and handed to the control in one piece, before it handles its
// next message of any kind (a read, a paint, a selection) and at the latest
// when the thread next pumps: nobody can see the control without its text.
#include <windows.h>

#include "text/gbk_text.h"

struct ControlState;

// On the window's thread, right after the edit is made. richEdit: the edit
// is a rich edit control (runtime/control_factory.cpp), made with no text;
// it then reads back exactly the text it was given, line ends included, and
// tells the font it was given.
void HandleEditMessages(HWND edit, ControlState& state, bool richEdit);

// Adds text after the edit's text (and the gathered one) and scrolls it into
// view. From another thread: one message, handled before the call returns.
bool AppendToEdit(ControlState& edit, const Text& text);
