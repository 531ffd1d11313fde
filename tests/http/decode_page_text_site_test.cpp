// The character-set step of FetchPage against pages of the local site that
// declare (or hide) their character set, decoded by whatever object answers
// to "Adodb.Stream" (on the bench, the stand-in of tests/standins).
#include <gtest/gtest.h>
#include <objbase.h>

#include <thread>

#include "http/decode_page_text.h"
#include "http/fetch_event_pump.h"
#include "http/http_client.h"
#include "tests/support/test_site.h"

namespace {

// The raw bytes of a UTF-8 literal (narrow literals are compiled as GBK).
Text Utf8(const char8_t* text) { return Text(reinterpret_cast<const char*>(text)); }

// What tests/site/fixture_charsets.py serves.
const Text kUtf8Text = Utf8(u8"<p>青禾 한글 end</p>");
// The same in GBK, which has no Hangul.
const Text kUtf8TextAsGbk = "<p>青禾 ?? end</p>";
const Text kUtf8Meta = "<meta charset=\"utf-8\">";

Text GbkPageHead(const Text& charset) {
    return "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset +
           "\">\r\n<p>青禾小说</p>";
}
Text WholeGbkPage(const Text& charset) { return GbkPageHead(charset) + Text(1, '\0') + "尾页"; }
Text Padded(std::size_t metaStart, const Text& tail) {
    return "<!--" + Text(metaStart - 7, 'x') + "-->" + kUtf8Meta + tail;
}

int pumpCalls = 0;
void CountPump() { ++pumpCalls; }

TEST(DecodePageText, FetchedPagesComeBackInGbk) {
    const struct {
        const char* page;
        Text expected;
    } cases[] = {
        // Exact-case GBK names: no conversion, so the text ends at the zero byte.
        {"gbk", GbkPageHead("gbk")},
        {"gb2312", GbkPageHead("gb2312")},
        // Converted from GB2312: unchanged, and the bytes after the zero come along.
        {"GB2312", WholeGbkPage("GB2312")},
        {"utf8", kUtf8Meta + "\r\n" + kUtf8TextAsGbk},
        // Not declared where the search looks: the raw UTF-8 bytes stay.
        {"none", kUtf8Text},
        {"within-1024", Padded(1024 - kUtf8Meta.size(), kUtf8TextAsGbk)},
        {"after-1024", Padded(1024, kUtf8Text)},
        {"split", "<meta http-equiv=\"Content-Type\"\r\ncontent=\"text/html; charset=utf-8\">" + kUtf8Text},
        {"zero-before", "<html>"},
        {"zero-after", kUtf8Meta + "<p>青禾</p>" + Text(1, '\0') + "<p>小说</p>"},
        // The stream cannot read in a set it does not know: the page is lost.
        {"unknown", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        Text statusText;
        ByteData bytes;
        const Text page = FetchPage(TestSiteAddress(std::string("fixture/charsets/") + c.page), 0, "", nullptr,
                                    nullptr, "", nullptr, false, "", "", "", "", "", 0, nullptr, &statusText,
                                    &bytes);
        EXPECT_EQ(statusText, "200 OK");
        EXPECT_EQ(page, c.expected);
        EXPECT_FALSE(bytes.empty());
    }
}

TEST(DecodePageText, PumpsOnceAfterTheDeclarationSearch) {
    ScopedFetchPumpForTesting counting(&CountPump);
    for (const char* page : {"utf8", "none"}) {
        SCOPED_TRACE(page);
        pumpCalls = 0;
        Text headers;
        FetchPage(TestSiteAddress(std::string("fixture/charsets/") + page), 0, "", nullptr, nullptr, "", &headers);
        EXPECT_EQ(pumpCalls, static_cast<int>(9 + SplitText(headers, "\r\n").size() + 1));
    }
}

TEST(DecodePageText, WithoutAStreamClassThePageStays) {
    const Text declared = kUtf8Meta + kUtf8Text;
    const ByteData body(declared.begin(), declared.end());
    const struct {
        const char* progId;
        Text expected;
    } cases[] = {
        {"Adodb.Stream", kUtf8Meta + kUtf8TextAsGbk},
        {"Qinghe.NoSuchStream", declared},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.progId);
        ScopedFetchPumpForTesting counting(&CountPump);
        pumpCalls = 0;
        RegexObject charsetSearch;
        Text page = declared;
        DecodePageTextThrough(c.progId, charsetSearch, page, body);
        EXPECT_EQ(page, c.expected);
        EXPECT_EQ(pumpCalls, 1);
    }
}

// Every initialisation a fetch makes on its thread is undone: a thread that
// nobody initialised is uninitialised again afterwards.
TEST(DecodePageText, FetchLeavesTheThreadsComAsItFoundIt) {
    const Text urls[] = {
        TestSiteAddress("fixture/charsets/utf8"),  // converted
        TestSiteAddress("fixture/charsets/gbk"),   // searched, not converted
        DeadSiteAddress(),                         // no response
    };
    for (const Text& url : urls) {
        SCOPED_TRACE(url);
        HRESULT afterFetch = E_FAIL;
        Text page;
        std::thread fetching([&] {
            page = FetchPage(url);
            afterFetch = CoInitialize(nullptr);
            if (SUCCEEDED(afterFetch)) CoUninitialize();
        });
        fetching.join();
        EXPECT_EQ(afterFetch, S_OK);
        EXPECT_EQ(page.empty(), url == DeadSiteAddress());
    }
}

}  // namespace
