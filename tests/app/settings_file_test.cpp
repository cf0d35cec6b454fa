#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/show_message.h"
#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/core/property_file.h"

namespace {

const PropertyKey SETTINGS("TARNMOORE_Settings");

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWhole(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Printed(const orvel::Properties& set) {
    std::ostringstream text;
    orvel::PrintProperties(set, text, 0);
    return text.str();
}

std::string ExceptionText(const std::function<void()>& action) {
    try {
        action();
    } catch (const orvel::Exception& exception) {
        return exception.What();
    }
    return "no exception";
}

// Each test gets its own application-data folder.
struct SettingsFileFixture : ::testing::Test {
    void SetUp() override {
        char pattern[] = "/tmp/settings_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        config = pattern;
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        folder = config + "/Orrowick/Gearhaven";
        file = folder + "/settings.txt";
        orvel::GlobalProperties().Erase(SETTINGS);
    }
    void TearDown() override {
        orvel::GlobalProperties().Erase(SETTINGS);
        const std::string command = "rm -rf '" + config + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    orvel::Properties& Loaded() { return *orvel::GlobalProperties().GetProperties(SETTINGS); }

    void WriteSettingsText(const std::string& text) {
        SettingsPath();
        WriteWhole(file, text);
    }

    std::string config;
    std::string folder;
    std::string file;
};

}  // namespace

TEST_F(SettingsFileFixture, FirstStartGivesDefaultsAndCreatesTheFolders) {
    LoadSettings();
    EXPECT_TRUE(IsDirectory(config + "/Orrowick"));
    EXPECT_TRUE(IsDirectory(folder));
    EXPECT_EQ(SettingsPath(), folder);
    orvel::Properties& settings = Loaded();
    EXPECT_EQ(settings.GetInt("TARNMOORE_HighestLevelReached"), 0);
    EXPECT_EQ(settings.GetInt("TARNMOORE_Music"), 1);
    EXPECT_EQ(settings.GetStruct("TUTORIAL_DIALOG_DialogPlayedFlags")->Size(), 18u);
    EXPECT_TRUE(settings.GetList("TARNMOORE_LevelMedals")->Empty());
}

TEST_F(SettingsFileFixture, PartialAndWrongTypedFiles) {
    const struct {
        const char* text;
        const char* key;
        int value;
        size_t medals;
    } cases[] = {
        {"int TARNMOORE_HighestLevelReached: 3\n", "TARNMOORE_HighestLevelReached", 3, 3},
        {"int TARNMOORE_Music: 0\n", "TARNMOORE_Music", 0, 0},
        {"string TARNMOORE_Music: \"off\"\n", "TARNMOORE_Music", 1, 0},
        {"float TARNMOORE_SoundEffects: 0.5\nint TARNMOORE_HighestLevelReached: 2\n",
         "TARNMOORE_SoundEffects", 1, 2},
        {"// only a comment\n", "TARNMOORE_MagnetToggle", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        WriteSettingsText(c.text);
        LoadSettings();
        EXPECT_EQ(Loaded().GetInt(c.key), c.value);
        EXPECT_EQ(Loaded().GetList("TARNMOORE_LevelMedals")->Size(), c.medals);
    }
}

// A damaged file is kept beside the new one and the game starts with
// defaults; the player learns which file and which line.
TEST_F(SettingsFileFixture, DamagedFileIsKeptAsideAndDefaultsLoad) {
    std::vector<std::string> messages;
    const MessageHandler previous =
        SetMessageHandler([&](const std::string& text) { messages.push_back(text); });
    WriteSettingsText("int TARNMOORE_Music 0\n");
    EXPECT_NO_THROW(LoadSettings());
    SetMessageHandler(previous);
    EXPECT_EQ(Loaded().GetInt("TARNMOORE_Music"), 1);
    EXPECT_FALSE(IsDirectory(file) || std::ifstream(file).good());
    EXPECT_EQ(ReadWhole(file + ".damaged"), "int TARNMOORE_Music 0\n");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(file), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("Line:1"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find(file + ".damaged"), std::string::npos) << messages[0];

    SaveSettings();
    EXPECT_EQ(ReadWhole(file + ".damaged"), "int TARNMOORE_Music 0\n");
    EXPECT_TRUE(std::ifstream(file).good());

    // A later damaged file goes beside the first, never over it.
    WriteSettingsText("{\n");
    SetMessageHandler([&](const std::string& text) { messages.push_back(text); });
    LoadSettings();
    SetMessageHandler(previous);
    EXPECT_EQ(ReadWhole(file + ".damaged"), "int TARNMOORE_Music 0\n");
    EXPECT_EQ(ReadWhole(file + ".damaged2"), "{\n");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find(file + ".damaged2"), std::string::npos) << messages[1];
}

// A list the reader accepts is written back: a settings file holding one
// must not stop every later save.
TEST_F(SettingsFileFixture, ListsWithAnEmptyFirstInnerListSaveAgain) {
    WriteSettingsText("list list float settingsTestGrid\n{\n{\n}\n{\n1.5\n}\n}\n");
    LoadSettings();
    ASSERT_NO_THROW(SaveSettings());
    orvel::GlobalProperties().Erase(SETTINGS);
    LoadSettings();
    EXPECT_EQ(Loaded().GetList("settingsTestGrid")->GetList(1)->GetFloat(0), 1.5f);
}

// A settings path that cannot be read as a file names the file instead of
// giving the library's text.
TEST_F(SettingsFileFixture, UnreadableSettingsFileNamesIt) {
    SettingsPath();
    ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
    EXPECT_EQ(ExceptionText([] { LoadSettings(); }),
              "Error: Couldn't read settings file.\nFile: " + file);
    orvel::GlobalProperties()[SETTINGS] = std::make_shared<orvel::Properties>();
    EXPECT_EQ(ExceptionText([] { SaveSettings(); }),
              "Error: Couldn't write to settings file.\nFile: " + file);
}

// A medal set past the end of a short list leaves gaps; saving fills them
// with the normal medal instead of failing on every later save.
TEST_F(SettingsFileFixture, MedalGapsAreFilledBeforeSaving) {
    WriteSettingsText(
        "int TARNMOORE_HighestLevelReached: 5\nlist int TARNMOORE_LevelMedals\n{\n2\n}\n");
    LoadSettings();
    Loaded().GetList("TARNMOORE_LevelMedals")->SetInt(4, 0);
    ASSERT_NO_THROW(SaveSettings());
    orvel::GlobalProperties().Erase(SETTINGS);
    LoadSettings();
    const orvel::AnyVectorPtr medals = Loaded().GetList("TARNMOORE_LevelMedals");
    ASSERT_EQ(medals->Size(), 5u);
    const int expected[] = {2, 1, 1, 1, 0};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(medals->GetInt(i), expected[i]) << i;
    }
}

// A reached level far past the campaign's end must not make a medal list of
// that size.
TEST_F(SettingsFileFixture, HighestLevelIsHeldToTheCampaign) {
    const struct {
        const char* reached;
        int kept;
    } cases[] = {{"2147483647", 17}, {"17", 17}, {"18", 17}, {"-5", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reached);
        WriteSettingsText(std::string("int TARNMOORE_HighestLevelReached: ") + c.reached + "\n");
        LoadSettings();
        EXPECT_EQ(Loaded().GetInt("TARNMOORE_HighestLevelReached"), c.kept);
        EXPECT_EQ(Loaded().GetList("TARNMOORE_LevelMedals")->Size(), static_cast<size_t>(c.kept));
    }
}

TEST_F(SettingsFileFixture, SaveAndLoadGiveTheSameSet) {
    LoadSettings();
    orvel::Properties& settings = Loaded();
    settings.SetInt("TARNMOORE_HighestLevelReached", 2);
    settings.GetList("TARNMOORE_LevelMedals")->SetInt(0, 0);
    settings.GetList("TARNMOORE_LevelMedals")->SetInt(1, 2);
    settings.GetStruct("TUTORIAL_DIALOG_DialogPlayedFlags")->SetInt("TUTORIAL_DIALOG_Death", 1);
    settings.SetString("settingsTestKept", "extra key");
    const std::string before = Printed(settings);
    SaveSettings();
    EXPECT_EQ(ReadWhole(file), before);

    orvel::GlobalProperties().Erase(SETTINGS);
    LoadSettings();
    EXPECT_EQ(Printed(Loaded()), before);
    EXPECT_EQ(Loaded().GetList("TARNMOORE_LevelMedals")->GetInt(1), 2);
}

TEST_F(SettingsFileFixture, FailedWriteLeavesTheOldFileIntact) {
    LoadSettings();
    SaveSettings();
    const std::string old = ReadWhole(file);
    Loaded().SetInt("TARNMOORE_Music", 0);
    // Something in the way of the new file.
    ASSERT_EQ(mkdir((file + ".tmp").c_str(), 0755), 0);
    EXPECT_EQ(ExceptionText([] { SaveSettings(); }),
              "Error: Couldn't write to settings file.\nFile: " + file);
    EXPECT_EQ(ReadWhole(file), old);
}

TEST_F(SettingsFileFixture, UnwritableFolderAndMissingSettingsFailLoudly) {
    LoadSettings();
    // The folder cannot be made: a plain file stands where it should be.
    ASSERT_EQ(std::system(("rm -rf '" + config + "/Orrowick'").c_str()), 0);
    WriteWhole(config + "/Orrowick", "not a folder");
    EXPECT_EQ(ExceptionText([] { SaveSettings(); }), "Error: Couldn't write to settings file.");
    EXPECT_EQ(ExceptionText([] { LoadSettings(); }),
              "Error: SettingsPath(): Couldn't find local Application Data dir.");

    orvel::GlobalProperties().Erase(SETTINGS);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    EXPECT_EQ(ExceptionText([] { SaveSettings(); }), "Error: Couldn't write to settings file.");
}

TEST_F(SettingsFileFixture, NoApplicationDataFolder) {
    unsetenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string savedHome = home != nullptr ? home : "";
    unsetenv("HOME");
    EXPECT_EQ(ExceptionText([] { SettingsPath(); }),
              "Error: SettingsPath(): Couldn't find local Application Data dir.");
    EXPECT_EQ(ExceptionText([] { LoadSettings(); }),
              "Error: SettingsPath(): Couldn't find local Application Data dir.");
    if (home != nullptr) {
        setenv("HOME", savedHome.c_str(), 1);
    }
}

// Destructors save through TrySaveSettings: a failure is shown, not thrown.
TEST_F(SettingsFileFixture, TrySaveSettingsShowsTheFailure) {
    std::vector<std::string> messages;
    const MessageHandler previous =
        SetMessageHandler([&](const std::string& text) { messages.push_back(text); });
    EXPECT_FALSE(TrySaveSettings());
    LoadSettings();
    EXPECT_TRUE(TrySaveSettings());
    SetMessageHandler(previous);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Error: Couldn't write to settings file.\nFile: " + file);
}
