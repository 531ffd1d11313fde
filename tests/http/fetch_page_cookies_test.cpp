// Cookies through FetchPage: collected from the answer's Set-Cookie lines and
// merged into the caller's cookie text, against the local site and against
// the scripted WinHTTP.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "fake_winhttp.h"
#include "http/http_client.h"
#include "tests/support/test_site.h"

namespace {

const Text kCallerValue = "(caller)";

// The site's /cookies address answering with these header lines.
Text CookiesAddress(const std::vector<Text>& lines) {
    Text path = "cookies";
    const char* separator = "?";
    for (const Text& line : lines) {
        path += separator;
        path += "set=";
        for (unsigned char c : line) {
            if (std::isalnum(c) || c == '-' || c == '.' || c == '_') {
                path += static_cast<char>(c);
            } else {
                char escaped[4];
                std::snprintf(escaped, sizeof escaped, "%%%02X", c);
                path += escaped;
            }
        }
        separator = "&";
    }
    return TestSiteAddress(path);
}

struct Outcome {
    std::optional<Text> cookies;
    Text receivedCookies = kCallerValue;
    Text page;
};

Outcome Fetch(const Text& url, std::optional<Text> cookies, bool wantReceived = true) {
    Outcome o;
    o.cookies = cookies;
    o.page = FetchPage(url, 0, "", o.cookies ? &*o.cookies : nullptr, wantReceived ? &o.receivedCookies : nullptr);
    return o;
}

TEST(FetchPageCookies, SetCookieLinesAreCollectedAndMerged) {
    const struct {
        const char* name;
        std::vector<Text> lines;
        std::optional<Text> cookies;  // nullopt: omitted
        Text receivedCookies;
        Text cookiesAfter;
    } cases[] = {
        {"no Set-Cookie line clears the caller's text", {}, std::nullopt, "", ""},
        {"attributes dropped", {"Set-Cookie: sid=abc; path=/"}, std::nullopt, "sid=abc", ""},
        {"lower-case spelling", {"set-cookie: sid=abc; path=/"}, std::nullopt, "sid=abc", ""},
        {"two lines", {"Set-Cookie: a=1; path=/", "Set-Cookie: b=2"}, std::nullopt, "a=1; b=2", ""},
        {"Set-Cookie2 adds an empty item",
         {"Set-Cookie: a=1", "Set-Cookie2: c=3; Version=1", "SET-COOKIE: b=2; path=/"}, std::nullopt, "a=1; ; b=2",
         ""},
        {"value with a space, collected", {"Set-Cookie: a=x y; path=/"}, std::nullopt, "a=x y", ""},
        {"merge: new value in place, new name appended", {"Set-Cookie: b=3; path=/", "Set-Cookie: c=4"},
         Text("a=1; b=2"), "b=3;c=4", "a=1;b=3;c=4;"},
        {"merge: deleted drops the name", {"Set-Cookie: a=deleted; expires=Thu, 01 Jan 1970 00:00:01 GMT"},
         Text("a=1;b=2;"), "a=deleted", "b=2;"},
        {"merge: same name twice", {"Set-Cookie: x=1", "Set-Cookie: x=2"}, Text(""), "x=1;x=2", "x=2;"},
        {"merge: given but empty", {"Set-Cookie: a=1; path=/"}, Text(""), "a=1", "a=1;"},
        {"merge: nothing received", {}, Text("a=1; b=2"), "", "a=1;b=2"},
        {"merge: names differ in case", {"Set-Cookie: a=2"}, Text("A=1"), "a=2", "A=1;a=2;"},
        {"merge: value holding =", {"Set-Cookie: t=a=b; path=/"}, Text(""), "t=a=b", "t=a=b;"},
        {"merge: bare flag left out", {"Set-Cookie: flag"}, Text("z=1"), "flag", "z=1;"},
        {"merge: value with a space", {"Set-Cookie: a=x y; path=/"}, Text(""), "a=xy", "a=xy;"},
        {"merge: empty item from Set-Cookie2", {"Set-Cookie: a=1", "Set-Cookie2: c=3; Version=1"}, Text("b=2"),
         "a=1;", "b=2;a=1;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome o = Fetch(CookiesAddress(c.lines), c.cookies);
        EXPECT_EQ(o.page, "cookies");
        EXPECT_EQ(o.receivedCookies, c.receivedCookies);
        if (c.cookies) {
            EXPECT_EQ(*o.cookies, c.cookiesAfter);
        }
    }
}

TEST(FetchPageCookies, MergeRunsWithoutAReceivedCookiesVariable) {
    Outcome o = Fetch(CookiesAddress({"Set-Cookie: b=3; path=/"}), Text("a=1; b=2"), false);
    EXPECT_EQ(o.cookies, Text("a=1;b=3;"));
    EXPECT_EQ(o.receivedCookies, kCallerValue);
}

TEST(FetchPageCookies, CookieJarCarriesForwardBetweenCalls) {
    Text jar;
    FetchPage(CookiesAddress({"Set-Cookie: sid=1; path=/", "Set-Cookie: lang=zh"}), 0, "", &jar);
    FetchPage(CookiesAddress({"Set-Cookie: sid=deleted", "Set-Cookie: seen=yes"}), 0, "", &jar);
    EXPECT_EQ(jar, "lang=zh;seen=yes;");
    Text echoed = FetchPage(TestSiteAddress("echo"), 0, "", &jar);
    EXPECT_TRUE(ContainsText(echoed, "\r\nCookie: lang=zh;seen=yes;\r\n")) << echoed;
    EXPECT_EQ(jar, "lang=zh;seen=yes;");
}

// A cookie that a redirect sets reaches the next request of the chain only
// when the caller keeps cookies: WinHTTP's own cookie handling stays on then.
TEST(FetchPageCookies, StackCookiesLiveOnlyWithinOneCallWithCookiesGiven) {
    const Text redirect = TestSiteAddress("redirect?to=/echo&cookie=hop%3D1");
    const struct {
        const char* name;
        std::optional<Text> cookies;
        std::vector<Text> present, absent;
    } cases[] = {
        {"cookies omitted: the stack keeps nothing", std::nullopt, {}, {"hop=1", "Cookie:"}},
        {"cookies given: the hop's cookie follows the caller's", Text("a=1"), {"\r\nCookie: a=1", "hop=1"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome o = Fetch(redirect, c.cookies);
        EXPECT_TRUE(StartsWithText(o.page, "GET /echo HTTP/1.1\r\n")) << o.page;
        for (const Text& text : c.present) EXPECT_TRUE(ContainsText(o.page, text)) << text << "\n" << o.page;
        for (const Text& text : c.absent) EXPECT_FALSE(ContainsText(o.page, text)) << text << "\n" << o.page;
        // Only the last answer's headers are read: the hop's cookie is not collected.
        EXPECT_EQ(o.receivedCookies, "");
    }
    // Each call has its own session: nothing of the hop is sent by a later call.
    Outcome later = Fetch(TestSiteAddress("echo"), Text("a=1"));
    EXPECT_FALSE(ContainsText(later.page, "hop=1")) << later.page;
}

TEST(FetchPageCookies, FullWidthSpacesAroundItemsAreSpaces) {
    const Text wide = "\xA1\xA1";
    FakeWinHttp fake;
    fake.rawHeaders = "HTTP/1.1 200 OK\r\nSet-Cookie:" + wide + "名=青" + wide + "禾; path=/\r\nSet-Cookie: " +
                      wide + "b=2" + wide + "\r\n\r\n";
    Text cookies = "a=1;" + wide + "b=1";
    Text received = kCallerValue;
    FetchPage("http://127.0.0.1/", 0, "", nullptr, &received);
    EXPECT_EQ(received, "名=青" + wide + "禾; b=2");
    FetchPage("http://127.0.0.1/", 0, "", &cookies, &received);
    EXPECT_EQ(received, "名=青禾;b=2");
    EXPECT_EQ(cookies, "a=1;b=2;名=青禾;");
}

}  // namespace
