#include "module/win32_module_platform.h"

#include <windows.h>

#include <cstring>

#include "module/call_address.h"

namespace {

// Addresses of this 32-bit process are exactly the loader's 32-bit addresses.
void* AsPointer(ModuleAddress address) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(address));
}

ModuleAddress AsAddress(const void* pointer) {
    return static_cast<ModuleAddress>(reinterpret_cast<std::uintptr_t>(pointer));
}

HMODULE AsModule(ModuleAddress module) {
    return static_cast<HMODULE>(AsPointer(module));
}

class Win32ModulePlatform final : public ModulePlatform {
public:
    ModuleAddress VirtualAlloc(ModuleAddress address, std::uint32_t size, std::uint32_t allocationType,
                               std::uint32_t protect) override {
        return AsAddress(::VirtualAlloc(AsPointer(address), size, allocationType, protect));
    }

    bool VirtualFree(ModuleAddress address, std::uint32_t size, std::uint32_t freeType) override {
        return ::VirtualFree(AsPointer(address), size, freeType) != FALSE;
    }

    ModuleAddress GetModuleHandleA(const char* name) override {
        return AsAddress(::GetModuleHandleA(name));
    }

    ModuleAddress LoadLibraryA(const char* name) override {
        return AsAddress(::LoadLibraryA(name));
    }

    ModuleAddress GetProcAddress(ModuleAddress module, const char* name) override {
        return AsAddress(reinterpret_cast<const void*>(::GetProcAddress(AsModule(module), name)));
    }

    ModuleAddress GetProcAddressByOrdinal(ModuleAddress module, std::uint16_t ordinal) override {
        return AsAddress(reinterpret_cast<const void*>(::GetProcAddress(AsModule(module), MAKEINTRESOURCEA(ordinal))));
    }

    void CopyFromAddress(void* destination, ModuleAddress source, std::uint32_t count) override {
        std::memcpy(destination, AsPointer(source), count);
    }

    void CopyToAddress(ModuleAddress destination, const void* source, std::uint32_t count) override {
        std::memcpy(AsPointer(destination), source, count);
    }

    std::uint32_t CallAddress(ModuleAddress routine, const CallArguments& arguments) override {
        const std::uint32_t* w = arguments.words;
        return ::CallAddress(routine, w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8], w[9]);
    }
};

}  // namespace

ModulePlatform& SystemModulePlatform() {
    static Win32ModulePlatform platform;
    return platform;
}
