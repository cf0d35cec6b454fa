#include <string>

#include "game/frontend/menu_keys.h"
#include "game/frontend/tutorial_menu.h"
#include "tests/game/frontend/frontend_fixture.h"

namespace {

std::string Button(const std::string& name, int x) {
    return "{\nstring type: \"SpriteMorph\"\nstring name: \"" + name +
           "\"\nstring animation: \"../button.bbq\"\nstring highlighter: "
           "\"SpriteMorphHighlighter\"\npoint position: (" +
           std::to_string(x) + ", 300)\n}\n";
}

std::string Leads(const std::vector<std::string>& triggers) {
    std::string text = "struct TARNMOORE_STATE_TutorialMenu\n{\n";
    for (const std::string& trigger : triggers) {
        text += "struct " + trigger + "\n{\nstring state: \"TO_" + trigger + "\"\n}\n";
    }
    text += "}\n";
    for (const std::string& trigger : triggers) {
        text += "struct TO_" + trigger + "\n{\nstring class: \"TEST_Probe\"\n}\n";
    }
    return text;
}

class TutorialMenuTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        std::string buttons;
        for (int n = 0; n < 4; ++n) {
            buttons += Button("Tutorial" + std::to_string(n), 10 + 90 * n);
        }
        WriteFile("resources/Tutorial/TutorialMenu.txt",
                  "string type: \"SpriteMorph\"\nstring name: \"TutorialMenu\"\n"
                  "string animation: \"../picture.bbq\"\npoint extent: (800, 600)\n"
                  "point position: (0, 0)\nlist struct children\n{\n" +
                      buttons + Button("Back", 400) + Button("Forward", 500) + "}\n");
        SetMachine(Leads({"Tutorial0", "Tutorial1", "Tutorial2", "Tutorial3", "Back"}));
    }

    void SetTutorialsWon(int highest) {
        orvel::GlobalProperties()
            .GetProperties("TARNMOORE_Settings")
            ->SetInt("TARNMOORE_HighestTutorialLevelReached", highest);
    }
};

TEST_F(TutorialMenuTest, OffersTheTutorialsReachedAndStartsTheChosenOne) {
    const struct {
        int highest;
        const char* button;
        const char* next;  // "" when the button does not react
    } cases[] = {
        {0, "Tutorial0", "TO_Tutorial0"}, {0, "Tutorial1", ""},
        {1, "Tutorial1", "TO_Tutorial1"}, {1, "Tutorial2", ""},
        {3, "Tutorial3", "TO_Tutorial3"}, {5, "Tutorial2", "TO_Tutorial2"},
        {0, "Forward", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.highest) + " " + c.button);
        SetTutorialsWon(c.highest);
        orvel::GlobalProperties().SetInt("TARNMOORE_CurrentLevel", -1);
        orvel::GlobalProperties().Erase("isTutorialLevel");
        const orvel::StatePtr screen = std::make_shared<TutorialMenu>();
        orvel::Morph& button = Find(screen, c.button);
        const bool open = *c.next != '\0';
        EXPECT_EQ(Alpha(button), open ? 255 : 128);
        EXPECT_EQ(NameOf(Click(screen, button)), c.next);
        if (open) {
            EXPECT_EQ(orvel::GlobalProperties().GetInt("TARNMOORE_CurrentLevel"),
                      std::string(c.button).back() - '0');
            EXPECT_TRUE(orvel::GlobalProperties().GetBool("isTutorialLevel"));
        } else {
            EXPECT_FALSE(orvel::GlobalProperties().Contains("isTutorialLevel"));
        }
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(TutorialMenuTest, ASettingsGroupWithoutTheTutorialProgressStopsTheMenu) {
    EXPECT_THROW(TutorialMenu(), orvel::ExceptionPropertyNotFound);
}

TEST_F(TutorialMenuTest, BackByButtonOrKeyLeavesTutorialMode) {
    SetTutorialsWon(0);
    for (int key : {0, MENU_KEY_ESCAPE, MENU_KEY_LEFT, MENU_KEY_BACKSPACE}) {
        SCOPED_TRACE(key);
        orvel::GlobalProperties().SetBool("isTutorialLevel", true);
        const orvel::StatePtr screen = std::make_shared<TutorialMenu>();
        const orvel::StatePtr next =
            key == 0 ? Click(screen, Find(screen, "Back")) : PressKey(screen, key);
        EXPECT_EQ(NameOf(next), "TO_Back");
        EXPECT_FALSE(orvel::GlobalProperties().GetBool("isTutorialLevel"));
    }
}

}  // namespace
