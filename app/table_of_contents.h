#pragma once
// Loading a novel's table of contents on a worker thread. The main thread
// hands the address over through the hidden label 透明标签3 and starts a
// worker without argument; the worker fetches the page and refills
// 超级列表框_目录. Loads may overlap (quick double-clicks on different novels):
// every load gets a generation number, and only the newest one may touch the
// list, so the list always ends up holding the chapters of the novel chosen
// last, never a mix.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "runtime/control.h"
#include "text/gbk_text.h"

class TableOfContentsLoads : public std::enable_shared_from_this<TableOfContentsLoads> {
public:
    struct Controls {
        Control handOverLabel;  // 透明标签3
        Control chapterList;    // 超级列表框_目录
        Control tabs;           // 选择夹1
    };

    // Workers keep the object alive through a shared_ptr of their own, so it
    // must be made by std::make_shared.
    explicit TableOfContentsLoads(Controls controls);

    // Main thread. Writes group 1 of every cover block of the novel page into
    // the label (the last one stays; without a match the label keeps its old
    // address), makes this load the newest and starts a worker, in every case.
    // Returns the number of cover blocks.
    int StartTocLoad(const Text& novelPage);

    // Worker thread: takes the address from the label, fetches the table of
    // contents and fills the list if its load is still the newest.
    void TocWorker();

    // Worker thread, on behalf of load `generation`: empties the list, lists
    // one row per chapter link (title, address) and turns to page "在线阅读".
    // Leaves the list alone, or stops filling it, as soon as a newer load
    // exists: the newer one empties and refills it. Returns the number of
    // chapters listed.
    int FillTableOfContents(const Text& page, std::uint64_t generation);

    // The generation of the load started last (0 before the first).
    std::uint64_t NewestGeneration() const { return generation_.load(); }

private:
    bool IsNewest(std::uint64_t generation) const { return generation_.load() == generation; }

    const Controls controls_;
    // Keeps the label's address and the generation a consistent pair: the
    // main thread writes both under it, a worker reads both under it. Held
    // only around the label's stored text, never while waiting for a window.
    std::mutex handOverMutex_;
    std::atomic<std::uint64_t> generation_{0};
    // One fill at a time. Taken by workers only: the window's thread never
    // waits for it, so a worker may hold it while its messages are handled.
    std::mutex fillMutex_;
};
