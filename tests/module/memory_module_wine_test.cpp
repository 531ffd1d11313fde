// MemoryModule over the real Win32 services, with test modules built in this
// build: mapped at their preferred base and, with that range occupied, away
// from it; their routines called through the export lookup and CallAddress.
#include "module/memory_module.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "dlls/entry_log.h"
#include "module/call_address.h"
#include "module/pe_records.h"
#include "test_images.h"

// Found by lookup from the standard library and gtest, so not in the
// unnamed namespace.
static bool operator==(const EntryCall& a, const EntryCall& b) {
    return a.moduleHandle == b.moduleHandle && a.reason == b.reason && a.reserved == b.reserved &&
           a.entryAddress == b.entryAddress;
}

static void PrintTo(const EntryCall& call, std::ostream* out) {
    *out << "{handle " << call.moduleHandle << ", reason " << call.reason << ", reserved " << call.reserved
         << ", entry 0x" << std::hex << call.entryAddress << std::dec << "}";
}

namespace {

constexpr std::uint32_t kRelocatedTargetValue = 0x5EED1234;
constexpr std::uint32_t kAttach = 1;
constexpr std::uint32_t kDetach = 0;

template <typename T>
T* At(ModuleAddress address) {
    return reinterpret_cast<T*>(static_cast<std::uintptr_t>(address));
}

std::uint32_t AddressOf(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

std::uint32_t MemoryStateAt(ModuleAddress address) {
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(At<void>(address), &info, sizeof info);
    return info.State;
}

ImageNtHeaders32 NtHeadersOf(const unsigned char* image) {
    return ParseNtHeaders32(image + ParseDosHeader(image).e_lfanew);
}

// The shared block the test modules' entry routines write their calls into.
class EntryLogBlock {
public:
    EntryLogBlock() {
        char name[24];
        FormatEntryLogName(name, GetCurrentProcessId());
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(EntryLog), name);
        if (mapping != nullptr) log = static_cast<EntryLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    }
    ~EntryLogBlock() {
        if (log != nullptr) UnmapViewOfFile(log);
        if (mapping != nullptr) CloseHandle(mapping);
    }
    EntryLogBlock(const EntryLogBlock&) = delete;
    EntryLogBlock& operator=(const EntryLogBlock&) = delete;

    bool Ready() const { return log != nullptr; }
    std::vector<EntryCall> Calls() const {
        const std::uint32_t count = log->count < QH_ENTRY_LOG_CAPACITY ? log->count : QH_ENTRY_LOG_CAPACITY;
        return std::vector<EntryCall>(log->calls, log->calls + count);
    }

private:
    HANDLE mapping = nullptr;
    EntryLog* log = nullptr;
};

// Keeps an address range reserved, so that an image preferring it must go
// elsewhere.
class ReservedRange {
public:
    explicit ReservedRange(ModuleAddress address)
        : base(VirtualAlloc(At<void>(address), 0x10000, MEM_RESERVE, PAGE_NOACCESS)) {}
    ~ReservedRange() {
        if (base != nullptr) VirtualFree(base, 0, MEM_RELEASE);
    }
    ReservedRange(const ReservedRange&) = delete;
    ReservedRange& operator=(const ReservedRange&) = delete;
    ModuleAddress Base() const { return AddressOf(base); }

private:
    void* base;
};

enum class Placement { AtPreferredBase, AwayFromPreferredBase };

class MainTestModuleTest : public testing::TestWithParam<Placement> {
protected:
    void SetUp() override {
        ASSERT_TRUE(entryLog.Ready());
        ASSERT_EQ(MemoryStateAt(preferredBase), static_cast<std::uint32_t>(MEM_FREE))
            << "the test module's ImageBase must be free in the test process";
        if (GetParam() == Placement::AwayFromPreferredBase) {
            occupied = std::make_unique<ReservedRange>(preferredBase);
            ASSERT_EQ(occupied->Base(), preferredBase);
        }
        ASSERT_TRUE(module->LoadFromMemory(kMainTestModule, static_cast<std::uint32_t>(kMainTestModule_size)));
        base = module->GetModuleBase();
        if (GetParam() == Placement::AtPreferredBase) {
            ASSERT_EQ(base, preferredBase);
        } else {
            ASSERT_NE(base, 0u);
            ASSERT_NE(base, preferredBase);
        }
    }

