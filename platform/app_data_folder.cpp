#include "platform/app_data_folder.h"

#include <cstdlib>

namespace {

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

}  // namespace

bool FindAppDataFolder(std::string& folder) {
    // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (IsAbsolute(config)) {
        folder = config;
        return true;
    }
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) {
        folder = std::string(home) + "/.config";
        return true;
    }
    return false;
}
