#include "engine/sprites/cached_sprite.h"

#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "tests/engine/sprite_test_support.h"

using namespace orvel;

namespace {

// A cache entry over a sheet of 8x8 frames, one frame per length multiplier.
SpriteCachePtr MakeEntry(const std::vector<float>& multipliers, float fps,
                         const std::vector<uint8_t>& flags = {}) {
    SpriteDescription description = DescribeFrames(multipliers.size(), fps, flags);
    description.lengthMultipliers = multipliers;
    const SpriteCachePtr entry = std::make_shared<SpriteCache>();
    entry->SetFrames(description, EightPixelSheet(static_cast<uint32_t>(multipliers.size())));
    return entry;
}

const uint8_t F = SPRITE_FLAG_FOOTSTEP;
const uint8_t T = SPRITE_FLAG_TRIGGER;

struct CachedPlayCase {
    const char* label;
    SpritePlayMode mode;
    std::vector<float> multipliers;
    int start;
    float fps;
    std::vector<float> steps;
    std::vector<int> shown;
    std::string log;
    std::vector<uint8_t> flags = {};
};

const CachedPlayCase CACHED_PLAY_CASES[] = {
    {"a long frame holds for 0.25 s", LoopForward, {1, 3}, 1, 10, {0.25f}, {1}, ""},
    {"a long frame ends after 0.35 s", LoopForward, {1, 3}, 1, 10, {0.35f}, {0}, "loop@0 "},
    {"one update uses the length of its first frame",
     LoopForward,
     {1, 3},
     0,
     10,
     {0.35f},
     {1},
     "loop@0 "},
    {"footstep before trigger",
     LoopForward,
     {1, 1, 1},
     0,
     10,
     {0.15f},
     {1},
     "B@1 A@1 ",
     {0, T | F, 0}},
    {"backward wraps", LoopBackward, {1, 1, 1, 1}, 0, 10, {0.15f}, {3}, "loop@3 "},
    {"bounce forward turns at both ends",
     BounceForward,
     {1, 1, 1},
     0,
     10,
     {0.105f, 0.105f, 0.105f, 0.105f, 0.105f, 0.105f, 0.105f},
     {1, 2, 2, 1, 0, 0, 1},
     "finish@2 start@0 "},
    {"bounce backward turns at both ends",
     BounceBackward,
     {1, 1, 1},
     2,
     10,
     {0.105f, 0.105f, 0.105f, 0.105f},
     {1, 0, 0, 1},
     "start@0 "},
    {"no fps never advances", LoopForward, {1, 1}, 0, 0, {3.0f}, {0}, ""},
    {"a zero multiplier stops", LoopForward, {0, 1}, 0, 10, {3.0f}, {0}, ""},
    {"a negative multiplier stops", LoopForward, {-2, 1}, 0, 10, {3.0f}, {0}, ""},
    {"a negative fps stops", LoopForward, {1, 1}, 0, -4, {3.0f}, {0}, ""},
};

TEST(CachedSpriteTest, PlayModeTable) {
    for (const CachedPlayCase& c : CACHED_PLAY_CASES) {
        SCOPED_TRACE(c.label);
        CachedSprite sprite;
        sprite.SetCache(MakeEntry(c.multipliers, c.fps, c.flags));
        ExpectPlay(sprite, c.mode, c.start, c.steps, c.shown, c.log);
    }
}

TEST(CachedSpriteTest, AdvanceFramesWrapsBothWays) {
    const struct {
        int from;
        int n;
        int to;
    } cases[] = {{2, 5, 3},
                 {1, -3, 2},
                 {1, -9, 0},
                 {0, -5, 3},
                 {3, 1, 0},
                 {0, -4, 0},
                 {2, std::numeric_limits<int32_t>::min(), 2},
                 {3, std::numeric_limits<int32_t>::max(), 2}};
    CachedSprite sprite;
    sprite.SetCache(MakeEntry({1, 1, 1, 1}, 10));
    for (const auto& c : cases) {
        sprite.SetFrame(c.from);
        sprite.AdvanceFrames(c.n);
        EXPECT_EQ(sprite.GetFrame(), c.to) << c.from << " advanced by " << c.n;
    }
}

TEST(CachedSpriteTest, NoFramesNeverHangs) {
    const SpriteCachePtr entry = MakeEntry({1, 1, 1, 1}, 10);
    CachedSprite sprite;
    sprite.SetCache(entry);
    sprite.SetFrame(3);
    entry->UnloadTexture();
    EXPECT_EQ(entry->GetFrameCount(), 0);
    sprite.AdvanceFrames(-7);
    EXPECT_EQ(sprite.GetFrame(), 0);
    sprite.SetFrame(-1);
    EXPECT_EQ(sprite.GetFrame(), 0);
    sprite.Update(std::numeric_limits<float>::infinity());
    EXPECT_EQ(sprite.GetFrame(), 0);

    CachedSprite blank;
    blank.AdvanceFrames(3);
    blank.Update(1.0f);
    EXPECT_EQ(blank.GetFrame(), 0);
}

TEST(CachedSpriteTest, SetFrameCountsFromTheEndAndClamps) {
    CachedSprite sprite;
    sprite.SetCache(MakeEntry({1, 1, 1}, 10));
    const struct {
        int index;
        int frame;
    } cases[] = {{1, 1}, {-1, 2}, {-3, 0}, {-4, 0}, {3, 2}};
    for (const auto& c : cases) {
        sprite.SetFrame(c.index);
        EXPECT_EQ(sprite.GetFrame(), c.frame) << "SetFrame(" << c.index << ")";
    }
}

TEST(CachedSpriteTest, InfiniteTimeIsDropped) {
    CachedSprite sprite;
    sprite.SetCache(MakeEntry({1, 1, 1}, 10));
    sprite.Update(std::numeric_limits<float>::infinity());
    const int after = sprite.GetFrame();
    sprite.Update(0.05f);
    EXPECT_EQ(sprite.GetFrame(), after);
}

TEST(CachedSpriteTest, WithoutAManagerSetAnimationThrows) {
    CachedSprite sprite;
    EXPECT_THROW(sprite.SetAnimation("resources/sprites/cog.txt"), ExceptionGeneral);
}

}  // namespace
