// The roads to the story pictures and the in-game help in the built
// StateMachine.txt, and the pictures that their screens show, as the game
// reads them from the built datafile.
#include <cerrno>
#include <cstdlib>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include <allegro.h>

#include "engine/core/properties.h"
#include "engine/core/property_file.h"
#include "engine/resources/resource.h"

namespace {

const int CAMPAIGN_LEVELS = 17;
const int HELP_PAGES = 5;
const std::string GAME = "TARNMOORE_STATE_Mechanica";
const std::string LOADING = "TARNMOORE_STATE_LoadingMechanica";

class StoryFilesTest : public testing::Test {
protected:
    void SetUp() override {
        static const bool installed = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
        ASSERT_TRUE(installed);
        orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
        machine = orvel::LoadPropertyFile("resources/StateMachine.txt");
    }
    void TearDown() override { orvel::ClearDatafilePath(); }

    // The state that `state` leads to on `trigger`; "" when it has none.
    std::string Next(const std::string& state, const std::string& trigger) const {
        const orvel::PropertiesPtr entry = machine->GetStruct(PropertyKey(state));
        if (!entry->HasProperty(PropertyKey(trigger))) {
            return "";
        }
        return entry->GetStruct(PropertyKey(trigger))->GetString(PropertyKey("state"));
    }
    std::string ClassOf(const std::string& state) const {
        return machine->GetStruct(PropertyKey(state))->GetString(PropertyKey("class"));
    }

    // The screen of a single-picture state: its file reads, and its page
    // picture (the root's animation) comes from the datafile, where only the
    // build's drawing puts it.
    void ExpectScreenWithPicture(const std::string& state) const {
        SCOPED_TRACE(state);
        const std::string path = machine->GetStruct(PropertyKey(state))
                                     ->GetString(PropertyKey("SINGLE_SCREEN_MorphPath"));
        const orvel::PropertiesPtr screen = orvel::LoadPropertyFile("resources/" + path);
        const std::string folder = path.substr(0, path.rfind('/') + 1);
        const std::string picture =
            "resources/" + folder + screen->GetString(PropertyKey("animation"));
        EXPECT_TRUE(orvel::LoadDatafileObject(picture)->object)
            << picture << " is not in the datafile";
    }

    orvel::PropertiesPtr machine;
};

// Every place of the map is a battle: none is a cutscene that would count
// it as won. The first battle of each chapter shows its story picture on a
// plain screen first, whose Play goes on to the battle.
TEST_F(StoryFilesTest, EveryPlaceIsABattleAndFourShowTheirStoryFirst) {
    const orvel::PropertiesPtr file =
        orvel::LoadPropertyFile("resources/MapScreen/cutscenelevels.txt");
    const orvel::AnyVector& flags = *file->GetList(PropertyKey("cutsceneLevels"));
    ASSERT_EQ(flags.Size(), size_t(CAMPAIGN_LEVELS));
    const std::set<int> stories = {3, 7, 11, 14};
    for (int level = 0; level < CAMPAIGN_LEVELS; ++level) {
        SCOPED_TRACE(level);
        EXPECT_EQ(flags.GetInt(size_t(level)), 0);
        const std::string next = Next("TARNMOORE_STATE_MapScreen", "Level" + std::to_string(level));
        if (stories.count(level) == 0) {
            EXPECT_EQ(next, LOADING);
            continue;
        }
        EXPECT_EQ(ClassOf(next), "TARNMOORE_STATE_SingleScreen");
        ExpectScreenWithPicture(next);
        EXPECT_EQ(Next(next, "Forward"), LOADING);
        EXPECT_EQ(Next(next, "Back"), "TARNMOORE_STATE_MapScreen");
    }
}

TEST_F(StoryFilesTest, HelpInALevelTurnsFivePagesAndReturnsToIt) {
    EXPECT_EQ(Next(GAME, "Help"), "TARNMOORE_STATE_InGameHelp1");
    for (int page = 1; page <= HELP_PAGES; ++page) {
        const std::string name = "TARNMOORE_STATE_InGameHelp" + std::to_string(page);
        const std::string before = "TARNMOORE_STATE_InGameHelp" + std::to_string(page - 1);
        const std::string after = "TARNMOORE_STATE_InGameHelp" + std::to_string(page + 1);
        EXPECT_EQ(ClassOf(name), "TARNMOORE_STATE_InGameSingleScreen");
        ExpectScreenWithPicture(name);
        EXPECT_EQ(Next(name, "Back"), page == 1 ? GAME : before);
        EXPECT_EQ(Next(name, "Forward"), page == HELP_PAGES ? GAME : after);
        EXPECT_EQ(Next(name, "Skip"), GAME);
    }
}

TEST_F(StoryFilesTest, TheSecondSplashFollowsTheFirstOnEitherRoad) {
    for (const char* trigger : {"Forward", "ForwardFirstTime"}) {
        EXPECT_EQ(Next("TARNMOORE_STATE_SplashScreen", trigger), "TARNMOORE_STATE_SplashScreen2");
        EXPECT_EQ(Next("TARNMOORE_STATE_SplashScreen2", trigger), "TARNMOORE_STATE_MainMenu");
    }
    EXPECT_EQ(ClassOf("TARNMOORE_STATE_SplashScreen2"), "TARNMOORE_STATE_SplashScreen2");
    ExpectScreenWithPicture("TARNMOORE_STATE_SplashScreen2");
}

}  // namespace
