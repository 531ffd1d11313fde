// The loader's Win32 platform: the memory and library services it forwards.
#include "module/win32_module_platform.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint32_t kCommitReserve = MEM_COMMIT | MEM_RESERVE;
constexpr std::uint32_t kSize = 0x3000;

std::uint32_t StateAt(ModuleAddress address) {
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(reinterpret_cast<void*>(static_cast<std::uintptr_t>(address)), &info, sizeof info);
    return info.State;
}

TEST(Win32ModulePlatformTest, AllocatesExactlyWhereAskedAndReleasesWholly) {
    ModulePlatform& platform = SystemModulePlatform();
    const ModuleAddress anywhere = platform.VirtualAlloc(0, kSize, kCommitReserve, PAGE_EXECUTE_READWRITE);
    ASSERT_NE(anywhere, 0u);
    ASSERT_TRUE(platform.VirtualFree(anywhere, 0, MEM_RELEASE));
    ASSERT_EQ(StateAt(anywhere), static_cast<std::uint32_t>(MEM_FREE));

    // The same, now free, address can be asked for by value.
    const ModuleAddress exact = platform.VirtualAlloc(anywhere, kSize, kCommitReserve, PAGE_EXECUTE_READWRITE);
    ASSERT_EQ(exact, anywhere);
    EXPECT_EQ(platform.VirtualAlloc(exact, kSize, kCommitReserve, PAGE_EXECUTE_READWRITE), 0u)
        << "an occupied address must be refused, not moved";

    unsigned char zeros[kSize] = {};
    unsigned char seen[kSize];
    platform.CopyFromAddress(seen, exact, kSize);
    EXPECT_EQ(std::memcmp(seen, zeros, kSize), 0) << "fresh memory is zero-filled";

    const unsigned char pattern[] = {0xDE, 0xAD, 0x00, 0xBE, 0xEF};
    platform.CopyToAddress(exact + kSize - sizeof pattern, pattern, sizeof pattern);
    unsigned char back[sizeof pattern] = {};
    platform.CopyFromAddress(back, exact + kSize - sizeof pattern, sizeof pattern);
    EXPECT_EQ(std::memcmp(back, pattern, sizeof pattern), 0);

    ASSERT_TRUE(platform.VirtualFree(exact, 0, MEM_RELEASE));
    EXPECT_EQ(StateAt(exact + kSize - 1), static_cast<std::uint32_t>(MEM_FREE));
}

TEST(Win32ModulePlatformTest, FindsLibrariesAndRoutinesByNameAndOrdinal) {
    ModulePlatform& platform = SystemModulePlatform();
    // A library this program never loads by itself: only asking for it by
    // handle must not load it.
    const char* library = "ws2_32.dll";
    ASSERT_EQ(GetModuleHandleA(library), nullptr) << "the test needs a library not yet in the process";
    EXPECT_EQ(platform.GetModuleHandleA(library), 0u);
    EXPECT_EQ(GetModuleHandleA(library), nullptr);

    const ModuleAddress handle = platform.LoadLibraryA(library);
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(platform.GetModuleHandleA(library), handle);

    const ModuleAddress byName = platform.GetProcAddress(handle, "htonl");
    ASSERT_NE(byName, 0u);
    EXPECT_EQ(platform.GetProcAddressByOrdinal(handle, 8), byName);
    EXPECT_EQ(platform.GetProcAddress(handle, "no_such_routine"), 0u);
    EXPECT_EQ(platform.LoadLibraryA("no_such_library_here.dll"), 0u);
}

}  // namespace
