#pragma once
// The test DLL, the fake libraries it imports from and a simulated address
// space in which any access outside an allocation fails the test.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "module/memory_module.h"
#include "simulated_platform.h"
#include "test_dll_image.h"

// The image's bytes, changed field by field.
struct ImageBytes {
    std::vector<unsigned char> bytes = test_dll::Build();

    void Set16(std::uint32_t offset, std::uint16_t value) {
        bytes.at(offset) = static_cast<unsigned char>(value);
        bytes.at(offset + 1) = static_cast<unsigned char>(value >> 8);
    }
    void Set32(std::uint32_t offset, std::uint32_t value) {
        Set16(offset, static_cast<std::uint16_t>(value));
        Set16(offset + 2, static_cast<std::uint16_t>(value >> 16));
    }
    void Fill(std::uint32_t offset, std::uint32_t count, unsigned char value) {
        std::fill(bytes.begin() + offset, bytes.begin() + offset + count, value);
    }
};

// A named change of the image, for tables of cases.
struct ImageChange {
    const char* name;
    std::function<void(ImageBytes&)> apply;
};

class LoaderFixture : public ::testing::Test {
protected:
    LoaderFixture()
        : platform([](const std::string& what) { ADD_FAILURE() << "out-of-bounds access: " << what; }) {
        platform.AddLibrary(test_dll::kLibOne);
        routineA = platform.AddRoutine(test_dll::kLibOne, "RoutineA");
        ordinalRoutine = platform.AddOrdinalRoutine(test_dll::kLibOne, test_dll::kImportedOrdinal);
        platform.AddLibrary(test_dll::kLibTwo, true);
        routineB = platform.AddRoutine(test_dll::kLibTwo, "RoutineB");
        platform.SetCallHandler([this](ModuleAddress, const CallArguments&) { return attachResult; });
    }

    // Loads from a buffer of exactly the image's length, so that AddressSanitizer
    // sees any read past its end.
    bool Load(MemoryModule& module) const {
        const std::size_t length = image.bytes.size();
        std::unique_ptr<unsigned char[]> buffer(new unsigned char[length]);
        std::memcpy(buffer.get(), image.bytes.data(), length);
        return module.LoadFromMemory(buffer.get(), static_cast<std::uint32_t>(length));
    }

    // The calls made so far as (routine, module handle, reason, reserved).
    std::vector<std::vector<std::uint32_t>> CallsMade() const {
        std::vector<std::vector<std::uint32_t>> calls;
        for (const SimulatedPlatform::Call& call : platform.Calls()) {
            calls.push_back({call.routine, call.arguments.words[0], call.arguments.words[1], call.arguments.words[2]});
        }
        return calls;
    }

    SimulatedPlatform platform;
    ImageBytes image;
    ModuleAddress routineA = 0;
    ModuleAddress routineB = 0;
    ModuleAddress ordinalRoutine = 0;
    std::uint32_t attachResult = 1;
};

// Runs every step through the base class and writes down each step as it
// returns: its name, followed by " refused" when it refused the image.
class RecordingModule : public MemoryModule {
public:
    using MemoryModule::MemoryModule;

    bool ReadHeaders(const unsigned char* data, std::uint32_t length) override {
        return Note("ReadHeaders", MemoryModule::ReadHeaders(data, length));
    }
    std::uint32_t ComputeImageSize() override {
        const std::uint32_t size = MemoryModule::ComputeImageSize();
        Note("ComputeImageSize", size != 0);
        return size;
    }
    std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) override {
        steps.push_back("AlignUp");
        return MemoryModule::AlignUp(value, alignment);
    }
    bool CopyHeadersAndSections(ModuleAddress destination, const unsigned char* data) override {
        return Note("CopyHeadersAndSections", MemoryModule::CopyHeadersAndSections(destination, data));
    }
    bool ApplyRelocations(ModuleAddress destination) override {
        return Note("ApplyRelocations", MemoryModule::ApplyRelocations(destination));
    }
    bool ResolveImports(ModuleAddress destination) override {
        return Note("ResolveImports", !failImports && MemoryModule::ResolveImports(destination));
    }

    // The last step other than AlignUp.
    std::string LastStep() const {
        for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
            if (*step != "AlignUp") {
                return *step;
            }
        }
        return "";
    }

    std::vector<std::string> steps;
    bool failImports = false;

private:
    bool Note(const char* step, bool passed) {
        steps.push_back(passed ? step : std::string(step) + " refused");
        return passed;
    }
};
