#include "http/utf16_text.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <string>

namespace {
constexpr UINT kGbkCodePage = 936;
}  // namespace

ByteData TextToUtf16(const Text& text, bool dropTerminator) {
    if (text.empty()) return ByteData();
    // Length -1: the conversion includes the terminating zero.
    int units = MultiByteToWideChar(kGbkCodePage, 0, text.c_str(), -1, nullptr, 0);
    if (units <= 0) return ByteData();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    units = MultiByteToWideChar(kGbkCodePage, 0, text.c_str(), -1, wide.data(), units);
    if (units <= 0) return ByteData();
    std::size_t size = static_cast<std::size_t>(units) * sizeof(wchar_t);
    if (dropTerminator) size -= sizeof(wchar_t);
    ByteData bytes(size);
    if (size) std::memcpy(bytes.data(), wide.data(), size);
    return bytes;
}

Text Utf16ToText(const wchar_t* units, std::size_t count) {
    if (!units) return Text();
    std::size_t length = 0;
    while (length < count && units[length] != L'\0') ++length;
    if (length == 0 || length > static_cast<std::size_t>(INT_MAX)) return Text();
    int n = static_cast<int>(length);
    int size = WideCharToMultiByte(kGbkCodePage, WC_COMPOSITECHECK, units, n, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return Text();
    Text text(static_cast<std::size_t>(size), '\0');
    size = WideCharToMultiByte(kGbkCodePage, WC_COMPOSITECHECK, units, n, text.data(), size, nullptr, nullptr);
    if (size <= 0) return Text();
    text.resize(static_cast<std::size_t>(size));
    return text;
}

Text Utf16ToText(const ByteData& bytes) {
    // Copied into wide units: the byte buffer need not be aligned for them.
    std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
    if (!wide.empty()) std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
    return Utf16ToText(wide.data(), wide.size());
}
