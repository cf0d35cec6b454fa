#include "app/main_loop.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/input.h"
#include "tests/engine/null_input_source.h"

namespace {

const int64_t TICKS_PER_SECOND = 1000000;
const int64_t TICKS_PER_READ = 1000;  // the busy wait reads the clock every millisecond

// Moves on by a fixed step at every reading, as a busy wait would see it, and
// by larger jumps when a test lets time pass elsewhere.
class FakeClock : public FrameClock {
public:
    int64_t ReadCounter() override {
        now += TICKS_PER_READ;
        return now;
    }
    int64_t ReadFrequency() override { return TICKS_PER_SECOND; }
    void Pass(double seconds) { now += int64_t(seconds * TICKS_PER_SECOND); }

private:
    int64_t now = 0;
};

// A state that records what the loop does with it. From its `handOverAt`-th
// update (counted from 1) on it hands back `next`.
class FakeState : public orvel::State {
public:
    explicit FakeState(bool finished = false) : finished(finished) {}

    orvel::StatePtr Update(const orvel::Input&, float dt) override {
        dts.push_back(dt);
        if (onUpdate) {
            onUpdate();
        }
        return int(dts.size()) >= handOverAt ? next : orvel::StatePtr();
    }
    void Draw() override { ++draws; }
    void UnloadTextures() override { ++unloads; }
    void ReloadTextures() override { ++reloads; }
    bool IsFinished() const override {
        ++finishedTests;
        return finished;
    }
    PropertyKey GetName() const override { return PropertyKey("FAKE_STATE"); }

    bool finished;
    orvel::StatePtr next;
    int handOverAt = 1;
    std::function<void()> onUpdate;
    std::vector<float> dts;
    int draws = 0;
    int unloads = 0;
    int reloads = 0;
    mutable int finishedTests = 0;
};

// The window's events by inner turn: turn i reads switchCounters[i] (the last
// value once the list runs out); from turn quitTurn on the quit flag is set.
class FakeHost : public LoopHost {
public:
    explicit FakeHost(FakeClock& clock)
        : clock(clock), input(std::make_shared<NullInputSource>()) {}

    bool IsQuitRequested() override { return turns >= quitTurn; }
    int GetSwitchCounter() override {
        const int counter = switchCounters.empty()
                                ? 0
                                : switchCounters[std::min(turns, int(switchCounters.size()) - 1)];
        ++turns;
        return counter;
    }
    // As the game's host does, the state lets go of its textures and loads
    // them again.
    void SwitchOut(orvel::State& current) override {
        log += "out ";
        current.UnloadTextures();
    }
    void SwitchIn(orvel::State& current) override {
        log += "in ";
        current.ReloadTextures();
    }
    void SleepSwitchedOut() override {
        log += "sleep ";
        clock.Pass(awaySeconds);
    }
    void BeginFrame() override { log += "frame "; }
    const orvel::Input& PollInput() override { return input; }
    void BeginDraw() override {}
    void EndFrame() override {}

    std::vector<int> switchCounters;
    int quitTurn = 1000;
    double awaySeconds = 0.01;
    std::string log;
    int turns = 0;

private:
    FakeClock& clock;
    orvel::Input input;
};

class MainLoopTest : public ::testing::Test {
protected:
    MainLoopTest() : host(clock), timer(clock) {}

    void Run(const orvel::StatePtr& first) {
        timer.Start();
        RunMainLoop(first, host, timer);
    }

