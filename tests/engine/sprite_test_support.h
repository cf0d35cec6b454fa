#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/resources/frame_sheet.h"
#include "engine/sprites/sprite_animation.h"
#include "engine/sprites/sprite_callback.h"
#include "engine/sprites/sprite_file.h"

// Sprites for tests are built in memory: a description of numbered frames
// over a sheet of 8x8 frames that no picture backs.

// `frames` frames at `fps`; frame i carries flags[i], frames past the list
// none.
inline orvel::SpriteDescription DescribeFrames(size_t frames, float fps,
                                               const std::vector<uint8_t>& flags) {
    orvel::SpriteDescription description;
    for (size_t i = 0; i < frames; ++i) {
        description.AddFrame("frame" + std::to_string(i) + ".bbq");
        if (i < flags.size()) {
            description.flags[i] = flags[i];
        }
    }
    description.fps = fps;
    return description;
}

// A 32-bit sheet of `frames` 8x8 frames stacked in one column.
inline orvel::FrameSheet EightPixelSheet(uint32_t frames) {
    orvel::FrameSheet sheet;
    sheet.width = 8;
    sheet.frameHeight = 8;
    sheet.paddedWidth = 8;
    sheet.paddedHeight = static_cast<uint32_t>(orvel::PadToPowerOfTwo(8u * frames));
    sheet.bpp = 32;
    sheet.frameCount = frames;
    return sheet;
}

// Writes every callback into a log as "event@frame " so tables can compare it.
class CallbackLog : public orvel::SpriteCallback {
public:
    void OnLoop(orvel::SpriteAnimation& s) override { Add("loop", s); }
    void OnReachedStart(orvel::SpriteAnimation& s) override { Add("start", s); }
    void OnFinished(orvel::SpriteAnimation& s) override { Add("finish", s); }
    void OnMarkedFrameA(orvel::SpriteAnimation& s) override { Add("A", s); }
    void OnMarkedFrameB(orvel::SpriteAnimation& s) override { Add("B", s); }
    int OnUpdated(orvel::SpriteAnimation&, float) override {
        ++updates;
        return 0;
    }

    std::string log;
    int updates = 0;

private:
    void Add(const char* event, const orvel::SpriteAnimation& s) {
        log += std::string(event) + "@" + std::to_string(s.GetFrame()) + " ";
    }
};

// Plays a sprite (a Sprite or a CachedSprite) from frame `start` in `mode`,
// one update per step, and expects the frame shown after each step, the
// callbacks as logged and one OnUpdated per step.
template <typename AnySprite>
void ExpectPlay(AnySprite& sprite, orvel::SpritePlayMode mode, int start,
                const std::vector<float>& steps, const std::vector<int>& shown,
                const std::string& log) {
    CallbackLog callbacks;
    sprite.callback = &callbacks;
    sprite.mode = mode;
    sprite.SetFrame(start);
    std::vector<int> frames;
    for (const float dt : steps) {
        sprite.Update(dt);
        frames.push_back(sprite.GetFrame());
    }
    EXPECT_EQ(frames, shown);
    EXPECT_EQ(callbacks.log, log);
    EXPECT_EQ(callbacks.updates, static_cast<int>(steps.size()));
}
