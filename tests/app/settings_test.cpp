#include "app/settings.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/show_message.h"
#include "engine/core/attributes.h"
#include "engine/core/exception.h"

namespace {

const char* const INT_KEYS[] = {
    "TARNMOORE_HighestLevelReached", "TARNMOORE_HighestTutorialLevelReached",
    "TARNMOORE_SoundEffects",        "TARNMOORE_Music",
    "TUTORIAL_DIALOG_Enabled",       "TARNMOORE_MagnetToggle",
};
const int INT_DEFAULTS[] = {0, 0, 1, 1, 1, 1};

const char* const FLAGS[] = {
    "TUTORIAL_DIALOG_Welcome",
    "TUTORIAL_DIALOG_ControllingAirship",
    "TUTORIAL_DIALOG_Refuelling",
    "TUTORIAL_DIALOG_Refuelling2",
    "TUTORIAL_DIALOG_Objective",
    "TUTORIAL_DIALOG_EnemyBunker",
    "TUTORIAL_DIALOG_FriendlyBunker",
    "TUTORIAL_DIALOG_MagnetBunker",
    "TUTORIAL_DIALOG_FanBunker",
    "TUTORIAL_DIALOG_VehicleAtBunker",
    "TUTORIAL_DIALOG_Death",
    "TUTORIAL_DIALOG_EnemyArtilleryTurret",
    "TUTORIAL_DIALOG_EmptyArtilleryTurret",
    "TUTORIAL_DIALOG_FullMoney",
    "TUTORIAL_DIALOG_LongTimeToWin",
    "TUTORIAL_DIALOG_NoTanks",
    "TUTORIAL_DIALOG_NoInfantry",
    "TUTORIAL_DIALOG_BuyUnits",
};

std::vector<int> Medals(const orvel::Properties& settings) {
    std::vector<int> medals;
    const orvel::AnyVectorPtr list = settings.GetList("TARNMOORE_LevelMedals");
    for (size_t i = 0; i < list->Size(); ++i) {
        medals.push_back(list->GetInt(i));
    }
    return medals;
}

void ExpectAllDefaults(const orvel::Properties& settings) {
    for (size_t i = 0; i < sizeof(INT_KEYS) / sizeof(INT_KEYS[0]); ++i) {
        EXPECT_EQ(settings.GetInt(INT_KEYS[i]), INT_DEFAULTS[i]) << INT_KEYS[i];
    }
    const orvel::PropertiesPtr flags = settings.GetStruct("TUTORIAL_DIALOG_DialogPlayedFlags");
    EXPECT_EQ(flags->Size(), 18u);
    for (const char* flag : FLAGS) {
        EXPECT_EQ(flags->GetInt(flag), 0) << flag;
    }
    EXPECT_TRUE(Medals(settings).empty());
}

}  // namespace

TEST(SettingsDefaultsTest, EmptySetGetsEveryDefault) {
    orvel::Properties settings;
    FillSettingsDefaults(settings);
    ExpectAllDefaults(settings);
    EXPECT_EQ(settings.Size(), 8u);
}

