#include "app/reader_form.h"

namespace {

// The statement shown beside the lists, paragraphs separated by a blank line.
Text ReaderStatement() {
    const char* paragraphs[] = {
        "[软件声明]",
        "※本软件用C++编写，如被杀毒软件误报，请自行信任或删除。",
        "※软件内资源来自于互联网,我只是为了更多人方便使用，做了一个简单的整合,如果侵犯某些公司利益,请联系我删除。",
        "※软件只供娱乐以及技术交流,请于下载24小时之后自行删除。",
        "※更多软件与教程请到青禾书坊论坛。",
        "※论坛：qinghe.example",
        "※作者论坛ID：禾苗",
    };
    Text statement;
    for (const char* paragraph : paragraphs) {
        if (!statement.empty()) statement += "\r\n\r\n";
        statement += paragraph;
    }
    return statement;
}

constexpr int kGb2312Charset = 134;  // GB2312_CHARSET

}  // namespace

WindowForm MakeReaderWindowForm() {
    using namespace ControlFlag;
    WindowForm form;
    form.name = "ReaderWindow";
    form.title = "青禾小说阅读器  青禾书坊 · qinghe.example";
    form.width = 573;
    form.height = 489;
    form.centred = true;
    form.x = 50;  // stored position, unused while the window opens centred
    form.y = 50;
    form.tab = {"选择夹1", 1, 1, 566, 461, {"小说分类", "在线阅读"}, {}};

    constexpr int kCategories = 0;
    constexpr int kReading = 1;

    ControlForm searchCaption{"透明标签2", ControlKind::Label, kCategories, 6, 25, 104, 32, "输入要搜索的小说:", Visible};
    ControlForm searchBox{"编辑框3", ControlKind::Edit, kCategories, 113, 28, 219, 29, "", Visible | TabStop};
    ControlForm searchButton{"按钮1", ControlKind::PushButton, kCategories, 333, 27, 73, 29, "搜索", Visible | TabStop};
    searchButton.event = ControlEvent::Clicked;

    ControlForm statement{"透明标签4", ControlKind::Label, kCategories, 409, 28, 151, 367, ReaderStatement(), Visible};
    statement.font = {14, 400, kGb2312Charset};

    ControlForm categories{"超级列表框_分类", ControlKind::ListView, kCategories, 2, 66, 107, 391, "",
                           Visible | TabStop | GridLines};
    categories.columns = {{"分类", 100}, {"链接", 1}};
    categories.event = ControlEvent::DoubleClicked;

    ControlForm novels{"超级列表框_类别", ControlKind::ListView, kCategories, 111, 66, 293, 391, "", Visible | TabStop};
    novels.columns = {{"作品链接", 0}, {"图片链接", 0}, {"作品名称（全）", 160}, {"作者", 110}};
    novels.event = ControlEvent::DoubleClicked;

    // Never shown: its text hands an address from one thread to another.
    ControlForm handOver{"透明标签3", ControlKind::Label, kCategories, 283, 2, 240, 19, "", 0};

    ControlForm contents{"超级列表框_目录", ControlKind::ListView, kReading, 3, 23, 175, 433, "",
                         Visible | TabStop | ClickableHeader};
    contents.columns = {{"目录", 150}, {"链接", 0}};
    contents.event = ControlEvent::DoubleClicked;

    ControlForm chapterText{"编辑框2", ControlKind::Edit, kReading, 181, 23, 380, 433, "",
                            Visible | TabStop | MultiLine | ReadOnly | VerticalScroll};
    chapterText.font = {16, 400, kGb2312Charset};

    form.controls = {searchCaption, searchBox, searchButton, statement, categories,
                     novels,        handOver,  contents,     chapterText};
    return form;
}
