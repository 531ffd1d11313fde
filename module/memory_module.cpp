#include "module/memory_module.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#ifdef _WIN32
#include "module/win32_module_platform.h"
#endif

namespace {

constexpr std::uint64_t kAddressSpaceEnd = std::uint64_t{1} << 32;

// True when count bytes from offset lie inside size bytes; computed wide so
// that no sum can wrap past a bound.
bool FitsWithin(std::uint64_t offset, std::uint64_t count, std::uint64_t size) {
    return offset <= size && count <= size - offset;
}

// The mapped image as size bytes at base. Every access is checked against the
// image, so a malformed image cannot make the loader touch other memory.
class MappedImage {
public:
    MappedImage(ModulePlatform& platform, ModuleAddress base, std::uint32_t size)
        : platform(platform), base(base), size(size) {}

    bool Read(std::uint64_t rva, void* destination, std::uint32_t count) const {
        if (!FitsWithin(rva, count, size)) {
            return false;
        }
        if (count > 0) {
            platform.CopyFromAddress(destination, At(rva), count);
        }
        return true;
    }

    bool Read16(std::uint64_t rva, std::uint16_t& value) const {
        unsigned char bytes[2];
        if (!Read(rva, bytes, sizeof bytes)) {
            return false;
        }
        value = ReadLittleEndian16(bytes);
        return true;
    }

    bool Read32(std::uint64_t rva, std::uint32_t& value) const {
        unsigned char bytes[4];
        if (!Read(rva, bytes, sizeof bytes)) {
            return false;
        }
        value = ReadLittleEndian32(bytes);
        return true;
    }

    bool Write32(std::uint64_t rva, std::uint32_t value) const {
        if (!FitsWithin(rva, 4, size)) {
            return false;
        }
        const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                        static_cast<unsigned char>(value >> 16),
                                        static_cast<unsigned char>(value >> 24)};
        platform.CopyToAddress(At(rva), bytes, sizeof bytes);
        return true;
    }

    // The zero-terminated text at rva; false when the image ends before
    // its terminating zero.
    bool ReadText(std::uint64_t rva, std::string& text) const {
        text.clear();
        char chunk[256];
        while (rva < size) {
            const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(sizeof chunk, size - rva));
            platform.CopyFromAddress(chunk, At(rva), count);
            if (const void* zero = std::memchr(chunk, 0, count)) {
                text.append(chunk, static_cast<std::size_t>(static_cast<const char*>(zero) - chunk));
                return true;
            }
            text.append(chunk, count);
            rva += count;
        }
        return false;
    }

    ModuleAddress At(std::uint64_t rva) const { return base + static_cast<std::uint32_t>(rva); }

private:
    ModulePlatform& platform;
    ModuleAddress base;
    std::uint32_t size;
};

// The zero-terminated texts that follow one another from an RVA on, read a
// block at a time; none reaches past the image end.
class TextSequence {
public:
    TextSequence(const MappedImage& image, std::uint64_t rva, std::uint32_t imageSize)
        : image(image), position(rva), imageSize(imageSize) {}

    bool Next(std::string& text) {
        text.clear();
        for (;;) {
            if (used == filled) {
                if (position >= imageSize) {
                    return false;
                }
                filled = static_cast<std::uint32_t>(std::min<std::uint64_t>(sizeof block, imageSize - position));
                used = 0;
                image.Read(position, block, filled);
            }
            const char* start = block + used;
            const std::uint32_t available = filled - used;
            if (const void* zero = std::memchr(start, 0, available)) {
                const auto length = static_cast<std::uint32_t>(static_cast<const char*>(zero) - start);
                text.append(start, length);
                used += length + 1;
                position += length + 1;
                return true;
            }
            text.append(start, available);
            used = filled;
            position += available;
        }
    }

private:
    const MappedImage& image;
    std::uint64_t position;
    std::uint32_t imageSize;
    char block[4096];
    std::uint32_t filled = 0;
    std::uint32_t used = 0;
};

CallArguments EntryArguments(std::uint32_t reason) {
    CallArguments arguments;
    arguments.words[0] = 0;  // module handle: the value 0, not the image address
    arguments.words[1] = reason;
    arguments.words[2] = 0;
    return arguments;
}

}  // namespace

ModuleAddress AllocateImage(ModulePlatform& platform, ModuleAddress preferredAddress, std::uint32_t size) {
    ModuleAddress address = platform.VirtualAlloc(preferredAddress, size, kMemCommitReserve, kPageExecuteReadWrite);
    if (address == 0) {
        address = platform.VirtualAlloc(0, size, kMemCommitReserve, kPageExecuteReadWrite);
    }
    return address;
}

