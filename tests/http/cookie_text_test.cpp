// Cookie texts and TextBetween, called directly.
#include <gtest/gtest.h>

#include "http/cookie_text.h"
#include "http/text_between.h"

namespace {

// The GBK full-width space.
const Text kWide = "\xA1\xA1";

TEST(TextBetween, FindsTheTextBetweenTheMarkers) {
    const struct {
        const char* name;
        Text full, start, end;
        int startPosition;
        bool ignoreCase;
        Text expected;
    } cases[] = {
        {"plain", "Set-Cookie: a=1; path=/", "Set-Cookie:", ";", 0, false, " a=1"},
        {"first end marker after the start", "x;Set-Cookie: a;b;", "Set-Cookie:", ";", 0, false, " a"},
        {"quote word in both markers", "<a href=\"/book/1.html\">", "href=#引号", "#引号", 0, false, "/book/1.html"},
        {"quote word twice", "a\"\"b\"\"", "a#引号#引号", "#引号#引号", 0, false, "b"},
        {"start marker missing", "a=1;", "Set-Cookie:", ";", 0, false, ""},
        {"end marker missing", "Set-Cookie: a=1", "Set-Cookie:", ";", 0, false, ""},
        {"case counts by default", "set-cookie: a=1;", "Set-Cookie:", ";", 0, false, ""},
        {"ignoring case", "set-cookie: a=1;", "Set-Cookie:", ";", 0, true, " a=1"},
        {"ignoring case in the end marker", "<b>x</B>", "<b>", "</b>", 0, true, "x"},
        {"empty between", "[]", "[", "]", 0, false, ""},
        // Positions count characters: the Chinese character is position 1.
        {"start position skips the first match", "青x=1;x=2;", "x=", ";", 3, false, "2"},
        {"start position at the match", "青x=1;x=2;", "x=", ";", 2, false, "1"},
        {"start position below 1 is the start", "x=1;x=2;", "x=", ";", -4, false, "1"},
        {"start position past the end", "x=1;", "x=", ";", 99, false, ""},
        // A trail byte and the next lead byte never form a marker.
        {"markers only at character boundaries", "\xB0\xA1\xA1\xB0[k]", "\xA1\xA1", "]", 0, false, ""},
        {"Chinese markers", "书名：青禾；作者", "书名：", "；", 0, false, "青禾"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextBetween(c.full, c.start, c.end, c.startPosition, c.ignoreCase), c.expected);
    }
}

TEST(CookieText, NameAndValueOfAnItem) {
    const struct {
        Text item, name, value;
    } cases[] = {
        {"a=1", "a", "1"},
        {"t=a=b", "t", "a=b"},
        {"flag", "flag", ""},
        {" flag ", "flag", ""},
        {" a = 1 ", "a", " 1 "},
        {kWide + "名" + kWide + "=值", "名", "值"},
        {"\ta=1", "\ta", "1"},  // a tab is no space
        {"=1", "", "1"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(CookieName(c.item), c.name);
        EXPECT_EQ(CookieValue(c.item), c.value);
    }
}

TEST(CookieText, CollectionTakesOneItemPerSetCookieLine) {
    const struct {
        const char* name;
        std::vector<Text> lines;
        Text expected;
    } cases[] = {
        {"no line", {}, ""},
        {"no cookie line", {"HTTP/1.1 200 OK", "Content-Type: text/html", ""}, ""},
        {"attributes dropped", {"Set-Cookie: sid=abc; path=/"}, "sid=abc"},
        {"two lines", {"Set-Cookie: a=1; path=/", "Set-Cookie: b=2"}, "a=1; b=2"},
        {"no semicolon: every marker removed, any case", {"Set-Cookie: a=1 set-cookie:"}, "a=1"},
        {"Set-Cookie2 adds an empty item", {"Set-Cookie: a=1", "Set-Cookie2: c=3; Version=1", "Set-Cookie: b=2"},
         "a=1; ; b=2"},
        // Only the exact spelling qualifies; the fetch normalises the header first.
        {"other spelling does not qualify", {"set-cookie: a=1"}, ""},
        {"full-width spaces trimmed", {"Set-Cookie:" + kWide + "a=1" + kWide + "; path=/"}, "a=1"},
        {"inner space kept", {"Set-Cookie: a=x y; path=/"}, "a=x y"},
        {"empty item at the end keeps its separator", {"Set-Cookie: a=1", "X: Set-Cookie;"}, "a=1; "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReceivedCookieCollector collector;
        for (const Text& line : c.lines) collector.AddHeaderLine(line);
        EXPECT_EQ(collector.Result(), c.expected);
    }
}

TEST(CookieText, MergeRewritesBothVariables) {
    const struct {
        const char* name;
        Text cookies, received;
        Text mergedCookies, spaceFreeReceived;
    } cases[] = {
        {"new value in place, new name appended", "a=1; b=2", "b=3; c=4", "a=1;b=3;c=4;", "b=3;c=4"},
        {"deleted drops the name", "a=1;b=2;", "a=deleted", "b=2;", "a=deleted"},
        {"same name twice: one entry, last value", "", "x=1; x=2", "x=2;", "x=1;x=2"},
        {"given but empty", "", "a=1", "a=1;", "a=1"},
        {"nothing received: spaces removed only", "a=1; b=2", "", "a=1;b=2", ""},
        {"nothing received, even full-width spaces", "a" + kWide + "=1;" + kWide + "b=2", "", "a=1;b=2", ""},
        {"names differ in case", "A=1", "a=2", "A=1;a=2;", "a=2"},
        {"value holding =", "", "t=a=b", "t=a=b;", "t=a=b"},
        {"bare flag left out", "z=1", "flag", "z=1;", "flag"},
        {"space inside a value removed", "", "a=x y", "a=xy;", "a=xy"},
        {"full-width spaces removed", "名=值" + kWide + "1", kWide + "b=2", "名=值1;b=2;", "b=2"},
        {"empty items left out", ";a=1;;b=;", "; ;c=3", "a=1;c=3;", ";;c=3"},
        {"empty value clears an old entry", "a=1;b=2;", "a=", "b=2;", "a="},
        {"deleted is exact", "a=1", "a=Deleted", "a=Deleted;", "a=Deleted"},
        {"first of two old entries takes the value", "a=1;a=2", "a=3", "a=3;a=2;", "a=3"},
        {"double-byte names compared byte for byte", "甲=1", "乙=2;甲=3", "甲=3;乙=2;", "乙=2;甲=3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Text cookies = c.cookies;
        Text received = c.received;
        EXPECT_EQ(MergeCookies(cookies, received), c.mergedCookies);
        EXPECT_EQ(cookies, c.mergedCookies);
        EXPECT_EQ(received, c.spaceFreeReceived);
    }
}

}  // namespace
