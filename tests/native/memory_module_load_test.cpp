// Mapping a DLL image: header checks in order, image size, copying,
// relocations, imports and the entry routine.
#include <string>

#include "loader_fixture.h"

using namespace test_dll;

namespace {

using LoadTest = LoaderFixture;

struct HeaderCheck {
    const char* name;
    std::function<void(ImageBytes&)> apply;
    bool accepted;
    // How far the records were filled when the check ended.
    std::uint16_t dosMagic;
    std::uint32_t ntSignature;
    std::size_t sectionRecords;
    std::size_t parsedSections;  // records with a non-zero VirtualAddress
};

TEST_F(LoadTest, ReadHeadersRunsItsChecksInOrder) {
    const auto truncate = [](std::uint32_t length) {
        return [length](ImageBytes& image) { image.bytes.resize(length); };
    };
    const auto clearRaw = [](ImageBytes& image, int section) {
        image.Set32(SectionField(section, kSizeOfRawData), 0);
        image.Set32(SectionField(section, kPointerToRawData), 0);
    };
    const std::vector<HeaderCheck> checks = {
        {"63 bytes", truncate(63), false, 0, 0, 0, 0},
        {"no MZ", [](ImageBytes& i) { i.Set16(0, 0x5A4E); }, false, 0x5A4E, 0, 0, 0},
        {"64 bytes, NT headers past the end", truncate(64), false, 0x5A4D, 0, 0, 0},
        {"e_lfanew negative", [](ImageBytes& i) { i.Set32(kLfanew, 0xFFFFFFF0); }, false, 0x5A4D, 0, 0, 0},
        {"NT headers one byte short",
         [](ImageBytes& i) {
             i.Set16(kNumberOfSections, 0);
             i.bytes.resize(kNtHeaders + 247);
         },
         false, 0x5A4D, 0, 0, 0},
        {"NT headers end at the buffer end",
         [](ImageBytes& i) {
             i.Set16(kNumberOfSections, 0);
             i.Set32(kSizeOfHeaders, kNtHeaders + 248);
             i.bytes.resize(kNtHeaders + 248);
         },
         true, 0x5A4D, 0x4550, 0, 0},
        {"no PE\\0\\0", [](ImageBytes& i) { i.Set32(kNtHeaders, 0x00014550); }, false, 0x5A4D, 0x00014550, 0, 0},
        {"not executable", [](ImageBytes& i) { i.Set16(kCharacteristics, 0x2100); }, false, 0x5A4D, 0x4550, 0, 0},
        {"optional header of 240 bytes", [](ImageBytes& i) { i.Set16(kSizeOfOptionalHeader, 240); }, false,
         0x5A4D, 0x4550, 0, 0},
        {"section table past the end",
         [&](ImageBytes& i) {
             for (int section = 0; section < 3; ++section) {
                 clearRaw(i, section);
             }
             i.Set32(kSizeOfHeaders, 0x200);
             i.bytes.resize(SectionField(3, 20));
         },
         false, 0x5A4D, 0x4550, 4, 3},
        {"raw data of section 1 one byte past the end",
         [](ImageBytes& i) { i.Set32(SectionField(1, kPointerToRawData), kFileSize - 0x200 + 1); }, false, 0x5A4D,
         0x4550, 4, 2},
        {"raw data pointer and size wrap past 2^32",
         [](ImageBytes& i) { i.Set32(SectionField(1, kPointerToRawData), 0xFFFFFF00); }, false, 0x5A4D, 0x4550, 4,
         2},
        {"raw data ends exactly at the buffer end", [](ImageBytes&) {}, true, 0x5A4D, 0x4550, 4, 4},
        {"last raw data one byte past the end",
         [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kSizeOfRawData), 0x201); }, false, 0x5A4D, 0x4550,
         4, 4},
        {"headers past the end", [](ImageBytes& i) { i.Set32(kSizeOfHeaders, kFileSize + 1); }, false, 0x5A4D,
         0x4550, 4, 4},
    };
    for (const HeaderCheck& check : checks) {
        SCOPED_TRACE(check.name);
        ImageBytes changed;
        check.apply(changed);
        MemoryModule module(platform);
        std::unique_ptr<unsigned char[]> buffer(new unsigned char[changed.bytes.size()]);
        std::memcpy(buffer.get(), changed.bytes.data(), changed.bytes.size());
        EXPECT_EQ(module.ReadHeaders(buffer.get(), static_cast<std::uint32_t>(changed.bytes.size())), check.accepted);
        EXPECT_EQ(module.DosHeader().e_magic, check.dosMagic);
        EXPECT_EQ(module.NtHeaders().Signature, check.ntSignature);
        ASSERT_EQ(module.SectionHeaders().size(), check.sectionRecords);
        std::size_t parsed = 0;
        for (const ImageSectionHeader& section : module.SectionHeaders()) {
            parsed += section.VirtualAddress != 0 ? 1 : 0;
        }
        EXPECT_EQ(parsed, check.parsedSections);
        EXPECT_EQ(module.GetModuleBase(), 0u);
    }
    EXPECT_EQ(platform.AllocationCount(), 0u);
}

