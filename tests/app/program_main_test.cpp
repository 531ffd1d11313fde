// The whole start-up as the program runs it: ProgramMain shows the window
// with the categories, returns 0 once the user closes it, and the exit
// routine it registered runs afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "app/reader_program.h"
#include "runtime/exit_routines.h"
#include "runtime/window_runtime.h"
#include "tests/support/test_site.h"

namespace {

int categoryRowsWhenClosed = -1;
DWORD closeDeadline = 0;

BOOL CALLBACK FindReader(HWND hwnd, LPARAM found) {
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    if (IsWindowVisible(hwnd) && std::string(title).rfind("青禾小说阅读器", 0) == 0) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Plays the user: once the categories are listed, closes the window.
void CALLBACK CloseReaderWhenFilled(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND reader = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindReader, reinterpret_cast<LPARAM>(&reader));
    if (!reader) return;
    HWND tab = GetWindow(reader, GW_CHILD);
    // The category list is the first list view of the form.
    HWND categories = FindWindowExA(tab, nullptr, WC_LISTVIEWA, nullptr);
    int rows = static_cast<int>(SendMessageA(categories, LVM_GETITEMCOUNT, 0, 0));
    if (rows == 0 && GetTickCount() < closeDeadline) return;
    categoryRowsWhenClosed = rows;
    KillTimer(nullptr, timer);
    PostMessageA(reader, WM_CLOSE, 0, 0);
}

TEST(ProgramMainTest, RunsUntilTheWindowIsClosedThenTheExitRoutineReleasesTheSearchPage) {
    lastSearchPage = "<html>上次搜索</html>";
    closeDeadline = GetTickCount() + 20000;
    SetTimer(nullptr, 0, 100, CloseReaderWhenFilled);

    EXPECT_EQ(ProgramMain(SiteCatalogue{TestSiteAddress("fixture/categories/")}), 0);
    EXPECT_EQ(categoryRowsWhenClosed, 6);
    EXPECT_EQ(OpenWindowCount(), 0);
    EXPECT_EQ(lastSearchPage, "<html>上次搜索</html>");

    RunExitRoutines();
    EXPECT_EQ(lastSearchPage, "");
}

}  // namespace
