#ifndef QH_TEST_ENTRY_LOG_H
#define QH_TEST_ENTRY_LOG_H
/*
 * Where the test modules' entry routines record their calls. A module's own
 * globals vanish when the loader releases its memory (a refused attach, an
 * unload), so the entry routine writes each call into a named shared memory
 * block that the test program creates beforehand: "QingheEntryLog-" followed
 * by the test process id as eight hex digits, so that test processes running
 * side by side do not share one log. Without such a block nothing is recorded.
 */
#include <stdint.h>

#define QH_ENTRY_LOG_PREFIX "QingheEntryLog-"
#define QH_ENTRY_LOG_CAPACITY 16

struct EntryCall {
    uint32_t moduleHandle;
    uint32_t reason;
    uint32_t reserved;
    /* Address of the entry routine itself: where the image was mapped. */
    uint32_t entryAddress;
};

struct EntryLog {
    uint32_t count;
    struct EntryCall calls[QH_ENTRY_LOG_CAPACITY];
};

/* name receives the block's name; it must hold 24 characters. */
static inline void FormatEntryLogName(char* name, uint32_t processId) {
    static const char prefix[] = QH_ENTRY_LOG_PREFIX;
    static const char digits[] = "0123456789ABCDEF";
    unsigned i = 0;
    for (; prefix[i] != 0; ++i) name[i] = prefix[i];
    for (int shift = 28; shift >= 0; shift -= 4) name[i++] = digits[(processId >> shift) & 0xF];
    name[i] = 0;
}

#endif
