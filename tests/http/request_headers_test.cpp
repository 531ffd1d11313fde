#include <gtest/gtest.h>

#include "http/request_headers.h"

namespace {

const Text kUserAgent = "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n";
const Text kAccept = "Accept: text/html, application/xhtml+xml, */*\r\n";
const Text kAcceptEncoding = "Accept-Encoding: gbk, GB2312\r\n";
const Text kAcceptLanguage = "Accept-Language: zh-cn\r\n";
const Text kContentType = "Content-Type: application/x-www-form-urlencoded\r\n";
const Text kCacheControl = "Cache-Control: no-cache\r\n";
const Text kDefaults = kUserAgent + kAccept + kAcceptEncoding + kAcceptLanguage + kContentType + kCacheControl;

TEST(RequestHeaders, ProbesDecideWhichDefaultLinesAreAppended) {
    const struct {
        const char* name;
        Text extra;
        Text cookies;
        Text block;
    } cases[] = {
        {"defaults only", "", "", kDefaults},
        {"own accept line", "Accept: */*", "",
         "Accept: */*\r\n" + kUserAgent + kAcceptEncoding + kAcceptLanguage + kContentType + kCacheControl},
        {"lower-case user-agent replaces the default", "user-agent: qh", "",
         "user-agent: qh\r\n" + kAccept + kAcceptEncoding + kAcceptLanguage + kContentType + kCacheControl},
        {"lower-case content-type does not", "content-type: text/plain", "", "content-type: text/plain\r\n" + kDefaults},
        {"probe found inside a value", "X-Note: ACCEPT-LANGUAGE: en", "",
         "X-Note: ACCEPT-LANGUAGE: en\r\n" + kUserAgent + kAccept + kAcceptEncoding + kContentType + kCacheControl},
        {"probe without its blank is absent", "Cache-Control:no-store", "",
         "Cache-Control:no-store\r\n" + kDefaults},
        {"several own lines", "Accept-Encoding: identity\r\nCache-Control: max-age=0", "",
         "Accept-Encoding: identity\r\nCache-Control: max-age=0\r\n" + kUserAgent + kAccept + kAcceptLanguage +
             kContentType},
        {"cookies appended last", "", "a=1; b=2", kDefaults + "Cookie: a=1; b=2\r\n"},
        {"own cookie line kept alone", "COOKIE: z=9", "a=1", "COOKIE: z=9\r\n" + kDefaults},
        // "\x81" + "C" is one GBK character, so no "Cookie: " begins there.
        {"probe across a character boundary", "X-Tag: \x81" "Cookie: ", "a=1",
         "X-Tag: \x81" "Cookie: \r\n" + kDefaults + "Cookie: a=1\r\n"},
        {"Chinese extra line", "X-书名: 青禾", "", "X-书名: 青禾\r\n" + kDefaults},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BuildRequestHeaders(c.extra, c.cookies), c.block);
    }
}

}  // namespace
