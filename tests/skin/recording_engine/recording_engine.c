/*
 * A skin engine that skins nothing: its "SkinH_AttachRes" takes all ten words
 * the program pushes and records them, so that a test sees exactly what the
 * program passed. No C runtime, no imports.
 */
#include <windows.h>

#include "attach_record.h"

#define EXPORT __declspec(dllexport)

static struct AttachRecord record;

BOOL WINAPI RecordingEngineEntry(HINSTANCE moduleHandle, DWORD reason, LPVOID reserved) {
    (void)moduleHandle;
    (void)reason;
    (void)reserved;
    return TRUE;
}

EXPORT uint32_t WINAPI SkinH_AttachRes(uint32_t w1, uint32_t w2, uint32_t w3, uint32_t w4, uint32_t w5,
                                       uint32_t w6, uint32_t w7, uint32_t w8, uint32_t w9, uint32_t w10) {
    /* Word by word: a loop could become a call to memcpy, which is not here. */
    record.words[0] = w1;
    record.words[1] = w2;
    record.words[2] = w3;
    record.words[3] = w4;
    record.words[4] = w5;
    record.words[5] = w6;
    record.words[6] = w7;
    record.words[7] = w8;
    record.words[8] = w9;
    record.words[9] = w10;
    ++record.count;
    return QH_ATTACH_RESULT_BASE + record.count;
}

EXPORT struct AttachRecord* WINAPI RecordedAttach(void) { return &record; }
