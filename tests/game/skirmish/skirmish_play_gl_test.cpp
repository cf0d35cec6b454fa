// A skirmish set up on the real skirmish screen, started through the game's
// own state machine, and played: the level runs with exactly the controls,
// units, cash flow and airship strength chosen on the screen.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <boost/algorithm/string/replace.hpp>

#include "app/show_message.h"
#include "engine/state/state_transition.h"
#include "engine/ui/sprite_morph.h"
#include "game/frontend/frontend_states.h"
#include "game/frontend/level_list_morph.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/skirmish_menu.h"
#include "game/units/components/factory_component.h"
#include "tests/game/play/play_fixture.h"

namespace {

const int KEY_NUMBER_ROW_1 = 28;
const int KEY_KEYPAD_1 = 38;
const int KEY_UP = 84;

// The state behind a transition, if any.
orvel::StatePtr Unwrap(const orvel::StatePtr& state) {
    const auto* transition = dynamic_cast<const orvel::StateTransition*>(state.get());
    return transition != nullptr ? transition->GetTo() : state;
}

std::string NameOf(const orvel::StatePtr& state) {
    const orvel::StatePtr shown = Unwrap(state);
    return shown ? shown->GetStoredName().GetName() : "";
}

class SkirmishPlayTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        TarnmooreStateMachineImpl& machine = *TarnmooreStateMachineImpl::Instance();
        machine.LoadStateMachineDefinition();
        RegisterFrontendStates(machine);
        orvel::GlobalProperties()
            .GetProperties(PropertyKey("TARNMOORE_Settings"))
            ->SetInt(PropertyKey("TARNMOORE_HighestLevelReached"), 16);
        orvel::GlobalProperties().Erase(PropertyKey("selectedSkirmishLevelIndex"));
        previousHandler =
            SetMessageHandler([this](const std::string& text) { messages.push_back(text); });
    }
    void TearDown() override {
        SetMessageHandler(previousHandler);
        menu.reset();
        const char* keys[] = {"selectedSkirmishLevelIndex", "goodInfantryEnabled",
                              "goodTankEnabled", "goodFlakTruckEnabled", "goodBalloonEnabled",
                              "goodAutoGyroEnabled", "goodBusterEnabled", "badInfantryEnabled",
                              "badTankEnabled", "badFlakTruckEnabled", "badBalloonEnabled",
                              "badAutoGyroEnabled", "badBusterEnabled", "goodCashFlowModifier",
                              "badCashFlowModifier", "goodRangeModifier", "badRangeModifier"};
        for (const char* key : keys) {
            orvel::GlobalProperties().Erase(PropertyKey(key));
        }
        PlayFixture::TearDown();
    }

    // One frame of the menu with the mouse at (x, y) and the left button as
    // given.
    orvel::StatePtr MenuFrame(int x, int y, int buttons) {
        input->frame = ScriptedFrame();
        input->frame.mouseX = x;
        input->frame.mouseY = y;
        input->frame.mouseButtons = buttons;
        snapshot->Poll();
        return menu->Update(*snapshot, FRAME_TIME);
    }
    orvel::StatePtr ClickAt(int x, int y) {
        MenuFrame(x, y, 0);
        const orvel::StatePtr next = MenuFrame(x, y, 1);
        MenuFrame(x, y, 0);
        return next;
    }
    orvel::StatePtr Click(const char* name) {
        const orvel::MorphRect box = Morph(name).GetRect();
        return ClickAt((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    }
    orvel::Morph& Morph(const char* name) const {
        orvel::Morph* found = menu->FindChild(PropertyKey(name));
        if (found == nullptr) {
            throw std::runtime_error(std::string("no morph ") + name);
        }
        return *found;
    }

    // Forward on the screen, then frames as the main loop runs them (each
    // state handed back replaces the current one) through the skirmish
    // loading screen until the level or another screen stands; `game` is
    // the level when it was built. Returns the screen reached.
    orvel::StatePtr StartFromMenu() {
        orvel::StatePtr current = Click("Forward");
        EXPECT_EQ(NameOf(current), "TARNMOORE_STATE_SkirmishLoading");
        for (int frame = 0; current && frame < 300; ++frame) {
            snapshot->Poll();
            const orvel::StatePtr next = current->Update(*snapshot, FRAME_TIME);
            if (!next) {
                continue;
            }
            current = next;
            const std::string name = NameOf(current);
            if (name != "TARNMOORE_STATE_SkirmishLoading") {
                game = std::dynamic_pointer_cast<MechanicaState>(Unwrap(current));
                return Unwrap(current);
            }
        }
        return nullptr;
    }

    // The dollars of both factories after one frame holding `key`.
    void PressAndCount(int key, int& goodSpent, int& badSpent) {
        const int good = game->GetGoodFactory()->GetDollars();
        const int bad = game->GetBadFactory()->GetDollars();
        Run(1, [key](int) {
            ScriptedFrame frame;
            frame.keys = {key};
            return frame;
        });
        Run(1);
        goodSpent = good - game->GetGoodFactory()->GetDollars();
        badSpent = bad - game->GetBadFactory()->GetDollars();
    }

    std::shared_ptr<SkirmishMenu> menu;
    std::vector<std::string> messages;
    MessageHandler previousHandler;
};

TEST_F(SkirmishPlayTest, ALevelStartedFromTheSetupPlaysWithEveryChoiceMade) {
    menu = std::make_shared<SkirmishMenu>();
    ASSERT_EQ(menu->GetLevelList().GetSelectedEntry().folder, "resources/Level1");
    for (const char* control :
         {"Player1Purchase",  // mouse -> number row
          "Player2Purchase",  // computer -> keypad (the mouse and side 1's number row skipped)
          "Player1Movement",  // mouse -> arrow keys (side 2's computer pilot skipped)
          "Player1Tank", "Player2Buster", "Player2Infantry",
          "Player1CashFlow",                      // normal -> high
          "Player2CashFlow", "Player2CashFlow"})  // normal -> high -> low
    {
        EXPECT_FALSE(Click(control)) << control;
    }
    const orvel::MorphRect goodSlider = Morph("Player1AirshipRange").GetRect();
    const orvel::MorphRect badSlider = Morph("Player2AirshipRange").GetRect();
    ClickAt(goodSlider.left + goodSlider.Width() * 3 / 4, goodSlider.top + 5);
    ClickAt(badSlider.left, badSlider.top + 5);
    const float goodRange = orvel::GlobalProperties().GetFloat(PropertyKey("goodRangeModifier"));
    EXPECT_NEAR(goodRange, 1.5f, 0.02f);

    StartFromMenu();
    ASSERT_TRUE(game) << "the level did not start";
    EXPECT_EQ(orvel::GlobalProperties().GetString(PropertyKey("levelPath")), "resources/Level1");
    const PlayMode& mode = game->GetMode();
    EXPECT_TRUE(mode.isSkirmishMode);
    EXPECT_EQ(mode.goodPurchaseControl, 0x10);  // side 1's number row
    EXPECT_EQ(mode.badPurchaseControl, 0x10);   // side 2's keypad
    EXPECT_EQ(mode.goodAirshipControl, 2);
    EXPECT_EQ(mode.badAirshipControl, 0);
    EXPECT_FALSE(mode.cursorVisible);

    const float baseDeposit = game->GetGoodFactory()->GetTimeBetweenDeposits();
    EXPECT_FLOAT_EQ(game->GetBadFactory()->GetTimeBetweenDeposits(), baseDeposit);
    Run(1);  // the first frame applies the modifiers
    EXPECT_FLOAT_EQ(game->GetPurchaseTimePerUnit(1), 6.0f * 0.8f);
    EXPECT_FLOAT_EQ(game->GetPurchaseTimePerUnit(-1), 6.0f * 1.2f);
    EXPECT_FLOAT_EQ(game->GetGoodFactory()->GetTimeBetweenDeposits(), baseDeposit * 0.7f);
    EXPECT_FLOAT_EQ(game->GetBadFactory()->GetTimeBetweenDeposits(), baseDeposit * 1.7f);
    const orvel::PropertiesPtr objects = game->GetObjectProperties();
    const int goodBase =
        objects->GetStruct(PropertyKey("GoodAirShip"))->GetInt(PropertyKey("hitPoints"));
    const int badBase =
        objects->GetStruct(PropertyKey("BadAirShip"))->GetInt(PropertyKey("hitPoints"));
    EXPECT_EQ(game->GetGoodAirship()->GetMaxHitPoints(), int(float(goodBase) * goodRange));
    EXPECT_EQ(game->GetBadAirship()->GetMaxHitPoints(), int(float(badBase) * 0.5f));

    // The units each side may buy (the engineer is the level's).
    const struct {
        int product;
        bool good, bad;
    } offered[] = {{0, true, false}, {1, true, true},  {2, false, true}, {3, true, true},
                   {4, true, true},  {5, true, true},  {6, true, false}};
    for (const auto& o : offered) {
        EXPECT_EQ(game->GetGoodFactory()->CanBuy(o.product), o.good) << o.product;
        EXPECT_EQ(game->GetBadFactory()->CanBuy(o.product), o.bad) << o.product;
    }

    // Each side buys with the keys its picture showed: number-row 1 buys
    // side 1's infantry, keypad 2 side 2's engineer, and not the other way.
    int goodSpent = 0;
    int badSpent = 0;
    PressAndCount(KEY_NUMBER_ROW_1, goodSpent, badSpent);
    EXPECT_GT(goodSpent, 0);
    EXPECT_LE(badSpent, 0);
    PressAndCount(KEY_KEYPAD_1 + 1, goodSpent, badSpent);
    EXPECT_LE(goodSpent, 0);
    EXPECT_GT(badSpent, 0);

    // The arrow keys fly side 1's airship.
    const float startY = game->GetGoodAirship()->GetPosition().y;
    Run(60, [](int) {
        ScriptedFrame frame;
        frame.keys = {KEY_UP};
        return frame;
    });
    EXPECT_GT(game->GetGoodAirship()->GetPosition().y, startY + 0.5f);

    // The statistics after a skirmish lead back to the setup.
    const orvel::StatePtr stats =
        Unwrap(TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(game,
                                                                            PropertyKey("Win")));
    ASSERT_EQ(NameOf(stats), "TARNMOORE_STATE_StatsScreen");
    input->frame = ScriptedFrame();
    input->frame.keys = {MENU_KEY_ENTER};
    snapshot->Poll();
    EXPECT_EQ(NameOf(stats->Update(*snapshot, FRAME_TIME)), "TARNMOORE_STATE_SkirmishMenu");
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(SkirmishPlayTest, AUserLevelPlaysAndOneThatCannotBeBuiltReturnsToTheSetup) {
    std::ostringstream level;
    level << std::ifstream("resources/Level1/level.txt").rdbuf();
    std::string text = level.str();
    ASSERT_FALSE(text.empty());
    // A user's level that borrows the game's pictures and music.
    boost::algorithm::replace_all(text, "\"../", "\"../../resources/");
    boost::algorithm::replace_all(text, "\"ground_", "\"../../resources/Level1/ground_");
    TempFolder play;
    WriteFile("extra levels/Home/level.txt", text);
    WriteFile("extra levels/Hollow/level.txt", "int nodeSpacing: 32\n");
    WriteFile("extra levels/Broken/level.txt", "struct {\nstring name \"unclosed\n");

    menu = std::make_shared<SkirmishMenu>();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("\"Broken\""), std::string::npos) << messages[0];
    messages.clear();
    const std::vector<SkirmishLevelEntry> entries = menu->GetLevelList().GetEntries();
    for (const char* name : {"Hollow", "Home"}) {
        SCOPED_TRACE(name);
        int row = -1;
        for (size_t i = 0; i < entries.size(); ++i) {
            row = entries[i].name == name ? int(i) : row;
        }
        ASSERT_GE(row, 0);
        orvel::GlobalProperties().SetInt(PropertyKey("selectedSkirmishLevelIndex"), row);
        menu = std::make_shared<SkirmishMenu>();
        messages.clear();
        ASSERT_EQ(menu->GetLevelList().GetSelectedEntry().name, name);
        const orvel::StatePtr next = StartFromMenu();
        if (std::string(name) == "Hollow") {
            EXPECT_EQ(NameOf(next), "TARNMOORE_STATE_SkirmishMenu");
            // Why the level failed, then the reopened setup's note on the
            // broken one.
            ASSERT_EQ(messages.size(), 2u);
            EXPECT_NE(messages[0].find("level.txt"), std::string::npos) << messages[0];
            EXPECT_NE(messages[1].find("\"Broken\""), std::string::npos) << messages[1];
            EXPECT_FALSE(game);
        } else {
            ASSERT_TRUE(game);
            EXPECT_EQ(game->GetLevelWidth(), 2560u);
            EXPECT_EQ(Run(120), 120);
            EXPECT_TRUE(messages.empty());
        }
    }
}

}  // namespace