void ReleaseImage(ModulePlatform& platform, ModuleAddress address) {
    platform.VirtualFree(address, 0, kMemRelease);
}

MemoryModule::MemoryModule(ModulePlatform& platform) : platform(platform) {}

#ifdef _WIN32
MemoryModule::MemoryModule() : MemoryModule(SystemModulePlatform()) {}
#endif

MemoryModule::~MemoryModule() = default;

std::unique_ptr<MemoryModule> MemoryModule::Clone() const {
    return std::unique_ptr<MemoryModule>(new MemoryModule(*this));
}

bool MemoryModule::LoadFromMemory(const unsigned char* data, std::uint32_t length) {
    if (moduleBase != 0) {
        return false;
    }
    if (!ReadHeaders(data, length)) {
        return false;
    }
    const std::uint32_t size = ComputeImageSize();
    if (size == 0) {
        return false;
    }
    const ModuleAddress mem = AllocateImage(platform, ntHeaders.OptionalHeader.ImageBase, size);
    if (mem == 0) {
        return false;
    }
    mappedSize = size;

    const auto refuse = [&] {
        ReleaseImage(platform, mem);
        return false;
    };
    if (!CopyHeadersAndSections(mem, data)) {
        return refuse();
    }
    if (ntHeaders.OptionalHeader.DataDirectory[kDirectoryBaseRelocation].Size > 0 && !ApplyRelocations(mem)) {
        return refuse();
    }
    if (!ResolveImports(mem)) {
        return refuse();
    }
    if ((ntHeaders.FileHeader.Characteristics & kFileDll) != 0) {
        const std::uint32_t entryRva = ntHeaders.OptionalHeader.AddressOfEntryPoint;
        // A DLL without an entry routine has nothing to start; one whose entry
        // lies outside the image cannot be entered safely.
        if (entryRva != 0) {
            if (entryRva >= mappedSize) {
                return refuse();
            }
            const ModuleAddress entry = mem + entryRva;
            if (platform.CallAddress(entry, EntryArguments(kDllProcessAttach)) == 0) {
                platform.CallAddress(entry, EntryArguments(kDllProcessDetach));
                return refuse();
            }
        }
    }
    moduleBase = mem;
    return true;
}

void MemoryModule::Unload() {
    if (moduleBase == 0) {
        return;
    }
    const std::uint32_t entryRva = ntHeaders.OptionalHeader.AddressOfEntryPoint;
    if ((ntHeaders.FileHeader.Characteristics & kFileDll) != 0 && entryRva != 0 && entryRva < mappedSize) {
        platform.CallAddress(moduleBase + entryRva, EntryArguments(kDllProcessDetach));
    }
    ReleaseImage(platform, moduleBase);
    moduleBase = 0;
}

ModuleAddress MemoryModule::GetExportByName(const char* name) const {
    if (moduleBase == 0 || name == nullptr) {
        return 0;
    }
    const ImageDataDirectory& directory = ntHeaders.OptionalHeader.DataDirectory[kDirectoryExport];
    if (directory.Size == 0) {
        return 0;
    }
    const MappedImage image(platform, moduleBase, mappedSize);
    unsigned char bytes[kExportDirectorySize];
    if (!image.Read(directory.VirtualAddress, bytes, sizeof bytes)) {
        return 0;
    }
    const ImageExportDirectory exports = ParseExportDirectory(bytes);
    if (!FitsWithin(exports.AddressOfFunctions, std::uint64_t{4} * exports.NumberOfFunctions, mappedSize)) {
        return 0;
    }
    if (exports.NumberOfNames == 0) {
        return 0;
    }
    // Only the first name's address is read: the names follow one another.
    std::uint32_t firstName = 0;
    if (!image.Read32(exports.AddressOfNames, firstName)) {
        return 0;
    }
    const std::string_view wanted(name);
    TextSequence names(image, firstName, mappedSize);
    std::string text;
    for (std::uint32_t i = 0; i < exports.NumberOfNames; ++i) {
        if (!names.Next(text)) {
            return 0;
        }
        if (text == wanted) {
            std::uint16_t ordinal = 0;
            std::uint32_t routineRva = 0;
            if (!image.Read16(exports.AddressOfNameOrdinals + std::uint64_t{2} * i, ordinal) ||
                ordinal >= exports.NumberOfFunctions ||
                !image.Read32(exports.AddressOfFunctions + std::uint64_t{4} * ordinal, routineRva) ||
                routineRva >= mappedSize) {
                return 0;
            }
            return moduleBase + routineRva;
        }
    }
    return 0;
}