TEST_F(LoadTest, ReadHeadersParsesEveryField) {
    image.Set16(0x1C, 0x1111);                    // e_res[0]
    image.Set16(0x3A, 0x2222);                    // e_res2[9]
    image.Set32(DirectorySize(15), 0x33333333);   // last data directory
    image.Set16(SectionField(3, 34), 0x4444);     // NumberOfLinenumbers of .reloc
    MemoryModule module(platform);
    ASSERT_TRUE(module.ReadHeaders(image.bytes.data(), static_cast<std::uint32_t>(image.bytes.size())));
    EXPECT_EQ(module.DosHeader().e_res[0], 0x1111);
    EXPECT_EQ(module.DosHeader().e_res2[9], 0x2222);
    EXPECT_EQ(module.DosHeader().e_lfanew, kNtHeaders);
    EXPECT_EQ(module.NtHeaders().FileHeader.Machine, 0x014C);
    EXPECT_EQ(module.NtHeaders().OptionalHeader.Magic, 0x010B);
    EXPECT_EQ(module.NtHeaders().OptionalHeader.ImageBase, kImageBase);
    EXPECT_EQ(module.NtHeaders().OptionalHeader.DataDirectory[15].Size, 0x33333333u);
    EXPECT_EQ(module.NtHeaders().OptionalHeader.DataDirectory[5].VirtualAddress, kRelocationRva);
    const ImageSectionHeader& reloc = module.SectionHeaders().at(3);
    EXPECT_EQ(std::string(reloc.Name.begin(), reloc.Name.begin() + 6), ".reloc");
    EXPECT_EQ(reloc.VirtualAddress, 0x4000u);
    EXPECT_EQ(reloc.VirtualSize, 0x40u);
    EXPECT_EQ(reloc.PointerToRawData, 0xA00u);
    EXPECT_EQ(reloc.NumberOfLinenumbers, 0x4444);
    EXPECT_EQ(reloc.Characteristics, 0xE0000060u);
}

TEST_F(LoadTest, AlignUpRoundsToTheNextMultiple) {
    MemoryModule module(platform);
    EXPECT_EQ(module.AlignUp(0x1001, 0x1000), 0x2000u);
    EXPECT_EQ(module.AlignUp(0x1000, 0x1000), 0x1000u);
    EXPECT_EQ(module.AlignUp(0, 0x1000), 0u);
    EXPECT_EQ(module.AlignUp(5, 3), 6u);
    EXPECT_EQ(module.AlignUp(0xFFFFF000, 0x1000), 0xFFFFF000u);
    EXPECT_EQ(module.AlignUp(0xFFFFF001, 0x1000), 0u);  // does not fit in 32 bits
}

