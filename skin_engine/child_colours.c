/*
 * What a skinned parent answers for its children: the colours of edit boxes
 * and labels, and the colours of list rows, selected ones included.
 */
#include "engine_state.h"

#include <commctrl.h>

static int AnswerColour(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HDC dc = (HDC)wParam;
    SkinnedWindow* child = FindSkinnedWindow((HWND)lParam);
    if (!dc || !child) return 0;
    if (child->kind == WK_EDIT) {
        SetTextColor(dc, g_skin.colours[SKC_EDIT_TEXT]);
        SetBkColor(dc, g_skin.colours[SKC_EDIT_BG]);
        *result = (LRESULT)g_objects.editBrush;
        return 1;
    }
    if (child->kind == WK_LABEL) {
        SetTextColor(dc, g_skin.colours[SKC_LABEL_TEXT]);
        SetBkMode(dc, TRANSPARENT);
        if (GetWindowLongW(child->hwnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT) {
            /* A transparent label keeps showing what its parent painted. */
            *result = (LRESULT)GetStockObject(HOLLOW_BRUSH);
        } else {
            SetBkColor(dc, g_skin.colours[SKC_PAGE_BG]);
            *result = (LRESULT)g_objects.pageBrush;
        }
        return 1;
    }
    return 0;
}

static int AnswerListDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) {
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            *result = CDRF_NOTIFYITEMDRAW;
            return 1;
        case CDDS_ITEMPREPAINT: {
            LRESULT state = SendMessageW(draw->nmcd.hdr.hwndFrom, LVM_GETITEMSTATE, (WPARAM)draw->nmcd.dwItemSpec,
                                         LVIS_SELECTED);
            if (state & LVIS_SELECTED) {
                draw->clrText = g_skin.colours[SKC_SELECTION_TEXT];
                draw->clrTextBk = g_skin.colours[SKC_SELECTION_BG];
                /* Otherwise the list paints its own highlight over ours. */
                draw->nmcd.uItemState &= ~(UINT)(CDIS_SELECTED | CDIS_FOCUS);
            } else {
                draw->clrText = g_skin.colours[SKC_LIST_TEXT];
                draw->clrTextBk = g_skin.colours[SKC_LIST_BG];
            }
            *result = CDRF_NEWFONT;
            return 1;
        }
        default:
            *result = CDRF_DODEFAULT;
            return 1;
    }
}

int HandleChildColours(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return AnswerColour(wParam, lParam, result);
        case WM_NOTIFY: {
            NMHDR* header = (NMHDR*)lParam;
            if (!header || header->code != (UINT)NM_CUSTOMDRAW) return 0;
            SkinnedWindow* child = FindSkinnedWindow(header->hwndFrom);
            if (!child || child->kind != WK_LIST) return 0;
            DWORD style = (DWORD)GetWindowLongW(header->hwndFrom, GWL_STYLE);
            if ((style & LVS_TYPEMASK) != LVS_REPORT) return 0;
            return AnswerListDraw((NMLVCUSTOMDRAW*)lParam, result);
        }
        default:
            return 0;
    }
}