ModuleAddress MemoryModule::GetEntryPoint() const {
    return moduleBase == 0 ? 0 : moduleBase + ntHeaders.OptionalHeader.AddressOfEntryPoint;
}

ModuleAddress MemoryModule::GetModuleBase() const {
    return moduleBase;
}

bool MemoryModule::ReadHeaders(const unsigned char* data, std::uint32_t length) {
    if (length < kDosHeaderSize) {
        return false;
    }
    dosHeader = ParseDosHeader(data);
    if (dosHeader.e_magic != kDosSignature) {
        return false;
    }
    const std::uint64_t ntOffset = dosHeader.e_lfanew;
    if (length < ntOffset + kNtHeadersSize) {
        return false;
    }
    ntHeaders = ParseNtHeaders32(data + ntOffset);
    if (ntHeaders.Signature != kNtSignature) {
        return false;
    }
    if ((ntHeaders.FileHeader.Characteristics & kFileExecutableImage) == 0) {
        return false;
    }
    if (ntHeaders.FileHeader.SizeOfOptionalHeader != kOptionalHeaderSize) {
        return false;
    }
    sectionHeaders.assign(ntHeaders.FileHeader.NumberOfSections, ImageSectionHeader{});
    std::uint64_t entryOffset = ntOffset + kNtHeadersSize;
    for (ImageSectionHeader& section : sectionHeaders) {
        if (!FitsWithin(entryOffset, kSectionHeaderSize, length)) {
            return false;
        }
        section = ParseSectionHeader(data + entryOffset);
        if (!FitsWithin(section.PointerToRawData, section.SizeOfRawData, length)) {
            return false;
        }
        entryOffset += kSectionHeaderSize;
    }
    // The headers are copied whole into the mapped image.
    if (ntHeaders.OptionalHeader.SizeOfHeaders > length) {
        return false;
    }
    return true;
}

std::uint32_t MemoryModule::ComputeImageSize() {
    const std::uint32_t alignment = ntHeaders.OptionalHeader.SectionAlignment;
    if (alignment == 0) {
        return 0;
    }
    // AlignUp yields less than its value only when the result does not fit.
    const std::uint32_t headers = ntHeaders.OptionalHeader.SizeOfHeaders;
    std::uint32_t size = AlignUp(headers, alignment);
    if (size < headers) {
        return 0;
    }
    for (const ImageSectionHeader& section : sectionHeaders) {
        const std::uint64_t end =
            std::uint64_t{section.VirtualAddress} + std::max(section.VirtualSize, section.SizeOfRawData);
        if (end >= kAddressSpaceEnd) {
            return 0;
        }
        const std::uint32_t alignedEnd = AlignUp(static_cast<std::uint32_t>(end), alignment);
        if (alignedEnd < end) {
            return 0;
        }
        size = std::max(size, alignedEnd);
    }
    return size;
}

std::uint32_t MemoryModule::AlignUp(std::uint32_t value, std::uint32_t alignment) {
    if (alignment == 0) {
        return 0;
    }
    const std::uint64_t aligned = (std::uint64_t{value} + alignment - 1) / alignment * alignment;
    return aligned >= kAddressSpaceEnd ? 0 : static_cast<std::uint32_t>(aligned);
}

bool MemoryModule::CopyHeadersAndSections(ModuleAddress destination, const unsigned char* data) {
    const std::uint32_t headerSize = ntHeaders.OptionalHeader.SizeOfHeaders;
    if (!FitsWithin(0, headerSize, mappedSize)) {
        return false;
    }
    if (headerSize > 0) {
        platform.CopyToAddress(destination, data, headerSize);
    }
    for (const ImageSectionHeader& section : sectionHeaders) {
        if (section.VirtualAddress == 0) {
            break;
        }
        if (!FitsWithin(section.VirtualAddress, section.SizeOfRawData, mappedSize)) {
            return false;
        }
        if (section.SizeOfRawData > 0) {
            platform.CopyToAddress(destination + section.VirtualAddress, data + section.PointerToRawData,
                                   section.SizeOfRawData);
        }
    }

    // From here on the records describe the mapped image, whose headers a
    // section may have overwritten.
    const MappedImage image(platform, destination, mappedSize);
    unsigned char dosBytes[kDosHeaderSize];
    if (!image.Read(0, dosBytes, sizeof dosBytes)) {
        return false;
    }
    dosHeader = ParseDosHeader(dosBytes);
    unsigned char ntBytes[kNtHeadersSize];
    if (!image.Read(dosHeader.e_lfanew, ntBytes, sizeof ntBytes)) {
        return false;
    }
    ntHeaders = ParseNtHeaders32(ntBytes);
    const std::uint32_t count = ntHeaders.FileHeader.NumberOfSections;
    std::vector<unsigned char> table(std::size_t{count} * kSectionHeaderSize);
    if (!image.Read(std::uint64_t{dosHeader.e_lfanew} + kNtHeadersSize, table.data(),
                    static_cast<std::uint32_t>(table.size()))) {
        return false;
    }
    sectionHeaders.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        sectionHeaders[i] = ParseSectionHeader(table.data() + std::size_t{i} * kSectionHeaderSize);
    }
    return true;
}

