#include "runtime/control_services.h"

#include <commctrl.h>

#include <climits>
#include <vector>

#include "runtime/edit_appends.h"
#include "runtime/list_redraw.h"
#include "runtime/window_state.h"

namespace {

// The control's window when the handle names a control of that kind.
HWND HandleOfKind(const Control& control, ControlKind kind) {
    ControlState* state = control.State();
    if (!state || state->kind != kind) return nullptr;
    return state->hwnd.load();
}

}  // namespace

bool ListViewDeleteAllRows(const Control& listView) {
    HWND list = HandleOfKind(listView, ControlKind::ListView);
    if (!list) return false;
    NoteListChange(*listView.State());
    return SendMessageA(list, LVM_DELETEALLITEMS, 0, 0) != 0;
}

int ListViewAppendRow(const Control& listView) {
    HWND list = HandleOfKind(listView, ControlKind::ListView);
    if (!list) return -1;
    NoteListChange(*listView.State());
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = INT_MAX;  // the list places it after the last row
    item.pszText = const_cast<char*>("");
    return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListViewSetCellText(const Control& listView, int row, int column, const Text& text) {
    HWND list = HandleOfKind(listView, ControlKind::ListView);
    if (!list || row < 0 || column < 0) return false;
    NoteListChange(*listView.State());
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    return SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

Text ListViewGetCellText(const Control& listView, int row, int column) {
    HWND list = HandleOfKind(listView, ControlKind::ListView);
    if (!list || row < 0 || column < 0) return Text();
    if (row >= static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0))) return Text();
    // The list cannot say how long a cell is: grow the buffer until the text
    // fits with room to spare (a double-byte character that does not fit
    // whole is left out, so a full buffer may end one byte early).
    std::vector<char> buffer(256);
    for (;;) {
        buffer.assign(buffer.size(), '\0');
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        int length = static_cast<int>(
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length < 0) return Text();
        if (static_cast<std::size_t>(length) + 2 < buffer.size()) {
            // The list may answer with its own storage instead of filling ours.
            const char* source = item.pszText ? item.pszText : buffer.data();
            return Text(source, static_cast<std::size_t>(length));
        }
        if (buffer.size() >= (std::size_t{1} << 30)) return Text();
        buffer.resize(buffer.size() * 2);
    }
}

int ListViewSelectedRow(const Control& listView) {
    HWND list = HandleOfKind(listView, ControlKind::ListView);
    if (!list) return -1;
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int ListViewRowCount(const Control& listView) {
    HWND list = HandleOfKind(listView, ControlKind::ListView);
    if (!list) return 0;
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

bool EditAppendText(const Control& edit, const Text& text) {
    if (!HandleOfKind(edit, ControlKind::Edit)) return false;
    return AppendToEdit(*edit.State(), text);
}

Text EditGetText(const Control& edit) {
    HWND box = HandleOfKind(edit, ControlKind::Edit);
    if (!box) return Text();
    for (;;) {
        // In bytes of the narrow text; may count more than the text holds.
        auto length = static_cast<std::size_t>(SendMessageA(box, WM_GETTEXTLENGTH, 0, 0));
        std::vector<char> buffer(length + 2, '\0');
        auto copied = static_cast<std::size_t>(
            SendMessageA(box, WM_GETTEXT, static_cast<WPARAM>(buffer.size()), reinterpret_cast<LPARAM>(buffer.data())));
        // Grown meanwhile (another thread appended): read again.
        if (copied + 1 >= buffer.size()) continue;
        return Text(buffer.data(), copied);
    }
}

bool LabelSetText(const Control& label, const Text& text) {
    ControlState* state = label.State();
    HWND hwnd = HandleOfKind(label, ControlKind::Label);
    if (!hwnd) return false;
    {
        std::lock_guard<std::mutex> lock(state->labelMutex);
        state->labelText = text;
    }
    SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (HWND owner = state->owner.load()) {
        SendMessageA(owner, kRefreshLabelMessage, 0, reinterpret_cast<LPARAM>(state));
    }
    return true;
}

Text LabelGetText(const Control& label) {
    ControlState* state = label.State();
    if (!state || state->kind != ControlKind::Label) return Text();
    std::lock_guard<std::mutex> lock(state->labelMutex);
    return state->labelText;
}

bool TabSelectPage(const Control& tab, int page) {
    ControlState* state = tab.State();
    if (!HandleOfKind(tab, ControlKind::TabControl)) return false;
    HWND owner = state->owner.load();
    if (!owner) return false;
    SendMessageA(owner, kSelectPageMessage, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(state));
    return true;
}

int TabCurrentPage(const Control& tab) {
    HWND hwnd = HandleOfKind(tab, ControlKind::TabControl);
    if (!hwnd) return -1;
    return static_cast<int>(SendMessageA(hwnd, TCM_GETCURSEL, 0, 0));
}
