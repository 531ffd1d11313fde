// The exchange of FetchPage step by step, against the scripted WinHTTP.
#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "fake_winhttp.h"
#include "http/http_client.h"
#include "http/response_body.h"

namespace {

using Failing = FakeWinHttp::Failing;

const std::vector<std::string> kAllClosed = {"close request", "close connection", "close session"};
const Text kCallerValue = "(caller)";

// The caller's output variables, with values the fetch must overwrite or keep.
struct Outputs {
    Text receivedCookies = kCallerValue;
    Text responseHeaders = kCallerValue;
    Text location = kCallerValue;
    Text statusText = kCallerValue;
    ByteData responseBytes = {'c', 'a', 'l', 'l', 'e', 'r'};
};

struct Call {
    Text url = "http://127.0.0.1:18717/page";
    int method = 0;
    Text body;
    std::optional<Text> cookies;
    Text extraHeaders;
    bool noRedirect = false;
    Text userName, password, proxy, proxyUserName, proxyPassword;
    int timeoutSeconds = 0;
};

Text Fetch(Call call, Outputs& out) {
    return FetchPage(call.url, call.method, call.body, call.cookies ? &*call.cookies : nullptr, &out.receivedCookies,
                     call.extraHeaders, &out.responseHeaders, call.noRedirect, call.userName, call.password, call.proxy,
                     call.proxyUserName, call.proxyPassword, call.timeoutSeconds, &out.location, &out.statusText,
                     &out.responseBytes);
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// All pumping happens before the handles are closed, request first.
std::vector<std::string> PumpsThenCloses(int pumpCalls, const std::vector<std::string>& closes) {
    std::vector<std::string> events(static_cast<std::size_t>(pumpCalls), "pump");
    events.insert(events.end(), closes.begin(), closes.end());
    return events;
}

Text DefaultBlock() {
    return "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
           "Accept: text/html, application/xhtml+xml, */*\r\n"
           "Accept-Encoding: gbk, GB2312\r\n"
           "Accept-Language: zh-cn\r\n"
           "Content-Type: application/x-www-form-urlencoded\r\n"
           "Cache-Control: no-cache\r\n";
}

TEST(FetchPageExchange, EachFailingStepEndsWithItsTextPumpsAndCloses) {
    struct Case {
        Failing failing;
        Call call;
        const char* statusText;
        int pumpCalls;
        std::vector<std::string> closes;
    };
    Call serverCredentials;
    serverCredentials.userName = "u";
    serverCredentials.password = "p";
    Call proxyCredentials;
    proxyCredentials.proxyUserName = "pu";
    proxyCredentials.proxyPassword = "pp";
    Call noRedirect;
    noRedirect.noRedirect = true;
    const std::vector<std::string> sessionOnly = {"close session"};
    const std::vector<std::string> connectionAndSession = {"close connection", "close session"};
    const Case cases[] = {
        {Failing::CheckPlatform, {}, "700 当前系统不支持WinHttp服务!", 0, {}},
        {Failing::CrackUrl, {}, "701 解析URL地址失败!", 1, {}},
        {Failing::Open, {}, "702 创建WinHttp会话失败!", 2, {}},
        {Failing::Connect, {}, "703 创建WinHttp连接失败!", 3, sessionOnly},
        {Failing::OpenRequest, {}, "704 创建WinHttp请求失败!", 4, connectionAndSession},
        {Failing::SetTimeouts, {}, "705 设置超时时间失败!", 5, kAllClosed},
        {Failing::ServerCredentials, serverCredentials, "707 设置代理凭证失败!", 0, kAllClosed},
        {Failing::ProxyCredentials, proxyCredentials, "707 设置代理凭证失败!", 0, kAllClosed},
        {Failing::CookieOption, {}, "708 禁止自动设置Cookies失败!", 0, kAllClosed},
        {Failing::RedirectOption, noRedirect, "709 重定向设置失败!", 0, kAllClosed},
        {Failing::AddRequestHeaders, {}, "710 设置协议头失败!", 6, kAllClosed},
        {Failing::SendRequest, {}, "711 发送请求失败!", 7, kAllClosed},
        {Failing::ReceiveResponse, {}, "712 服务器未响应!", 8, kAllClosed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statusText);
        FakeWinHttp fake;
        fake.failing = c.failing;
        fake.body = {'b', 'o', 'd', 'y'};
        Call call = c.call;
        Text cookiesBefore = call.cookies.value_or("");
        Outputs out;
        EXPECT_EQ(Fetch(call, out), "");
        EXPECT_EQ(out.statusText, c.statusText);
        EXPECT_EQ(fake.events, PumpsThenCloses(c.pumpCalls, c.closes));
        EXPECT_EQ(out.receivedCookies, kCallerValue);
        EXPECT_EQ(out.responseHeaders, kCallerValue);
        EXPECT_EQ(out.location, kCallerValue);
        EXPECT_EQ(out.responseBytes, (ByteData{'c', 'a', 'l', 'l', 'e', 'r'}));
        EXPECT_EQ(call.cookies.value_or(""), cookiesBefore);
        EXPECT_TRUE(fake.headerQueryLevels.empty());
    }
}

TEST(FetchPageExchange, TimeoutSecondsBecomeOneMillisecondCountForAllFour) {
    const struct {
        int seconds;
        int milliseconds;
    } cases[] = {
        {0, 30000}, {-5, 30000}, {INT_MIN, 30000}, {5, 5000}, {2147483, 2147483000}, {2147484, INT_MAX}, {INT_MAX, INT_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        FakeWinHttp fake;
        Call call;
        call.timeoutSeconds = c.seconds;
        Outputs out;
        Fetch(call, out);
        EXPECT_EQ(fake.timeouts, std::vector<int>(4, c.milliseconds));
    }
}

TEST(FetchPageExchange, UrlPartsReachConnectionAndRequest) {
    const struct {
        const char* url;
        const char* host;
        INTERNET_PORT port;
        const char* objectName;
        DWORD flags;
    } cases[] = {
        {"http://127.0.0.1:18717", "127.0.0.1", 18717, "/", 0},
        {"http://127.0.0.1:18717/", "127.0.0.1", 18717, "/", 0},
        {"http://site.test/a/b.html?x=1&y=2", "site.test", 80, "/a/b.html?x=1&y=2", 0},
        {"https://site.test", "site.test", 443, "/", WINHTTP_FLAG_SECURE},
        {"https://site.test:8443/p?q#f", "site.test", 8443, "/p?q#f", WINHTTP_FLAG_SECURE},
        {"http://site.test/?x=1", "site.test", 80, "/?x=1", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        FakeWinHttp fake;
        Call call;
        call.url = c.url;
        Outputs out;
        Fetch(call, out);
        EXPECT_EQ(out.statusText, "200 OK");
        EXPECT_EQ(Narrow(fake.host), c.host);
        EXPECT_EQ(fake.port, c.port);
        EXPECT_EQ(Narrow(fake.objectName), c.objectName);
        EXPECT_EQ(fake.requestFlags, c.flags);
    }
}

TEST(FetchPageExchange, MethodPicksTheVerbAndAnyMethodSendsTheBody) {
    const struct {
        int method;
        const char* body;
        const char* verb;
    } cases[] = {
        {0, "", "GET"}, {1, "a=1&b=2", "POST"}, {2, "", "HEAD"}, {3, "x", "PUT"},
        {7, "", "GET"}, {-1, "", "GET"},       {0, "q=2", "GET"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method);
        FakeWinHttp fake;
        Call call;
        call.method = c.method;
        call.body = c.body;
        Outputs out;
        Fetch(call, out);
        EXPECT_EQ(Narrow(fake.verb), c.verb);
        EXPECT_EQ(Text(fake.sentBody.begin(), fake.sentBody.end()), c.body);
        EXPECT_EQ(fake.sentTotalLength, fake.sentBody.size());
        EXPECT_EQ(fake.bodyDataNull, *c.body == '\0');
        // The default Content-Type line goes out with every method.
        EXPECT_EQ(Narrow(fake.headerBlock), DefaultBlock());
    }
}

TEST(FetchPageExchange, ProxyAndCredentialsReachTheSessionAndRequest) {
    using Credentials = FakeWinHttp::Credentials;
    struct Case {
        const char* name;
        Call call;
        DWORD accessType;
        const char* proxyName;
        std::vector<Credentials> credentials;
    };
    auto make = [](const char* url, const char* proxy, const char* user, const char* password, const char* proxyUser,
                   const char* proxyPassword) {
        Call call;
        call.url = url;
        call.proxy = proxy;
        call.userName = user;
        call.password = password;
        call.proxyUserName = proxyUser;
        call.proxyPassword = proxyPassword;
        return call;
    };
    const Case cases[] = {
        {"no proxy", make("http://h.test/", "", "", "", "", ""), WINHTTP_ACCESS_TYPE_NO_PROXY, "", {}},
        {"proxy, plain page", make("http://h.test/", "10.0.0.1:8080", "", "", "", ""),
         WINHTTP_ACCESS_TYPE_NAMED_PROXY, "http=10.0.0.1:8080", {}},
        {"proxy, secure page", make("https://h.test/", "10.0.0.1:8080", "", "", "", ""),
         WINHTTP_ACCESS_TYPE_NAMED_PROXY, "10.0.0.1:8080", {}},
        {"half credentials", make("http://h.test/", "", "u", "", "", "pp"), WINHTTP_ACCESS_TYPE_NO_PROXY, "", {}},
        {"server credentials", make("http://h.test/", "", "用户", "密码", "", ""), WINHTTP_ACCESS_TYPE_NO_PROXY, "",
         {{WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC, L"\u7528\u6237", L"\u5bc6\u7801", true}}},
        {"both credentials", make("http://h.test/", "p:1", "u", "p", "pu", "pp"), WINHTTP_ACCESS_TYPE_NAMED_PROXY,
         "http=p:1",
         {{WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC, L"u", L"p", true},
          {WINHTTP_AUTH_TARGET_PROXY, WINHTTP_AUTH_SCHEME_BASIC, L"pu", L"pp", true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWinHttp fake;
        Outputs out;
        Fetch(c.call, out);
        EXPECT_TRUE(fake.agentNull);
        EXPECT_TRUE(fake.proxyBypassNull);
        EXPECT_EQ(fake.accessType, c.accessType);
        EXPECT_FALSE(fake.proxyNameNull);
        EXPECT_EQ(Narrow(fake.proxyName), c.proxyName);
        ASSERT_EQ(fake.credentials.size(), c.credentials.size());
        for (std::size_t i = 0; i < c.credentials.size(); ++i) {
            EXPECT_EQ(fake.credentials[i].target, c.credentials[i].target);
            EXPECT_EQ(fake.credentials[i].scheme, c.credentials[i].scheme);
            EXPECT_EQ(fake.credentials[i].userName, c.credentials[i].userName);
            EXPECT_EQ(fake.credentials[i].password, c.credentials[i].password);
            EXPECT_TRUE(fake.credentials[i].authParamsNull);
        }
    }
}

TEST(FetchPageExchange, CookieAndRedirectOptionsAndTheHeaderBlock) {
    using Option = FakeWinHttp::Option;
    struct Case {
        const char* name;
        std::optional<Text> cookies;
        bool noRedirect;
        std::vector<Option> options;
        Text headerBlock;
    };
    const Option disableCookies = {WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_COOKIES, 4};
    const Option disableRedirects = {WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS, 4};
    const Case cases[] = {
        {"cookies omitted", std::nullopt, false, {disableCookies}, DefaultBlock()},
        // Given cookies leave WinHTTP's cookie handling as it is: no option at all.
        {"cookies given empty", Text(), false, {}, DefaultBlock()},
        {"cookies given", Text("a=1; b=2"), false, {}, DefaultBlock() + "Cookie: a=1; b=2\r\n"},
        {"cookies given, no redirect", Text("a=1"), true, {disableRedirects}, DefaultBlock() + "Cookie: a=1\r\n"},
        {"no redirect", std::nullopt, true, {disableCookies, disableRedirects}, DefaultBlock()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWinHttp fake;
        Call call;
        call.cookies = c.cookies;
        call.noRedirect = c.noRedirect;
        Outputs out;
        Fetch(call, out);
        ASSERT_EQ(fake.options.size(), c.options.size());
        for (std::size_t i = 0; i < c.options.size(); ++i) {
            EXPECT_EQ(fake.options[i].option, c.options[i].option);
            EXPECT_EQ(fake.options[i].value, c.options[i].value);
            EXPECT_EQ(fake.options[i].length, c.options[i].length);
        }
        // The length argument names the block without its terminator.
        EXPECT_EQ(Narrow(fake.headerBlock), c.headerBlock);
        EXPECT_EQ(fake.headerModifiers, 0xA0000000u);
        EXPECT_EQ(call.cookies, c.cookies);
    }
}

TEST(FetchPageExchange, ReceivedResponseFillsOutputsAndPumpsOncePerHeaderLine) {
    struct Case {
        const char* name;
        Text rawHeaders;
        ByteData body;
        Text statusText, location, responseHeaders, page;
        int headerLines;
        // Whatever holds "Set-Cookie" counts, the note line too.
        Text receivedCookies = "";
    };
    const Case cases[] = {
        {"redirect answer",
         "HTTP/1.1 302 Found\r\nlocation: /a\r\nset-cookie: x=1; path=/\r\nX-Note: SET-COOKIE and set-Cookie\r\n"
         "LOCATION: /b?c=1\r\nX-Location: /z\r\n\r\n",
         {'a', 'b', 'c', 'd', 0, 'e', 'f', 'g', 'h'},
         "302 Found",
         "/b?c=1",
         "HTTP/1.1 302 Found\r\nlocation: /a\r\nSet-Cookie: x=1; path=/\r\nX-Note: Set-Cookie and Set-Cookie\r\n"
         "LOCATION: /b?c=1\r\nX-Location: /z\r\n\r\n",
         "abcd",
         7,
         "x=1; X-Note: Set-Cookie and Set-Cookie"},
        {"empty body", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", {}, "200 OK", kCallerValue,
         "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", "", 3},
        {"body starting with zero", "HTTP/1.0 500 服务器错误\r\n\r\n", {0, 'a'}, "500 服务器错误", kCallerValue,
         "HTTP/1.0 500 服务器错误\r\n\r\n", "", 2},
        {"Chinese page", "HTTP/1.1 200 OK\r\n\r\n", {0xC7, 0xE0, 0xBA, 0xCC}, "200 OK", kCallerValue,
         "HTTP/1.1 200 OK\r\n\r\n", "青禾", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWinHttp fake;
        fake.rawHeaders = c.rawHeaders;
        fake.body = c.body;
        fake.chunkBytes = 3;  // several reads
        Outputs out;
        EXPECT_EQ(Fetch(Call(), out), c.page);
        EXPECT_EQ(out.statusText, c.statusText);
        EXPECT_EQ(out.location, c.location);
        EXPECT_EQ(out.responseHeaders, c.responseHeaders);
        EXPECT_EQ(out.responseBytes, c.body);
        EXPECT_EQ(out.receivedCookies, c.receivedCookies);
        // One more after the character-set step.
        EXPECT_EQ(fake.events, PumpsThenCloses(9 + c.headerLines + 1, kAllClosed));
        EXPECT_EQ(fake.headerQueryLevels, std::vector<DWORD>(2, WINHTTP_QUERY_RAW_HEADERS_CRLF));
    }
}

TEST(FetchPageExchange, ReadFailureAndBodyLimitKeepThePartRead) {
    struct Case {
        const char* name;
        ByteData body;
        std::uint64_t generatedBytes;
        std::size_t failReadAfterBytes;  // 0: reads never fail
        bool headersReadable;
        const char* statusText;
        std::size_t bytesKept;  // 0: responseBytes untouched
        FakeWinHttp::Failing failure = FakeWinHttp::Failing::ReadData;
    };
    const std::uint64_t endless = UINT64_MAX;
    const Case cases[] = {
        // The error text stays even when the header block is readable.
        {"read fails, headers readable", {'a', 'b'}, 10, 5, true, "713 读取数据失败!", 5},
        {"data query fails, headers readable", {'a', 'b'}, 10, 5, true, "713 读取数据失败!", 5,
         FakeWinHttp::Failing::QueryDataAvailable},
        {"read fails, headers unreadable", {'a', 'b'}, 10, 5, false, "713 读取数据失败!", 0},
        {"endless body, headers readable", {}, endless, 0, true, "713 读取数据失败!", kMaxResponseBodyBytes},
        {"endless body, headers unreadable", {}, endless, 0, false, "713 读取数据失败!", 0},
        {"body of exactly the limit", {}, kMaxResponseBodyBytes, 0, false, "(caller)", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWinHttp fake;
        fake.body = c.body;
        fake.generatedBytes = c.generatedBytes;
        fake.chunkBytes = 3 << 20;  // the limit is no multiple of it
        if (c.failReadAfterBytes) {
            fake.failing = c.failure;
            fake.failReadAfterBytes = c.failReadAfterBytes;
        }
        fake.headersUnreadable = !c.headersReadable;
        Outputs out;
        Text page = Fetch(Call(), out);
        EXPECT_EQ(out.statusText, c.statusText);
        if (c.bytesKept) {
            ASSERT_EQ(out.responseBytes.size(), c.bytesKept);
            EXPECT_EQ(page.size(), c.bytesKept);
            EXPECT_EQ(page.substr(0, 2), c.body.empty() ? "xx" : "ab");
        } else {
            EXPECT_EQ(page, "");
            EXPECT_EQ(out.responseBytes, (ByteData{'c', 'a', 'l', 'l', 'e', 'r'}));
            EXPECT_EQ(out.responseHeaders, kCallerValue);
        }
        EXPECT_EQ(fake.events, PumpsThenCloses(c.headersReadable ? 9 + 3 + 1 : 9, kAllClosed));
    }
}

}  // namespace
