#pragma once
// A 32-bit address space and a few fake libraries in place of the process's
// own, so that the loader runs natively under sanitizers and a fuzzer. Any
// access outside an allocation is reported as a violation instead of done.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "module/module_platform.h"

class SimulatedPlatform final : public ModulePlatform {
public:
    using ViolationHandler = std::function<void(const std::string& what)>;
    using CallHandler = std::function<std::uint32_t(ModuleAddress routine, const CallArguments& arguments)>;

    struct Call {
        ModuleAddress routine;
        CallArguments arguments;
    };

    // Allocations above allocationLimit bytes are refused, as a full address
    // space would refuse them.
    explicit SimulatedPlatform(ViolationHandler onViolation, std::uint32_t allocationLimit = 64u << 20);

    ModuleAddress VirtualAlloc(ModuleAddress address, std::uint32_t size, std::uint32_t allocationType,
                               std::uint32_t protect) override;
    bool VirtualFree(ModuleAddress address, std::uint32_t size, std::uint32_t freeType) override;
    ModuleAddress GetModuleHandleA(const char* name) override;
    ModuleAddress LoadLibraryA(const char* name) override;
    ModuleAddress GetProcAddress(ModuleAddress module, const char* name) override;
    ModuleAddress GetProcAddressByOrdinal(ModuleAddress module, std::uint16_t ordinal) override;
    void CopyFromAddress(void* destination, ModuleAddress source, std::uint32_t count) override;
    void CopyToAddress(ModuleAddress destination, const void* source, std::uint32_t count) override;
    std::uint32_t CallAddress(ModuleAddress routine, const CallArguments& arguments) override;

    // Fake libraries: a library is found by GetModuleHandleA only once it is
    // loaded; names compare without regard to ASCII case, as on Windows.
    ModuleAddress AddLibrary(const std::string& name, bool alreadyLoaded = false);
    ModuleAddress AddRoutine(const std::string& library, const std::string& routine);
    ModuleAddress AddOrdinalRoutine(const std::string& library, std::uint16_t ordinal);
    int LoadCount(const std::string& library) const;
    // "GetModuleHandleA name", "LoadLibraryA name", "GetProcAddress name" or
    // "GetProcAddress #ordinal", in call order.
    const std::vector<std::string>& LibraryCalls() const { return libraryCalls; }

    // Routine calls: every call is recorded; the handler (if any) gives the
    // result, otherwise 1.
    void SetCallHandler(CallHandler handler) { onCall = std::move(handler); }
    const std::vector<Call>& Calls() const { return calls; }

    std::size_t AllocationCount() const { return allocations.size(); }
    bool IsAllocated(ModuleAddress address) const;
    // Size of the allocation that starts at base, 0 if none does.
    std::uint32_t AllocationSize(ModuleAddress base) const;
    std::vector<unsigned char> ReadBytes(ModuleAddress address, std::uint32_t count);
    std::uint32_t Read32(ModuleAddress address);

    // Where allocations may lie; fake libraries live above.
    static constexpr ModuleAddress kLowestAddress = 0x00010000;
    static constexpr ModuleAddress kLibraryArea = 0x70000000;
    static constexpr std::uint32_t kPageSize = 0x1000;
    static constexpr std::uint32_t kAllocationGranularity = 0x10000;

private:
    struct Library {
        std::string name;
        ModuleAddress handle = 0;
        bool loaded = false;
        int loadCount = 0;
        std::map<std::string, ModuleAddress> routines;
        std::map<std::uint16_t, ModuleAddress> ordinals;
        ModuleAddress nextRoutine = 0;
    };

    // The allocation holding count bytes from address, or nullptr.
    std::vector<unsigned char>* Holding(ModuleAddress address, std::uint32_t count);
    bool Overlaps(std::uint64_t begin, std::uint64_t end) const;
    Library* FindLibrary(const std::string& name);
    const Library* FindLibrary(const std::string& name) const;
    Library* LibraryOf(ModuleAddress handle);
    bool IsLibraryRoutine(ModuleAddress address) const;
    void Violation(const std::string& what);

    ViolationHandler onViolation;
    std::uint32_t allocationLimit;
    std::map<ModuleAddress, std::vector<unsigned char>> allocations;
    std::vector<Library> libraries;
    std::vector<std::string> libraryCalls;
    CallHandler onCall;
    std::vector<Call> calls;
};
