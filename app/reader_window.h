#pragma once
// ReaderWindow: the reader's only window, built from its form against one
// catalogue site, with the handlers of its events.
#include <memory>

#include "app/chapter_text.h"
#include "app/site_catalogue.h"
#include "app/table_of_contents.h"
#include "runtime/control.h"
#include "text/gbk_text.h"

class ReaderWindow {
public:
    explicit ReaderWindow(SiteCatalogue catalogue);
    // Closes the window if it is still open.
    ~ReaderWindow();
    ReaderWindow(const ReaderWindow&) = delete;
    ReaderWindow& operator=(const ReaderWindow&) = delete;

    // LoadWindow on the form: creates and shows the window, runs
    // OnReaderWindowCreated and returns. False when the window was not made.
    bool Load();

    const Window& GetWindow() const { return window_; }
    // A control of the form by its name ("超级列表框_分类", "选择夹1", ...).
    Control Find(const Text& name) const { return window_.Find(name); }
    const SiteCatalogue& Catalogue() const { return catalogue_; }

    // Creation event: lists the site's categories.
    void OnReaderWindowCreated();
    // One row of 超级列表框_分类 per category link of the root page, in page
    // order; returns the number of links.
    int FillCategoryList(const Text& page);

    // Double-click on 超级列表框_分类: lists the novels of the selected
    // category in 超级列表框_类别.
    void OnCategoryDoubleClicked();
    // 按钮1 "搜索": lists the novels whose title matches the text of 编辑框3.
    void OnSearchClicked();
    // One row of 超级列表框_类别 per novel entry of a category or search
    // result page (address, cover address, title, author), appended in page
    // order; returns the number of entries. Callers empty the list first.
    int FillNovelList(const Text& page);

    // Double-click on 超级列表框_类别: fetches the selected novel's page and
    // starts loading its table of contents in the background.
    void OnNovelDoubleClicked();
    // Hands the table of contents address found on the novel page over to a
    // new worker; returns the number of cover blocks on the page.
    int StartTocLoad(const Text& page);
    // Fills 超级列表框_目录 from a table of contents page on behalf of the
    // newest load and turns to page "在线阅读"; returns the chapters listed.
    // The workers fill through the loads' record, which outlives the window.
    int FillTableOfContents(const Text& page);
    // Double-click on 超级列表框_目录: appends the selected chapter's
    // paragraphs to 编辑框2.
    void OnChapterDoubleClicked();
    // Appends each paragraph of a chapter page to 编辑框2, each followed by
    // "\r\n\r\n"; returns the number of paragraphs.
    int AppendChapterText(const Text& page);

private:
    SiteCatalogue catalogue_;
    Window window_;
    // 超级列表框_类别 shows the results of the request made last only: each
    // category or search flow takes a number when it starts, and a flow that
    // a newer one overtook during its fetch (FetchPage dispatches user
    // events) adds nothing.
    unsigned novelListRequest_ = 0;
    // The number of the search started last: only its page is kept.
    unsigned lastSearchRequest_ = 0;

    // Shared with the table of contents workers, which may outlive the window.
    std::shared_ptr<TableOfContentsLoads> TocLoads();
    std::shared_ptr<TableOfContentsLoads> tocLoads_;
    // Novel double-clicks in click order: a flow overtaken by a newer
    // double-click during its novel page fetch hands nothing over.
    unsigned novelRequest_ = 0;
    ChapterAppendQueue chapterQueue_;
};
