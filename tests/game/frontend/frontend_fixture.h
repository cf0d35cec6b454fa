#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/show_message.h"
#include "app/state_machine.h"
#include "engine/core/attributes.h"
#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/core/properties.h"
#include "engine/state/state_transition.h"
#include "engine/ui/morph.h"
#include "engine/ui/sprite_morph.h"
#include "game/frontend/frontend_states.h"
#include "tests/engine/gl_draw_fixture.h"
#include "tests/support/temp_folder.h"

// An input source that the test sets: keys held, mouse place and buttons.
class ScriptedInputSource : public orvel::InputSource {
public:
    void ReadKeys(std::vector<uint8_t>& out) override {
        out.assign(orvel::INPUT_KEY_COUNT, 0);
        for (int key : keys) {
            out[size_t(key)] = 1;
        }
    }
    void ReadMouse(int& x, int& y, int& b) override {
        x = mouseX;
        y = mouseY;
        b = buttons;
    }
    void ReadMickeys(int& x, int& y) override { x = y = 0; }
    std::vector<orvel::JoystickReading> ReadJoysticks() override { return {}; }

    std::vector<int> keys;
    int mouseX = 0;
    int mouseY = 0;
    int buttons = 0;
};

// A state that the machine makes for every state name of class "TEST_Probe":
// it only knows its name.
class ProbeState : public orvel::State {
public:
    explicit ProbeState(PropertyKey name) : State(name) {}
    orvel::StatePtr Update(const orvel::Input&, float) override { return nullptr; }
    void Draw() override {}
    void UnloadTextures() override {}
    void ReloadTextures() override {}
    PropertyKey GetName() const override { return PropertyKey("TEST_Probe"); }
};

// The stored name of the state a screen handed out, behind its transition
// if any; "" for none.
inline std::string NameOf(const orvel::StatePtr& state) {
    const orvel::State* shown = state.get();
    if (const auto* transition = dynamic_cast<const orvel::StateTransition*>(shown)) {
        shown = transition->GetTo().get();
    }
    return shown != nullptr ? shown->GetStoredName().GetName() : "";
}

// The test's screens: pictures of one flat colour, with the morph names the
// game's screens look for.
const char SCREEN_PICTURE[] = "picture.bbq";
const char MAIN_MENU[] =
    "string type: \"SpriteMorph\"\nstring animation: \"../picture.bbq\"\n"
    "point position: (0, 0)\nlist struct children\n{\n"
    "{\nstring type: \"SpriteMorph\"\nstring name: \"Play\"\nstring animation: \"../button.bbq\"\n"
    "string highlighter: \"SpriteMorphHighlighter\"\npoint position: (100, 100)\n}\n"
    "{\nstring type: \"SpriteMorph\"\nstring name: \"Skirmish\"\nstring animation: "
    "\"../button.bbq\"\n"
    "string highlighter: \"SpriteMorphHighlighter\"\npoint position: (100, 200)\n}\n"
    "{\nstring type: \"SpriteMorph\"\nstring name: \"Quit\"\nstring animation: \"../button.bbq\"\n"
    "string highlighter: \"SpriteMorphHighlighter\"\npoint position: (100, 300)\n}\n"
    "}\n";

