// The classics library as the reader reads it: a small sample in the
// package's layout, converted by the site when first asked for, served under
// fixture/classics/, and walked with the reader's own flows (category →
// novels → table of contents → chapter, and the title search).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/app/novel_list_user_input.h"

namespace {

const Text kRoot = TestSiteAddress("fixture/classics/");

class ClassicsLibraryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartRuntime(); }

    void SetUp() override {
        reader = std::make_unique<ReaderWindow>(SiteCatalogue{kRoot});
        ASSERT_TRUE(reader->Load());
        ASSERT_TRUE(PumpUntil([&] { return ListViewRowCount(reader->Find("超级列表框_分类")) > 0; }));
    }
    void TearDown() override {
        reader.reset();
        DropQuitMessage();
    }

    HWND Handle(const char* name) const { return reader->Find(name).Handle(); }
    std::vector<Text> Column(const char* list, int column) const {
        Control control = reader->Find(list);
        std::vector<Text> cells;
        for (int row = 0; row < ListViewRowCount(control); ++row) {
            cells.push_back(ListViewGetCellText(control, row, column));
        }
        return cells;
    }
    // Double-clicks a novel row and waits for its table of contents.
    std::vector<Text> OpenNovel(int row) {
        ListViewDeleteAllRows(reader->Find("超级列表框_目录"));
        TabSelectPage(reader->Find("选择夹1"), 0);
        DoubleClickRow(Handle("超级列表框_类别"), row);
        EXPECT_TRUE(PumpUntil([&] {
            return TabCurrentPage(reader->Find("选择夹1")) == 1 && ListViewRowCount(reader->Find("超级列表框_目录")) > 0;
        }));
        return Column("超级列表框_目录", 0);
    }
    Text Work(int id) const { return kRoot + "book/" + std::to_string(id) + ".html"; }
    NovelRow Novel(int id, const Text& title, const Text& author) const {
        return {Work(id), kRoot + "cover/" + std::to_string(id) + ".jpg", title, author};
    }

    std::unique_ptr<ReaderWindow> reader;
};

TEST_F(ClassicsLibraryTest, CategoriesNovelsChaptersAndTextAsConverted) {
    EXPECT_EQ(Column("超级列表框_分类", 0), (std::vector<Text>{"经部", "全唐诗", "全宋词", "蒙学", "杂著"}));
    EXPECT_EQ(Column("超级列表框_分类", 1)[1], kRoot + "sort/2.html");

    struct Case {
        const char* name;
        int category;
        std::vector<NovelRow> novels;
        int novel;
        std::vector<Text> chapters;
        int chapter;
        Text text;
    };
    const Case cases[] = {
        {"the analects: books named after their opening words", 0,
         {Novel(1, "论语", "孔子弟子"), Novel(2, "大学", "曾子"), Novel(3, "诗经", "佚名")}, 0,
         {"学而第一", "为政第二"}, 1,
         "子曰：“为政以德，譬如北辰，居其所而众星共之。”\r\n\r\n子曰：“温故而知新，可以为师矣。”\r\n\r\n"
         "子曰：“学而不思则罔，思而不学则殆。”\r\n\r\n"},
        {"a volume of the Tang collection: author first, a character GBK lacks marked", 1,
         {Novel(4, "全唐诗·卷一", "李世民"), Novel(5, "全唐诗·卷二", "李白等")}, 1,
         {"靜夜思", "春曉·其一"}, 1,
         "作者：孟浩然\r\n\r\n春眠不覺曉，處處聞啼鳥。\r\n\r\n夜來風雨聲，花落知多少□。\r\n\r\n"},
        {"a primer in one chapter", 3, {Novel(7, "三字经", "王應麟")}, 0, {"全文"}, 0,
         "人之初，性本善，性相近，習相遠。\r\n\r\n茍不教，性乃遷，教之道，貴以專。\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DoubleClickRow(Handle("超级列表框_分类"), c.category);
        ASSERT_EQ(NovelRows(*reader), c.novels);
        EXPECT_EQ(OpenNovel(c.novel), c.chapters);
        const Text before = EditGetText(reader->Find("编辑框2"));
        DoubleClickRow(Handle("超级列表框_目录"), c.chapter);
        EXPECT_EQ(EditGetText(reader->Find("编辑框2")), before + c.text);
    }
}

TEST_F(ClassicsLibraryTest, SearchByChineseTitleListsTheWorksAndOpensThem) {
    struct Case {
        Text key;
        std::vector<NovelRow> found;
    };
    const Case cases[] = {
        {"全唐诗", {Novel(4, "全唐诗·卷一", "李世民"), Novel(5, "全唐诗·卷二", "李白等")}},
        {"卷二", {Novel(5, "全唐诗·卷二", "李白等")}},
        {"幽梦影", {Novel(8, "幽梦影", "张潮")}},
        {"红楼梦", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        SearchFor(Handle("编辑框3"), Handle("按钮1"), c.key);
        EXPECT_EQ(NovelRows(*reader), c.found);
    }

    SearchFor(Handle("编辑框3"), Handle("按钮1"), "论语");
    ASSERT_EQ(NovelRows(*reader), (std::vector<NovelRow>{Novel(1, "论语", "孔子弟子")}));
    EXPECT_EQ(OpenNovel(0), (std::vector<Text>{"学而第一", "为政第二"}));
    EXPECT_EQ(Column("超级列表框_目录", 1)[0], kRoot + "book/1/1.html");
}

}  // namespace
