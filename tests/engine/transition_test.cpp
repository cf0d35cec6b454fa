#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "engine/core/input.h"
#include "engine/state/fade_transition.h"
#include "engine/state/slide_transition.h"
#include "engine/state/transition_factory.h"
#include "tests/engine/null_input_source.h"

namespace {

// Records what a transition does to the screens it holds.
class RecordingState : public orvel::State {
public:
    orvel::StatePtr Update(const orvel::Input&, float dt) override {
        ++updates;
        lastDt = dt;
        // Tries to switch away; a transition must drop this.
        return std::make_shared<RecordingState>();
    }
    void Draw() override { ++draws; }
    void UnloadTextures() override { ++unloads; }
    void ReloadTextures() override { ++reloads; }
    PropertyKey GetName() const override { return "transitionTestState"; }

    int updates = 0;
    int draws = 0;
    int unloads = 0;
    int reloads = 0;
    float lastDt = 0.0f;
};

struct TransitionFixture : ::testing::Test {
    orvel::Input input{std::make_shared<NullInputSource>()};
    std::shared_ptr<RecordingState> from = std::make_shared<RecordingState>();
    std::shared_ptr<RecordingState> to = std::make_shared<RecordingState>();

    // Number of updates of `dt` until the transition hands over `to`.
    int UpdatesUntilHandOver(orvel::State& transition, float dt) {
        for (int n = 1; n < 10000; ++n) {
            const orvel::StatePtr next = transition.Update(input, dt);
            if (next) {
                EXPECT_EQ(next, to);
                return n;
            }
        }
        return -1;
    }
};

const float HEIGHT = 600.0f;
const float WIDTH = 800.0f;

}  // namespace

TEST_F(TransitionFixture, UpdatesUntilHandOver) {
    const struct {
        float duration;
        float dt;
        int updates;
    } cases[] = {
        {0.5f, 1.0f / 70.0f, 35}, {0.5f, 0.2f, 8},  // each slow frame advances only 1/15 s
        {0.5f, 0.5f, 8},          {1.0f, 1.0f / 15.0f, 15},
        {0.0f, 1.0f / 70.0f, 1},  {0.0f, 0.0f, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.duration);
        SCOPED_TRACE(c.dt);
        orvel::StateTransitionFade fade(from, to, c.duration);
        EXPECT_EQ(UpdatesUntilHandOver(fade, c.dt), c.updates);
        EXPECT_EQ(fade.GetElapsed(), c.duration);
        EXPECT_EQ(fade.GetProgress(), 1.0f);
        // Done stays done, and keeps handing over the same screen.
        EXPECT_EQ(fade.Update(input, c.dt), to);
    }
}

TEST_F(TransitionFixture, OnlyTheIncomingScreenRunsWithTheUnclampedStep) {
    orvel::StateTransitionSlideUp slide(from, to, 0.5f);
    EXPECT_EQ(slide.Update(input, 0.2f), nullptr);
    EXPECT_EQ(to->updates, 1);
    EXPECT_EQ(to->lastDt, 0.2f);
    EXPECT_EQ(from->updates, 0);
    EXPECT_FLOAT_EQ(slide.GetElapsed(), orvel::TRANSITION_MAX_STEP);
}

TEST_F(TransitionFixture, TransitionCountsLastAsLongAsTheTransition) {
    {
        const orvel::StatePtr fade = std::make_shared<orvel::StateTransitionFade>(from, to, 0.5f);
        const orvel::StatePtr slide =
            std::make_shared<orvel::StateTransitionSlideLeft>(to, from, 0.5f);
        EXPECT_EQ(from->GetTransitionCount(), 2);
        EXPECT_EQ(to->GetTransitionCount(), 2);
        EXPECT_EQ(from.use_count(), 3);
    }
    EXPECT_EQ(from->GetTransitionCount(), 0);
    EXPECT_EQ(to->GetTransitionCount(), 0);
    EXPECT_EQ(from.use_count(), 1);
}

TEST_F(TransitionFixture, TexturesAreUnloadedAndReloadedOnBothScreens) {
    orvel::StateTransitionSlideDown slide(from, to, 0.5f);
    slide.UnloadTextures();
    slide.ReloadTextures();
    EXPECT_EQ(from->unloads, 1);
    EXPECT_EQ(to->unloads, 1);
    EXPECT_EQ(from->reloads, 1);
    EXPECT_EQ(to->reloads, 1);
}

