#include "engine/sprites/sprite_animation.h"

#include <cmath>

#include "engine/sprites/sprite_callback.h"

namespace orvel {

void SpriteCallback::OnLoop(SpriteAnimation&) {}
void SpriteCallback::OnReachedStart(SpriteAnimation&) {}
void SpriteCallback::OnFinished(SpriteAnimation&) {}
void SpriteCallback::OnMarkedFrameA(SpriteAnimation&) {}
void SpriteCallback::OnMarkedFrameB(SpriteAnimation&) {}
int SpriteCallback::OnUpdated(SpriteAnimation&, float) { return 0; }

float SpriteAnimation::FrameTimeOf(float fps) { return fps > 0.0f ? 1.0f / fps : 0.0f; }

void SpriteAnimation::SelectFrame(int32_t index, int32_t frameCount) {
    accumulator = 0.0f;
    if (frameCount <= 0) {
        frame = 0;
        return;
    }
    int64_t wanted = index < 0 ? int64_t(frameCount) + index : int64_t(index);
    if (wanted < 0) {
        wanted = 0;
    } else if (wanted >= frameCount) {
        wanted = frameCount - 1;
    }
    frame = static_cast<int32_t>(wanted);
}

void SpriteAnimation::AdvanceBy(int32_t n, int32_t frameCount) {
    accumulator = 0.0f;
    if (frameCount <= 0) {
        frame = 0;
        return;
    }
    int64_t wanted = (int64_t(frame) + n) % frameCount;
    if (wanted < 0) {
        wanted += frameCount;
    }
    frame = static_cast<int32_t>(wanted);
}

void SpriteAnimation::StepFrame(int32_t frameCount) {
    if (frameCount <= 0) {
        frame = 0;
        return;
    }
    // A frame left out of range by a change of data is brought back first.
    if (frame < 0 || frame >= frameCount) {
        frame = frame < 0 ? 0 : frameCount - 1;
    }
    switch (mode) {
        case LoopForward:
            if (++frame >= frameCount) {
                frame = 0;
                if (callback)
                    callback->OnLoop(*this);
            }
            break;
        case LoopBackward:
            if (--frame < 0) {
                frame = frameCount - 1;
                if (callback)
                    callback->OnLoop(*this);
            }
            break;
        case BounceForward:
            if (++frame >= frameCount) {
                frame = frameCount - 1;
                mode = BounceBackward;
                if (callback)
                    callback->OnFinished(*this);
            }
            break;
        case BounceBackward:
            if (--frame < 0) {
                frame = 0;
                mode = BounceForward;
                if (callback)
                    callback->OnReachedStart(*this);
            }
            break;
    }
}

void SpriteAnimation::SettleTime(int steps) {
    if (steps >= MAX_STEPS_PER_UPDATE || !std::isfinite(accumulator)) {
        accumulator = 0.0f;
    }
}

}  // namespace orvel
