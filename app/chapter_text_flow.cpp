// A chapter's text: a double-click on 超级列表框_目录 appends the chapter's
// paragraphs to 编辑框2, after every chapter asked for before it.
#include "app/reader_window.h"
#include "http/http_client.h"
#include "runtime/control_services.h"

void ReaderWindow::OnChapterDoubleClicked() {
    // Taken before the fetch: a chapter double-clicked during it comes after.
    const ChapterAppendQueue::Ticket ticket = chapterQueue_.TakeTicket();
    Control chapters = Find("超级列表框_目录");
    int row = ListViewSelectedRow(chapters);
    // No selection gives row -1, an empty address and a failed fetch.
    Text address = ListViewGetCellText(chapters, row, 1);
    Text page = FetchPage(address);
    chapterQueue_.HandIn(ticket, std::move(page), [this](const Text& ready) { AppendChapterText(ready); });
}

int ReaderWindow::AppendChapterText(const Text& page) { return AppendChapterParagraphs(Find("编辑框2"), page); }
