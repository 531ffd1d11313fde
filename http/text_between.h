#pragma once
// The text between two markers.
#include "text/gbk_text.h"

// The text after the first startMarker (searched from character position
// startPosition, counted from 1; below 1 means from the start) up to, not
// including, the first endMarker after it; "" when either is missing. In both
// markers "#引号" stands for a double quote. Double-byte aware; with
// ignoreCase only ASCII letters fold.
Text TextBetween(const Text& full, const Text& startMarker, const Text& endMarker, int startPosition = 0,
                 bool ignoreCase = false);
