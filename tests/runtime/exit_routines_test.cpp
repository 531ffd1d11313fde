#include <gtest/gtest.h>

#include <string>

#include "runtime/exit_routines.h"

namespace {

std::string ran;
void First() { ran += "1"; }
void Second() { ran += "2"; }
void Third() { ran += "3"; }

TEST(ExitRoutinesTest, RunOnceInRegistrationOrderIgnoringRepeats) {
    ran.clear();
    RegisterExitRoutine(Second);
    RegisterExitRoutine(First);
    RegisterExitRoutine(Second);
    RegisterExitRoutine(Third);
    RegisterExitRoutine(First);
    RunExitRoutines();
    EXPECT_EQ(ran, "213");
    RunExitRoutines();
    EXPECT_EQ(ran, "213");
}

}  // namespace
