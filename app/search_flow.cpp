// The title search: 按钮1 sends the text of 编辑框3 to the site's search
// page and lists the result page's novels in 超级列表框_类别.
#include <utility>

#include "app/reader_program.h"
#include "app/reader_window.h"
#include "app/search_key_encoding.h"
#include "http/http_client.h"
#include "runtime/control_services.h"

void ReaderWindow::OnSearchClicked() {
    const unsigned request = ++novelListRequest_;
    lastSearchRequest_ = request;
    ListViewDeleteAllRows(Find("超级列表框_类别"));
    Text key = EditGetText(Find("编辑框3"));
    Text address = catalogue_.SiteRoot + SiteCatalogue::SearchPath + EncodeSearchKey(key);
    Text page = FetchPage(address);
    // A search started while this page was loading has kept its own page.
    if (request != lastSearchRequest_) return;
    lastSearchPage = std::move(page);
    // A category started meanwhile owns the list: this search is still the
    // last one, so its page is kept, but it shows nothing.
    if (request != novelListRequest_) return;
    FillNovelList(lastSearchPage);
    TabSelectPage(Find("选择夹1"), 0);
}
