#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <alleggl.h>
#include <allegro.h>

#include "game/frontend/loading_mechanica_state.h"
#include "game/frontend/main_menu_state.h"
#include "game/frontend/map_screen_state.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/single_screen_state.h"
#include "tests/game/frontend/frontend_fixture.h"

namespace {

// A struct of the machine's definition with triggers to probe states: each
// trigger "T" leads to "TO_T".
std::string Entry(const std::string& state, const std::vector<std::string>& triggers,
                  const std::string& extra = "") {
    std::string text = "struct " + state + "\n{\n" + extra;
    for (const std::string& trigger : triggers) {
        text += "struct " + trigger + "\n{\nstring state: \"TO_" + trigger + "\"\n}\n";
    }
    return text + "}\n";
}

std::string Probe(const std::string& name) {
    return "struct TO_" + name + "\n{\nstring class: \"TEST_Probe\"\n}\n";
}

std::string Thumbnails() {
    std::string text;
    for (int n = 0; n < 17; ++n) {
        text += "{\nstring type: \"SpriteMorph\"\nstring name: \"Thumbnail" + std::to_string(n) +
                "\"\nstring animation: \"thumb.bbq\"\nstring highlighter: "
                "\"SpriteMorphHighlighter\"\npoint position: (" +
                std::to_string(5 + 45 * n) + ", 100)\n}\n";
    }
    return text;
}

std::string IntList(const char* kind, const char* name, const std::string& value, int count) {
    std::string text = std::string("list ") + kind + " " + name + "\n{\n";
    for (int n = 0; n < count; ++n) {
        text += (n == 1 && std::string(kind) == "int" ? "1" : value) + "\n";
    }
    return text + "}\n";
}

std::string Sprite(const char* name, const char* picture, int x, int y) {
    return std::string("{\nstring type: \"SpriteMorph\"\nstring name: \"") + name +
           "\"\nstring animation: \"" + picture +
           "\"\nstring highlighter: \"SpriteMorphHighlighter\"\npoint position: (" +
           std::to_string(x) + ", " + std::to_string(y) + ")\n}\n";
}

class ScreensTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        WriteFile("resources/MapScreen/thumb.bbq", FlatBbq(30, 20, Rgb{90, 140, 60}));
        WriteFile("resources/MapScreen/x.bbq", FlatBbq(20, 10, Rgb{200, 60, 40}));
        WriteFile("resources/MapScreen/medal.bbq", FlatBbq(10, 8, Rgb{240, 200, 70}));
        WriteFile("resources/MapScreen/MapScreen.txt",
                  "string type: \"SpriteMorph\"\nstring name: \"MapScreen\"\n"
                  "string animation: \"../picture.bbq\"\npoint extent: (800, 600)\n"
                  "point position: (0, 0)\nlist struct children\n{\n" +
                      Thumbnails() + Sprite("Back", "../button.bbq", 10, 500) +
                      Sprite("Forward", "../button.bbq", 200, 500) + "}\n");
        WriteFile("resources/MapScreen/X.txt",
                  "string type: \"SpriteMorph\"\nstring name: \"X\"\n"
                  "string animation: \"x.bbq\"\npoint position: (0, 0)\n");
        for (const char* medal : {"beaten_easy", "beaten_normal", "beaten_hard"}) {
            WriteFile(std::string("resources/MapScreen/") + medal + ".txt",
                      std::string("string type: \"SpriteMorph\"\nstring name: \"") + medal +
                          "\"\nstring animation: \"medal.bbq\"\npoint position: (0, 0)\n");
        }
        // Level 1 is a cutscene; every cross is drawn at half its size.
        WriteFile("resources/MapScreen/cutscenelevels.txt",
                  IntList("int", "cutsceneLevels", "0", 17));
        WriteFile("resources/MapScreen/xscales.txt", IntList("float", "xScales", "0.5", 17));

        WriteFile("resources/Level0/loading.txt",
                  "string type: \"SpriteMorph\"\nstring animation: \"../picture.bbq\"\n"
                  "point position: (0, 0)\nlist struct children\n{\n" +
                      Sprite("Loading", "../picture.bbq", 274, 500) +
                      Sprite("Cadet", "../button.bbq", 100, 450) +
                      Sprite("Veteran", "../button.bbq", 300, 450) +
                      Sprite("Hero", "../button.bbq", 500, 450) + "}\n");
        WriteFile("resources/Frontend/choosedifficulty.jpg",
                  EncodeJpeg(40, 10, 3, JCS_RGB, std::vector<uint8_t>(40 * 10 * 3, 128)));
        WriteFile("resources/Help/Help.txt",
                  "string type: \"SpriteMorph\"\nstring animation: \"../picture.bbq\"\n"
                  "point position: (0, 0)\nlist struct children\n{\n" +
                      Sprite("Back", "../button.bbq", 10, 500) +
                      Sprite("Forward", "../button.bbq", 200, 500) + "}\n");

