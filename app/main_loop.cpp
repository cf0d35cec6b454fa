#include "app/main_loop.h"

namespace {

class MainLoop {
public:
    MainLoop(LoopHost& host, Timer& timer) : host(host), timer(timer) {}

    void Run(orvel::StatePtr current);

private:
    // Runs frames of `current` until it hands back a next state; returns it,
    // or null when the player quit.
    orvel::StatePtr RunState(orvel::State& current);
    void HandleSwitches(orvel::State& current);
    float WaitForFrameTime();

    LoopHost& host;
    Timer& timer;
    int handledSwitchCount = 0;
    bool switchedOut = false;
};

void MainLoop::Run(orvel::StatePtr current) {
    while (!current->IsFinished() && !host.IsQuitRequested()) {
        orvel::StatePtr next = RunState(*current);
        if (!next || host.IsQuitRequested()) {
            return;
        }
        current = std::move(next);
        // The new state's first frame is timed from here.
        timer.Lap();
    }
}

orvel::StatePtr MainLoop::RunState(orvel::State& current) {
    orvel::StatePtr next;
    while (!next) {
        if (host.IsQuitRequested()) {
            return orvel::StatePtr();
        }
        HandleSwitches(current);
        if (switchedOut) {
            host.SleepSwitchedOut();
            continue;
        }
        host.BeginFrame();
        const float dt = WaitForFrameTime();
        const orvel::Input& input = host.PollInput();
        orvel::StatePtr result = current.Update(input, dt);
        if (result) {
            next = std::move(result);
        }
        host.BeginDraw();
        current.Draw();
        host.EndFrame();
    }
    return next;
}

// Several switches between two turns count as their sum: only a change of
// direction does any work, and a repeated one changes nothing.
void MainLoop::HandleSwitches(orvel::State& current) {
    const int counter = host.GetSwitchCounter();
    if (counter == handledSwitchCount) {
        return;
    }
    if (counter > handledSwitchCount && !switchedOut) {
        switchedOut = true;
        host.SwitchOut(current);
    } else if (counter < handledSwitchCount && switchedOut) {
        host.SwitchIn(current);
        switchedOut = false;
        // The time spent away is not part of the next frame.
        timer.Lap();
    }
    handledSwitchCount = counter;
}

// Busy-waits: a sleep would overshoot the frame by the scheduler's slice.
float MainLoop::WaitForFrameTime() {
    float dt = float(timer.Lap());
    while (double(dt) < FRAME_PERIOD) {
        dt += float(timer.Lap());
    }
    return dt;
}

}  // namespace

void RunMainLoop(orvel::StatePtr current, LoopHost& host, Timer& timer) {
    MainLoop loop(host, timer);
    loop.Run(std::move(current));
}
