#include "http/decode_page_text.h"

#include <objbase.h>

#include "http/fetch_event_pump.h"
#include "runtime/automation.h"

namespace {

const Text kCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";
// Only the head of a page is searched for its declaration.
constexpr std::size_t kDeclarationSearchBytes = 1024;

// The stream's own constants: Type 1 bytes, 2 text; Mode 3 read and write.
constexpr int kStreamTypeBytes = 1;
constexpr int kStreamTypeText = 2;
constexpr int kStreamModeReadWrite = 3;

// Decodes the whole body, zero bytes included, in charset. The results of the
// set-up calls are not examined: whatever "ReadText" gives is the page, and
// when it fails the page is empty.
void ConvertThroughStream(const Text& streamProgId, const Text& charset, Text& page, const ByteData& body) {
    AutomationObject stream;
    if (!AutomationCreate(stream, streamProgId)) return;
    AutomationVariant bytes = AutomationVariant::FromBytes(body);
    AutomationPutProperty(stream, "Type", AutomationVariant::FromInt(kStreamTypeBytes));
    AutomationPutProperty(stream, "Mode", AutomationVariant::FromInt(kStreamModeReadWrite));
    AutomationCallMethod(stream, "Open");
    AutomationCallMethod(stream, "Write", {{&bytes}});
    AutomationPutProperty(stream, "Position", AutomationVariant::FromInt(0));
    AutomationPutProperty(stream, "Type", AutomationVariant::FromInt(kStreamTypeText));
    AutomationPutProperty(stream, "Charset", AutomationVariant::FromText(charset));
    page = AutomationCallMethod(stream, "ReadText").ToText();
    AutomationCallMethod(stream, "Close");
    AutomationRelease(stream);
    bytes.Clear();
}

}  // namespace

void DecodePageTextThrough(const Text& streamProgId, RegexObject& charsetSearch, Text& page,
                           const ByteData& body) {
    // The step's own COM pair: it works on a thread nobody else initialised.
    (void)CoInitialize(nullptr);
    if (charsetSearch.Create(kCharsetPattern, page.substr(0, kDeclarationSearchBytes))) {
        const Text charset = charsetSearch.SubMatchText(1, 1);
        // Exact bytes: a page that declares "GB2312" is still converted.
        if (!charset.empty() && charset != "gbk" && charset != "gb2312")
            ConvertThroughStream(streamProgId, charset, page, body);
        PumpFetchEvents();
    }
    CoUninitialize();
}

void DecodePageText(RegexObject& charsetSearch, Text& page, const ByteData& body) {
    DecodePageTextThrough("Adodb.Stream", charsetSearch, page, body);
}
