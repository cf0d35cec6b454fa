#pragma once

#include <cstdint>

namespace orvel {

class SpriteCallback;

enum SpritePlayMode : uint8_t {
    LoopForward = 0,
    LoopBackward = 1,
    BounceForward = 2,   // turns into BounceBackward at the last frame
    BounceBackward = 3,  // turns into BounceForward at the first frame
};

// The animation cursor that both sprite families share: the current frame,
// the play mode, the time banked towards the next frame and the callback.
// The families differ in where their frame data lives and in how long a
// frame lasts, so each runs its own update loop over these steps.
//
// Frame arithmetic is signed and every frame index handed in is brought into
// range, so a frame is never read out of bounds, even over data that holds no
// frames (its textures unloaded).
class SpriteAnimation {
public:
    SpriteCallback* callback = nullptr;  // not owned
    SpritePlayMode mode = LoopForward;

    int32_t GetFrame() const { return frame; }
    float GetFrameTime() const { return frameTime; }

    // The frame time of a rate in frames per second; a rate of 0 or less (or
    // not a number) means stopped.
    static float FrameTimeOf(float fps);

    // One update never makes more frame steps than this; the time left over
    // is dropped, so a huge or infinite time step cannot stall the game.
    static const int MAX_STEPS_PER_UPDATE = 1024;

protected:
    SpriteAnimation() = default;
    ~SpriteAnimation() = default;

    // `index` from the start, or from the end when negative (-1 is the last
    // frame); indices outside the frames are clamped to the first or last.
    void SelectFrame(int32_t index, int32_t frameCount);
    // Moves by n frames, wrapping around the frame count in either direction.
    void AdvanceBy(int32_t n, int32_t frameCount);
    // One step of the play mode; calls OnLoop, OnFinished or OnReachedStart
    // when the step wraps or turns. Does nothing over no frames.
    void StepFrame(int32_t frameCount);
    // Called after the step loop: drops the time left when the loop hit the
    // step limit or the bank is not a finite number.
    void SettleTime(int steps);

    float frameTime = 0.0f;  // seconds per frame; 0 = stopped
    float accumulator = 0.0f;
    int32_t frame = 0;
};

}  // namespace orvel
