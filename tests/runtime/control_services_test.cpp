// Control services on a small two-page window, from the window's own thread
// and from a worker while the window's thread pumps.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <vector>

#include "runtime/control_services.h"
#include "runtime/thread_start.h"
#include "runtime/window_runtime.h"
#include "tests/runtime/pump_until.h"
#include "tests/runtime/test_form.h"

namespace {

class ControlServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartRuntime();
        TestFormHandlers handlers;
        handlers.onListDoubleClicked = [this] {
            ++doubleClicks;
            rowSeenByHandler = ListViewSelectedRow(Find("列表一"));
        };
        handlers.onButtonClicked = [this] { ++buttonClicks; };
        window = LoadWindow(MakeTestForm(handlers));
        ASSERT_TRUE(window.IsOpen());
    }
    void TearDown() override {
        UnloadWindow(window);
        DropQuitMessage();
    }
    Control Find(const char* name) const { return window.Find(name); }

    // Runs work on a worker thread and pumps this thread until it is done.
    void RunOnWorker(std::function<void()> work) {
        std::atomic<bool> done{false};
        ASSERT_TRUE(StartThread([&] {
            work();
            done = true;
        }));
        ASSERT_TRUE(PumpUntil([&] { return done.load(); }, 30000));
    }

    // Visible flag as the user sees it: shown by the page logic.
    bool Shown(const char* name) const { return IsWindowVisible(Find(name).Handle()) != FALSE; }

    Window window;
    int doubleClicks = 0;
    int buttonClicks = 0;
    int rowSeenByHandler = -2;
};

TEST_F(ControlServicesTest, UnknownNamesGiveEmptyHandlesThatEveryServiceRefuses) {
    Control missing = Find("没有这个控件");
    EXPECT_FALSE(missing.IsValid());
    EXPECT_EQ(ListViewAppendRow(missing), -1);
    EXPECT_EQ(ListViewGetCellText(missing, 0, 0), "");
    EXPECT_EQ(ListViewSelectedRow(missing), -1);
    EXPECT_FALSE(LabelSetText(missing, "x"));
    EXPECT_EQ(LabelGetText(missing), "");
    EXPECT_FALSE(TabSelectPage(missing, 1));
    // A service of another kind of control refuses too.
    EXPECT_EQ(ListViewAppendRow(Find("标签")), -1);
    EXPECT_FALSE(EditAppendText(Find("列表一"), "x"));
}

TEST_F(ControlServicesTest, WorkerThreadFillsAndReadsListsAndLabels) {
    Control list = Find("列表一");
    Control label = Find("隐藏标签");
    std::vector<int> rows;
    std::vector<Text> cells;
    Text labelRead;
    RunOnWorker([&] {
        for (int i = 0; i < 3; ++i) {
            int row = ListViewAppendRow(list);
            rows.push_back(row);
            ListViewSetCellText(list, row, 0, "名称" + std::to_string(i));
            ListViewSetCellText(list, row, 1, "http://example/" + std::to_string(i) + ".html");
        }
        for (int i = 0; i < 3; ++i) {
            cells.push_back(ListViewGetCellText(list, i, 0));
            cells.push_back(ListViewGetCellText(list, i, 1));
        }
        LabelSetText(label, "http://example/目录/");
        labelRead = LabelGetText(label);
    });
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(cells, (std::vector<Text>{"名称0", "http://example/0.html", "名称1", "http://example/1.html", "名称2",
                                        "http://example/2.html"}));
    EXPECT_EQ(labelRead, "http://example/目录/");
    // The label's window holds the text too, and the hidden label stays hidden.
    char shown[64] = {};
    GetWindowTextA(label.Handle(), shown, sizeof shown);
    EXPECT_STREQ(shown, "http://example/目录/");
    EXPECT_FALSE(Shown("隐藏标签"));

    RunOnWorker([&] { ListViewDeleteAllRows(list); });
    EXPECT_EQ(ListViewRowCount(list), 0);
    EXPECT_EQ(ListViewGetCellText(list, 0, 0), "");
}

