// ProcessPendingEvents: what is queued is dispatched, nothing is waited for,
// and the quit message stays for the message loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "runtime/event_pump.h"
#include "runtime/thread_start.h"

namespace {

constexpr UINT kRecorded = WM_APP + 7;

std::vector<WPARAM>* recordedMessages = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRecorded && recordedMessages) {
        recordedMessages->push_back(wParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class ProcessPendingEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "RecordingWindow";
        RegisterClassA(&wc);
        window = CreateWindowA("RecordingWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        recordedMessages = &recorded;
        DrainQueue();
    }
    void TearDown() override {
        recordedMessages = nullptr;
        DestroyWindow(window);
        DrainQueue();
    }
    static void DrainQueue() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND window = nullptr;
    std::vector<WPARAM> recorded;
};

TEST_F(ProcessPendingEventsTest, DispatchesEveryQueuedMessageInOrder) {
    for (WPARAM i = 1; i <= 5; ++i) PostMessageA(window, kRecorded, i, 0);
    ProcessPendingEvents();
    EXPECT_EQ(recorded, (std::vector<WPARAM>{1, 2, 3, 4, 5}));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, window, kRecorded, kRecorded, PM_NOREMOVE));
}

TEST_F(ProcessPendingEventsTest, ReturnsOnAnEmptyQueueWithoutWaitingForLaterMessages) {
    HANDLE posted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND target = window;
    StartThread([target, posted] {
        Sleep(300);
        PostMessageA(target, kRecorded, 9, 0);
        SetEvent(posted);
    });
    ProcessPendingEvents();
    // Had it waited, the message of the thread would have been dispatched.
    EXPECT_TRUE(recorded.empty());
    ASSERT_EQ(WaitForSingleObject(posted, 5000), WAIT_OBJECT_0);
    CloseHandle(posted);
    ProcessPendingEvents();
    EXPECT_EQ(recorded, (std::vector<WPARAM>{9}));
}

TEST_F(ProcessPendingEventsTest, LeavesTheQuitMessageQueued) {
    PostMessageA(window, kRecorded, 1, 0);
    PostQuitMessage(3);
    ProcessPendingEvents();
    EXPECT_EQ(recorded, (std::vector<WPARAM>{1}));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
