#include "game/play/level_progress.h"

#include <gtest/gtest.h>

namespace {

const PropertyKey HIGHEST("TARNMOORE_HighestLevelReached");
const PropertyKey HIGHEST_TUTORIAL("TARNMOORE_HighestTutorialLevelReached");
const PropertyKey MEDALS("TARNMOORE_LevelMedals");

struct Progress {
    orvel::Properties settings;
    orvel::Attributes registry;

    Progress(int highest, std::vector<int> medals) {
        settings.SetInt(HIGHEST, highest);
        settings.SetInt(HIGHEST_TUTORIAL, 1);
        const orvel::AnyVectorPtr list = std::make_shared<orvel::AnyVector>();
        for (size_t i = 0; i < medals.size(); ++i) {
            list->SetInt(i, medals[i]);
        }
        settings.SetList(MEDALS, list);
    }

    WinBadge Win(int level, int difficulty) {
        registry.SetInt(PropertyKey("TARNMOORE_CurrentLevel"), level);
        registry.SetInt(PropertyKey("difficulty"), difficulty);
        return RecordWin(settings, registry);
    }

    std::vector<int> Medals() const {
        std::vector<int> values;
        const orvel::AnyVectorPtr list = settings.GetList(MEDALS);
        for (size_t i = 0; i < list->Size(); ++i) {
            values.push_back(list->GetInt(i));
        }
        return values;
    }
};

TEST(LevelProgressTest, WinningTheNewestLevelOpensTheNextWithItsMedal) {
    Progress progress(2, {1, 2});
    EXPECT_EQ(progress.Win(2, 0), WinBadge::Cadet);
    EXPECT_EQ(progress.settings.GetInt(HIGHEST), 3);
    EXPECT_EQ(progress.Medals(), std::vector<int>({1, 2, 0}));
}

TEST(LevelProgressTest, ReplayingKeepsTheBestMedal) {
    Progress progress(3, {1, 2, 0});
    EXPECT_EQ(progress.Win(1, 0), WinBadge::Cadet);
    EXPECT_EQ(progress.Medals(), std::vector<int>({1, 2, 0}));
    EXPECT_EQ(progress.Win(0, 2), WinBadge::Hero);
    EXPECT_EQ(progress.Win(2, 1), WinBadge::Veteran);
    EXPECT_EQ(progress.Medals(), std::vector<int>({2, 2, 1}));
    EXPECT_EQ(progress.settings.GetInt(HIGHEST), 3);
}

TEST(LevelProgressTest, TutorialAndSkirmishShowNoBadge) {
    Progress progress(0, {});
    progress.registry.SetBool(PropertyKey("isTutorialLevel"), true);
    EXPECT_EQ(progress.Win(1, 1), WinBadge::None);
    EXPECT_EQ(progress.settings.GetInt(HIGHEST_TUTORIAL), 2);
    EXPECT_EQ(progress.settings.GetInt(HIGHEST), 0);

    progress.registry.SetBool(PropertyKey("isTutorialLevel"), false);
    progress.registry.SetBool(PropertyKey("isSkirmishMode"), true);
    EXPECT_EQ(progress.Win(0, 1), WinBadge::None);
    EXPECT_EQ(progress.settings.GetInt(HIGHEST), 0);
    EXPECT_TRUE(progress.Medals().empty());
}

TEST(LevelProgressTest, BadgePictures) {
    EXPECT_STREQ(BadgePicture(WinBadge::Cadet), "cadetbadge.bbq");
    EXPECT_STREQ(BadgePicture(WinBadge::Veteran), "veteranbadge.bbq");
    EXPECT_STREQ(BadgePicture(WinBadge::Hero), "herobadge.bbq");
}

}  // namespace
