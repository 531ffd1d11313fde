#pragma once
// The records of a 32-bit PE image, parsed field by field from its
// little-endian bytes, so that the same code runs on any host.
#include <array>
#include <cstdint>

inline constexpr std::uint32_t kDosHeaderSize = 64;
// Signature (4) + file header (20) + PE32 optional header (224).
inline constexpr std::uint32_t kNtHeadersSize = 248;
inline constexpr std::uint32_t kOptionalHeaderSize = 224;
inline constexpr std::uint32_t kSectionHeaderSize = 40;
inline constexpr std::uint32_t kExportDirectorySize = 40;
inline constexpr std::uint32_t kImportDescriptorSize = 20;
inline constexpr std::uint32_t kBaseRelocationSize = 8;

inline constexpr std::uint16_t kDosSignature = 0x5A4D;  // "MZ"
inline constexpr std::uint32_t kNtSignature = 0x00004550;  // "PE\0\0"
inline constexpr std::uint16_t kFileExecutableImage = 0x0002;
inline constexpr std::uint16_t kFileDll = 0x2000;
inline constexpr std::uint32_t kOrdinalFlag32 = 0x80000000;
inline constexpr std::uint16_t kRelocationTypeMask = 0xF000;
inline constexpr std::uint16_t kRelocationHighLow = 0x3000;

inline constexpr int kDirectoryExport = 0;
inline constexpr int kDirectoryImport = 1;
inline constexpr int kDirectoryBaseRelocation = 5;
inline constexpr int kNumberOfDirectories = 16;

struct ImageDosHeader {
    std::uint16_t e_magic = 0;
    std::uint16_t e_cblp = 0;
    std::uint16_t e_cp = 0;
    std::uint16_t e_crlc = 0;
    std::uint16_t e_cparhdr = 0;
    std::uint16_t e_minalloc = 0;
    std::uint16_t e_maxalloc = 0;
    std::uint16_t e_ss = 0;
    std::uint16_t e_sp = 0;
    std::uint16_t e_csum = 0;
    std::uint16_t e_ip = 0;
    std::uint16_t e_cs = 0;
    std::uint16_t e_lfarlc = 0;
    std::uint16_t e_ovno = 0;
    std::array<std::uint16_t, 4> e_res = {};
    std::uint16_t e_oemid = 0;
    std::uint16_t e_oeminfo = 0;
    std::array<std::uint16_t, 10> e_res2 = {};
    // Kept unsigned: it is only ever an offset into the buffer, and a
    // negative value must not reach below the buffer's first byte.
    std::uint32_t e_lfanew = 0;

    bool operator==(const ImageDosHeader&) const = default;
};

struct ImageFileHeader {
    std::uint16_t Machine = 0;
    std::uint16_t NumberOfSections = 0;
    std::uint32_t TimeDateStamp = 0;
    std::uint32_t PointerToSymbolTable = 0;
    std::uint32_t NumberOfSymbols = 0;
    std::uint16_t SizeOfOptionalHeader = 0;
    std::uint16_t Characteristics = 0;

    bool operator==(const ImageFileHeader&) const = default;
};

struct ImageDataDirectory {
    std::uint32_t VirtualAddress = 0;
    std::uint32_t Size = 0;

    bool operator==(const ImageDataDirectory&) const = default;
};

struct ImageOptionalHeader32 {
    std::uint16_t Magic = 0;
    std::uint8_t MajorLinkerVersion = 0;
    std::uint8_t MinorLinkerVersion = 0;
    std::uint32_t SizeOfCode = 0;
    std::uint32_t SizeOfInitializedData = 0;
    std::uint32_t SizeOfUninitializedData = 0;
    std::uint32_t AddressOfEntryPoint = 0;
    std::uint32_t BaseOfCode = 0;
    std::uint32_t BaseOfData = 0;
    std::uint32_t ImageBase = 0;
    std::uint32_t SectionAlignment = 0;
    std::uint32_t FileAlignment = 0;
    std::uint16_t MajorOperatingSystemVersion = 0;
    std::uint16_t MinorOperatingSystemVersion = 0;
    std::uint16_t MajorImageVersion = 0;
    std::uint16_t MinorImageVersion = 0;
    std::uint16_t MajorSubsystemVersion = 0;
    std::uint16_t MinorSubsystemVersion = 0;
    std::uint32_t Win32VersionValue = 0;
    std::uint32_t SizeOfImage = 0;
    std::uint32_t SizeOfHeaders = 0;
    std::uint32_t CheckSum = 0;
    std::uint16_t Subsystem = 0;
    std::uint16_t DllCharacteristics = 0;
    std::uint32_t SizeOfStackReserve = 0;
    std::uint32_t SizeOfStackCommit = 0;
    std::uint32_t SizeOfHeapReserve = 0;
    std::uint32_t SizeOfHeapCommit = 0;
    std::uint32_t LoaderFlags = 0;
    std::uint32_t NumberOfRvaAndSizes = 0;
    std::array<ImageDataDirectory, kNumberOfDirectories> DataDirectory = {};

    bool operator==(const ImageOptionalHeader32&) const = default;
};

struct ImageNtHeaders32 {
    std::uint32_t Signature = 0;
    ImageFileHeader FileHeader;
    ImageOptionalHeader32 OptionalHeader;

    bool operator==(const ImageNtHeaders32&) const = default;
};

struct ImageSectionHeader {
    std::array<std::uint8_t, 8> Name = {};
    std::uint32_t VirtualSize = 0;
    std::uint32_t VirtualAddress = 0;
    std::uint32_t SizeOfRawData = 0;
    std::uint32_t PointerToRawData = 0;
    std::uint32_t PointerToRelocations = 0;
    std::uint32_t PointerToLinenumbers = 0;
    std::uint16_t NumberOfRelocations = 0;
    std::uint16_t NumberOfLinenumbers = 0;
    std::uint32_t Characteristics = 0;

    bool operator==(const ImageSectionHeader&) const = default;
};

struct ImageExportDirectory {
    std::uint32_t Characteristics = 0;
    std::uint32_t TimeDateStamp = 0;
    std::uint16_t MajorVersion = 0;
    std::uint16_t MinorVersion = 0;
    std::uint32_t Name = 0;
    std::uint32_t Base = 0;
    std::uint32_t NumberOfFunctions = 0;
    std::uint32_t NumberOfNames = 0;
    std::uint32_t AddressOfFunctions = 0;
    std::uint32_t AddressOfNames = 0;
    std::uint32_t AddressOfNameOrdinals = 0;
};

struct ImageImportDescriptor {
    std::uint32_t OriginalFirstThunk = 0;
    std::uint32_t TimeDateStamp = 0;
    std::uint32_t ForwarderChain = 0;
    std::uint32_t Name = 0;
    std::uint32_t FirstThunk = 0;
};

struct ImageBaseRelocation {
    std::uint32_t VirtualAddress = 0;
    std::uint32_t SizeOfBlock = 0;
};

std::uint16_t ReadLittleEndian16(const unsigned char* bytes);
std::uint32_t ReadLittleEndian32(const unsigned char* bytes);

// Each parser reads exactly the record's size in bytes from its argument.
ImageDosHeader ParseDosHeader(const unsigned char* bytes);
ImageNtHeaders32 ParseNtHeaders32(const unsigned char* bytes);
ImageSectionHeader ParseSectionHeader(const unsigned char* bytes);
ImageExportDirectory ParseExportDirectory(const unsigned char* bytes);
ImageImportDescriptor ParseImportDescriptor(const unsigned char* bytes);
ImageBaseRelocation ParseBaseRelocation(const unsigned char* bytes);
