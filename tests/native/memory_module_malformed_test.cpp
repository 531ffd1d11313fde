// Malformed images are refused: false, nothing left mapped, no entry call,
// and no access outside the input buffer (AddressSanitizer) or the mapped
// image (the simulated address space).
#include "loader_fixture.h"

using namespace test_dll;

namespace {

using MalformedImageTest = LoaderFixture;

// With SectionAlignment 0x200 the image ends exactly where the .reloc raw
// data ends (RVA 0x4200), so raw bytes reach the image end.
constexpr std::uint32_t kShortImageEnd = 0x4200;
void EndImageWithRelocRawData(ImageBytes& image) {
    image.Set32(kSectionAlignment, 0x200);
}

struct MalformedImage {
    const char* name;
    std::function<void(ImageBytes&)> apply;
    // The last step that ran; "ComputeImageSize" alone means the memory
    // could not be had, "ResolveImports" alone that the entry was refused.
    const char* lastStep;
};

TEST_F(MalformedImageTest, IsRefusedCleanly) {
    const char* headers = "ReadHeaders refused";
    const char* size = "ComputeImageSize refused";
    const char* copy = "CopyHeadersAndSections refused";
    const char* relocations = "ApplyRelocations refused";
    const char* imports = "ResolveImports refused";
    const std::vector<MalformedImage> images = {
        {"section table past the buffer", [](ImageBytes& i) { i.Set16(kNumberOfSections, 0xFFFF); }, headers},
        {"raw data past the buffer",
         [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kSizeOfRawData), 0x201); }, headers},
        {"raw data pointer and size wrap",
         [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kPointerToRawData), 0xFFFFFF00); }, headers},
        {"headers past the buffer", [](ImageBytes& i) { i.Set32(kSizeOfHeaders, kFileSize + 1); }, headers},
        {"SectionAlignment 0", [](ImageBytes& i) { i.Set32(kSectionAlignment, 0); }, size},
        {"virtual end past 2^32",
         [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kVirtualSize), 0xFFFFD000); }, size},
        {"aligned virtual end past 2^32",
         [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kVirtualSize), 0xFFFFB001); }, size},
        {"virtual address plus size wraps",
         [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kVirtualAddress), 0xFFFFFF00); }, size},
        {"image larger than the address space allows",
         [](ImageBytes& i) { i.Set32(SectionField(kRelocSection, kVirtualSize), 0x7FFF0000); }, "ComputeImageSize"},
        {"section overwrites e_lfanew with an offset past the image",
         [](ImageBytes& i) {
             i.Set32(SectionField(kRelocSection, kVirtualAddress), 0x30);
             i.Set32(FileOffset(kRelocationRva) + 12, 0x7FFFFFF0);
         },
         copy},
        {"relocation directory outside the image", [](ImageBytes& i) { i.Set32(DirectoryRva(5), kImageSize); },
         relocations},
        {"relocation directory in the last 4 bytes",
         [](ImageBytes& i) { i.Set32(DirectoryRva(5), kImageSize - 4); }, relocations},
        {"relocation block past the image end",
         [](ImageBytes& i) { i.Set32(FileOffset(kRelocationRva) + 4, 0x2000); }, relocations},
        {"SizeOfBlock below 8", [](ImageBytes& i) { i.Set32(FileOffset(kRelocationRva) + 4, 4); }, relocations},
        {"SizeOfBlock 0", [](ImageBytes& i) { i.Set32(FileOffset(kRelocationRva) + 4, 0); }, relocations},
        {"relocation target straddling the image end",
         [](ImageBytes& i) {
             i.Set32(FileOffset(kSecondBlockRva), 0x4000);
             i.Set16(FileOffset(kSecondBlockRva) + 8, 0x3FFE);
         },
         relocations},
        {"relocation target far outside the image",
         [](ImageBytes& i) { i.Set32(FileOffset(kSecondBlockRva), 0x7FFF0000); }, relocations},
        {"relocation walk without an end block",
         [](ImageBytes& i) {
             EndImageWithRelocRawData(i);
             for (std::uint32_t at = FileOffset(kEndBlockRva); at + 8 <= kRelocRawEnd; at += 8) {
                 i.Set32(at, 0x3000);
                 i.Set32(at + 4, 8);
             }
         },
         relocations},
        {"import directory outside the image", [](ImageBytes& i) { i.Set32(DirectoryRva(1), 0x7000); }, imports},
        {"import descriptor straddling the image end",
         [](ImageBytes& i) { i.Set32(DirectoryRva(1), kImageSize - 16); }, imports},
        {"import descriptors without an end",
         [](ImageBytes& i) {
             EndImageWithRelocRawData(i);
             i.Set32(DirectoryRva(1), kRelocationRva);
             i.Set32(DirectorySize(5), 0);
             for (std::uint32_t at = FileOffset(kRelocationRva); at + 20 <= kRelocRawEnd; at += 20) {
                 i.Set32(at + 12, kLibTwoNameRva);
                 i.Set32(at + 16, kLibOneIatRva + 8);  // an empty address table
             }
         },
         imports},
        {"library name outside the image",
         [](ImageBytes& i) { i.Set32(FileOffset(kImportDirectoryRva) + 12, kImageSize); }, imports},
        {"library name runs into the image end",
         [](ImageBytes& i) {
             EndImageWithRelocRawData(i);
             i.Fill(kRelocRawEnd - 0x10, 0x10, 'a');
             i.Set32(FileOffset(kImportDirectoryRva) + 12, kShortImageEnd - 0x10);
         },
         imports},
        {"import address table outside the image",
         [](ImageBytes& i) { i.Set32(FileOffset(kSecondDescriptorRva) + 16, 0x80000000); }, imports},
        {"import address table runs into the image end",
         [](ImageBytes& i) {
             EndImageWithRelocRawData(i);
             i.Set32(kRelocRawEnd - 4, 0x80000000 | kImportedOrdinal);
             i.Set32(FileOffset(kImportDirectoryRva) + 16, kShortImageEnd - 4);
         },
         imports},
        {"hint/name entry outside the image", [](ImageBytes& i) { i.Set32(FileOffset(kLibOneIatRva), 0x7FFFFFFF); },
         imports},
        {"routine name runs into the image end",
         [](ImageBytes& i) {
             EndImageWithRelocRawData(i);
             i.Fill(kRelocRawEnd - 0x10, 0x10, 'R');
             i.Set32(FileOffset(kLibTwoIatRva), kShortImageEnd - 0x10 - 2);
         },
         imports},
        {"entry routine outside the image", [](ImageBytes& i) { i.Set32(kEntryPoint, kImageSize); },
         "ResolveImports"},
    };
    for (const MalformedImage& malformed : images) {
        SCOPED_TRACE(malformed.name);
        image = ImageBytes{};
        malformed.apply(image);
        RecordingModule module(platform);
        EXPECT_FALSE(Load(module));
        EXPECT_EQ(module.LastStep(), malformed.lastStep);
        EXPECT_EQ(module.GetModuleBase(), 0u);
        EXPECT_EQ(platform.AllocationCount(), 0u);
        EXPECT_TRUE(platform.Calls().empty());
    }
}

TEST_F(MalformedImageTest, ShortenedImagesAreRefusedAtEveryLength) {
    const ImageBytes whole;
    for (std::uint32_t length = 0; length < kFileSize; length += 7) {
        image.bytes.assign(whole.bytes.begin(), whole.bytes.begin() + length);
        MemoryModule module(platform);
        EXPECT_FALSE(Load(module)) << length;
    }
    EXPECT_EQ(platform.AllocationCount(), 0u);
}

}  // namespace
