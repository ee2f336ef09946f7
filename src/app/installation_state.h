// The one record of detected facts and user choices, held by the application object.
#pragma once
#include "app/identity.h"
#include <cstdint>
#include <string>

namespace app {

enum class InstallMode : std::int32_t { NewerInstalled = -1, Fresh = 0, Reinstall = 1, Update = 2 };

struct installation_state {
    InstallMode installMode = InstallMode::Fresh;
    std::wstring installedVersionText;
    instance_lock instanceLock;
    std::wstring installFolder;
    std::wstring startMenuFolder;
    std::wstring tempFolder;
    bool createMenuShortcut = true;
    bool createDesktopShortcut = true;
    bool advancedInstallation = false;
    bool installSucceeded = false;
    std::uint64_t previousVersion = 0;
};

} // namespace app