TEST_F(LoadTest, ImageSizeCoversHeadersAndTheLargerOfVirtualAndRawSize) {
    const std::vector<std::pair<ImageChange, std::uint32_t>> cases = {
        {{"as built", [](ImageBytes&) {}}, kImageSize},
        {{"SizeOfImage is not consulted", [](ImageBytes& i) { i.Set32(kNtHeaders + 24 + 56, 0x100000); }},
         kImageSize},
        {{"virtual size beyond the raw data",
          [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kVirtualSize), 0x2001); }},
         0x7000},
        {{"raw data beyond the virtual size",
          [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kVirtualSize), 0); }},
         kImageSize},
        {{"alignment of 0x10000",
          [](ImageBytes& i) {
              i.Set32(kSectionAlignment, 0x10000);
          }},
         0x10000},
        {{"alignment of 0x200",
          [](ImageBytes& i) { i.Set32(kSectionAlignment, 0x200); }},
         0x4200},
        {{"no section alignment", [](ImageBytes& i) { i.Set32(kSectionAlignment, 0); }}, 0},
        {{"virtual end past 2^32",
          [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kVirtualSize), 0xFFFFD000); }},
         0},
        {{"aligned end past 2^32",
          [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kVirtualSize), 0xFFFFB001); }},
         0},
    };
    for (const auto& [change, size] : cases) {
        SCOPED_TRACE(change.name);
        ImageBytes changed;
        change.apply(changed);
        MemoryModule module(platform);
        ASSERT_TRUE(module.ReadHeaders(changed.bytes.data(), static_cast<std::uint32_t>(changed.bytes.size())));
        EXPECT_EQ(module.ComputeImageSize(), size);
    }
}

TEST_F(LoadTest, MapsHeadersAndSectionsAtTheImageBase) {
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    const ModuleAddress base = module.GetModuleBase();
    ASSERT_EQ(base, kImageBase);
    EXPECT_EQ(platform.AllocationSize(base), kImageSize);
    EXPECT_EQ(platform.ReadBytes(base, 0x400),
              std::vector<unsigned char>(image.bytes.begin(), image.bytes.begin() + 0x400));
    for (int section = 0; section < 4; ++section) {
        SCOPED_TRACE(section);
        const std::uint32_t rva = 0x1000 * (section + 1);
        const std::uint32_t offset = FileOffset(rva);
        std::vector<unsigned char> raw(image.bytes.begin() + offset, image.bytes.begin() + offset + 0x200);
        if (section == kRdataSection) {
            // The import address tables now hold the routine addresses.
            raw = platform.ReadBytes(base + rva, 0x200);
            EXPECT_EQ(std::vector<unsigned char>(raw.begin() + 0x100, raw.end()),
                      std::vector<unsigned char>(image.bytes.begin() + offset + 0x100,
                                                 image.bytes.begin() + offset + 0x200));
            continue;
        }
        EXPECT_EQ(platform.ReadBytes(base + rva, 0x200), raw);
        EXPECT_EQ(platform.ReadBytes(base + rva + 0x200, 0xE00), std::vector<unsigned char>(0xE00, 0));
    }
}

TEST_F(LoadTest, VirtualSizeBeyondRawDataGetsZeroedMemoryUpToItsAlignedEnd) {
    image.Set32(SectionField(kRelocSection, kVirtualSize), 0x2001);
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    EXPECT_EQ(platform.AllocationSize(module.GetModuleBase()), 0x7000u);
    EXPECT_EQ(platform.ReadBytes(module.GetModuleBase() + 0x4200, 0x2E00), std::vector<unsigned char>(0x2E00, 0));
}

