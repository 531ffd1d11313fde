// Prints how long filling a visible list takes, from the window's thread
// and from a worker while the window's thread pumps (not a test: figures only).
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "runtime/control_services.h"
#include "runtime/thread_start.h"
#include "runtime/window_runtime.h"
#include "tests/runtime/pump_until.h"
#include "tests/runtime/test_form.h"

namespace {

void Fill(const Control& list, int rows) {
    for (int i = 0; i < rows; ++i) {
        int row = ListViewAppendRow(list);
        ListViewSetCellText(list, row, 0, "第" + std::to_string(i) + "章");
        ListViewSetCellText(list, row, 1, "http://127.0.0.1/book/1/" + std::to_string(i) + ".html");
    }
}

}  // namespace

int main() {
    StartRuntime();
    Window window = LoadWindow(MakeTestForm());
    Control list = window.Find("列表一");
    for (int rows : {300, 5000}) {
        ListViewDeleteAllRows(list);
        PumpFor(200);
        DWORD start = GetTickCount();
        Fill(list, rows);
        std::printf("window thread: %d rows in %lu ms\n", rows, GetTickCount() - start);

        ListViewDeleteAllRows(list);
        PumpFor(200);
        std::atomic<bool> done{false};
        start = GetTickCount();
        StartThread([&] {
            Fill(list, rows);
            done = true;
        });
        PumpUntil([&] { return done.load(); }, 600000);
        std::printf("worker thread: %d rows in %lu ms\n", rows, GetTickCount() - start);
    }
    UnloadWindow(window);
    return 0;
}
