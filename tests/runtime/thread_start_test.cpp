#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "runtime/thread_start.h"

namespace {

TEST(StartThreadTest, RunsTheRoutineOnAnotherThreadWithoutWaitingForIt) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> routineThread{0};
    // The routine cannot end before the caller releases it: StartThread
    // returning first shows that nobody waits for the thread.
    ASSERT_TRUE(StartThread([&] {
        routineThread = GetCurrentThreadId();
        WaitForSingleObject(release, INFINITE);
        SetEvent(finished);
    }));
    SetEvent(release);
    ASSERT_EQ(WaitForSingleObject(finished, 10000), WAIT_OBJECT_0);
    EXPECT_NE(routineThread.load(), 0u);
    EXPECT_NE(routineThread.load(), GetCurrentThreadId());
    CloseHandle(release);
    CloseHandle(finished);
}

}  // namespace
