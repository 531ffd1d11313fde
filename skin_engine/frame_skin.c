/*
 * Top-level windows: the non-client area (border, caption, title, caption
 * buttons) and the client background in the skin. The geometry stays the
 * system's: the frame is drawn where the default frame would be, and every
 * hit test is answered by the default procedure, so moving, minimising and
 * closing keep working. The caption buttons' cells are found by asking
 * that same hit test.
 */
#include "engine_state.h"

/* Undocumented messages with which some platforms paint the caption and the
   frame outside WM_NCPAINT. */
#define MESSAGE_DRAW_CAPTION 0x00AE
#define MESSAGE_DRAW_FRAME 0x00AF

typedef struct FrameLayout {
    int width, height;
    RECT client;  /* in window coordinates */
    RECT caption; /* the caption band, in window coordinates */
    int border;
    /* Cells of the caption's hit-test codes, in window x; right <= left when absent. */
    int sysLeft, sysRight;
    int minLeft, minRight;
    int maxLeft, maxRight;
    int closeLeft, closeRight;
} FrameLayout;

static int HitTestAt(HWND hwnd, int screenX, int screenY) {
    return (int)DefWindowProcW(hwnd, WM_NCHITTEST, 0, MAKELPARAM((SHORT)screenX, (SHORT)screenY));
}

static void Widen(int* left, int* right, int x) {
    if (*right <= *left) {
        *left = x;
        *right = x + 1;
        return;
    }
    if (x < *left) *left = x;
    if (x + 1 > *right) *right = x + 1;
}

static int ReadLayout(HWND hwnd, FrameLayout* layout) {
    SkinMemset(layout, 0, sizeof *layout);
    RECT window, client;
    if (!GetWindowRect(hwnd, &window) || !GetClientRect(hwnd, &client)) return 0;
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    layout->width = window.right - window.left;
    layout->height = window.bottom - window.top;
    layout->client.left = origin.x - window.left;
    layout->client.top = origin.y - window.top;
    layout->client.right = layout->client.left + client.right;
    layout->client.bottom = layout->client.top + client.bottom;
    layout->border = layout->client.left;
    if (layout->border < 1 || layout->client.top <= layout->border) return 0;
    int captionBottom = layout->border + GetSystemMetrics(SM_CYCAPTION);
    if (captionBottom > layout->client.top || !GetMenu(hwnd)) captionBottom = layout->client.top;
    SetRect(&layout->caption, 1, 1, layout->width - 1, captionBottom);

    int y = window.top + (layout->border + captionBottom) / 2;
    int captionHeight = captionBottom - layout->border;
    int rightFrom = layout->width - layout->border - 1;
    int rightTo = rightFrom - captionHeight * 4;
    if (rightTo < layout->border) rightTo = layout->border;
    for (int x = rightFrom; x >= rightTo; --x) {
        switch (HitTestAt(hwnd, window.left + x, y)) {
            case HTCLOSE: Widen(&layout->closeLeft, &layout->closeRight, x); break;
            case HTMINBUTTON: Widen(&layout->minLeft, &layout->minRight, x); break;
            case HTMAXBUTTON: Widen(&layout->maxLeft, &layout->maxRight, x); break;
            default: break;
        }
    }
    for (int x = layout->border; x < layout->border + captionHeight + 2 && x < rightTo; ++x) {
        if (HitTestAt(hwnd, window.left + x, y) == HTSYSMENU) Widen(&layout->sysLeft, &layout->sysRight, x);
    }
    return 1;
}

static void GlyphBox(const FrameLayout* layout, int left, int right, RECT* box) {
    int inset = g_skin.metrics[SKM_GLYPH_INSET];
    if (inset < 0) inset = 0;
    box->top = layout->border + inset;
    box->bottom = layout->caption.bottom - inset;
    if (box->bottom - box->top < 6) {
        box->top = layout->border;
        box->bottom = layout->caption.bottom;
    }
    int side = box->bottom - box->top;
    int cell = right - left;
    if (side > cell - 2) side = cell - 2;
    box->left = left + (cell - side) / 2;
    box->right = box->left + side;
}

