// The novels of a category: double-clicking a row of 超级列表框_分类 lists
// the category page's novels in 超级列表框_类别, and a list always shows the
// request made last, also when events run inside a loading one.
#include <gtest/gtest.h>

#include "app/reader_program.h"
#include "app/site_catalogue.h"
#include "tests/app/novel_list_user_input.h"

namespace {

TEST(NovelListPatternTest, IsTheSitesEntryMarkupWithItsLeadingSpace) {
    const Text pattern = SiteCatalogue::NovelListPattern;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < pattern.size(); i += GbkCharLength(pattern, i)) ++characters;
    EXPECT_EQ(characters, 374u);
    EXPECT_EQ(pattern.size(), 377u);  // "作者：" takes two bytes a character
    EXPECT_EQ(pattern[0], ' ');
    EXPECT_TRUE(ContainsText(pattern, "<img  onerror="));
    EXPECT_TRUE(ContainsText(pattern, "</a>作者：<a href="));
    EXPECT_STREQ(SiteCatalogue::SearchPath, "modules/article/search.php?searchkey=");
}

using NovelListFlowTest = NovelListWindowTest;

TEST_F(NovelListFlowTest, DoubleClickedCategoryReplacesTheListWithItsMatchingNovels) {
    struct Case {
        const char* what;
        int row;  // -1: double-click below the rows, nothing selected
        std::vector<NovelRow> expected;
    };
    const Case cases[] = {
        // Alt text as the title, capitals matching, the split entry and the
        // other picture size skipped.
        {"mixed entries", kMixedCategory, MixedRows()},
        {"no entry of the markup", kOtherLayout, {}},
        {"failed fetch", kDeadPortCategory, {}},
        {"nothing selected", -1, {}},
        {"another category", kSmallCategory, SmallRows()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Something to replace.
        DoubleClickCategory(kSlowCategory);
        ASSERT_EQ(NovelRows(*reader), SlowRows());

        DoubleClickCategory(c.row);
        EXPECT_EQ(NovelRows(*reader), c.expected);
        EXPECT_EQ(OtherVisibleWindows(reader->GetWindow().Handle()), 0);  // no message box
        // The category list and its selection are the user's.
        EXPECT_EQ(ListViewRowCount(reader->Find("超级列表框_分类")), 5);
        EXPECT_EQ(ListViewSelectedRow(reader->Find("超级列表框_分类")), c.row);
    }
    // The addresses are in the rows but not to be seen.
    for (int column : {0, 1}) {
        EXPECT_EQ(SendMessageA(Handle("超级列表框_类别"), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0), 0)
            << column;
    }
}

TEST_F(NovelListFlowTest, ListIsEmptyWhileTheCategoryLoads) {
    DoubleClickCategory(kMixedCategory);
    ASSERT_EQ(NovelRows(*reader).size(), 4u);

    // Dispatched by the pumping of the running fetch.
    int rowsWhileLoading = -1;
    QueuedActions queued;
    queued.Post([&] { rowsWhileLoading = ListViewRowCount(reader->Find("超级列表框_类别")); });
    DoubleClickCategory(kSlowCategory);
    EXPECT_EQ(rowsWhileLoading, 0);
    EXPECT_EQ(NovelRows(*reader), SlowRows());
}

// A user event that the fetch of a running category or search dispatches
// runs its handler inside the running one: the list then holds the results
// of that inner request only, and the outer flow adds nothing.
TEST_F(NovelListFlowTest, EventDuringALoadLeavesOnlyTheResultsOfTheRequestMadeLast) {
    struct Case {
        const char* what;
        std::function<void()> first;   // runs synchronously
        std::function<void()> queued;  // dispatched while the first loads
        std::vector<NovelRow> expected;
        Text lastSearchKey;  // "" when no search ran
    };
    const Case cases[] = {
        {"category during a category", [&] { DoubleClickCategory(kSlowCategory); },
         [&] { DoubleClickCategory(kSmallCategory); }, SmallRows(), ""},
        {"search during a category", [&] { DoubleClickCategory(kSlowCategory); },
         [&] { Search("斗破"); }, {Novel(1, "斗破苍穹", "天蚕土豆"), Novel(7, "斗破之后", "佚名")}, "斗破"},
        // The overtaken search is still the last search: its page is kept.
        {"category during a search", [&] { Search("夜"); }, [&] { DoubleClickCategory(kSmallCategory); },
         SmallRows(), "夜"},
        {"search during a search", [&] { Search("夜"); }, [&] { Search("ab"); }, {Novel(8, "abc之旅", "ab作者")},
         "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        lastSearchPage.clear();
        bool firstRunning = false;
        bool queuedRanInside = false;
        QueuedActions queued;
        queued.Post([&] {
            queuedRanInside = firstRunning;
            c.queued();
        });
        firstRunning = true;
        c.first();
        firstRunning = false;
        ASSERT_TRUE(queuedRanInside);
        EXPECT_EQ(NovelRows(*reader), c.expected);
        EXPECT_EQ(TabCurrentPage(reader->Find("选择夹1")), 0);
        if (c.lastSearchKey.empty()) {
            EXPECT_EQ(lastSearchPage, "");
        } else {
            EXPECT_TRUE(ContainsText(lastSearchPage, "<p class=\"key\">" + c.lastSearchKey + "</p>"));
        }
    }
}

}  // namespace
