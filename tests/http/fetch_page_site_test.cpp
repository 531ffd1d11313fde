// FetchPage over the system's WinHTTP against the local test site.
#include <gtest/gtest.h>

#include <iostream>
#include <optional>

#include "http/fetch_event_pump.h"
#include "http/http_client.h"
#include "http/winhttp_api.h"
#include "tests/support/test_site.h"

namespace {

const Text kDefaultBlock =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
    "Accept: text/html, application/xhtml+xml, */*\r\n"
    "Accept-Encoding: gbk, GB2312\r\n"
    "Accept-Language: zh-cn\r\n"
    "Content-Type: application/x-www-form-urlencoded\r\n"
    "Cache-Control: no-cache\r\n";
const Text kCallerValue = "(caller)";

int pumpCalls = 0;
void CountPump() { ++pumpCalls; }

// Counts the pump calls of the fetches made while it lives.
class PumpCounter {
public:
    PumpCounter() : installed_(&CountPump) { pumpCalls = 0; }
    int Calls() const { return pumpCalls; }

private:
    ScopedFetchPumpForTesting installed_;
};

struct Result {
    Text page;
    Text statusText = kCallerValue;
    Text responseHeaders = kCallerValue;
    Text location = kCallerValue;
    ByteData responseBytes = {'c', 'a', 'l', 'l', 'e', 'r'};
    int pumpCalls = 0;
};

Result Fetch(const Text& url, int method = 0, const Text& body = Text(), const Text& extraHeaders = Text(),
             std::optional<Text> cookies = std::nullopt) {
    PumpCounter pumps;
    Result r;
    r.page = FetchPage(url, method, body, cookies ? &*cookies : nullptr, nullptr, extraHeaders, &r.responseHeaders,
                       false, "", "", "", "", "", 0, &r.location, &r.statusText, &r.responseBytes);
    r.pumpCalls = pumps.Calls();
    return r;
}

std::size_t LineCount(const Text& headers) { return SplitText(headers, "\r\n").size(); }

TEST(FetchPageSite, DefaultGetSendsTheSixHeaderLinesAsOneBlock) {
    Result r = Fetch(TestSiteAddress("echo"));
    // What the stack adds around our block, for the record.
    std::cout << "echoed request:\n" << r.page << "\n";
    EXPECT_EQ(r.statusText, "200 OK");
    EXPECT_TRUE(StartsWithText(r.page, "GET /echo HTTP/1.1\r\n")) << r.page;
    EXPECT_TRUE(ContainsText(r.page, "\r\n" + kDefaultBlock)) << r.page;
    EXPECT_FALSE(ContainsText(r.page, "cookie", true)) << r.page;
    // One per header line, one after the character-set step, nine on the way out.
    EXPECT_EQ(r.pumpCalls, static_cast<int>(9 + LineCount(r.responseHeaders) + 1));
}

TEST(FetchPageSite, EchoedRequestsFollowMethodBodyHeadersAndCookies) {
    const struct {
        const char* name;
        int method;
        Text body;
        Text extraHeaders;
        std::optional<Text> cookies;
        Text requestLine;
        std::vector<Text> present;
        std::vector<Text> absent;
    } cases[] = {
        {"form post", 1, "a=1&b=2", "", std::nullopt, "POST /echo?x=1 HTTP/1.1\r\n",
         {"\r\nContent-Length: 7\r\n", "\r\n" + kDefaultBlock, "\r\n\r\na=1&b=2"}, {}},
        {"get with a body", 0, "q=2", "", std::nullopt, "GET /echo?x=1 HTTP/1.1\r\n", {"\r\n\r\nq=2"}, {}},
        {"put", 3, "z", "", std::nullopt, "PUT /echo?x=1 HTTP/1.1\r\n", {"\r\n\r\nz"}, {}},
        {"unknown method", 9, "", "", std::nullopt, "GET /echo?x=1 HTTP/1.1\r\n", {}, {}},
        {"own user agent", 0, "", "User-Agent: qh-test\r\nX-Extra: 1", std::nullopt, "GET /echo?x=1 HTTP/1.1\r\n",
         {"\r\nUser-Agent: qh-test\r\n", "\r\nX-Extra: 1\r\n"}, {"MSIE"}},
        {"cookies given", 0, "", "", Text("a=1; b=2"), "GET /echo?x=1 HTTP/1.1\r\n",
         {"\r\nCookie: a=1; b=2\r\n"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Result r = Fetch(TestSiteAddress("echo?x=1"), c.method, c.body, c.extraHeaders, c.cookies);
        EXPECT_EQ(r.statusText, "200 OK");
        EXPECT_TRUE(StartsWithText(r.page, c.requestLine)) << r.page;
        for (const Text& text : c.present) EXPECT_TRUE(ContainsText(r.page, text)) << text << "\n" << r.page;
        for (const Text& text : c.absent) EXPECT_FALSE(ContainsText(r.page, text)) << text << "\n" << r.page;
    }
}

TEST(FetchPageSite, ResponsesGiveStatusPageAndBytes) {
    const struct {
        const char* path;
        Text statusText;
        Text page;
        ByteData bytes;
    } cases[] = {
        {"status?code=404&body=gone", "404 Not Found", "gone", {'g', 'o', 'n', 'e'}},
        {"status?code=500&reason=Broken%20Here&body=x", "500 Broken Here", "x", {'x'}},
        {"empty", "200 OK", "", {}},
        {"zero", "200 OK", "abcd", {'a', 'b', 'c', 'd', 0, 'e', 'f', 'g', 'h'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Result r = Fetch(TestSiteAddress(c.path));
        EXPECT_EQ(r.statusText, c.statusText);
        EXPECT_EQ(r.page, c.page);
        EXPECT_EQ(r.responseBytes, c.bytes);
        EXPECT_TRUE(StartsWithText(r.responseHeaders, "HTTP/1.1 " + c.statusText + "\r\n")) << r.responseHeaders;
        EXPECT_EQ(r.location, kCallerValue);
        EXPECT_EQ(r.pumpCalls, static_cast<int>(9 + LineCount(r.responseHeaders) + 1));
    }
}

TEST(FetchPageSite, BareHostRequestsTheRoot) {
    // Records the object name that reaches the system's WinHttpOpenRequest.
    static std::wstring objectName;
    WinHttpApi recording = SystemWinHttpApi();
    recording.OpenRequest = [](HINTERNET connection, LPCWSTR verb, LPCWSTR object, LPCWSTR version,
                               LPCWSTR referrer, LPCWSTR* acceptTypes, DWORD flags) WINAPI {
        objectName = object ? object : L"(null)";
        return SystemWinHttpApi().OpenRequest(connection, verb, object, version, referrer, acceptTypes, flags);
    };
    ScopedWinHttpForTesting installed(recording);
    Text bare = TestSiteAddress();
    bare.pop_back();  // no "/" after the port
    Result r = Fetch(bare);
    EXPECT_EQ(objectName, L"/");
    EXPECT_EQ(r.statusText, "200 OK");
    EXPECT_FALSE(r.page.empty());
    EXPECT_EQ(r.page, Fetch(TestSiteAddress()).page);
}

TEST(FetchPageSite, ResetMidBodyKeepsThePartRead) {
    const Text url = TestSiteAddress("reset?after=3000");
    Result r = Fetch(url);
    // The page is cut off: the error text stays although the headers are readable.
    EXPECT_EQ(r.statusText, "713 读取数据失败!");
    EXPECT_EQ(r.page, Text(3000, 'x'));
    EXPECT_EQ(r.responseBytes, ByteData(3000, 'x'));

    // With the header block unreadable the result is empty, and statusText
    // still tells of the broken read.
    static int headerQueries;
    headerQueries = 0;
    WinHttpApi headersUnreadable = SystemWinHttpApi();
    headersUnreadable.QueryHeaders = [](HINTERNET request, DWORD level, LPCWSTR name, LPVOID buffer, LPDWORD length,
                                        LPDWORD index) WINAPI -> BOOL {
        if (++headerQueries == 2) return FALSE;
        return SystemWinHttpApi().QueryHeaders(request, level, name, buffer, length, index);
    };
    ScopedWinHttpForTesting installed(headersUnreadable);
    r = Fetch(url);
    EXPECT_EQ(r.statusText, "713 读取数据失败!");
    EXPECT_EQ(r.page, "");
    EXPECT_EQ(r.pumpCalls, 9);
}

TEST(FetchPageSite, FailuresBeforeAResponseLeaveOutputsAlone) {
    const struct {
        Text url;
        const char* statusText;
        int pumpCalls;
    } cases[] = {
        {"", "701 解析URL地址失败!", 1},
        {"not a url", "701 解析URL地址失败!", 1},
        {"ftp://127.0.0.1/x", "701 解析URL地址失败!", 1},
        // Nothing listens on port 1: the refused connection surfaces at the send.
        {"http://127.0.0.1:1/", "711 发送请求失败!", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        Result r = Fetch(c.url);
        EXPECT_EQ(r.page, "");
        EXPECT_EQ(r.statusText, c.statusText);
        EXPECT_EQ(r.pumpCalls, c.pumpCalls);
        EXPECT_EQ(r.responseHeaders, kCallerValue);
        EXPECT_EQ(r.location, kCallerValue);
        EXPECT_EQ(r.responseBytes, (ByteData{'c', 'a', 'l', 'l', 'e', 'r'}));
    }
}

}  // namespace
