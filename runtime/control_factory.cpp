#include "runtime/control_factory.h"

#include <commctrl.h>
#include <richedit.h>

#include "runtime/edit_appends.h"
#include "runtime/window_state.h"

namespace {

HFONT FontFor(const ControlFont& font, WindowState& state) {
    if (font.height == 0) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HFONT made = CreateFontA(-font.height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                             static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "");
    if (!made) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    state.ownedFonts.push_back(made);
    return made;
}

struct WindowClassAndStyle {
    const char* className;
    DWORD style;
    DWORD exStyle;
};

// A multi-line read-only edit is still an edit box to the program, but is
// made as a rich edit: the plain edit class here pays for every text added
// and every paint in proportion to all its lines, so a box that keeps
// growing gets slower and slower; the rich edit's cost stays with the text
// added. Its differences are handled where the edit is served (line ends:
// runtime/edit_appends.cpp; colours, font, limit: below).
bool UseRichEdit(const ControlForm& form) {
    if (form.kind != ControlKind::Edit) return false;
    if (!(form.flags & ControlFlag::MultiLine) || !(form.flags & ControlFlag::ReadOnly)) return false;
    static const bool loaded = LoadLibraryA("riched20.dll") != nullptr;
    return loaded;
}

void SetUpRichEdit(HWND edit) {
    SendMessageW(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    // It asks its parent for no colours: black on white, set here.
    SendMessageW(edit, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    format.crTextColor = RGB(0, 0, 0);
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

WindowClassAndStyle StyleOf(const ControlForm& form) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (form.flags & ControlFlag::TabStop) style |= WS_TABSTOP;
    switch (form.kind) {
        case ControlKind::ListView: {
            style |= LVS_REPORT | LVS_SINGLESEL;
            if (!(form.flags & ControlFlag::ClickableHeader)) style |= LVS_NOSORTHEADER;
            return {WC_LISTVIEWA, style, WS_EX_CLIENTEDGE};
        }
        case ControlKind::Edit: {
            style |= ES_LEFT;
            if (form.flags & ControlFlag::MultiLine) {
                // No ES_AUTOHSCROLL and no horizontal bar: long lines wrap.
                style |= ES_MULTILINE | ES_AUTOVSCROLL;
            } else {
                style |= ES_AUTOHSCROLL;
            }
            if (form.flags & ControlFlag::ReadOnly) style |= ES_READONLY;
            if (form.flags & ControlFlag::VerticalScroll) style |= WS_VSCROLL;
            if (!UseRichEdit(form)) return {WC_EDITA, style, WS_EX_CLIENTEDGE};
            // No ES_DISABLENOSCROLL: with a scroll bar that is always there,
            // Wine's rich edit lays its lines out as if it were not, and
            // their ends run underneath it.
            return {"RichEdit20W", style, WS_EX_CLIENTEDGE};
        }
        case ControlKind::PushButton:
            return {WC_BUTTONA, style | BS_PUSHBUTTON, 0};
        case ControlKind::Label:
        case ControlKind::TabControl:
            break;
    }
    return {WC_STATICA, style | SS_LEFT | SS_NOPREFIX, WS_EX_TRANSPARENT};
}

void SetUpListView(HWND list, const ControlForm& form) {
    DWORD exStyle = LVS_EX_FULLROWSELECT;
    if (form.flags & ControlFlag::GridLines) exStyle |= LVS_EX_GRIDLINES;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, exStyle | LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES, exStyle);
    SendMessageA(list, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));
    SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, RGB(255, 255, 255));
    SendMessageA(list, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 0));
    int index = 0;
    for (const ListColumn& column : form.columns) {
        LVCOLUMNA lvc{};
        lvc.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        lvc.fmt = LVCFMT_LEFT;
        lvc.cx = column.width;
        lvc.pszText = const_cast<char*>(column.title.c_str());
        lvc.iSubItem = index;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&lvc));
        ++index;
    }
}

}  // namespace

std::shared_ptr<ControlState> CreateTabControl(HWND window, const TabForm& form, WindowState& state) {
    auto control = std::make_shared<ControlState>();
    control->name = form.name;
    control->kind = ControlKind::TabControl;
    control->flags = ControlFlag::Visible;
    control->owner = window;
    // No WS_CLIPCHILDREN: the transparent labels on the pages rely on the
    // tab control painting the background behind them. WS_EX_CONTROLPARENT
    // lets the Tab key walk into the pages.
    HWND tab = CreateWindowExA(WS_EX_CONTROLPARENT, WC_TABCONTROLA, "",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, form.x, form.y, form.width,
                               form.height, window, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!tab) return control;
    SendMessageA(tab, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(form.font, state)), FALSE);
    int index = 0;
    for (const Text& page : form.pages) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(page.c_str());
        SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(tab, TCM_SETCURSEL, 0, 0);
    control->hwnd = tab;
    return control;
}

std::shared_ptr<ControlState> CreateFormControl(HWND tab, const ControlForm& form, int id,
                                                WindowState& state) {
    auto control = std::make_shared<ControlState>();
    control->name = form.name;
    control->kind = form.kind;
    control->page = form.page;
    control->flags = form.flags;
    control->id = id;
    control->event = form.event;
    control->handler = form.handler;
    control->owner = GetParent(tab);
    control->labelText = form.text;

    WindowClassAndStyle cls = StyleOf(form);
    bool rich = UseRichEdit(form);
    // A rich edit takes its text after its line ends are seen to.
    HWND hwnd = CreateWindowExA(cls.exStyle, cls.className, rich ? "" : form.text.c_str(), cls.style, form.x, form.y,
                                form.width, form.height, tab, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return control;
    // Edits answer through the runtime's procedure from the start (a rich
    // edit does not tell its font by itself).
    if (form.kind == ControlKind::Edit) HandleEditMessages(hwnd, *control, rich);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(form.font, state)), FALSE);
    if (form.kind == ControlKind::ListView) SetUpListView(hwnd, form);
    // Edits have no length limit (0 = the largest the control allows).
    if (form.kind == ControlKind::Edit) {
        if (rich) {
            SetUpRichEdit(hwnd);
        } else {
            SendMessageA(hwnd, EM_SETLIMITTEXT, 0, 0);
        }
    }
    control->hwnd = hwnd;
    if (rich && !form.text.empty()) AppendToEdit(*control, form.text);
    return control;
}
