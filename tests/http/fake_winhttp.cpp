#include "fake_winhttp.h"

#include <algorithm>
#include <cstring>

#include "http/utf16_text.h"

namespace {

FakeWinHttp* current = nullptr;

// Distinct non-null handles.
char sessionTag, connectionTag, requestTag;
HINTERNET const kSession = &sessionTag;
HINTERNET const kConnection = &connectionTag;
HINTERNET const kRequest = &requestTag;

std::wstring Copy(LPCWSTR text) { return text ? std::wstring(text) : std::wstring(); }

}  // namespace

FakeWinHttp::FakeWinHttp() {
    table_ = {&CheckPlatform,      &CrackUrl,   &Open,        &Connect,           &OpenRequest,
              &SetTimeouts,        &SetCredentials, &SetOption, &AddRequestHeaders, &SendRequest,
              &ReceiveResponse,    &QueryDataAvailable, &ReadData, &QueryHeaders,   &CloseHandle};
    current = this;
    installedApi_ = std::make_unique<ScopedWinHttpForTesting>(table_);
    installedPump_ = std::make_unique<ScopedFetchPumpForTesting>(&Pump);
}

FakeWinHttp::~FakeWinHttp() {
    installedPump_.reset();
    installedApi_.reset();
    current = nullptr;
}

std::uint64_t FakeWinHttp::Remaining() const {
    std::uint64_t total = generatedBytes == UINT64_MAX ? UINT64_MAX : body.size() + generatedBytes;
    return total - served_;
}

BOOL WINAPI FakeWinHttp::CheckPlatform() { return current->failing != Failing::CheckPlatform; }

BOOL WINAPI FakeWinHttp::CrackUrl(LPCWSTR url, DWORD length, DWORD flags, URL_COMPONENTS* components) {
    if (current->failing == Failing::CrackUrl) return FALSE;
    return SystemWinHttpApi().CrackUrl(url, length, flags, components);
}

HINTERNET WINAPI FakeWinHttp::Open(LPCWSTR agent, DWORD accessType, LPCWSTR proxyName, LPCWSTR proxyBypass, DWORD) {
    current->agentNull = agent == nullptr;
    current->accessType = accessType;
    current->proxyNameNull = proxyName == nullptr;
    current->proxyName = Copy(proxyName);
    current->proxyBypassNull = proxyBypass == nullptr;
    return current->failing == Failing::Open ? nullptr : kSession;
}

HINTERNET WINAPI FakeWinHttp::Connect(HINTERNET session, LPCWSTR server, INTERNET_PORT port, DWORD) {
    if (session != kSession) return nullptr;
    current->host = Copy(server);
    current->port = port;
    return current->failing == Failing::Connect ? nullptr : kConnection;
}

HINTERNET WINAPI FakeWinHttp::OpenRequest(HINTERNET connection, LPCWSTR verb, LPCWSTR objectName, LPCWSTR,
                                          LPCWSTR, LPCWSTR*, DWORD flags) {
    if (connection != kConnection) return nullptr;
    current->verb = Copy(verb);
    current->objectName = Copy(objectName);
    current->requestFlags = flags;
    return current->failing == Failing::OpenRequest ? nullptr : kRequest;
}

BOOL WINAPI FakeWinHttp::SetTimeouts(HINTERNET request, int resolve, int connect, int send, int receive) {
    current->timeouts = {resolve, connect, send, receive};
    return request == kRequest && current->failing != Failing::SetTimeouts;
}

BOOL WINAPI FakeWinHttp::SetCredentials(HINTERNET request, DWORD target, DWORD scheme, LPCWSTR userName,
                                        LPCWSTR password, LPVOID authParams) {
    current->credentials.push_back({target, scheme, Copy(userName), Copy(password), authParams == nullptr});
    if (target == WINHTTP_AUTH_TARGET_SERVER && current->failing == Failing::ServerCredentials) return FALSE;
    if (target == WINHTTP_AUTH_TARGET_PROXY && current->failing == Failing::ProxyCredentials) return FALSE;
    return request == kRequest;
}

