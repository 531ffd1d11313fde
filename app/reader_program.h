#pragma once
// The reader's start-up on the main thread and its program-wide state.
#include "app/site_catalogue.h"
#include "text/gbk_text.h"

// The page text of the most recent search; empty at start.
extern Text lastSearchPage;

// Runs the program against the given site: start-up, the window, the message
// loop until the window is closed. Returns 0. The registered exit routines
// run after it returns.
int ProgramMain(const SiteCatalogue& catalogue);

// Creates ReaderWindow (which lists the categories) and returns 0.
int StartReader();

// Runs at program end: releases what the program still holds.
void ReaderExitRoutine();
