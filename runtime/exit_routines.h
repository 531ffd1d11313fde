#pragma once
// Routines that run once when the program ends.

using ExitRoutine = void (*)();

// Routines run in the order of registration; registering one that is already
// registered has no effect.
void RegisterExitRoutine(ExitRoutine routine);

// Runs the registered routines once, in order, and forgets them.
void RunExitRoutines();
