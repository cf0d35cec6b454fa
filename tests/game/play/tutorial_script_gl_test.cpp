#include <cmath>
#include <string>

#include "game/play/control_input.h"
#include "game/play/tutorial_dialog.h"
#include "game/units/components/factory_component.h"
#include "game/units/components/sprite_component.h"
#include "game/units/components/turret_component.h"
#include "game/units/unit_message.h"
#include "physics_sdk/phys.h"
#include "tests/game/play/play_fixture.h"

namespace {

const float SCALE = 30.0f;
// Where Brassfield Downs stands its factories, in pixels.
const float GOOD_FACTORY_X = 512.0f;
const float BAD_FACTORY_X = 2128.0f;
const float CRUISE_Y = 320.0f;
// Where the second and third lessons stand the enemy's turret.
const float AA_TURRET_X = 1760.0f;
const float ARTILLERY_X = 1984.0f;
// Half way between the factories, out of every gun's reach.
const float MIDDLE_X = 1100.0f;

ScriptedFrame Keys(std::set<int> keys) {
    ScriptedFrame frame;
    frame.keys = std::move(keys);
    return frame;
}

// Plays the tutorial levels and the hints of a campaign level through the
// airship's tutorial script.
class TutorialScriptTest : public PlayFixture {
protected:
    TutorialScriptTest() { campaignHintsSeen = false; }

    void StartTutorial(int number) {
        orvel::GlobalProperties().SetBool(PropertyKey("isTutorialLevel"), true);
        SetLevel(number);
        StartLevel();
    }

    // A tutorial level played long enough for the hints of every level (a
    // full purse, a long fight) to come up: those are tested on their own
    // and marked seen here, so that only the lesson's steps show.
    void StartLesson(int number) {
        StartTutorial(number);
        for (const char* hint : {"TUTORIAL_DIALOG_FullMoney", "TUTORIAL_DIALOG_LongTimeToWin"}) {
            Dialog().SetPlayed(PropertyKey(hint), 1);
        }
    }

    TutorialDialog& Dialog() { return game->GetTutorialDialog(); }

    bool Shown(const char* step) {
        return Dialog().WasShownThisLevel(PropertyKey(std::string("TUTORIAL_DIALOG_") + step));
    }

    // Frames without input until a dialog shows; false when none does.
    bool RunUntilShowing(int limit, const std::function<ScriptedFrame(int)>& script = nullptr) {
        for (int i = 0; i < limit && !Dialog().IsShowing(); ++i) {
            Run(1, script ? [&](int) { return script(i); } : std::function<ScriptedFrame(int)>());
        }
        return Dialog().IsShowing();
    }

    // Space takes the risen dialog down; it is gone once it has slid away.
    // The keys `held` stay down all the while (the magnet's Ctrl).
    void Dismiss(const std::set<int>& held = {}) {
        ASSERT_TRUE(Dialog().IsShowing());
        const auto hold = [&](int) { return Keys(held); };
        for (int i = 0; i < 60 && Dialog().GetPhase() != TutorialDialog::SHOWN; ++i) {
            Run(1, hold);
        }
        Run(1, [&](int) {
            std::set<int> keys = held;
            keys.insert(KEY_SPACE);
            return Keys(keys);
        });
        for (int i = 0; i < 120 && Dialog().IsShowing(); ++i) {
            Run(1, hold);
        }
        ASSERT_FALSE(Dialog().IsShowing());
    }

    // Puts the airship at rest at (x, y) pixels, as if it had flown there.
    void MoveAirship(float x, float y) {
        game->GetGoodAirship()->SetPosition(orvel::Vector4(x / SCALE, y / SCALE, 0.0f));
        const float still[3] = {0.0f, 0.0f, 0.0f};
        PhysBodySetVelocity(game->GetGoodAirship()->GetPhysBody(), still);
    }

