#include "app/chapter_text.h"

#include "app/site_catalogue.h"
#include "runtime/control_services.h"
#include "text/regex_object.h"

int AppendChapterParagraphs(const Control& chapterBox, const Text& page) {
    RegexObject regex;
    regex.Create(SiteCatalogue::ChapterPattern, page, false, false, true, true);
    int count = regex.MatchCount();
    for (int i = 1; i <= count; ++i) EditAppendText(chapterBox, regex.SubMatchText(i, 1) + "\r\n\r\n");
    return count;
}

void ChapterAppendQueue::HandIn(Ticket ticket, Text page, const Append& append) {
    waiting_.emplace(ticket, std::move(page));
    // An append that let events run would re-enter here: the outer call
    // drains the queue, keeping the order.
    if (appending_) return;
    appending_ = true;
    for (auto next = waiting_.find(nextToAppend_); next != waiting_.end(); next = waiting_.find(nextToAppend_)) {
        Text ready = std::move(next->second);
        waiting_.erase(next);
        ++nextToAppend_;
        append(ready);
    }
    appending_ = false;
}