BOOL WINAPI FakeWinHttp::SetOption(HINTERNET request, DWORD option, LPVOID buffer, DWORD length) {
    DWORD value = 0;
    if (buffer && length == sizeof(value)) std::memcpy(&value, buffer, sizeof(value));
    current->options.push_back({option, value, length});
    bool redirect = option == WINHTTP_OPTION_DISABLE_FEATURE && value == WINHTTP_DISABLE_REDIRECTS;
    if (current->failing == (redirect ? Failing::RedirectOption : Failing::CookieOption)) return FALSE;
    return request == kRequest;
}

BOOL WINAPI FakeWinHttp::AddRequestHeaders(HINTERNET request, LPCWSTR headers, DWORD length, DWORD modifiers) {
    current->headerBlock.assign(headers, length);
    current->headerModifiers = modifiers;
    return request == kRequest && current->failing != Failing::AddRequestHeaders;
}

BOOL WINAPI FakeWinHttp::SendRequest(HINTERNET request, LPCWSTR, DWORD, LPVOID optional, DWORD optionalLength,
                                     DWORD totalLength, DWORD_PTR) {
    current->bodyDataNull = optional == nullptr;
    const unsigned char* data = static_cast<const unsigned char*>(optional);
    current->sentBody.assign(data, data ? data + optionalLength : data);
    current->sentTotalLength = totalLength;
    return request == kRequest && current->failing != Failing::SendRequest;
}

BOOL WINAPI FakeWinHttp::ReceiveResponse(HINTERNET request, LPVOID) {
    return request == kRequest && current->failing != Failing::ReceiveResponse;
}

BOOL WINAPI FakeWinHttp::QueryDataAvailable(HINTERNET request, LPDWORD available) {
    if (request != kRequest) return FALSE;
    FakeWinHttp& fake = *current;
    std::uint64_t n = std::min<std::uint64_t>(fake.Remaining(), fake.chunkBytes);
    if (fake.failing == Failing::QueryDataAvailable) {
        // The connection breaks once failReadAfterBytes have been served.
        if (fake.served_ >= fake.failReadAfterBytes) return FALSE;
        n = std::min<std::uint64_t>(n, fake.failReadAfterBytes - fake.served_);
    }
    *available = static_cast<DWORD>(n);
    return TRUE;
}

BOOL WINAPI FakeWinHttp::ReadData(HINTERNET request, LPVOID buffer, DWORD toRead, LPDWORD read) {
    if (request != kRequest) return FALSE;
    FakeWinHttp& fake = *current;
    if (fake.failing == Failing::ReadData && fake.served_ >= fake.failReadAfterBytes) return FALSE;
    DWORD n = static_cast<DWORD>(std::min<std::uint64_t>(fake.Remaining(), toRead));
    if (fake.failing == Failing::ReadData)
        n = static_cast<DWORD>(std::min<std::uint64_t>(n, fake.failReadAfterBytes - fake.served_));
    unsigned char* out = static_cast<unsigned char*>(buffer);
    for (DWORD i = 0; i < n; ++i, ++fake.served_)
        out[i] = fake.served_ < fake.body.size() ? fake.body[static_cast<std::size_t>(fake.served_)] : 'x';
    *read = n;
    return TRUE;
}

BOOL WINAPI FakeWinHttp::QueryHeaders(HINTERNET request, DWORD level, LPCWSTR name, LPVOID buffer,
                                      LPDWORD length, LPDWORD index) {
    FakeWinHttp& fake = *current;
    fake.headerQueryLevels.push_back(level);
    if (request != kRequest || name != nullptr || !index || *index != 0) return FALSE;
    ByteData wide = TextToUtf16(fake.rawHeaders);
    if (!buffer || *length < wide.size()) {
        *length = static_cast<DWORD>(wide.size());
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (fake.headersUnreadable) return FALSE;
    std::memcpy(buffer, wide.data(), wide.size());
    *length = static_cast<DWORD>(wide.size() - sizeof(wchar_t));
    return TRUE;
}

BOOL WINAPI FakeWinHttp::CloseHandle(HINTERNET handle) {
    const char* name = handle == kRequest      ? "close request"
                       : handle == kConnection ? "close connection"
                       : handle == kSession    ? "close session"
                                               : "close unknown";
    current->events.push_back(name);
    return TRUE;
}

void FakeWinHttp::Pump() { current->events.push_back("pump"); }
