#pragma once
// The test modules built with this test program, embedded as bytes.
#include <cstddef>

// A DLL with relocated globals, imports by name and by ordinal, several
// exports (among them "SkinH_AttachRes") and a logging entry routine.
extern const unsigned char kMainTestModule[];
extern const std::size_t kMainTestModule_size;
// A DLL whose entry routine logs its call and refuses the attach.
extern const unsigned char kRefusingEntryModule[];
extern const std::size_t kRefusingEntryModule_size;
// A program image (no IMAGE_FILE_DLL) whose entry routine marks a global.
extern const unsigned char kExeImage[];
extern const std::size_t kExeImage_size;
