// The reader's window as the program opens it, with the carried engine and
// skin 3, against the same window without a skin. An attached skin stays with
// its thread, so the unskinned window is opened and captured by another
// process: skin_screenshot with skin number 0, which ApplySkin ignores.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <utility>
#include <string>

#include "app/reader_window.h"
#include "module/skin.h"
#include "runtime/control_services.h"
#include "runtime/window_runtime.h"
#include "tests/runtime/pump_until.h"
#include "tests/support/test_site.h"
#include "window_capture.h"

namespace {

struct Rect {
    int left, top, right, bottom;
};

// One look at the window: the whole window on page 0 and on page 1, with the
// areas to compare, in window coordinates.
struct ReaderLook {
    WindowCapture page0;
    WindowCapture page1;
    Rect caption{};
    // The tab's page area (below the page captions) and the chapter box.
    Rect pageArea{};
    Rect chapterBox{};
    // Points of the page area that no control of page 0 covers.
    std::vector<POINT> background;
};

Rect InWindow(HWND window, HWND hwnd, bool clientOnly) {
    RECT outer;
    GetWindowRect(window, &outer);
    RECT r;
    if (clientOnly) {
        GetClientRect(hwnd, &r);
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
        GetWindowRect(hwnd, &r);
    }
    return {r.left - outer.left, r.top - outer.top, r.right - outer.left, r.bottom - outer.top};
}

ReaderLook Look(const Text& siteRoot) {
    ReaderLook look;
    auto reader = std::make_unique<ReaderWindow>(SiteCatalogue{siteRoot});
    EXPECT_TRUE(reader->Load());
    HWND window = reader->GetWindow().Handle();
    Control tab = reader->Find("选择夹1");
    // The categories are listed once the window has been created.
    PumpUntil([&] { return ListViewRowCount(reader->Find("超级列表框_分类")) > 0; });
    PumpFor(300);

    // The caption: between the frame's top edge and the client area.
    Rect client = InWindow(window, window, true);
    look.caption = {client.left, 2, client.right, client.top - 1};
    RECT pageRect;
    GetClientRect(tab.Handle(), &pageRect);
    SendMessageA(tab.Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&pageRect));
    MapWindowPoints(tab.Handle(), nullptr, reinterpret_cast<POINT*>(&pageRect), 2);
    RECT outer;
    GetWindowRect(window, &outer);
    look.pageArea = {pageRect.left - outer.left + 2, pageRect.top - outer.top + 2, pageRect.right - outer.left - 2,
                     pageRect.bottom - outer.top - 2};

    look.page0 = CaptureWindow(window);
    for (int y = look.pageArea.top; y < look.pageArea.bottom; y += 3) {
        for (int x = look.pageArea.left; x < look.pageArea.right; x += 3) {
            POINT screen{x + outer.left, y + outer.top};
            bool covered = false;
            for (HWND child = GetWindow(tab.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                RECT r;
                if (!IsWindowVisible(child) || !GetWindowRect(child, &r)) continue;
                InflateRect(&r, 3, 3);
                if (PtInRect(&r, screen)) covered = true;
            }
            if (!covered) look.background.push_back({x, y});
        }
    }

    EXPECT_TRUE(TabSelectPage(tab, 1));
    PumpFor(300);
    EXPECT_EQ(TabCurrentPage(tab), 1);
    look.chapterBox = InWindow(window, reader->Find("编辑框2").Handle(), true);
    look.page1 = CaptureWindow(window);
    reader.reset();
    DropQuitMessage();
    return look;
}

// Share of the rectangle's pixels that differ between the two captures.
double DifferingShare(const WindowCapture& a, const WindowCapture& b, const Rect& r) {
    int differing = 0, total = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            ++total;
            if (a.At(x, y) != b.At(x, y)) ++differing;
        }
    }
    return total ? static_cast<double>(differing) / total : 0.0;
}

// Runs skin_screenshot for the number; its two captures, page 0 and page 1.
std::pair<WindowCapture, WindowCapture> CaptureInOwnProcess(int number, const Text& site) {
    const std::string prefix = "unskinned-" + std::to_string(GetCurrentProcessId());
    // The build's path is a host path: under Wine the host's root is drive Z:.
    std::string program = std::string("Z:") + QH_SKIN_SCREENSHOT_PROGRAM;
    std::replace(program.begin(), program.end(), '/', '\\');
    std::string command = "\"" + program + "\" " + std::to_string(number) + " " + site + " " + prefix;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << command;
        return {};
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(status, 0u) << command;
    std::pair<WindowCapture, WindowCapture> captures{LoadBitmap32(prefix + ".bmp"), LoadBitmap32(prefix + "-page1.bmp")};
    DeleteFileA((prefix + ".bmp").c_str());
    DeleteFileA((prefix + "-page1.bmp").c_str());
    return captures;
}

TEST(SkinnedReaderWindowTest, SkinThreeRedrawsTheCaptionTheBackgroundAndPageOnlineReading) {
    const Text site = TestSiteAddress("fixture/categories/");
    ASSERT_TRUE(StartRuntime());
    // As at start-up: the engine mapped, skin 3 attached, then the window.
    SkinEngineModule = std::make_unique<MemoryModule>();
    LoadSkinEngine();
    ApplySkin(3);
    ReaderLook skinned = Look(site);

    ReaderLook plain = skinned;
    std::tie(plain.page0, plain.page1) = CaptureInOwnProcess(0, site);

    // Same window, same place: the areas line up.
    ASSERT_EQ(plain.page0.width, skinned.page0.width);
    ASSERT_EQ(plain.page0.height, skinned.page0.height);
    ASSERT_GT(plain.caption.bottom - plain.caption.top, 8);
    ASSERT_GT(plain.background.size(), 100u);

    EXPECT_GT(DifferingShare(plain.page0, skinned.page0, plain.caption), 0.8) << "caption";
    int differing = 0;
    for (const POINT& p : plain.background) {
        if (plain.page0.At(p.x, p.y) != skinned.page0.At(p.x, p.y)) ++differing;
    }
    EXPECT_GT(differing, static_cast<int>(plain.background.size() * 8 / 10)) << "background of page 小说分类";

    // Page 在线阅读 after the switch: its area and its chapter box in the skin.
    EXPECT_GT(DifferingShare(plain.page1, skinned.page1, plain.pageArea), 0.5) << "page 在线阅读";
    EXPECT_GT(DifferingShare(plain.page1, skinned.page1, plain.chapterBox), 0.8) << "chapter box";
    // And the switch did redraw the skinned window.
    EXPECT_GT(DifferingShare(skinned.page0, skinned.page1, skinned.pageArea), 0.1);
}

}  // namespace
