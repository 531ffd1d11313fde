#include "http/page_url.h"

#include "http/utf16_text.h"

bool CrackPageUrl(const WinHttpApi& api, const Text& url, PageUrl& parts) {
    ByteData wideUrl = TextToUtf16(url);
    const wchar_t* urlUnits = wideUrl.empty() ? L"" : reinterpret_cast<const wchar_t*>(wideUrl.data());
    DWORD urlLength = wideUrl.empty() ? 0 : static_cast<DWORD>(wideUrl.size() / sizeof(wchar_t) - 1);

    URL_COMPONENTS components{};
    components.dwStructSize = sizeof(components);
    // -1 lengths: the components point into the URL instead of being copied.
    components.dwSchemeLength = static_cast<DWORD>(-1);
    components.dwHostNameLength = static_cast<DWORD>(-1);
    components.dwUrlPathLength = static_cast<DWORD>(-1);
    components.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!api.CrackUrl(urlUnits, urlLength, 0, &components)) return false;

    parts.host = Utf16ToText(components.lpszHostName, components.dwHostNameLength);
    parts.port = components.nPort;
    parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
    if (components.dwUrlPathLength < 1 || !components.lpszUrlPath) {
        parts.objectName = L"/";
    } else {
        parts.objectName.assign(components.lpszUrlPath, components.dwUrlPathLength);
        if (components.lpszExtraInfo && components.dwExtraInfoLength > 0)
            parts.objectName.append(components.lpszExtraInfo, components.dwExtraInfoLength);
    }
    return true;
}
