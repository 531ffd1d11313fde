#include "http/text_between.h"

namespace {

// Lets a caller write a double quote inside a marker without escaping.
const Text kQuoteWord = "#引号";

// Byte index of the character at position (counted from 1); past the end
// when the text is shorter.
std::size_t ByteIndexOfCharacter(const Text& text, int position) {
    std::size_t index = 0;
    for (int character = 1; character < position && index < text.size(); ++character)
        index += GbkCharLength(text, index);
    return index;
}

}  // namespace

Text TextBetween(const Text& full, const Text& startMarker, const Text& endMarker, int startPosition,
                 bool ignoreCase) {
    const Text start = ReplaceAllText(startMarker, kQuoteWord, "\"");
    const Text end = ReplaceAllText(endMarker, kQuoteWord, "\"");
    const std::size_t from = startPosition < 1 ? 0 : ByteIndexOfCharacter(full, startPosition);
    std::size_t begin = FindText(full, start, from, ignoreCase);
    if (begin == kNotFound) return Text();
    begin += start.size();
    const std::size_t stop = FindText(full, end, begin, ignoreCase);
    if (stop == kNotFound) return Text();
    return full.substr(begin, stop - begin);
}
