#include "simulated_platform.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace {

constexpr std::uint64_t kAddressSpaceEnd = SimulatedPlatform::kLibraryArea;
constexpr ModuleAddress kLibrarySpacing = 0x00100000;

std::string Hex(std::uint64_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << value;
    return text.str();
}

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return fold(x) == fold(y);
    });
}

std::uint64_t RoundUp(std::uint64_t value, std::uint64_t unit) {
    return (value + unit - 1) / unit * unit;
}

}  // namespace

SimulatedPlatform::SimulatedPlatform(ViolationHandler onViolation, std::uint32_t allocationLimit)
    : onViolation(std::move(onViolation)), allocationLimit(allocationLimit) {}

void SimulatedPlatform::Violation(const std::string& what) {
    onViolation(what);
}

bool SimulatedPlatform::Overlaps(std::uint64_t begin, std::uint64_t end) const {
    auto next = allocations.lower_bound(static_cast<ModuleAddress>(std::min<std::uint64_t>(end, 0xFFFFFFFF)));
    while (next != allocations.begin()) {
        --next;
        const std::uint64_t otherEnd = std::uint64_t{next->first} + next->second.size();
        if (otherEnd <= begin) {
            return false;
        }
        if (next->first < end) {
            return true;
        }
    }
    return false;
}

ModuleAddress SimulatedPlatform::VirtualAlloc(ModuleAddress address, std::uint32_t size, std::uint32_t allocationType,
                                              std::uint32_t protect) {
    if (allocationType != 0x3000 || protect != 0x40) {
        Violation("VirtualAlloc with type " + Hex(allocationType) + " and protection " + Hex(protect));
        return 0;
    }
    if (size == 0 || size > allocationLimit) {
        return 0;
    }
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    if (address != 0) {
        // As the system does: the start goes down to the allocation
        // granularity, the end up to a page.
        begin = address / kAllocationGranularity * kAllocationGranularity;
        end = RoundUp(std::uint64_t{address} + size, kPageSize);
        if (begin < kLowestAddress || end > kAddressSpaceEnd || Overlaps(begin, end)) {
            return 0;
        }
    } else {
        const std::uint64_t length = RoundUp(size, kPageSize);
        begin = 0x00100000;
        for (const auto& [base, bytes] : allocations) {
            if (begin + length <= base) {
                break;
            }
            begin = std::max(begin, RoundUp(std::uint64_t{base} + bytes.size(), kAllocationGranularity));
        }
        end = begin + length;
        if (end > kAddressSpaceEnd) {
            return 0;
        }
    }
    allocations.emplace(static_cast<ModuleAddress>(begin), std::vector<unsigned char>(end - begin, 0));
    return static_cast<ModuleAddress>(begin);
}

bool SimulatedPlatform::VirtualFree(ModuleAddress address, std::uint32_t size, std::uint32_t freeType) {
    if (size != 0 || freeType != 0x8000 || allocations.erase(address) == 0) {
        Violation("VirtualFree(" + Hex(address) + ", " + Hex(size) + ", " + Hex(freeType) +
                  ") does not release an allocation");
        return false;
    }
    return true;
}

std::vector<unsigned char>* SimulatedPlatform::Holding(ModuleAddress address, std::uint32_t count) {
    auto next = allocations.upper_bound(address);
    if (next == allocations.begin()) {
        return nullptr;
    }
    --next;
    const std::uint64_t offset = address - next->first;
    if (offset + count > next->second.size()) {
        return nullptr;
    }
    return &next->second;
}

bool SimulatedPlatform::IsAllocated(ModuleAddress address) const {
    return const_cast<SimulatedPlatform*>(this)->Holding(address, 1) != nullptr;
}

std::uint32_t SimulatedPlatform::AllocationSize(ModuleAddress base) const {
    const auto found = allocations.find(base);
    return found == allocations.end() ? 0 : static_cast<std::uint32_t>(found->second.size());
}

void SimulatedPlatform::CopyFromAddress(void* destination, ModuleAddress source, std::uint32_t count) {
    std::vector<unsigned char>* bytes = Holding(source, count);
    if (bytes == nullptr) {
        Violation("read of " + Hex(count) + " bytes at " + Hex(source) + " outside any allocation");
        std::memset(destination, 0, count);
        return;
    }
    const auto base = allocations.upper_bound(source);
    std::memcpy(destination, bytes->data() + (source - std::prev(base)->first), count);
}

void SimulatedPlatform::CopyToAddress(ModuleAddress destination, const void* source, std::uint32_t count) {
    std::vector<unsigned char>* bytes = Holding(destination, count);
    if (bytes == nullptr) {
        Violation("write of " + Hex(count) + " bytes at " + Hex(destination) + " outside any allocation");
        return;
    }
    const auto base = allocations.upper_bound(destination);
    std::memcpy(bytes->data() + (destination - std::prev(base)->first), source, count);
}

