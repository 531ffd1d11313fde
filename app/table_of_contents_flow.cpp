// A novel's table of contents: a double-click on 超级列表框_类别 fetches the
// novel page here, on the window's thread, and leaves the table of contents
// to a worker.
#include "app/reader_window.h"
#include "http/http_client.h"
#include "runtime/control_services.h"

std::shared_ptr<TableOfContentsLoads> ReaderWindow::TocLoads() {
    if (!tocLoads_) {
        tocLoads_ = std::make_shared<TableOfContentsLoads>(
            TableOfContentsLoads::Controls{Find("透明标签3"), Find("超级列表框_目录"), Find("选择夹1")});
    }
    return tocLoads_;
}

void ReaderWindow::OnNovelDoubleClicked() {
    const unsigned request = ++novelRequest_;
    Control novels = Find("超级列表框_类别");
    int row = ListViewSelectedRow(novels);
    // No selection gives row -1, an empty address and a failed fetch.
    Text address = ListViewGetCellText(novels, row, 0);
    Text page = FetchPage(address);
    // A novel double-clicked while this page was loading has handed its own
    // table of contents over already: it is the one the user chose last.
    if (request != novelRequest_) return;
    StartTocLoad(page);
}

int ReaderWindow::StartTocLoad(const Text& page) { return TocLoads()->StartTocLoad(page); }

int ReaderWindow::FillTableOfContents(const Text& page) {
    std::shared_ptr<TableOfContentsLoads> loads = TocLoads();
    return loads->FillTableOfContents(page, loads->NewestGeneration());
}
