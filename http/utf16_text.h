#pragma once
// Conversions between Text and the UTF-16LE strings WinHTTP takes and gives.
// Both always use code page 936, whatever the system's ANSI code page is.
#include <cstddef>

#include "text/gbk_text.h"

// UTF-16LE code units of text, ending in one zero unit (two zero bytes)
// unless dropTerminator. An empty text gives empty data.
ByteData TextToUtf16(const Text& text, bool dropTerminator = false);

// The UTF-16LE units of bytes up to the first zero unit or the end of the
// data, as Text; what code page 936 cannot map becomes its replacement
// character. A trailing odd byte is not a unit and is ignored.
Text Utf16ToText(const ByteData& bytes);

// The same for count units at units (stops at a zero unit too).
Text Utf16ToText(const wchar_t* units, std::size_t count);