TEST_F(LoadTest, SectionWithVirtualAddressZeroStopsTheCopying) {
    image.Set32(SectionField(kDataSection, kVirtualAddress), 0);
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    const ModuleAddress base = module.GetModuleBase();
    EXPECT_EQ(platform.Read32(base + kCodePointerRva), kCodePointerValue);  // .text copied
    EXPECT_EQ(platform.ReadBytes(base + 0x3000, 0x2000), std::vector<unsigned char>(0x2000, 0));
    // The records now describe the mapped image.
    EXPECT_EQ(module.SectionHeaders().at(kDataSection).VirtualAddress, 0u);
}

TEST_F(LoadTest, RecordsAreReadAgainFromTheMappedCopy) {
    // .reloc laid over the headers: in the mapped copy e_res2[4] and [5]
    // change, e_lfanew stays, and the NT headers are zeros.
    image.Set32(SectionField(kRelocSection, kVirtualAddress), 0x30);
    image.Set32(FileOffset(kRelocationRva), 0xBEEFBEEF);
    image.Set32(FileOffset(kRelocationRva) + 12, kNtHeaders);
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    EXPECT_EQ(module.DosHeader().e_res2[4], 0xBEEF);
    EXPECT_EQ(module.DosHeader().e_res2[5], 0xBEEF);
    EXPECT_EQ(module.DosHeader().e_lfanew, kNtHeaders);
    EXPECT_EQ(module.NtHeaders(), ImageNtHeaders32{});
    EXPECT_TRUE(module.SectionHeaders().empty());
    EXPECT_TRUE(platform.Calls().empty());  // no IMAGE_FILE_DLL left in the mapped headers
}

struct RelocationCase {
    ImageChange change;
    bool occupyImageBase;
    bool applied;  // false: no relocation directory
};

TEST_F(LoadTest, RelocationsAddTheDeltaToHighLowTargetsOnly) {
    const std::vector<RelocationCase> cases = {
        {{"at the image base", [](ImageBytes&) {}}, false, true},
        {{"image base taken", [](ImageBytes&) {}}, true, true},
        {{"no relocation directory, image base taken", [](ImageBytes& i) { i.Set32(DirectorySize(5), 0); }}, true,
         false},
        {{"image base outside the address space: the delta wraps",
          [](ImageBytes& i) { i.Set32(kImageBaseField, 0xF0000000); }},
         false, true},
    };
    for (const RelocationCase& row : cases) {
        SCOPED_TRACE(row.change.name);
        ImageBytes changed;
        row.change.apply(changed);
        const std::uint32_t imageBase = ReadLittleEndian32(changed.bytes.data() + kImageBaseField);
        // Every word is linked for the image base in the header.
        const std::uint32_t linkedDelta = imageBase - kImageBase;
        changed.Set32(FileOffset(kDataPointerRva), kDataPointerValue + linkedDelta);
        changed.Set32(FileOffset(kRoutinePointerRva), kRoutinePointerValue + linkedDelta);
        changed.Set32(FileOffset(kCodePointerRva), kCodePointerValue + linkedDelta);
        ModuleAddress blocker = 0;
        if (row.occupyImageBase) {
            blocker = platform.VirtualAlloc(imageBase, 0x1000, 0x3000, 0x40);
            ASSERT_EQ(blocker, imageBase);
        }
        image = changed;
        MemoryModule module(platform);
        ASSERT_TRUE(Load(module));
        const ModuleAddress base = module.GetModuleBase();
        EXPECT_EQ(base == imageBase, !row.occupyImageBase && imageBase == kImageBase);
        const std::uint32_t delta = row.applied ? base - imageBase : 0;
        EXPECT_EQ(platform.Read32(base + kDataPointerRva), imageBase + kGlobalRva + delta);
        EXPECT_EQ(platform.Read32(base + kRoutinePointerRva), imageBase + kAlphaRva + delta);
        EXPECT_EQ(platform.Read32(base + kCodePointerRva), imageBase + kDataPointerRva + delta);
        if (row.applied) {
            EXPECT_EQ(platform.Read32(base + kDataPointerRva), base + kGlobalRva);
        }
        // Named by type-0 and type-10 entries only, or only after the end block.
        EXPECT_EQ(platform.Read32(base + kTypeZeroTargetRva), kUnrelocatedValue);
        EXPECT_EQ(platform.Read32(base + kOtherTypeTargetRva), kUnrelocatedValue);
        EXPECT_EQ(platform.Read32(base + kGlobalRva), kGlobalValue);
        module.Unload();
        if (blocker != 0) {
            platform.VirtualFree(blocker, 0, 0x8000);
        }
        EXPECT_EQ(platform.AllocationCount(), 0u);
    }
}