    void TearDown() override {
        if (module != nullptr) module->Unload();
    }

    bool InsideImage(ModuleAddress address) const { return address >= base && address - base < module->MappedSize(); }

    std::uint32_t CallExport(const char* name, std::uint32_t argument1 = 0, std::uint32_t argument2 = 0) {
        const ModuleAddress routine = module->GetExportByName(name);
        if (routine == 0) {
            ADD_FAILURE() << name << " is not found";
            return 0xBAD0BAD0;
        }
        return CallAddress(routine, argument1, argument2);
    }

    // The mapped image's import descriptor for library; FirstThunk 0 if none.
    ImageImportDescriptor ImportOf(const char* library) const {
        const ImageDataDirectory imports = module->NtHeaders().OptionalHeader.DataDirectory[1];
        for (ModuleAddress desc = base + imports.VirtualAddress;; desc += 20) {
            const ImageImportDescriptor d = ParseImportDescriptor(At<unsigned char>(desc));
            if (d.FirstThunk == 0 || lstrcmpiA(At<char>(base + d.Name), library) == 0) return d;
        }
    }

    EntryLogBlock entryLog;
    const ModuleAddress preferredBase = NtHeadersOf(kMainTestModule).OptionalHeader.ImageBase;
    std::unique_ptr<ReservedRange> occupied;
    std::unique_ptr<MemoryModule> module = std::make_unique<MemoryModule>();
    ModuleAddress base = 0;
};

TEST_P(MainTestModuleTest, RelocatedGlobalsPointIntoTheMappedImage) {
    const std::uint32_t pointer = CallExport("RelocatedPointerValue");
    ASSERT_TRUE(InsideImage(pointer)) << std::hex << pointer << " outside the image at " << base;
    EXPECT_EQ(CallExport("ReadRelocatedGlobal"), kRelocatedTargetValue);
    EXPECT_EQ(CallExport("GreetingLength"), std::string("relocated greeting").size());
}

TEST_P(MainTestModuleTest, ImportsAreBoundByNameAndByOrdinal) {
    // The lookup table stays as linked; the address table holds what the
    // loader bound.
    const ImageImportDescriptor ws2Import = ImportOf("ws2_32.dll");
    ASSERT_NE(ws2Import.FirstThunk, 0u);
    ASSERT_EQ(*At<std::uint32_t>(base + ws2Import.OriginalFirstThunk), 0x80000008u)
        << "the module must import ws2_32 by ordinal 8 alone";
    const HMODULE ws2 = GetModuleHandleA("ws2_32.dll");
    ASSERT_NE(ws2, nullptr) << "binding the import loads the library";
    EXPECT_EQ(*At<std::uint32_t>(base + ws2Import.FirstThunk),
              AddressOf(reinterpret_cast<const void*>(GetProcAddress(ws2, "htonl"))));
    EXPECT_EQ(CallExport("ToNetworkOrder", 0x11223344), 0x44332211u);

    EXPECT_EQ(CallExport("TextLength", AddressOf("abcdefg")), 7u);
    const DWORD before = GetTickCount();
    const std::uint32_t ticks = CallExport("CurrentTickCount");
    EXPECT_LE(ticks - before, GetTickCount() - before);
}

TEST_P(MainTestModuleTest, ExportLookupMatchesTheWholeNameWithItsCase) {
    struct Lookup {
        const char* name;
        bool found;
    };
    const Lookup lookups[] = {
        {"SkinH_AttachRes", true},    {"CurrentTickCount", true},  {"ToNetworkOrder", true},
        {"skinh_attachres", false},   {"SKINH_ATTACHRES", false},  {"SkinH_Attach", false},
        {"SkinH_AttachResX", false},  {"SkinH_AttachRes@8", false}, {"", false},
        {"_SkinH_AttachRes", false},
    };
    for (const Lookup& lookup : lookups) {
        SCOPED_TRACE(lookup.name);
        const ModuleAddress routine = module->GetExportByName(lookup.name);
        if (lookup.found) {
            EXPECT_TRUE(InsideImage(routine)) << std::hex << routine;
        } else {
            EXPECT_EQ(routine, 0u);
        }
    }

    const unsigned char block[] = {'.', 'S', 'H', 'E', 0x00, 0xFF, 0x80, 0x01};
    std::uint32_t sum = 0;
    for (unsigned char byte : block) sum += byte;
    EXPECT_EQ(CallExport("SkinH_AttachRes", AddressOf(block), sizeof block), sum + sizeof block * 0x10000);
    EXPECT_EQ(CallExport("DifferenceCdecl", 50, 8), 42u);
}

TEST_P(MainTestModuleTest, EntryRoutineRanOnceForAttachWithHandleZero) {
    const EntryCall attach{0, kAttach, 0, module->GetEntryPoint()};
    EXPECT_EQ(entryLog.Calls(), std::vector<EntryCall>{attach});
    EXPECT_EQ(CallExport("EntryCallCount"), 1u);
    EXPECT_EQ(CallExport("LastEntryReason"), kAttach);
}

TEST_P(MainTestModuleTest, UnloadDetachesAndReleasesTheImage) {
    const ModuleAddress entry = module->GetEntryPoint();
    module->Unload();

    EXPECT_EQ(module->GetModuleBase(), 0u);
    const std::vector<EntryCall> expected = {{0, kAttach, 0, entry}, {0, kDetach, 0, entry}};
    EXPECT_EQ(entryLog.Calls(), expected);
    EXPECT_EQ(MemoryStateAt(base), static_cast<std::uint32_t>(MEM_FREE));
    EXPECT_EQ(MemoryStateAt(base + module->MappedSize() - 1), static_cast<std::uint32_t>(MEM_FREE));

    module->Unload();
    EXPECT_EQ(entryLog.Calls(), expected) << "a second unload does nothing";
}

TEST_P(MainTestModuleTest, DestroyingTheObjectLeavesTheImageMappedAndCallable) {
    const ModuleAddress reader = module->GetExportByName("ReadRelocatedGlobal");
    ASSERT_NE(reader, 0u);
    module.reset();

    EXPECT_EQ(MemoryStateAt(base), static_cast<std::uint32_t>(MEM_COMMIT));
    EXPECT_EQ(CallAddress(reader), kRelocatedTargetValue);
    EXPECT_EQ(entryLog.Calls().size(), 1u) << "no detach on destruction";
    VirtualFree(At<void>(base), 0, MEM_RELEASE);
}

INSTANTIATE_TEST_SUITE_P(Placements, MainTestModuleTest,
                         testing::Values(Placement::AtPreferredBase, Placement::AwayFromPreferredBase),
                         [](const testing::TestParamInfo<Placement>& info) {
                             return info.param == Placement::AtPreferredBase ? "AtPreferredBase"
                                                                             : "AwayFromPreferredBase";
                         });

TEST(MemoryModuleImageTest, RefusedAttachIsDetachedAndTheImageReleased) {
    EntryLogBlock entryLog;
    ASSERT_TRUE(entryLog.Ready());
    MemoryModule module;

    EXPECT_FALSE(module.LoadFromMemory(kRefusingEntryModule, static_cast<std::uint32_t>(kRefusingEntryModule_size)));

    EXPECT_EQ(module.GetModuleBase(), 0u);
    const std::vector<EntryCall> calls = entryLog.Calls();
    ASSERT_EQ(calls.size(), 2u);
    const ModuleAddress entry = calls[0].entryAddress;
    const std::vector<EntryCall> expected = {{0, kAttach, 0, entry}, {0, kDetach, 0, entry}};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(MemoryStateAt(entry), static_cast<std::uint32_t>(MEM_FREE));
}

TEST(MemoryModuleImageTest, ProgramImageIsMappedWithoutRunningItsEntry) {
    MemoryModule module;
    ASSERT_TRUE(module.LoadFromMemory(kExeImage, static_cast<std::uint32_t>(kExeImage_size)));

    const ModuleAddress entryRan = module.GetExportByName("EntryRan");
    const ModuleAddress readAnswer = module.GetExportByName("ReadAnswer");
    ASSERT_NE(entryRan, 0u);
    ASSERT_NE(readAnswer, 0u);
    EXPECT_EQ(CallAddress(entryRan), 0u);
    EXPECT_EQ(CallAddress(readAnswer), 42u);

    const ModuleAddress base = module.GetModuleBase();
    module.Unload();
    EXPECT_EQ(MemoryStateAt(base), static_cast<std::uint32_t>(MEM_FREE));
}

}  // namespace
