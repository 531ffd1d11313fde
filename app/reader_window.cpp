#include "app/reader_window.h"

#include "app/reader_form.h"
#include "http/http_client.h"
#include "runtime/control_services.h"
#include "runtime/window_runtime.h"
#include "text/regex_object.h"

namespace {

// Binds handler to the event of the form's control with that name.
void AttachHandler(WindowForm& form, const Text& name, std::function<void()> handler) {
    for (ControlForm& control : form.controls) {
        if (control.name == name) control.handler = std::move(handler);
    }
}

}  // namespace

ReaderWindow::ReaderWindow(SiteCatalogue catalogue) : catalogue_(std::move(catalogue)) {}

ReaderWindow::~ReaderWindow() { UnloadWindow(window_); }

bool ReaderWindow::Load() {
    WindowForm form = MakeReaderWindowForm();
    // The handlers find the controls through window_, so it is set before
    // the creation event runs.
    form.onCreated = [this](const Window& window) {
        window_ = window;
        OnReaderWindowCreated();
    };
    AttachHandler(form, "超级列表框_分类", [this] { OnCategoryDoubleClicked(); });
    AttachHandler(form, "按钮1", [this] { OnSearchClicked(); });
    AttachHandler(form, "超级列表框_类别", [this] { OnNovelDoubleClicked(); });
    AttachHandler(form, "超级列表框_目录", [this] { OnChapterDoubleClicked(); });
    Window loaded = LoadWindow(form);
    if (loaded.IsValid()) window_ = loaded;
    return loaded.IsOpen();
}

void ReaderWindow::OnReaderWindowCreated() {
    Text page = FetchPage(catalogue_.SiteRoot);
    FillCategoryList(page);
}

int ReaderWindow::FillCategoryList(const Text& page) {
    RegexObject regex;
    regex.Create(SiteCatalogue::CategoryPattern, page, false, false, true, true);
    int count = regex.MatchCount();
    Control categories = Find("超级列表框_分类");
    for (int i = 1; i <= count; ++i) {
        int row = ListViewAppendRow(categories);
        ListViewSetCellText(categories, row, 0, regex.SubMatchText(i, 2));
        // The pattern's "." matches any character before "html": the link
        // always ends in ".html", whatever stood there.
        ListViewSetCellText(categories, row, 1, regex.SubMatchText(i, 1) + ".html");
    }
    return count;
}