        std::vector<std::string> levels = {"Back"};
        for (int n = 0; n < 17; ++n) {
            levels.push_back("Level" + std::to_string(n));
        }
        std::string machine = Entry("STATE_Exit", {"Forward"}) +
                              Entry("TARNMOORE_STATE_MainMenu", {"Play", "Quit"}) +
                              Entry("TARNMOORE_STATE_MapScreen", levels) +
                              Entry("TARNMOORE_STATE_LoadingMechanica", {"Back"},
                                    "struct Forward\n{\nstring state: \"TO_Forward\"\n"
                                    "string transition: \"STATE_TRANSITION_Fade\"\n}\n") +
                              Entry("TEST_Help", {"Back"},
                                    "string class: \"TARNMOORE_STATE_SingleScreen\"\n"
                                    "string SINGLE_SCREEN_MorphPath: \"Help/Help.txt\"\n");
        for (const std::string& name : levels) {
            machine += Probe(name);
        }
        for (const char* name : {"Forward", "Play", "Quit"}) {
            machine += Probe(name);
        }
        SetMachine(machine);
    }

    orvel::StatePtr MakeScreen(const std::string& which) {
        if (which == "MainMenu") {
            return std::make_shared<MainMenuState>();
        }
        if (which == "MapScreen") {
            return std::make_shared<MapScreenState>();
        }
        if (which == "Help") {
            return std::make_shared<SingleScreenState>(PropertyKey("TEST_Help"),
                                                       "resources/Help/Help.txt");
        }
        return std::make_shared<LoadingMechanicaState>(
            PropertyKey("TARNMOORE_STATE_LoadingMechanica"));
    }
};

TEST_F(ScreensTest, ButtonsHighlightAndFireTheirTriggers) {
    const struct {
        const char* screen;
        const char* button;
        int highest;
        const char* next;  // "" when the screen stays
        int alphaBefore;   // 128 for a button that leads nowhere, 0 hidden
    } cases[] = {
        {"MainMenu", "Play", 0, "TO_Play", 255},
        {"MainMenu", "Quit", 0, "TO_Quit", 255},
        {"MainMenu", "Skirmish", 0, "", 128},
        {"MapScreen", "Thumbnail0", 0, "TO_Level0", 255},
        {"MapScreen", "Thumbnail2", 3, "TO_Level2", 255},
        {"MapScreen", "Thumbnail3", 3, "TO_Level3", 255},
        {"MapScreen", "Thumbnail4", 3, "", 0},
        {"MapScreen", "Forward", 3, "TO_Level3", 255},
        {"MapScreen", "Forward", 20, "TO_Level16", 255},
        {"MapScreen", "Back", 3, "TO_Back", 255},
        {"Help", "Back", 0, "TO_Back", 255},
        {"Help", "Forward", 0, "", 128},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.screen) + " " + c.button);
        SetProgress(c.highest, std::vector<int>(size_t(std::min(c.highest, 17)), 1));
        orvel::GlobalProperties().SetInt("TARNMOORE_CurrentLevel", -1);
        const orvel::StatePtr screen = MakeScreen(c.screen);
        orvel::Morph& button = Find(screen, c.button);
        EXPECT_EQ(Alpha(button), c.alphaBefore);

        const orvel::StatePtr next = Click(screen, button);
        EXPECT_EQ(NameOf(next), c.next);
        // Level choices are the map's own handler, which leaves the tint.
        const bool levelChoice =
            std::string(c.screen) == "MapScreen" && std::string(c.button) != "Back";
        if (c.alphaBefore == 255 && !levelChoice) {
            EXPECT_EQ(Red(button), 200) << "pressed";
        }
        const std::string next_name = c.next;
        if (next_name.rfind("TO_Level", 0) == 0) {
            EXPECT_EQ(orvel::GlobalProperties().GetInt("TARNMOORE_CurrentLevel"),
                      std::stoi(next_name.substr(8)));
        }
        EXPECT_TRUE(messages.empty()) << messages.front();
    }
}

