#pragma once
// Drives ReaderWindow's novel-list controls as a user does: a row selected
// and the list's double-click notification sent to its parent, a button
// clicked; and events queued so that the pumping of a running fetch
// dispatches them inside the running handler.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/reader_window.h"
#include "runtime/control_services.h"
#include "runtime/window_runtime.h"
#include "tests/runtime/pump_until.h"
#include "tests/support/test_site.h"

// Selects row alone (-1: no row selected).
inline void SelectRow(HWND list, int row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (row < 0) return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Selects row, then notifies the list's parent of a double-click, as the
// list view does for a double-click on that row (or, for -1, below the rows).
inline void DoubleClickRow(HWND list, int row) {
    SelectRow(list, row);
    NMITEMACTIVATE activate{};
    activate.hdr.hwndFrom = list;
    activate.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    activate.hdr.code = static_cast<UINT>(NM_DBLCLK);
    activate.iItem = row;
    SendMessageA(GetParent(list), WM_NOTIFY, activate.hdr.idFrom, reinterpret_cast<LPARAM>(&activate));
}

// Types key into the box (no input method under Wine) and clicks the button.
inline void SearchFor(HWND box, HWND button, const Text& key) {
    SetWindowTextA(box, key.c_str());
    SendMessageA(button, BM_CLICK, 0, 0);
}

// Actions run when the thread's message pumping dispatches them: a posted
// message to a window of their own, queued behind what is already queued.
class QueuedActions {
public:
    QueuedActions() {
        static const ATOM windowClass = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "QueuedActionsWindow";
            return RegisterClassA(&wc);
        }();
        window_ = CreateWindowExA(0, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(windowClass)), "", 0, 0, 0,
                                  0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~QueuedActions() { DestroyWindow(window_); }
    QueuedActions(const QueuedActions&) = delete;
    QueuedActions& operator=(const QueuedActions&) = delete;

    void Post(std::function<void()> action) {
        actions_.push_back(std::move(action));
        PostMessageA(window_, WM_APP, actions_.size() - 1, 0);
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_APP) return DefWindowProcA(hwnd, message, wParam, lParam);
        auto* self = reinterpret_cast<QueuedActions*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && wParam < self->actions_.size()) self->actions_[wParam]();
        return 0;
    }

    HWND window_ = nullptr;
    std::deque<std::function<void()>> actions_;
};

// One row of 超级列表框_类别, as the user would read it.
struct NovelRow {
    Text address;
    Text cover;
    Text title;
    Text author;
    bool operator==(const NovelRow&) const = default;
};

inline std::vector<NovelRow> NovelRows(const ReaderWindow& reader) {
    Control list = reader.Find("超级列表框_类别");
    std::vector<NovelRow> rows;
    for (int row = 0; row < ListViewRowCount(list); ++row) {
        rows.push_back({ListViewGetCellText(list, row, 0), ListViewGetCellText(list, row, 1),
                        ListViewGetCellText(list, row, 2), ListViewGetCellText(list, row, 3)});
    }
    return rows;
}

// The row of novel number n of the novels fixture site at root.
inline NovelRow FixtureNovel(const Text& root, int n, const Text& title, const Text& author) {
    const Text number = std::to_string(n);
    return {root + "book/" + number + "/", root + "cover/" + number + ".jpg", title, author};
}

inline void PrintTo(const NovelRow& row, std::ostream* os) {
    *os << "{" << row.address << ", " << row.cover << ", " << row.title << ", " << row.author << "}";
}

struct OtherWindowSearch {
    HWND own;
    int count;
};

inline BOOL CALLBACK CountOtherVisibleWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<OtherWindowSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) && hwnd != search->own) ++search->count;
    return TRUE;
}

// Visible top-level windows of this process other than own (a message box
// would be one).
inline int OtherVisibleWindows(HWND own) {
    OtherWindowSearch search{own, 0};
    EnumWindows(CountOtherVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

// A ReaderWindow open on the novels fixture site, whose root lists the
// categories (rows of 超级列表框_分类):
enum FixtureCategory {
    kMixedCategory = 0,     // novels 1, 2, 3, 6 match; 4 (split) and 5 (picture size) do not
    kSmallCategory = 1,     // novels 7, 8
    kSlowCategory = 2,      // novels 9, 10, answered late
    kOtherLayout = 3,       // no entry of the right markup
    kDeadPortCategory = 4,  // nothing listens there
};

class NovelListWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartRuntime(); }

    void SetUp() override {
        reader = std::make_unique<ReaderWindow>(SiteCatalogue{root});
        ASSERT_TRUE(reader->Load());
        PumpFor(100);
        ASSERT_EQ(ListViewRowCount(reader->Find("超级列表框_分类")), 5);
    }
    void TearDown() override {
        reader.reset();
        DropQuitMessage();
    }

    HWND Handle(const char* name) const { return reader->Find(name).Handle(); }
    void DoubleClickCategory(int row) { DoubleClickRow(Handle("超级列表框_分类"), row); }
    void Search(const Text& key) { SearchFor(Handle("编辑框3"), Handle("按钮1"), key); }
    NovelRow Novel(int n, const Text& title, const Text& author) const {
        return FixtureNovel(root, n, title, author);
    }

    // The rows of the categories with matches, in page order.
    std::vector<NovelRow> MixedRows() const {
        return {Novel(1, "斗破苍穹", "天蚕土豆"), Novel(2, "完美世界", "辰东"), Novel(3, "遮天", "辰东"),
                Novel(6, "雪中悍刀行", "烽火戏诸侯")};
    }
    std::vector<NovelRow> SmallRows() const { return {Novel(7, "斗破之后", "佚名"), Novel(8, "abc之旅", "ab作者")}; }
    std::vector<NovelRow> SlowRows() const {
        return {Novel(9, "慢慢长夜", "迟到者"), Novel(10, "夜行书生", "迟到者")};
    }

    const Text root = TestSiteAddress("fixture/novels/");
    std::unique_ptr<ReaderWindow> reader;
};
