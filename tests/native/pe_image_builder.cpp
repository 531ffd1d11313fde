#include "pe_image_builder.h"

#include <algorithm>
#include <stdexcept>

namespace {

void Store16(unsigned char* at, std::uint16_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void Store32(unsigned char* at, std::uint32_t value) {
    Store16(at, static_cast<std::uint16_t>(value));
    Store16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t AlignedTo(std::uint32_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

}  // namespace

void PeImageBuilder::SetDirectory(int index, std::uint32_t rva, std::uint32_t size) {
    directories[index][0] = rva;
    directories[index][1] = size;
}

void PeImageBuilder::AddSection(std::string_view name, std::uint32_t rva, std::uint32_t virtualSize,
                                std::uint32_t rawSize) {
    std::uint32_t fileOffset = sizeOfHeaders;
    if (!sections.empty()) {
        const Section& last = sections.back();
        fileOffset = AlignedTo(last.fileOffset + static_cast<std::uint32_t>(last.raw.size()), fileAlignment);
    }
    sections.push_back({std::string(name.substr(0, 8)), rva, virtualSize, fileOffset,
                        std::vector<unsigned char>(rawSize, 0)});
}

unsigned char* PeImageBuilder::At(std::uint32_t rva, std::uint32_t count) {
    for (Section& section : sections) {
        if (rva >= section.rva && rva - section.rva + count <= section.raw.size()) {
            return section.raw.data() + (rva - section.rva);
        }
    }
    throw std::out_of_range("no section raw data at this RVA");
}

void PeImageBuilder::Put16(std::uint32_t rva, std::uint16_t value) {
    Store16(At(rva, 2), value);
}

void PeImageBuilder::Put32(std::uint32_t rva, std::uint32_t value) {
    Store32(At(rva, 4), value);
}

void PeImageBuilder::PutText(std::uint32_t rva, std::string_view text) {
    unsigned char* at = At(rva, static_cast<std::uint32_t>(text.size() + 1));
    std::copy(text.begin(), text.end(), at);
    at[text.size()] = 0;
}

std::uint32_t PeImageBuilder::PutRelocationBlock(std::uint32_t rva, std::uint32_t pageRva,
                                                 const std::vector<std::uint16_t>& entries) {
    const auto size = static_cast<std::uint32_t>(8 + 2 * entries.size());
    Put32(rva, pageRva);
    Put32(rva + 4, size);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Put16(rva + 8 + static_cast<std::uint32_t>(2 * i), entries[i]);
    }
    return size;
}

void PeImageBuilder::PutImportDescriptor(std::uint32_t rva, std::uint32_t nameRva, std::uint32_t firstThunkRva) {
    Put32(rva + 12, nameRva);
    Put32(rva + 16, firstThunkRva);
}

void PeImageBuilder::PutHintName(std::uint32_t rva, std::uint16_t hint, std::string_view name) {
    Put16(rva, hint);
    PutText(rva + 2, name);
}

void PeImageBuilder::PutExportDirectory(std::uint32_t rva, std::uint32_t numberOfFunctions,
                                        std::uint32_t numberOfNames, std::uint32_t functionsRva,
                                        std::uint32_t namesRva, std::uint32_t ordinalsRva) {
    Put32(rva + 16, 1);  // Base
    Put32(rva + 20, numberOfFunctions);
    Put32(rva + 24, numberOfNames);
    Put32(rva + 28, functionsRva);
    Put32(rva + 32, namesRva);
    Put32(rva + 36, ordinalsRva);
}

std::vector<unsigned char> PeImageBuilder::Build() const {
    std::uint32_t fileSize = sizeOfHeaders;
    std::uint32_t imageSize = AlignedTo(sizeOfHeaders, sectionAlignment);
    for (const Section& section : sections) {
        fileSize = std::max(fileSize, section.fileOffset + static_cast<std::uint32_t>(section.raw.size()));
        imageSize = std::max(imageSize, AlignedTo(section.rva + section.virtualSize, sectionAlignment));
    }
    std::vector<unsigned char> image(fileSize, 0);
    unsigned char* bytes = image.data();

    Store16(bytes, 0x5A4D);
    Store32(bytes + 0x3C, kNtHeadersOffset);

    unsigned char* nt = bytes + kNtHeadersOffset;
    Store32(nt, 0x00004550);
    unsigned char* file = nt + 4;
    Store16(file, 0x014C);  // i386
    Store16(file + 2, static_cast<std::uint16_t>(sections.size()));
    Store16(file + 16, 224);
    Store16(file + 18, characteristics);

    unsigned char* optional = file + 20;
    Store16(optional, 0x010B);  // PE32
    Store32(optional + 16, entryPoint);
    Store32(optional + 28, imageBase);
    Store32(optional + 32, sectionAlignment);
    Store32(optional + 36, fileAlignment);
    Store16(optional + 48, 4);  // subsystem version
    Store32(optional + 56, imageSize);
    Store32(optional + 60, sizeOfHeaders);
    Store16(optional + 68, 2);  // GUI
    Store32(optional + 92, 16);
    for (int i = 0; i < 16; ++i) {
        Store32(optional + 96 + 8 * i, directories[i][0]);
        Store32(optional + 100 + 8 * i, directories[i][1]);
    }

    unsigned char* table = optional + 224;
    for (const Section& section : sections) {
        std::copy(section.name.begin(), section.name.end(), table);
        Store32(table + 8, section.virtualSize);
        Store32(table + 12, section.rva);
        Store32(table + 16, static_cast<std::uint32_t>(section.raw.size()));
        Store32(table + 20, section.raw.empty() ? 0 : section.fileOffset);
        Store32(table + 36, 0xE0000060);  // code, data, readable, writable, executable
        std::copy(section.raw.begin(), section.raw.end(), bytes + section.fileOffset);
        table += 40;
    }
    return image;
}
