#include "runtime/thread_start.h"

#include <windows.h>

namespace {

DWORD WINAPI ThreadEntry(LPVOID parameter) {
    auto* routine = static_cast<std::function<void()>*>(parameter);
    (*routine)();
    delete routine;
    return 0;
}

}  // namespace

bool StartThread(std::function<void()> routine) {
    if (!routine) return false;
    auto* owned = new std::function<void()>(std::move(routine));
    HANDLE thread = CreateThread(nullptr, 0, ThreadEntry, owned, 0, nullptr);
    if (!thread) {
        delete owned;
        return false;
    }
    CloseHandle(thread);
    return true;
}
