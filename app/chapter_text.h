#pragma once
// A chapter's paragraphs appended to the chapter box 编辑框2, chapters in
// the order in which they were asked for.
#include <cstdint>
#include <functional>
#include <map>

#include "runtime/control.h"
#include "text/gbk_text.h"

// Appends each paragraph of the chapter page to the box, each followed by
// "\r\n\r\n", as the page has it (entities and tags kept). Returns the number
// of paragraphs.
int AppendChapterParagraphs(const Control& chapterBox, const Text& page);

// The fetch of a chapter dispatches pending window events, so a second
// chapter double-clicked meanwhile runs its whole flow inside the first one
// and may have its page first. Each request takes a ticket in click order;
// a page handed in ahead of its turn waits until every earlier ticket has
// been handed in, so chapters are appended whole and in click order.
// Window thread only.
class ChapterAppendQueue {
public:
    using Ticket = std::uint64_t;
    using Append = std::function<void(const Text& page)>;

    Ticket TakeTicket() { return nextTicket_++; }

    // Hands in the page fetched for ticket (empty when the fetch failed: it
    // appends nothing but gives up its turn) and appends, in ticket order,
    // every page whose turn has come.
    void HandIn(Ticket ticket, Text page, const Append& append);

private:
    Ticket nextTicket_ = 0;
    Ticket nextToAppend_ = 0;
    std::map<Ticket, Text> waiting_;
    bool appending_ = false;
};
