#include "game/play/control_input.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "game/play/play_field.h"
#include "game/play/play_mode.h"
#include "tests/game/play/scripted_input.h"

namespace {

// Two snapshots: nothing the frame before, then `frame`.
class ControlInputTest : public ::testing::Test {
protected:
    const orvel::Input& After(const ScriptedFrame& frame) {
        source->frame = ScriptedFrame();
        input.Poll();
        source->frame = frame;
        input.Poll();
        return input;
    }

    static ScriptedFrame Keys(std::set<int> keys) {
        ScriptedFrame frame;
        frame.keys = std::move(keys);
        return frame;
    }

    static ScriptedFrame Stick(uint32_t bits) {
        ScriptedFrame frame;
        frame.joystick = bits;
        return frame;
    }

    static std::string Directions(const ThrustInput& thrust) {
        std::string text;
        text += thrust.up ? "U" : "";
        text += thrust.down ? "D" : "";
        text += thrust.left ? "L" : "";
        text += thrust.right ? "R" : "";
        return text;
    }

    std::shared_ptr<ScriptedInputSource> source = std::make_shared<ScriptedInputSource>();
    orvel::Input input{source};
};

// The airship control mask against every device: which inputs move the
// airship (U D L R) and which switch its magnet.
TEST_F(ControlInputTest, AirshipMaskChoosesTheDevicesThatSteer) {
    const int everything =
        CONTROL_MOUSE | CONTROL_ARROW_KEYS | CONTROL_LETTER_KEYS | CONTROL_JOYSTICK;
    struct Case {
        int mask;
        ScriptedFrame frame;
        const char* thrust;
        bool magnet;
    };
    const Case cases[] = {
        // Arrow keys (bit 2), with the Ctrl keys for the magnet.
        {CONTROL_ARROW_KEYS, Keys({KEY_UP, KEY_LEFT}), "UL", false},
        {CONTROL_ARROW_KEYS, Keys({KEY_DOWN, KEY_RIGHT}), "DR", false},
        {CONTROL_ARROW_KEYS, Keys({KEY_W, KEY_D}), "", false},
        {CONTROL_ARROW_KEYS, Keys({KEY_LEFT_CTRL}), "", true},
        {CONTROL_ARROW_KEYS, Keys({KEY_RIGHT_CTRL}), "", true},
        {CONTROL_ARROW_KEYS, Stick(orvel::JOYSTICK_UP | 1u), "", false},
        // Letter keys (bit 4): thrust only.
        {CONTROL_LETTER_KEYS, Keys({KEY_W, KEY_A}), "UL", false},
        {CONTROL_LETTER_KEYS, Keys({KEY_S, KEY_D}), "DR", false},
        {CONTROL_LETTER_KEYS, Keys({KEY_UP, KEY_LEFT_CTRL}), "", false},
        // Joystick (bit 0x20): directions and button 1.
        {CONTROL_JOYSTICK, Stick(orvel::JOYSTICK_UP | orvel::JOYSTICK_RIGHT), "UR", false},
        {CONTROL_JOYSTICK, Stick(orvel::JOYSTICK_DOWN | orvel::JOYSTICK_LEFT), "DL", false},
        {CONTROL_JOYSTICK, Stick(1u), "", true},
        {CONTROL_JOYSTICK, Keys({KEY_UP, KEY_W, KEY_LEFT_CTRL}), "", false},
        // The mouse (bit 1) has no thrust or magnet keys; none at all is 0.
        {CONTROL_MOUSE, Keys({KEY_UP, KEY_W, KEY_LEFT_CTRL}), "", false},
        {0, Keys({KEY_UP, KEY_W, KEY_LEFT_CTRL}), "", false},
        // Devices add up.
        {everything, Keys({KEY_UP, KEY_S}), "UD", false},
        {everything, Stick(orvel::JOYSTICK_LEFT | 1u), "L", true},
    };
    for (const Case& c : cases) {
        const orvel::Input& now = After(c.frame);
        EXPECT_EQ(Directions(HeldThrust(now, c.mask)), c.thrust) << "mask " << c.mask;
        EXPECT_EQ(MagnetEdges(now, c.mask).pressed, c.magnet) << "mask " << c.mask;
        EXPECT_FALSE(MagnetEdges(now, c.mask).released);
    }
}

TEST_F(ControlInputTest, ThrustIsHeldButTheMagnetWorksOnEdges) {
    const ScriptedFrame held = Keys({KEY_UP, KEY_LEFT_CTRL});
    After(held);
    source->frame = held;
    input.Poll();
    EXPECT_EQ(Directions(HeldThrust(input, CONTROL_ARROW_KEYS)), "U");
    EXPECT_FALSE(MagnetEdges(input, CONTROL_ARROW_KEYS).pressed);
    source->frame = ScriptedFrame();
    input.Poll();
    EXPECT_TRUE(MagnetEdges(input, CONTROL_ARROW_KEYS).released);

    // Both Ctrl keys down, then one let go: one press, one release.
    source->frame = Keys({KEY_LEFT_CTRL, KEY_RIGHT_CTRL});
    input.Poll();
    EXPECT_TRUE(MagnetEdges(input, CONTROL_ARROW_KEYS).pressed);
    source->frame = Keys({KEY_LEFT_CTRL});
    input.Poll();
    EXPECT_FALSE(MagnetEdges(input, CONTROL_ARROW_KEYS).pressed);
    EXPECT_TRUE(MagnetEdges(input, CONTROL_ARROW_KEYS).released);
}

// The purchase control mask against the two key rows, for each side:
// which products (bit i for product i) a press buys.
TEST_F(ControlInputTest, PurchaseMaskChoosesTheKeyRowsThatBuy) {
    struct Case {
        int mask;
        int team;
        int key;
        uint32_t products;
    };
    const Case cases[] = {
        {CONTROL_NUMBER_ROW, TEAM_GOOD, KEY_NUMBER_ROW_1 + 2, 1u << 2},
        {CONTROL_NUMBER_ROW, TEAM_GOOD, KEY_KEYPAD_1 + 2, 0},
        {CONTROL_KEYPAD, TEAM_GOOD, KEY_KEYPAD_1 + 7, 1u << 7},
        {CONTROL_KEYPAD, TEAM_GOOD, KEY_NUMBER_ROW_1, 0},
        {CONTROL_MOUSE, TEAM_GOOD, KEY_NUMBER_ROW_1, 0},
        {CONTROL_MOUSE | CONTROL_KEYPAD | CONTROL_NUMBER_ROW, TEAM_GOOD, KEY_NUMBER_ROW_1 + 4,
         1u << 4},
        // Side 2 reads the bits the other way round.
        {CONTROL_KEYPAD, TEAM_BAD, KEY_NUMBER_ROW_1 + 2, 1u << 2},
        {CONTROL_KEYPAD, TEAM_BAD, KEY_KEYPAD_1 + 2, 0},
        {CONTROL_NUMBER_ROW, TEAM_BAD, KEY_KEYPAD_1 + 5, 1u << 5},
        {CONTROL_NUMBER_ROW, TEAM_BAD, KEY_NUMBER_ROW_1 + 5, 0},
        {0, TEAM_BAD, KEY_NUMBER_ROW_1, 0},
        // The ninth key of each row buys nothing.
        {CONTROL_KEYPAD | CONTROL_NUMBER_ROW, TEAM_GOOD, KEY_NUMBER_ROW_1 + 8, 0},
        {CONTROL_KEYPAD | CONTROL_NUMBER_ROW, TEAM_GOOD, KEY_KEYPAD_1 + 8, 0},
    };
    for (const Case& c : cases) {
        const orvel::Input& now = After(Keys({c.key}));
        EXPECT_EQ(PurchaseKeysPressed(now, c.mask, c.team), c.products)
            << "mask " << c.mask << " team " << c.team << " key " << c.key;
    }
    // Held keys buy once.
    After(Keys({KEY_NUMBER_ROW_1}));
    input.Poll();
    EXPECT_EQ(PurchaseKeysPressed(input, CONTROL_NUMBER_ROW, TEAM_GOOD), 0u);
}

TEST(PurchaseBarTest, ButtonsSplitTheBarAtTheirEdges) {
    const struct {
        int x;
        int y;
        int slot;
    } cases[] = {
        {143, 10, -1}, {144, 10, 0},  {180, 10, 0},   {181, 10, 1}, {216, 10, 1}, {217, 10, 2},
        {276, 10, 2},  {277, 10, 3},  {328, 10, 3},   {329, 10, 4}, {350, 10, 4}, {351, 10, 5},
        {400, 10, 5},  {401, 10, 6},  {430, 10, 6},   {431, 10, 7}, {484, 10, 7}, {485, 10, -1},
        {200, 71, 1},  {200, 72, -1}, {200, 300, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PurchaseSlotAt(c.x, c.y), c.slot) << c.x << ", " << c.y;
    }
}

}  // namespace