TEST_F(TransitionFixture, SlideOffsetsFollowTheEasedProgress) {
    // d is the eased travel: (sin(p*pi - pi/2) + 1) / 2 * size.
    const struct {
        const char* name;
        float fromX, fromY, toX, toY;  // as multiples of d and of the size
    } kinds[] = {
        {"STATE_TRANSITION_SlideUp", 0, 1, 0, 1},
        {"STATE_TRANSITION_SlideDown", 0, -1, 0, -1},
        {"STATE_TRANSITION_SlideRight", 1, 0, 1, 0},
        {"STATE_TRANSITION_SlideLeft", -1, 0, -1, 0},
    };
    // Progress after n updates of 1/20 s of a 0.5 s transition, and the
    // expected eased travel as a fraction of the size.
    const struct {
        int updates;
        float travel;
    } steps[] = {{0, 0.0f}, {5, 0.5f}, {10, 1.0f}, {2, 0.0954915f}, {8, 0.9045085f}};
    for (const auto& kind : kinds) {
        for (const auto& step : steps) {
            SCOPED_TRACE(kind.name);
            SCOPED_TRACE(step.updates);
            const orvel::StatePtr transition =
                orvel::CreateTransition(PropertyKey(kind.name), from, to, 0.5f);
            ASSERT_NE(transition, nullptr);
            EXPECT_EQ(transition->GetName(), PropertyKey(kind.name));
            for (int i = 0; i < step.updates; ++i) {
                transition->Update(input, 0.05f);
            }
            const auto& slide = dynamic_cast<const orvel::StateTransitionSlide&>(*transition);
            const orvel::SlideOffsets offsets = slide.GetOffsets(WIDTH, HEIGHT);
            const float dx = step.travel * WIDTH;
            const float dy = step.travel * HEIGHT;
            EXPECT_NEAR(offsets.from.x, kind.fromX * dx, 1e-3f);
            EXPECT_NEAR(offsets.from.y, kind.fromY * dy, 1e-3f);
            // The incoming screen sits one screen behind the outgoing one.
            EXPECT_NEAR(offsets.to.x, kind.toX * (dx - WIDTH), 1e-3f);
            EXPECT_NEAR(offsets.to.y, kind.toY * (dy - HEIGHT), 1e-3f);
        }
    }
}

TEST_F(TransitionFixture, ZeroDurationShowsTheIncomingScreenInItsFinalPlace) {
    orvel::StateTransitionSlideUp slide(from, to, 0.0f);
    EXPECT_EQ(slide.GetProgress(), 1.0f);
    EXPECT_EQ(slide.Update(input, 0.0f), to);
    const orvel::SlideOffsets offsets = slide.GetOffsets(WIDTH, HEIGHT);
    EXPECT_FALSE(std::isnan(offsets.to.y));
    EXPECT_NEAR(offsets.to.y, 0.0f, 1e-3f);
    EXPECT_NEAR(offsets.from.y, HEIGHT, 1e-3f);

    orvel::StateTransitionFade fade(from, to, 0.0f);
    EXPECT_FALSE(fade.DrawsFromState());
    EXPECT_NEAR(fade.GetOverlayAlpha(), 0.0f, 1e-6f);
}

TEST_F(TransitionFixture, FadeSwitchesScreensAtHalfTimeExactly) {
    // A 1 s fade advanced in steps of 1/16 s: exact binary fractions, so half
    // time is reached exactly after 8 steps.
    const struct {
        int updates;
        bool drawsFrom;
        float alpha;
    } steps[] = {{0, true, 0.0f},
                 {4, true, 0.2928932f},
                 {8, true, 1.0f},
                 {9, false, 0.8049097f},
                 {16, false, 0.0f}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.updates);
        orvel::StateTransitionFade fade(from, to, 1.0f);
        for (int i = 0; i < step.updates; ++i) {
            fade.Update(input, 0.0625f);
        }
        EXPECT_EQ(fade.DrawsFromState(), step.drawsFrom);
        EXPECT_NEAR(fade.GetOverlayAlpha(), step.alpha, 1e-5f);
    }
}

TEST_F(TransitionFixture, FactoryKnowsExactlyTheFiveTransitions) {
    for (const char* name :
         {"STATE_TRANSITION_SlideUp", "STATE_TRANSITION_SlideDown", "STATE_TRANSITION_SlideRight",
          "STATE_TRANSITION_SlideLeft", "STATE_TRANSITION_Fade"}) {
        EXPECT_TRUE(orvel::IsTransitionName(PropertyKey(name))) << name;
        const orvel::StatePtr transition = orvel::CreateTransition(name, from, to, 0.25f);
        ASSERT_NE(transition, nullptr) << name;
        EXPECT_EQ(transition->GetName(), PropertyKey(name));
        EXPECT_EQ(dynamic_cast<orvel::StateTransition&>(*transition).GetDuration(), 0.25f);
    }
    for (const char* name : {"STATE_TRANSITION_Wipe", "", "STATE_TRANSITION_fade"}) {
        EXPECT_FALSE(orvel::IsTransitionName(PropertyKey(name))) << name;
        EXPECT_EQ(orvel::CreateTransition(PropertyKey(name), from, to, 0.5f), nullptr) << name;
    }
    EXPECT_EQ(from->GetTransitionCount(), 0);
}