TEST_F(ScreensTest, HoverTintsAButtonAndLeavingMakesItIdle) {
    const orvel::StatePtr menu = MakeScreen("MainMenu");
    orvel::Morph& play = Find(menu, "Play");
    EXPECT_EQ(Red(play), 220);
    source->mouseX = 110;
    source->mouseY = 110;
    EXPECT_EQ(Frame(menu), nullptr);
    EXPECT_EQ(Red(play), 255);
    source->mouseX = 400;
    EXPECT_EQ(Frame(menu), nullptr);
    EXPECT_EQ(Red(play), 220);
}

// The version text stands on the line 15 pixels above the bottom edge, all of
// it above the line whatever the font's height; the GL font draws down from
// the point it is given, so a text placed by its top hung below the edge.
TEST_F(ScreensTest, VersionTextStandsAboveTheBottomEdge) {
    FONT* glFont =
        allegro_gl_convert_allegro_font_ex(font, AGL_FONT_TYPE_TEXTURED, 1.0f, GL_ALPHA8);
    ASSERT_NE(glFont, nullptr);
    orvel::GlobalProperties()[PropertyKey("glFont")] = glFont;
    MakeScreen("MainMenu")->Draw();
    int lowest = 600;
    int highest = -1;
    for (int y = 0; y < 60; ++y) {
        for (int x = 20; x < 100; ++x) {
            const Rgb pixel = ReadPixel(x, y);
            if (pixel.r == 170 && pixel.g == 170 && pixel.b == 170) {
                lowest = std::min(lowest, y);
                highest = std::max(highest, y);
            }
        }
    }
    orvel::GlobalProperties().Erase(PropertyKey("glFont"));
    allegro_gl_destroy_font(glFont);
    // The font's glyphs land a pixel above the top they are given.
    EXPECT_GE(lowest, 15) << highest;
    EXPECT_LE(highest, 15 + text_height(font)) << lowest;
}

TEST_F(ScreensTest, KeysLeadLikeTheButtons) {
    const struct {
        const char* screen;
        int key;
        const char* next;
    } cases[] = {
        {"MainMenu", MENU_KEY_ENTER, "TO_Play"},
        {"MainMenu", MENU_KEY_SPACE, "TO_Play"},
        {"MainMenu", MENU_KEY_RIGHT, "TO_Play"},
        {"MainMenu", MENU_KEY_ESCAPE, ""},
        {"MapScreen", MENU_KEY_ESCAPE, "TO_Back"},
        {"MapScreen", MENU_KEY_LEFT, "TO_Back"},
        {"MapScreen", MENU_KEY_BACKSPACE, "TO_Back"},
        {"MapScreen", MENU_KEY_RIGHT, "TO_Level2"},
        {"Help", MENU_KEY_LEFT, "TO_Back"},
        {"Help", MENU_KEY_BACKSPACE, "TO_Back"},
        // No "Skip" or "Forward" for the help page: the keys do nothing.
        {"Help", MENU_KEY_ESCAPE, ""},
        {"Help", MENU_KEY_ENTER, ""},
    };
    SetProgress(2, {0, 1});
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.screen) + " key " + std::to_string(c.key));
        const orvel::StatePtr screen = MakeScreen(c.screen);
        EXPECT_EQ(NameOf(PressKey(screen, c.key)), c.next);
    }

    // A key held down fires once.
    const orvel::StatePtr menu = MakeScreen("MainMenu");
    source->keys = {MENU_KEY_ENTER};
    EXPECT_EQ(NameOf(Frame(menu)), "TO_Play");
    EXPECT_EQ(Frame(menu), nullptr);
}

TEST_F(ScreensTest, AScreenIgnoresInputWhileATransitionHoldsIt) {
    SetProgress(3, {0, 1, 2});
    for (const char* which : {"MainMenu", "MapScreen", "Help", "Loading"}) {
        SCOPED_TRACE(which);
        const orvel::StatePtr screen = MakeScreen(which);
        screen->AddTransition();
        EXPECT_EQ(PressKey(screen, MENU_KEY_ENTER), nullptr);
        EXPECT_EQ(PressKey(screen, MENU_KEY_ESCAPE), nullptr);
        EXPECT_EQ(PressKey(screen, MENU_KEY_LEFT), nullptr);
        const std::string name = which;
        orvel::Morph& button = Find(screen, name == "Loading"    ? "Veteran"
                                            : name == "MainMenu" ? "Play"
                                                                 : "Back");
        EXPECT_EQ(Click(screen, button), nullptr);
        screen->RemoveTransition();
    }
    // The loading screen built nothing while it was held.
    EXPECT_EQ(builds, 0);
    EXPECT_FALSE(orvel::GlobalProperties().Contains("difficulty"));
}

