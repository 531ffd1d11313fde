#include "http/request_headers.h"

namespace {

struct DefaultHeader {
    const char* probe;
    bool ignoreCase;
    const char* line;
};

// In this order. The Content-Type probe is exact-case on purpose: a caller's
// "content-type:" line does not replace the default one.
constexpr DefaultHeader kDefaultHeaders[] = {
    {"User-Agent: ", true,
     "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"},
    {"Accept: ", true, "Accept: text/html, application/xhtml+xml, */*\r\n"},
    {"Accept-Encoding: ", true, "Accept-Encoding: gbk, GB2312\r\n"},
    {"Accept-Language: ", true, "Accept-Language: zh-cn\r\n"},
    {"Content-Type:", false, "Content-Type: application/x-www-form-urlencoded\r\n"},
    {"Cache-Control: ", true, "Cache-Control: no-cache\r\n"},
};

}  // namespace

Text BuildRequestHeaders(const Text& extraHeaders, const Text& cookies) {
    Text block = extraHeaders.empty() ? Text() : extraHeaders + "\r\n";
    // A probe is searched anywhere in the block built so far, not only at the
    // start of a line.
    for (const DefaultHeader& header : kDefaultHeaders) {
        if (!ContainsText(block, header.probe, header.ignoreCase)) block += header.line;
    }
    if (!cookies.empty() && !ContainsText(block, "Cookie: ", true)) block += "Cookie: " + cookies + "\r\n";
    return block;
}
