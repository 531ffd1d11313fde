#pragma once
// The character-set names the bench's stream object understands, and the
// code page each one decodes through.
#include <windows.h>

// The code page for a character-set name (ASCII letters in any case);
// 0 for a name it does not know.
UINT CodePageOfCharset(const wchar_t* name);

// UTF-16LE: the stream hands those bytes over as they are.
constexpr UINT kUtf16CodePage = 1200;
