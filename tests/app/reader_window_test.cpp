// ReaderWindow built against the test site, looked at as the user sees it:
// its window, its controls and the categories it lists when it opens.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/reader_window.h"
#include "runtime/control_services.h"
#include "runtime/event_pump.h"
#include "runtime/window_runtime.h"
#include "tests/support/test_site.h"
#include "tests/runtime/pump_until.h"

namespace {

class ReaderWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartRuntime(); }

    void Open(const Text& siteRoot) {
        reader = std::make_unique<ReaderWindow>(SiteCatalogue{siteRoot});
        ASSERT_TRUE(reader->Load());
        PumpFor(200);  // the filled list gets its redraw back
    }
    void TearDown() override {
        reader.reset();
        DropQuitMessage();
    }

    HWND Handle(const char* name) const { return reader->Find(name).Handle(); }
    bool Shown(const char* name) const { return IsWindowVisible(Handle(name)) != FALSE; }

    std::unique_ptr<ReaderWindow> reader;
};

struct CategoryRow {
    Text name;
    Text link;
};

std::vector<CategoryRow> CategoryRows(const ReaderWindow& reader) {
    Control list = reader.Find("超级列表框_分类");
    std::vector<CategoryRow> rows;
    for (int row = 0; row < ListViewRowCount(list); ++row) {
        rows.push_back({ListViewGetCellText(list, row, 0), ListViewGetCellText(list, row, 1)});
    }
    return rows;
}

TEST_F(ReaderWindowTest, ListsEveryCategoryLinkOfTheRootPageInPageOrder) {
    Open(TestSiteAddress("fixture/categories/"));
    const Text base = TestSiteAddress("fixture/categories");
    // Duplicates stay, capitals match, names keep entities and spaces, and
    // the link ends in ".html" even where the page had "_html".
    const std::vector<CategoryRow> expected = {
        {"玄幻魔法", base + "/sort/1.html"},
        {"武侠修真", base + "/sort/2.html"},
        {"武侠修真", base + "/sort/2.html"},
        {"都市言情", base + "/sort/3.html"},
        {"历史&amp;军事 · 架空 ", base + "/sort/4.html"},
        {"网游竞技", base + "/sort/5.html"},
    };
    std::vector<CategoryRow> rows = CategoryRows(*reader);
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].link, expected[i].link);
    }
    // Nothing else was filled, and the first page is the current one.
    EXPECT_EQ(TabCurrentPage(reader->Find("选择夹1")), 0);
    EXPECT_EQ(ListViewRowCount(reader->Find("超级列表框_类别")), 0);
    EXPECT_EQ(ListViewRowCount(reader->Find("超级列表框_目录")), 0);
    EXPECT_EQ(EditGetText(reader->Find("编辑框2")), "");
    EXPECT_EQ(EditGetText(reader->Find("编辑框3")), "");
    EXPECT_EQ(LabelGetText(reader->Find("透明标签3")), "");
    EXPECT_TRUE(Shown("超级列表框_分类"));
}

struct VisibleWindowSearch {
    HWND reader;
    std::vector<HWND> others;
};

BOOL CALLBACK CollectOtherVisibleWindows(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<VisibleWindowSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) && hwnd != search->reader) {
        search->others.push_back(hwnd);
    }
    return TRUE;
}

TEST_F(ReaderWindowTest, UnreachableSiteOpensTheWindowWithAnEmptyListAndNoMessage) {
    Open(DeadSiteAddress());
    EXPECT_TRUE(reader->GetWindow().IsOpen());
    EXPECT_EQ(ListViewRowCount(reader->Find("超级列表框_分类")), 0);
    // No message box or any other window: the reader's is the only visible
    // top-level window of the process.
    VisibleWindowSearch search{reader->GetWindow().Handle(), {}};
    EnumWindows(CollectOtherVisibleWindows, reinterpret_cast<LPARAM>(&search));
    EXPECT_TRUE(search.others.empty());
    EXPECT_TRUE(IsWindowVisible(search.reader));
}