// Partial and damaged sets: what is there and right stays; what is missing,
// or present with the wrong type, gets its default.
TEST(SettingsDefaultsTest, PartialAndWrongTypedSets) {
    struct Case {
        const char* name;
        std::function<void(orvel::Properties&)> prepare;
        std::function<void(const orvel::Properties&)> check;
    };
    const Case cases[] = {
        {"three levels and no medals",
         [](orvel::Properties& s) { s.SetInt("TARNMOORE_HighestLevelReached", 3); },
         [](const orvel::Properties& s) {
             EXPECT_EQ(Medals(s), (std::vector<int>{1, 1, 1}));
         }},
        {"music off stays off", [](orvel::Properties& s) { s.SetInt("TARNMOORE_Music", 0); },
         [](const orvel::Properties& s) {
             EXPECT_EQ(s.GetInt("TARNMOORE_Music"), 0);
             EXPECT_EQ(s.GetInt("TARNMOORE_SoundEffects"), 1);
         }},
        {"an existing medal list is kept as it is",
         [](orvel::Properties& s) {
             s.SetInt("TARNMOORE_HighestLevelReached", 4);
             const orvel::AnyVectorPtr medals = std::make_shared<orvel::AnyVector>();
             medals->SetInt(0, 2);
             s.SetList("TARNMOORE_LevelMedals", medals);
         },
         [](const orvel::Properties& s) { EXPECT_EQ(Medals(s), (std::vector<int>{2})); }},
        {"some flags already shown",
         [](orvel::Properties& s) {
             const orvel::PropertiesPtr flags = std::make_shared<orvel::Properties>();
             flags->SetInt("TUTORIAL_DIALOG_Death", 1);
             flags->SetInt("TUTORIAL_DIALOG_SomethingNewer", 1);
             s.SetStruct("TUTORIAL_DIALOG_DialogPlayedFlags", flags);
         },
         [](const orvel::Properties& s) {
             const orvel::PropertiesPtr flags = s.GetStruct("TUTORIAL_DIALOG_DialogPlayedFlags");
             EXPECT_EQ(flags->GetInt("TUTORIAL_DIALOG_Death"), 1);
             EXPECT_EQ(flags->GetInt("TUTORIAL_DIALOG_Welcome"), 0);
             EXPECT_EQ(flags->GetInt("TUTORIAL_DIALOG_SomethingNewer"), 1);
             EXPECT_EQ(flags->Size(), 19u);
         }},
        {"unknown keys are kept",
         [](orvel::Properties& s) { s.SetString("settingsTestExtra", "kept"); },
         [](const orvel::Properties& s) { EXPECT_EQ(s.GetString("settingsTestExtra"), "kept"); }},
        {"wrong-typed ints get their defaults",
         [](orvel::Properties& s) {
             s.SetString("TARNMOORE_Music", "loud");
             s.SetFloat("TARNMOORE_HighestLevelReached", 2.0f);
             s.SetBool("TUTORIAL_DIALOG_Enabled", false);
         },
         [](const orvel::Properties& s) {
             EXPECT_EQ(s.GetInt("TARNMOORE_Music"), 1);
             EXPECT_EQ(s.GetInt("TARNMOORE_HighestLevelReached"), 0);
             EXPECT_EQ(s.GetInt("TUTORIAL_DIALOG_Enabled"), 1);
         }},
        {"wrong-typed flags struct and medal list",
         [](orvel::Properties& s) {
             s.SetInt("TUTORIAL_DIALOG_DialogPlayedFlags", 5);
             s.SetInt("TARNMOORE_LevelMedals", 2);
             s.SetInt("TARNMOORE_HighestLevelReached", 2);
         },
         [](const orvel::Properties& s) {
             EXPECT_EQ(s.GetStruct("TUTORIAL_DIALOG_DialogPlayedFlags")->Size(), 18u);
             EXPECT_EQ(Medals(s), (std::vector<int>{1, 1}));
         }},
        {"a wrong-typed flag is reset",
         [](orvel::Properties& s) {
             const orvel::PropertiesPtr flags = std::make_shared<orvel::Properties>();
             flags->SetString("TUTORIAL_DIALOG_Welcome", "yes");
             s.SetStruct("TUTORIAL_DIALOG_DialogPlayedFlags", flags);
         },
         [](const orvel::Properties& s) {
             EXPECT_EQ(s.GetStruct("TUTORIAL_DIALOG_DialogPlayedFlags")
                           ->GetInt("TUTORIAL_DIALOG_Welcome"),
                       0);
         }},
        {"a negative level gives no medals",
         [](orvel::Properties& s) { s.SetInt("TARNMOORE_HighestLevelReached", -2); },
         [](const orvel::Properties& s) { EXPECT_TRUE(Medals(s).empty()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        orvel::Properties settings;
        c.prepare(settings);
        FillSettingsDefaults(settings);
        c.check(settings);
        // Every key can now be read with its own type.
        for (const char* key : INT_KEYS) {
            EXPECT_NO_THROW(settings.GetInt(key)) << key;
        }
    }
}
