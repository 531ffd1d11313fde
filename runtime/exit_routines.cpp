#include "runtime/exit_routines.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

std::mutex routinesMutex;
std::vector<ExitRoutine>& Routines() {
    static std::vector<ExitRoutine> routines;
    return routines;
}

}  // namespace

void RegisterExitRoutine(ExitRoutine routine) {
    if (!routine) return;
    std::lock_guard<std::mutex> lock(routinesMutex);
    auto& routines = Routines();
    if (std::find(routines.begin(), routines.end(), routine) == routines.end()) routines.push_back(routine);
}

void RunExitRoutines() {
    std::vector<ExitRoutine> toRun;
    {
        std::lock_guard<std::mutex> lock(routinesMutex);
        toRun.swap(Routines());
    }
    for (ExitRoutine routine : toRun) routine();
}
