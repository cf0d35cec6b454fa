#include "engine/state/state.h"

#include <gtest/gtest.h>

#include "engine/core/input.h"
#include "engine/state/exit_state.h"
#include "tests/engine/null_input_source.h"

namespace {

class NamedState : public orvel::State {
public:
    using State::State;
    orvel::StatePtr Update(const orvel::Input&, float) override { return shared_from_this(); }
    void Draw() override {}
    void UnloadTextures() override {}
    void ReloadTextures() override {}
    PropertyKey GetName() const override { return "stateTestClassName"; }
};

}  // namespace

TEST(StateTest, ExitStateIsFinishedAndNamedStateExit) {
    const orvel::StatePtr exit = std::make_shared<orvel::ExitState>();
    orvel::Input input(std::make_shared<NullInputSource>());
    EXPECT_TRUE(exit->IsFinished());
    EXPECT_EQ(exit->GetName(), PropertyKey("STATE_Exit"));
    EXPECT_EQ(exit->GetStoredName(), PropertyKey());
    EXPECT_EQ(exit->Update(input, 0.1f), nullptr);
}

TEST(StateTest, StoredNameTransitionCountAndSelfPointer) {
    const orvel::StatePtr unnamed = std::make_shared<NamedState>();
    const orvel::StatePtr named = std::make_shared<NamedState>(PropertyKey("stateTestStored"));
    EXPECT_EQ(unnamed->GetStoredName(), PropertyKey());
    EXPECT_EQ(named->GetStoredName(), PropertyKey("stateTestStored"));
    EXPECT_EQ(named->GetName(), PropertyKey("stateTestClassName"));
    EXPECT_FALSE(named->IsFinished());
    EXPECT_EQ(named->GetTransitionCount(), 0);
    named->AddTransition();
    named->AddTransition();
    named->RemoveTransition();
    EXPECT_EQ(named->GetTransitionCount(), 1);

    orvel::Input input(std::make_shared<NullInputSource>());
    EXPECT_EQ(named->Update(input, 0.0f), named);
}