static void DrawCaptionButton(HDC dc, const FrameLayout* layout, int left, int right, int code, int pressed,
                              COLORREF glyph) {
    if (right - left < 6) return;
    RECT box;
    GlyphBox(layout, left, right, &box);
    if (pressed) FillRounded(dc, &box, 2, g_skin.colours[SKC_GLYPH_PRESSED_BG], g_skin.colours[SKC_GLYPH_PRESSED_BG]);
    int pen = g_skin.metrics[SKM_GLYPH_PEN];
    if (pen < 1) pen = 1;
    int side = box.right - box.left;
    int m = side / 4 + 1;
    int x1 = box.left + m, x2 = box.right - m, y1 = box.top + m, y2 = box.bottom - m;
    if (x2 <= x1 || y2 <= y1) return;
    switch (code) {
        case HTCLOSE:
            DrawLine(dc, x1, y1, x2, y2, glyph, pen);
            DrawLine(dc, x1, y2 - 1, x2, y1 - 1, glyph, pen);
            break;
        case HTMINBUTTON: {
            RECT bar = {x1, y2 - pen, x2, y2};
            FillSolid(dc, &bar, glyph);
            break;
        }
        case HTMAXBUTTON: {
            RECT outline = {x1, y1, x2, y2};
            FrameSolid(dc, &outline, glyph);
            RECT top = {x1, y1, x2, y1 + pen};
            FillSolid(dc, &top, glyph);
            break;
        }
        default: break;
    }
}

static void DrawSystemGlyph(HWND hwnd, HDC dc, const FrameLayout* layout, COLORREF glyph) {
    if (layout->sysRight - layout->sysLeft < 8) return;
    int captionHeight = layout->caption.bottom - layout->border;
    int size = captionHeight >= 18 ? 16 : captionHeight - 2;
    int x = layout->sysLeft + (layout->sysRight - layout->sysLeft - size) / 2;
    int y = layout->border + (captionHeight - size) / 2;
    HICON icon = (HICON)SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0);
    if (!icon) icon = (HICON)GetClassLongPtrW(hwnd, GCLP_HICONSM);
    if (icon && DrawIconEx(dc, x, y, icon, size, size, 0, 0, DI_NORMAL)) return;
    /* No icon: a small diamond in the glyph colour. */
    int c = size / 2;
    for (int i = 0; i <= c / 2 + 1; ++i) {
        RECT row = {x + c - i, y + c / 2 + i, x + c + i + 1, y + c / 2 + i + 1};
        FillSolid(dc, &row, glyph);
        RECT mirror = {x + c - i, y + c / 2 + c + 2 - i, x + c + i + 1, y + c / 2 + c + 3 - i};
        FillSolid(dc, &mirror, glyph);
    }
}

