#pragma once

#include "app/frame_timer.h"
#include "engine/state/state.h"

namespace orvel {
class Input;
}

// The shortest frame: at most 70 updates per second.
const double FRAME_PERIOD = 0.014285714285714285;

// What the main loop needs from the world around it. The game gives it the
// display, the window's events and the sound; tests give it a recording fake.
class LoopHost {
public:
    virtual ~LoopHost() = default;

    virtual bool IsQuitRequested() = 0;
    // Counts switch-outs up and switch-ins down (see window_events.h).
    virtual int GetSwitchCounter() = 0;

    // The display was taken away: let go of everything that lives on it.
    virtual void SwitchOut(orvel::State& current) = 0;
    // The display is back: make it ready and reload what SwitchOut let go.
    virtual void SwitchIn(orvel::State& current) = 0;
    // One idle turn while switched out.
    virtual void SleepSwitchedOut() = 0;

    // One frame, in this order: BeginFrame, PollInput, the state's Update,
    // BeginDraw, the state's Draw, EndFrame.
    virtual void BeginFrame() = 0;
    virtual const orvel::Input& PollInput() = 0;
    virtual void BeginDraw() = 0;
    virtual void EndFrame() = 0;
};

// Runs frames of `current` until a state that is finished becomes current or
// the player quits. A state that hands back another from Update is replaced
// after that frame; the end is checked only then. Frames are paced to at
// least FRAME_PERIOD by waiting on `timer`, which must have been started;
// time spent switched out never counts towards a frame.
void RunMainLoop(orvel::StatePtr current, LoopHost& host, Timer& timer);
