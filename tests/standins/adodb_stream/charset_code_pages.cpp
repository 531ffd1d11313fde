#include "charset_code_pages.h"

#include <cwchar>

namespace {

constexpr UINT kGb18030CodePage = 54936;

struct CharsetCodePage {
    const wchar_t* name;
    UINT codePage;
};

const CharsetCodePage kCharsets[] = {
    {L"utf-8", 65001},        {L"utf8", 65001},
    {L"gbk", 936},            {L"gb2312", 936},          {L"x-gbk", 936},       {L"cp936", 936},
    {L"gb18030", kGb18030CodePage},      {L"big5", 950},
    {L"shift_jis", 932},      {L"shift-jis", 932},       {L"sjis", 932},
    {L"euc-kr", 949},
    {L"iso-8859-1", 28591},   {L"latin1", 28591},
    {L"windows-1250", 1250},  {L"windows-1251", 1251},   {L"windows-1252", 1252},
    {L"windows-1253", 1253},  {L"windows-1254", 1254},   {L"windows-1255", 1255},
    {L"windows-1256", 1256},  {L"windows-1257", 1257},   {L"windows-1258", 1258},
    {L"utf-16", kUtf16CodePage}, {L"utf-16le", kUtf16CodePage}, {L"unicode", kUtf16CodePage},
};

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameNameIgnoringCase(const wchar_t* a, const wchar_t* b) {
    for (; *a && *b; ++a, ++b)
        if (AsciiLower(*a) != AsciiLower(*b)) return false;
    return *a == *b;
}

}  // namespace

UINT CodePageOfCharset(const wchar_t* name) {
    if (!name) return 0;
    for (const CharsetCodePage& entry : kCharsets) {
        if (!SameNameIgnoringCase(name, entry.name)) continue;
        // Wine has no GB18030 table; its one- and two-byte part is GBK.
        if (entry.codePage == kGb18030CodePage && !IsValidCodePage(kGb18030CodePage)) return 936;
        return entry.codePage;
    }
    return 0;
}
