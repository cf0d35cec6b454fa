#include <cmath>

#include "engine/core/exception.h"
#include "game/play/control_input.h"
#include "game/play/play_field.h"
#include "game/play/tutorial_dialog.h"
#include "tests/game/play/play_fixture.h"

namespace {

const PropertyKey DEATH("TUTORIAL_DIALOG_Death");
const PropertyKey WELCOME("TUTORIAL_DIALOG_Welcome");
const PropertyKey DIALOG_PTR("TARNMOORE_GLOBALS_TutorialDialogPtr");

ScriptedFrame Keys(std::set<int> keys) {
    ScriptedFrame frame;
    frame.keys = std::move(keys);
    return frame;
}

class TutorialDialogTest : public PlayFixture {
protected:
    TutorialDialogTest() { campaignHintsSeen = false; }

    void SetUp() override {
        PlayFixture::SetUp();
        StartLevel();
        Run(1);
    }

    TutorialDialog& Dialog() const { return game->GetTutorialDialog(); }

    orvel::PropertiesPtr PlayedFlags() const {
        return orvel::GlobalProperties()
            .GetProperties(PropertyKey("TARNMOORE_Settings"))
            ->GetStruct(PropertyKey("TUTORIAL_DIALOG_DialogPlayedFlags"));
    }

    // Frames until the box has risen.
    void RunUntilShown() {
        for (int i = 0; i < 60 && Dialog().GetPhase() != TutorialDialog::SHOWN; ++i) {
            Run(1);
        }
        ASSERT_EQ(Dialog().GetPhase(), TutorialDialog::SHOWN);
    }

