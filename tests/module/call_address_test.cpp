// CallAddress against routines of both conventions and several argument
// counts, seen from an assembly caller that measures its own stack pointer.
#include "module/call_address.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "module/win32_module_platform.h"

namespace {

struct CallProbe {
    std::uint32_t result;
    std::int32_t stackShift;
    std::uint32_t registersKept;
};

extern "C" void CallAddressProbe(const std::uint32_t* words, CallProbe* probe);

// What the ten-argument routines saw, in order.
std::array<std::uint32_t, 10> seenWords;

// Results depend on the order of the arguments, not only on their values.
__attribute__((stdcall)) std::uint32_t StdcallThree(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    return a * 1000000 + b * 1000 + c;
}

__attribute__((cdecl)) std::uint32_t CdeclTwo(std::uint32_t a, std::uint32_t b) {
    return a * 1000 - b;
}

__attribute__((stdcall)) std::uint32_t StdcallTen(std::uint32_t a1, std::uint32_t a2, std::uint32_t a3,
                                                  std::uint32_t a4, std::uint32_t a5, std::uint32_t a6,
                                                  std::uint32_t a7, std::uint32_t a8, std::uint32_t a9,
                                                  std::uint32_t a10) {
    seenWords = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10};
    return 0xA10A10A1;
}

__attribute__((cdecl)) std::uint32_t CdeclTen(std::uint32_t a1, std::uint32_t a2, std::uint32_t a3,
                                              std::uint32_t a4, std::uint32_t a5, std::uint32_t a6,
                                              std::uint32_t a7, std::uint32_t a8, std::uint32_t a9,
                                              std::uint32_t a10) {
    seenWords = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10};
    return 0xC10C10C1;
}

// No arguments at all: the ten words stay where CallAddress put them.
__attribute__((stdcall)) std::uint32_t StdcallNone() { return 0xFFFFFFFF; }

template <typename Routine>
std::uint32_t AddressOf(Routine* routine) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(routine));
}

constexpr std::array<std::uint32_t, 10> kTenWords = {0x11111111, 0x22222222, 0x33333333, 0x44444444, 0x55555555,
                                                     0x66666666, 0x77777777, 0x88888888, 0x99999999, 0xAAAAAAAA};

struct CallCase {
    const char* name;
    std::uint32_t routine;
    std::array<std::uint32_t, 10> arguments;
    std::uint32_t expectedResult;
    bool recordsTenWords;
};

TEST(CallAddressTest, ReturnsResultAndLeavesCallerStackAsItWas) {
    const CallCase cases[] = {
        {"stdcall, three arguments", AddressOf(&StdcallThree), {7, 8, 9}, 7008009, false},
        {"cdecl, two arguments", AddressOf(&CdeclTwo), {5, 3}, 4997, false},
        {"stdcall, ten arguments", AddressOf(&StdcallTen), kTenWords, 0xA10A10A1, true},
        {"cdecl, ten arguments", AddressOf(&CdeclTen), kTenWords, 0xC10C10C1, true},
        {"stdcall, no arguments", AddressOf(&StdcallNone), kTenWords, 0xFFFFFFFF, false},
    };
    for (const CallCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint32_t words[11] = {c.routine};
        std::copy(c.arguments.begin(), c.arguments.end(), words + 1);
        seenWords = {};
        CallProbe probe{0, -1, 0};

        CallAddressProbe(words, &probe);

        EXPECT_EQ(probe.result, c.expectedResult);
        EXPECT_EQ(probe.stackShift, 0);
        EXPECT_EQ(probe.registersKept, 1u) << "EBX, ESI or EDI changed across the call";
        if (c.recordsTenWords) {
            EXPECT_EQ(seenWords, c.arguments);
        }
    }
}

TEST(CallAddressTest, OmittedArgumentsAreZero) {
    seenWords.fill(0xDEADBEEF);
    EXPECT_EQ(CallAddress(AddressOf(&StdcallTen), 1, 2), 0xA10A10A1);
    EXPECT_EQ(seenWords, (std::array<std::uint32_t, 10>{1, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(CallAddressTest, SystemPlatformPassesAllTenWords) {
    CallArguments arguments;
    std::copy(kTenWords.begin(), kTenWords.end(), arguments.words);
    seenWords = {};
    EXPECT_EQ(SystemModulePlatform().CallAddress(AddressOf(&StdcallTen), arguments), 0xA10A10A1);
    EXPECT_EQ(seenWords, kTenWords);
    EXPECT_EQ(SystemModulePlatform().CallAddress(AddressOf(&CdeclTwo), CallArguments{{40, 2}}), 39998u);
}

}  // namespace
