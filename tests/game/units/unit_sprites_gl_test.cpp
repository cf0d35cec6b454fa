#include <memory>
#include <string>
#include <vector>

#include "engine/core/property_file.h"
#include "engine/resources/resource.h"
#include "engine/sprites/sprite_manager.h"
#include "game/units/component_body.h"
#include "game/units/components/bunker_component.h"
#include "game/units/components/sprite_component.h"
#include "game/units/unit_message.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/support/screenshot_png.h"
#include "unit_test_world.h"

namespace {

const Rgb SKY = {150, 190, 225};

// The game's units with their drawn animations from the built datafile,
// spawned into a test world whose sprite manager draws them in pixels.
class UnitSpritesTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
        level.definitions = orvel::LoadPropertyFile("resources/objectfile1.txt");
        level.creationContext = sprites.get();
    }
    void TearDown() override { orvel::ClearDatafilePath(); }

    static SpriteComponent& SpriteOf(ComponentBody& unit) {
        return *static_cast<SpriteComponent*>(unit.GetComponent("SpriteComponent"));
    }

    // The sprite manager goes after the world, as the in-game state's does.
    std::shared_ptr<orvel::SpriteManager> sprites = std::make_shared<orvel::SpriteManager>();
    UnitTestWorld level{""};
};

}  // namespace

