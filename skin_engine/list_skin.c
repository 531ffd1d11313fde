/*
 * List views and their headers. A list's colours are the skin's whatever
 * the program sets; selected rows are coloured by the parent's custom draw
 * (child_colours.c). The header is painted whole in WM_PAINT and keeps its
 * clicks and column sizing.
 */
#include "engine_state.h"

#include <commctrl.h>

static void ColourList(HWND hwnd) {
    SendMessageW(hwnd, LVM_SETBKCOLOR, 0, (LPARAM)g_skin.colours[SKC_LIST_BG]);
    SendMessageW(hwnd, LVM_SETTEXTBKCOLOR, 0, (LPARAM)g_skin.colours[SKC_LIST_BG]);
    SendMessageW(hwnd, LVM_SETTEXTCOLOR, 0, (LPARAM)g_skin.colours[SKC_LIST_TEXT]);
}

LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SkinnedWindow* entry = FindSkinnedWindow(hwnd);
    if (!entry) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_CREATE: {
            LRESULT result = CallNext(entry, hwnd, message, wParam, lParam);
            if (result != -1) ColourList(hwnd);
            return result;
        }
        case LVM_SETBKCOLOR:
        case LVM_SETTEXTBKCOLOR:
            return CallNext(entry, hwnd, message, wParam, (LPARAM)g_skin.colours[SKC_LIST_BG]);
        case LVM_SETTEXTCOLOR:
            return CallNext(entry, hwnd, message, wParam, (LPARAM)g_skin.colours[SKC_LIST_TEXT]);
        case WM_NCPAINT: {
            LRESULT result = CallNext(entry, hwnd, message, wParam, lParam);
            DrawFlatClientEdge(hwnd, g_skin.colours[SKC_CONTROL_EDGE], g_skin.colours[SKC_LIST_BG]);
            return result;
        }
        case WM_NCDESTROY:
            return ForwardNcDestroy(entry, hwnd, message, wParam, lParam);
        default:
            break;
    }
    return CallNext(entry, hwnd, message, wParam, lParam);
}

static void PaintHeader(HWND hwnd, HDC dc, SkinnedWindow* entry) {
    (void)entry;
    RECT client;
    if (!GetClientRect(hwnd, &client)) return;
    COLORREF top = g_skin.colours[SKC_HEADER_TOP];
    COLORREF bottom = g_skin.metrics[SKM_HEADER_GRADIENT] ? g_skin.colours[SKC_HEADER_BOTTOM] : top;
    FillGradient(dc, &client, top, bottom);
    RECT line = {client.left, client.bottom - 1, client.right, client.bottom};
    FillSolid(dc, &line, g_skin.colours[SKC_HEADER_DIVIDER]);

    HGDIOBJ oldFont = SelectObject(dc, FontOrWindowFont(-1, hwnd));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, g_skin.colours[SKC_HEADER_TEXT]);
    int count = (int)SendMessageW(hwnd, HDM_GETITEMCOUNT, 0, 0);
    for (int order = 0; order < count; ++order) {
        int index = (int)SendMessageW(hwnd, HDM_ORDERTOINDEX, (WPARAM)order, 0);
        RECT item;
        if (!SendMessageW(hwnd, HDM_GETITEMRECT, (WPARAM)index, (LPARAM)&item) || item.right - item.left < 2) continue;
        WCHAR text[128];
        HDITEMW info;
        SkinMemset(&info, 0, sizeof info);
        info.mask = HDI_TEXT | HDI_FORMAT;
        info.pszText = text;
        info.cchTextMax = 128;
        text[0] = 0;
        SendMessageW(hwnd, HDM_GETITEMW, (WPARAM)index, (LPARAM)&info);
        RECT label = {item.left + 6, item.top, item.right - 6, item.bottom};
        UINT align = (info.fmt & HDF_JUSTIFYMASK) == HDF_CENTER  ? DT_CENTER
                     : (info.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? DT_RIGHT
                                                                 : DT_LEFT;
        if (label.right > label.left)
            DrawTextW(dc, text, -1, &label, align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        RECT divider = {item.right - 1, item.top + 3, item.right, item.bottom - 3};
        FillSolid(dc, &divider, g_skin.colours[SKC_HEADER_DIVIDER]);
    }
    SelectObject(dc, oldFont);
}

static void PaintHeaderNow(HWND hwnd) {
    if (!IsWindow(hwnd) || !IsWindowVisible(hwnd)) return;
    HDC dc = GetDC(hwnd);
    if (!dc) return;
    PaintHeader(hwnd, dc, 0);
    ReleaseDC(hwnd, dc);
}

LRESULT CALLBACK HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SkinnedWindow* entry = FindSkinnedWindow(hwnd);
    if (!entry) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            PaintClient(hwnd, wParam, entry, PaintHeader);
            return 0;
        case WM_MOUSEMOVE:
            /* Only while a column is being pressed or sized. */
            if (GetCapture() != hwnd) break;
            __attribute__((fallthrough));
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED: {
            LRESULT result = CallNext(entry, hwnd, message, wParam, lParam);
            PaintHeaderNow(hwnd);
            return result;
        }
        case WM_NCDESTROY:
            return ForwardNcDestroy(entry, hwnd, message, wParam, lParam);
        default:
            break;
    }
    return CallNext(entry, hwnd, message, wParam, lParam);
}
