// The novels of a category: a double-click on 超级列表框_分类 lists them in
// 超级列表框_类别, one row per entry of the category page.
#include "app/reader_window.h"
#include "http/http_client.h"
#include "runtime/control_services.h"
#include "text/regex_object.h"

void ReaderWindow::OnCategoryDoubleClicked() {
    const unsigned request = ++novelListRequest_;
    Control novels = Find("超级列表框_类别");
    // The old list goes first, even when the fetch below fails.
    ListViewDeleteAllRows(novels);
    Control categories = Find("超级列表框_分类");
    int row = ListViewSelectedRow(categories);
    // No selection gives row -1, an empty address and a failed fetch.
    Text address = ListViewGetCellText(categories, row, 1);
    Text page = FetchPage(address);
    // A category or search started while this page was loading owns the list.
    if (request != novelListRequest_) return;
    FillNovelList(page);
}

int ReaderWindow::FillNovelList(const Text& page) {
    RegexObject regex;
    regex.Create(SiteCatalogue::NovelListPattern, page, false, false, true, true);
    int count = regex.MatchCount();
    Control novels = Find("超级列表框_类别");
    for (int i = 1; i <= count; ++i) {
        int row = ListViewAppendRow(novels);
        ListViewSetCellText(novels, row, 0, regex.SubMatchText(i, 1));  // novel page address
        ListViewSetCellText(novels, row, 1, regex.SubMatchText(i, 2));  // cover picture address
        ListViewSetCellText(novels, row, 2, regex.SubMatchText(i, 3));  // title: the cover's alt text
        ListViewSetCellText(novels, row, 3, regex.SubMatchText(i, 8));  // author
    }
    return count;
}
