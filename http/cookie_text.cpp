#include "http/cookie_text.h"

#include <utility>
#include <vector>

#include "http/text_between.h"

namespace {

const Text kItemSeparator = "; ";
const Text kDeletedValue = "deleted";

using CookieList = std::vector<std::pair<Text, Text>>;

// Cut at every ";": two in a row give an empty item, a leading one an empty
// first item, a trailing one nothing after it.
CookieList ParseCookies(const Text& text) {
    CookieList list;
    for (const Text& item : SplitText(text, ";")) list.emplace_back(CookieName(item), CookieValue(item));
    return list;
}

}  // namespace

Text CookieName(const Text& item) {
    const std::size_t equals = FindText(item, "=");
    return TrimSpaces(equals == kNotFound ? item : item.substr(0, equals));
}

Text CookieValue(const Text& item) {
    const std::size_t equals = FindText(item, "=");
    return equals == kNotFound ? Text() : item.substr(equals + 1);
}

void ReceivedCookieCollector::AddHeaderLine(const Text& line) {
    if (!ContainsText(line, "Set-Cookie")) return;
    // Attributes after the first ";" (path, expiry...) are dropped. A line
    // that holds "Set-Cookie" and ";" without "Set-Cookie:" gives an empty item.
    const Text item = ContainsText(line, ";") ? TextBetween(line, "Set-Cookie:", ";")
                                              : ReplaceAllText(line, "Set-Cookie:", "", true);
    collected_ += TrimSpaces(item) + kItemSeparator;
}

Text ReceivedCookieCollector::Result() const {
    return collected_.empty() ? Text() : collected_.substr(0, collected_.size() - kItemSeparator.size());
}

Text MergeCookies(Text& cookies, Text& received) {
    cookies = RemoveSpaces(cookies);
    received = RemoveSpaces(received);
    if (received.empty()) return cookies;

    CookieList merged = ParseCookies(cookies);
    for (auto& [name, value] : ParseCookies(received)) {
        auto same = merged.begin();
        while (same != merged.end() && same->first != name) ++same;
        if (same != merged.end())
            same->second = value;
        else
            merged.emplace_back(name, value);
    }

    Text rebuilt;
    for (const auto& [name, value] : merged) {
        if (name.empty() || value.empty() || value == kDeletedValue) continue;
        rebuilt += name + "=" + value + ";";
    }
    cookies = ReplaceAllText(rebuilt, ";;", ";");
    return cookies;
}