    // Lets an engineer of side 1 into side 2's factory, as if it had walked in.
    void TakeEnemyFactory() {
        ComponentBody* factoryBody = game->GetBadFactoryBody();
        const ComponentBodyPtr engineer = std::make_shared<ComponentBody>();
        engineer->SpawnUnit(&World(), game->GetSpriteManager().get(), game->GetSoundManager().get(),
                            game->GetObjectProperties(), PropertyKey("Engineer"), 1);
        engineer->SetPosition(factoryBody->GetPosition());
        World().AddBody(engineer);
        game->GetBadFactory()->OnContact(nullptr, nullptr, engineer.get());
    }

    // A unit of the definitions placed at x pixels, 60 pixels above the ground.
    ComponentBodyPtr Place(const char* type, int team, float x) {
        const ComponentBodyPtr unit = std::make_shared<ComponentBody>();
        unit->SpawnUnit(&World(), game->GetSpriteManager().get(), game->GetSoundManager().get(),
                        game->GetObjectProperties(), PropertyKey(type), team);
        unit->SetPosition(orvel::Vector4(x / SCALE, CRUISE_Y / SCALE - 2.0f, 0.0f));
        World().AddBody(unit);
        return unit;
    }

    // The first unit of the team and type in the world that shows the
    // sprite state; fails the test when there is none.
    ComponentBody* Unit(int team, const char* type, const char* state = "moving") {
        ComponentBody* unit = FindUnit(team, type, state);
        if (unit == nullptr) {
            ADD_FAILURE() << "no " << state << " " << type << " of team " << team;
        }
        return unit;
    }

    // The same, or null.
    ComponentBody* FindUnit(int team, const char* type, const char* state) {
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        World().CopyBodyList(bodies);
        for (const auto& body : bodies) {
            auto* unit = dynamic_cast<ComponentBody*>(body.get());
            const auto* sprite = unit == nullptr ? nullptr
                                                 : dynamic_cast<const SpriteComponent*>(
                                                       unit->GetComponent(PropertyKey("SpriteComponent")));
            if (sprite != nullptr && unit->GetTeam() == team &&
                unit->GetObjectName() == PropertyKey(type) &&
                sprite->GetStateName() == PropertyKey(state)) {
                return unit;
            }
        }
        return nullptr;
    }

    // The player's airship's speed along x, world units a second.
    float VelocityX() {
        float velocity[3] = {};
        PhysBodyGetVelocity(game->GetGoodAirship()->GetPhysBody(), velocity);
        return velocity[0];
    }

    // The first body of the team and type in the world, or null.
    orvel::Body* FindBody(int team, const char* type) {
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        World().CopyBodyList(bodies);
        for (const auto& body : bodies) {
            if (body->GetTeam() == team && body->GetObjectName() == PropertyKey(type)) {
                return body.get();
            }
        }
        return nullptr;
    }

    // Runs until the level hands over to the next screen; the trigger fired.
    std::string RunToEnd(int limit) {
        Run(limit);
        return Fired();
    }

    // Every body's place, to tell a play field that runs from one that
    // stands still.
    std::vector<float> Places() {
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        World().CopyBodyList(bodies);
        std::vector<float> places;
        for (const auto& body : bodies) {
            places.push_back(body->GetMatrix().m[12]);
            places.push_back(body->GetMatrix().m[13]);
        }
        return places;
    }

    // Frames of `script` until a dialog shows, at most `limit`. Passes when
    // that dialog is `step`, shown only now, and the play field stands still
    // under it for half a second while the keys `held` stay down.
    ::testing::AssertionResult ShowsStep(const char* step, int limit,
                                         const std::function<ScriptedFrame(int)>& script = nullptr,
                                         const std::set<int>& held = {}) {
        if (Shown(step)) {
            return ::testing::AssertionFailure() << step << " was marked before";
        }
        if (!RunUntilShowing(limit, script)) {
            return ::testing::AssertionFailure()
                   << step << " did not show in " << limit << " frames";
        }
        if (!Shown(step)) {
            return ::testing::AssertionFailure()
                   << "another dialog showed before " << step << " fuel " << Fuel() << " refuel "
                   << Dialog().IsPlayed(PropertyKey("TUTORIAL_DIALOG_Refuelling"));
        }
        const std::vector<float> before = Places();
        Run(30, [&](int) { return Keys(held); });
        if (!Dialog().IsShowing() || Places() != before) {
            return ::testing::AssertionFailure() << "the play field ran under " << step;
        }
        return ::testing::AssertionSuccess();
    }

