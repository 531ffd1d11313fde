#include <climits>
#include <iterator>

#include "http/cookie_text.h"
#include "http/decode_page_text.h"
#include "http/fetch_event_pump.h"
#include "http/http_client.h"
#include "http/page_url.h"
#include "http/request_headers.h"
#include "http/response_body.h"
#include "http/response_headers.h"
#include "http/utf16_text.h"
#include "http/winhttp_api.h"
#include "text/regex_object.h"

namespace {

constexpr int kDefaultTimeoutMilliseconds = 30000;
constexpr DWORD kAddOrReplaceHeaders = WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE;

const char* const kVerbs[] = {"GET", "POST", "HEAD", "PUT"};

Text VerbOf(int method) {
    return method >= 0 && method < static_cast<int>(std::size(kVerbs)) ? kVerbs[method] : "GET";
}

// Seconds to milliseconds; past what a signed 32-bit count holds, the
// largest count rather than an overflow.
int TimeoutMilliseconds(int seconds) {
    if (seconds <= 0) return kDefaultTimeoutMilliseconds;
    if (seconds > INT_MAX / 1000) return INT_MAX;
    return seconds * 1000;
}

// The UTF-16 string held by data from TextToUtf16; "" for empty data.
LPCWSTR WideString(const ByteData& data) {
    return data.empty() ? L"" : reinterpret_cast<LPCWSTR>(data.data());
}

struct Handles {
    const WinHttpApi& api;
    HINTERNET session = nullptr;
    HINTERNET connection = nullptr;
    HINTERNET request = nullptr;

    void CloseAll() {
        if (request) api.CloseHandle(request);
        if (connection) api.CloseHandle(connection);
        if (session) api.CloseHandle(session);
        request = connection = session = nullptr;
    }
};

bool SetServerOrProxyCredentials(const WinHttpApi& api, HINTERNET request, DWORD target, const Text& userName,
                                 const Text& password) {
    if (userName.empty() || password.empty()) return true;
    ByteData wideUser = TextToUtf16(userName);
    ByteData widePassword = TextToUtf16(password);
    return api.SetCredentials(request, target, WINHTTP_AUTH_SCHEME_BASIC, WideString(wideUser),
                              WideString(widePassword), nullptr);
}

bool SetDwordOption(const WinHttpApi& api, HINTERNET request, DWORD option, DWORD value) {
    return api.SetOption(request, option, &value, sizeof(value));
}

}  // namespace

