#pragma once
// ReaderWindow: the reader's only window, built from its form against one
// catalogue site, with the handlers of its events.
#include "app/site_catalogue.h"
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

private:
    SiteCatalogue catalogue_;
    Window window_;
};
