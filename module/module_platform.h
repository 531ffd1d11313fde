#pragma once
// The only ways the in-memory module loader reaches the platform: the five
// memory and library services, plain byte copies between its own memory and
// 32-bit addresses, and the call of a routine by its address. The program
// uses the real Win32 services; tests use a simulated 32-bit address space,
// which lets the loader run natively, under sanitizers and a fuzzer.
#include <cstdint>

using ModuleAddress = std::uint32_t;

// Ten 32-bit stack words, argument 1 first.
struct CallArguments {
    std::uint32_t words[10] = {};
};

class ModulePlatform {
public:
    virtual ~ModulePlatform() = default;

    // VirtualAlloc(address or 0, size, allocationType, protect): the address
    // of new zero-filled memory, exactly at address when it is not 0; 0 when
    // that is not possible.
    virtual ModuleAddress VirtualAlloc(ModuleAddress address, std::uint32_t size, std::uint32_t allocationType,
                                       std::uint32_t protect) = 0;
    // VirtualFree(address, size, freeType).
    virtual bool VirtualFree(ModuleAddress address, std::uint32_t size, std::uint32_t freeType) = 0;
    // A library already in the process, without loading it; 0 if none.
    virtual ModuleAddress GetModuleHandleA(const char* name) = 0;
    virtual ModuleAddress LoadLibraryA(const char* name) = 0;
    // A routine by name, or by ordinal (below 0x10000) in the name's place.
    virtual ModuleAddress GetProcAddress(ModuleAddress module, const char* name) = 0;
    virtual ModuleAddress GetProcAddressByOrdinal(ModuleAddress module, std::uint16_t ordinal) = 0;

    // Plain byte copies between the loader's own memory and an address.
    virtual void CopyFromAddress(void* destination, ModuleAddress source, std::uint32_t count) = 0;
    virtual void CopyToAddress(ModuleAddress destination, const void* source, std::uint32_t count) = 0;

    // Calls the routine at address with exactly ten stack words and returns
    // its 32-bit result (stdcall and cdecl routines of up to ten arguments).
    virtual std::uint32_t CallAddress(ModuleAddress routine, const CallArguments& arguments) = 0;
};
