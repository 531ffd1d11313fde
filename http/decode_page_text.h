#pragma once
// The character-set step of a page fetch: a page whose first 1024 bytes
// declare a character set other than GBK in a meta tag is decoded from that
// set through the platform's "Adodb.Stream" object and handed back as Text.
#include "text/gbk_text.h"
#include "text/regex_object.h"

// May replace page (the body taken as Text) by the body decoded in its
// declared character set. charsetSearch is the fetch's own RegexObject.
// Pumps the calling thread's messages once when the declaration search ran.
void DecodePageText(RegexObject& charsetSearch, Text& page, const ByteData& body);

// The same step through the stream class registered under streamProgId;
// lets tests check what happens when no such class is registered.
void DecodePageTextThrough(const Text& streamProgId, RegexObject& charsetSearch, Text& page,
                           const ByteData& body);
