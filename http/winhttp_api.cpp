#include "http/winhttp_api.h"

#include <atomic>

namespace {

std::atomic<const WinHttpApi*> installedForTesting{nullptr};

template <typename Entry>
void Bind(HMODULE library, const char* name, Entry& entry) {
    entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

WinHttpApi LoadSystemTable() {
    WinHttpApi api{};
    HMODULE library = LoadLibraryA("Winhttp.dll");
    if (!library) return api;
    Bind(library, "WinHttpCheckPlatform", api.CheckPlatform);
    Bind(library, "WinHttpCrackUrl", api.CrackUrl);
    Bind(library, "WinHttpOpen", api.Open);
    Bind(library, "WinHttpConnect", api.Connect);
    Bind(library, "WinHttpOpenRequest", api.OpenRequest);
    Bind(library, "WinHttpSetTimeouts", api.SetTimeouts);
    Bind(library, "WinHttpSetCredentials", api.SetCredentials);
    Bind(library, "WinHttpSetOption", api.SetOption);
    Bind(library, "WinHttpAddRequestHeaders", api.AddRequestHeaders);
    Bind(library, "WinHttpSendRequest", api.SendRequest);
    Bind(library, "WinHttpReceiveResponse", api.ReceiveResponse);
    Bind(library, "WinHttpQueryDataAvailable", api.QueryDataAvailable);
    Bind(library, "WinHttpReadData", api.ReadData);
    Bind(library, "WinHttpQueryHeaders", api.QueryHeaders);
    Bind(library, "WinHttpCloseHandle", api.CloseHandle);
    return api;
}

}  // namespace

bool IsCompleteWinHttpApi(const WinHttpApi& api) {
    return api.CheckPlatform && api.CrackUrl && api.Open && api.Connect && api.OpenRequest &&
           api.SetTimeouts && api.SetCredentials && api.SetOption && api.AddRequestHeaders &&
           api.SendRequest && api.ReceiveResponse && api.QueryDataAvailable && api.ReadData &&
           api.QueryHeaders && api.CloseHandle;
}

const WinHttpApi& SystemWinHttpApi() {
    static const WinHttpApi table = LoadSystemTable();
    return table;
}

const WinHttpApi& ActiveWinHttpApi() {
    const WinHttpApi* installed = installedForTesting.load(std::memory_order_acquire);
    return installed ? *installed : SystemWinHttpApi();
}

ScopedWinHttpForTesting::ScopedWinHttpForTesting(const WinHttpApi& table)
    : previous_(installedForTesting.exchange(&table, std::memory_order_acq_rel)) {}

ScopedWinHttpForTesting::~ScopedWinHttpForTesting() {
    installedForTesting.store(previous_, std::memory_order_release);
}
