#include <cmath>

#include "game/play/control_input.h"
#include "game/play/play_field.h"
#include "game/units/components/goto_component.h"
#include "game/units/components/magnet_component.h"
#include "game/units/unit_message.h"
#include "tests/game/play/play_fixture.h"

namespace {

// Level0's flat ground by the player's factory: pixels.
const float FLAT_X = 640.0f;
const float FLAT_Y = 112.0f;

orvel::Vector4 PixelsOf(const orvel::Body& body) {
    const orvel::Vector4 p = body.GetPosition();
    return orvel::Vector4(p.x * WORLD_SCALE, p.y * WORLD_SCALE, 0.0f);
}

ScriptedFrame Keys(std::set<int> keys) {
    ScriptedFrame frame;
    frame.keys = std::move(keys);
    return frame;
}

ScriptedFrame Mouse(int x, int y, int buttons) {
    ScriptedFrame frame;
    frame.mouseX = x;
    frame.mouseY = y;
    frame.mouseButtons = buttons;
    return frame;
}

// The player flies Level0's airship with scripted keys, mouse and joystick.
class AirshipControlsTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        StartLevel();
        Run(1);
    }

    // Plays a skirmish of Level0 in which side 1 steers with `control`.
    void StartSkirmish(int control) {
        game.reset();
        orvel::Attributes& registry = orvel::GlobalProperties();
        registry.SetBool(PropertyKey("isSkirmishMode"), true);
        registry.SetString(PropertyKey("levelPath"), "resources/Level0");
        registry.SetInt(PropertyKey("goodAirshipControl"), control);
        registry.SetInt(PropertyKey("goodPurchaseControl"), CONTROL_NUMBER_ROW);
        StartLevel();
        Run(1);
    }

    // The click that started the level comes up: from now on the mouse steers.
    void ReleaseStartingClick() {
        Run(2, [](int i) { return Mouse(400, 300, i == 0 ? 1 : 0); });
    }

    // Holds the frame for `frames` frames, then lets every key and button
    // go for one, the mouse staying where it is.
    void Hold(const ScriptedFrame& frame, int frames) {
        Run(frames, [&](int) { return frame; });
        Run(1, [&](int) { return Mouse(frame.mouseX, frame.mouseY, 0); });
    }

    // Clicks once at a screen point: down for a frame, then up.
    void Click(int x, int y) {
        Run(2, [&](int i) { return Mouse(x, y, i == 0 ? 1 : 0); });
    }

    ComponentBody& Airship() const { return *game->GetGoodAirship(); }
    orvel::Vector4 AirshipAt() const { return PixelsOf(Airship()); }

    GotoComponent& Goto() const {
        return *static_cast<GotoComponent*>(Airship().GetComponent(PropertyKey("GotoComponent")));
    }

    MagnetComponent& Magnet() const {
        return *static_cast<MagnetComponent*>(
            Airship().GetComponent(PropertyKey("MagnetComponent")));
    }

    ComponentBodyPtr Stand(const char* type, float x) {
        const ComponentBodyPtr unit = std::make_shared<ComponentBody>();
        unit->SpawnUnit(&World(), game->GetSpriteManager().get(), game->GetSoundManager().get(),
                        game->GetObjectProperties(), PropertyKey(type), TEAM_GOOD);
        unit->SetPosition(orvel::Vector4(x / WORLD_SCALE, (FLAT_Y + 16.0f) / WORLD_SCALE, 0.0f));
        World().AddBody(unit);
        Run(30);
        return unit;
    }

    void SetMagnetToggle(int toggle) {
        orvel::GlobalProperties()
            .GetProperties(PropertyKey("TARNMOORE_Settings"))
            ->SetInt(PropertyKey("TARNMOORE_MagnetToggle"), toggle);
    }
};