// What a unit shows after a sequence of messages, on either side: the look,
// the animation from the art (the bad side's where it has one) and whether
// the picture is mirrored.
TEST_F(UnitSpritesTest, TheMessagesChooseTheAnimationAndTheFacing) {
    // links: 1 touched down, 3 touched down from a fall to death.
    struct Case {
        const char* type;
        int team;
        std::vector<int> messages;
        int links;
        const char* state;
        const char* animation;
        bool mirrored;
    };
    const Case cases[] = {
        {"Infantry", 1, {}, 0, "idling", "Infantry/idling.txt", false},
        {"Infantry", -1, {}, 0, "idling", "Infantry/idling_bad.txt", true},
        {"Infantry", 1, {MESSAGE_MOVE}, 0, "moving", "Infantry/moving.txt", false},
        {"Infantry", 1, {MESSAGE_TURN_AROUND}, 0, "idling", "Infantry/idling.txt", true},
        {"Infantry", -1, {MESSAGE_TURN_AROUND}, 0, "idling", "Infantry/idling_bad.txt", false},
        {"Tank", -1, {MESSAGE_AIM}, 0, "aiming", "Tank/aiming_bad.txt", true},
        {"Tank", 1, {MESSAGE_MAGNETED}, 0, "magneted", "Tank/magneted.txt", false},
        {"Engineer", 1, {MESSAGE_DIE}, 3, "splatting", "Engineer/splatting.txt", false},
        {"Engineer", 1, {MESSAGE_DIE}, 1, "dying", "Engineer/dying.txt", false},
        {"Infantry", -1, {MESSAGE_FALL_TO_DEATH}, 0, "falling", "Infantry/falling_bad.txt", true},
        {"GoodAirShip", 1, {MESSAGE_MOVE}, 0, "moving", "GoodAirShip/moving.txt", false},
        {"BalloonBomb", 1, {MESSAGE_DIE}, 0, "dying", "ExplosionLarge/explosion.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.state);
        std::shared_ptr<ComponentBody> unit = level.Make(c.type, c.team);
        unit->SetLink(0, c.links & 1);
        unit->SetLink(2, (c.links & 2) != 0 ? 1 : 0);
        for (int message : c.messages) {
            unit->SendMessage(message);
        }
        SpriteComponent& sprite = SpriteOf(*unit);
        EXPECT_EQ(c.state, sprite.GetStateName().GetName());
        EXPECT_EQ(std::string("resources/sprites/") + c.animation,
                  sprite.GetSprite()->GetData()->name.GetName());
        EXPECT_EQ(c.mirrored, sprite.GetSprite()->mirrored != 0);
    }
}

// A shot look plays once and falls back to aiming; a death look plays once
// and then the unit leaves the world.
TEST_F(UnitSpritesTest, PlayOnceAnimationsMoveOnWhenTheyEnd) {
    std::shared_ptr<ComponentBody> tank = level.Place("Tank", 1, 300.0f, 75.0f);
    level.RunSeconds(0.5f);
    tank->SendMessage(MESSAGE_FIRE);
    sprites->Update(0.05f);
    level.RunSeconds(0.05f);
    EXPECT_EQ("firing", SpriteOf(*tank).GetStateName().GetName());
    sprites->Update(2.0f);
    level.RunSeconds(0.05f);
    EXPECT_EQ("aiming", SpriteOf(*tank).GetStateName().GetName());

    tank->SendMessage(MESSAGE_DIE);
    EXPECT_TRUE(tank->IsAlive());
    sprites->Update(3.0f);
    EXPECT_FALSE(tank->IsAlive());
}

// One frame with every kind of unit, building and shot on both sides, as the
// play field draws them; written to screenshots/units.png to be looked at.
// Each is placed on a patch of sky and must have drawn over it.
TEST_F(UnitSpritesTest, AFrameWithEveryKindOfUnitDrawsEachWhereItStands) {
    struct Placed {
        const char* type;
        int team;
        float x;
        float y;
    };
    const float ground = UnitTestWorld::GROUND_HEIGHT;
    const Placed placed[] = {
        {"Infantry", 1, 40, ground + 15},
        {"Engineer", 1, 80, ground + 15},
        {"Tank", 1, 150, ground + 15},
        {"FlakTruck", 1, 240, ground + 15},
        {"Buster", 1, 320, ground + 18},
        {"Infantry", -1, 760, ground + 15},
        {"Engineer", -1, 720, ground + 15},
        {"Tank", -1, 650, ground + 15},
        {"FlakTruck", -1, 560, ground + 15},
        {"Buster", -1, 480, ground + 18},
        {"BalloonBomb", 1, 60, 250},
        {"AutoGyro", 1, 160, 260},
        {"BalloonBomb", -1, 740, 250},
        {"AutoGyro", -1, 640, 260},
        {"GoodAirShip", 1, 170, 470},
        {"BadAirShip", -1, 630, 470},
        {"Static_Factory", 1, 400, 500},
        {"Static_Bunker", 1, 300, 160},
        {"Static_SteamBunker", -1, 500, 160},
        {"Static_MagnetBunker", 0, 400, 160},
        {"Static_FanBunker", 1, 400, 350},
        {"Static_ArtilleryTurret", 0, 250, 350},
        {"Static_AntiAirTurret", -1, 550, 350},
        {"Bullet", 1, 300, 260},
        {"Shell", -1, 360, 260},
        {"Flak", 1, 420, 260},
        {"Bomb", -1, 480, 260},
    };
    std::vector<std::shared_ptr<ComponentBody>> units;
    for (const Placed& p : placed) {
        std::shared_ptr<ComponentBody> unit = level.Make(p.type, p.team);
        unit->SetPosition(
            orvel::Vector4(p.x / UnitTestWorld::SCALE, p.y / UnitTestWorld::SCALE, 0.0f));
        units.push_back(unit);
    }
    // Two bunkers held, one by each side; the flag rises with the garrison.
    auto* held = static_cast<BunkerComponent*>(units[17]->GetComponent("BunkerComponent"));
    held->EnterUnit(1, "Infantry");
    held->EnterUnit(1, "Infantry");
    auto* steam = static_cast<BunkerComponent*>(units[18]->GetComponent("BunkerComponent"));
    steam->EnterUnit(-1, "Infantry");
    units[18]->SendMessage(MESSAGE_EMIT);
    units[2]->SendMessage(MESSAGE_FIRE);
    units[7]->SendMessage(MESSAGE_MOVE);
    for (const std::shared_ptr<ComponentBody>& unit : units) {
        unit->Update();
    }
    for (const std::shared_ptr<ComponentBody>& flag : {held->GetFlag(), steam->GetFlag()}) {
        flag->Update();
    }
    sprites->Update(0.3f);

    glClearColor(SKY.r / 255.0f, SKY.g / 255.0f, SKY.b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3ub(90, 70, 50);
    glRectf(0, 0, 800, ground);
    sprites->Draw();
    EXPECT_TRUE(WriteScreenPng(std::string(GEARHAVEN_SCREENSHOT_DIR) + "/units.png"));

    for (const Placed& p : placed) {
        SCOPED_TRACE(p.type);
        int covered = 0;
        for (int dx = -4; dx <= 4; dx += 2) {
            for (int dy = -4; dy <= 4; dy += 2) {
                const Rgb got = ReadPixel(int(p.x) + dx, int(p.y) + dy);
                covered += got.r != SKY.r || got.g != SKY.g || got.b != SKY.b ? 1 : 0;
            }
        }
        EXPECT_GT(covered, 0) << "nothing drawn at " << p.x << "," << p.y;
    }
}
