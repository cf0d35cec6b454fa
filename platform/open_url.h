#pragma once

#include <string>

// Opens `target` (a web address or a file) with the desktop's preferred
// program through xdg-open. The target is handed over as one argument, never
// through a shell, so no character in it is interpreted. Returns false when
// xdg-open could not be started; does not wait for it to finish.
bool OpenUrl(const std::string& target);
