// A double-click on a novel loads its table of contents on a worker thread:
// the window stays usable meanwhile, then 超级列表框_目录 lists the chapters
// and page "在线阅读" is current. Overlapping loads leave the chapters of the
// novel double-clicked last, whatever order the workers finish in.
#include <cstring>

#include "app/site_catalogue.h"
#include "tests/app/reader_flow_fixture.h"

namespace {

using TableOfContentsFlowTest = ReaderFlowTest;
using ChapterRows = std::vector<ReaderFlowTest::Row>;

ChapterRows FirstChapters() {
    // Column 0 shows the link text, also where the title attribute differs.
    return {{"第一章 风起", ReaderFlowTest::Books("chapter/1-1")},
            {"第二章", ReaderFlowTest::Books("chapter/1-2")},
            {"第三章 云涌", ReaderFlowTest::Books("chapter/1-3")}};
}
ChapterRows SecondChapters() {
    return {{"序", ReaderFlowTest::Books("chapter/2-1")}, {"上卷", ReaderFlowTest::Books("chapter/2-2")}};
}
ChapterRows SlowChapters() {
    return {{"慢一", ReaderFlowTest::Books("chapter/3-1")}, {"慢二", ReaderFlowTest::Books("chapter/3-2")},
            {"慢三", ReaderFlowTest::Books("chapter/3-3")}, {"慢四", ReaderFlowTest::Books("chapter/3-4")}};
}
Text DeadTocAddress() { return DeadSiteAddress("toc"); }

TEST(SiteCataloguePatternTest, PatternsHaveTheSitesMarkupToTheCharacter) {
    EXPECT_EQ(std::strlen(SiteCatalogue::NovelPagePattern), 174u);
    EXPECT_NE(std::strstr(SiteCatalogue::NovelPagePattern, "(.*?)\"  class=\"l mr11\""), nullptr);
    EXPECT_EQ(std::strlen(SiteCatalogue::TocPattern), 48u);
    const Text chapter = SiteCatalogue::ChapterPattern;
    EXPECT_EQ(chapter.size(), 46u);
    EXPECT_EQ(chapter.substr(chapter.size() - 17), "<br />\r\\s*<br />\r");
}

TEST_F(TableOfContentsFlowTest, WindowStaysUsableWhileTheChaptersLoad) {
    SetNovelRows({Books("novel/slow")});
    SelectAndDoubleClick("超级列表框_类别", 0);
    // The handler has returned; a queued user action is handled at once,
    // long before the slow table of contents arrives.
    HWND novels = Handle("超级列表框_类别");
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED;
    ASSERT_TRUE(PostMessageA(novels, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear)));
    EXPECT_TRUE(PumpUntil([&] { return ListViewSelectedRow(Find("超级列表框_类别")) == -1; }, 1000));
    EXPECT_EQ(ListViewRowCount(Find("超级列表框_目录")), 0);
    EXPECT_EQ(CurrentPage(), 0);

    ASSERT_TRUE(PumpUntil([&] { return CurrentPage() == 1; }));
    EXPECT_EQ(Rows("超级列表框_目录"), SlowChapters());
}

TEST_F(TableOfContentsFlowTest, EachNovelPageHandsItsTableOfContentsOverOrKeepsThePreviousOne) {
    struct Case {
        const char* novel;
        Text handedOver;  // 透明标签3 afterwards
        ChapterRows chapters;
    };
    const Case cases[] = {
        {"novel/first", Books("toc/first"), FirstChapters()},
        // Two cover blocks: the second one's table of contents.
        {"novel/second", Books("toc/second"), SecondChapters()},
        // No cover block: the label is kept and the previous novel's table
        // of contents is loaded again.
        {"novel/nocover", Books("toc/second"), SecondChapters()},
        // The table of contents cannot be fetched: the list is emptied.
        {"novel/dead", DeadTocAddress(), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.novel);
        // The user is back on the first page, and the list holds a row that
        // every load has to clear away.
        TabSelectPage(Find("选择夹1"), 0);
        Control chapters = Find("超级列表框_目录");
        ListViewDeleteAllRows(chapters);
        ListViewSetCellText(chapters, ListViewAppendRow(chapters), 0, "旧行");

        SetNovelRows({Books(c.novel)});
        SelectAndDoubleClick("超级列表框_类别", 0);
        ASSERT_TRUE(PumpUntil([&] { return CurrentPage() == 1; }));
        EXPECT_EQ(LabelGetText(Find("透明标签3")), c.handedOver);
        EXPECT_EQ(Rows("超级列表框_目录"), c.chapters);
    }
}

TEST_F(TableOfContentsFlowTest, FirstDoubleClickOnTheEmptyAreaShowsAnEmptyChapterList) {
    SetNovelRows({Books("novel/first")});
    SelectAndDoubleClick("超级列表框_类别", -1);
    ASSERT_TRUE(PumpUntil([&] { return CurrentPage() == 1; }));
    EXPECT_EQ(LabelGetText(Find("透明标签3")), "");
    EXPECT_EQ(ListViewRowCount(Find("超级列表框_目录")), 0);
}

TEST_F(TableOfContentsFlowTest, OverlappingLoadsLeaveExactlyTheChaptersOfTheNovelChosenLast) {
    struct Case {
        const char* name;
        Text first;
        Text second;
        bool secondDuringFirstFetch;  // queued before the first novel page arrives
        ChapterRows chapters;
    };
    const Case cases[] = {
        {"slow load first, then a fast one", Books("novel/slow"), Books("novel/first"), false, FirstChapters()},
        {"fast load first, then a slow one", Books("novel/first"), Books("novel/slow"), false, SlowChapters()},
        {"second novel double-clicked while the first novel page loads", Books("novel/first?delay=1000"),
         Books("novel/second"), true, SecondChapters()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TabSelectPage(Find("选择夹1"), 0);
        SetNovelRows({c.first, c.second});
        if (c.secondDuringFirstFetch) {
            PostSelectAndDoubleClick("超级列表框_类别", 1);
            SelectAndDoubleClick("超级列表框_类别", 0);
        } else {
            SelectAndDoubleClick("超级列表框_类别", 0);
            SelectAndDoubleClick("超级列表框_类别", 1);
        }
        EXPECT_TRUE(PumpUntil([&] { return Rows("超级列表框_目录") == c.chapters; }));
        // Long enough for the other load to finish too: it must not touch
        // the list.
        PumpFor(2500);
        EXPECT_EQ(Rows("超级列表框_目录"), c.chapters);
        EXPECT_EQ(CurrentPage(), 1);
    }
}

TEST_F(TableOfContentsFlowTest, ClosingTheWindowWhileAWorkerLoadsEndsQuietly) {
    SetNovelRows({Books("novel/slow")});
    SelectAndDoubleClick("超级列表框_类别", 0);
    Control chapters = Find("超级列表框_目录");
    Control tabs = Find("选择夹1");
    reader.reset();  // window and ReaderWindow gone while the worker fetches
    PumpFor(2500);   // the worker meanwhile fills a list that is no more
    EXPECT_EQ(chapters.Handle(), nullptr);
    EXPECT_EQ(ListViewRowCount(chapters), 0);
    EXPECT_EQ(TabCurrentPage(tabs), -1);
}

}  // namespace
