#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "game/frontend/frontend_states.h"
#include "game/frontend/pause_menu.h"
#include "tests/game/play/play_fixture.h"

namespace {

const int KEY_ESCAPE = 59;

// A level of the real game with the real pause menu from the built content.
class PauseMenuPlayTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        RegisterFrontendStates(*TarnmooreStateMachineImpl::Instance());
    }
    void TearDown() override {
        MechanicaState::SetPauseMenuFactory(nullptr);
        PlayFixture::TearDown();
    }

    // Every body's place, in the world's order.
    std::vector<std::pair<float, float>> Places() const {
        std::vector<std::shared_ptr<orvel::Body>> bodies;
        World().CopyBodyList(bodies);
        std::vector<std::pair<float, float>> places;
        for (const auto& body : bodies) {
            places.emplace_back(body->GetPosition().x, body->GetPosition().y);
        }
        return places;
    }

    // A frame with the mouse on the middle of the menu's morph of that name,
    // the left button held as asked.
    ScriptedFrame OnButton(const char* name, int buttons) const {
        orvel::Morph* menu = dynamic_cast<orvel::Morph*>(game->GetPauseMenu().get());
        const orvel::MorphRect box = menu->FindChild(PropertyKey(name))->GetRect();
        ScriptedFrame frame;
        frame.mouseX = (box.left + box.right) / 2;
        frame.mouseY = (box.top + box.bottom) / 2;
        frame.mouseButtons = buttons;
        return frame;
    }
};

TEST_F(PauseMenuPlayTest, EscapeOpensTheMenuAndResumeContinuesTheSameFrame) {
    StartLevel();
    Run(30);
    Run(1, [](int) {
        ScriptedFrame frame;
        frame.keys.insert(KEY_ESCAPE);
        return frame;
    });
    ASSERT_TRUE(game->IsPaused());
    ASSERT_TRUE(std::dynamic_pointer_cast<PauseMenu>(game->GetPauseMenu()));
    const auto places = Places();
    const float accumulated = World().GetAccumulator();

    Run(20);
    Run(1, [this](int) { return OnButton("Resume", 0); });
    EXPECT_TRUE(game->IsPaused());
    EXPECT_EQ(Places(), places) << "nothing moved while paused";
    Run(1, [this](int) { return OnButton("Resume", 1); });
    EXPECT_EQ(Fired(), "");
    EXPECT_FALSE(game->IsPaused());
    EXPECT_EQ(game->GetPauseMenu(), nullptr);
    EXPECT_EQ(Places(), places) << "the frame that resumes does not step the world";
    EXPECT_EQ(World().GetAccumulator(), accumulated);
    Run(5);
    EXPECT_FALSE(game->IsPaused());
    EXPECT_NE(Places(), places) << "play goes on";
}

TEST_F(PauseMenuPlayTest, HelpInThePauseMenuLeavesTheLevelByItsTrigger) {
    StartLevel();
    Run(1, [](int) {
        ScriptedFrame frame;
        frame.keys.insert(KEY_ESCAPE);
        return frame;
    });
    Run(1, [this](int) { return OnButton("Help", 0); });
    EXPECT_EQ(Run(1, [this](int) { return OnButton("Help", 1); }), 1);
    EXPECT_EQ(Fired(), "Help");
}

}  // namespace
