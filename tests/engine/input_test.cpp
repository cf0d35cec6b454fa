#include "engine/core/input.h"

#include <functional>

#include <gtest/gtest.h>

namespace {

const int KEY_ESCAPE = 59;
const int KEY_SPACE = 75;

// A device source whose state the test sets between polls.
class FakeInputSource : public orvel::InputSource {
public:
    void ReadKeys(std::vector<uint8_t>& table) override { table = keys; }
    void ReadMouse(int& x, int& y, int& b) override {
        x = mouseX;
        y = mouseY;
        b = buttons;
    }
    void ReadMickeys(int& x, int& y) override {
        x = mickeysX;
        y = mickeysY;
        mickeysX = 0;
        mickeysY = 0;
    }
    std::vector<orvel::JoystickReading> ReadJoysticks() override { return joysticks; }

    std::vector<uint8_t> keys = std::vector<uint8_t>(orvel::INPUT_KEY_COUNT, 0);
    int mouseX = 0;
    int mouseY = 0;
    int buttons = 0;
    int mickeysX = 0;
    int mickeysY = 0;
    std::vector<orvel::JoystickReading> joysticks;
};

struct InputFixture : ::testing::Test {
    std::shared_ptr<FakeInputSource> source = std::make_shared<FakeInputSource>();
    orvel::Input input{source};
};

orvel::JoystickReading DigitalJoystick(int buttonCount) {
    orvel::JoystickReading reading;
    reading.digital = true;
    reading.buttons.assign(buttonCount, false);
    orvel::JoystickReading::Stick stick;
    stick.digital = true;
    stick.axes.resize(2);
    reading.sticks.push_back(stick);
    return reading;
}

}  // namespace

TEST_F(InputFixture, HeldKeyIsPressedOnceAndReleasedOnce) {
    // Key state per poll, and the edges expected after that poll.
    struct Frame {
        bool down;
        bool pressed;
        bool released;
    };
    const Frame frames[] = {
        {true, true, false},  {true, false, false},  {true, false, false},
        {false, false, true}, {false, false, false}, {true, true, false},
    };
    for (size_t i = 0; i < sizeof(frames) / sizeof(frames[0]); ++i) {
        SCOPED_TRACE(i);
        source->keys[KEY_SPACE] = frames[i].down ? 1 : 0;
        input.Poll();
        EXPECT_EQ(input.KeyDown(KEY_SPACE), frames[i].down);
        EXPECT_EQ(input.KeyPressed(KEY_SPACE), frames[i].pressed);
        EXPECT_EQ(input.KeyReleased(KEY_SPACE), frames[i].released);
        EXPECT_FALSE(input.KeyPressed(KEY_ESCAPE));
    }
}

TEST_F(InputFixture, KeysOutOfRangeAnswerFalse) {
    source->keys.assign(orvel::INPUT_KEY_COUNT, 1);
    input.Poll();
    for (int key : {-1, orvel::INPUT_KEY_COUNT, 126, 1000}) {
        EXPECT_FALSE(input.KeyDown(key)) << key;
        EXPECT_FALSE(input.KeyPressed(key)) << key;
        EXPECT_FALSE(input.KeyReleased(key)) << key;
    }
    EXPECT_TRUE(input.KeyPressed(orvel::INPUT_KEY_COUNT - 1));
}