TEST_F(ControlServicesTest, WorkerSelectsPagesClampedAndOnlyTheCurrentPageShows) {
    struct Case {
        int requested;
        int expected;
    };
    const Case cases[] = {{1, 1}, {0, 0}, {5, 1}, {-3, 0}, {2, 1}, {-1, 0}};
    Control tab = Find("选择夹");
    for (const Case& c : cases) {
        SCOPED_TRACE("page " + std::to_string(c.requested));
        int current = -2;
        RunOnWorker([&] {
            TabSelectPage(tab, c.requested);
            current = TabCurrentPage(tab);
        });
        EXPECT_EQ(current, c.expected);
        bool first = c.expected == 0;
        EXPECT_EQ(Shown("列表一"), first);
        EXPECT_EQ(Shown("按钮"), first);
        EXPECT_EQ(Shown("单行框"), first);
        EXPECT_EQ(Shown("标签"), first);
        EXPECT_FALSE(Shown("隐藏标签"));
        EXPECT_EQ(Shown("列表二"), !first);
        EXPECT_EQ(Shown("多行框"), !first);
    }
}

TEST_F(ControlServicesTest, ClickingAPageCaptionShowsThatPage) {
    HWND tab = Find("选择夹").Handle();
    RECT item{};
    ASSERT_TRUE(SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)));
    LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tab, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(PumpUntil([&] { return TabCurrentPage(Find("选择夹")) == 1; }, 3000));
    EXPECT_TRUE(Shown("列表二"));
    EXPECT_TRUE(Shown("多行框"));
    EXPECT_FALSE(Shown("列表一"));
    EXPECT_FALSE(Shown("标签"));
    EXPECT_FALSE(Shown("隐藏标签"));
}

