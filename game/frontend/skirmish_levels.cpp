#include "game/frontend/skirmish_levels.h"

#include <boost/filesystem.hpp>

#include "engine/core/exception.h"
#include "engine/core/property_file.h"

const char EXTRA_LEVELS_FOLDER[] = "extra levels";

namespace {

struct BuiltInLevel {
    const char* folder;
    const char* name;
    int unlockedFrom;
};

// Campaign levels 5, 8 and 12 are not offered. Each row carries the name
// that the campaign and the level's preview picture give it.
const BuiltInLevel BUILT_IN_LEVELS[] = {
    {"resources/Level1", "Cogwheel Meadows", 1},  {"resources/Level2", "Tinker's Vale", 2},
    {"resources/Level3", "Copperleaf Ridge", 3},  {"resources/Level4", "Millrace Hollow", 4},
    {"resources/Level6", "Rustwood Cliffs", 6},   {"resources/Level7", "Frostgear Pass", 7},
    {"resources/Level9", "Whitecap Steppes", 9},  {"resources/Level10", "Glacier Stair", 10},
    {"resources/Level11", "Cinder Flats", 11},    {"resources/Level13", "Smokestack Gorge", 13},
    {"resources/Level14", "Greyhedge Downs", 14}, {"resources/Level15", "Ashfall Crags", 15}};

const char SEPARATOR[] = "------------";

SkirmishLevelEntry Separator() { return SkirmishLevelEntry{SEPARATOR, "", false}; }

bool HoldsLevelFile(const boost::filesystem::path& levelFile) {
    boost::system::error_code error;
    return boost::filesystem::is_regular_file(levelFile, error) &&
           boost::filesystem::file_size(levelFile, error) > 0 && !error;
}

// Adds the user levels of `folder`. The folder is the users' own: nothing in
// it may stop the program, so what cannot be used is reported and left out.
void AddUserLevels(const std::string& folder, std::vector<SkirmishLevelEntry>& entries,
                   std::vector<std::string>& problems) {
    namespace fs = boost::filesystem;
    boost::system::error_code error;
    if (!fs::is_directory(folder, error)) {
        return;
    }
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path levelFile = it->path() / "level.txt";
        if (!HoldsLevelFile(levelFile)) {
            continue;
        }
        const std::string name = it->path().filename().string();
        try {
            orvel::LoadPropertyFile(levelFile.string());
        } catch (const orvel::Exception& failure) {
            problems.push_back("The level \"" + name + "\" in \"" + folder +
                               "\" is left out: " + failure.What());
            continue;
        }
        entries.push_back(SkirmishLevelEntry{name, folder + "/" + name, true});
    }
    if (error) {
        problems.push_back("The levels in \"" + folder + "\" cannot be listed: " +
                           error.message());
    }
}

}  // namespace

std::vector<SkirmishLevelEntry> SkirmishLevelEntries(int highestLevelReached,
                                                     const std::string& extraFolder,
                                                     std::vector<std::string>& problems) {
    std::vector<SkirmishLevelEntry> entries;
    for (const BuiltInLevel& level : BUILT_IN_LEVELS) {
        entries.push_back(SkirmishLevelEntry{level.name, level.folder,
                                             highestLevelReached >= level.unlockedFrom});
    }
    entries.push_back(Separator());
    AddUserLevels(extraFolder, entries, problems);
    entries.push_back(Separator());
    return entries;
}
