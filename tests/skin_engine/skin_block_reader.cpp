#include "skin_block_reader.h"

extern "C" {
#include "skin_engine/skin_format.h"
}

std::uint32_t ReadBlockWord(const unsigned char* block, std::size_t offset) {
    return static_cast<std::uint32_t>(block[offset]) | (static_cast<std::uint32_t>(block[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(block[offset + 2]) << 16) | (static_cast<std::uint32_t>(block[offset + 3]) << 24);
}

std::size_t DirectoryEntryOf(const unsigned char* block, std::uint32_t tag) {
    std::uint32_t count = ReadBlockWord(block, SKIN_AT_TABLE_COUNT);
    std::uint32_t directory = ReadBlockWord(block, SKIN_AT_DIRECTORY);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t entry = directory + i * SKIN_DIRECTORY_ENTRY_SIZE;
        if (ReadBlockWord(block, entry) == tag) return entry;
    }
    return 0;
}

COLORREF BlockColour(const unsigned char* block, int slot) {
    std::size_t entry = DirectoryEntryOf(block, SKIN_TAG_PALETTE);
    if (!entry) return CLR_INVALID;
    const unsigned char* colour = block + ReadBlockWord(block, entry + 4) + slot * SKIN_PALETTE_RECORD_SIZE;
    return RGB(colour[0], colour[1], colour[2]);
}
