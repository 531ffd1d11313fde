// The object's life: fresh state, one image per object, unloading, copying
// and destruction.
#include "loader_fixture.h"

using namespace test_dll;

namespace {

using LifecycleTest = LoaderFixture;

TEST_F(LifecycleTest, FreshObjectIsEmpty) {
    MemoryModule module(platform);
    EXPECT_EQ(module.GetModuleBase(), 0u);
    EXPECT_EQ(module.GetEntryPoint(), 0u);
    EXPECT_EQ(module.GetExportByName("SkinH_AttachRes"), 0u);
    EXPECT_EQ(module.DosHeader(), ImageDosHeader{});
    EXPECT_EQ(module.NtHeaders(), ImageNtHeaders32{});
    EXPECT_TRUE(module.SectionHeaders().empty());
    module.Unload();
    EXPECT_TRUE(platform.Calls().empty());
}

TEST_F(LifecycleTest, SecondLoadIsRefusedAndTheFirstImageStays) {
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    const ModuleAddress base = module.GetModuleBase();
    const ImageNtHeaders32 headers = module.NtHeaders();

    image.Set32(kImageBaseField, 0x20000000);
    EXPECT_FALSE(Load(module));
    EXPECT_EQ(module.GetModuleBase(), base);
    EXPECT_EQ(module.NtHeaders(), headers);
    EXPECT_EQ(platform.AllocationCount(), 1u);
    EXPECT_EQ(platform.Calls().size(), 1u);
    EXPECT_EQ(module.GetExportByName("Alpha"), base + kAlphaRva);
    module.Unload();
}

TEST_F(LifecycleTest, UnloadDetachesOnceReleasesAndKeepsTheRecords) {
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    const ModuleAddress entry = module.GetEntryPoint();
    const ImageNtHeaders32 headers = module.NtHeaders();
    module.Unload();
    module.Unload();
    EXPECT_EQ(CallsMade(), (std::vector<std::vector<std::uint32_t>>{{entry, 0, 1, 0}, {entry, 0, 0, 0}}));
    EXPECT_EQ(platform.AllocationCount(), 0u);
    EXPECT_EQ(module.GetModuleBase(), 0u);
    EXPECT_EQ(module.GetEntryPoint(), 0u);
    EXPECT_EQ(module.GetExportByName("Alpha"), 0u);
    EXPECT_EQ(module.NtHeaders(), headers);
}

TEST_F(LifecycleTest, UnloadThenLoadMapsAfreshWithoutLoadingLibrariesAgain) {
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    platform.CopyToAddress(module.GetModuleBase() + kGlobalRva, "\0\0\0\0", 4);
    module.Unload();
    ASSERT_TRUE(Load(module));
    EXPECT_EQ(platform.Read32(module.GetModuleBase() + kGlobalRva), kGlobalValue);
    EXPECT_EQ(platform.Calls().size(), 3u);  // attach, detach, attach
    EXPECT_EQ(platform.LoadCount(kLibOne), 1);
    module.Unload();
    EXPECT_EQ(platform.AllocationCount(), 0u);
}

TEST_F(LifecycleTest, DestructionLeavesTheImageMappedAndStarted) {
    ModuleAddress base = 0;
    ModuleAddress routine = 0;
    {
        MemoryModule module(platform);
        ASSERT_TRUE(Load(module));
        base = module.GetModuleBase();
        routine = module.GetExportByName("SkinH_AttachRes");
    }
    EXPECT_EQ(platform.Calls().size(), 1u);  // no DETACH
    EXPECT_TRUE(platform.IsAllocated(routine));
    EXPECT_EQ(platform.CallAddress(routine, CallArguments{}), 1u);
    EXPECT_EQ(platform.Read32(base + kLibTwoIatRva), routineB);
    platform.VirtualFree(base, 0, 0x8000);
}

TEST_F(LifecycleTest, CloneCopiesTheRecordsAndSharesTheImage) {
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    const std::unique_ptr<MemoryModule> copy = module.Clone();
    EXPECT_EQ(copy->GetModuleBase(), module.GetModuleBase());
    EXPECT_EQ(copy->GetEntryPoint(), module.GetEntryPoint());
    EXPECT_EQ(copy->DosHeader(), module.DosHeader());
    EXPECT_EQ(copy->NtHeaders(), module.NtHeaders());
    EXPECT_EQ(copy->SectionHeaders(), module.SectionHeaders());
    EXPECT_EQ(copy->GetExportByName("Beta"), module.GetExportByName("Beta"));
    EXPECT_EQ(platform.AllocationCount(), 1u);

    // The copies are independent: the original's next image leaves the
    // clone's records as they were.
    const ImageNtHeaders32 cloned = copy->NtHeaders();
    module.Unload();
    image.Set16(kCharacteristics, 0x0102);
    image.Set16(kNumberOfSections, 3);
    image.Set32(DirectorySize(5), 0);
    ASSERT_TRUE(Load(module));
    EXPECT_EQ(copy->NtHeaders(), cloned);
    EXPECT_EQ(copy->SectionHeaders().size(), 4u);
    EXPECT_EQ(module.SectionHeaders().size(), 3u);
    module.Unload();
}

}  // namespace
