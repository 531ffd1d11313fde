#pragma once
// Builds small PE32 images byte by byte for the loader's tests: headers,
// sections and, by RVA inside the sections' raw data, relocation blocks,
// import descriptors and an export directory.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class PeImageBuilder {
public:
    static constexpr std::uint32_t kNtHeadersOffset = 0x80;

    void SetImageBase(std::uint32_t address) { imageBase = address; }
    void SetCharacteristics(std::uint16_t flags) { characteristics = flags; }
    void SetEntryPoint(std::uint32_t rva) { entryPoint = rva; }
    void SetSectionAlignment(std::uint32_t alignment) { sectionAlignment = alignment; }
    void SetSizeOfHeaders(std::uint32_t size) { sizeOfHeaders = size; }
    void SetDirectory(int index, std::uint32_t rva, std::uint32_t size);

    // Raw data of rawSize zero bytes, placed in the file after the previous
    // section's, at the file alignment.
    void AddSection(std::string_view name, std::uint32_t rva, std::uint32_t virtualSize, std::uint32_t rawSize);

    // Content at an RVA inside some section's raw data.
    void Put16(std::uint32_t rva, std::uint16_t value);
    void Put32(std::uint32_t rva, std::uint32_t value);
    // The text and its terminating zero.
    void PutText(std::uint32_t rva, std::string_view text);
    // A block header and its entries; returns the block's size.
    std::uint32_t PutRelocationBlock(std::uint32_t rva, std::uint32_t pageRva,
                                     const std::vector<std::uint16_t>& entries);
    void PutImportDescriptor(std::uint32_t rva, std::uint32_t nameRva, std::uint32_t firstThunkRva);
    void PutHintName(std::uint32_t rva, std::uint16_t hint, std::string_view name);
    void PutExportDirectory(std::uint32_t rva, std::uint32_t numberOfFunctions, std::uint32_t numberOfNames,
                            std::uint32_t functionsRva, std::uint32_t namesRva, std::uint32_t ordinalsRva);

    std::vector<unsigned char> Build() const;

private:
    struct Section {
        std::string name;
        std::uint32_t rva;
        std::uint32_t virtualSize;
        std::uint32_t fileOffset;
        std::vector<unsigned char> raw;
    };

    unsigned char* At(std::uint32_t rva, std::uint32_t count);

    std::uint32_t imageBase = 0x10000000;
    std::uint16_t characteristics = 0x2102;  // DLL, 32-bit machine, executable
    std::uint32_t entryPoint = 0;
    std::uint32_t sectionAlignment = 0x1000;
    std::uint32_t fileAlignment = 0x200;
    std::uint32_t sizeOfHeaders = 0x400;
    std::uint32_t directories[16][2] = {};
    std::vector<Section> sections;
};