TEST_F(ReaderWindowTest, WindowIsAFixedCentredFrameWithTheTabControlAsItsOnlyChild) {
    Open(TestSiteAddress("fixture/categories/"));
    HWND window = reader->GetWindow().Handle();
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 573);
    EXPECT_EQ(outer.bottom - outer.top, 489);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 573) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 489) / 2);

    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);

    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "青禾小说阅读器  青禾书坊 · qinghe.example");

    HWND tab = Handle("选择夹1");
    EXPECT_EQ(GetWindow(window, GW_CHILD), tab);
    EXPECT_EQ(GetWindow(tab, GW_HWNDNEXT), nullptr);
    RECT tabRect{};
    GetWindowRect(tab, &tabRect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&tabRect), 2);
    EXPECT_EQ(tabRect.left, 1);
    EXPECT_EQ(tabRect.top, 1);
    EXPECT_EQ(tabRect.right - tabRect.left, 566);
    EXPECT_EQ(tabRect.bottom - tabRect.top, 461);
    EXPECT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    for (int page = 0; page < 2; ++page) {
        char caption[32] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = sizeof caption;
        SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(caption, page == 0 ? "小说分类" : "在线阅读");
    }
}

TEST_F(ReaderWindowTest, ControlsSitOnTheirPagesAndOnlyTheCurrentPageShows) {
    Open(TestSiteAddress("fixture/categories/"));
    struct Placement {
        const char* name;
        int page;
        RECT rect;  // left, top, right, bottom in the tab control
        bool visible;
    };
    const Placement placements[] = {
        {"透明标签2", 0, {6, 25, 110, 57}, true},     {"编辑框3", 0, {113, 28, 332, 57}, true},
        {"按钮1", 0, {333, 27, 406, 56}, true},       {"透明标签4", 0, {409, 28, 560, 395}, true},
        {"超级列表框_分类", 0, {2, 66, 109, 457}, true}, {"超级列表框_类别", 0, {111, 66, 404, 457}, true},
        {"透明标签3", 0, {283, 2, 523, 21}, false},    {"超级列表框_目录", 1, {3, 23, 178, 456}, true},
        {"编辑框2", 1, {181, 23, 561, 456}, true},
    };
    HWND tab = Handle("选择夹1");
    Control tabControl = reader->Find("选择夹1");
    for (int current : {0, 1, 0}) {
        TabSelectPage(tabControl, current);
        PumpFor(100);
        for (const Placement& p : placements) {
            SCOPED_TRACE(std::string(p.name) + " with page " + std::to_string(current));
            HWND hwnd = Handle(p.name);
            ASSERT_NE(hwnd, nullptr);
            EXPECT_EQ(GetParent(hwnd), tab);
            RECT rect{};
            GetWindowRect(hwnd, &rect);
            MapWindowPoints(nullptr, tab, reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_TRUE(EqualRect(&rect, &p.rect));
            EXPECT_EQ(Shown(p.name), p.visible && p.page == current);
        }
    }
}

TEST_F(ReaderWindowTest, ListViewsHaveTheirColumnsAndStyles) {
    Open(TestSiteAddress("fixture/categories/"));
    struct Column {
        const char* list;
        int index;
        const char* title;
        int width;
    };
    const Column columns[] = {
        {"超级列表框_分类", 0, "分类", 100},         {"超级列表框_分类", 1, "链接", 1},
        {"超级列表框_类别", 0, "作品链接", 0},       {"超级列表框_类别", 1, "图片链接", 0},
        {"超级列表框_类别", 2, "作品名称（全）", 160}, {"超级列表框_类别", 3, "作者", 110},
        {"超级列表框_目录", 0, "目录", 150},         {"超级列表框_目录", 1, "链接", 0},
    };
    for (const Column& c : columns) {
        SCOPED_TRACE(std::string(c.list) + " column " + std::to_string(c.index));
        char title[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        ASSERT_TRUE(SendMessageA(Handle(c.list), LVM_GETCOLUMNA, static_cast<WPARAM>(c.index),
                                 reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(title, c.title);
        EXPECT_EQ(column.cx, c.width);
    }
    struct Style {
        const char* list;
        int columnCount;
        bool gridLines;
        bool clickableHeader;
    };
    const Style styles[] = {
        {"超级列表框_分类", 2, true, false},
        {"超级列表框_类别", 4, false, false},
        {"超级列表框_目录", 2, false, true},
    };
    for (const Style& s : styles) {
        SCOPED_TRACE(s.list);
        HWND list = Handle(s.list);
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), s.columnCount);
        LONG style = GetWindowLongA(list, GWL_STYLE);
        EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
        EXPECT_TRUE(style & LVS_SINGLESEL);
        EXPECT_EQ((style & LVS_NOSORTHEADER) == 0, s.clickableHeader);
        DWORD extended = static_cast<DWORD>(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
        EXPECT_EQ((extended & LVS_EX_GRIDLINES) != 0, s.gridLines);
        EXPECT_EQ(extended & LVS_EX_CHECKBOXES, 0u);
    }
}

TEST_F(ReaderWindowTest, TextsFontsAndEditBoxesAreAsTheFormSays) {
    Open(TestSiteAddress("fixture/categories/"));
    char text[64] = {};
    GetWindowTextA(Handle("透明标签2"), text, sizeof text);
    EXPECT_STREQ(text, "输入要搜索的小说:");
    GetWindowTextA(Handle("按钮1"), text, sizeof text);
    EXPECT_STREQ(text, "搜索");

    // Seven paragraphs, a blank line between each two and none at the end.
    Text statement = LabelGetText(reader->Find("透明标签4"));
    std::vector<Text> paragraphs = SplitText(statement, "\r\n\r\n");
    ASSERT_EQ(paragraphs.size(), 7u);
    EXPECT_EQ(paragraphs[0], "[软件声明]");
    EXPECT_EQ(paragraphs[2],
              "※软件内资源来自于互联网,我只是为了更多人方便使用，做了一个简单的整合,如果侵犯某些公司利益,请联系我删除。");
    EXPECT_EQ(paragraphs[3], "※软件只供娱乐以及技术交流,请于下载24小时之后自行删除。");
    for (std::size_t i = 1; i < paragraphs.size(); ++i) EXPECT_TRUE(StartsWithText(paragraphs[i], "※")) << i;
    EXPECT_NE(statement.substr(statement.size() - 1), "\n");

    struct FontCase {
        const char* control;
        int height;  // 0: the default GUI font
    };
    const FontCase fonts[] = {{"编辑框2", 16}, {"透明标签4", 14}, {"编辑框3", 0},
                              {"超级列表框_分类", 0}, {"按钮1", 0}, {"透明标签2", 0}};
    for (const FontCase& f : fonts) {
        SCOPED_TRACE(f.control);
        auto font = reinterpret_cast<HFONT>(SendMessageA(Handle(f.control), WM_GETFONT, 0, 0));
        if (f.height == 0) {
            EXPECT_EQ(font, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
            continue;
        }
        LOGFONTA logFont{};
        ASSERT_TRUE(GetObjectA(font, sizeof logFont, &logFont));
        EXPECT_EQ(std::abs(logFont.lfHeight), f.height);
        EXPECT_EQ(logFont.lfWeight, 400);
        EXPECT_EQ(logFont.lfCharSet, GB2312_CHARSET);
    }

    LONG chapterStyle = GetWindowLongA(Handle("编辑框2"), GWL_STYLE);
    EXPECT_EQ(chapterStyle & (ES_MULTILINE | ES_READONLY), ES_MULTILINE | ES_READONLY);
    EXPECT_EQ(chapterStyle & (WS_HSCROLL | ES_AUTOHSCROLL), 0);  // long lines wrap
    // The vertical bar is there once the text no longer fits.
    Text lines;
    for (int i = 0; i < 60; ++i) lines += "第" + std::to_string(i) + "行\r\n";
    EditAppendText(reader->Find("编辑框2"), lines);
    ProcessPendingEvents();
    EXPECT_NE(GetWindowLongA(Handle("编辑框2"), GWL_STYLE) & WS_VSCROLL, 0);
    LONG searchStyle = GetWindowLongA(Handle("编辑框3"), GWL_STYLE);
    EXPECT_EQ(searchStyle & (ES_MULTILINE | ES_READONLY), 0);
    for (const char* edit : {"编辑框2", "编辑框3"}) {
        SCOPED_TRACE(edit);
        EXPECT_GT(static_cast<DWORD>(SendMessageA(Handle(edit), EM_GETLIMITTEXT, 0, 0)), 0x10000u);
    }
}

}  // namespace