// The front-end screens in a folder of small flat pictures, with a machine
// whose triggers lead to probe states named "TO_" + trigger (and the map's
// levels to the real loading screen), a registry with the settings, and
// scripted input. Messages are collected.
class FrontendTest : public GlDrawTest {
protected:
    void SetUp() override {
        GlDrawTest::SetUp();
        folder.reset(new TempFolder());
        WriteFile("resources/mousecursor.bbq", FlatBbq(8, 8, Rgb{250, 250, 250}));
        WriteFile("resources/picture.bbq", FlatBbq(16, 16, Rgb{40, 60, 90}));
        WriteFile("resources/button.bbq", FlatBbq(80, 30, Rgb{200, 150, 60}));
        WriteFile("resources/MainMenu/MainMenu.txt", MAIN_MENU);
        orvel::Attributes& registry = orvel::GlobalProperties();
        registry["TARNMOORE_Settings"] = std::make_shared<orvel::Properties>();
        SetProgress(0, {});
        registry.Erase("isTutorialLevel");
        registry.Erase("isSkirmishMode");
        registry.Erase("difficulty");
        registry.SetInt("TARNMOORE_CurrentLevel", 0);
        TarnmooreStateMachineImpl& machine = *TarnmooreStateMachineImpl::Instance();
        RegisterFrontendStates(machine);
        machine.RegisterStateClass("TEST_Probe", [this](const StateArguments& arguments) {
            if (failBuild && arguments.name == PropertyKey("TO_Forward")) {
                throw orvel::ExceptionGeneral("The level is broken");
            }
            ++builds;
            return std::make_shared<ProbeState>(arguments.name);
        });
        previousHandler =
            SetMessageHandler([this](const std::string& text) { messages.push_back(text); });
        source = std::make_shared<ScriptedInputSource>();
        input.reset(new orvel::Input(source));
    }
    void TearDown() override {
        SetMessageHandler(previousHandler);
        orvel::Attributes& registry = orvel::GlobalProperties();
        for (const char* key : {"TARNMOORE_Settings", "TARNMOORE_CurrentLevel", "difficulty"}) {
            registry.Erase(key);
        }
        TarnmooreStateMachineImpl::Instance()->SetDefinition(std::make_shared<orvel::Properties>());
        folder.reset();
    }

    // Sets "TARNMOORE_HighestLevelReached" and the medals of the levels below.
    void SetProgress(int highest, const std::vector<int>& medals) {
        const orvel::PropertiesPtr settings =
            orvel::GlobalProperties().GetProperties("TARNMOORE_Settings");
        settings->SetInt("TARNMOORE_HighestLevelReached", highest);
        const orvel::AnyVectorPtr list = std::make_shared<orvel::AnyVector>();
        for (size_t i = 0; i < medals.size(); ++i) {
            list->SetInt(i, medals[i]);
        }
        settings->SetList("TARNMOORE_LevelMedals", list);
    }

    // Rewrites StateMachine.txt and reads it again.
    void SetMachine(const std::string& text) {
        WriteFile("resources/StateMachine.txt", text);
        TarnmooreStateMachineImpl::Instance()->LoadStateMachineDefinition();
    }

    // One frame of `screen` with the input as the test has set it.
    orvel::StatePtr Frame(const orvel::StatePtr& screen) {
        input->Poll();
        return screen->Update(*input, 1.0f / 70.0f);
    }
    // Moves onto the morph's middle (one frame), then presses the left
    // button (a second frame) and lets it go; returns the second result.
    orvel::StatePtr Click(const orvel::StatePtr& screen, const orvel::Morph& button) {
        const orvel::MorphRect box = button.GetRect();
        source->mouseX = (box.left + box.right) / 2;
        source->mouseY = (box.top + box.bottom) / 2;
        Frame(screen);
        source->buttons = 1;
        const orvel::StatePtr next = Frame(screen);
        source->buttons = 0;
        return next;
    }
    // Holds `key` for one frame of the screen, then lets it go; the frame's
    // result.
    orvel::StatePtr PressKey(const orvel::StatePtr& screen, int key) {
        source->keys = {key};
        const orvel::StatePtr next = Frame(screen);
        source->keys.clear();
        input->Poll();
        return next;
    }

    // The morph of that name in the screen's tree; throws without.
    static orvel::Morph& Find(const orvel::StatePtr& screen, const char* name) {
        orvel::Morph* found = dynamic_cast<orvel::Morph&>(*screen).FindChild(PropertyKey(name));
        if (found == nullptr) {
            throw std::runtime_error(std::string("no morph ") + name);
        }
        return *found;
    }
    // The highlight shown by the morph's tint: its red (255 over, 220 idle,
    // 200 pressed) and alpha (255, 128 dimmed, 0 hidden).
    static int Red(const orvel::Morph& morph) { return orvel::GetRed(morph.GetColour()); }
    static int Alpha(const orvel::Morph& morph) { return orvel::GetAlpha(morph.GetColour()); }

    std::unique_ptr<TempFolder> folder;
    std::shared_ptr<ScriptedInputSource> source;
    std::unique_ptr<orvel::Input> input;
    std::vector<std::string> messages;
    MessageHandler previousHandler;
    int builds = 0;
    // Makes building "TO_Forward" (the loading screen's level) fail.
    bool failBuild = false;
};
