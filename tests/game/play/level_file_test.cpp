#include "game/play/level_file.h"

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "tests/game/play/level_text.h"
#include "tests/support/temp_folder.h"

namespace {

const char PATH[] = "Level9/level.txt";

std::string ErrorOf(const std::string& text, bool skirmish = false) {
    WriteFile(PATH, text);
    try {
        ReadLevelFile("Level9", skirmish);
    } catch (const orvel::Exception& error) {
        return error.What();
    }
    return "no error";
}

std::string Expected(const std::string& what) {
    return std::string("Error: Level file \"") + PATH + "\": " + what;
}

TEST(LevelFileTest, ReadsEveryKeyOfAValidLevel) {
    TempFolder folder;
    WriteFile(PATH, LevelText().Text());
    const LevelFile level = ReadLevelFile("Level9", false);

    EXPECT_EQ(level.path, PATH);
    EXPECT_EQ(level.music, "Level9/tune.ogg");
    EXPECT_EQ(level.skyLayer, "Level9/sky.bbq");
    EXPECT_EQ(level.mountainsLayer, "Level9/mountains.bbq");
    EXPECT_EQ(level.foreground,
              std::vector<std::string>({"Level9/ground.bbq", "Level9/ground.bbq"}));
    EXPECT_EQ(level.midground.size(), 2u);
    EXPECT_FLOAT_EQ(level.midgroundScrollRatio, 0.5f);
    EXPECT_EQ(level.nodeHeights, std::vector<int>({40, 60, 60, 40}));
    EXPECT_EQ(level.nodeSpacing, 400);
    ASSERT_EQ(level.placedObjects.size(), 2u);
    EXPECT_EQ(level.goodFactory, 0u);
    EXPECT_EQ(level.badFactory, 1u);
    const PlacedObject& bad = level.placedObjects[1];
    EXPECT_EQ(bad.team, TEAM_BAD);
    EXPECT_EQ(bad.type, STATIC_FACTORY);
    EXPECT_EQ(bad.priority, 0);
    EXPECT_FLOAT_EQ(bad.matrix[12], 1400.0f);
    EXPECT_FLOAT_EQ(bad.matrix[13], 40.0f);
    EXPECT_EQ(level.goodPurchaseMenu, PurchaseMenu({1, 1, 1, 0, 0, 0, 1}));
    EXPECT_TRUE(level.enemyAirship);
    EXPECT_FLOAT_EQ(level.purchaseTimePerUnit, 4.5f);
    EXPECT_FALSE(level.enemyBuy);
    // "tanks" begins with a unit name; "zeppelin" with none and counts as infantry.
    EXPECT_EQ(level.purchaseGroups, std::vector<std::vector<int>>({{2, 0}, {0, 6}}));
}

TEST(LevelFileTest, OptionalKeysKeepTheirDefaults) {
    TempFolder folder;
    LevelText text;
    for (const char* key : {"music", "skyLayer", "mountainsLayer", "midgroundScrollRatio",
                            "enemyAirship", "enemyBuy"}) {
        text.Set(key, "");
    }
    WriteFile(PATH, text.Text());
    const LevelFile level = ReadLevelFile("Level9", false);
    EXPECT_TRUE(level.music.empty());
    EXPECT_TRUE(level.skyLayer.empty());
    EXPECT_TRUE(level.mountainsLayer.empty());
    EXPECT_FLOAT_EQ(level.midgroundScrollRatio, 0.3f);
    EXPECT_TRUE(level.enemyAirship);
    EXPECT_FALSE(level.aiCapabilities);
    EXPECT_TRUE(level.enemyBuy);
}

TEST(LevelFileTest, SkirmishIgnoresTheComputerSidesKeys) {
    TempFolder folder;
    LevelText text;
    text.Set("purchaseTimePerUnit", "").Set("purchaseGroups", "");
    text.Set("enemyAirship",
             "bool enemyAirship: no\nstruct AI_COMPONENT_Capabilities {\nbool x: yes\n}\n");
    WriteFile(PATH, text.Text());
    const LevelFile level = ReadLevelFile("Level9", true);
    EXPECT_TRUE(level.enemyAirship);
    EXPECT_FALSE(level.aiCapabilities);
    EXPECT_FLOAT_EQ(level.purchaseTimePerUnit, SKIRMISH_PURCHASE_TIME_PER_UNIT);
    EXPECT_TRUE(level.purchaseGroups.empty());

    WriteFile(PATH, text.Set("purchaseTimePerUnit", "float purchaseTimePerUnit: 2\n")
                        .Set("purchaseGroups", "list list string purchaseGroups {\n}\n")
                        .Text());
    const LevelFile campaign = ReadLevelFile("Level9", false);
    EXPECT_FALSE(campaign.enemyAirship);
    ASSERT_TRUE(campaign.aiCapabilities);
    EXPECT_TRUE(campaign.aiCapabilities->GetBool(PropertyKey("x")));
}

struct BrokenCase {
    const char* what;
    const char* key;
    std::string section;  // replaces the key's section; empty drops it
    std::string message;  // after the file's name
};

TEST(LevelFileTest, BrokenLevelsGiveAClearErrorNamingFileAndKey) {
    TempFolder folder;
    const std::string factories =
        LevelText::Factory("team_good", 200) + LevelText::Factory("team_bad", 1400);
    const BrokenCase cases[] = {
        {"no foreground", "foreground", "", "\"foreground\" is missing."},
        {"no midground", "midground", "", "\"midground\" is missing."},
        {"no terrain", "nodeHeights", "", "\"nodeHeights\" is missing."},
        {"no spacing", "nodeSpacing", "", "\"nodeSpacing\" is missing."},
        {"no menu", "badPurchaseMenu", "", "\"badPurchaseMenu\" is missing."},
        {"no buying time", "purchaseTimePerUnit", "", "\"purchaseTimePerUnit\" is missing."},
        {"no groups", "purchaseGroups", "", "\"purchaseGroups\" is missing."},
        {"music not a string", "music", "int music: 3\n",
         "\"music\" must be a string, not an int."},
        {"spacing a float", "nodeSpacing", "float nodeSpacing: 40\n",
         "\"nodeSpacing\" must be an int, not a float."},
        {"ratio an int", "midgroundScrollRatio", "int midgroundScrollRatio: 1\n",
         "\"midgroundScrollRatio\" must be a float, not an int."},
        {"foreground a string", "foreground", "string foreground: \"a.bbq\"\n",
         "\"foreground\" must be a list, not a string."},
        {"tile an int", "foreground", "list int foreground {\n3\n}\n",
         "element 1 of \"foreground\" must be a string, not an int."},
        {"no tiles", "foreground", "list string foreground {\n}\n",
         "\"foreground\" names no tile."},
        {"airship flag an int", "enemyAirship", "int enemyAirship: 1\n",
         "\"enemyAirship\" must be a bool, not an int."},
        {"menu key missing", "goodPurchaseMenu", "struct goodPurchaseMenu {\nint infantry: 1\n}\n",
         "\"goodPurchaseMenu\": \"engineer\" is missing."},
        {"group entry an int", "purchaseGroups", "list list int purchaseGroups {\n{\n1\n}\n}\n",
         "element 1 of group 1 of \"purchaseGroups\" must be a string, not an int."},
        {"one node", "nodeHeights", "list int nodeHeights {\n40\n}\n",
         "\"nodeHeights\" needs at least two nodes."},
        {"node below ground", "nodeHeights", "list int nodeHeights {\n40\n-1\n}\n",
         "node 2 of \"nodeHeights\" is -1 pixels high; heights run from 0 to 500."},
        {"node above the sky", "nodeHeights", "list int nodeHeights {\n40\n501\n}\n",
         "node 2 of \"nodeHeights\" is 501 pixels high; heights run from 0 to 500."},
        {"zero spacing", "nodeSpacing", "int nodeSpacing: 0\n",
         "\"nodeSpacing\" must be above 0, not 0."},
        {"no placed objects", "placedObjects", "",
         "\"placedObjects\" holds no Static_Factory of team_good; each side needs one."},
        {"no bad factory", "placedObjects",
         "list struct placedObjects {\n" + LevelText::Factory("team_good", 200) + "}\n",
         "\"placedObjects\" holds no Static_Factory of team_bad; each side needs one."},
        {"two good factories", "placedObjects",
         "list struct placedObjects {\n" + factories + LevelText::Factory("team_good", 600) + "}\n",
         "\"placedObjects\" entries 1 and 3 are both a Static_Factory of team_good; a side has one "
         "factory."},
        {"object not a struct", "placedObjects", "list int placedObjects {\n1\n}\n",
         "element 1 of \"placedObjects\" must be a struct, not an int."},
        {"object without type", "placedObjects",
         "list struct placedObjects {\n" + factories + "{\nstring teamName: \"team_bad\"\n}\n}\n",
         "\"placedObjects\" entry 3: \"type\" is missing."},
        {"object with a short matrix", "placedObjects",
         "list struct placedObjects {\n" + factories +
             "{\nstring type: \"Tank\"\nlist float matrix {\n1\n2\n}\n}\n}\n",
         "\"placedObjects\" entry 3: \"matrix\" must hold 16 numbers, not 2."},
        {"object team an int", "placedObjects",
         "list struct placedObjects {\n" + factories + "{\nint teamName: 1\n}\n}\n",
         "\"placedObjects\" entry 3: \"teamName\" must be a string, not an int."},
    };
    for (const BrokenCase& c : cases) {
        EXPECT_EQ(ErrorOf(LevelText().Set(c.key, c.section).Text()), Expected(c.message)) << c.what;
    }
}

TEST(LevelFileTest, UnreadableFilesNameTheFile) {
    TempFolder folder;
    EXPECT_EQ(ErrorOf("int a: 1\nbogus\n"),
              Expected("line 2: Invalid element.  Expected primitive (float, int, string, etc), "
                       "struct or list."));
    boost::filesystem::remove(PATH);
    try {
        ReadLevelFile("Level9", false);
        ADD_FAILURE() << "a missing level file read";
    } catch (const orvel::ExceptionFileNotFound& error) {
        EXPECT_NE(error.What().find(PATH), std::string::npos) << error.What();
    }
}

TEST(LevelFileTest, SkirmishPurchaseGroupsFileIsCheckedLikeALevel) {
    TempFolder folder;
    WriteFile("groups.txt",
              "list list string purchaseGroups {\n{\n\"engineers\"\n\"autoGyro\"\n}\n}\n");
    EXPECT_EQ(ReadPurchaseGroupsFile("groups.txt"), std::vector<std::vector<int>>({{1, 5}}));
    WriteFile("groups.txt", "int purchaseGroups: 1\n");
    try {
        ReadPurchaseGroupsFile("groups.txt");
        ADD_FAILURE() << "read";
    } catch (const orvel::Exception& error) {
        EXPECT_EQ(
            error.What(),
            "Error: Level file \"groups.txt\": \"purchaseGroups\" must be a list, not an int.");
    }
}

TEST(LevelFileTest, MidgroundWidthFollowsTheScrollRatio) {
    EXPECT_FLOAT_EQ(RequiredMidgroundWidth(1024.0f, 0.9f), 1024.0f);
    EXPECT_FLOAT_EQ(RequiredMidgroundWidth(800.0f, 0.3f), 1024.0f);
    EXPECT_NEAR(RequiredMidgroundWidth(3024.0f, 0.3f), 1624.0f, 0.01f);
}

TEST(ProductTest, GroupEntriesMatchByTheirBeginning) {
    const std::pair<const char*, int> cases[] = {
        {"infantry", 0}, {"engineer", 1}, {"tank", 2},   {"tanks", 2}, {"flakTruck", 3},
        {"balloon", 4},  {"autoGyro", 5}, {"buster", 6}, {"Tank", 0},  {"", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProductOfGroupEntry(c.first), c.second) << c.first;
    }
    EXPECT_EQ(ProductObjectName(4).GetName(), "BalloonBomb");
}

}  // namespace

namespace {

TEST(LevelFileTest, LevelZeroReads) {
    const LevelFile level = ReadLevelFile("resources/Level0", false);
    EXPECT_EQ(level.foreground.size(), 5u);
    EXPECT_EQ(level.placedObjects[level.goodFactory].team, TEAM_GOOD);
    EXPECT_EQ(level.placedObjects[level.badFactory].team, TEAM_BAD);
    ASSERT_TRUE(level.aiCapabilities);
    EXPECT_FALSE(level.purchaseGroups.empty());
}

}  // namespace