    // The purchase bar's slot `slot` (0 infantry, 1 engineer, 2 tank) by
    // the number row.
    void Buy(int slot) {
        Run(1, [&](int) { return Keys({KEY_NUMBER_ROW_1 + slot}); });
    }

    // Keeps the airship at rest at height `y` over the body's x while
    // `frames` run or until `done`.
    void Follow(const orvel::Body& body, float y, int frames, const std::function<bool()>& done) {
        for (int i = 0; i < frames && !done(); ++i) {
            MoveAirship(body.GetMatrix().m[12] * SCALE, y);
            Run(1);
        }
    }

    // Flies the airship with the arrow keys to x pixels and brings it to a
    // halt there; the keys also end the flight to where the airship started,
    // which would otherwise go on burning fuel.
    void FlyTo(float x) {
        const auto airshipX = [&] { return game->GetGoodAirship()->GetMatrix().m[12] * SCALE; };
        const int toward = airshipX() < x ? KEY_RIGHT : KEY_LEFT;
        Run(1, [&](int) { return Keys({toward}); });
        for (int i = 0; i < 30 * 60 && std::fabs(airshipX() - x) > 60.0f; ++i) {
            Run(1, [&](int) { return Keys({toward}); });
        }
        for (int i = 0; i < 5 * 60 && std::fabs(VelocityX()) > 0.2f; ++i) {
            Run(1, [&](int) { return Keys({VelocityX() > 0.0f ? KEY_LEFT : KEY_RIGHT}); });
        }
    }

    // The x in pixels of the team's unit of the type that has come furthest
    // towards the other side, 0 when there is none.
    float ForemostX(int team, const char* type) {
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        World().CopyBodyList(bodies);
        float foremost = 0.0f;
        for (const auto& body : bodies) {
            if (body->GetTeam() == team && body->GetObjectName() == PropertyKey(type)) {
                const float x = body->GetMatrix().m[12] * SCALE;
                foremost =
                    foremost == 0.0f || x * float(team) > foremost * float(team) ? x : foremost;
            }
        }
        return foremost;
    }

