#include "engine/sprites/sprite.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/sprites/sprite_callback.h"
#include "tests/engine/sprite_test_support.h"

using namespace orvel;

namespace {

// Sprite data over a sheet of `frames` 8x8 frames.
SpriteDataPtr MakeData(int frames, float fps, const std::vector<uint8_t>& flags = {}) {
    const SpriteDataPtr data = std::make_shared<SpriteData>();
    SetSpriteFrames(*data, DescribeFrames(frames, fps, flags), EightPixelSheet(frames));
    return data;
}

const uint8_t F = SPRITE_FLAG_FOOTSTEP;
const uint8_t T = SPRITE_FLAG_TRIGGER;

struct PlayCase {
    const char* label;
    SpritePlayMode mode;
    int frames;
    int start;
    float fps;
    std::vector<float> steps;
    std::vector<int> shown;  // the frame after each step
    std::string log;
    std::vector<uint8_t> flags = {};
};

const PlayCase PLAY_CASES[] = {
    {"3.5 frame times make 3 steps", LoopForward, 4, 0, 10, {0.35f}, {3}, ""},
    {"exactly one frame time is no step", LoopForward, 4, 0, 10, {0.1f}, {0}, ""},
    {"time carries over", LoopForward, 4, 0, 10, {0.06f, 0.06f, 0.06f}, {0, 1, 1}, ""},
    {"wrap calls OnLoop before frame 0's flags",
     LoopForward,
     4,
     3,
     10,
     {0.15f},
     {0},
     "loop@0 A@0 B@0 ",
     {T | F}},
    {"backward wraps to the last frame", LoopBackward, 4, 0, 10, {0.15f, 0.1f}, {3, 2}, "loop@3 "},
    {"one long update wraps on the way", LoopForward, 4, 2, 10, {0.35f}, {1}, "loop@0 "},
    {"bounce forward turns at both ends",
     BounceForward,
     3,
     0,
     10,
     {0.105f, 0.105f, 0.105f, 0.105f, 0.105f, 0.105f, 0.105f},
     {1, 2, 2, 1, 0, 0, 1},
     "finish@2 start@0 "},
    {"bounce backward turns at both ends",
     BounceBackward,
     3,
     2,
     10,
     {0.105f, 0.105f, 0.105f, 0.105f, 0.105f, 0.105f},
     {1, 0, 0, 1, 2, 2},
     "start@0 finish@2 "},
    {"trigger before footstep on each new frame",
     LoopForward,
     3,
     0,
     20,
     {0.06f, 0.06f},
     {1, 2},
     "A@1 B@1 B@2 ",
     {0, T | F, F}},
    {"one frame loops onto itself", LoopForward, 1, 0, 10, {0.25f}, {0}, "loop@0 loop@0 "},
    {"fps 0 never advances", LoopForward, 4, 1, 0, {5.0f}, {1}, ""},
    {"negative data fps is stopped", LoopForward, 4, 1, -5, {5.0f}, {1}, ""},
};

TEST(SpriteTest, PlayModeTable) {
    for (const PlayCase& c : PLAY_CASES) {
        SCOPED_TRACE(c.label);
        Sprite sprite(std::weak_ptr<SpriteManager>(), MakeData(c.frames, c.fps, c.flags));
        ExpectPlay(sprite, c.mode, c.start, c.steps, c.shown, c.log);
    }
}

TEST(SpriteTest, SetFrameCountsFromTheEndAndClamps) {
    const struct {
        int index;
        int frame;
    } cases[] = {{2, 2}, {-1, 3}, {-4, 0}, {-9, 0}, {4, 3}, {1000, 3}};
    Sprite sprite(std::weak_ptr<SpriteManager>(), MakeData(4, 10));
    for (const auto& c : cases) {
        sprite.SetFrame(c.index);
        EXPECT_EQ(sprite.GetFrame(), c.frame) << "SetFrame(" << c.index << ")";
    }
    Sprite empty(std::weak_ptr<SpriteManager>(), MakeData(0, 10));
    empty.SetFrame(-1);
    EXPECT_EQ(empty.GetFrame(), 0);
}

TEST(SpriteTest, SetFpsStopsRestoresAndKeepsThePhase) {
    Sprite sprite(std::weak_ptr<SpriteManager>(), MakeData(4, 10));
    sprite.SetFps(0);
    sprite.Update(1.0f);
    EXPECT_EQ(sprite.GetFrame(), 0);
    EXPECT_EQ(sprite.GetFrameTime(), 0.0f);
    sprite.SetFps(-1);
    EXPECT_FLOAT_EQ(sprite.GetFrameTime(), 0.1f);

    // 0.06 s into a 0.1 s frame is 60 %; at 20 fps that is 0.03 s of 0.05 s,
    // so 0.025 s more is just past the frame's end.
    sprite.Update(0.06f);
    sprite.SetFps(20);
    EXPECT_FLOAT_EQ(sprite.GetFrameTime(), 0.05f);
    sprite.Update(0.015f);
    EXPECT_EQ(sprite.GetFrame(), 0);
    sprite.Update(0.01f);
    EXPECT_EQ(sprite.GetFrame(), 1);
}

TEST(SpriteTest, EndlessTimeStepsEnd) {
    const float INF = std::numeric_limits<float>::infinity();
    const float NAN_TIME = std::numeric_limits<float>::quiet_NaN();
    for (const float dt : {INF, NAN_TIME, 1e30f}) {
        SCOPED_TRACE(dt);
        Sprite sprite(std::weak_ptr<SpriteManager>(), MakeData(4, 10));
        CallbackLog log;
        sprite.callback = &log;
        sprite.Update(dt);
        EXPECT_GE(sprite.GetFrame(), 0);
        EXPECT_LT(sprite.GetFrame(), 4);
        // The unusable time was dropped: the sprite runs normally afterwards.
        const int before = sprite.GetFrame();
        sprite.Update(0.05f);
        EXPECT_EQ(sprite.GetFrame(), before);
        sprite.Update(0.06f);
        EXPECT_EQ(sprite.GetFrame(), (before + 1) % 4);
    }

    // A huge rate makes at most the step limit of frame steps per update.
    Sprite fast(std::weak_ptr<SpriteManager>(), MakeData(1, 10));
    CallbackLog log;
    fast.callback = &log;
    fast.SetFps(1e9f);
    fast.Update(10.0f);
    EXPECT_EQ(log.log.size(),
              std::string("loop@0 ").size() * SpriteAnimation::MAX_STEPS_PER_UPDATE);
}

TEST(SpriteTest, UnloadedDataNeitherStepsNorBanksTime) {
    const SpriteDataPtr data = MakeData(4, 10, {T, T, T, T});
    Sprite sprite(std::weak_ptr<SpriteManager>(), data);
    sprite.SetFrame(3);
    data->Unload();
    CallbackLog log;
    sprite.callback = &log;
    sprite.Update(0.55f);
    EXPECT_EQ(log.log, "");
    EXPECT_EQ(log.updates, 1);
    sprite.SetFrame(2);
    EXPECT_EQ(sprite.GetFrame(), 0);
}

// Changes the sprite from inside the step loop, as game callbacks do.
class StopOnLoop : public SpriteCallback {
public:
    explicit StopOnLoop(Sprite& sprite) : sprite(sprite) {}
    void OnLoop(SpriteAnimation&) override { sprite.SetFps(0); }
    Sprite& sprite;
};

TEST(SpriteTest, ACallbackMayStopTheLoop) {
    Sprite sprite(std::weak_ptr<SpriteManager>(), MakeData(2, 10));
    StopOnLoop stop(sprite);
    sprite.callback = &stop;
    sprite.Update(0.95f);
    EXPECT_EQ(sprite.GetFrame(), 0);
    sprite.Update(1.0f);
    EXPECT_EQ(sprite.GetFrame(), 0);
}

}  // namespace
