// LoadWindow and RunMessageLoop: the creation event sees a complete, shown
// window; the loop returns at once without a window and when the last
// window closes.
#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/control_services.h"
#include "runtime/window_runtime.h"
#include "tests/runtime/pump_until.h"
#include "tests/runtime/test_form.h"

namespace {

TEST(WindowLifecycleTest, CreationEventRunsOnceWithEveryControlOfTheShownWindow) {
    StartRuntime();
    int runs = 0;
    bool shownDuringEvent = false;
    int rowDuringEvent = -2;
    WindowForm form = MakeTestForm();
    form.onCreated = [&](const Window& window) {
        ++runs;
        shownDuringEvent = IsWindowVisible(window.Handle()) != FALSE;
        Control list = window.Find("列表一");
        rowDuringEvent = ListViewAppendRow(list);
        ListViewSetCellText(list, rowDuringEvent, 0, "开窗时填入");
    };
    Window window = LoadWindow(form);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(shownDuringEvent);
    EXPECT_EQ(rowDuringEvent, 0);
    EXPECT_EQ(ListViewGetCellText(window.Find("列表一"), 0, 0), "开窗时填入");
    UnloadWindow(window);
    EXPECT_FALSE(window.IsOpen());
    // The handles of a closed window refuse quietly.
    EXPECT_EQ(ListViewAppendRow(window.Find("列表一")), -1);
    DropQuitMessage();
}

TEST(WindowLifecycleTest, MessageLoopReturnsAtOnceWithoutAWindowAndWhenTheLastOneCloses) {
    StartRuntime();
    ASSERT_EQ(OpenWindowCount(), 0);
    RunMessageLoop();  // nothing open: must not block

    Window first = LoadWindow(MakeTestForm());
    Window second = LoadWindow(MakeTestForm());
    ASSERT_EQ(OpenWindowCount(), 2);
    PostMessageA(first.Handle(), WM_CLOSE, 0, 0);
    PostMessageA(second.Handle(), WM_CLOSE, 0, 0);
    RunMessageLoop();
    EXPECT_FALSE(first.IsOpen());
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(OpenWindowCount(), 0);
}

}  // namespace
