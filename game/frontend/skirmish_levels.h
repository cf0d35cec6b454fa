#pragma once

#include <string>
#include <vector>

// One row of the skirmish level list.
struct SkirmishLevelEntry {
    std::string name;    // shown in the list
    std::string folder;  // the level's folder; empty for a separator
    bool unlocked = false;
};

// The folder, relative to the working directory, where users put levels of
// their own, one folder each.
extern const char EXTRA_LEVELS_FOLDER[];

// The rows of the list: the built-in levels, each unlocked once the campaign
// has reached it (`highestLevelReached`); a separator; every level folder
// inside `extraFolder`, in the order the directory lists them; a final
// separator. A user folder whose "level.txt" is missing or empty is not a
// level and is passed over; one whose "level.txt" cannot be read as a level
// file is left out with a line in `problems` that names it and says why, as
// is a folder that cannot be listed at all. A missing `extraFolder` adds no
// rows.
std::vector<SkirmishLevelEntry> SkirmishLevelEntries(int highestLevelReached,
                                                     const std::string& extraFolder,
                                                     std::vector<std::string>& problems);