TEST_F(LoadTest, RelocationTargetAddressWrapsAround) {
    // Page RVA 0xFFFFF100 plus offset 0xF40 wraps to RVA 0x40 (a zero word
    // of the DOS stub); the code pointer loses its entry.
    image.Set32(FileOffset(kSecondBlockRva), 0xFFFFF100);
    image.Set16(FileOffset(kSecondBlockRva) + 8, 0x3F40);
    const ModuleAddress blocker = platform.VirtualAlloc(kImageBase, 0x1000, 0x3000, 0x40);
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    const ModuleAddress base = module.GetModuleBase();
    EXPECT_EQ(platform.Read32(base + 0x40), base - kImageBase);
    EXPECT_EQ(platform.Read32(base + kDataPointerRva), base + kGlobalRva);
    EXPECT_EQ(platform.Read32(base + kCodePointerRva), kCodePointerValue);
    module.Unload();
    platform.VirtualFree(blocker, 0, 0x8000);
}

TEST_F(LoadTest, ImportsBindByNameAndOrdinalThroughLoadedLibrariesFirst) {
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    const ModuleAddress base = module.GetModuleBase();
    EXPECT_EQ(platform.Read32(base + kLibOneIatRva), routineA);
    EXPECT_EQ(platform.Read32(base + kLibOneIatRva + 4), ordinalRoutine);
    EXPECT_EQ(platform.Read32(base + kLibOneIatRva + 8), 0u);
    EXPECT_EQ(platform.Read32(base + kLibTwoIatRva), routineB);
    const std::vector<std::string> expected = {
        "GetModuleHandleA libone.dll",      "LoadLibraryA libone.dll",
        "GetProcAddress libone.dll RoutineA", "GetProcAddress libone.dll #16",
        "GetModuleHandleA libtwo.dll",      "GetProcAddress libtwo.dll RoutineB",
    };
    EXPECT_EQ(platform.LibraryCalls(), expected);
    EXPECT_EQ(platform.LoadCount(kLibOne), 1);
    EXPECT_EQ(platform.LoadCount(kLibTwo), 0);  // already in the process
}

TEST_F(LoadTest, NameImportIsLookedUpAfterTheTwoByteHint) {
    image.Set16(FileOffset(kRoutineAHintNameRva), 0x4241);  // hint bytes "AB" must not be read as the name
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    EXPECT_EQ(platform.LibraryCalls().at(2), "GetProcAddress libone.dll RoutineA");
}

TEST_F(LoadTest, FailedImportReleasesTheImageAndKeepsLibrariesLoaded) {
    const std::vector<ImageChange> changes = {
        {"unknown library", [](ImageBytes& i) { i.bytes.at(FileOffset(kLibTwoNameRva)) = 'x'; }},
        {"unknown routine name", [](ImageBytes& i) { i.bytes.at(FileOffset(kRoutineBHintNameRva) + 2) = 'X'; }},
        {"unknown ordinal", [](ImageBytes& i) { i.Set32(FileOffset(kLibOneIatRva + 4), 0x80000011); }},
    };
    for (const ImageChange& change : changes) {
        SCOPED_TRACE(change.name);
        image = ImageBytes{};
        change.apply(image);
        MemoryModule module(platform);
        EXPECT_FALSE(Load(module));
        EXPECT_EQ(module.GetModuleBase(), 0u);
        EXPECT_EQ(platform.AllocationCount(), 0u);
        EXPECT_TRUE(platform.Calls().empty());
    }
    // libone stayed loaded: every later attempt found it without a load.
    EXPECT_EQ(platform.LoadCount(kLibOne), 1);
}

