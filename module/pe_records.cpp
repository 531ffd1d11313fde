#include "module/pe_records.h"

std::uint16_t ReadLittleEndian16(const unsigned char* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t ReadLittleEndian32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

namespace {

// Reads consecutive fields in record order.
class FieldReader {
public:
    explicit FieldReader(const unsigned char* bytes) : next(bytes) {}

    void Read(std::uint8_t& field) { field = *next++; }
    void Read(std::uint16_t& field) {
        field = ReadLittleEndian16(next);
        next += 2;
    }
    void Read(std::uint32_t& field) {
        field = ReadLittleEndian32(next);
        next += 4;
    }
    template <typename Field, std::size_t count>
    void Read(std::array<Field, count>& fields) {
        for (Field& field : fields) {
            Read(field);
        }
    }

private:
    const unsigned char* next;
};

}  // namespace

ImageDosHeader ParseDosHeader(const unsigned char* bytes) {
    ImageDosHeader header;
    FieldReader reader(bytes);
    reader.Read(header.e_magic);
    reader.Read(header.e_cblp);
    reader.Read(header.e_cp);
    reader.Read(header.e_crlc);
    reader.Read(header.e_cparhdr);
    reader.Read(header.e_minalloc);
    reader.Read(header.e_maxalloc);
    reader.Read(header.e_ss);
    reader.Read(header.e_sp);
    reader.Read(header.e_csum);
    reader.Read(header.e_ip);
    reader.Read(header.e_cs);
    reader.Read(header.e_lfarlc);
    reader.Read(header.e_ovno);
    reader.Read(header.e_res);
    reader.Read(header.e_oemid);
    reader.Read(header.e_oeminfo);
    reader.Read(header.e_res2);
    reader.Read(header.e_lfanew);
    return header;
}

ImageNtHeaders32 ParseNtHeaders32(const unsigned char* bytes) {
    ImageNtHeaders32 headers;
    FieldReader reader(bytes);
    reader.Read(headers.Signature);

    ImageFileHeader& file = headers.FileHeader;
    reader.Read(file.Machine);
    reader.Read(file.NumberOfSections);
    reader.Read(file.TimeDateStamp);
    reader.Read(file.PointerToSymbolTable);
    reader.Read(file.NumberOfSymbols);
    reader.Read(file.SizeOfOptionalHeader);
    reader.Read(file.Characteristics);

    ImageOptionalHeader32& optional = headers.OptionalHeader;
    reader.Read(optional.Magic);
    reader.Read(optional.MajorLinkerVersion);
    reader.Read(optional.MinorLinkerVersion);
    reader.Read(optional.SizeOfCode);
    reader.Read(optional.SizeOfInitializedData);
    reader.Read(optional.SizeOfUninitializedData);
    reader.Read(optional.AddressOfEntryPoint);
    reader.Read(optional.BaseOfCode);
    reader.Read(optional.BaseOfData);
    reader.Read(optional.ImageBase);
    reader.Read(optional.SectionAlignment);
    reader.Read(optional.FileAlignment);
    reader.Read(optional.MajorOperatingSystemVersion);
    reader.Read(optional.MinorOperatingSystemVersion);
    reader.Read(optional.MajorImageVersion);
    reader.Read(optional.MinorImageVersion);
    reader.Read(optional.MajorSubsystemVersion);
    reader.Read(optional.MinorSubsystemVersion);
    reader.Read(optional.Win32VersionValue);
    reader.Read(optional.SizeOfImage);
    reader.Read(optional.SizeOfHeaders);
    reader.Read(optional.CheckSum);
    reader.Read(optional.Subsystem);
    reader.Read(optional.DllCharacteristics);
    reader.Read(optional.SizeOfStackReserve);
    reader.Read(optional.SizeOfStackCommit);
    reader.Read(optional.SizeOfHeapReserve);
    reader.Read(optional.SizeOfHeapCommit);
    reader.Read(optional.LoaderFlags);
    reader.Read(optional.NumberOfRvaAndSizes);
    for (ImageDataDirectory& directory : optional.DataDirectory) {
        reader.Read(directory.VirtualAddress);
        reader.Read(directory.Size);
    }
    return headers;
}

ImageSectionHeader ParseSectionHeader(const unsigned char* bytes) {
    ImageSectionHeader section;
    FieldReader reader(bytes);
    reader.Read(section.Name);
    reader.Read(section.VirtualSize);
    reader.Read(section.VirtualAddress);
    reader.Read(section.SizeOfRawData);
    reader.Read(section.PointerToRawData);
    reader.Read(section.PointerToRelocations);
    reader.Read(section.PointerToLinenumbers);
    reader.Read(section.NumberOfRelocations);
    reader.Read(section.NumberOfLinenumbers);
    reader.Read(section.Characteristics);
    return section;
}

ImageExportDirectory ParseExportDirectory(const unsigned char* bytes) {
    ImageExportDirectory directory;
    FieldReader reader(bytes);
    reader.Read(directory.Characteristics);
    reader.Read(directory.TimeDateStamp);
    reader.Read(directory.MajorVersion);
    reader.Read(directory.MinorVersion);
    reader.Read(directory.Name);
    reader.Read(directory.Base);
    reader.Read(directory.NumberOfFunctions);
    reader.Read(directory.NumberOfNames);
    reader.Read(directory.AddressOfFunctions);
    reader.Read(directory.AddressOfNames);
    reader.Read(directory.AddressOfNameOrdinals);
    return directory;
}

ImageImportDescriptor ParseImportDescriptor(const unsigned char* bytes) {
    ImageImportDescriptor descriptor;
    FieldReader reader(bytes);
    reader.Read(descriptor.OriginalFirstThunk);
    reader.Read(descriptor.TimeDateStamp);
    reader.Read(descriptor.ForwarderChain);
    reader.Read(descriptor.Name);
    reader.Read(descriptor.FirstThunk);
    return descriptor;
}

ImageBaseRelocation ParseBaseRelocation(const unsigned char* bytes) {
    ImageBaseRelocation block;
    FieldReader reader(bytes);
    reader.Read(block.VirtualAddress);
    reader.Read(block.SizeOfBlock);
    return block;
}
