// Export lookup by name in the mapped image.
#include "loader_fixture.h"

using namespace test_dll;

namespace {

class ExportTest : public LoaderFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(Load(module));
        base = module.GetModuleBase();
    }
    void TearDown() override {
        module.Unload();
        EXPECT_EQ(platform.AllocationCount(), 0u);
    }
    void Write32(std::uint32_t rva, std::uint32_t value) {
        const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                        static_cast<unsigned char>(value >> 16),
                                        static_cast<unsigned char>(value >> 24)};
        platform.CopyToAddress(base + rva, bytes, 4);
    }
    void Write16(std::uint32_t rva, std::uint16_t value) {
        const unsigned char bytes[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
        platform.CopyToAddress(base + rva, bytes, 2);
    }

    MemoryModule module{platform};
    ModuleAddress base = 0;
};

TEST_F(ExportTest, FindsExactNamesThroughTheirOrdinalEntries) {
    const std::vector<std::pair<const char*, std::uint32_t>> lookups = {
        {"SkinH_AttachRes", kAttachResRva},  // first name, ordinal entry 2
        {"Alpha", kAlphaRva},                // ordinal entry 0 at index 1
        {"Beta", kBetaRva},                  // ordinal entry 1 at index 2
        {"skinh_attachres", 0},
        {"SKINH_ATTACHRES", 0},
        {"SkinH_Attach", 0},
        {"SkinH_AttachRes2", 0},
        {"Alph", 0},
        {"", 0},
        {"RoutineA", 0},
    };
    for (const auto& [name, rva] : lookups) {
        SCOPED_TRACE(name);
        EXPECT_EQ(module.GetExportByName(name), rva == 0 ? 0 : base + rva);
    }
}

TEST_F(ExportTest, NamesAreWalkedBackToBackFromTheFirstNameEntry) {
    // Only the first name entry is read.
    Write32(kExportNamesRva + 4, 0xFFFFFFF0);
    Write32(kExportNamesRva + 8, 0xFFFFFFF0);
    EXPECT_EQ(module.GetExportByName("Beta"), base + kBetaRva);
    // With the first entry moved to "Alpha", the names are Alpha, Beta and
    // whatever follows, with the ordinal entries of indexes 0 to 2.
    Write32(kExportNamesRva, kExportNameTextRva + 16);
    EXPECT_EQ(module.GetExportByName("Alpha"), base + kAttachResRva);
    EXPECT_EQ(module.GetExportByName("Beta"), base + kAlphaRva);
    EXPECT_EQ(module.GetExportByName("SkinH_AttachRes"), 0u);
}

TEST_F(ExportTest, FirstMatchingNameWins) {
    Write16(kExportOrdinalsRva + 4, 0);
    const unsigned char alpha[] = "Alpha";
    platform.CopyToAddress(base + kExportNameTextRva + 22, alpha, sizeof alpha);
    EXPECT_EQ(module.GetExportByName("Alpha"), base + kAlphaRva);
    Write16(kExportOrdinalsRva + 2, 1);
    EXPECT_EQ(module.GetExportByName("Alpha"), base + kBetaRva);
}

TEST_F(ExportTest, NumberOfNamesZeroFindsNothing) {
    Write32(kExportDirectoryRva + 24, 0);
    for (const char* name : {"SkinH_AttachRes", "Alpha", "Beta", ""}) {
        EXPECT_EQ(module.GetExportByName(name), 0u) << name;
    }
}

TEST_F(ExportTest, ExportDirectoryWithSizeZeroIsNoExports) {
    ImageBytes changed;
    changed.Set32(DirectorySize(0), 0);
    image = changed;
    MemoryModule other(platform);
    ASSERT_TRUE(Load(other));
    EXPECT_EQ(other.GetExportByName("SkinH_AttachRes"), 0u);
    other.Unload();
}

struct BrokenExports {
    const char* name;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> writes;  // RVA, 32-bit value
    const char* lookup;
};

TEST_F(ExportTest, TablesOutsideTheImageGiveZeroWithoutReadingPastIt) {
    const std::vector<BrokenExports> cases = {
        {"routine table past the image end", {{kExportDirectoryRva + 28, kImageSize - 8}}, "Alpha"},
        {"routine table too long for the image", {{kExportDirectoryRva + 20, 0x40000000}}, "Alpha"},
        {"name table outside the image", {{kExportDirectoryRva + 32, kImageSize}}, "Alpha"},
        {"first name outside the image", {{kExportNamesRva, 0x80000000}}, "Alpha"},
        {"ordinal table outside the image", {{kExportDirectoryRva + 36, 0xFFFFFFFE}}, "SkinH_AttachRes"},
        {"ordinal entry past the routine table", {{kExportOrdinalsRva, 3}}, "SkinH_AttachRes"},
        {"routine RVA outside the image", {{kExportFunctionsRva + 8, kImageSize}}, "SkinH_AttachRes"},
        {"more names than the image holds", {{kExportDirectoryRva + 24, 0xFFFFFFFF}}, "Gamma"},
        {"last name runs into the image end",
         {{kExportNamesRva, kImageSize - 4}, {kImageSize - 4, 0x41414141}},
         "AAAA"},
    };
    for (const BrokenExports& row : cases) {
        SCOPED_TRACE(row.name);
        // Fresh image contents for every row.
        module.Unload();
        ASSERT_TRUE(Load(module));
        base = module.GetModuleBase();
        for (const auto& [rva, value] : row.writes) {
            Write32(rva, value);
        }
        EXPECT_EQ(module.GetExportByName(row.lookup), 0u);
    }
}

TEST_F(ExportTest, RoutineAtRvaZeroOrInsideTheDirectoryIsReturnedAsItIs) {
    Write32(kExportFunctionsRva + 8, kExportDirectoryRva + 4);
    EXPECT_EQ(module.GetExportByName("SkinH_AttachRes"), base + kExportDirectoryRva + 4);
    Write32(kExportFunctionsRva, 0);
    EXPECT_EQ(module.GetExportByName("Alpha"), base);
}

}  // namespace