bool MemoryModule::ApplyRelocations(ModuleAddress destination) {
    const MappedImage image(platform, destination, mappedSize);
    const std::uint32_t delta = destination - ntHeaders.OptionalHeader.ImageBase;
    std::uint64_t block = ntHeaders.OptionalHeader.DataDirectory[kDirectoryBaseRelocation].VirtualAddress;
    std::vector<unsigned char> entries;
    // The directory's Size is no bound: the walk ends at a block whose page
    // RVA is 0, and the image end bounds it.
    for (;;) {
        unsigned char headerBytes[kBaseRelocationSize];
        if (!image.Read(block, headerBytes, sizeof headerBytes)) {
            return false;
        }
        const ImageBaseRelocation header = ParseBaseRelocation(headerBytes);
        if (header.VirtualAddress == 0) {
            return true;
        }
        if (header.SizeOfBlock < kBaseRelocationSize || !FitsWithin(block, header.SizeOfBlock, mappedSize)) {
            return false;
        }
        const std::uint32_t count = (header.SizeOfBlock - kBaseRelocationSize) / 2;
        entries.resize(std::size_t{count} * 2);
        if (!image.Read(block + kBaseRelocationSize, entries.data(), count * 2)) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint16_t entry = ReadLittleEndian16(entries.data() + std::size_t{i} * 2);
            if ((entry & kRelocationTypeMask) != kRelocationHighLow) {
                continue;
            }
            // The target's address wraps like any address sum; only where
            // it lands is checked.
            const std::uint32_t targetRva = header.VirtualAddress + (entry & 0x0FFFu);
            std::uint32_t word = 0;
            if (!image.Read32(targetRva, word) || !image.Write32(targetRva, word + delta)) {
                return false;
            }
        }
        block += header.SizeOfBlock;
    }
}

bool MemoryModule::ResolveImports(ModuleAddress destination) {
    const std::uint32_t directoryRva = ntHeaders.OptionalHeader.DataDirectory[kDirectoryImport].VirtualAddress;
    if (directoryRva == 0) {
        return true;
    }
    const MappedImage image(platform, destination, mappedSize);
    std::string library;
    std::string routineName;
    for (std::uint64_t descriptorRva = directoryRva;; descriptorRva += kImportDescriptorSize) {
        unsigned char bytes[kImportDescriptorSize];
        if (!image.Read(descriptorRva, bytes, sizeof bytes)) {
            return false;
        }
        const ImageImportDescriptor descriptor = ParseImportDescriptor(bytes);
        if (descriptor.FirstThunk == 0) {
            return true;
        }
        if (!image.ReadText(descriptor.Name, library)) {
            return false;
        }
        ModuleAddress handle = platform.GetModuleHandleA(library.c_str());
        if (handle == 0) {
            handle = platform.LoadLibraryA(library.c_str());
        }
        if (handle == 0) {
            return false;
        }
        // The import address table is read for its lookup entries and
        // overwritten in place with the routine addresses.
        std::uint64_t slot = descriptor.FirstThunk;
        std::uint32_t value = 0;
        if (!image.Read32(slot, value)) {
            return false;
        }
        while (value != 0) {
            ModuleAddress routine = 0;
            if ((value & kOrdinalFlag32) != 0) {
                routine = platform.GetProcAddressByOrdinal(handle, static_cast<std::uint16_t>(value & 0xFFFF));
            } else {
                // Skip the two-byte hint of the hint/name entry.
                if (!image.ReadText(std::uint64_t{value} + 2, routineName)) {
                    return false;
                }
                routine = platform.GetProcAddress(handle, routineName.c_str());
            }
            if (routine == 0 || !image.Write32(slot, routine)) {
                return false;
            }
            slot += 4;
            if (!image.Read32(slot, value)) {
                return false;
            }
        }
    }
}
