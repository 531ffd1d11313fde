#pragma once
// A scripted stand-in for WinHTTP, installed for the lifetime of one
// FakeWinHttp object together with a pump that is logged instead of run. It
// records what the page fetch hands to each call and can make any one step
// fail. URLs are cracked by the system's WinHttpCrackUrl, which needs no
// network.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "http/fetch_event_pump.h"
#include "http/winhttp_api.h"
#include "text/gbk_text.h"

class FakeWinHttp {
public:
    enum class Failing {
        Nothing,
        CheckPlatform,
        CrackUrl,
        Open,
        Connect,
        OpenRequest,
        SetTimeouts,
        ServerCredentials,
        ProxyCredentials,
        CookieOption,
        RedirectOption,
        AddRequestHeaders,
        SendRequest,
        ReceiveResponse,
        ReadData,
        QueryDataAvailable,
    };

    struct Credentials {
        DWORD target;
        DWORD scheme;
        std::wstring userName;
        std::wstring password;
        bool authParamsNull;
    };
    struct Option {
        DWORD option;
        DWORD value;
        DWORD length;
    };

    FakeWinHttp();
    ~FakeWinHttp();

    // Script.
    Failing failing = Failing::Nothing;
    Text rawHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    ByteData body;                       // served first
    std::uint64_t generatedBytes = 0;    // then this many 'x' bytes (UINT64_MAX: endless)
    std::size_t chunkBytes = 1 << 20;    // at most this much per QueryDataAvailable
    std::size_t failReadAfterBytes = 0;  // with Failing::ReadData or QueryDataAvailable: fails once this much was served
    bool headersUnreadable = false;      // the second raw-header query fails

    // Records.
    bool agentNull = false;
    DWORD accessType = 0;
    bool proxyNameNull = true;
    std::wstring proxyName;
    bool proxyBypassNull = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring verb;
    std::wstring objectName;
    DWORD requestFlags = 0;
    std::vector<int> timeouts;
    std::vector<Credentials> credentials;
    std::vector<Option> options;
    std::wstring headerBlock;  // as many units as the length argument names
    DWORD headerModifiers = 0;
    bool bodyDataNull = true;
    ByteData sentBody;
    DWORD sentTotalLength = 0;
    std::vector<DWORD> headerQueryLevels;
    // "pump" and "close request" / "close connection" / "close session", in order.
    std::vector<std::string> events;

private:
    static BOOL WINAPI CheckPlatform();
    static BOOL WINAPI CrackUrl(LPCWSTR, DWORD, DWORD, URL_COMPONENTS*);
    static HINTERNET WINAPI Open(LPCWSTR, DWORD, LPCWSTR, LPCWSTR, DWORD);
    static HINTERNET WINAPI Connect(HINTERNET, LPCWSTR, INTERNET_PORT, DWORD);
    static HINTERNET WINAPI OpenRequest(HINTERNET, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR*, DWORD);
    static BOOL WINAPI SetTimeouts(HINTERNET, int, int, int, int);
    static BOOL WINAPI SetCredentials(HINTERNET, DWORD, DWORD, LPCWSTR, LPCWSTR, LPVOID);
    static BOOL WINAPI SetOption(HINTERNET, DWORD, LPVOID, DWORD);
    static BOOL WINAPI AddRequestHeaders(HINTERNET, LPCWSTR, DWORD, DWORD);
    static BOOL WINAPI SendRequest(HINTERNET, LPCWSTR, DWORD, LPVOID, DWORD, DWORD, DWORD_PTR);
    static BOOL WINAPI ReceiveResponse(HINTERNET, LPVOID);
    static BOOL WINAPI QueryDataAvailable(HINTERNET, LPDWORD);
    static BOOL WINAPI ReadData(HINTERNET, LPVOID, DWORD, LPDWORD);
    static BOOL WINAPI QueryHeaders(HINTERNET, DWORD, LPCWSTR, LPVOID, LPDWORD, LPDWORD);
    static BOOL WINAPI CloseHandle(HINTERNET);
    static void Pump();

    std::uint64_t Remaining() const;

    WinHttpApi table_{};
    std::uint64_t served_ = 0;
    std::unique_ptr<ScopedWinHttpForTesting> installedApi_;
    std::unique_ptr<ScopedFetchPumpForTesting> installedPump_;
};
