// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The skin: the skin engine the program carries is mapped from memory at start (MemoryLibrary)
// and attached to the windows when the main window has been created. When the build carries no
// engine (always on Linux, where it could not run), or it cannot be mapped, or it lacks
// SkinH_AttachRes, the program's own look applies: the carried style sheet and its fonts. Without
// an engine it applies as the loader is created, before any window.

#include <cstdint>
#include <memory>
#include <span>

#include "skin/pe/MemoryLibrary.h"

namespace tolvane {

std::span<const uint8_t> carriedSkinEngine();
std::span<const uint8_t> carriedSkinData();

class SkinStartup {
public:
    // Creates the skin-engine loader and maps the carried engine, if there is one.
    SkinStartup();
    // Unloads the engine (its DllMain sees the detach).
    ~SkinStartup();

    // The created handler's attach step. True when the carried engine took the windows; false
    // when the program's own style sheet was applied instead.
    bool attach();
    const MemoryLibrary& loader() const { return *m_loader; }

private:
    std::unique_ptr<PePlatform> m_platform;
    std::unique_ptr<MemoryLibrary> m_loader;
};

// The program's own look for all its windows; once.
void applyOwnLook();

}  // namespace tolvane
