/*
 * The windows the engine has subclassed, with what it keeps per window. A
 * plain table rather than window properties: a property costs a call to the
 * window server on some platforms, on every message.
 */
#include "engine_state.h"

#define TABLE_SIZE 512

static SkinnedWindow table[TABLE_SIZE];

static unsigned SlotOf(HWND hwnd) { return ((unsigned)(UINT_PTR)hwnd >> 2) % TABLE_SIZE; }

/* Open addressing; removed entries keep kind WK_NONE with hwnd set to
   REMOVED so that probing continues past them. */
#define REMOVED ((HWND)(UINT_PTR)1)

SkinnedWindow* FindSkinnedWindow(HWND hwnd) {
    if (!hwnd) return 0;
    unsigned slot = SlotOf(hwnd);
    for (unsigned n = 0; n < TABLE_SIZE; ++n) {
        SkinnedWindow* entry = &table[(slot + n) % TABLE_SIZE];
        if (entry->hwnd == hwnd) return entry;
        if (!entry->hwnd) return 0;
    }
    return 0;
}

SkinnedWindow* AddSkinnedWindow(HWND hwnd, WindowKind kind) {
    if (!hwnd || FindSkinnedWindow(hwnd)) return 0;
    unsigned slot = SlotOf(hwnd);
    for (unsigned n = 0; n < TABLE_SIZE; ++n) {
        SkinnedWindow* entry = &table[(slot + n) % TABLE_SIZE];
        if (!entry->hwnd || entry->hwnd == REMOVED) {
            SkinMemset(entry, 0, sizeof *entry);
            entry->hwnd = hwnd;
            entry->kind = kind;
            return entry;
        }
    }
    return 0; /* full: the window simply stays unskinned */
}

void RemoveSkinnedWindow(HWND hwnd) {
    SkinnedWindow* entry = FindSkinnedWindow(hwnd);
    if (!entry) return;
    SkinMemset(entry, 0, sizeof *entry);
    entry->hwnd = REMOVED;
}
