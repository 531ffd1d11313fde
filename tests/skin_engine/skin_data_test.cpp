// The carried skin data: the ten blocks as the program hands them to the
// engine, and the engine image as the in-memory loader maps it.
#include "skin_engine/skin_data.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "module/memory_module.h"
#include "module/win32_module_platform.h"
#include "skin_block_reader.h"

extern "C" {
#include "skin_engine/skin_format.h"
}

namespace {

// Lengths of blocks 1 to 10, as the program's skin table fixes them.
constexpr std::size_t kBlockLengths[kSkinBlockCount] = {7218, 7228, 7046, 9322, 15793,
                                                        11914, 8256, 9205, 18365, 13727};

TEST(SkinBlocks, EachBeginsWithTheMagicAndHasItsLength) {
    for (int number = 1; number <= kSkinBlockCount; ++number) {
        SCOPED_TRACE("skin " + std::to_string(number));
        const SkinBlockView& block = SkinBlocks[number - 1];
        ASSERT_NE(block.data, nullptr);
        EXPECT_EQ(block.length, kBlockLengths[number - 1]);
        EXPECT_EQ(std::memcmp(block.data, ".SHE", 4), 0);
        // The header declares the same length, which the engine insists on.
        EXPECT_EQ(ReadBlockWord(block.data, SKIN_AT_TOTAL_LENGTH), kBlockLengths[number - 1]);
    }
}

TEST(SkinBlocks, NoTwoShareCaptionAndPage) {
    for (int a = 0; a < kSkinBlockCount; ++a) {
        for (int b = a + 1; b < kSkinBlockCount; ++b) {
            const unsigned char* first = SkinBlocks[a].data;
            const unsigned char* second = SkinBlocks[b].data;
            bool same = BlockColour(first, SKC_CAPTION_TOP) == BlockColour(second, SKC_CAPTION_TOP) &&
                        BlockColour(first, SKC_PAGE_BG) == BlockColour(second, SKC_PAGE_BG);
            EXPECT_FALSE(same) << "skins " << a + 1 << " and " << b + 1;
        }
    }
}

TEST(SkinEngineImage, IsExactlyItsFixedSizeMapsAndExportsTheAttachRoutine) {
    EXPECT_EQ(SkinEngineImage_size, 88576u);
    MemoryModule module(SystemModulePlatform());
    ASSERT_TRUE(module.LoadFromMemory(SkinEngineImage, static_cast<std::uint32_t>(SkinEngineImage_size)));
    EXPECT_NE(module.GetExportByName("SkinH_AttachRes"), 0u);
    // Names are compared exactly.
    EXPECT_EQ(module.GetExportByName("skinh_attachres"), 0u);
}

}  // namespace
