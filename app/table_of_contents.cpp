#include "app/table_of_contents.h"

#include <vector>

#include "app/site_catalogue.h"
#include "http/http_client.h"
#include "runtime/control_services.h"
#include "runtime/thread_start.h"
#include "text/regex_object.h"

TableOfContentsLoads::TableOfContentsLoads(Controls controls) : controls_(std::move(controls)) {}

int TableOfContentsLoads::StartTocLoad(const Text& novelPage) {
    RegexObject regex;
    regex.Create(SiteCatalogue::NovelPagePattern, novelPage, false, false, true, true);
    int count = regex.MatchCount();
    std::vector<Text> tocAddresses;
    for (int i = 1; i <= count; ++i) tocAddresses.push_back(regex.SubMatchText(i, 1));
    {
        std::lock_guard<std::mutex> lock(handOverMutex_);
        for (const Text& address : tocAddresses) LabelSetText(controls_.handOverLabel, address);
        ++generation_;
    }
    // The worker holds its own reference: the window may be gone before it ends.
    StartThread([loads = shared_from_this()] { loads->TocWorker(); });
    return count;
}

void TableOfContentsLoads::TocWorker() {
    Text address;
    std::uint64_t generation = 0;
    {
        std::lock_guard<std::mutex> lock(handOverMutex_);
        address = LabelGetText(controls_.handOverLabel);
        generation = generation_.load();
    }
    // A newer load has started meanwhile: its worker reads the label itself.
    if (!IsNewest(generation)) return;
    Text page = FetchPage(address);
    FillTableOfContents(page, generation);
}

int TableOfContentsLoads::FillTableOfContents(const Text& page, std::uint64_t generation) {
    std::lock_guard<std::mutex> fill(fillMutex_);
    if (!IsNewest(generation)) return 0;
    RegexObject regex;
    ListViewDeleteAllRows(controls_.chapterList);
    regex.Create(SiteCatalogue::TocPattern, page, false, false, true, true);
    int count = regex.MatchCount();
    int listed = 0;
    for (int i = 1; i <= count; ++i) {
        if (!IsNewest(generation)) return listed;
        int row = ListViewAppendRow(controls_.chapterList);
        ListViewSetCellText(controls_.chapterList, row, 0, regex.SubMatchText(i, 3));
        ListViewSetCellText(controls_.chapterList, row, 1, regex.SubMatchText(i, 1));
        ++listed;
    }
    // Turning the page for an outdated load would only flicker: the newest
    // load turns it when it has filled the list.
    if (IsNewest(generation)) TabSelectPage(controls_.tabs, 1);
    return listed;
}
