#pragma once
// Reading the raw response header block (status line first, one header a
// line, CR LF after each line).
#include "text/gbk_text.h"

// The status of the response: from the 10th character of the block up to the
// first CR LF after it ("200 OK" for "HTTP/1.1 200 OK\r\n...").
Text StatusTextOf(const Text& rawHeaders);

// rawHeaders with every "Set-Cookie", in any letter case, written "Set-Cookie".
Text WithSetCookieNamesNormalized(const Text& rawHeaders);

// When line begins with "Location: " (any letter case), stores the rest of
// the line in value and returns true.
bool LocationOfLine(const Text& line, Text& value);
