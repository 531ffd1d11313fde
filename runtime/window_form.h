#pragma once
// A window's form as data: the window's own record plus one table of
// controls. The runtime builds the real window from it (LoadWindow).
#include <functional>
#include <utility>
#include <vector>

#include "runtime/control.h"
#include "text/gbk_text.h"

enum class ControlKind {
    TabControl,
    ListView,   // report style, single selection, whole-row selection
    Edit,       // single line unless ControlFlag::MultiLine
    PushButton,
    Label,      // static text drawn on a transparent background
};

// Flags of a control, combined with |.
namespace ControlFlag {
constexpr unsigned Visible = 1u << 0;          // shown while its page is current
constexpr unsigned TabStop = 1u << 1;
constexpr unsigned ReadOnly = 1u << 2;         // edits
constexpr unsigned MultiLine = 1u << 3;        // edits: wraps at the box's width
constexpr unsigned VerticalScroll = 1u << 4;   // edits
constexpr unsigned GridLines = 1u << 5;        // list views
constexpr unsigned ClickableHeader = 1u << 6;  // list views
}  // namespace ControlFlag

enum class ControlEvent {
    None,
    Clicked,        // push button
    DoubleClicked,  // list view
};

struct ListColumn {
    Text title;
    int width = 0;
};

// A font of its own for a control; height 0 means the default GUI font.
struct ControlFont {
    int height = 0;  // pixels (character height)
    int weight = 400;
    int charset = 1;  // DEFAULT_CHARSET
};

struct ControlForm {
    ControlForm() = default;
    ControlForm(Text name, ControlKind kind, int page, int x, int y, int width, int height, Text text,
                unsigned flags)
        : name(std::move(name)), kind(kind), page(page), x(x), y(y), width(width), height(height),
          text(std::move(text)), flags(flags) {}

    Text name;
    ControlKind kind = ControlKind::Label;
    int page = 0;  // page of the window's tab control
    int x = 0, y = 0, width = 0, height = 0;  // relative to the tab control
    Text text;
    unsigned flags = 0;
    ControlFont font;
    std::vector<ListColumn> columns;  // list views
    ControlEvent event = ControlEvent::None;
    std::function<void()> handler;  // may be empty: the event is then ignored
};

// The window's only child: a tab control whose pages hold the other controls.
struct TabForm {
    Text name;
    int x = 0, y = 0, width = 0, height = 0;  // in the window's client area
    std::vector<Text> pages;
    ControlFont font;
};

struct WindowForm {
    Text name;
    Text title;
    int width = 0, height = 0;  // outer size
    bool centred = true;        // otherwise at x, y
    int x = 0, y = 0;
    TabForm tab;
    std::vector<ControlForm> controls;
    // Creation event: runs once every control exists, with the new window.
    std::function<void(const Window&)> onCreated;
};