    // The airship's fuel as a share of a full tank.
    float Fuel() {
        const ComponentBody& airship = *game->GetGoodAirship();
        return float(airship.GetHitPoints()) / float(airship.GetMaxHitPoints());
    }
};

TEST_F(TutorialScriptTest, LevelZeroTeachesFlyingFactoriesAndEngineersAndEndsWithTutorialWin) {
    StartTutorial(0);
    // Nothing for the first four seconds, then the welcome without an arrow.
    Run(230);
    EXPECT_FALSE(Dialog().IsShowing());
    ASSERT_TRUE(RunUntilShowing(20));
    EXPECT_TRUE(Shown("T0M0_Welcome"));
    EXPECT_FALSE(Dialog().IsArrowShown());
    // While it shows the world stands still and no later step is reached.
    Run(600);
    EXPECT_TRUE(Dialog().IsShowing());
    EXPECT_FALSE(Shown("T0M1_ControllingAirship"));
    Dismiss();

    // A player who keeps still is shown the controls after eight seconds,
    // with an arrow at the airship.
    ASSERT_TRUE(RunUntilShowing(8 * 60 + 10));
    EXPECT_TRUE(Shown("T0M1_ControllingAirship"));
    EXPECT_FALSE(Shown("T0M1_5_HasMoved"));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss();

    // Flying east counts as having moved; six seconds on comes the next step.
    for (int i = 0; i < 180 && !Shown("T0M1_5_HasMoved"); ++i) {
        Run(1, [](int) { return Keys({KEY_RIGHT}); });
    }
    ASSERT_TRUE(Shown("T0M1_5_HasMoved"));
    EXPECT_FALSE(Dialog().IsShowing());
    ASSERT_TRUE(RunUntilShowing(6 * 60 + 10));
    EXPECT_TRUE(Shown("T0M2_GoToEnemyFactory"));
    Dismiss();

    // Over the enemy factory, then back home over our own.
    MoveAirship(BAD_FACTORY_X, CRUISE_Y);
    ASSERT_TRUE(RunUntilShowing(60));
    EXPECT_TRUE(Shown("T0M3_EnemyFactory"));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss();
    MoveAirship(GOOD_FACTORY_X, CRUISE_Y);
    ASSERT_TRUE(RunUntilShowing(60));
    EXPECT_TRUE(Shown("T0M4_YourFactoryBuyEng"));
    Dismiss();

    // The engineer bought with key 2 walks out under the airship.
    Run(1, [](int) { return Keys({KEY_NUMBER_ROW_1 + 1}); });
    ASSERT_TRUE(RunUntilShowing(30 * 60));
    EXPECT_TRUE(Shown("T0M5_JustBoughtEng"));
    EXPECT_TRUE(Dialog().IsPlayed(PropertyKey("TUTORIAL_DIALOG_Objective")));
    Dismiss();

    // The engineer dies under the airship; Wensel says another can be bought.
    Unit(1, "Engineer")->SendMessage(MESSAGE_DIE);
    ASSERT_TRUE(RunUntilShowing(10));
    EXPECT_TRUE(Shown("T0M6_EngineerDied"));
    EXPECT_FALSE(Dialog().IsArrowShown());
    Dismiss();
    // The next engineer on his way brings the magnet's lesson.
    Run(1, [](int) { return Keys({KEY_NUMBER_ROW_1 + 1}); });
    ASSERT_TRUE(RunUntilShowing(30 * 60));
    EXPECT_TRUE(Shown("T0M7_Magnet"));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss();

    // Hovering over him with Ctrl held, the magnet takes him.
    const orvel::Matrix4 walker = Unit(1, "Engineer")->GetMatrix();
    MoveAirship(walker.m[12] * SCALE, walker.m[13] * SCALE + 70.0f);
    ASSERT_TRUE(RunUntilShowing(5 * 60, [](int) { return Keys({KEY_LEFT_CTRL}); }));
    EXPECT_TRUE(Shown("T0M8_TakeEngToFactory"));
    Dismiss({KEY_LEFT_CTRL});
    // Flown east with the magnet on, he is shown the enemy factory.
    ASSERT_TRUE(RunUntilShowing(30 * 60, [](int) { return Keys({KEY_LEFT_CTRL, KEY_RIGHT}); }));
    EXPECT_TRUE(Shown("T0M9_ThereIsTheFactory"));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss({KEY_LEFT_CTRL});

    // An engineer dropped from high beside the airship, brought to a halt,
    // splats; the carrying step is offered again for the next one lifted.
    for (int i = 0; i < 5 * 60 && std::fabs(VelocityX()) > 0.2f; ++i) {
        Run(1, [&](int) { return Keys({KEY_LEFT_CTRL, VelocityX() > 0.0f ? KEY_LEFT : KEY_RIGHT}); });
    }
    const float x = game->GetGoodAirship()->GetMatrix().m[12] * SCALE - 150.0f;
    Place("Engineer", 1, x)->SetPosition(orvel::Vector4(x / SCALE, 480.0f / SCALE, 0.0f));
    ASSERT_TRUE(RunUntilShowing(10 * 60, [](int) { return Keys({KEY_LEFT_CTRL}); }));
    EXPECT_TRUE(Shown("T0M10_EngineerSplat"));
    EXPECT_FALSE(Shown("T0M8_TakeEngToFactory"));
    Dismiss({KEY_LEFT_CTRL});

    // An engineer in the enemy factory ends the tutorial level. The engineer
    // still hanging from the magnet may bring the carrying step back first
    // (the splat offered it again); the player reads it and plays on.
    TakeEnemyFactory();
    for (int i = 0; i < 20 * 60 && Fired().empty(); ++i) {
        if (Dialog().IsShowing()) {
            Dismiss();
        } else {
            Run(1);
        }
    }
    EXPECT_EQ(Fired(), "TutorialWin");
}

TEST_F(TutorialScriptTest, LevelOneWarnsOfTheAntiAircraftTurretAndEndsWithTutorialWin) {
    StartLesson(1);
    // The level's gunner takes the turret in the first second.
    Run(60);
    ASSERT_NE(FindBody(-1, "Static_AntiAirTurret"), nullptr);
    EXPECT_EQ(game->GetLevel().goodPurchaseMenu[0], 1);  // infantry on sale
    Run(290);
    EXPECT_FALSE(Dialog().IsShowing());
    ASSERT_TRUE(ShowsStep("T1M0_TakeEngToFactory", 20));
    EXPECT_FALSE(Dialog().IsArrowShown());
    Dismiss();

    // An engineer shot down under the airship: the turret is to blame.
    MoveAirship(GOOD_FACTORY_X, CRUISE_Y);
    const ComponentBodyPtr engineer = Place("Engineer", 1, GOOD_FACTORY_X + 60.0f);
    engineer->SendMessage(MESSAGE_DIE);
    ASSERT_TRUE(ShowsStep("T1M1_AirTurretsBad", 10));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss();
    // Over its own factory with a full tank, the player is told to buy infantry.
    ASSERT_TRUE(ShowsStep("T1M1A_BuyInfantry", 10));
    Dismiss();

    // Away from home, all four throttles held (they cancel out) drain the
    // tank: below 30 % comes the fuel gauge's lesson, and flying home the
    // factory's.
    FlyTo(MIDDLE_X);
    ASSERT_TRUE(ShowsStep("Refuelling", 60 * 60, [](int) {
        return Keys({KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN});
    }));
    EXPECT_LT(Fuel(), 0.3f);
    EXPECT_TRUE(Shown("T1M_GasTankHasFlashed"));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss();
    ASSERT_TRUE(ShowsStep("Refuelling2", 30 * 60, [](int) { return Keys({KEY_LEFT}); }));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss();
    EXPECT_FALSE(Dialog().IsPlayed(PropertyKey("TUTORIAL_DIALOG_Refuelling")));

    // Infantry bought at home walks out under the airship.
    MoveAirship(GOOD_FACTORY_X, CRUISE_Y);
    Buy(0);
    ASSERT_TRUE(ShowsStep("T1M2_InfantryWatch", 30 * 60));
    Dismiss();
    // He marches on the turret and shoots its gunner. The airship keeps
    // over him until the turret could reach it, and closes in once the
    // turret is empty.
    const auto escort = [&](int) {
        const bool manned = FindBody(-1, "Static_AntiAirTurret") != nullptr;
        MoveAirship(manned ? std::min(ForemostX(1, "Infantry"), AA_TURRET_X - 420.0f)
                           : AA_TURRET_X - 200.0f,
                    CRUISE_Y);
        return ScriptedFrame();
    };
    ASSERT_TRUE(ShowsStep("T1M3_TurretDeadMakeEng", 90 * 60, escort));
    EXPECT_NE(FindBody(0, "Static_AntiAirTurret"), nullptr);
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss();
    // The engineer bought next is shown the way on.
    MoveAirship(GOOD_FACTORY_X, CRUISE_Y);
    Buy(1);
    ASSERT_TRUE(ShowsStep("T1M4_TakeEngToFactory2", 30 * 60));
    Dismiss();
    // An engineer set down beside the empty turret mans it for our side.
    MoveAirship(AA_TURRET_X - 200.0f, CRUISE_Y);
    Place("Engineer", 1, AA_TURRET_X - 60.0f);
    ASSERT_TRUE(ShowsStep("T1M5_TookTheTurret", 20 * 60));
    EXPECT_NE(FindBody(1, "Static_AntiAirTurret"), nullptr);
    Dismiss();

    TakeEnemyFactory();
    EXPECT_EQ(RunToEnd(20 * 60), "TutorialWin");
}

TEST_F(TutorialScriptTest, LevelTwoPointsAtTheArtilleryAndTheEnemyWaitsToBuy) {
    StartLesson(2);
    EXPECT_FALSE(game->IsEnemyBuying());
    ASSERT_TRUE(ShowsStep("T2M0_GroundTurretInf", 5 * 60));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss();
    // The player's infantry marching out under the airship is the next
    // lesson.
    FlyTo(GOOD_FACTORY_X);
    Buy(0);
    ASSERT_TRUE(ShowsStep("T2M1_WatchInfantry", 30 * 60));
    Dismiss();
    // He marches into the artillery's reach with the airship a little
    // behind him, clear of the shells, and is shelled dead on the ground.
    const auto behindInfantry = [&](int) {
        if (ForemostX(1, "Infantry") > 0.0f) {
            MoveAirship(ForemostX(1, "Infantry") - 150.0f, CRUISE_Y);
        }
        return ScriptedFrame();
    };
    ASSERT_TRUE(ShowsStep("T2M2_InfantryShot", 90 * 60, behindInfantry));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss();

    // The next soldier is lifted at home, far from the turret, and flown
    // east with the magnet on until the turret is near.
    MoveAirship(GOOD_FACTORY_X, CRUISE_Y);
    Buy(0);
    for (int i = 0; i < 30 * 60 && FindUnit(1, "Infantry", "moving") == nullptr; ++i) {
        Run(1);
    }
    const orvel::Matrix4 walker = Unit(1, "Infantry")->GetMatrix();
    MoveAirship(walker.m[12] * SCALE, walker.m[13] * SCALE + 70.0f);
    ASSERT_TRUE(ShowsStep("T2M4_MagdInfNoSeeTurr", 5 * 60,
                          [](int) { return Keys({KEY_LEFT_CTRL}); }, {KEY_LEFT_CTRL}));
    Dismiss({KEY_LEFT_CTRL});
    ASSERT_TRUE(ShowsStep("T2M5_MagdInfCanSeeTurr", 30 * 60,
                          [](int) {
                              return Keys({KEY_LEFT_CTRL, KEY_RIGHT});
                          },
                          {KEY_LEFT_CTRL}));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss({KEY_LEFT_CTRL});
    EXPECT_FALSE(game->IsEnemyBuying());

    // The gunner falls to the soldiers set down behind the turret, and an
    // engineer beside the empty turret takes it: the enemy starts buying.
    MoveAirship(ARTILLERY_X - 200.0f, CRUISE_Y);
    static_cast<ComponentBody*>(FindBody(-1, "Static_ArtilleryTurret"))
        ->SendMessage(MESSAGE_HURT, 6);
    ASSERT_TRUE(ShowsStep("T2M7_TurretDead", 60));
    Dismiss();
    Place("Engineer", 1, ARTILLERY_X - 60.0f);
    ASSERT_TRUE(ShowsStep("T2M8_GotTurret", 20 * 60));
    EXPECT_NE(FindBody(1, "Static_ArtilleryTurret"), nullptr);
    Dismiss();
    Run(1);
    EXPECT_TRUE(game->IsEnemyBuying());

    TakeEnemyFactory();
    EXPECT_EQ(RunToEnd(20 * 60), "TutorialWin");
}

TEST_F(TutorialScriptTest, LevelThreeShowsTheBunkersOfEachSideThenATankBeatenByOurs) {
    StartLesson(3);
    for (const char* step : {"T3M0_EnemyBunker", "T3M1_NeutralBunker", "T3M2_FriendlyBunker"}) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(ShowsStep(step, 5 * 60));
        EXPECT_TRUE(Dialog().IsArrowShown());
        Dismiss();
    }
    // The enemy, which buys nothing on its own here, is asked for one tank.
    EXPECT_FALSE(game->IsEnemyBuying());
    FlyTo(MIDDLE_X);
    for (int i = 0; i < 30 * 60 && FindBody(-1, "Tank") == nullptr; ++i) {
        Run(1);
    }
    ASSERT_NE(FindBody(-1, "Tank"), nullptr);

