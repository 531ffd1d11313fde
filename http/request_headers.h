#pragma once
// The request header block of a page fetch: the caller's extra header lines,
// then each default line whose probe the block does not already contain.
#include "text/gbk_text.h"

// extraHeaders: lines separated by CR LF (no final CR LF needed), may be empty.
// cookies: sent in a "Cookie: " line when non-empty and not already present.
Text BuildRequestHeaders(const Text& extraHeaders, const Text& cookies);
