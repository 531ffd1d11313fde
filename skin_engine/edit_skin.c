/*
 * Edit boxes, rich edit boxes and labels. Plain edits and labels take their
 * colours from their parent (child_colours.c); a rich edit asks nobody, so
 * its colours are set on it, and colours the program sets later are turned
 * into the skin's. A flat border replaces the sunken edge.
 */
#include "engine_state.h"

#include <richedit.h>

static void ColourRichEdit(HWND hwnd) {
    SendMessageW(hwnd, EM_SETBKGNDCOLOR, 0, (LPARAM)g_skin.colours[SKC_EDIT_BG]);
    CHARFORMAT2W format;
    SkinMemset(&format, 0, sizeof format);
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    format.crTextColor = g_skin.colours[SKC_EDIT_TEXT];
    SendMessageW(hwnd, EM_SETCHARFORMAT, SCF_ALL, (LPARAM)&format);
    SendMessageW(hwnd, EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&format);
}

/* The character formats of both character sets begin alike up to the text
   colour; only the colour is changed, in a copy. */
static LRESULT ForwardCharFormat(SkinnedWindow* entry, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const CHARFORMATW* given = (const CHARFORMATW*)lParam;
    union {
        CHARFORMATW format;
        unsigned char bytes[160];
    } copy;
    if (!given || given->cbSize < sizeof(CHARFORMATA) || given->cbSize > sizeof copy.bytes ||
        !(given->dwMask & CFM_COLOR))
        return CallNext(entry, hwnd, EM_SETCHARFORMAT, wParam, lParam);
    const unsigned char* from = (const unsigned char*)given;
    for (UINT i = 0; i < given->cbSize; ++i) copy.bytes[i] = from[i];
    copy.format.crTextColor = g_skin.colours[SKC_EDIT_TEXT];
    copy.format.dwEffects &= ~(DWORD)CFE_AUTOCOLOR;
    return CallNext(entry, hwnd, EM_SETCHARFORMAT, wParam, (LPARAM)&copy.format);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SkinnedWindow* entry = FindSkinnedWindow(hwnd);
    if (!entry) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) return ForwardNcDestroy(entry, hwnd, message, wParam, lParam);
    if (entry->kind == WK_LABEL) return CallNext(entry, hwnd, message, wParam, lParam);
    switch (message) {
        case WM_NCPAINT: {
            LRESULT result = CallNext(entry, hwnd, message, wParam, lParam);
            DrawFlatClientEdge(hwnd, g_skin.colours[SKC_CONTROL_EDGE], g_skin.colours[SKC_EDIT_BG]);
            return result;
        }
        case WM_CREATE: {
            LRESULT result = CallNext(entry, hwnd, message, wParam, lParam);
            if (result != -1 && entry->kind == WK_RICH_EDIT) ColourRichEdit(hwnd);
            return result;
        }
        case EM_SETBKGNDCOLOR:
            if (entry->kind != WK_RICH_EDIT) break;
            return CallNext(entry, hwnd, message, 0, (LPARAM)g_skin.colours[SKC_EDIT_BG]);
        case EM_SETCHARFORMAT:
            if (entry->kind != WK_RICH_EDIT) break;
            return ForwardCharFormat(entry, hwnd, wParam, lParam);
        default:
            break;
    }
    return CallNext(entry, hwnd, message, wParam, lParam);
}
