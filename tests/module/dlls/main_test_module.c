/*
 * The loader's main test DLL: no C runtime, an explicit entry routine,
 * imports from kernel32 by name and from ws2_32 by ordinal only, globals
 * whose words the base relocations must adjust, and a handful of exports.
 */
#include <windows.h>

#include "module_entry_logging.h"

#define EXPORT __declspec(dllexport)

/* ws2_32's htonl, bound by ordinal 8 (the import library names no routine). */
__declspec(dllimport) unsigned long WINAPI htonl(unsigned long value);

static uint32_t entryCallCount;
static uint32_t lastEntryReason = 0xFFFFFFFF;

/* A word holding the address of another global: its value is right only
   after relocation when the image is placed away from its ImageBase. The
   volatile keeps the compiler from reading the target directly. */
static uint32_t relocatedTarget = 0x5EED1234;
uint32_t* volatile relocatedPointer = &relocatedTarget;
static const char greeting[] = "relocated greeting";
const char* volatile greetingPointer = greeting;

BOOL WINAPI MainTestModuleEntry(HINSTANCE moduleHandle, DWORD reason, LPVOID reserved) {
    ++entryCallCount;
    lastEntryReason = reason;
    RecordEntryCall((uint32_t)(UINT_PTR)moduleHandle, reason, (uint32_t)(UINT_PTR)reserved,
                    (uint32_t)(UINT_PTR)&MainTestModuleEntry);
    return TRUE;
}

EXPORT uint32_t WINAPI EntryCallCount(void) { return entryCallCount; }

EXPORT uint32_t WINAPI LastEntryReason(void) { return lastEntryReason; }

EXPORT uint32_t WINAPI ReadRelocatedGlobal(void) { return *relocatedPointer; }

EXPORT uint32_t WINAPI RelocatedPointerValue(void) { return (uint32_t)(UINT_PTR)relocatedPointer; }

/* lstrlenA (by name) over the relocated pointer to a constant. */
EXPORT uint32_t WINAPI GreetingLength(void) { return (uint32_t)lstrlenA(greetingPointer); }

EXPORT uint32_t WINAPI TextLength(const char* text) { return (uint32_t)lstrlenA(text); }

EXPORT uint32_t WINAPI CurrentTickCount(void) { return GetTickCount(); }

EXPORT uint32_t WINAPI ToNetworkOrder(uint32_t value) { return htonl(value); }

/* Stands in for the skin engine's attach routine: a checksum of the block,
   the sum of its bytes plus its length times 0x10000. */
EXPORT uint32_t WINAPI SkinH_AttachRes(const unsigned char* data, uint32_t length) {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < length; ++i) sum += data[i];
    return sum + length * 0x10000u;
}

/* A cdecl export: leaves its arguments on the stack for the caller. */
EXPORT uint32_t __cdecl DifferenceCdecl(uint32_t a, uint32_t b) { return a - b; }
