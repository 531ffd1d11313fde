#pragma once
// Services on the controls of a loaded window. Each works from any thread: it
// reaches the control through messages sent to it, so a call from a thread
// other than the window's blocks until that thread has handled them. Rows,
// columns and pages count from 0; row -1 means "no row".
#include "runtime/control.h"
#include "text/gbk_text.h"

// List views. A fill never repaints row by row: redraw is suspended at the
// first change and restored once the list has been left alone briefly.
bool ListViewDeleteAllRows(const Control& listView);
// A new empty row after the last one: its number, or -1 when refused.
int ListViewAppendRow(const Control& listView);
bool ListViewSetCellText(const Control& listView, int row, int column, const Text& text);
// A copy of the cell's text of any length; "" for a row that does not exist.
Text ListViewGetCellText(const Control& listView, int row, int column);
// The first selected row from the top; -1 when none is selected.
int ListViewSelectedRow(const Control& listView);
int ListViewRowCount(const Control& listView);

// Edits.
// Adds text after the present text and scrolls the caret into view. On the
// window's thread a run of appends reaches the control in one piece, before
// it handles anything else (runtime/edit_appends.h).
bool EditAppendText(const Control& edit, const Text& text);
Text EditGetText(const Control& edit);

// Labels.
bool LabelSetText(const Control& label, const Text& text);
// The text last stored (no message: safe while the window's thread is busy).
Text LabelGetText(const Control& label);

// Tab control. The page becomes current, its controls are shown and those of
// the other pages hidden; past the last page means the last, negative the first.
bool TabSelectPage(const Control& tab, int page);
// The current page, -1 for an empty handle.
int TabCurrentPage(const Control& tab);
