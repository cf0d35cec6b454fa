#pragma once

#include <string>

// The per-user folder for application data: $XDG_CONFIG_HOME when it is an
// absolute path, else $HOME/.config (HOME must be absolute too). Returns
// false, and leaves `folder` alone, when neither is usable. The folder may
// not exist yet.
bool FindAppDataFolder(std::string& folder);
