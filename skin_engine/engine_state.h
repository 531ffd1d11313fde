/*
 * The engine's state: the attached skin with its GDI objects, and the table
 * of windows it has subclassed. Everything runs on the thread that attached
 * the skin (the hook is local to that thread).
 */
#ifndef SKIN_ENGINE_ENGINE_STATE_H
#define SKIN_ENGINE_ENGINE_STATE_H

#include <windows.h>

#include "skin_format.h"

typedef struct Skin {
    COLORREF colours[SKC_COLOUR_COUNT];
    int metrics[SKM_METRIC_COUNT];
    LOGFONTW fonts[SKF_FONT_COUNT];
    int hasFont[SKF_FONT_COUNT];
    /* Background tile (BGR triples), if the block has one. */
    int tileWidth;
    int tileHeight;
    const unsigned char* tilePixels;
} Skin;

/* GDI objects made from the skin. */
typedef struct SkinObjects {
    HFONT fonts[SKF_FONT_COUNT];
    HBRUSH windowBrush; /* the tile, or the window colour */
    HBRUSH pageBrush;   /* the tile, or the page colour */
    HBRUSH editBrush;
    HBRUSH listBrush;
} SkinObjects;

extern Skin g_skin;
extern SkinObjects g_objects;

/* Reads and checks a block; fills *skin only when it returns SKIN_OK. */
int ParseSkinBlock(const unsigned char* data, unsigned length, Skin* skin);
/* Makes the GDI objects of g_skin, replacing the previous ones. */
void MakeSkinObjects(void);

typedef enum WindowKind {
    WK_NONE,
    WK_FRAME,
    WK_TAB,
    WK_BUTTON,
    WK_LIST,
    WK_HEADER,
    WK_EDIT,
    WK_RICH_EDIT,
    WK_LABEL
} WindowKind;

typedef struct SkinnedWindow {
    HWND hwnd;
    WNDPROC next;      /* the procedure behind ours */
    WNDPROC frontNext; /* behind our front procedure, once one is in place */
    WindowKind kind;
    int hot;
    int active;
    int trackedWidth;
    int trackedHeight;
} SkinnedWindow;

SkinnedWindow* FindSkinnedWindow(HWND hwnd);
SkinnedWindow* AddSkinnedWindow(HWND hwnd, WindowKind kind);
void RemoveSkinnedWindow(HWND hwnd);

/* Window procedures, by kind. */
LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FrontProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

/* Passes a message to the procedure behind ours, or to the default one. */
LRESULT CallNext(SkinnedWindow* window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
/* WM_NCDESTROY: forgets the window and passes the message on, as CallNext. */
LRESULT ForwardNcDestroy(SkinnedWindow* entry, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

/* Colours and notifications that a parent answers for its skinned
   children. True when handled; *result is then the answer. */
int HandleChildColours(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

/* Drawing helpers. */
void FillGradient(HDC dc, const RECT* rect, COLORREF top, COLORREF bottom);
void FillSolid(HDC dc, const RECT* rect, COLORREF colour);
void FrameSolid(HDC dc, const RECT* rect, COLORREF colour);
void FillRounded(HDC dc, const RECT* rect, int radius, COLORREF fill, COLORREF edge);
void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width);
void DrawFlatClientEdge(HWND hwnd, COLORREF outer, COLORREF inner);
/* WM_PAINT / WM_PRINTCLIENT: paints into the DC that WM_PRINTCLIENT hands
   over (wParam), or between BeginPaint and EndPaint. */
typedef void (*ClientPainter)(HWND hwnd, HDC dc, SkinnedWindow* entry);
void PaintClient(HWND hwnd, WPARAM printDc, SkinnedWindow* entry, ClientPainter paint);
HFONT FontOrWindowFont(int slot, HWND hwnd);

void* SkinMemset(void* destination, int value, unsigned count);

#endif
