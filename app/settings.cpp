#include "app/settings.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include <boost/filesystem.hpp>

#include "app/show_message.h"
#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/core/property_file.h"
#include "platform/app_data_folder.h"
#include "platform/atomic_file_write.h"

namespace {

const char NO_APP_DATA_FOLDER[] = "SettingsPath(): Couldn't find local Application Data dir.";
const char WRITE_FAILED[] = "Couldn't write to settings file.";
const char READ_FAILED[] = "Couldn't read settings file.";
const char SETTINGS_FILE[] = "settings.txt";
// A damaged settings file is moved aside to its name with this ending, or
// with the ending and a number from 2 up while earlier ones are taken.
const char DAMAGED_ENDING[] = ".damaged";
const int MOST_DAMAGED_FILES = 99;

const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_HIGHEST_LEVEL("TARNMOORE_HighestLevelReached");
const PropertyKey KEY_LEVEL_MEDALS("TARNMOORE_LevelMedals");
const PropertyKey KEY_PLAYED_FLAGS("TUTORIAL_DIALOG_DialogPlayedFlags");

// Medal given to every reached level by a settings file without medals, and
// to every gap in a medal list.
const int NORMAL_MEDAL = 1;
// The campaign's levels: no more can be reached, so no more medals are kept.
const int LEVEL_COUNT = 17;

struct IntDefault {
    PropertyKey key;
    int value;
};

const IntDefault INT_DEFAULTS[] = {
    {PropertyKey("TARNMOORE_HighestLevelReached"), 0},
    {PropertyKey("TARNMOORE_HighestTutorialLevelReached"), 0},
    {PropertyKey("TARNMOORE_SoundEffects"), 1},
    {PropertyKey("TARNMOORE_Music"), 1},
    {PropertyKey("TUTORIAL_DIALOG_Enabled"), 1},
    {PropertyKey("TARNMOORE_MagnetToggle"), 1},
};

const PropertyKey PLAYED_FLAGS[] = {
    PropertyKey("TUTORIAL_DIALOG_Welcome"),
    PropertyKey("TUTORIAL_DIALOG_ControllingAirship"),
    PropertyKey("TUTORIAL_DIALOG_Refuelling"),
    PropertyKey("TUTORIAL_DIALOG_Refuelling2"),
    PropertyKey("TUTORIAL_DIALOG_Objective"),
    PropertyKey("TUTORIAL_DIALOG_EnemyBunker"),
    PropertyKey("TUTORIAL_DIALOG_FriendlyBunker"),
    PropertyKey("TUTORIAL_DIALOG_MagnetBunker"),
    PropertyKey("TUTORIAL_DIALOG_FanBunker"),
    PropertyKey("TUTORIAL_DIALOG_VehicleAtBunker"),
    PropertyKey("TUTORIAL_DIALOG_Death"),
    PropertyKey("TUTORIAL_DIALOG_EnemyArtilleryTurret"),
    PropertyKey("TUTORIAL_DIALOG_EmptyArtilleryTurret"),
    PropertyKey("TUTORIAL_DIALOG_FullMoney"),
    PropertyKey("TUTORIAL_DIALOG_LongTimeToWin"),
    PropertyKey("TUTORIAL_DIALOG_NoTanks"),
    PropertyKey("TUTORIAL_DIALOG_NoInfantry"),
    PropertyKey("TUTORIAL_DIALOG_BuyUnits"),
};

// True when the key is present with the given type. A key with another type
// counts as missing: one bad line must not end every later start.
bool HasOfType(const orvel::Properties& set, PropertyKey key, orvel::PropertyType type) {
    const orvel::Properties::Map::const_iterator found = set.Find(key);
    return found != set.end() && found->second.type == type;
}

std::string SettingsFile() { return SettingsPath() + "/" + SETTINGS_FILE; }

// The message text naming the settings file.
std::string NamingFile(const char* message, const std::string& file) {
    return std::string(message) + "\nFile: " + file;
}

// The first name for a damaged copy of `file` that no file has yet, or the
// empty text when all are taken: an earlier damaged file is never replaced.
std::string FreeDamagedName(const std::string& file) {
    for (int number = 1; number <= MOST_DAMAGED_FILES; ++number) {
        const std::string name =
            file + DAMAGED_ENDING + (number == 1 ? std::string() : std::to_string(number));
        boost::system::error_code error;
        if (boost::filesystem::symlink_status(name, error).type() ==
            boost::filesystem::file_not_found) {
            return name;
        }
    }
    return std::string();
}

// Moves a settings file that cannot be parsed aside, so that the game starts
// with defaults and the player's file is kept for repair.
orvel::PropertiesPtr PutDamagedFileAside(const std::string& file, const orvel::Exception& error) {
    const std::string damaged = FreeDamagedName(file);
    boost::system::error_code renameError;
    if (!damaged.empty()) {
        boost::filesystem::rename(file, damaged, renameError);
    }
    if (damaged.empty() || renameError) {
        throw orvel::ExceptionGeneral(NamingFile(READ_FAILED, file) + "\n" + error.What());
    }
    ShowMessage("The settings file " + file + " is damaged:\n" + error.What() +
                "\nIt was kept as " + damaged + " and the game starts with default settings.");
    return std::make_shared<orvel::Properties>();
}

orvel::PropertiesPtr ReadSettingsFile(const std::string& file) {
    boost::system::error_code error;
    const boost::filesystem::file_status status = boost::filesystem::status(file, error);
    if (status.type() == boost::filesystem::file_not_found) {
        return std::make_shared<orvel::Properties>();
    }
    std::ifstream stream;
    if (status.type() == boost::filesystem::regular_file) {
        stream.open(file, std::ios::binary);
    }
    if (!stream.is_open()) {
        throw orvel::ExceptionGeneral(NamingFile(READ_FAILED, file));
    }
    std::string text;
    try {
        text.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        throw orvel::ExceptionGeneral(NamingFile(READ_FAILED, file));
    }
    if (stream.bad()) {
        throw orvel::ExceptionGeneral(NamingFile(READ_FAILED, file));
    }
    try {
        return orvel::ParsePropertyString(text, file);
    } catch (const orvel::Exception& damage) {
        return PutDamagedFileAside(file, damage);
    }
}

void WriteSettingsFile(const orvel::Properties& settings, const std::string& file) {
    std::ostringstream text;
    orvel::PrintProperties(settings, text, 0);
    if (!text || !WriteFileAtomically(file, text.str())) {
        throw orvel::ExceptionGeneral(NamingFile(WRITE_FAILED, file));
    }
}

// A reached level past the campaign's end, or below its start, is held to it;
// the medal list is never made longer than the levels reached.
void ClampHighestLevel(orvel::Properties& settings) {
    const int reached = settings.GetInt(KEY_HIGHEST_LEVEL);
    settings.SetInt(KEY_HIGHEST_LEVEL, std::min(std::max(reached, 0), LEVEL_COUNT));
}

// Every medal that is not an int (a gap left by setting a medal past the
// list's end, or a value of another type) becomes the normal medal: the
// writer refuses lists with gaps or mixed types.
void FillMedalGaps(orvel::AnyVector& medals) {
    for (size_t level = 0; level < medals.Size(); ++level) {
        if (medals.At(level).type != orvel::PROPERTY_INT) {
            medals.SetInt(level, NORMAL_MEDAL);
        }
    }
}

}  // namespace

