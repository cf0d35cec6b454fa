#include "game/play/trigger_relay.h"

#include <gtest/gtest.h>

#include "app/state_machine.h"
#include "engine/state/state_transition.h"

namespace {

class NamedState : public orvel::State {
public:
    explicit NamedState(PropertyKey name) : State(name) {}
    orvel::StatePtr Update(const orvel::Input&, float) override { return nullptr; }
    void Draw() override {}
    void UnloadTextures() override {}
    void ReloadTextures() override {}
    PropertyKey GetName() const override { return GetStoredName(); }
};

class PlainTransition : public orvel::StateTransition {
public:
    using StateTransition::StateTransition;
    void Draw() override {}
    PropertyKey GetName() const override { return PropertyKey("PlainTransition"); }
};

// The game's entry leads to "Won" on "Win" and to "Helped" on "Help".
class TriggerRelayTest : public ::testing::Test {
protected:
    void SetUp() override {
        TarnmooreStateMachineImpl& machine = *TarnmooreStateMachineImpl::Instance();
        previous = machine.GetDefinition();
        const orvel::PropertiesPtr tree = std::make_shared<orvel::Properties>();
        const orvel::PropertiesPtr game = std::make_shared<orvel::Properties>();
        for (const char* trigger : {"Win", "Help"}) {
            const orvel::PropertiesPtr entry = std::make_shared<orvel::Properties>();
            const std::string next = trigger == std::string("Win") ? "Won" : "Helped";
            entry->SetString(PropertyKey("state"), next);
            game->SetStruct(PropertyKey(trigger), entry);
            tree->SetStruct(PropertyKey(next), std::make_shared<orvel::Properties>());
            machine.RegisterStateClass(PropertyKey(next), [](const StateArguments& arguments) {
                return std::make_shared<NamedState>(arguments.name);
            });
        }
        tree->SetStruct(PropertyKey("Game"), game);
        machine.SetDefinition(tree);
    }
    void TearDown() override { TarnmooreStateMachineImpl::Instance()->SetDefinition(previous); }

    orvel::PropertiesPtr previous;
    const std::shared_ptr<NamedState> game = std::make_shared<NamedState>(PropertyKey("Game"));
    TriggerRelay relay;
};

TEST_F(TriggerRelayTest, FiresAtOnceOutsideTransitions) {
    const orvel::StatePtr next = relay.Fire(*game, PropertyKey("Win"));
    ASSERT_TRUE(next);
    EXPECT_EQ(next->GetName(), PropertyKey("Won"));
    EXPECT_FALSE(relay.HasKept());
    EXPECT_FALSE(relay.FireKept(*game));
}

TEST_F(TriggerRelayTest, TriggerFiredDuringATransitionFiresWhenItEnds) {
    auto transition = std::make_shared<PlainTransition>(
        std::make_shared<NamedState>(PropertyKey("Before")), game, 0.5f);
    EXPECT_FALSE(relay.Fire(*game, PropertyKey("Win")));
    EXPECT_FALSE(relay.Fire(*game, PropertyKey("Help")));
    EXPECT_TRUE(relay.HasKept());
    EXPECT_FALSE(relay.FireKept(*game)) << "still sliding in";

    transition.reset();
    const orvel::StatePtr next = relay.FireKept(*game);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->GetName(), PropertyKey("Won")) << "the first trigger decided";
    EXPECT_FALSE(relay.HasKept());
    EXPECT_FALSE(relay.FireKept(*game));
}

}  // namespace