    FakeClock clock;
    FakeHost host;
    Timer timer;
};

TEST_F(MainLoopTest, FinishedFirstStateEndsTheLoopWithoutAFrame) {
    auto state = std::make_shared<FakeState>(true);
    Run(state);
    EXPECT_EQ(state->finishedTests, 1);
    EXPECT_TRUE(state->dts.empty());
    EXPECT_EQ(host.log, "");
}

TEST_F(MainLoopTest, FinishedIsAskedOnlyWhenAStateBecomesCurrent) {
    auto first = std::make_shared<FakeState>();
    auto second = std::make_shared<FakeState>();
    auto exit = std::make_shared<FakeState>(true);
    first->next = second;
    first->handOverAt = 3;
    second->next = exit;
    second->handOverAt = 5;
    Run(first);

    EXPECT_EQ(first->finishedTests, 1);
    EXPECT_EQ(first->dts.size(), 3u);
    EXPECT_EQ(first->draws, 3);
    EXPECT_EQ(second->finishedTests, 1);
    EXPECT_EQ(second->dts.size(), 5u);
    EXPECT_EQ(exit->finishedTests, 1);
    EXPECT_TRUE(exit->dts.empty());
}

TEST_F(MainLoopTest, FramesLastAtLeastTheFramePeriod) {
    auto state = std::make_shared<FakeState>();
    host.quitTurn = 20;
    Run(state);
    ASSERT_EQ(state->dts.size(), 20u);
    for (float dt : state->dts) {
        EXPECT_GE(double(dt), FRAME_PERIOD);
        // Millisecond readings: the wait stops at the first one past the period.
        EXPECT_LT(double(dt), FRAME_PERIOD + 0.0011);
    }
}

TEST_F(MainLoopTest, SlowFrameGivesTheWholeTimeSinceTheLastFrame) {
    auto state = std::make_shared<FakeState>();
    state->onUpdate = [&]() {
        if (state->dts.size() == 2) {
            clock.Pass(0.25);
        }
    };
    host.quitTurn = 3;
    Run(state);
    ASSERT_EQ(state->dts.size(), 3u);
    EXPECT_NEAR(state->dts[2], 0.25, 0.002);
}

TEST_F(MainLoopTest, NewStateIsTimedFromItsHandOver) {
    auto first = std::make_shared<FakeState>();
    auto second = std::make_shared<FakeState>();
    first->next = second;
    // The old state's last frame ends slowly, after its Update.
    first->onUpdate = [&]() { clock.Pass(2.0); };
    host.quitTurn = 3;
    Run(first);
    ASSERT_EQ(second->dts.size(), 2u);
    EXPECT_LT(second->dts[0], 0.02);
}

TEST_F(MainLoopTest, QuitDuringTheHandOverFrameNeverMakesTheNextStateCurrent) {
    auto first = std::make_shared<FakeState>();
    auto second = std::make_shared<FakeState>(true);
    first->next = second;
    first->handOverAt = 2;
    host.quitTurn = 2;  // set during the second frame
    Run(first);
    EXPECT_EQ(first->dts.size(), 2u);
    EXPECT_EQ(second->finishedTests, 0);
}

struct SwitchCase {
    const char* name;
    std::vector<int> counters;  // one per inner turn; quit after the last
    const char* log;
    int unloads;
    int reloads;
};

// Names the case in test listings.
void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }

const SwitchCase SWITCH_CASES[] = {
    {"no switches", {0, 0, 0}, "frame frame frame ", 0, 0},
    {"out and back in", {0, 1, 1, 0, 0}, "frame out sleep sleep in frame frame ", 1, 1},
    {"out twice, then in twice", {1, 2, 1, 0}, "out sleep sleep in frame frame ", 1, 1},
    {"two outs between turns", {0, 2, 1, 0}, "frame out sleep in frame frame ", 1, 1},
    {"in before any out", {0, -1, 0, -1}, "frame frame out sleep in frame ", 1, 1},
    {"quit while switched out", {0, 1, 1, 1}, "frame out sleep sleep sleep ", 1, 0},
};

class MainLoopSwitchTest : public MainLoopTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(MainLoopSwitchTest, UnloadsAndReloadsOncePerSwitch) {
    const SwitchCase& c = GetParam();
    auto state = std::make_shared<FakeState>();
    host.switchCounters = c.counters;
    host.quitTurn = int(c.counters.size());
    Run(state);
    EXPECT_EQ(host.log, c.log) << c.name;
    EXPECT_EQ(state->unloads, c.unloads) << c.name;
    EXPECT_EQ(state->reloads, c.reloads) << c.name;
    // Nothing is drawn while switched out.
    EXPECT_EQ(state->draws, int(state->dts.size())) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Switches, MainLoopSwitchTest, ::testing::ValuesIn(SWITCH_CASES));

TEST_F(MainLoopTest, LongSwitchOutDoesNotMakeALongFrame) {
    auto state = std::make_shared<FakeState>();
    host.switchCounters = {0, 1, 1, 1, 0, 0};
    host.quitTurn = 6;
    host.awaySeconds = 30.0;
    Run(state);
    ASSERT_EQ(host.log, "frame out sleep sleep sleep in frame frame ");
    ASSERT_EQ(state->dts.size(), 3u);
    EXPECT_LT(state->dts[1], 0.02);
}

}  // namespace