static void PaintFrame(HWND hwnd, SkinnedWindow* entry, int pressedCode) {
    if (!entry || IsIconic(hwnd) || !IsWindowVisible(hwnd)) return;
    FrameLayout layout;
    if (!ReadLayout(hwnd, &layout)) return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    ExcludeClipRect(dc, layout.client.left, layout.client.top, layout.client.right, layout.client.bottom);
    if (layout.caption.bottom < layout.client.top) {
        /* A menu bar lies between caption and client: the default drew it. */
        ExcludeClipRect(dc, layout.border, layout.caption.bottom, layout.width - layout.border, layout.client.top);
    }
    int active = entry->active;
    RECT all = {0, 0, layout.width, layout.height};
    FillSolid(dc, &all, g_skin.colours[SKC_BORDER_INNER]);
    COLORREF top = g_skin.colours[active ? SKC_CAPTION_TOP : SKC_CAPTION_INACTIVE_TOP];
    COLORREF bottom = g_skin.colours[active ? SKC_CAPTION_BOTTOM : SKC_CAPTION_INACTIVE_BOTTOM];
    FillGradient(dc, &layout.caption, top, g_skin.metrics[SKM_CAPTION_GRADIENT] ? bottom : top);
    FrameSolid(dc, &all, g_skin.colours[SKC_BORDER_OUTER]);
    if (g_skin.metrics[SKM_BORDER_STYLE] == 1) {
        RECT around = layout.client;
        InflateRect(&around, 1, 1);
        FrameSolid(dc, &around, g_skin.colours[SKC_BORDER_OUTER]);
    }

    COLORREF glyph = g_skin.colours[active ? SKC_GLYPH : SKC_CAPTION_TEXT_INACTIVE];
    DrawSystemGlyph(hwnd, dc, &layout, glyph);
    DWORD style = (DWORD)GetWindowLongW(hwnd, GWL_STYLE);
    DrawCaptionButton(dc, &layout, layout.closeLeft, layout.closeRight, HTCLOSE, pressedCode == HTCLOSE, glyph);
    if (style & WS_MINIMIZEBOX)
        DrawCaptionButton(dc, &layout, layout.minLeft, layout.minRight, HTMINBUTTON, pressedCode == HTMINBUTTON,
                          glyph);
    if (style & WS_MAXIMIZEBOX)
        DrawCaptionButton(dc, &layout, layout.maxLeft, layout.maxRight, HTMAXBUTTON, pressedCode == HTMAXBUTTON,
                          glyph);

    WCHAR title[256];
    int length = GetWindowTextW(hwnd, title, 256);
    if (length > 0) {
        RECT text = layout.caption;
        text.top = layout.border;
        text.left = (layout.sysRight > layout.sysLeft ? layout.sysRight : layout.border) + 2 +
                    g_skin.metrics[SKM_CAPTION_INDENT];
        int rightmost = text.right - layout.border;
        if (layout.closeRight > layout.closeLeft) rightmost = layout.closeLeft;
        if (layout.maxRight > layout.maxLeft && layout.maxLeft < rightmost) rightmost = layout.maxLeft;
        if (layout.minRight > layout.minLeft && layout.minLeft < rightmost) rightmost = layout.minLeft;
        text.right = rightmost - 4;
        if (text.right > text.left) {
            HGDIOBJ oldFont = SelectObject(dc, FontOrWindowFont(SKF_CAPTION, 0));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, g_skin.colours[active ? SKC_CAPTION_TEXT : SKC_CAPTION_TEXT_INACTIVE]);
            UINT align = g_skin.metrics[SKM_CAPTION_ALIGN] == 1 ? DT_CENTER : DT_LEFT;
            DrawTextW(dc, title, length, &text, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
            SelectObject(dc, oldFont);
        }
    }
    ReleaseDC(hwnd, dc);
}

/* Press on a caption button: drawn pressed while the mouse stays on it, and
   the command is sent only when released there, as the default does. */