TEST_F(ScreensTest, MapOffersTheLevelsReachedWithCrossesAndMedals) {
    // Level 3 holds a medal value that names none.
    SetProgress(4, {2, 0, 1, 9});
    const orvel::StatePtr screen = MakeScreen("MapScreen");
    orvel::Morph& map = Find(screen, "MapScreen");
    for (int n = 0; n < 17; ++n) {
        const orvel::Morph& thumb = Find(screen, ("Thumbnail" + std::to_string(n)).c_str());
        EXPECT_EQ(Alpha(thumb), n <= 4 ? 255 : 0) << n;
        EXPECT_EQ(thumb.GetEventHandler() != nullptr, n <= 4) << n;
    }
    // Levels 0, 2 and 3 carry a cross at their top left, half size, and 0
    // and 2 their medal at their bottom left; level 1 is a cutscene, level 4
    // the highest.
    std::vector<std::string> overlays;
    for (const orvel::MorphPtr& child : map.GetChildren()) {
        const std::string name = child->GetMorphName().GetName();
        if (name.rfind("Thumbnail", 0) == 0 || name == "Back" || name == "Forward") {
            continue;
        }
        const orvel::MorphRect box = child->GetRect();
        overlays.push_back(name + " " + std::to_string(box.left) + "," + std::to_string(box.top) +
                           " " + std::to_string(box.Width()) + "x" + std::to_string(box.Height()));
    }
    const std::vector<std::string> expected = {"X 5,100 10x5", "beaten_hard 5,112 10x8",
                                               "X 95,100 10x5", "beaten_normal 95,112 10x8",
                                               "X 140,100 10x5"};
    EXPECT_EQ(overlays, expected);

    // The highest level blinks: grey first, full colour after a second.
    const orvel::Morph& highest = Find(screen, "Thumbnail4");
    source->mouseX = 700;
    source->mouseY = 10;
    Frame(screen);
    EXPECT_EQ(Red(highest), 220);
    input->Poll();
    screen->Update(*input, 1.0f);
    EXPECT_EQ(Red(highest), 255);
}

TEST_F(ScreensTest, MapListsOfTheWrongLengthStopTheMap) {
    WriteFile("resources/MapScreen/xscales.txt", IntList("float", "xScales", "1.0", 16));
    try {
        MakeScreen("MapScreen");
        FAIL() << "no exception";
    } catch (const orvel::ExceptionGeneral& error) {
        EXPECT_EQ(error.What(),
                  "Error: Size of xscales list doesn't match the total number of levels.");
    }
    WriteFile("resources/MapScreen/cutscenelevels.txt", IntList("int", "cutsceneLevels", "0", 18));
    EXPECT_THROW(MakeScreen("MapScreen"), orvel::ExceptionGeneral);
}

TEST_F(ScreensTest, LoadingScreenBuildsTheLevelThenTakesTheDifficulty) {
    const orvel::StatePtr screen = MakeScreen("Loading");
    orvel::Morph& veteran = Find(screen, "Veteran");
    EXPECT_EQ(Alpha(veteran), 0);

    // A click before the level is built writes the difficulty and stays.
    screen->AddTransition();
    EXPECT_EQ(Frame(screen), nullptr);
    screen->RemoveTransition();
    auto& loading = static_cast<LoadingMechanicaState&>(*screen);
    EXPECT_TRUE(loading.OnDifficulty(&Find(screen, "Hero")));
    EXPECT_EQ(orvel::GlobalProperties().GetInt("difficulty"), 2);
    EXPECT_EQ(builds, 0);

    // The first frame without a transition builds it, once, and asks. The
    // transition into the level is not made yet, so nothing holds the screen.
    EXPECT_EQ(Frame(screen), nullptr);
    EXPECT_EQ(Frame(screen), nullptr);
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(screen->GetTransitionCount(), 0);
    EXPECT_EQ(Red(veteran), 220);
    const orvel::MorphRect question = Find(screen, "Loading").GetRect();
    EXPECT_EQ(question, orvel::MorphRect(274, 543, 314, 553));

    {
        const orvel::StatePtr next = Click(screen, veteran);
        EXPECT_EQ(NameOf(next), "TO_Forward");
        const auto* fade = dynamic_cast<const orvel::StateTransition*>(next.get());
        ASSERT_NE(fade, nullptr);
        EXPECT_EQ(fade->GetFrom(), screen);
        EXPECT_EQ(orvel::GlobalProperties().GetInt("difficulty"), 1);
    }

    // Losing the display drops the built level; it is built again after.
    screen->UnloadTextures();
    screen->ReloadTextures();
    EXPECT_EQ(Frame(screen), nullptr);
    EXPECT_EQ(builds, 2);
    EXPECT_TRUE(messages.empty());
}

