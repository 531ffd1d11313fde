#include "http/response_headers.h"

namespace {
constexpr std::size_t kStatusLinePrefixCharacters = 9;  // "HTTP/1.1 "
const Text kLocationPrefix = "Location: ";
}  // namespace

Text StatusTextOf(const Text& rawHeaders) {
    std::size_t start = 0;
    for (std::size_t skipped = 0; skipped < kStatusLinePrefixCharacters; ++skipped) {
        if (start >= rawHeaders.size()) return Text();
        start += GbkCharLength(rawHeaders, start);
    }
    std::size_t end = FindText(rawHeaders, "\r\n", start);
    return rawHeaders.substr(start, end == kNotFound ? kNotFound : end - start);
}

Text WithSetCookieNamesNormalized(const Text& rawHeaders) {
    return ReplaceAllText(rawHeaders, "Set-Cookie", "Set-Cookie", true);
}

bool LocationOfLine(const Text& line, Text& value) {
    if (!StartsWithText(line, kLocationPrefix, true)) return false;
    value = line.substr(kLocationPrefix.size());
    return true;
}