TEST_F(AirshipControlsTest, ArrowKeysThrustEachWay) {
    struct Case {
        int key;
        float dx;  // sign of the expected move along x, and along y
        float dy;
    };
    const Case cases[] = {{KEY_RIGHT, 1, 0}, {KEY_LEFT, -1, 0}, {KEY_UP, 0, 1}, {KEY_DOWN, 0, -1}};
    for (const Case& c : cases) {
        const orvel::Vector4 before = AirshipAt();
        Hold(Keys({c.key}), 40);
        const orvel::Vector4 after = AirshipAt();
        EXPECT_GT((after.x - before.x) * c.dx + (after.y - before.y) * c.dy, 10.0f)
            << "key " << c.key;
        // Brake to a standstill for the next case.
        Hold(Keys({c.dx > 0 ? KEY_LEFT : c.dx < 0 ? KEY_RIGHT : c.dy > 0 ? KEY_DOWN : KEY_UP}), 40);
    }
    EXPECT_EQ(Fired(), "");
}

// Skirmish lets the player pick the devices: here W A S D and the joystick,
// so the arrow keys do nothing.
TEST_F(AirshipControlsTest, OnlyTheChosenDevicesSteer) {
    StartSkirmish(CONTROL_LETTER_KEYS | CONTROL_JOYSTICK);
    Goto().SetActive(false);
    const orvel::Vector4 start = AirshipAt();
    Hold(Keys({KEY_RIGHT, KEY_UP}), 60);
    EXPECT_NEAR(AirshipAt().x, start.x, 2.0f) << "arrow keys are off";
    EXPECT_NEAR(AirshipAt().y, start.y, 2.0f);

    Hold(Keys({KEY_D}), 60);
    EXPECT_GT(AirshipAt().x, start.x + 30.0f) << "D thrusts right";
    ScriptedFrame stick;
    stick.joystick = orvel::JOYSTICK_UP;
    Hold(stick, 60);
    EXPECT_GT(AirshipAt().y, start.y + 30.0f) << "the stick thrusts up";
}

// A side 1 that the computer flies has no pilot to tell about a lost
// airship, and its airship is not lost.
TEST_F(AirshipControlsTest, NoDeathHintForAnAirshipThatFlies) {
    StartSkirmish(0);
    EXPECT_EQ(game->GetGoodAirship()->GetObjectName(), PropertyKey("GoodAirShip_AI"));
    Run(30, [](int) { return Keys({KEY_UP}); });
    EXPECT_FALSE(game->GetTutorialDialog().IsShowing());
}

TEST_F(AirshipControlsTest, AClickedPointIsWhereTheAirshipFlies) {
    // The click that started a campaign level does not steer.
    Click(700, 300);
    EXPECT_EQ(game->GetGotoMarker()->alpha, 0.0f);
    ReleaseStartingClick();

    // The airship at 560 pixels keeps the view at the left (it shows at
    // 400): screen (700, 300) is play-field point (860, 200).
    Click(700, 300);
    EXPECT_EQ(game->GetGotoMarker()->alpha, 1.0f);
    EXPECT_FLOAT_EQ(game->GetGotoMarker()->GetX(), 860.0f);
    EXPECT_FLOAT_EQ(game->GetGotoMarker()->GetY(), 200.0f);
    ASSERT_TRUE(Goto().IsActive());
    Run(600);
    EXPECT_NEAR(AirshipAt().x, 860.0f, 30.0f);
    EXPECT_NEAR(AirshipAt().y, 200.0f, 30.0f);

    // Thrust keys take over at once: the target goes, and so does the marker.
    Run(1, [](int) { return Keys({KEY_UP}); });
    EXPECT_FALSE(Goto().IsActive());
    EXPECT_EQ(game->GetGotoMarker()->alpha, 0.0f);
}

TEST_F(AirshipControlsTest, AClickOnTheMinimapFliesAcrossTheLevel) {
    ReleaseStartingClick();
    // Level0 is 2560 pixels wide: its minimap is 512 wide from x = 144.
    // Beside the minimap a click does nothing.
    for (int x : {100, 700}) {
        Goto().SetActive(false);
        Hold(Mouse(x, 550, 1), 2);
        EXPECT_FALSE(Goto().IsActive()) << "click at " << x;
    }
    // x 444 is 300 pixels into it: level x 1500; 50 pixels above the
    // screen's bottom is half the play height: level y 250.
    Hold(Mouse(444, 550, 1), 2);
    EXPECT_TRUE(Goto().IsActive());
    EXPECT_FLOAT_EQ(game->GetGotoMarker()->GetX(), 1500.0f);
    EXPECT_FLOAT_EQ(game->GetGotoMarker()->GetY(), 250.0f);
    EXPECT_EQ(game->GetGotoMarker()->alpha, 1.0f);
    Run(900);
    EXPECT_NEAR(AirshipAt().x, 1500.0f, 40.0f);
    EXPECT_NEAR(AirshipAt().y, 250.0f, 40.0f);
    // The view followed it.
    game->Draw();
    EXPECT_NEAR(game->GetScrollFraction(), (AirshipAt().x - 400.0f) / (2560.0f - 800.0f), 0.01f);
}

