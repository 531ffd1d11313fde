#include "text/gbk_text.h"

namespace {

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Compares what with full at the character boundary at. Only single-byte
// characters of full fold: the trail byte of a double-byte character may be
// an ASCII letter code, and folding it would confuse two different characters.
bool MatchesAt(const Text& full, std::size_t at, const Text& what, bool ignoreCase) {
    if (full.size() - at < what.size()) return false;
    std::size_t i = 0;
    while (i < what.size()) {
        const std::size_t length = GbkCharLength(full, at + i);
        for (std::size_t k = 0; k < length && i < what.size(); ++k, ++i) {
            unsigned char a = static_cast<unsigned char>(full[at + i]);
            unsigned char b = static_cast<unsigned char>(what[i]);
            const bool fold = ignoreCase && length == 1;
            if (fold ? FoldAscii(a) != FoldAscii(b) : a != b) return false;
        }
    }
    return true;
}

// The first character boundary at or after from.
std::size_t BoundaryAtOrAfter(const Text& full, std::size_t from, std::size_t boundary = 0) {
    while (boundary < from) boundary += GbkCharLength(full, boundary);
    return boundary;
}

// FindText from a position already known to be a character boundary.
std::size_t FindFromBoundary(const Text& full, const Text& what, std::size_t i, bool ignoreCase) {
    for (; i <= full.size(); i += GbkCharLength(full, i)) {
        if (MatchesAt(full, i, what, ignoreCase)) return i;
        if (i == full.size()) break;
    }
    return kNotFound;
}

}  // namespace

bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

std::size_t GbkCharLength(const Text& text, std::size_t index) {
    if (index + 1 < text.size() && IsGbkLeadByte(static_cast<unsigned char>(text[index]))) return 2;
    return 1;
}

std::size_t FindText(const Text& full, const Text& what, std::size_t from, bool ignoreCase) {
    if (from > full.size()) return kNotFound;
    // Walk from the start so that character boundaries are known even when
    // from points into the text.
    return FindFromBoundary(full, what, BoundaryAtOrAfter(full, from), ignoreCase);
}

bool ContainsText(const Text& full, const Text& what, bool ignoreCase) {
    return FindText(full, what, 0, ignoreCase) != kNotFound;
}

bool StartsWithText(const Text& text, const Text& prefix, bool ignoreCase) {
    return MatchesAt(text, 0, prefix, ignoreCase);
}

// Replace and split carry the boundary forward from one hit to the next
// instead of walking from the start each time: long pages with many hits
// would otherwise cost quadratic time.
Text ReplaceAllText(const Text& full, const Text& what, const Text& with, bool ignoreCase) {
    if (what.empty()) return full;
    Text out;
    std::size_t pos = 0, boundary = 0;
    for (;;) {
        std::size_t hit = FindFromBoundary(full, what, boundary, ignoreCase);
        if (hit == kNotFound) break;
        out.append(full, pos, hit - pos);
        out += with;
        pos = hit + what.size();
        boundary = BoundaryAtOrAfter(full, pos, hit);
    }
    out.append(full, pos, kNotFound);
    return out;
}

std::vector<Text> SplitText(const Text& full, const Text& separator) {
    std::vector<Text> pieces;
    if (full.empty()) return pieces;
    if (separator.empty()) return {full};
    std::size_t pos = 0, boundary = 0;
    while (pos < full.size()) {
        std::size_t hit = FindFromBoundary(full, separator, boundary, false);
        if (hit == kNotFound) {
            pieces.push_back(full.substr(pos));
            break;
        }
        pieces.push_back(full.substr(pos, hit - pos));
        pos = hit + separator.size();
        boundary = BoundaryAtOrAfter(full, pos, hit);
    }
    return pieces;
}

bool IsSpaceAt(const Text& text, std::size_t index, std::size_t* length) {
    if (index >= text.size()) return false;
    std::size_t n = 0;
    if (text[index] == ' ') {
        n = 1;
    } else if (index + 1 < text.size() && static_cast<unsigned char>(text[index]) == 0xA1 &&
               static_cast<unsigned char>(text[index + 1]) == 0xA1) {
        n = 2;
    }
    if (length) *length = n;
    return n != 0;
}

Text TrimSpaces(const Text& text) {
    // Find the first and the last non-space character on character boundaries.
    std::size_t begin = kNotFound, end = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 0;
        if (IsSpaceAt(text, i, &n)) {
            i += n;
            continue;
        }
        n = GbkCharLength(text, i);
        if (begin == kNotFound) begin = i;
        end = i + n;
        i += n;
    }
    return begin == kNotFound ? Text() : text.substr(begin, end - begin);
}

Text RemoveSpaces(const Text& text) {
    Text out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 0;
        if (IsSpaceAt(text, i, &n)) {
            i += n;
            continue;
        }
        n = GbkCharLength(text, i);
        out.append(text, i, n);
        i += n;
    }
    return out;
}

Text TextFromBytes(const ByteData& bytes) {
    std::size_t n = 0;
    while (n < bytes.size() && bytes[n] != 0) ++n;
    return Text(reinterpret_cast<const char*>(bytes.data()), n);
}
