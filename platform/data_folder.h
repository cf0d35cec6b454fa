#pragma once

#include <string>
#include <vector>

// Where the game's data (its datafile, and loose files under resources/) is
// found, so that the game starts from any working folder.

// The folders that may hold the data, in the order they are tried: the
// working folder (a game folder laid out by hand, or the repository root),
// the program's own folder (the build layout, where the build puts the
// datafile beside the program), and `<program folder>/../share/gearhaven`
// (the layout that `cmake --install` makes under its prefix). Empty names are
// left out.
std::vector<std::string> DataFolderCandidates(const std::string& workingFolder,
                                              const std::string& programFolder);

// The first of `candidates` that holds a regular file `fileName` (symbolic
// links followed); empty when none does.
std::string FindDataFolder(const std::string& fileName, const std::vector<std::string>& candidates);

// The folder of the running program's executable, symbolic links resolved;
// empty when the system does not say.
std::string ProgramFolder();
