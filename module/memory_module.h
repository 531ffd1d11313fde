#pragma once
// Maps a 32-bit DLL image held in memory, binds and starts it, and finds its
// exports by name. The operations are virtual so that one step of the load
// can be replaced; every step is called through the object running the load.
#include <cstdint>
#include <memory>
#include <vector>

#include "module/module_platform.h"
#include "module/pe_records.h"

inline constexpr std::uint32_t kMemCommitReserve = 0x3000;
inline constexpr std::uint32_t kPageExecuteReadWrite = 0x40;
inline constexpr std::uint32_t kMemRelease = 0x8000;
inline constexpr std::uint32_t kDllProcessDetach = 0;
inline constexpr std::uint32_t kDllProcessAttach = 1;

// Memory for an image: at preferredAddress if possible, else anywhere; 0 if
// neither can be had.
ModuleAddress AllocateImage(ModulePlatform& platform, ModuleAddress preferredAddress, std::uint32_t size);
void ReleaseImage(ModulePlatform& platform, ModuleAddress address);

class MemoryModule {
public:
    explicit MemoryModule(ModulePlatform& platform);
#ifdef _WIN32
    // Over the process's own Win32 services.
    MemoryModule();
#endif
    MemoryModule& operator=(const MemoryModule&) = delete;

    // Releases the records only: a mapped image stays mapped and started.
    virtual ~MemoryModule();
    // A new object with copies of the records that refers to the same
    // mapped image; neither copy owns it more than the other.
    virtual std::unique_ptr<MemoryModule> Clone() const;
    virtual bool LoadFromMemory(const unsigned char* data, std::uint32_t length);
    virtual void Unload();
    virtual ModuleAddress GetExportByName(const char* name) const;
    virtual ModuleAddress GetEntryPoint() const;
    virtual ModuleAddress GetModuleBase() const;

    // The steps of LoadFromMemory.
    virtual bool ReadHeaders(const unsigned char* data, std::uint32_t length);
    // 0 when the image cannot be mapped.
    virtual std::uint32_t ComputeImageSize();
    // 0 when the aligned value does not fit in 32 bits (or alignment is 0).
    virtual std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment);
    // These three work inside the memory of the current load
    // (MappedSize() bytes at destination) and refuse anything outside it.
    virtual bool CopyHeadersAndSections(ModuleAddress destination, const unsigned char* data);
    virtual bool ApplyRelocations(ModuleAddress destination);
    virtual bool ResolveImports(ModuleAddress destination);

    const ImageDosHeader& DosHeader() const { return dosHeader; }
    const ImageNtHeaders32& NtHeaders() const { return ntHeaders; }
    const std::vector<ImageSectionHeader>& SectionHeaders() const { return sectionHeaders; }
    // Bytes of memory reserved by the last load that got that far.
    std::uint32_t MappedSize() const { return mappedSize; }

protected:
    // For Clone in classes that replace a step.
    MemoryModule(const MemoryModule&) = default;

    ModulePlatform& Platform() const { return platform; }

    ModuleAddress moduleBase = 0;
    ImageDosHeader dosHeader;
    ImageNtHeaders32 ntHeaders;
    std::vector<ImageSectionHeader> sectionHeaders;

private:
    std::uint32_t mappedSize = 0;
    ModulePlatform& platform;
};
