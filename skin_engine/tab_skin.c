/*
 * The tab control: the strip of tabs, the selected and unselected tabs and
 * the page beneath them, painted whole in WM_PAINT. Clicks and keys stay
 * the control's own. The tab control need not clip its children, so the
 * painting leaves out every visible child that is not transparent.
 */
#include "engine_state.h"

#include <commctrl.h>

static void LeaveOutChildren(HWND hwnd, HDC dc) {
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT)) continue;
        RECT rect;
        if (!GetWindowRect(child, &rect)) continue;
        MapWindowPoints(0, hwnd, (POINT*)&rect, 2);
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
}

static int StripBottom(HWND hwnd) {
    int count = (int)SendMessageW(hwnd, TCM_GETITEMCOUNT, 0, 0);
    int bottom = 0;
    for (int i = 0; i < count; ++i) {
        RECT item;
        if (SendMessageW(hwnd, TCM_GETITEMRECT, (WPARAM)i, (LPARAM)&item) && item.bottom > bottom) bottom = item.bottom;
    }
    return bottom;
}

static void PaintTab(HWND hwnd, HDC dc, SkinnedWindow* entry) {
    (void)entry;
    RECT client;
    if (!GetClientRect(hwnd, &client)) return;
    int saved = SaveDC(dc);
    LeaveOutChildren(hwnd, dc);
    SetBrushOrgEx(dc, 0, 0, 0);
    int stripBottom = StripBottom(hwnd);
    RECT strip = {client.left, client.top, client.right, stripBottom};
    RECT page = {client.left, stripBottom, client.right, client.bottom};
    FillRect(dc, &strip, g_objects.windowBrush);
    FillRect(dc, &page, g_objects.pageBrush);
    FrameSolid(dc, &page, g_skin.colours[SKC_TAB_BORDER]);

    HGDIOBJ oldFont = SelectObject(dc, FontOrWindowFont(SKF_CONTROL, hwnd));
    SetBkMode(dc, TRANSPARENT);
    int count = (int)SendMessageW(hwnd, TCM_GETITEMCOUNT, 0, 0);
    int selected = (int)SendMessageW(hwnd, TCM_GETCURSEL, 0, 0);
    int radius = g_skin.metrics[SKM_TAB_RADIUS];
    for (int i = 0; i < count; ++i) {
        RECT item;
        if (!SendMessageW(hwnd, TCM_GETITEMRECT, (WPARAM)i, (LPARAM)&item)) continue;
        int isSelected = i == selected;
        if (isSelected) {
            InflateRect(&item, 2, 0);
            item.top -= 2;
            if (item.top < 0) item.top = 0;
        }
        COLORREF face = g_skin.colours[isSelected ? SKC_TAB_SELECTED : SKC_TAB_UNSELECTED];
        RECT shape = item;
        shape.bottom += 1;
        if (radius > 0) {
            /* Rounded on top only: the lower part is drawn square over it. */
            FillRounded(dc, &shape, radius, face, g_skin.colours[SKC_TAB_BORDER]);
            RECT lower = {shape.left, shape.top + radius, shape.right, shape.bottom};
            FillSolid(dc, &lower, face);
            RECT left = {lower.left, lower.top, lower.left + 1, lower.bottom};
            RECT right = {lower.right - 1, lower.top, lower.right, lower.bottom};
            FillSolid(dc, &left, g_skin.colours[SKC_TAB_BORDER]);
            FillSolid(dc, &right, g_skin.colours[SKC_TAB_BORDER]);
        } else {
            FillSolid(dc, &shape, face);
            FrameSolid(dc, &shape, g_skin.colours[SKC_TAB_BORDER]);
        }
        if (isSelected) {
            /* The selected tab opens into its page. */
            RECT joint = {shape.left + 1, stripBottom - 1, shape.right - 1, stripBottom + 1};
            FillSolid(dc, &joint, face);
        } else {
            RECT base = {shape.left, stripBottom, shape.right, stripBottom + 1};
            FillSolid(dc, &base, g_skin.colours[SKC_TAB_BORDER]);
        }
        WCHAR text[128];
        TCITEMW info;
        SkinMemset(&info, 0, sizeof info);
        info.mask = TCIF_TEXT;
        info.pszText = text;
        info.cchTextMax = 128;
        text[0] = 0;
        SendMessageW(hwnd, TCM_GETITEMW, (WPARAM)i, (LPARAM)&info);
        SetTextColor(dc, g_skin.colours[isSelected ? SKC_TAB_TEXT_SELECTED : SKC_TAB_TEXT]);
        RECT label = item;
        DrawTextW(dc, text, -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (isSelected && GetFocus() == hwnd) {
            InflateRect(&label, -3, -3);
            FrameSolid(dc, &label, g_skin.colours[SKC_FOCUS]);
        }
    }
    SelectObject(dc, oldFont);
    RestoreDC(dc, saved);
}

static void InvalidateStrip(HWND hwnd) {
    RECT client;
    if (!IsWindow(hwnd) || !GetClientRect(hwnd, &client)) return;
    client.bottom = StripBottom(hwnd) + 2;
    InvalidateRect(hwnd, &client, FALSE);
}

LRESULT CALLBACK TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SkinnedWindow* entry = FindSkinnedWindow(hwnd);
    if (!entry) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    if (HandleChildColours(message, wParam, lParam, &result)) return result;
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            PaintClient(hwnd, wParam, entry, PaintTab);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case TCM_SETCURSEL:
        case TCM_SETCURFOCUS:
            /* The control may draw the tabs directly on these. */
            result = CallNext(entry, hwnd, message, wParam, lParam);
            InvalidateStrip(hwnd);
            return result;
        case WM_NCDESTROY:
            return ForwardNcDestroy(entry, hwnd, message, wParam, lParam);
        default:
            break;
    }
    return CallNext(entry, hwnd, message, wParam, lParam);
}
