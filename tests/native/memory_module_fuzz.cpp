// Arbitrary bytes as a DLL image: the loader must refuse or map them without
// touching memory outside the input or the mapped image, and leave nothing
// mapped once the image is unloaded.
#include <cstdio>
#include <cstdlib>

#include "module/memory_module.h"
#include "simulated_platform.h"
#include "test_dll_image.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "loader fault: %s\n", what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SimulatedPlatform platform(Fail, 1u << 20);
    platform.AddLibrary(test_dll::kLibOne);
    platform.AddRoutine(test_dll::kLibOne, "RoutineA");
    platform.AddOrdinalRoutine(test_dll::kLibOne, test_dll::kImportedOrdinal);
    platform.AddLibrary(test_dll::kLibTwo, true);
    platform.AddRoutine(test_dll::kLibTwo, "RoutineB");
    platform.AddLibrary("kernel32.dll", true);
    platform.AddRoutine("kernel32.dll", "GetTickCount");
    // Both answers of the entry routine get explored.
    const std::uint32_t attachResult = size > 0 ? data[size - 1] & 1 : 1;
    platform.SetCallHandler([attachResult](ModuleAddress, const CallArguments&) { return attachResult; });

    {
        MemoryModule module(platform);
        const bool loaded = module.LoadFromMemory(data, static_cast<std::uint32_t>(size));
        if (loaded != (module.GetModuleBase() != 0)) {
            Fail("the load's result and moduleBase disagree");
        }
        if (!loaded && platform.AllocationCount() != 0) {
            Fail("a refused image left memory mapped");
        }
        for (const char* name : {"SkinH_AttachRes", "Alpha", "Beta", "", "SkinH_AttachRes2"}) {
            const ModuleAddress routine = module.GetExportByName(name);
            if (routine != 0 && !platform.IsAllocated(routine)) {
                Fail(std::string("export ") + name + " lies outside the image");
            }
        }
        module.Unload();
        module.Unload();
    }
    if (platform.AllocationCount() != 0) {
        Fail("memory left mapped after Unload");
    }
    return 0;
}
