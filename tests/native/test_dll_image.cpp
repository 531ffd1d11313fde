#include "test_dll_image.h"

#include <stdexcept>

#include "pe_image_builder.h"

namespace test_dll {

std::uint32_t FileOffset(std::uint32_t rva) {
    for (std::uint32_t section = 0; section < 4; ++section) {
        const std::uint32_t begin = 0x1000 * (section + 1);
        if (rva >= begin && rva < begin + 0x200) {
            return 0x400 + 0x200 * section + (rva - begin);
        }
    }
    throw std::out_of_range("RVA outside the raw data");
}

std::vector<unsigned char> Build() {
    PeImageBuilder image;
    image.SetImageBase(kImageBase);
    image.SetEntryPoint(kEntryRva);
    image.AddSection(".text", 0x1000, 0x200, 0x200);
    image.AddSection(".rdata", 0x2000, 0x200, 0x200);
    image.AddSection(".data", 0x3000, 0x100, 0x200);
    image.AddSection(".reloc", 0x4000, 0x40, 0x200);

    image.Put32(kCodePointerRva, kCodePointerValue);

    image.PutImportDescriptor(kImportDirectoryRva, kLibOneNameRva, kLibOneIatRva);
    image.PutImportDescriptor(kSecondDescriptorRva, kLibTwoNameRva, kLibTwoIatRva);
    image.PutHintName(kRoutineAHintNameRva, 2, "RoutineA");
    image.PutHintName(kRoutineBHintNameRva, 0, "RoutineB");
    image.PutText(kLibOneNameRva, kLibOne);
    image.PutText(kLibTwoNameRva, kLibTwo);
    image.Put32(kLibOneIatRva, kRoutineAHintNameRva);
    image.Put32(kLibOneIatRva + 4, 0x80000000u | kImportedOrdinal);
    image.Put32(kLibTwoIatRva, kRoutineBHintNameRva);
    image.SetDirectory(1, kImportDirectoryRva, 3 * 20);

    // Names back to back; the name table's ordinal entries are not their
    // indexes: SkinH_AttachRes -> routine 2, Alpha -> 0, Beta -> 1.
    image.PutExportDirectory(kExportDirectoryRva, 3, 3, kExportFunctionsRva, kExportNamesRva, kExportOrdinalsRva);
    image.Put32(kExportFunctionsRva, kAlphaRva);
    image.Put32(kExportFunctionsRva + 4, kBetaRva);
    image.Put32(kExportFunctionsRva + 8, kAttachResRva);
    image.Put32(kExportNamesRva, kExportNameTextRva);
    image.Put32(kExportNamesRva + 4, kExportNameTextRva + 16);
    image.Put32(kExportNamesRva + 8, kExportNameTextRva + 22);
    image.Put16(kExportOrdinalsRva, 2);
    image.Put16(kExportOrdinalsRva + 2, 0);
    image.Put16(kExportOrdinalsRva + 4, 1);
    image.PutText(kExportNameTextRva, "SkinH_AttachRes");
    image.PutText(kExportNameTextRva + 16, "Alpha");
    image.PutText(kExportNameTextRva + 22, "Beta");
    image.SetDirectory(0, kExportDirectoryRva, 0x8B);

    image.Put32(kDataPointerRva, kDataPointerValue);
    image.Put32(kRoutinePointerRva, kRoutinePointerValue);
    image.Put32(kTypeZeroTargetRva, kUnrelocatedValue);
    image.Put32(kOtherTypeTargetRva, kUnrelocatedValue);
    image.Put32(kGlobalRva, kGlobalValue);

    // Block 1 names .data words with types 3, 0, 3 and 10; block 2 the code
    // pointer; then the end block (page RVA 0), then a block that must never
    // be applied. The directory's Size covers block 1 only: the walk does
    // not stop there.
    std::uint32_t at = kRelocationRva;
    at += image.PutRelocationBlock(at, 0x3000, {0x3000, 0x0008, 0x3004, 0xA00C});
    at += image.PutRelocationBlock(at, 0x1000, {0x3100, 0x0000});
    at += 8;  // end block
    image.PutRelocationBlock(at, 0x3000, {0x3010, 0x0000});
    image.SetDirectory(5, kRelocationRva, 16);

    return image.Build();
}

}  // namespace test_dll
