#pragma once
// A ReaderWindow on the "books" fixture site, driven as a user drives it:
// rows are selected and double-clicked through the window's messages, and
// the results are read back from the controls.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/reader_window.h"
#include "runtime/control_services.h"
#include "runtime/window_runtime.h"
#include "tests/runtime/pump_until.h"
#include "tests/support/test_site.h"

class ReaderFlowTest : public ::testing::Test {
public:
    using Row = std::pair<Text, Text>;  // columns 0 and 1
    // An address of the fixture site.
    static Text Books(const std::string& path) { return TestSiteAddress("fixture/books/" + path); }

protected:
    static void SetUpTestSuite() { StartRuntime(); }

    void SetUp() override {
        reader = std::make_unique<ReaderWindow>(SiteCatalogue{TestSiteAddress("fixture/books/")});
        ASSERT_TRUE(reader->Load());
    }
    void TearDown() override {
        reader.reset();
        DropQuitMessage();
    }

    Control Find(const char* name) const { return reader->Find(name); }
    HWND Handle(const char* name) const { return Find(name).Handle(); }

    // Test setup, not the flow under test: novel rows as a category would
    // list them, the novel page address in column 0.
    void SetNovelRows(const std::vector<Text>& addresses) {
        Control novels = Find("超级列表框_类别");
        ListViewDeleteAllRows(novels);
        for (const Text& address : addresses) {
            int row = ListViewAppendRow(novels);
            ListViewSetCellText(novels, row, 0, address);
            ListViewSetCellText(novels, row, 2, "书" + std::to_string(row));
        }
    }

    // Selects row of the list (-1: clears the selection).
    void Select(const char* list, int row) {
        SendMessageA(Handle(list), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(SelectionItem(false)));
        if (row >= 0) {
            SendMessageA(Handle(list), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(SelectionItem(true)));
        }
    }
    // The list's double-click notification, handled before this returns.
    void DoubleClick(const char* list) {
        SendMessageA(GetParent(Handle(list)), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(DoubleClickNote(list)));
    }
    void SelectAndDoubleClick(const char* list, int row) {
        Select(list, row);
        DoubleClick(list);
    }
    // The same user actions queued, to be dispatched by whoever pumps next.
    void PostSelectAndDoubleClick(const char* list, int row) {
        ASSERT_TRUE(PostMessageA(Handle(list), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(SelectionItem(false))));
        ASSERT_TRUE(PostMessageA(Handle(list), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                                 reinterpret_cast<LPARAM>(SelectionItem(true))));
        ASSERT_TRUE(PostMessageA(GetParent(Handle(list)), WM_NOTIFY, 0,
                                 reinterpret_cast<LPARAM>(DoubleClickNote(list))));
    }

    std::vector<Row> Rows(const char* list) const {
        std::vector<Row> rows;
        Control control = Find(list);
        for (int row = 0; row < ListViewRowCount(control); ++row) {
            rows.emplace_back(ListViewGetCellText(control, row, 0), ListViewGetCellText(control, row, 1));
        }
        return rows;
    }
    int CurrentPage() const { return TabCurrentPage(Find("选择夹1")); }

    std::unique_ptr<ReaderWindow> reader;

private:
    LVITEMA* SelectionItem(bool selected) {
        LVITEMA& item = items_.emplace_back();
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        return &item;
    }
    NMHDR* DoubleClickNote(const char* list) {
        HWND hwnd = Handle(list);
        return &notes_.emplace_back(
            NMHDR{hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), static_cast<UINT>(NM_DBLCLK)});
    }

    // Posted messages point here: the storage stays put until the test ends.
    std::deque<LVITEMA> items_;
    std::deque<NMHDR> notes_;
};