    // The airship keeps a little behind the tank, clear of its gun, as it
    // rolls west: it is pointed out, and it stops at our bunker to fight it.
    const auto behindTank = [&](int) {
        if (const orvel::Body* tank = FindBody(-1, "Tank")) {
            MoveAirship(tank->GetMatrix().m[12] * SCALE + 150.0f, CRUISE_Y);
        }
        return ScriptedFrame();
    };
    ASSERT_TRUE(ShowsStep("T3M3_EnemyTank", 60 * 60, behindTank));
    EXPECT_TRUE(Dialog().IsArrowShown());
    Dismiss();
    ASSERT_TRUE(ShowsStep("T3M4_TankAtBunker", 60 * 60, behindTank));
    EXPECT_TRUE(Dialog().IsArrowShown());
    EXPECT_FALSE(orvel::GlobalProperties().Contains(PropertyKey("BadVehicleStopped")));
    Dismiss();

    // Our bunker stands empty: a soldier bought at home marches into it,
    // and its rifles wear the halted tank down until it dies where it
    // stands, with the airship still behind it. Only then does the enemy
    // start buying.
    Buy(0);
    ASSERT_TRUE(ShowsStep("T3M5_TankDies", 60 * 60, behindTank));
    EXPECT_TRUE(Dialog().IsArrowShown());
    EXPECT_NE(FindUnit(-1, "Tank", "dyingonground"), nullptr);
    Dismiss();
    Run(1);
    EXPECT_TRUE(game->IsEnemyBuying());

