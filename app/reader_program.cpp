#include "app/reader_program.h"

#include <memory>

#include "app/reader_window.h"
#include "runtime/exit_routines.h"
#include "runtime/window_runtime.h"

Text lastSearchPage;

namespace {

// Made before the window, lives until the process ends.
std::unique_ptr<ReaderWindow> readerWindow;

}  // namespace

void ReaderExitRoutine() {
    lastSearchPage.clear();
    lastSearchPage.shrink_to_fit();
}

int StartReader() {
    if (readerWindow) readerWindow->Load();
    return 0;
}

int ProgramMain(const SiteCatalogue& catalogue) {
    readerWindow = std::make_unique<ReaderWindow>(catalogue);
    // 1. The runtime, OLE included.
    StartRuntime();
    // 2. What has to be released when the program ends.
    RegisterExitRoutine(ReaderExitRoutine);
    // 3. The window, which lists the categories.
    StartReader();
    // 4. Until the last window is closed.
    RunMessageLoop();
    return 0;
}
