// Request options of FetchPage on the wire: the local site echoes what it
// received, acts as a proxy for absolute request lines, challenges for
// credentials and redirects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http/http_client.h"
#include "http/winhttp_api.h"
#include "tests/support/test_site.h"

namespace {

const Text kCallerValue = "(caller)";
const Text kUserAgent = "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n";
const Text kAccept = "Accept: text/html, application/xhtml+xml, */*\r\n";
const Text kOtherDefaults = "Accept-Encoding: gbk, GB2312\r\nAccept-Language: zh-cn\r\n"
                            "Content-Type: application/x-www-form-urlencoded\r\nCache-Control: no-cache\r\n";
// base64 of "user:pass".
const Text kUserPassBasic = "Basic dXNlcjpwYXNz";

struct Call {
    Text url;
    int method = 0;
    Text body;
    Text extraHeaders;
    bool noRedirect = false;
    Text userName, password, proxy, proxyUserName, proxyPassword;
};

struct Result {
    Text page;
    Text responseHeaders = kCallerValue;
    Text location = kCallerValue;
    Text statusText = kCallerValue;
};

Result Fetch(const Call& call) {
    Result r;
    r.page = FetchPage(call.url, call.method, call.body, nullptr, nullptr, call.extraHeaders, &r.responseHeaders,
                       call.noRedirect, call.userName, call.password, call.proxy, call.proxyUserName,
                       call.proxyPassword, 0, &r.location, &r.statusText, nullptr);
    return r;
}

// The site's address as a proxy name: host and port.
Text SiteAsProxy() {
    Text name = "127.0.0.1:";
    name += std::to_string(TestSitePort());
    return name;
}

// Records what reaches the system's WinHttpOpen and WinHttpSetCredentials.
// Wine's WinHTTP takes a proxy name only as host:port and reads "http=" as
// part of the host; so the session is opened with the scheme prefix left off,
// which for a plain page means the same proxy.
struct Recorded {
    DWORD accessType = 0;
    std::wstring proxyName;
    std::vector<DWORD> credentialTargets;
};
Recorded recorded;

class RecordingWinHttp {
public:
    RecordingWinHttp() : table_(MakeTable()), installed_(table_) { recorded = Recorded(); }

private:
    static WinHttpApi MakeTable() {
        WinHttpApi table = SystemWinHttpApi();
        table.Open = [](LPCWSTR agent, DWORD accessType, LPCWSTR proxyName, LPCWSTR bypass, DWORD flags) WINAPI {
            recorded.accessType = accessType;
            recorded.proxyName = proxyName ? proxyName : L"(null)";
            const std::wstring prefix = L"http=";
            if (proxyName && recorded.proxyName.compare(0, prefix.size(), prefix) == 0) proxyName += prefix.size();
            return SystemWinHttpApi().Open(agent, accessType, proxyName, bypass, flags);
        };
        table.SetCredentials = [](HINTERNET request, DWORD target, DWORD scheme, LPCWSTR user, LPCWSTR password,
                                  LPVOID params) WINAPI {
            recorded.credentialTargets.push_back(target);
            return SystemWinHttpApi().SetCredentials(request, target, scheme, user, password, params);
        };
        return table;
    }
    WinHttpApi table_;
    ScopedWinHttpForTesting installed_;
};

bool EndsWith(const Text& text, const Text& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::wstring Wide(const Text& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

TEST(FetchPageOptionsSite, MethodPicksTheVerbOnTheWireAndAnyMethodSendsTheBody) {
    const struct {
        int method;
        Text body;
        const char* verb;
    } cases[] = {
        {0, "", "GET"}, {1, "a=1&b=2", "POST"}, {3, "z", "PUT"}, {7, "", "GET"}, {-1, "", "GET"}, {0, "q=2", "GET"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method);
        Call call;
        call.url = TestSiteAddress("echo");
        call.method = c.method;
        call.body = c.body;
        Result r = Fetch(call);
        EXPECT_EQ(r.statusText, "200 OK");
        EXPECT_TRUE(StartsWithText(r.page, Text(c.verb) + " /echo HTTP/1.1\r\n")) << r.page;
        // The default Content-Type line goes out with every method.
        EXPECT_TRUE(ContainsText(r.page, "\r\n" + kUserAgent + kAccept + kOtherDefaults)) << r.page;
        if (c.body.empty()) {
            EXPECT_TRUE(EndsWith(r.page, "\r\n\r\n")) << r.page;
        } else {
            EXPECT_TRUE(ContainsText(r.page, "\r\nContent-Length: " + std::to_string(c.body.size()) + "\r\n"))
                << r.page;
            EXPECT_TRUE(EndsWith(r.page, "\r\n\r\n" + c.body)) << r.page;
        }
    }
}

TEST(FetchPageOptionsSite, HeadReturnsTheHeadersWithoutABody) {
    Call call;
    call.url = TestSiteAddress("echo");
    call.method = 2;
    Result r = Fetch(call);
    EXPECT_EQ(r.statusText, "200 OK");
    EXPECT_EQ(r.page, "");
    // The site names the request line it saw in a header, as the body is left out.
    EXPECT_TRUE(ContainsText(r.responseHeaders, "\r\nX-Request-Line: HEAD /echo HTTP/1.1\r\n")) << r.responseHeaders;
}

TEST(FetchPageOptionsSite, NamedProxyServesPlainPagesAndSecurePagesAlike) {
    const struct {
        const char* name;
        Text url;
        Text proxy;
        Text proxyName;
        Text statusText;
        // The request line as received, its start and its end ("" when none
        // arrives); the stack may name the port between the two.
        Text requestStart, requestEnd;
    } cases[] = {
        // A host name that resolves nowhere: only the proxy can answer.
        {"plain page through the site as proxy", "http://proxied.invalid/any?q=1", SiteAsProxy(), "http=" + SiteAsProxy(),
         "200 OK", "GET http://proxied.invalid", "/any?q=1 HTTP/1.1"},
        // A secure page through a proxy that is not there fails at the send.
        {"secure page names the proxy for every scheme", "https://127.0.0.1:1/", "127.0.0.1:1", "127.0.0.1:1",
         "711 发送请求失败!", "", ""},
        {"no proxy", TestSiteAddress("echo"), "", "", "200 OK", "GET /echo HTTP/1.1", "GET /echo HTTP/1.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingWinHttp recording;
        Call call;
        call.url = c.url;
        call.proxy = c.proxy;
        Result r = Fetch(call);
        EXPECT_EQ(recorded.accessType,
                  c.proxy.empty() ? DWORD{WINHTTP_ACCESS_TYPE_NO_PROXY} : DWORD{WINHTTP_ACCESS_TYPE_NAMED_PROXY});
        EXPECT_EQ(recorded.proxyName, Wide(c.proxyName));
        EXPECT_EQ(r.statusText, c.statusText);
        if (!c.requestStart.empty()) {
            const Text requestLine = r.page.substr(0, FindText(r.page, "\r\n"));
            EXPECT_TRUE(StartsWithText(requestLine, c.requestStart)) << requestLine;
            EXPECT_TRUE(requestLine.size() >= c.requestEnd.size() &&
                        requestLine.substr(requestLine.size() - c.requestEnd.size()) == c.requestEnd)
                << requestLine;
        }
    }
}

TEST(FetchPageOptionsSite, CredentialsAnswerChallengesOnlyWhenBothHalvesAreGiven) {
    const struct {
        const char* name;
        Text path;
        bool throughProxy;
        Text userName, password, proxyUserName, proxyPassword;
        std::vector<DWORD> credentialTargets;
        Text statusText;
        Text authorizationLine;  // in the request that got through; "" when refused
    } cases[] = {
        {"server credentials after a 401", "auth/page", false, "user", "pass", "", "",
         {WINHTTP_AUTH_TARGET_SERVER}, "200 OK", "\r\nAuthorization: " + kUserPassBasic + "\r\n"},
        {"server user name without password", "auth/page", false, "user", "", "", "", {}, "401 Unauthorized", ""},
        {"server password without user name", "auth/page", false, "", "pass", "", "", {}, "401 Unauthorized", ""},
        {"proxy credentials after a 407", "proxy-auth/page", true, "", "", "user", "pass",
         {WINHTTP_AUTH_TARGET_PROXY}, "200 OK", "\r\nProxy-Authorization: " + kUserPassBasic + "\r\n"},
        {"proxy user name without password", "proxy-auth/page", true, "", "", "user", "", {},
         "407 Proxy Authentication Required", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingWinHttp recording;
        Call call;
        call.url = c.throughProxy ? "http://proxied.invalid/" + c.path : TestSiteAddress(c.path);
        call.proxy = c.throughProxy ? SiteAsProxy() : "";
        call.userName = c.userName;
        call.password = c.password;
        call.proxyUserName = c.proxyUserName;
        call.proxyPassword = c.proxyPassword;
        Result r = Fetch(call);
        EXPECT_EQ(recorded.credentialTargets, c.credentialTargets);
        // A refused login is an answer like any other, not an error text.
        EXPECT_EQ(r.statusText, c.statusText);
        if (c.authorizationLine.empty()) {
            EXPECT_FALSE(ContainsText(r.page, "Authorization")) << r.page;
            EXPECT_TRUE(ContainsText(r.page, "login first")) << r.page;
        } else {
            EXPECT_TRUE(ContainsText(r.page, c.authorizationLine)) << r.page;
        }
    }
}

TEST(FetchPageOptionsSite, RedirectsAreFollowedUnlessNoRedirect) {
    const Text absoluteTarget = TestSiteAddress("echo?from=abs");
    const struct {
        const char* name;
        Text path;
        bool noRedirect;
        Text statusText, location, pageStart;
    } cases[] = {
        {"relative target kept as written", "redirect?to=/echo%3Fa%3D1", true, "302 Found", "/echo?a=1", "moved"},
        {"absolute target", "redirect?to=" + absoluteTarget, true, "302 Found", absoluteTarget, "moved"},
        {"lower-case location line", "redirect?to=/a&case=lower", true, "302 Found", "/a", "moved"},
        // The headers read are those of the last answer, which has no Location line.
        {"followed", "redirect?to=/echo%3Fb%3D2", false, "200 OK", kCallerValue, "GET /echo?b=2 HTTP/1.1\r\n"},
        {"followed from a lower-case line", "redirect?to=/echo&case=lower", false, "200 OK", kCallerValue,
         "GET /echo HTTP/1.1\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Call call;
        call.url = TestSiteAddress(c.path);
        call.noRedirect = c.noRedirect;
        Result r = Fetch(call);
        EXPECT_EQ(r.statusText, c.statusText);
        EXPECT_EQ(r.location, c.location);
        EXPECT_TRUE(StartsWithText(r.page, c.pageStart)) << r.page;
        if (c.noRedirect) {
            EXPECT_EQ(r.page, "moved");
        }
    }
}

TEST(FetchPageOptionsSite, ExtraHeaderLinesReplaceOrJoinTheDefaults) {
    const struct {
        const char* name;
        Text extraHeaders;
        Text block;  // contiguous on the wire
        std::vector<Text> absent;
    } cases[] = {
        {"own Accept line replaces the default", "Accept: */*", "\r\nAccept: */*\r\n" + kUserAgent + kOtherDefaults,
         {"text/html"}},
        // The probe is exact case, so the default line follows and, added with
        // replace, its value is the one sent.
        {"lower-case content-type keeps the default", "content-type: text/plain", "\r\n" + kUserAgent + kAccept,
         {"text/plain"}},
        {"other lines join in order", "X-One: 1\r\nX-Two: 2", "\r\nX-One: 1\r\nX-Two: 2\r\n" + kUserAgent + kAccept,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Call call;
        call.url = TestSiteAddress("echo");
        call.extraHeaders = c.extraHeaders;
        Result r = Fetch(call);
        EXPECT_EQ(r.statusText, "200 OK");
        EXPECT_TRUE(ContainsText(r.page, c.block)) << r.page;
        EXPECT_TRUE(ContainsText(r.page, "application/x-www-form-urlencoded\r\n")) << r.page;
        for (const Text& text : c.absent) EXPECT_FALSE(ContainsText(r.page, text)) << text << "\n" << r.page;
    }
}

TEST(FetchPageOptionsSite, ResponseHeadersSpellEverySetCookieAlike) {
    Call call;
    call.url = TestSiteAddress(
        "cookies?set=set-cookie%3A%20a%3D1&set=SET-COOKIE%3A%20b%3D2%3B%20path%3D%2F&set=X-Note%3A%20sEt-CoOkIe%20here");
    Result r = Fetch(call);
    EXPECT_EQ(r.statusText, "200 OK");
    EXPECT_TRUE(ContainsText(r.responseHeaders,
                             "\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2; path=/\r\nX-Note: Set-Cookie here\r\n"))
        << r.responseHeaders;
    EXPECT_FALSE(ContainsText(r.responseHeaders, "set-cookie")) << r.responseHeaders;
    EXPECT_TRUE(EndsWith(r.responseHeaders, "\r\n\r\n")) << r.responseHeaders;
}

}  // namespace
