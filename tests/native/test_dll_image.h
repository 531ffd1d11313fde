#pragma once
// The valid DLL image that the loader's tests start from and mutate byte by
// byte, with the places of its interesting fields and contents.
#include <cstdint>
#include <string>
#include <vector>

namespace test_dll {

inline constexpr std::uint32_t kImageBase = 0x10000000;
inline constexpr std::uint32_t kImageSize = 0x5000;
inline constexpr std::uint32_t kFileSize = 0xC00;

// File offsets of header fields.
inline constexpr std::uint32_t kLfanew = 0x3C;
inline constexpr std::uint32_t kNtHeaders = 0x80;
inline constexpr std::uint32_t kNumberOfSections = kNtHeaders + 6;
inline constexpr std::uint32_t kSizeOfOptionalHeader = kNtHeaders + 20;
inline constexpr std::uint32_t kCharacteristics = kNtHeaders + 22;
inline constexpr std::uint32_t kEntryPoint = kNtHeaders + 24 + 16;
inline constexpr std::uint32_t kImageBaseField = kNtHeaders + 24 + 28;
inline constexpr std::uint32_t kSectionAlignment = kNtHeaders + 24 + 32;
inline constexpr std::uint32_t kSizeOfHeaders = kNtHeaders + 24 + 60;
inline constexpr std::uint32_t DirectoryRva(int index) { return kNtHeaders + 24 + 96 + 8 * index; }
inline constexpr std::uint32_t DirectorySize(int index) { return DirectoryRva(index) + 4; }
inline constexpr std::uint32_t kSectionTable = kNtHeaders + 248;
inline constexpr std::uint32_t SectionField(int section, std::uint32_t field) {
    return kSectionTable + 40 * section + field;
}
inline constexpr std::uint32_t kVirtualSize = 8;
inline constexpr std::uint32_t kVirtualAddress = 12;
inline constexpr std::uint32_t kSizeOfRawData = 16;
inline constexpr std::uint32_t kPointerToRawData = 20;

// Sections: .text, .rdata, .data, .reloc, 0x200 bytes of raw data each.
inline constexpr int kTextSection = 0;
inline constexpr int kRdataSection = 1;
inline constexpr int kDataSection = 2;
inline constexpr int kRelocSection = 3;
inline constexpr std::uint32_t kRelocRawEnd = 0xC00;

// .text
inline constexpr std::uint32_t kEntryRva = 0x1000;
inline constexpr std::uint32_t kAlphaRva = 0x1010;
inline constexpr std::uint32_t kBetaRva = 0x1020;
inline constexpr std::uint32_t kAttachResRva = 0x1030;
inline constexpr std::uint32_t kCodePointerRva = 0x1100;  // relocated word

// .rdata: imports
inline constexpr std::uint32_t kImportDirectoryRva = 0x2000;
inline constexpr std::uint32_t kSecondDescriptorRva = 0x2014;
inline constexpr std::uint32_t kRoutineAHintNameRva = 0x2040;
inline constexpr std::uint32_t kRoutineBHintNameRva = 0x2050;
inline constexpr std::uint32_t kLibOneNameRva = 0x2060;
inline constexpr std::uint32_t kLibTwoNameRva = 0x2070;
inline constexpr std::uint32_t kLibOneIatRva = 0x2080;  // RoutineA by name, ordinal 16, end
inline constexpr std::uint32_t kLibTwoIatRva = 0x2090;  // RoutineB by name, end
// .rdata: exports
inline constexpr std::uint32_t kExportDirectoryRva = 0x2100;
inline constexpr std::uint32_t kExportFunctionsRva = 0x2140;
inline constexpr std::uint32_t kExportNamesRva = 0x2150;
inline constexpr std::uint32_t kExportOrdinalsRva = 0x2160;
inline constexpr std::uint32_t kExportNameTextRva = 0x2170;

// .data: words that the relocations change (or must leave alone).
inline constexpr std::uint32_t kDataPointerRva = 0x3000;     // HIGHLOW
inline constexpr std::uint32_t kRoutinePointerRva = 0x3004;  // HIGHLOW
inline constexpr std::uint32_t kTypeZeroTargetRva = 0x3008;  // named by a type-0 entry only
inline constexpr std::uint32_t kOtherTypeTargetRva = 0x300C;  // named by a type-10 entry only
inline constexpr std::uint32_t kGlobalRva = 0x3010;          // named only by a block after the end block

// .reloc
inline constexpr std::uint32_t kRelocationRva = 0x4000;
inline constexpr std::uint32_t kSecondBlockRva = 0x4010;
inline constexpr std::uint32_t kEndBlockRva = 0x401C;

inline const std::string kLibOne = "libone.dll";
inline const std::string kLibTwo = "libtwo.dll";
inline constexpr std::uint16_t kImportedOrdinal = 16;

// Initial values of the relocated words, as linked for kImageBase.
inline constexpr std::uint32_t kDataPointerValue = kImageBase + kGlobalRva;
inline constexpr std::uint32_t kRoutinePointerValue = kImageBase + kAlphaRva;
inline constexpr std::uint32_t kCodePointerValue = kImageBase + kDataPointerRva;
inline constexpr std::uint32_t kUnrelocatedValue = kImageBase + 0x2000;
inline constexpr std::uint32_t kGlobalValue = 0x12345678;

// File offset of an RVA inside a section's raw data.
std::uint32_t FileOffset(std::uint32_t rva);

std::vector<unsigned char> Build();

}  // namespace test_dll
