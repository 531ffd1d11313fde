#pragma once
// The form of ReaderWindow: every control with its page, place, size, text,
// flags and event. Handlers are attached by ReaderWindow.
#include "runtime/window_form.h"

WindowForm MakeReaderWindowForm();
