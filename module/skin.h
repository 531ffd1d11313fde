#pragma once
// The skin: the carried engine, mapped once at start-up, and the one call
// that hands it a skin block before the window is created.
#include <cstdint>
#include <memory>

#include "module/memory_module.h"
#include "skin_engine/skin_data.h"

// The process's skin engine module. Made at start-up, destroyed at exit;
// destroying it leaves the engine mapped (it is never unloaded).
extern std::unique_ptr<MemoryModule> SkinEngineModule;

// Maps the carried engine image into SkinEngineModule. The result of the
// load is not looked at: an engine that cannot be mapped means no skin.
void LoadSkinEngine();

// Skins 1 to 10 go to AttachSkin; any other number does nothing.
void ApplySkin(std::int32_t number);

// Hands the block to the engine's "SkinH_AttachRes" (looked up on every call)
// with its address, its length and eight zero words; returns the routine's
// result. Without a module or without the routine no call is made and the
// result is 0: the windows then open unskinned.
std::uint32_t AttachSkin(const SkinBlockView& block);