std::vector<unsigned char> SimulatedPlatform::ReadBytes(ModuleAddress address, std::uint32_t count) {
    std::vector<unsigned char> bytes(count);
    CopyFromAddress(bytes.data(), address, count);
    return bytes;
}

std::uint32_t SimulatedPlatform::Read32(ModuleAddress address) {
    const std::vector<unsigned char> bytes = ReadBytes(address, 4);
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

SimulatedPlatform::Library* SimulatedPlatform::FindLibrary(const std::string& name) {
    for (Library& library : libraries) {
        if (SameName(library.name, name)) {
            return &library;
        }
    }
    return nullptr;
}

const SimulatedPlatform::Library* SimulatedPlatform::FindLibrary(const std::string& name) const {
    return const_cast<SimulatedPlatform*>(this)->FindLibrary(name);
}

SimulatedPlatform::Library* SimulatedPlatform::LibraryOf(ModuleAddress handle) {
    for (Library& library : libraries) {
        if (library.handle == handle && library.loaded) {
            return &library;
        }
    }
    return nullptr;
}

ModuleAddress SimulatedPlatform::AddLibrary(const std::string& name, bool alreadyLoaded) {
    Library library;
    library.name = name;
    library.handle = kLibraryArea + static_cast<ModuleAddress>(libraries.size()) * kLibrarySpacing;
    library.loaded = alreadyLoaded;
    library.nextRoutine = library.handle + 0x1000;
    libraries.push_back(library);
    return library.handle;
}

ModuleAddress SimulatedPlatform::AddRoutine(const std::string& library, const std::string& routine) {
    Library& owner = *FindLibrary(library);
    owner.routines[routine] = owner.nextRoutine;
    owner.nextRoutine += 0x10;
    return owner.routines[routine];
}

ModuleAddress SimulatedPlatform::AddOrdinalRoutine(const std::string& library, std::uint16_t ordinal) {
    Library& owner = *FindLibrary(library);
    owner.ordinals[ordinal] = owner.nextRoutine;
    owner.nextRoutine += 0x10;
    return owner.ordinals[ordinal];
}

int SimulatedPlatform::LoadCount(const std::string& library) const {
    const Library* found = FindLibrary(library);
    return found == nullptr ? 0 : found->loadCount;
}

ModuleAddress SimulatedPlatform::GetModuleHandleA(const char* name) {
    libraryCalls.push_back(std::string("GetModuleHandleA ") + name);
    const Library* library = FindLibrary(name);
    return library != nullptr && library->loaded ? library->handle : 0;
}

ModuleAddress SimulatedPlatform::LoadLibraryA(const char* name) {
    libraryCalls.push_back(std::string("LoadLibraryA ") + name);
    Library* library = FindLibrary(name);
    if (library == nullptr) {
        return 0;
    }
    library->loaded = true;
    ++library->loadCount;
    return library->handle;
}

ModuleAddress SimulatedPlatform::GetProcAddress(ModuleAddress module, const char* name) {
    Library* library = LibraryOf(module);
    if (library == nullptr) {
        Violation("GetProcAddress on " + Hex(module) + ", which is no loaded library");
        return 0;
    }
    libraryCalls.push_back("GetProcAddress " + library->name + " " + name);
    const auto found = library->routines.find(name);
    return found == library->routines.end() ? 0 : found->second;
}

ModuleAddress SimulatedPlatform::GetProcAddressByOrdinal(ModuleAddress module, std::uint16_t ordinal) {
    Library* library = LibraryOf(module);
    if (library == nullptr) {
        Violation("GetProcAddress on " + Hex(module) + ", which is no loaded library");
        return 0;
    }
    libraryCalls.push_back("GetProcAddress " + library->name + " #" + std::to_string(ordinal));
    const auto found = library->ordinals.find(ordinal);
    return found == library->ordinals.end() ? 0 : found->second;
}

bool SimulatedPlatform::IsLibraryRoutine(ModuleAddress address) const {
    for (const Library& library : libraries) {
        for (const auto& [name, routine] : library.routines) {
            if (routine == address) {
                return true;
            }
        }
        for (const auto& [ordinal, routine] : library.ordinals) {
            if (routine == address) {
                return true;
            }
        }
    }
    return false;
}

std::uint32_t SimulatedPlatform::CallAddress(ModuleAddress routine, const CallArguments& arguments) {
    if (!IsAllocated(routine) && !IsLibraryRoutine(routine)) {
        Violation("call of " + Hex(routine) + ", which is neither mapped nor a library routine");
        return 0;
    }
    calls.push_back({routine, arguments});
    return onCall ? onCall(routine, arguments) : 1;
}
