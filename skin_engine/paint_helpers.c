/*
 * Drawing helpers and the GDI objects made from the attached skin.
 */
#include "engine_state.h"

Skin g_skin;
SkinObjects g_objects;

/* Room for the largest tile as 32-bit pixels; the bitmap copies it. */
static DWORD tileScratch[SKIN_MAX_TILE_SIDE * SKIN_MAX_TILE_SIDE];

static HBRUSH MakeTileBrush(void) {
    if (!g_skin.tilePixels || !g_skin.metrics[SKM_USE_TILE]) return 0;
    int width = g_skin.tileWidth, height = g_skin.tileHeight;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = g_skin.tilePixels + (y * width + x) * 3;
            tileScratch[y * width + x] = (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16);
        }
    }
    BITMAPINFO info;
    SkinMemset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; /* rows top-down, as stored */
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(0);
    if (!screen) return 0;
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HBRUSH brush = 0;
    if (bitmap) {
        if (SetDIBits(screen, bitmap, 0, (UINT)height, tileScratch, &info, DIB_RGB_COLORS))
            brush = CreatePatternBrush(bitmap);
        /* The brush keeps its own copy of the pattern. */
        DeleteObject(bitmap);
    }
    ReleaseDC(0, screen);
    return brush;
}

static void Replace(HGDIOBJ* slot, HGDIOBJ made) {
    if (*slot) DeleteObject(*slot);
    *slot = made;
}

void MakeSkinObjects(void) {
    for (int i = 0; i < SKF_FONT_COUNT; ++i)
        Replace((HGDIOBJ*)&g_objects.fonts[i], g_skin.hasFont[i] ? CreateFontIndirectW(&g_skin.fonts[i]) : 0);
    HBRUSH tile = MakeTileBrush();
    Replace((HGDIOBJ*)&g_objects.windowBrush, tile ? tile : CreateSolidBrush(g_skin.colours[SKC_WINDOW_BG]));
    HBRUSH pageTile = tile ? MakeTileBrush() : 0;
    Replace((HGDIOBJ*)&g_objects.pageBrush, pageTile ? pageTile : CreateSolidBrush(g_skin.colours[SKC_PAGE_BG]));
    Replace((HGDIOBJ*)&g_objects.editBrush, CreateSolidBrush(g_skin.colours[SKC_EDIT_BG]));
    Replace((HGDIOBJ*)&g_objects.listBrush, CreateSolidBrush(g_skin.colours[SKC_LIST_BG]));
    /* The tile's pixels belong to the caller's block: not kept. */
    g_skin.tilePixels = 0;
}

HFONT FontOrWindowFont(int slot, HWND hwnd) {
    if (slot >= 0 && slot < SKF_FONT_COUNT && g_objects.fonts[slot]) return g_objects.fonts[slot];
    HFONT own = hwnd ? (HFONT)SendMessageW(hwnd, WM_GETFONT, 0, 0) : 0;
    return own ? own : (HFONT)GetStockObject(DEFAULT_GUI_FONT);
}

void FillSolid(HDC dc, const RECT* rect, COLORREF colour) {
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, rect, 0, 0, 0);
    SetBkColor(dc, old);
}

void FrameSolid(HDC dc, const RECT* rect, COLORREF colour) {
    RECT edge;
    edge = *rect; edge.bottom = edge.top + 1; FillSolid(dc, &edge, colour);
    edge = *rect; edge.top = edge.bottom - 1; FillSolid(dc, &edge, colour);
    edge = *rect; edge.right = edge.left + 1; FillSolid(dc, &edge, colour);
    edge = *rect; edge.left = edge.right - 1; FillSolid(dc, &edge, colour);
}

static int Mix(int a, int b, int step, int steps) { return a + (b - a) * step / steps; }

void FillGradient(HDC dc, const RECT* rect, COLORREF top, COLORREF bottom) {
    int height = rect->bottom - rect->top;
    if (height <= 0) return;
    if (top == bottom || height == 1) {
        FillSolid(dc, rect, top);
        return;
    }
    for (int y = 0; y < height; ++y) {
        RECT line = {rect->left, rect->top + y, rect->right, rect->top + y + 1};
        COLORREF colour = RGB(Mix(GetRValue(top), GetRValue(bottom), y, height - 1),
                              Mix(GetGValue(top), GetGValue(bottom), y, height - 1),
                              Mix(GetBValue(top), GetBValue(bottom), y, height - 1));
        FillSolid(dc, &line, colour);
    }
}

void FillRounded(HDC dc, const RECT* rect, int radius, COLORREF fill, COLORREF edge) {
    if (radius <= 0) {
        FillSolid(dc, rect, fill);
        FrameSolid(dc, rect, edge);
        return;
    }
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, edge);
    if (!brush || !pen) {
        if (brush) DeleteObject(brush);
        if (pen) DeleteObject(pen);
        FillSolid(dc, rect, fill);
        return;
    }
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    RoundRect(dc, rect->left, rect->top, rect->right, rect->bottom, radius * 2, radius * 2);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width) {
    HPEN pen = CreatePen(PS_SOLID, width < 1 ? 1 : width, colour);
    if (!pen) return;
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, 0);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

/* Replaces the sunken 3-D edge of a WS_EX_CLIENTEDGE control by two flat
   lines; the default has already drawn the scroll bars inside it. */
void DrawFlatClientEdge(HWND hwnd, COLORREF outer, COLORREF inner) {
    if (!(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    RECT window;
    GetWindowRect(hwnd, &window);
    RECT rect = {0, 0, window.right - window.left, window.bottom - window.top};
    FrameSolid(dc, &rect, outer);
    InflateRect(&rect, -1, -1);
    FrameSolid(dc, &rect, inner);
    ReleaseDC(hwnd, dc);
}

void PaintClient(HWND hwnd, WPARAM printDc, SkinnedWindow* entry, ClientPainter paint) {
    if (printDc) {
        paint(hwnd, (HDC)printDc, entry);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc) paint(hwnd, dc, entry);
    EndPaint(hwnd, &ps);
}
