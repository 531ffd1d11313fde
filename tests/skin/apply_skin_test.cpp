// What the program hands the skin engine: ApplySkin and AttachSkin against a
// recording engine mapped as SkinEngineModule, and the exit routine's part.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/reader_program.h"
#include "module/skin.h"
#include "recording_engine/attach_record.h"
#include "skin_engine/skin_data.h"

extern const unsigned char kRecordingEngine[];
extern const std::size_t kRecordingEngine_size;

namespace {

// Counts the export lookups (and unloads) made through it.
class CountingModule : public MemoryModule {
public:
    ModuleAddress GetExportByName(const char* name) const override {
        ++lookups;
        return MemoryModule::GetExportByName(name);
    }
    void Unload() override {
        ++unloads;
        MemoryModule::Unload();
    }
    mutable int lookups = 0;
    static inline int unloads = 0;
};

class ApplySkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto module = std::make_unique<CountingModule>();
        engine = module.get();
        ASSERT_TRUE(module->LoadFromMemory(kRecordingEngine, static_cast<std::uint32_t>(kRecordingEngine_size)));
        ModuleAddress recorded = module->GetExportByName("RecordedAttach");
        ASSERT_NE(recorded, 0u);
        record = reinterpret_cast<AttachRecord* (__stdcall*)()>(recorded)();
        module->lookups = 0;
        SkinEngineModule = std::move(module);
    }
    void TearDown() override { SkinEngineModule.reset(); }

    CountingModule* engine = nullptr;
    const AttachRecord* record = nullptr;
};

std::uint32_t AddressOf(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

TEST_F(ApplySkinTest, SkinThreeCallsTheRoutineOnceWithBlockThreeItsLengthAndEightZeros) {
    ApplySkin(3);

    EXPECT_EQ(engine->lookups, 1);
    ASSERT_EQ(record->count, 1u);
    EXPECT_EQ(record->words[0], AddressOf(SkinBlocks[2].data));
    EXPECT_EQ(record->words[1], 7046u);
    for (int i = 2; i < QH_ATTACH_WORDS; ++i) {
        SCOPED_TRACE("word " + std::to_string(i + 1));
        EXPECT_EQ(record->words[i], 0u);
    }
}

TEST_F(ApplySkinTest, EverySkinNumberSelectsItsOwnBlock) {
    for (int number = 1; number <= 10; ++number) {
        SCOPED_TRACE("skin " + std::to_string(number));
        ApplySkin(number);
        ASSERT_EQ(record->count, static_cast<std::uint32_t>(number));
        EXPECT_EQ(record->words[0], AddressOf(SkinBlocks[number - 1].data));
        EXPECT_EQ(record->words[1], SkinBlocks[number - 1].length);
    }
    // The routine is looked up again for every call.
    EXPECT_EQ(engine->lookups, 10);
}

TEST_F(ApplySkinTest, NumbersOutsideOneToTenNeitherLookUpNorCall) {
    for (std::int32_t number : {0, 11, -1, -3, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000)}) {
        SCOPED_TRACE("skin " + std::to_string(number));
        ApplySkin(number);
        EXPECT_EQ(engine->lookups, 0);
        EXPECT_EQ(record->count, 0u);
    }
}

TEST_F(ApplySkinTest, AttachSkinReturnsTheRoutinesResult) {
    EXPECT_EQ(AttachSkin(SkinBlocks[0]), QH_ATTACH_RESULT_BASE + 1);
    EXPECT_EQ(AttachSkin(SkinBlocks[9]), QH_ATTACH_RESULT_BASE + 2);
}

TEST_F(ApplySkinTest, TheExitRoutineDestroysTheModuleWithoutUnloadingTheEngine) {
    ModuleAddress attach = engine->GetExportByName("SkinH_AttachRes");
    CountingModule::unloads = 0;

    ReaderExitRoutine();

    EXPECT_EQ(SkinEngineModule, nullptr);
    EXPECT_EQ(CountingModule::unloads, 0);
    // Still mapped: its routine runs and its data is still there.
    using Attach = std::uint32_t(__stdcall*)(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                            std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                            std::uint32_t, std::uint32_t);
    EXPECT_EQ(reinterpret_cast<Attach>(attach)(1, 2, 3, 4, 5, 6, 7, 8, 9, 10), QH_ATTACH_RESULT_BASE + 1);
    EXPECT_EQ(record->words[9], 10u);
    // With no module left, a later skin is simply not applied.
    ApplySkin(3);
    EXPECT_EQ(record->count, 1u);
}

// Without an engine the window opens unskinned: nothing is called.
TEST(ApplySkinWithoutEngineTest, AnEngineThatDidNotMapIsNeverCalled) {
    struct Case {
        const char* name;
        const unsigned char* image;
        std::uint32_t length;
    };
    static const unsigned char notAnImage[64] = {'M', 'Z'};
    const Case cases[] = {
        {"empty image", nullptr, 0},
        {"truncated image", kRecordingEngine, 200},
        {"not an image", notAnImage, sizeof notAnImage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto module = std::make_unique<CountingModule>();
        CountingModule* counting = module.get();
        EXPECT_FALSE(module->LoadFromMemory(c.image, c.length));
        SkinEngineModule = std::move(module);
        ApplySkin(3);
        EXPECT_EQ(AttachSkin(SkinBlocks[2]), 0u);
        // Looked up, found nothing, and nothing was called through address 0.
        EXPECT_EQ(counting->lookups, 2);
    }
    SkinEngineModule.reset();
    EXPECT_EQ(AttachSkin(SkinBlocks[2]), 0u);
}

TEST(ApplySkinWithoutEngineTest, AnEngineWithoutTheRoutineIsNeverCalled) {
    // The carried engine's image with its export renamed stands for an engine
    // that lacks the routine.
    std::vector<unsigned char> image(SkinEngineImage, SkinEngineImage + SkinEngineImage_size);
    const char name[] = "SkinH_AttachRes";
    auto at = std::search(image.begin(), image.end(), name, name + sizeof name);
    ASSERT_NE(at, image.end());
    at[0] = 's';
    SkinEngineModule = std::make_unique<MemoryModule>();
    ASSERT_TRUE(SkinEngineModule->LoadFromMemory(image.data(), static_cast<std::uint32_t>(image.size())));
    EXPECT_EQ(SkinEngineModule->GetExportByName("SkinH_AttachRes"), 0u);
    EXPECT_EQ(AttachSkin(SkinBlocks[2]), 0u);
    SkinEngineModule.reset();
}

}  // namespace
