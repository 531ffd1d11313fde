/*
 * The engine's entry, its one export, and the creation hook that puts the
 * skin's procedures in front of every window the attaching thread creates.
 */
#include "engine_state.h"

#include <commctrl.h>

/* comctl32's InitCommonControls is bound by ordinal alone: the import
   library made from comctl32_ordinals.def names no routine. */

static HHOOK creationHook;

BOOL WINAPI SkinEngineEntry(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)module;
    (void)reason;
    (void)reserved;
    return TRUE;
}

static int SameClass(const WCHAR* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        WCHAR x = *a, y = (WCHAR)(unsigned char)*b;
        if (x >= 'a' && x <= 'z') x = (WCHAR)(x - 32);
        if (y >= 'a' && y <= 'z') y = (WCHAR)(y - 32);
        if (x != y) return 0;
    }
    return *a == 0 && *b == 0;
}

static WindowKind KindOf(HWND hwnd, const CREATESTRUCTW* create) {
    WCHAR name[64];
    name[0] = 0;
    if (!GetClassNameW(hwnd, name, 64)) return WK_NONE;
    LONG style = create ? create->style : GetWindowLongW(hwnd, GWL_STYLE);
    if (SameClass(name, "SysTabControl32")) return WK_TAB;
    if (SameClass(name, "SysListView32")) return WK_LIST;
    if (SameClass(name, "SysHeader32")) return WK_HEADER;
    if (SameClass(name, "Edit")) return WK_EDIT;
    if (SameClass(name, "RichEdit20W") || SameClass(name, "RichEdit20A") || SameClass(name, "RICHEDIT50W"))
        return WK_RICH_EDIT;
    if (SameClass(name, "Static")) return WK_LABEL;
    if (SameClass(name, "Button")) {
        LONG type = style & BS_TYPEMASK;
        return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? WK_BUTTON : WK_NONE;
    }
    /* Any other top-level window with a caption gets the skinned frame. */
    if (!(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION) return WK_FRAME;
    return WK_NONE;
}

static WNDPROC ProcFor(WindowKind kind) {
    switch (kind) {
        case WK_FRAME: return FrameProc;
        case WK_TAB: return TabProc;
        case WK_BUTTON: return ButtonProc;
        case WK_LIST: return ListProc;
        case WK_HEADER: return HeaderProc;
        case WK_EDIT:
        case WK_RICH_EDIT:
        case WK_LABEL: return EditProc;
        default: return 0;
    }
}

/* A parent answers its children's colour messages. When the program has put
   a procedure of its own in front of ours on that parent since we
   subclassed it, ours would never see them: a front procedure goes in front
   of the program's, once per window. */
static void KeepParentInFront(HWND parent) {
    SkinnedWindow* entry = FindSkinnedWindow(parent);
    if (!entry || entry->frontNext) return;
    WNDPROC current = (WNDPROC)GetWindowLongPtrW(parent, GWLP_WNDPROC);
    if (!current || current == ProcFor(entry->kind)) return;
    entry->frontNext = (WNDPROC)SetWindowLongPtrW(parent, GWLP_WNDPROC, (LONG_PTR)FrontProc);
}

static void SkinNewWindow(HWND hwnd, const CREATESTRUCTW* create) {
    WindowKind kind = KindOf(hwnd, create);
    if (create && create->hwndParent && (create->style & WS_CHILD)) KeepParentInFront(create->hwndParent);
    if (kind == WK_NONE) return;
    SkinnedWindow* entry = AddSkinnedWindow(hwnd, kind);
    if (!entry) return;
    entry->next = (WNDPROC)SetWindowLongPtrW(hwnd, GWLP_WNDPROC, (LONG_PTR)ProcFor(kind));
    if (!entry->next) RemoveSkinnedWindow(hwnd);
}

static LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && wParam) {
        const CBT_CREATEWNDW* created = (const CBT_CREATEWNDW*)lParam;
        SkinNewWindow((HWND)wParam, created ? created->lpcs : 0);
    }
    return CallNextHookEx(creationHook, code, wParam, lParam);
}

LRESULT CallNext(SkinnedWindow* window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && window->next) return CallWindowProcW(window->next, hwnd, message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT ForwardNcDestroy(SkinnedWindow* entry, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC next = entry->next;
    RemoveSkinnedWindow(hwnd);
    return next ? CallWindowProcW(next, hwnd, message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FrontProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SkinnedWindow* entry = FindSkinnedWindow(hwnd);
    WNDPROC next = entry ? entry->frontNext : 0;
    LRESULT result = 0;
    if (message != WM_NCDESTROY && HandleChildColours(message, wParam, lParam, &result)) return result;
    if (next) return CallWindowProcW(next, hwnd, message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

/* Attaches the skin in the block: stdcall (address, length), 0 on success.
   A block that fails any check changes nothing. */
__declspec(dllexport) unsigned WINAPI SkinH_AttachRes(const unsigned char* data, unsigned length) {
    Skin parsed;
    int result = ParseSkinBlock(data, length, &parsed);
    if (result != SKIN_OK) return (unsigned)result;
    InitCommonControls();
    if (!creationHook) {
        creationHook = SetWindowsHookExW(WH_CBT, CreationHookProc, 0, GetCurrentThreadId());
        if (!creationHook) return SKIN_ERROR_HOOK;
    }
    g_skin = parsed;
    MakeSkinObjects();
    return SKIN_OK;
}