// How the loading screen goes on by the registry's mode flags: a skirmish
// leaves as soon as the level is built, a tutorial level waits for a click
// or Space, a campaign level for a difficulty.
TEST_F(ScreensTest, LoadingScreenGoesOnByMode) {
    WriteFile("resources/Skirmish/loading.jpg",
              EncodeJpeg(16, 16, 3, JCS_RGB, std::vector<uint8_t>(16 * 16 * 3, 90)));
    WriteFile("resources/TutorialLevel0/loading.txt",
              "string type: \"SpriteMorph\"\nstring animation: \"../picture.bbq\"\n"
              "point position: (0, 0)\nlist struct children\n{\n" +
                  Sprite("Loading", "../picture.bbq", 300, 500) + "}\n");
    WriteFile("resources/Frontend/clicktocontinue.txt",
              "list string frames\n{\n\"../button.bbq\"\n}\nfloat fps: 2\n");
    const struct {
        bool skirmish;
        bool tutorial;
        int key;      // pressed on the second frame; 0 for none
        bool click;   // a left click on the second frame
        bool leaves;  // the second frame (or the first, for a skirmish) leaves
    } cases[] = {
        {true, false, 0, false, true},
        {false, true, 0, false, false},
        {false, true, MENU_KEY_SPACE, false, true},
        {false, true, 0, true, true},
        {false, false, MENU_KEY_SPACE, false, false},
    };
    orvel::Attributes& registry = orvel::GlobalProperties();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.skirmish   ? "skirmish"
                                 : c.tutorial ? "tutorial"
                                              : "campaign") +
                     " key " + std::to_string(c.key) + (c.click ? " click" : ""));
        registry.SetBool("isSkirmishMode", c.skirmish);
        registry.SetBool("isTutorialLevel", c.tutorial);
        const orvel::StatePtr screen = MakeScreen("Loading");
        orvel::StatePtr next = Frame(screen);
        if (!c.skirmish) {
            EXPECT_EQ(next, nullptr);
            if (c.tutorial) {
                // The plate shows the click-to-continue picture, at its size.
                EXPECT_EQ(Find(screen, "Loading").GetRect(), orvel::MorphRect(300, 500, 380, 530));
            }
            source->mouseX = 10;
            source->mouseY = 10;
            source->buttons = c.click ? 1 : 0;
            next = c.key != 0 ? PressKey(screen, c.key) : Frame(screen);
            source->buttons = 0;
        }
        EXPECT_EQ(NameOf(next), c.leaves ? "TO_Forward" : "");
    }
    registry.Erase("isSkirmishMode");
    registry.Erase("isTutorialLevel");
}

// A level that cannot be built is reported once; the player goes back to the
// screen that chose it, or to the first screen when there is no way back.
TEST_F(ScreensTest, BrokenLevelIsReportedOnceAndLeftBehind) {
    failBuild = true;
    const orvel::StatePtr screen = MakeScreen("Loading");
    EXPECT_EQ(NameOf(Frame(screen)), "TO_Back");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Error: The level is broken");

    SetMachine(Entry("STATE_Exit", {"Forward"}) +
               Entry("TARNMOORE_STATE_LoadingMechanica", {"Forward"}) + Probe("Forward"));
    messages.clear();
    const orvel::StatePtr lone = MakeScreen("Loading");
    failBuild = true;
    // The first screen is that same broken state: the machine hands back
    // the exit state, which ends the game.
    const orvel::StatePtr next = Frame(lone);
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->IsFinished());
    EXPECT_EQ(messages.size(), 2u);
}

}  // namespace
