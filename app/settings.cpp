#include "app/settings.h"

#include <fstream>
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

const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_HIGHEST_LEVEL("TARNMOORE_HighestLevelReached");
const PropertyKey KEY_LEVEL_MEDALS("TARNMOORE_LevelMedals");
const PropertyKey KEY_PLAYED_FLAGS("TUTORIAL_DIALOG_DialogPlayedFlags");

// Medal given to every reached level by a settings file without medals.
const int NORMAL_MEDAL = 1;

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

orvel::PropertiesPtr ReadSettingsFile(const std::string& file) {
    if (!boost::filesystem::exists(file)) {
        return std::make_shared<orvel::Properties>();
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        throw orvel::ExceptionGeneral(READ_FAILED);
    }
    return orvel::ParsePropertyStream(stream, file);
}

void WriteSettingsFile(const orvel::Properties& settings, const std::string& file) {
    std::ostringstream text;
    orvel::PrintProperties(settings, text, 0);
    if (!text || !WriteFileAtomically(file, text.str())) {
        throw orvel::ExceptionGeneral(WRITE_FAILED);
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
    if (!HasOfType(settings, KEY_LEVEL_MEDALS, orvel::PROPERTY_LIST)) {
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
    try {
        const orvel::PropertiesPtr settings = orvel::GlobalProperties().GetProperties(KEY_SETTINGS);
        if (!settings) {
            throw orvel::ExceptionGeneral(WRITE_FAILED);
        }
        WriteSettingsFile(*settings, SettingsFile());
    } catch (...) {
        throw orvel::ExceptionGeneral(WRITE_FAILED);
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