    void Press(int key) {
        Run(1, [&](int) { return Keys({key}); });
    }
};

TEST_F(TutorialDialogTest, TheDeathHintShowsOnce) {
    EXPECT_EQ(PlayedFlags()->GetInt(DEATH), 0);
    game->GetGoodAirship()->SetAlive(false);
    Run(2);
    ASSERT_TRUE(Dialog().IsShowing());
    EXPECT_FALSE(Dialog().IsArrowShown());
    EXPECT_EQ(PlayedFlags()->GetInt(DEATH), 1) << "kept in the settings";
    RunUntilShown();
    // Escape sends the box away; it does not pause the game.
    Press(59);
    EXPECT_FALSE(game->IsPaused());
    EXPECT_EQ(Dialog().GetPhase(), TutorialDialog::DISAPPEARING);
    Run(40);
    EXPECT_FALSE(Dialog().IsShowing());
    EXPECT_FALSE(Dialog().GetDialog()) << "the box is let go";
    Run(120);
    EXPECT_FALSE(Dialog().IsShowing()) << "the airship is still lost, but the hint was given";

    // Reset from the options screen: the hint can show again, in a later
    // level, even with no level running at the time.
    game.reset();
    ResetTutorialTriggers();
    EXPECT_EQ(PlayedFlags()->GetInt(DEATH), 0);
    EXPECT_FALSE(orvel::GlobalProperties().GetBool(PropertyKey("spawnedUnit")));
    EXPECT_FALSE(orvel::GlobalProperties().GetBool(PropertyKey("GoodVehicleStopped")));
    StartLevel();
    game->GetGoodAirship()->SetAlive(false);
    Run(2);
    EXPECT_TRUE(Dialog().IsShowing());
}

TEST_F(TutorialDialogTest, NoHintsWhenTheyAreSwitchedOff) {
    SetTutorialDialogsEnabled(0);
    EXPECT_FALSE(TutorialDialogsEnabled());
    game->GetGoodAirship()->SetAlive(false);
    Run(30);
    EXPECT_FALSE(Dialog().IsShowing());
}

// While the box shows, the frame belongs to it: the world stands still.
TEST_F(TutorialDialogTest, TheBoxRisesWaitsAndSinks) {
    Dialog().Show(WELCOME, 0.0f, 0.0f, false);
    const orvel::Vector4 airship = game->GetGoodAirship()->GetPosition();
    const int height = Dialog().GetDialog()->GetHeight();
    Run(17, [](int) { return Keys({KEY_UP}); });
    EXPECT_EQ(Dialog().GetPhase(), TutorialDialog::APPEARING);
    EXPECT_GT(Dialog().GetDialog()->y, height / 2) << "the box rises fast at first";
    EXPECT_LT(Dialog().GetDialog()->y, height);
    RunUntilShown();
    EXPECT_EQ(Dialog().GetDialog()->y, height);
    EXPECT_EQ(game->GetGoodAirship()->GetPosition().y, airship.y) << "nothing moved";

    // Arrow keys dismiss it only after a second of showing; Space at once.
    Run(30);
    Press(KEY_LEFT);
    EXPECT_EQ(Dialog().GetPhase(), TutorialDialog::SHOWN) << "half a second";
    Run(36);
    Press(KEY_LEFT);
    EXPECT_EQ(Dialog().GetPhase(), TutorialDialog::DISAPPEARING) << "1.1 seconds";
    Run(40);
    EXPECT_FALSE(Dialog().IsShowing());

    Dialog().Show(WELCOME, 0.0f, 0.0f, false);
    RunUntilShown();
    Press(KEY_SPACE);
    EXPECT_EQ(Dialog().GetPhase(), TutorialDialog::DISAPPEARING);
    // A second box waits for the first to go.
    Dialog().Show(DEATH, 0.0f, 0.0f, false);
    EXPECT_EQ(Dialog().GetPhase(), TutorialDialog::DISAPPEARING);
}

TEST_F(TutorialDialogTest, TheArrowFliesFromTheFarCornerAndStopsShort) {
    struct Case {
        float x;
        float y;
        float startX;
        float startY;
        float angle;
    };
    const Case cases[] = {
        {700, 450, 0, 0, 270},
        {700, 200, 0, 600, 180},
        {100, 450, 800, 0, 0},
        {100, 200, 800, 600, 90},
    };
    for (const Case& c : cases) {
        Dialog().Show(WELCOME, c.x, c.y, true);
        ASSERT_TRUE(Dialog().IsArrowShown());
        EXPECT_EQ(Dialog().GetArrowAngle(), c.angle);
        EXPECT_NEAR(Dialog().GetArrowPoint().x, c.startX, 0.01f);
        EXPECT_NEAR(Dialog().GetArrowPoint().y, c.startY, 0.01f);
        RunUntilShown();
        const orvel::PointF end = Dialog().GetArrowPoint();
        const float toTarget = std::hypot(c.x - end.x, c.y - end.y);
        const float toStart = std::hypot(c.startX - end.x, c.startY - end.y);
        EXPECT_NEAR(toTarget, 55.0f, 1.5f) << c.x << ", " << c.y;
        EXPECT_NEAR(toStart + toTarget, std::hypot(c.x - c.startX, c.y - c.startY), 0.5f)
            << "on the line from the corner";
        Press(KEY_ENTER);
        Run(40);
        ASSERT_FALSE(Dialog().IsShowing());
    }
    // Without a target, no arrow; a point of the play field is a target.
    Dialog().Show(WELCOME, 0.0f, 0.0f, false);
    EXPECT_FALSE(Dialog().IsArrowShown());
    Press(KEY_ENTER);
    RunUntilShown();
    Press(KEY_ENTER);
    Run(40);
    Dialog().Show(WELCOME, 0.0f, 5.0f, false);
    EXPECT_TRUE(Dialog().IsArrowShown());
    EXPECT_EQ(Dialog().GetArrowAngle(), 90.0f) << "(0, 250) on the screen: from the top right";
}

// Other screens reach the dialog through the registry only while it lives.
TEST_F(TutorialDialogTest, TheRegistryPointsAtTheDialogWhileItLives) {
    EXPECT_EQ(orvel::GlobalProperties().GetTutorialDialog(DIALOG_PTR), &Dialog());
    game.reset();
    EXPECT_FALSE(orvel::GlobalProperties().Contains(DIALOG_PTR));
}

TEST_F(TutorialDialogTest, AMissingTextThrows) {
    EXPECT_THROW(Dialog().Show(PropertyKey("TUTORIAL_DIALOG_NoSuchHint"), 0.0f, 0.0f, false),
                 orvel::ExceptionPropertyNotFound);
    EXPECT_FALSE(Dialog().IsShowing());
}

}  // namespace