Text FetchPage(const Text& url, int method, const Text& body, Text* cookies, Text* receivedCookies,
               const Text& extraHeaders, Text* responseHeaders, bool noRedirect, const Text& userName,
               const Text& password, const Text& proxy, const Text& proxyUserName, const Text& proxyPassword,
               int timeoutSeconds, Text* location, Text* statusText, ByteData* responseBytes) {
    // The fetch's own search for a character-set declaration; declared first so
    // that it outlives the handles and its COM pair brackets the whole call.
    RegexObject charsetSearch;
    const WinHttpApi& api = ActiveWinHttpApi();
    Handles handles{api};
    Text page;

    // Runs the exchange; returns how many times to pump messages on the way
    // out: one per check made after the platform check, plus one once a
    // response has been received; none after a credentials or option failure.
    auto exchange = [&]() -> int {
        auto fail = [&](const char* text, int pumpCalls) {
            if (statusText) *statusText = text;
            return pumpCalls;
        };

        if (!IsCompleteWinHttpApi(api) || !api.CheckPlatform()) return fail("700 当前系统不支持WinHttp服务!", 0);

        PageUrl parts;
        if (!CrackPageUrl(api, url, parts)) return fail("701 解析URL地址失败!", 1);

        // A named proxy serves plain HTTP only, unless the page itself is secure.
        ByteData proxyName = TextToUtf16(proxy.empty() ? Text() : parts.secure ? proxy : "http=" + proxy);
        DWORD accessType = proxy.empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY;
        // No agent: the User-Agent goes out as a header line.
        handles.session = api.Open(nullptr, accessType, WideString(proxyName), WINHTTP_NO_PROXY_BYPASS, 0);
        if (!handles.session) return fail("702 创建WinHttp会话失败!", 2);

        ByteData host = TextToUtf16(parts.host);
        handles.connection = api.Connect(handles.session, WideString(host), parts.port, 0);
        if (!handles.connection) return fail("703 创建WinHttp连接失败!", 3);

        ByteData verb = TextToUtf16(VerbOf(method));
        handles.request = api.OpenRequest(handles.connection, WideString(verb), parts.objectName.c_str(), nullptr,
                                          WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                          parts.secure ? WINHTTP_FLAG_SECURE : 0);
        if (!handles.request) return fail("704 创建WinHttp请求失败!", 4);

        int timeout = TimeoutMilliseconds(timeoutSeconds);
        if (!api.SetTimeouts(handles.request, timeout, timeout, timeout, timeout))
            return fail("705 设置超时时间失败!", 5);

        if (!SetServerOrProxyCredentials(api, handles.request, WINHTTP_AUTH_TARGET_SERVER, userName, password) ||
            !SetServerOrProxyCredentials(api, handles.request, WINHTTP_AUTH_TARGET_PROXY, proxyUserName,
                                         proxyPassword))
            return fail("707 设置代理凭证失败!", 0);

        // Without a cookie text of the caller's, WinHTTP must neither store nor
        // send cookies of its own. With one, its cookie handling is left on as
        // it is by default, and nothing else is switched: the feature value 1
        // would turn on certificate revocation checks, which have nothing to do
        // with cookies and would make secure pages fail only for such callers.
        if (!cookies &&
            !SetDwordOption(api, handles.request, WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_COOKIES))
            return fail("708 禁止自动设置Cookies失败!", 0);

        if (noRedirect &&
            !SetDwordOption(api, handles.request, WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS))
            return fail("709 重定向设置失败!", 0);

        ByteData headerBlock = TextToUtf16(BuildRequestHeaders(extraHeaders, cookies ? *cookies : Text()));
        DWORD headerUnits = headerBlock.empty() ? 0 : static_cast<DWORD>(headerBlock.size() / sizeof(wchar_t) - 1);
        if (!api.AddRequestHeaders(handles.request, WideString(headerBlock), headerUnits, kAddOrReplaceHeaders))
            return fail("710 设置协议头失败!", 6);

        Text bodyBytes = body;
        DWORD bodyLength = static_cast<DWORD>(bodyBytes.size());
        if (!api.SendRequest(handles.request, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                             bodyBytes.empty() ? WINHTTP_NO_REQUEST_DATA : bodyBytes.data(), bodyLength, bodyLength,
                             0))
            return fail("711 发送请求失败!", 7);

        if (!api.ReceiveResponse(handles.request, nullptr)) return fail("712 服务器未响应!", 8);
        constexpr int kReceivedPumpCalls = 9;

        // A failed read keeps what arrived, and its error text stays: were the
        // status line to replace it, a cut-off page would pass for complete.
        ByteData received;
        const bool readFailed = !ReadResponseBody(api, handles.request, received);
        if (readFailed && statusText) *statusText = "713 读取数据失败!";

        // First call: the size needed in bytes; second call: the headers.
        DWORD size = 0;
        DWORD index = 0;
        api.QueryHeaders(handles.request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                         WINHTTP_NO_OUTPUT_BUFFER, &size, &index);
        ByteData rawHeaders(size, 0);
        index = 0;
        if (!api.QueryHeaders(handles.request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                              rawHeaders.empty() ? WINHTTP_NO_OUTPUT_BUFFER : rawHeaders.data(), &size, &index))
            return kReceivedPumpCalls;

        Text headers = Utf16ToText(rawHeaders);
        if (statusText && !readFailed) *statusText = StatusTextOf(headers);
        headers = WithSetCookieNamesNormalized(headers);
        if (responseHeaders) *responseHeaders = headers;
        ReceivedCookieCollector collector;
        for (const Text& line : SplitText(headers, "\r\n")) {
            collector.AddHeaderLine(line);
            Text value;
            if (location && LocationOfLine(line, value)) *location = value;
            PumpFetchEvents();
        }

        // The merge needs the received cookies even when the caller does not
        // want them.
        Text receivedText = collector.Result();
        if (cookies) MergeCookies(*cookies, receivedText);
        if (receivedCookies) *receivedCookies = receivedText;

        if (responseBytes) *responseBytes = received;
        page = TextFromBytes(received);
        DecodePageText(charsetSearch, page, received);
        return kReceivedPumpCalls;
    };

    int exitPumpCalls = exchange();
    for (int i = 0; i < exitPumpCalls; ++i) PumpFetchEvents();
    handles.CloseAll();
    return page;
}
