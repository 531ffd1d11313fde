#include "module/skin.h"

#include <cstdint>

#include "module/call_address.h"

std::unique_ptr<MemoryModule> SkinEngineModule;

void LoadSkinEngine() {
    if (!SkinEngineModule) return;
    SkinEngineModule->LoadFromMemory(SkinEngineImage, static_cast<std::uint32_t>(SkinEngineImage_size));
}

void ApplySkin(std::int32_t number) {
    if (number >= 1 && number <= kSkinBlockCount) AttachSkin(SkinBlocks[number - 1]);
}

std::uint32_t AttachSkin(const SkinBlockView& block) {
    if (!SkinEngineModule) return 0;
    ModuleAddress attach = SkinEngineModule->GetExportByName("SkinH_AttachRes");
    // An engine that did not map, or has no such routine: never call address 0.
    if (attach == 0) return 0;
    std::uint32_t data = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(block.data));
    return CallAddress(attach, data, static_cast<std::uint32_t>(block.length));
}
