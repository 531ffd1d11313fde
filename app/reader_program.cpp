#include "app/reader_program.h"

#include <memory>

#include "app/reader_window.h"
#include "module/skin.h"
#include "runtime/exit_routines.h"
#include "runtime/window_runtime.h"

Text lastSearchPage;

namespace {

// Made before the window, lives until the process ends.
std::unique_ptr<ReaderWindow> readerWindow;

}  // namespace

void ReaderExitRoutine() {
    // 1. The engine's records go; the engine itself stays mapped and
    //    attached until the process ends.
    SkinEngineModule.reset();
    // 2. The last search page.
    lastSearchPage.clear();
    lastSearchPage.shrink_to_fit();
}

int StartReader() {
    // 1. Skin 3, so that the window is created already skinned.
    ApplySkin(3);
    // 2. The window, which lists the categories.
    if (readerWindow) readerWindow->Load();
    return 0;
}

int ProgramMain(const SiteCatalogue& catalogue) {
    readerWindow = std::make_unique<ReaderWindow>(catalogue);
    // 1. The runtime, OLE included.
    StartRuntime();
    // 2. The module that will hold the skin engine.
    SkinEngineModule = std::make_unique<MemoryModule>();
    // 3. What has to be released when the program ends.
    RegisterExitRoutine(ReaderExitRoutine);
    // 4. The skin engine, mapped from the program's own data.
    LoadSkinEngine();
    // 5. The window, skinned, which lists the categories.
    StartReader();
    // 6. Until the last window is closed.
    RunMessageLoop();
    return 0;
}
