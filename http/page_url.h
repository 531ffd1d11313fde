#pragma once
// An absolute "http://" or "https://" address taken apart by WinHttpCrackUrl
// into what the connection and the request need.
#include <string>

#include "http/winhttp_api.h"
#include "text/gbk_text.h"

struct PageUrl {
    Text host;
    INTERNET_PORT port = 0;
    bool secure = false;
    // Path and extra information (query, fragment) as cracked, or "/" when
    // the address has no path. Without the query in that case, as before.
    std::wstring objectName;
};

// False when WinHttpCrackUrl rejects url (empty or malformed).
bool CrackPageUrl(const WinHttpApi& api, const Text& url, PageUrl& parts);