TEST_F(ControlServicesTest, DoubleClickOnARowAndButtonClickRunTheirHandlers) {
    Control list = Find("列表一");
    for (int i = 0; i < 3; ++i) ListViewSetCellText(list, ListViewAppendRow(list), 0, "行");
    EXPECT_EQ(ListViewSelectedRow(list), -1);
    RECT row{};
    row.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageA(list.Handle(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
    LPARAM at = MAKELPARAM(row.left + 10, (row.top + row.bottom) / 2);
    PostMessageA(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list.Handle(), WM_LBUTTONUP, 0, at);
    PostMessageA(list.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list.Handle(), WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(PumpUntil([&] { return doubleClicks > 0; }, 3000));
    EXPECT_EQ(rowSeenByHandler, 1);
    EXPECT_EQ(ListViewSelectedRow(list), 1);

    SendMessageA(Find("按钮").Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(buttonClicks, 1);
}

TEST_F(ControlServicesTest, CellTextOfAnyLengthComesBackWhole) {
    Control list = Find("列表一");
    int row = ListViewAppendRow(list);
    ASSERT_EQ(row, 0);
    // Lengths around the first buffer sizes, with double-byte characters that
    // straddle the ends of the buffers.
    std::vector<Text> texts;
    for (std::size_t bytes : {253u, 254u, 255u, 256u, 257u, 511u, 512u, 10000u}) {
        Text odd = "a";
        while (odd.size() + 2 <= bytes) odd += "汉";
        while (odd.size() < bytes) odd += "z";
        texts.push_back(odd);
        Text ascii(bytes, 'q');
        ascii.back() = 'Q';
        texts.push_back(ascii);
    }
    for (const Text& text : texts) {
        SCOPED_TRACE("bytes " + std::to_string(text.size()));
        ASSERT_TRUE(ListViewSetCellText(list, row, 1, text));
        EXPECT_EQ(ListViewGetCellText(list, row, 1), text);
    }
    EXPECT_EQ(ListViewGetCellText(list, -1, 1), "");
    EXPECT_EQ(ListViewGetCellText(list, 1, 0), "");
    EXPECT_FALSE(ListViewSetCellText(list, -1, 0, "x"));
}

TEST_F(ControlServicesTest, EditAppendTextAddsAtTheEndAndNeverReplaces) {
    for (const char* name : {"单行框", "多行框"}) {
        SCOPED_TRACE(name);
        Control edit = Find(name);
        SetWindowTextA(edit.Handle(), "甲乙abc");
        // A selection the user made must not be replaced by the new text.
        SendMessageA(edit.Handle(), EM_SETSEL, 0, -1);
        EXPECT_TRUE(EditAppendText(edit, "丙丁"));
        RunOnWorker([&] { EditAppendText(edit, "戊"); });
        EXPECT_EQ(EditGetText(edit), "甲乙abc丙丁戊");
        DWORD start = 0, end = 0;
        SendMessageA(edit.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, end);
        EXPECT_EQ(static_cast<int>(end), GetWindowTextLengthW(edit.Handle()));
    }
}

TEST_F(ControlServicesTest, EditsTakeTextBeyondTheDefaultLimit) {
    Control edit = Find("多行框");
    Text line(1000, 'x');
    line += "\r\n";
    RunOnWorker([&] {
        for (int i = 0; i < 40; ++i) EditAppendText(edit, line);
    });
    EXPECT_EQ(EditGetText(edit).size(), 40u * line.size());
}

// Many chapters, some paragraphs with line ends other than CR LF (which a
// rich edit would read back as CR LF), appended from both threads while a
// selection is set: the box reads back exactly what was appended, in order.
TEST_F(ControlServicesTest, MultiLineBoxReadsBackExactlyTheAppendedText) {
    Control edit = Find("多行框");
    const Text paragraphs[] = {"第一段，正文。", "甲\n乙", "丙\r丁", "末尾回车\r", "\n开头换行",
                               "戊\r\r\n己", "庚\n\r辛", "abc\tdef"};
    Text expected;
    for (int chapter = 0; chapter < 30; ++chapter) {
        SendMessageA(edit.Handle(), EM_SETSEL, 0, 5);
        for (const Text& paragraph : paragraphs) {
            Text piece = paragraph + "\r\n\r\n";
            ASSERT_TRUE(EditAppendText(edit, piece));
            expected += piece;
        }
        Text fromWorker = "第" + std::to_string(chapter) + "章\r\n";
        RunOnWorker([&] { EditAppendText(edit, fromWorker); });
        expected += fromWorker;
        if (chapter % 10 == 0) {
            ASSERT_EQ(EditGetText(edit), expected);
        }
    }
    EXPECT_EQ(EditGetText(edit), expected);
    // A text set directly replaces all, its line ends kept as well.
    SetWindowTextA(edit.Handle(), "新\r文\n本\r\n");
    EditAppendText(edit, "续\n");
    EXPECT_EQ(EditGetText(edit), "新\r文\n本\r\n续\n");
}

TEST_F(ControlServicesTest, ListFilledOnAHiddenPageStaysHiddenWhenRedrawReturns) {
    Control shownList = Find("列表一");
    Control hiddenList = Find("列表二");
    RunOnWorker([&] {
        for (int i = 0; i < 50; ++i) {
            ListViewSetCellText(shownList, ListViewAppendRow(shownList), 0, "甲");
            ListViewSetCellText(hiddenList, ListViewAppendRow(hiddenList), 0, "乙");
        }
    });
    PumpFor(400);  // the lists are left alone: redraw comes back
    EXPECT_TRUE(Shown("列表一"));
    EXPECT_FALSE(Shown("列表二"));
    EXPECT_EQ(ListViewRowCount(shownList), 50);
    EXPECT_EQ(ListViewRowCount(hiddenList), 50);
    TabSelectPage(Find("选择夹"), 1);
    EXPECT_FALSE(Shown("列表一"));
    EXPECT_TRUE(Shown("列表二"));
}

}  // namespace
