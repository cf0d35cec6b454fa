#include "game/play/play_mode.h"

#include <gtest/gtest.h>

#include "engine/core/exception.h"

namespace {

orvel::Attributes Registry(int level) {
    orvel::Attributes registry;
    registry.SetInt(PropertyKey("TARNMOORE_CurrentLevel"), level);
    return registry;
}

TEST(PlayModeTest, CampaignGivesSideOneEveryControlAndTheComputerSideTwo) {
    orvel::Attributes registry = Registry(3);
    const PlayMode mode = ReadPlayMode(registry);
    EXPECT_EQ(mode.levelFolder, "resources/Level3");
    EXPECT_FALSE(mode.isSkirmishMode);
    EXPECT_TRUE(mode.mouseSteeringBlocked);
    EXPECT_EQ(mode.goodPurchaseControl, 25);
    EXPECT_EQ(mode.goodAirshipControl, 3);
    EXPECT_EQ(mode.badPurchaseControl, 0);
    EXPECT_EQ(mode.badAirshipControl, 0);
    EXPECT_TRUE(mode.cursorVisible);
}

TEST(PlayModeTest, SkirmishReadsItsControlsAndFolder) {
    orvel::Attributes registry = Registry(2);
    registry.SetBool(PropertyKey("isSkirmishMode"), true);
    registry.SetString(PropertyKey("levelPath"), "extra levels/Moor");
    PlayMode mode = ReadPlayMode(registry);
    EXPECT_EQ(mode.levelFolder, "extra levels/Moor");
    EXPECT_FALSE(mode.mouseSteeringBlocked);
    EXPECT_EQ(mode.goodPurchaseControl + mode.goodAirshipControl + mode.badPurchaseControl +
                  mode.badAirshipControl,
              0);
    EXPECT_FALSE(mode.cursorVisible);

    registry.SetInt(PropertyKey("goodAirshipControl"), 2);
    registry.SetInt(PropertyKey("badPurchaseControl"), 8);
    mode = ReadPlayMode(registry);
    EXPECT_EQ(mode.goodAirshipControl, 2);
    EXPECT_EQ(mode.badPurchaseControl, 8);
    EXPECT_FALSE(mode.cursorVisible);

    // A tutorial wins over skirmish for the folder; the controls stay skirmish's.
    registry.SetBool(PropertyKey("isTutorialLevel"), true);
    mode = ReadPlayMode(registry);
    EXPECT_EQ(mode.levelFolder, "resources/TutorialLevel2");
    EXPECT_EQ(mode.goodAirshipControl, 2);
}

TEST(PlayModeTest, CurrentLevelMustBeThere) {
    orvel::Attributes registry;
    EXPECT_THROW(ReadPlayMode(registry), orvel::ExceptionAttributeNotFound);
}

}  // namespace
