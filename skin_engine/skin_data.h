#pragma once
// The skin engine's DLL image and the ten skin blocks, carried in the
// program's read-only data for the whole run (the engine may keep a block's
// address).
#include <cstddef>

extern const unsigned char SkinEngineImage[];
extern const std::size_t SkinEngineImage_size;

struct SkinBlockView {
    const unsigned char* data;
    std::size_t length;
};

inline constexpr int kSkinBlockCount = 10;
// Skin number n (1 to 10) is SkinBlocks[n - 1].
extern const SkinBlockView SkinBlocks[kSkinBlockCount];
