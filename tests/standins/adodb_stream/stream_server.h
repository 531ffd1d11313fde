#pragma once
// The in-process server that hands out the bench's stream objects.
#include <windows.h>

// The class of the bench's stream object; the ProgID "Adodb.Stream" names it
// in the bench's Wine prefixes only.
// {7D3C2A94-5B1E-4F0A-9C63-2E8B41D7A605}
constexpr CLSID kStreamStandInClassId = {0x7d3c2a94, 0x5b1e, 0x4f0a, {0x9c, 0x63, 0x2e, 0x8b, 0x41, 0xd7, 0xa6, 0x05}};
constexpr const wchar_t kStreamStandInClassIdText[] = L"{7D3C2A94-5B1E-4F0A-9C63-2E8B41D7A605}";
constexpr const wchar_t kStreamProgId[] = L"ADODB.Stream";

// This DLL, for its registration.
HMODULE StreamServerModule();