TEST_F(AirshipControlsTest, ThePurchaseBarDoesNotSteer) {
    ReleaseStartingClick();
    Goto().SetActive(false);
    Hold(Mouse(200, 30, 1), 30);
    EXPECT_FALSE(Goto().IsActive());
    EXPECT_EQ(game->GetGotoMarker()->alpha, 0.0f);
}

// The pointer over a unit picks it: a click makes it the target, and the
// airship follows it.
TEST_F(AirshipControlsTest, AClickOnAUnitFollowsIt) {
    ReleaseStartingClick();
    const ComponentBodyPtr tank = Stand("Tank", 900.0f);
    const orvel::Vector4 at = PixelsOf(*tank);
    // The tank in screen pixels: the airship shows in the screen's middle.
    const int x = int(at.x - (AirshipAt().x - 400.0f));
    const int y = int(float(PLAY_HEIGHT) - at.y);
    Run(1, [&](int) { return Mouse(x, y, 0); });
    EXPECT_EQ(game->GetHoveredBody(), tank.get()) << "the pointer over the tank picks it";
    Click(x, y);
    EXPECT_TRUE(Goto().IsTargetBody());
    EXPECT_EQ(game->GetGotoMarker()->alpha, 0.0f) << "no marker on a unit";
    // A unit that goes away is let go.
    tank->SendMessage(MESSAGE_REMOVE, 0);
    Run(2);
    EXPECT_EQ(game->GetHoveredBody(), nullptr);
}

TEST_F(AirshipControlsTest, MagnetInToggleAndHoldModes) {
    const ComponentBodyPtr infantry = Stand("Infantry", FLAT_X);
    const orvel::Vector4 at = PixelsOf(*infantry);
    Airship().SetPosition(orvel::Vector4(at.x / WORLD_SCALE, (FLAT_Y + 68.0f) / WORLD_SCALE, 0.0f));
    Goto().SetActive(false);

    // Toggle mode, the default: each press of Ctrl switches it.
    SetMagnetToggle(1);
    Hold(Keys({KEY_LEFT_CTRL}), 6);
    EXPECT_TRUE(game->IsMagnetOn());
    EXPECT_TRUE(Magnet().IsActive());
    ASSERT_EQ(Magnet().GetHeldBodies().size(), 1u) << "the magnet takes the soldier under it";
    EXPECT_EQ(VoicesPlaying("snd_magnet_on"), 1) << "and hums";
    // Up, carrying the soldier.
    Hold(Keys({KEY_UP}), 60);
    EXPECT_TRUE(game->IsMagnetOn()) << "letting go of Ctrl leaves it on";
    EXPECT_GT(PixelsOf(*infantry).y, at.y + 30.0f);
    Hold(Keys({KEY_RIGHT_CTRL}), 1);
    EXPECT_FALSE(game->IsMagnetOn());
    EXPECT_FALSE(Magnet().IsActive());
    EXPECT_TRUE(Magnet().GetHeldBodies().empty());

    // Hold mode: on while held, off when let go.
    SetMagnetToggle(0);
    Run(5, [](int) { return Keys({KEY_LEFT_CTRL}); });
    EXPECT_TRUE(game->IsMagnetOn());
    EXPECT_TRUE(Magnet().IsActive());
    Run(1);
    EXPECT_FALSE(game->IsMagnetOn());
    EXPECT_FALSE(Magnet().IsActive());

    // The joystick's button is no magnet key on a campaign level.
    ScriptedFrame button;
    button.joystick = 1;
    Run(3, [&](int) { return button; });
    EXPECT_FALSE(game->IsMagnetOn());
}

}  // namespace
