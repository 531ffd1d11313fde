#pragma once
// Reads fields of a skin block in the tests, by the layout the engine reads.
#include <windows.h>

#include <cstdint>
#include <vector>

std::uint32_t ReadBlockWord(const unsigned char* block, std::size_t offset);
// Offset of the directory entry of the table with this tag; 0 if none.
std::size_t DirectoryEntryOf(const unsigned char* block, std::uint32_t tag);
// A colour of the block's palette, by slot.
COLORREF BlockColour(const unsigned char* block, int slot);
