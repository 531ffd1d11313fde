/* A test DLL whose entry routine refuses the attach by returning 0. */
#include <windows.h>

#include "module_entry_logging.h"

BOOL WINAPI RefusingEntry(HINSTANCE moduleHandle, DWORD reason, LPVOID reserved) {
    RecordEntryCall((uint32_t)(UINT_PTR)moduleHandle, reason, (uint32_t)(UINT_PTR)reserved,
                    (uint32_t)(UINT_PTR)&RefusingEntry);
    return FALSE;
}

__declspec(dllexport) uint32_t WINAPI Unreachable(void) { return 1; }
