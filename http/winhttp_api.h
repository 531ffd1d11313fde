#pragma once
// The WinHTTP entry points the page fetch uses, as a table of function
// pointers. The system table is filled from "Winhttp.dll", loaded by name on
// first use; tests may install a table of their own for a scope.
#include <windows.h>
#include <winhttp.h>

struct WinHttpApi {
    BOOL(WINAPI* CheckPlatform)();
    BOOL(WINAPI* CrackUrl)(LPCWSTR url, DWORD urlLength, DWORD flags, URL_COMPONENTS* components);
    HINTERNET(WINAPI* Open)(LPCWSTR agent, DWORD accessType, LPCWSTR proxyName, LPCWSTR proxyBypass,
                            DWORD flags);
    HINTERNET(WINAPI* Connect)(HINTERNET session, LPCWSTR serverName, INTERNET_PORT port, DWORD reserved);
    HINTERNET(WINAPI* OpenRequest)(HINTERNET connection, LPCWSTR verb, LPCWSTR objectName, LPCWSTR version,
                                   LPCWSTR referrer, LPCWSTR* acceptTypes, DWORD flags);
    BOOL(WINAPI* SetTimeouts)(HINTERNET request, int resolveTimeout, int connectTimeout, int sendTimeout,
                              int receiveTimeout);
    BOOL(WINAPI* SetCredentials)(HINTERNET request, DWORD authTargets, DWORD authScheme, LPCWSTR userName,
                                 LPCWSTR password, LPVOID authParams);
    BOOL(WINAPI* SetOption)(HINTERNET handle, DWORD option, LPVOID buffer, DWORD bufferLength);
    BOOL(WINAPI* AddRequestHeaders)(HINTERNET request, LPCWSTR headers, DWORD headersLength, DWORD modifiers);
    BOOL(WINAPI* SendRequest)(HINTERNET request, LPCWSTR headers, DWORD headersLength, LPVOID optional,
                              DWORD optionalLength, DWORD totalLength, DWORD_PTR context);
    BOOL(WINAPI* ReceiveResponse)(HINTERNET request, LPVOID reserved);
    BOOL(WINAPI* QueryDataAvailable)(HINTERNET request, LPDWORD bytesAvailable);
    BOOL(WINAPI* ReadData)(HINTERNET request, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead);
    BOOL(WINAPI* QueryHeaders)(HINTERNET request, DWORD infoLevel, LPCWSTR name, LPVOID buffer,
                               LPDWORD bufferLength, LPDWORD index);
    BOOL(WINAPI* CloseHandle)(HINTERNET handle);
};

// True when every entry of the table is set.
bool IsCompleteWinHttpApi(const WinHttpApi& api);

// The table loaded from the system's "Winhttp.dll" (loaded once, never
// unloaded). Entries stay null when the library or an export is missing.
const WinHttpApi& SystemWinHttpApi();

// The table the page fetch uses: a test's table while one is installed,
// otherwise the system table.
const WinHttpApi& ActiveWinHttpApi();

// Installs table for the lifetime of this object (the caller keeps table
// alive). Meant for tests on one thread; nesting restores the outer table.
class ScopedWinHttpForTesting {
public:
    explicit ScopedWinHttpForTesting(const WinHttpApi& table);
    ~ScopedWinHttpForTesting();
    ScopedWinHttpForTesting(const ScopedWinHttpForTesting&) = delete;
    ScopedWinHttpForTesting& operator=(const ScopedWinHttpForTesting&) = delete;

private:
    const WinHttpApi* previous_;
};