std::string SettingsPath() {
    std::string folder;
    if (!FindAppDataFolder(folder)) {
        throw orvel::ExceptionGeneral(NO_APP_DATA_FOLDER);
    }
    const boost::filesystem::path path = boost::filesystem::path(folder) / "Orrowick" / "Gearhaven";
    boost::system::error_code error;
    boost::filesystem::create_directories(path, error);
    if (error || !boost::filesystem::is_directory(path)) {
        throw orvel::ExceptionGeneral(NO_APP_DATA_FOLDER);
    }
    return path.string();
}

void FillSettingsDefaults(orvel::Properties& settings) {
    if (!HasOfType(settings, KEY_PLAYED_FLAGS, orvel::PROPERTY_STRUCT)) {
        settings.SetStruct(KEY_PLAYED_FLAGS, std::make_shared<orvel::Properties>());
    }
    for (const IntDefault& entry : INT_DEFAULTS) {
        if (!HasOfType(settings, entry.key, orvel::PROPERTY_INT)) {
            settings.SetInt(entry.key, entry.value);
        }
    }
    orvel::Properties& flags = *settings.GetStruct(KEY_PLAYED_FLAGS);
    for (const PropertyKey& flag : PLAYED_FLAGS) {
        if (!HasOfType(flags, flag, orvel::PROPERTY_INT)) {
            flags.SetInt(flag, 0);
        }
    }
    ClampHighestLevel(settings);
    if (HasOfType(settings, KEY_LEVEL_MEDALS, orvel::PROPERTY_LIST) &&
        settings.GetList(KEY_LEVEL_MEDALS)) {
        FillMedalGaps(*settings.GetList(KEY_LEVEL_MEDALS));
    } else {
        const orvel::AnyVectorPtr medals = std::make_shared<orvel::AnyVector>();
        const int reached = settings.GetInt(KEY_HIGHEST_LEVEL);
        for (int level = 0; level < reached; ++level) {
            medals->SetInt(static_cast<size_t>(level), NORMAL_MEDAL);
        }
        settings.SetList(KEY_LEVEL_MEDALS, medals);
    }
}

void LoadSettings() {
    const orvel::PropertiesPtr settings = ReadSettingsFile(SettingsFile());
    FillSettingsDefaults(*settings);
    orvel::GlobalProperties()[KEY_SETTINGS] = settings;
}

void SaveSettings() {
    std::string file;
    try {
        file = SettingsFile();
        const orvel::PropertiesPtr settings = orvel::GlobalProperties().GetProperties(KEY_SETTINGS);
        if (!settings) {
            throw orvel::ExceptionGeneral(WRITE_FAILED);
        }
        FillSettingsDefaults(*settings);
        WriteSettingsFile(*settings, file);
    } catch (...) {
        throw orvel::ExceptionGeneral(file.empty() ? std::string(WRITE_FAILED)
                                                   : NamingFile(WRITE_FAILED, file));
    }
}

bool TrySaveSettings() {
    try {
        SaveSettings();
    } catch (const orvel::Exception& exception) {
        ShowMessage(exception.What());
        return false;
    }
    return true;
}
