#include "runtime/paragraph_breaks.h"

std::wstring ParagraphBreaks::ToBreaks(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c != L'\r' && c != L'\n') {
            out += c;
            continue;
        }
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            ++i;
        } else {
            lone_.emplace_back(breaks_, c);
        }
        out += L"\r\n";
        ++breaks_;
    }
    return out;
}

std::wstring ParagraphBreaks::Restore(std::wstring text) const {
    if (lone_.empty()) return text;
    std::wstring out;
    out.reserve(text.size());
    std::size_t ordinal = 0;
    auto next = lone_.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            if (next != lone_.end() && next->first == ordinal) {
                out += next->second;
                ++next;
            } else {
                out += L"\r\n";
            }
            ++ordinal;
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}
