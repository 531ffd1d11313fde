#include "http/response_body.h"

#include <algorithm>

bool ReadResponseBody(const WinHttpApi& api, HINTERNET request, ByteData& body) {
    for (;;) {
        DWORD available = 0;
        // A failing query is a broken connection (a reset shows up here), not
        // the end of the body: only a successful query of 0 bytes ends it.
        if (!api.QueryDataAvailable(request, &available)) return false;
        if (available < 1) return true;
        if (body.size() >= kMaxResponseBodyBytes) return false;
        DWORD wanted = static_cast<DWORD>(
            std::min<std::size_t>(available, kMaxResponseBodyBytes - body.size()));
        ByteData chunk(wanted, 0);
        DWORD read = 0;
        if (!api.ReadData(request, chunk.data(), wanted, &read)) return false;
        // Never trust a count beyond the buffer.
        body.insert(body.end(), chunk.begin(), chunk.begin() + std::min(read, wanted));
    }
}
