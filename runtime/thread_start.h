#pragma once
// Starting a routine on a thread of its own.
#include <functional>

// Runs routine on a new thread (default stack size) and returns at once; the
// thread is never waited for. False when the thread could not be started.
bool StartThread(std::function<void()> routine);
