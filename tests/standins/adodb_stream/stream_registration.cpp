// DllRegisterServer / DllUnregisterServer: the class with this DLL as its
// in-process server, and the stream ProgID pointed at it. The class the
// ProgID named before is remembered and given back on unregistration.
#include <objbase.h>
#include <olectl.h>

#include <string>

#include "stream_server.h"

namespace {

const wchar_t kReplacedClassValue[] = L"ReplacedProgIdClass";

std::wstring ClassKeyPath() { return std::wstring(L"CLSID\\") + kStreamStandInClassIdText; }
std::wstring ProgIdClassKeyPath() { return std::wstring(kStreamProgId) + L"\\CLSID"; }

bool SetString(const std::wstring& keyPath, const wchar_t* valueName, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LSTATUS status =
        RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::wstring GetString(const std::wstring& keyPath, const wchar_t* valueName) {
    wchar_t buffer[256] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, keyPath.c_str(), valueName, RRF_RT_REG_SZ, nullptr, buffer, &bytes) !=
        ERROR_SUCCESS)
        return {};
    return buffer;
}

}  // namespace

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(StreamServerModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return SELFREG_E_CLASS;

    const std::wstring classKey = ClassKeyPath();
    const std::wstring previous = GetString(ProgIdClassKeyPath(), nullptr);
    const bool ok =
        SetString(classKey, nullptr, L"Bench stand-in for the platform's stream object") &&
        SetString(classKey + L"\\InprocServer32", nullptr, path) &&
        SetString(classKey + L"\\InprocServer32", L"ThreadingModel", L"Both") &&
        SetString(classKey + L"\\ProgID", nullptr, kStreamProgId) &&
        (previous.empty() || previous == kStreamStandInClassIdText ||
         SetString(classKey, kReplacedClassValue, previous)) &&
        SetString(ProgIdClassKeyPath(), nullptr, kStreamStandInClassIdText);
    return ok ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
    const std::wstring replaced = GetString(ClassKeyPath(), kReplacedClassValue);
    if (GetString(ProgIdClassKeyPath(), nullptr) == kStreamStandInClassIdText) {
        if (!replaced.empty()) SetString(ProgIdClassKeyPath(), nullptr, replaced);
        else RegDeleteTreeW(HKEY_CLASSES_ROOT, ProgIdClassKeyPath().c_str());
    }
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKeyPath().c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}
