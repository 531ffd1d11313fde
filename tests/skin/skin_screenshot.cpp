// Opens ReaderWindow in one skin, as the program does at start-up but with
// the skin number given, and saves what it looks like on both pages:
//
//   skin_screenshot.exe NUMBER SITE_ROOT OUT_PREFIX
//
// writes OUT_PREFIX.bmp (page 小说分类, categories listed) and
// OUT_PREFIX-page1.bmp (page 在线阅读). One skin per process: an attached
// skin stays with its thread.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/reader_window.h"
#include "module/skin.h"
#include "runtime/control_services.h"
#include "runtime/window_runtime.h"
#include "tests/runtime/pump_until.h"
#include "window_capture.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: skin_screenshot NUMBER SITE_ROOT OUT_PREFIX\n");
        return 2;
    }
    const int number = std::atoi(argv[1]);
    const std::string prefix = argv[3];

    StartRuntime();
    SkinEngineModule = std::make_unique<MemoryModule>();
    LoadSkinEngine();
    ApplySkin(number);
    ReaderWindow reader(SiteCatalogue{argv[2]});
    if (!reader.Load()) return 1;
    HWND window = reader.GetWindow().Handle();
    PumpUntil([&] { return ListViewRowCount(reader.Find("超级列表框_分类")) > 0; });
    PumpFor(500);
    if (!SaveBitmap(CaptureWindow(window), prefix + ".bmp")) return 1;
    TabSelectPage(reader.Find("选择夹1"), 1);
    PumpFor(300);
    if (!SaveBitmap(CaptureWindow(window), prefix + "-page1.bmp")) return 1;
    return 0;
}
