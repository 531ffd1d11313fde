#pragma once
// Reads the whole body of a received WinHTTP response.
#include <cstddef>

#include "http/winhttp_api.h"
#include "text/gbk_text.h"

// A 32-bit process must not be driven out of memory by an endless body: past
// this many bytes the read stops as if it had failed.
constexpr std::size_t kMaxResponseBodyBytes = 64u * 1024u * 1024u;

// Appends the body of request to body, chunk by chunk, until WinHTTP has no
// more data. Returns false when a query or a read fails (a connection broken
// mid-body) or more data follows kMaxResponseBodyBytes; what was read until
// then stays in body.
bool ReadResponseBody(const WinHttpApi& api, HINTERNET request, ByteData& body);
