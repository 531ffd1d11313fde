/*
 * Push buttons drawn in the skin: face by state (normal, hot, pressed),
 * border, focus mark, text. The control keeps its input handling; since it
 * draws itself directly on some state changes, it is drawn again in the
 * skin right after them.
 */
#include "engine_state.h"

static void PaintButton(HWND hwnd, HDC dc, SkinnedWindow* entry) {
    RECT client;
    if (!GetClientRect(hwnd, &client)) return;
    LRESULT state = SendMessageW(hwnd, BM_GETSTATE, 0, 0);
    int pressed = (state & BST_PUSHED) != 0;
    int focus = GetFocus() == hwnd;
    int enabled = IsWindowEnabled(hwnd);
    SkinnedWindow* parent = FindSkinnedWindow(GetParent(hwnd));
    FillRect(dc, &client, parent && parent->kind == WK_TAB ? g_objects.pageBrush : g_objects.windowBrush);
    COLORREF face = g_skin.colours[pressed ? SKC_BUTTON_FACE_PRESSED
                                   : entry->hot && enabled ? SKC_BUTTON_FACE_HOT
                                                           : SKC_BUTTON_FACE];
    COLORREF edge = g_skin.colours[focus ? SKC_FOCUS : SKC_BUTTON_BORDER];
    FillRounded(dc, &client, g_skin.metrics[SKM_BUTTON_RADIUS], face, edge);

    WCHAR text[128];
    int length = GetWindowTextW(hwnd, text, 128);
    RECT label = client;
    if (pressed) OffsetRect(&label, 1, 1);
    HGDIOBJ oldFont = SelectObject(dc, FontOrWindowFont(SKF_CONTROL, hwnd));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? g_skin.colours[SKC_BUTTON_TEXT] : g_skin.colours[SKC_BUTTON_BORDER]);
    if (length > 0) DrawTextW(dc, text, length, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (focus) {
        if (g_skin.metrics[SKM_FOCUS_STYLE] == 1) {
            RECT bar = {client.left + 6, client.bottom - 4, client.right - 6, client.bottom - 2};
            FillSolid(dc, &bar, g_skin.colours[SKC_FOCUS]);
        } else {
            InflateRect(&label, -4, -4);
            SetTextColor(dc, g_skin.colours[SKC_BUTTON_TEXT]);
            DrawFocusRect(dc, &label);
        }
    }
    SelectObject(dc, oldFont);
}

static void PaintNow(HWND hwnd) {
    SkinnedWindow* entry = FindSkinnedWindow(hwnd);
    if (!entry || !IsWindowVisible(hwnd)) return;
    HDC dc = GetDC(hwnd);
    if (!dc) return;
    PaintButton(hwnd, dc, entry);
    ReleaseDC(hwnd, dc);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SkinnedWindow* entry = FindSkinnedWindow(hwnd);
    if (!entry) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result;
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            PaintClient(hwnd, wParam, entry, PaintButton);
            return 0;
        case WM_MOUSEMOVE: {
            result = CallNext(entry, hwnd, message, wParam, lParam);
            entry = FindSkinnedWindow(hwnd);
            if (entry && !entry->hot) {
                entry->hot = 1;
                TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&track);
                PaintNow(hwnd);
            } else if (GetCapture() == hwnd) {
                PaintNow(hwnd);
            }
            return result;
        }
        case WM_MOUSELEAVE:
            entry->hot = 0;
            result = CallNext(entry, hwnd, message, wParam, lParam);
            PaintNow(hwnd);
            return result;
        case BM_SETSTATE:
        case BM_SETSTYLE:
        case BM_SETCHECK:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SETTEXT:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CAPTURECHANGED:
        case WM_UPDATEUISTATE:
            /* The click handler may have destroyed the button: PaintNow
               looks it up again. */
            result = CallNext(entry, hwnd, message, wParam, lParam);
            PaintNow(hwnd);
            return result;
        case WM_NCDESTROY:
            return ForwardNcDestroy(entry, hwnd, message, wParam, lParam);
        default:
            break;
    }
    return CallNext(entry, hwnd, message, wParam, lParam);
}
