#pragma once

#include <string>

// Replaces the file at `path` with `content` so that a crash or a full disk
// never leaves a damaged file behind: the content goes to a temporary file in
// the same folder, which is flushed to disk and then renamed over `path`.
// Returns false on any failure; the old file is then left as it was.
bool WriteFileAtomically(const std::string& path, const std::string& content);