    TakeEnemyFactory();
    EXPECT_EQ(RunToEnd(20 * 60), "TutorialWin");
}

TEST_F(TutorialScriptTest, AStepWaitsForItsTimerOnlyWhileNothingElseShows) {
    StartTutorial(0);
    // Flying off at once marks the controls step silently.
    for (int i = 0; i < 300 && !Dialog().IsShowing(); ++i) {
        Run(1, [](int) { return Keys({KEY_RIGHT}); });
    }
    ASSERT_TRUE(Shown("T0M0_Welcome"));
    Dismiss();
    for (int i = 0; i < 120 && !Shown("T0M1_5_HasMoved"); ++i) {
        Run(1, [](int) { return Keys({KEY_RIGHT}); });
    }
    EXPECT_TRUE(Shown("T0M1_ControllingAirship"));
    EXPECT_TRUE(Shown("T0M1_5_HasMoved"));
    EXPECT_FALSE(Dialog().IsShowing());
}

TEST_F(TutorialScriptTest, CampaignHintsShowOnceAndTheResetBringsThemBack) {
    SetLevel(0);
    StartLevel();
    const PropertyKey welcome("TUTORIAL_DIALOG_Welcome");
    EXPECT_FALSE(Dialog().IsPlayed(welcome));
    // Without a tutorial played, the welcome points the player to it.
    ASSERT_TRUE(RunUntilShowing(5 * 60));
    EXPECT_TRUE(Dialog().IsPlayed(welcome));
    Dismiss();
    Run(120);
    EXPECT_FALSE(Dialog().IsShowing());
    ResetTutorialTriggers();
    EXPECT_FALSE(Dialog().IsPlayed(welcome));
    ASSERT_TRUE(RunUntilShowing(10));
    EXPECT_TRUE(Dialog().IsPlayed(welcome));
}

