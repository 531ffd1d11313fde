// A double-click on a chapter appends its paragraphs to 编辑框2, each
// followed by a blank line, chapters in the order they were double-clicked.
#include "tests/app/reader_flow_fixture.h"

namespace {

// Rows of the "reading" table of contents.
enum ChapterRow { kTwoParagraphs, kLineFeedsOnly, kEntities, kSingleBreakAtEnd, kSlowTwoParagraphs, kNext, kDead };

const Text kTwoParagraphsText = "第一段文字。\r\n\r\n第二段，文字！\r\n\r\n";
const Text kNextText = "下一章正文\r\n\r\n";

class ChapterTextFlowTest : public ReaderFlowTest {
protected:
    void SetUp() override {
        ReaderFlowTest::SetUp();
        SetNovelRows({Books("novel/reading")});
        SelectAndDoubleClick("超级列表框_类别", 0);
        ASSERT_TRUE(PumpUntil([&] { return CurrentPage() == 1 && Rows("超级列表框_目录").size() == 7; }));
    }
    Text ChapterText() const { return EditGetText(Find("编辑框2")); }
};

TEST_F(ChapterTextFlowTest, AppendsEachParagraphAsThePageHasIt) {
    struct Case {
        const char* name;
        int row;
        Text appended;
    };
    const Case cases[] = {
        {"two paragraphs with CR LF breaks", kTwoParagraphs, kTwoParagraphsText},
        {"breaks of a lone line feed", kLineFeedsOnly, ""},
        {"entities stay as written", kEntities, "他说&ldquo;你好&rdquo;&amp;再见\r\n\r\n"},
        {"a last paragraph with a single break", kSingleBreakAtEnd, "正文段落\r\n\r\n"},
        {"a chapter that cannot be fetched", kDead, ""},
        {"no row selected", -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Text before = ChapterText();
        SelectAndDoubleClick("超级列表框_目录", c.row);
        EXPECT_EQ(ChapterText(), before + c.appended);
    }
}

TEST_F(ChapterTextFlowTest, ChaptersReadInARowFollowEachOther) {
    SelectAndDoubleClick("超级列表框_目录", kTwoParagraphs);
    SelectAndDoubleClick("超级列表框_目录", kNext);
    EXPECT_EQ(ChapterText(), kTwoParagraphsText + kNextText);
}

TEST_F(ChapterTextFlowTest, ChapterDoubleClickedWhileAnotherLoadsAppendsAfterIt) {
    // The second double-click waits in the queue; the first chapter's fetch
    // dispatches it, and its page arrives long before the slow first one.
    PostSelectAndDoubleClick("超级列表框_目录", kNext);
    SelectAndDoubleClick("超级列表框_目录", kSlowTwoParagraphs);
    PumpFor(200);
    EXPECT_EQ(ListViewSelectedRow(Find("超级列表框_目录")), kNext);  // it ran
    EXPECT_EQ(ChapterText(), kTwoParagraphsText + kNextText);
}

}  // namespace
