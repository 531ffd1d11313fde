#ifndef QH_TEST_ATTACH_RECORD_H
#define QH_TEST_ATTACH_RECORD_H
/*
 * What the recording skin engine saw: how often its "SkinH_AttachRes" ran and
 * the ten stack words of the last call. The engine keeps it in its own data
 * and hands its address out through the export "RecordedAttach".
 */
#include <stdint.h>

#define QH_ATTACH_WORDS 10
/* The routine's result: this plus the number of the call (1 for the first). */
#define QH_ATTACH_RESULT_BASE 0x5EC0DE00u

struct AttachRecord {
    uint32_t count;
    uint32_t words[QH_ATTACH_WORDS];
};

#endif
