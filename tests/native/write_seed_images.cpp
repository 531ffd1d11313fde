// Writes the seed images of the loader's fuzz run: the test DLL and a few
// variants of it, one file each, into the directory given.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "test_dll_image.h"

namespace {

void Put32(std::vector<unsigned char>& image, std::uint32_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        image[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

void Put16(std::vector<unsigned char>& image, std::uint32_t offset, std::uint16_t value) {
    image[offset] = static_cast<unsigned char>(value);
    image[offset + 1] = static_cast<unsigned char>(value >> 8);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s directory\n", argv[0]);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);

    using namespace test_dll;
    const std::vector<unsigned char> dll = Build();
    std::vector<std::pair<std::string, std::vector<unsigned char>>> seeds = {{"dll", dll}};

    auto exe = dll;
    Put16(exe, kCharacteristics, 0x0102);
    seeds.emplace_back("exe", exe);

    auto noRelocations = dll;
    Put32(noRelocations, DirectorySize(5), 0);
    Put32(noRelocations, kImageBaseField, 0x00400000);
    seeds.emplace_back("no-relocations", noRelocations);

    auto noEntry = dll;
    Put32(noEntry, kEntryPoint, 0);
    seeds.emplace_back("no-entry", noEntry);

    auto noImports = dll;
    Put32(noImports, DirectoryRva(1), 0);
    seeds.emplace_back("no-imports", noImports);

    auto moved = dll;
    Put32(moved, kImageBaseField, 0x7FFF0000);
    seeds.emplace_back("moved", moved);

    for (const auto& [name, bytes] : seeds) {
        std::ofstream file(directory / (name + ".bin"), std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file) {
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