TEST(InputTest, LibraryKeyCodesMapIntoTheTable) {
    const struct {
        int library;
        int slot;
    } cases[] = {
        {0, 0},     {59, 59},   {102, 102}, {103, -1}, {114, -1},
        {115, 103}, {117, 105}, {126, 114}, {127, -1}, {-1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(orvel::KeySlotFromLibraryKey(c.library), c.slot) << c.library;
    }
}

TEST_F(InputFixture, ConstructorTakesTheCurrentStateAsNow) {
    source->keys[KEY_ESCAPE] = 1;
    source->mouseX = 40;
    source->mouseY = 30;
    source->buttons = 1;
    source->mickeysX = 5;
    orvel::Input fresh(source);
    EXPECT_TRUE(fresh.KeyPressed(KEY_ESCAPE));
    EXPECT_TRUE(fresh.IsMouseButtonPressed(1));
    EXPECT_EQ(fresh.GetMouseX(), 40);
    EXPECT_EQ(fresh.GetPreviousMouseX(), 40);
    EXPECT_EQ(fresh.GetPreviousMouseY(), 30);
    EXPECT_EQ(fresh.GetMickeysX(), 5);
    EXPECT_EQ(fresh.GetCombinedJoystickMask(), 0u);
}

TEST_F(InputFixture, MouseButtonEdgesAndPosition) {
    struct Frame {
        int buttons;
        int mask;
        bool pressed;
        bool released;
    };
    const Frame frames[] = {
        {1, 1, true, false}, {1, 1, false, false}, {3, 2, true, false}, {3, 1, false, false},
        {2, 1, false, true}, {0, 2, false, true},  {4, 5, true, false}, {1, 4, false, true},
    };
    int x = 0;
    for (const Frame& frame : frames) {
        SCOPED_TRACE(frame.buttons);
        source->buttons = frame.buttons;
        source->mouseX = ++x;
        input.Poll();
        EXPECT_EQ(input.IsMouseButtonPressed(frame.mask), frame.pressed);
        EXPECT_EQ(input.IsMouseButtonReleased(frame.mask), frame.released);
        EXPECT_EQ(input.GetMouseX(), x);
        EXPECT_EQ(input.GetPreviousMouseX(), x - 1);
    }
}

TEST(InputTest, JoystickMasks) {
    struct Case {
        const char* name;
        std::function<void(orvel::JoystickReading&)> set;
        uint32_t mask;
    };
    const Case cases[] = {
        {"nothing down", [](orvel::JoystickReading&) {}, 0u},
        {"button 0", [](orvel::JoystickReading& r) { r.buttons[0] = true; }, 0x1u},
        {"button 15", [](orvel::JoystickReading& r) { r.buttons[15] = true; }, 0x8000u},
        {"buttons 16 to 31 never reach the stick bits",
         [](orvel::JoystickReading& r) {
             for (int b = 16; b < 32; ++b) {
                 r.buttons[b] = true;
             }
         },
         0u},
        {"stick up", [](orvel::JoystickReading& r) { r.sticks[0].axes[1].firstDirection = true; },
         orvel::JOYSTICK_UP},
        {"stick down",
         [](orvel::JoystickReading& r) { r.sticks[0].axes[1].secondDirection = true; },
         orvel::JOYSTICK_DOWN},
        {"stick left", [](orvel::JoystickReading& r) { r.sticks[0].axes[0].firstDirection = true; },
         orvel::JOYSTICK_LEFT},
        {"stick right and button 2",
         [](orvel::JoystickReading& r) {
             r.sticks[0].axes[0].secondDirection = true;
             r.buttons[2] = true;
         },
         orvel::JOYSTICK_RIGHT | 0x4u},
        {"analogue joystick",
         [](orvel::JoystickReading& r) {
             r.digital = false;
             r.buttons[0] = true;
             r.sticks[0].axes[0].firstDirection = true;
         },
         0u},
        {"analogue stick",
         [](orvel::JoystickReading& r) {
             r.sticks[0].digital = false;
             r.sticks[0].axes[0].firstDirection = true;
         },
         0u},
        {"stick with one axis",
         [](orvel::JoystickReading& r) {
             r.sticks[0].axes.resize(1);
             r.sticks[0].axes[0].firstDirection = true;
         },
         0u},
        {"no stick", [](orvel::JoystickReading& r) { r.sticks.clear(); }, 0u},
    };
    for (const Case& c : cases) {
        orvel::JoystickReading reading = DigitalJoystick(32);
        c.set(reading);
        EXPECT_EQ(orvel::Input::JoystickMask(reading), c.mask) << c.name;
    }
}

TEST_F(InputFixture, NoJoystickLeavesEveryMaskZero) {
    input.Poll();
    input.Poll();
    EXPECT_EQ(input.GetCombinedJoystickMask(), 0u);
    EXPECT_EQ(input.GetPreviousCombinedJoystickMask(), 0u);
    for (int bit = 0; bit < 32; ++bit) {
        EXPECT_FALSE(input.IsJoystickButtonPressed(bit));
    }
}

TEST_F(InputFixture, JoystickEdgesUseTheCombinedMaskOfAllJoysticks) {
    source->joysticks.assign(7, DigitalJoystick(4));
    source->joysticks[1].buttons[3] = true;
    source->joysticks[6].buttons[1] = true;  // beyond the fifth: combined only
    input.Poll();
    EXPECT_EQ(input.GetJoystickMask(1), 0x8u);
    EXPECT_EQ(input.GetJoystickMask(6), 0u);
    EXPECT_EQ(input.GetCombinedJoystickMask(), 0xAu);
    EXPECT_TRUE(input.IsJoystickButtonPressed(3));
    EXPECT_TRUE(input.IsJoystickButtonPressed(1));
    EXPECT_FALSE(input.IsJoystickButtonReleased(3));

    source->joysticks[1].buttons[3] = false;
    input.Poll();
    EXPECT_FALSE(input.IsJoystickButtonPressed(3));
    EXPECT_TRUE(input.IsJoystickButtonReleased(3));
    EXPECT_FALSE(input.IsJoystickButtonPressed(1));
    EXPECT_FALSE(input.IsJoystickButtonReleased(1));

    for (int bit : {-1, 32, 33, 64}) {
        EXPECT_FALSE(input.IsJoystickButtonPressed(bit)) << bit;
        EXPECT_FALSE(input.IsJoystickButtonReleased(bit)) << bit;
    }
}

TEST_F(InputFixture, MickeysAreTheMovementSinceTheLastPoll) {
    source->mickeysX = 3;
    source->mickeysY = -2;
    input.Poll();
    EXPECT_EQ(input.GetMickeysX(), 3);
    EXPECT_EQ(input.GetMickeysY(), -2);
    input.Poll();
    EXPECT_EQ(input.GetMickeysX(), 0);
}

// The snapshot is made before the game library starts; its values are zeros.
TEST(InputTest, LibrarySourceBeforeTheLibraryStartsReadsZeros) {
    orvel::Input input(orvel::CreateLibraryInputSource());
    input.Poll();
    for (int key = 0; key < orvel::INPUT_KEY_COUNT; ++key) {
        EXPECT_FALSE(input.KeyDown(key));
    }
    EXPECT_EQ(input.GetMouseButtons(), 0);
    EXPECT_EQ(input.GetCombinedJoystickMask(), 0u);
}
