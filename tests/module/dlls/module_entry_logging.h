#ifndef QH_TEST_MODULE_ENTRY_LOGGING_H
#define QH_TEST_MODULE_ENTRY_LOGGING_H
/* The module side of the entry log: kernel32 by name, no C runtime. */
#include <windows.h>

#include "entry_log.h"

static void RecordEntryCall(uint32_t moduleHandle, uint32_t reason, uint32_t reserved, uint32_t entryAddress) {
    char name[24];
    FormatEntryLogName(name, GetCurrentProcessId());
    HANDLE block = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (block == NULL) return;
    struct EntryLog* log = (struct EntryLog*)MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, sizeof(struct EntryLog));
    if (log != NULL) {
        if (log->count < QH_ENTRY_LOG_CAPACITY) {
            struct EntryCall* call = &log->calls[log->count];
            call->moduleHandle = moduleHandle;
            call->reason = reason;
            call->reserved = reserved;
            call->entryAddress = entryAddress;
        }
        ++log->count;
        UnmapViewOfFile(log);
    }
    CloseHandle(block);
}

#endif
