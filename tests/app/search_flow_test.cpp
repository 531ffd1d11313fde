// The title search: the text of 编辑框3, sent to the search page when 按钮1
// is clicked, lists the result page's novels in 超级列表框_类别.
#include <gtest/gtest.h>

#include "app/reader_program.h"
#include "tests/app/novel_list_user_input.h"

namespace {

using SearchFlowTest = NovelListWindowTest;

TEST_F(SearchFlowTest, SearchAsksForTheEncodedKeyAndReplacesTheListWithTheResults) {
    struct Case {
        Text key;
        Text query;  // as the search page received it
        std::vector<NovelRow> expected;
    };
    // One after the other: each search replaces the list of the one before.
    const Case cases[] = {
        {"斗破", "searchkey=%B6%B7%C6%C6", {Novel(1, "斗破苍穹", "天蚕土豆"), Novel(7, "斗破之后", "佚名")}},
        {"ab", "searchkey=%61%62", {Novel(8, "abc之旅", "ab作者")}},
        {" 夜 ", "searchkey=%20%D2%B9%20", {}},  // not trimmed
        {"夜", "searchkey=%D2%B9", {Novel(9, "慢慢长夜", "迟到者"), Novel(10, "夜行书生", "迟到者")}},
        {"", "searchkey=", {}},
    };
    Control tab = reader->Find("选择夹1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        // The other page current, as a table-of-contents load may leave it.
        TabSelectPage(tab, 1);
        Search(c.key);
        EXPECT_EQ(NovelRows(*reader), c.expected);
        EXPECT_TRUE(ContainsText(lastSearchPage, "<p class=\"query\">" + c.query + "</p>")) << lastSearchPage;
        EXPECT_EQ(TabCurrentPage(tab), 0);
        EXPECT_EQ(EditGetText(reader->Find("编辑框3")), c.key);
        EXPECT_EQ(OtherVisibleWindows(reader->GetWindow().Handle()), 0);
    }
}

TEST_F(SearchFlowTest, FailedSearchEmptiesTheListAndTheKeptPage) {
    Search("斗破");
    ASSERT_EQ(NovelRows(*reader).size(), 2u);
    ASSERT_NE(lastSearchPage, "");

    // A site where nothing listens.
    ReaderWindow unreachable(SiteCatalogue{"http://127.0.0.1:1/"});
    ASSERT_TRUE(unreachable.Load());
    Control novels = unreachable.Find("超级列表框_类别");
    ListViewSetCellText(novels, ListViewAppendRow(novels), 2, "旧行");
    SearchFor(unreachable.Find("编辑框3").Handle(), unreachable.Find("按钮1").Handle(), "斗破");
    EXPECT_EQ(ListViewRowCount(novels), 0);
    EXPECT_EQ(lastSearchPage, "");
}

}  // namespace