TEST_F(TutorialScriptTest, SwitchedOffHintsStayAway) {
    SetTutorialDialogsEnabled(0);
    SetLevel(0);
    StartLevel();
    EXPECT_FALSE(RunUntilShowing(6 * 60));
    EXPECT_FALSE(Dialog().IsPlayed(PropertyKey("TUTORIAL_DIALOG_Welcome")));
}


// Each lesson's enemy building is manned by the engineer that the level drops
// onto it, so the steps that wait for an enemy turret or bunker are reached
// without help.
TEST_F(TutorialScriptTest, TheLevelMansTheEnemyBuildingsThatTheLessonsWaitFor) {
    const struct {
        int level;
        const char* building;
        const char* step;
    } cases[] = {
        {1, "Static_AntiAirTurret", nullptr},
        {2, "Static_ArtilleryTurret", "T2M0_GroundTurretInf"},
        {3, "Static_Bunker", "T3M0_EnemyBunker"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.building);
        StartTutorial(c.level);
        EXPECT_EQ(FindBody(-1, c.building), nullptr);
        Run(60);
        EXPECT_NE(FindBody(-1, c.building), nullptr);
        if (c.step != nullptr) {
            ASSERT_TRUE(RunUntilShowing(5 * 60));
            EXPECT_TRUE(Shown(c.step));
        }
        game.reset();
    }
}

}  // namespace
