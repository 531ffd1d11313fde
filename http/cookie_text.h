#pragma once
// Cookie texts: the received form collected from the response's Set-Cookie
// lines ("a=1; b=2"), and the merged form kept in the caller's cookie
// variable ("a=1;b=2;"). A space is the ASCII space or the GBK full-width
// space; tabs are not spaces.
#include "text/gbk_text.h"

// The name of a cookie item: the text before the first "=" (or the whole
// item), trimmed.
Text CookieName(const Text& item);

// The value of a cookie item: the text after the first "=", untrimmed
// (it may hold "=" itself); "" without "=".
Text CookieValue(const Text& item);

// Collects the received cookies one header line at a time. Starts empty
// whatever was received before.
class ReceivedCookieCollector {
public:
    // A line holding "Set-Cookie" (exact case) adds one item, possibly empty:
    // the text between "Set-Cookie:" and the first ";" after it, or, without
    // ";", the line without any "Set-Cookie:" (any case); trimmed.
    void AddHeaderLine(const Text& line);

    // The items joined by "; ".
    Text Result() const;

private:
    Text collected_;
};

// Merges received into cookies. Both variables lose every space. Then each
// received item sets the value of the first cookie of the same name (exact
// bytes) or is appended; cookies is rebuilt as name=value; items, leaving out
// empty names, empty values and the value "deleted". With received empty,
// cookies only loses its spaces. Returns a copy of the merged text.
Text MergeCookies(Text& cookies, Text& received);
