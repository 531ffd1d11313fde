#pragma once
// Pages of the window's tab control: only the controls of the current page
// that carry the visible flag are shown. Window's thread only.
struct ControlState;
struct WindowState;

// Shows or hides one control according to the current page.
void ApplyPageVisibility(ControlState& control);
void ShowCurrentPage(WindowState& window);
// Clamps page into the existing pages, makes it current and shows it.
void SelectPage(WindowState& window, int page);
