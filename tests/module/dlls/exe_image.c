/*
 * A program image (no IMAGE_FILE_DLL): the loader maps it but must not run
 * its entry routine, which would mark a global.
 */
#include <stdint.h>

static volatile uint32_t entryRan;
static uint32_t answer = 42;
uint32_t* volatile answerPointer = &answer;

void ExeImageEntry(void) { entryRan = 1; }

__declspec(dllexport) uint32_t __stdcall EntryRan(void) { return entryRan; }

__declspec(dllexport) uint32_t __stdcall ReadAnswer(void) { return *answerPointer; }