TEST_F(LoadTest, EntryRoutineGetsAttachWithModuleHandleZero) {
    MemoryModule module(platform);
    ASSERT_TRUE(Load(module));
    const ModuleAddress entry = kImageBase + kEntryRva;
    EXPECT_EQ(CallsMade(), (std::vector<std::vector<std::uint32_t>>{{entry, 0, 1, 0}}));
    EXPECT_EQ(module.GetEntryPoint(), entry);
    for (std::uint32_t word = 3; word < 10; ++word) {
        EXPECT_EQ(platform.Calls().at(0).arguments.words[word], 0u);
    }
}

TEST_F(LoadTest, EntryReturningZeroIsDetachedAndTheImageReleased) {
    attachResult = 0;
    MemoryModule module(platform);
    EXPECT_FALSE(Load(module));
    const ModuleAddress entry = kImageBase + kEntryRva;
    EXPECT_EQ(CallsMade(), (std::vector<std::vector<std::uint32_t>>{{entry, 0, 1, 0}, {entry, 0, 0, 0}}));
    EXPECT_EQ(module.GetModuleBase(), 0u);
    EXPECT_EQ(module.GetEntryPoint(), 0u);
    EXPECT_EQ(platform.AllocationCount(), 0u);
    EXPECT_EQ(platform.LoadCount(kLibOne), 1);
}

TEST_F(LoadTest, ImagesWithoutAnEntryToRunAreMappedWithoutCalls) {
    const std::vector<ImageChange> changes = {
        {"EXE without IMAGE_FILE_DLL", [](ImageBytes& i) { i.Set16(kCharacteristics, 0x0102); }},
        {"DLL with AddressOfEntryPoint 0", [](ImageBytes& i) { i.Set32(kEntryPoint, 0); }},
    };
    for (const ImageChange& change : changes) {
        SCOPED_TRACE(change.name);
        image = ImageBytes{};
        change.apply(image);
        MemoryModule module(platform);
        ASSERT_TRUE(Load(module));
        EXPECT_EQ(platform.Read32(module.GetModuleBase() + kLibTwoIatRva), routineB);  // bound all the same
        module.Unload();
        EXPECT_TRUE(platform.Calls().empty());
        EXPECT_EQ(platform.AllocationCount(), 0u);
    }
}

TEST_F(LoadTest, EveryStepRunsThroughTheObjectsOwnOperations) {
    const std::vector<std::string> steps = {"ReadHeaders",      "AlignUp", "AlignUp", "AlignUp", "AlignUp",
                                            "AlignUp",          "ComputeImageSize",   "CopyHeadersAndSections",
                                            "ApplyRelocations", "ResolveImports"};
    RecordingModule module(platform);
    ASSERT_TRUE(Load(module));
    EXPECT_EQ(module.steps, steps);
}

TEST_F(LoadTest, ReplacedImportStepThatFailsReleasesTheImage) {
    RecordingModule module(platform);
    module.failImports = true;
    EXPECT_FALSE(Load(module));
    EXPECT_EQ(module.steps.back(), "ResolveImports refused");
    EXPECT_EQ(module.GetModuleBase(), 0u);
    EXPECT_EQ(platform.AllocationCount(), 0u);
    EXPECT_TRUE(platform.Calls().empty());
}

class UndersizingModule : public MemoryModule {
public:
    using MemoryModule::MemoryModule;
    std::uint32_t ComputeImageSize() override { return 0x1000; }
};

TEST_F(LoadTest, CopyRefusesSectionsBeyondTheMemoryItWasGiven) {
    UndersizingModule module(platform);
    EXPECT_FALSE(Load(module));
    EXPECT_EQ(platform.AllocationCount(), 0u);
}

}  // namespace