static void TrackCaptionButton(HWND hwnd, SkinnedWindow* entry, int code) {
    int command = code == HTCLOSE ? SC_CLOSE : code == HTMINBUTTON ? SC_MINIMIZE : SC_MAXIMIZE;
    int inside = 1;
    POINT point = {0, 0};
    SetCapture(hwnd);
    PaintFrame(hwnd, entry, code);
    for (;;) {
        MSG msg;
        if (!GetMessageW(&msg, 0, 0, 0)) {
            PostQuitMessage((int)msg.wParam);
            inside = 0;
            break;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP) {
            point = msg.pt;
            inside = HitTestAt(hwnd, point.x, point.y) == code;
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            int now = HitTestAt(hwnd, msg.pt.x, msg.pt.y) == code;
            if (now != inside) {
                inside = now;
                PaintFrame(hwnd, FindSkinnedWindow(hwnd), inside ? code : 0);
            }
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (GetCapture() != hwnd || !IsWindow(hwnd)) {
            inside = 0;
            break;
        }
    }
    if (GetCapture() == hwnd) ReleaseCapture();
    if (!IsWindow(hwnd)) return;
    PaintFrame(hwnd, FindSkinnedWindow(hwnd), 0);
    if (inside) SendMessageW(hwnd, WM_SYSCOMMAND, (WPARAM)command, MAKELPARAM((SHORT)point.x, (SHORT)point.y));
}

/* Rounds the frame's top corners when the skin asks for it. */
static void UpdateRegion(HWND hwnd, SkinnedWindow* entry) {
    int radius = g_skin.metrics[SKM_CORNER_RADIUS];
    if (radius <= 0) return;
    if (IsIconic(hwnd)) {
        if (entry->trackedWidth) {
            entry->trackedWidth = entry->trackedHeight = 0;
            SetWindowRgn(hwnd, 0, TRUE);
        }
        return;
    }
    RECT window;
    if (!GetWindowRect(hwnd, &window)) return;
    int width = window.right - window.left, height = window.bottom - window.top;
    if (width == entry->trackedWidth && height == entry->trackedHeight) return;
    entry->trackedWidth = width;
    entry->trackedHeight = height;
    HRGN rounded = CreateRoundRectRgn(0, 0, width + 1, height + 1, radius * 2, radius * 2);
    HRGN lower = CreateRectRgn(0, radius, width, height);
    if (rounded && lower && CombineRgn(rounded, rounded, lower, RGN_OR) != ERROR) {
        /* The window owns the region from here on. */
        if (SetWindowRgn(hwnd, rounded, TRUE)) rounded = 0;
    }
    if (rounded) DeleteObject(rounded);
    if (lower) DeleteObject(lower);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SkinnedWindow* entry = FindSkinnedWindow(hwnd);
    if (!entry) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    if (HandleChildColours(message, wParam, lParam, &result)) return result;
    switch (message) {
        case WM_NCCREATE:
            entry->active = 0;
            break;
        case WM_NCPAINT: {
            if (IsIconic(hwnd)) break;
            DWORD style = (DWORD)GetWindowLongW(hwnd, GWL_STYLE);
            /* Menus and scroll bars are the default's to draw. */
            if (GetMenu(hwnd) || (style & (WS_VSCROLL | WS_HSCROLL))) CallNext(entry, hwnd, message, wParam, lParam);
            PaintFrame(hwnd, entry, 0);
            return 0;
        }
        case WM_NCACTIVATE: {
            entry->active = wParam != 0;
            if (IsIconic(hwnd)) break;
            /* -1: the default records the state but paints nothing. */
            result = CallNext(entry, hwnd, message, wParam, (LPARAM)-1);
            PaintFrame(hwnd, FindSkinnedWindow(hwnd), 0);
            return result;
        }
        case MESSAGE_DRAW_CAPTION:
        case MESSAGE_DRAW_FRAME:
            return 0;
        case WM_SETTEXT:
        case WM_SETICON:
        case WM_SYSCOMMAND:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONUP:
        case WM_ENABLE:
            result = CallNext(entry, hwnd, message, wParam, lParam);
            PaintFrame(hwnd, FindSkinnedWindow(hwnd), 0);
            return result;
        case WM_NCLBUTTONDOWN: {
            DWORD style = (DWORD)GetWindowLongW(hwnd, GWL_STYLE);
            if (!IsIconic(hwnd) && (wParam == HTCLOSE || (wParam == HTMINBUTTON && (style & WS_MINIMIZEBOX)) ||
                                    (wParam == HTMAXBUTTON && (style & WS_MAXIMIZEBOX)))) {
                TrackCaptionButton(hwnd, entry, (int)wParam);
                return 0;
            }
            result = CallNext(entry, hwnd, message, wParam, lParam);
            PaintFrame(hwnd, FindSkinnedWindow(hwnd), 0);
            return result;
        }
        case WM_ERASEBKGND: {
            HDC dc = (HDC)wParam;
            RECT client;
            if (!dc || !GetClientRect(hwnd, &client)) break;
            SetBrushOrgEx(dc, 0, 0, 0);
            FillRect(dc, &client, g_objects.windowBrush);
            return 1;
        }
        case WM_WINDOWPOSCHANGED:
            result = CallNext(entry, hwnd, message, wParam, lParam);
            if ((entry = FindSkinnedWindow(hwnd)) != 0) UpdateRegion(hwnd, entry);
            return result;
        case WM_NCDESTROY:
            return ForwardNcDestroy(entry, hwnd, message, wParam, lParam);
        default:
            break;
    }
    return CallNext(entry, hwnd, message, wParam, lParam);
}
